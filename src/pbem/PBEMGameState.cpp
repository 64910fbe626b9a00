#include "pbem/PBEMGameState.h"

#include "base/Format.h"
#include "res/FlagImageLoader.h"

std::wstring CPBEMGameState::GetGameId() const
{
    if (m_strPlayerId.size() < 4)
        return {};
    return m_strPlayerId.substr(0, m_strPlayerId.size() - 4);
}

int CPBEMGameState::GetPlayerNumber() const
{
    // The last two characters, or all of a shorter PlayerId.
    const std::size_t nStart = m_strPlayerId.size() < 2 ? 0 : m_strPlayerId.size() - 2;
    int nNumber = 0;
    for (std::size_t i = nStart; i < m_strPlayerId.size(); ++i)
    {
        const wchar_t c = m_strPlayerId[i];
        if (c < L'0' || c > L'9')
            break;
        nNumber = nNumber * 10 + (c - L'0');
    }
    return nNumber;
}

CMaskedBitmap* CPBEMGameState::FindPlayer(int nPlayer)
{
    for (const auto& pPlayer : m_listPlayers)
    {
        if (pPlayer->m_nPlayer != nPlayer)
            continue;
        LoadFlagOnce(pPlayer->m_strFlagName, pPlayer->m_bmpFlag, pPlayer->m_bFlagAsked);
        return pPlayer->m_bmpFlag.get();
    }
    return nullptr;
}

void LoadFlagOnce(const std::wstring& strFlagName, std::shared_ptr<CMaskedBitmap>& pFlag,
                  bool& bAsked)
{
    // Painting asks for the flags again and again: a missing file is looked for once.
    if (bAsked || g_pFlagImageLoader == nullptr)
        return;
    bAsked = true;
    pFlag = g_pFlagImageLoader->Load(IsPlainFlagName(strFlagName) ? strFlagName : std::wstring());
}

std::wstring MakePlayerId(std::wstring_view strGameId, int nPlayer)
{
    // Made once or twice for every event at start-up: the usual two-digit case is put together
    // directly, the rest goes through the formatter.
    if (nPlayer < 0 || nPlayer > 99)
        return FormatText(L"%s-P%02d", {strGameId, nPlayer});
    std::wstring strKey;
    strKey.reserve(strGameId.size() + 4);
    strKey.append(strGameId);
    strKey += L"-P";
    strKey += static_cast<wchar_t>(L'0' + nPlayer / 10);
    strKey += static_cast<wchar_t>(L'0' + nPlayer % 10);
    return strKey;
}
