#include "base/Bidi.h"

#include <vector>

namespace
{

constexpr wchar_t kLre = 0x202A;
constexpr wchar_t kRle = 0x202B;
constexpr wchar_t kPdf = 0x202C;
constexpr wchar_t kLro = 0x202D;
constexpr wchar_t kRlo = 0x202E;
constexpr wchar_t kLri = 0x2066;
constexpr wchar_t kRli = 0x2067;
constexpr wchar_t kFsi = 0x2068;
constexpr wchar_t kPdi = 0x2069;

bool IsParagraphEnd(wchar_t c)
{
    return c == L'\n' || c == L'\r' || (c >= 0x1C && c <= 0x1E) || c == 0x85 || c == 0x2029;
}

// What is open, innermost last: the closer each one needs. A PDF closes the innermost embedding
// or override only inside the innermost isolate; a PDI closes the innermost isolate together with
// whatever was opened inside it, as the bidi algorithm matches them.
class COpenControls
{
public:
    void See(wchar_t c)
    {
        switch (c)
        {
        case kLre:
        case kRle:
        case kLro:
        case kRlo:
            m_open.push_back(kPdf);
            break;
        case kLri:
        case kRli:
        case kFsi:
            m_open.push_back(kPdi);
            break;
        case kPdf:
            if (!m_open.empty() && m_open.back() == kPdf)
                m_open.pop_back();
            break;
        case kPdi:
            for (std::size_t i = m_open.size(); i > 0; --i)
            {
                if (m_open[i - 1] == kPdi)
                {
                    m_open.resize(i - 1);
                    break;
                }
            }
            break;
        default:
            break;
        }
    }

    void CloseAll(std::wstring& out)
    {
        out.append(m_open.rbegin(), m_open.rend());
        m_open.clear();
    }

private:
    std::vector<wchar_t> m_open;
};

} // namespace

std::wstring CloseOpenBidi(std::wstring_view text)
{
    std::wstring out;
    out.reserve(text.size());
    COpenControls open;
    for (const wchar_t c : text)
    {
        if (IsParagraphEnd(c))
            open.CloseAll(out);
        else
            open.See(c);
        out += c;
    }
    open.CloseAll(out);
    return out;
}
