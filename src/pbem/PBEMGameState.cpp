#include "pbem/PBEMGameState.h"

#include "app/InstallFolder.h"
#include "base/Format.h"

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
        if (!pPlayer->m_strFlagName.empty() && pPlayer->m_bmpFlag.m_nWidth == 0)
            LoadFlagImage(pPlayer->m_bmpFlag, pPlayer->m_strFlagName);
        return &pPlayer->m_bmpFlag;
    }
    return nullptr;
}

bool LoadFlagImage(CMaskedBitmap& bitmap, const std::wstring& strFlagName)
{
    if (strFlagName.empty() || strFlagName == L"." || strFlagName == L".." ||
        strFlagName.find_first_of(L"/\\") != std::wstring::npos)
        return false;
    return bitmap.Load(std::wstring(PATH_FLAGS_FOLDER) + strFlagName);
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
