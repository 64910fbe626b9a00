#include "FrameMock.h"

#include "SkinLook.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace
{

using namespace look;

constexpr SColour TEXT = Rgb(70, 70, 70);
constexpr SColour LIGHT_GREY = Rgb(215, 215, 215);

class CMock
{
public:
    CMock(const ImageSet& set, int nWidth, int nHeight)
        : m_set(set), m_canvas(nWidth, nHeight, TRANSPARENT)
    {
    }

    const CCanvas& Image(const std::string& strPath) const
    {
        static const CCanvas missing(10, 10, BLACK);
        const SImageFile* pFile = FindImage(m_set, strPath);
        return pFile != nullptr ? pFile->canvas : missing;
    }
    const CCanvas& Skin(const std::string& strName) const { return Image(SKIN_DIR + strName); }
    const CCanvas& Icon(const std::string& strName) const { return Image(IMAGES_DIR + strName); }

    // Word blocks standing for a line of text drawn with its top at y; returns its width.
    int Text(int x, int y, std::string_view text, SColour c = TEXT)
    {
        int nX = x;
        for (std::size_t i = 0; i < text.size();)
        {
            const std::size_t nEnd = std::min(text.find(' ', i), text.size());
            const int w = static_cast<int>(nEnd - i) * 5;
            m_canvas.FillRect(nX, y + 4, w, 6, c);
            nX += w + 4;
            i = nEnd + 1;
        }
        return nX - 4 - x;
    }
    static int TextWidth(std::string_view text) { return CMock(ImageSet{}, 1, 1).Text(0, 0, text); }

    // The frame as the skinned dialog paints it, with the title and the shown title buttons.
    void Frame(std::string_view title, bool bRound, bool bResizable, bool bFullStrip,
               const std::vector<std::pair<std::string, std::string>>& buttons);
    // A button face: fill, images drawn with the key, a centred or placed text.
    void Button(int x, int y, int w, int h, SColour face, const CCanvas* pImage = nullptr,
                int ix = 0, int iy = 0)
    {
        m_canvas.FillRect(x, y, w, h, face);
        if (pImage != nullptr)
            m_canvas.BlitKeyed(*pImage, x + ix, y + iy, MAGENTA);
    }
    void Keyed(const CCanvas& image, int x, int y) { m_canvas.BlitKeyed(image, x, y, MAGENTA); }
    void Flat(const CCanvas& image, int x, int y, SColour background)
    {
        CCanvas flat(image.Width(), image.Height(), background);
        flat.BlitOver(image, 0, 0);
        m_canvas.BlitKeyed(flat, x, y, MAGENTA);
    }

    CCanvas& Canvas() { return m_canvas; }
    int W() const { return m_canvas.Width(); }
    int H() const { return m_canvas.Height(); }

private:
    void Tile(const CCanvas& image, int x0, int y0, int x1, int y1)
    {
        for (int y = y0; y < y1; y += image.Height())
            for (int x = x0; x < x1; x += image.Width())
                m_canvas.Blit(image.Crop(0, 0, std::min(image.Width(), x1 - x),
                                         std::min(image.Height(), y1 - y)),
                              x, y);
    }

    const ImageSet& m_set;
    CCanvas m_canvas;
};

void CMock::Frame(std::string_view title, bool bRound, bool bResizable, bool bFullStrip,
                  const std::vector<std::pair<std::string, std::string>>& buttons)
{
    const int nW = W();
    const int nH = H();
    const CCanvas& leftEnd = Skin(bRound ? "DialogIconNone.bmp" : "DialogIconNone_Square.bmp");
    m_canvas.Blit(leftEnd, 0, 0);
    const int nIconW = leftEnd.Width();
    const CCanvas& top = Skin("DialogTop.bmp");
    const int nStripH = top.Height() - (bFullStrip ? 0 : 1);
    const int tw = TextWidth(title);
    m_canvas.Blit(top.Crop(0, 0, std::min(tw + 15, top.Width()), nStripH), nIconW, 0);
    const CCanvas& ur = Skin(bRound ? "DialogUR.bmp" : "DialogUR_Square.bmp");
    Tile(top.Crop(0, 0, top.Width(), nStripH), nIconW + tw + 5, 0, nW - ur.Width(), nStripH);
    m_canvas.Blit(ur, nW - ur.Width(), 0);
    const CCanvas& left = Skin("DialogLeft.bmp");
    const CCanvas& right = Skin("DialogRight.bmp");
    const CCanvas& bottom = Skin("DialogBottom.bmp");
    Tile(left, 0, top.Height(), left.Width(), nH);
    Tile(right, nW - right.Width(), top.Height(), nW, nH);
    Tile(bottom, 0, nH - bottom.Height(), nW, nH);
    Tile(Skin("DialogBackground.bmp"), left.Width(), nStripH, nW - right.Width(),
         nH - bottom.Height());
    const CCanvas& ll = Skin(bRound ? "DialogLL.bmp" : "DialogLL_Square.bmp");
    m_canvas.Blit(ll, 0, nH - ll.Height());
    const CCanvas& lr = Skin(bResizable ? "DialogLR_Resize.bmp"
                             : bRound   ? "DialogLR.bmp"
                                        : "DialogLR_Square.bmp");
    m_canvas.Blit(lr, nW - lr.Width(), nH - lr.Height());
    Text(nIconW - 4, 7, title, BLACK);

    int x = nW - 27;
    for (const auto& [strImage, strKind] : buttons)
    {
        const int nX = strKind == "help" ? x - 10 : x;
        Button(nX, TITLE_BUTTON_TOP, TITLE_BUTTON_SIZE, TITLE_BUTTON_SIZE, TITLE_BUTTON_FACE,
               &Skin(strImage));
        x -= 20;
    }
    if (bRound)
        for (int y = 0; y < nH; ++y)
        {
            const int n = RoundRegionInset(y, nH);
            for (int i = 0; i < n; ++i)
            {
                m_canvas.Set(i, y, TRANSPARENT);
                m_canvas.Set(nW - 1 - i, y, TRANSPARENT);
            }
        }
}

// The main window in its game list (view 0) or one game (view 3).
CCanvas MainWindow(const ImageSet& set, int nW, int nH, bool bGameView)
{
    CMock m(set, nW, nH);
    m.Frame("Zorvex Messenger", true, true, false,
            {{"ButtonCloseHover.bmp", "close"}, {"ButtonMinimize.bmp", "min"}});
    // Content area at (10, 30); everything below is in its coordinates.
    const int cx = 10;
    const int cy = 30;
    const int cw = nW - 20;
    const int ch = nH - 40;
    CCanvas& c = m.Canvas();
    c.FillRect(cx, cy, cw, ch, WHITE);
    m.Button(cx + 2, cy + 2, 23, 25, LIGHT_GREY, bGameView ? &m.Icon("Back-Small.bmp") : nullptr, 3,
             2);
    m.Button(cx + 25, cy + 2, cw - 25, 25, LIGHT_GREY, &m.Icon("Dropdown.bmp"), nW - 58, 11);
    m.Text(cx + 29, cy + 8, bGameView ? "Game: Frontier" : "Main Menu");
    const CCanvas& flagA = m.Image(FLAGS_DIR + std::string("Ravenmark.png"));
    const CCanvas& flagB = m.Image(FLAGS_DIR + std::string("Solvania.png"));
    if (!bGameView)
    {
        int y = cy + 27 + 1;
        m.Flat(flagA, cx + 2 + 4, y + 7, BLACK);
        m.Text(cx + 2 + 27, y + 6, "Game: Frontier");
        m.Flat(m.Icon("UI-Yield.png"), cx + 2 + 27, y + 24, MAGENTA);
        m.Text(cx + 2 + 42, y + 24, "3 New Events");
        y += 41;
        c.FillRect(cx + 2, y, 250, 25, Rgb(230, 230, 230)); // the row under the pointer
        m.Flat(m.Icon("FlagNeutral.png"), cx + 2 + 4, y + 7, MAGENTA);
        m.Text(cx + 2 + 27, y + 6, "Game: Eastmarch");
        y += 25;
        m.Keyed(m.Skin("Check1.bmp"), cx + 2 + 8, y + 8);
        m.Text(cx + 2 + 27, y + 6, "Preferences");
        y += 25;
        m.Keyed(m.Icon("Help.bmp"), cx + 2 + 7, y + 5);
        m.Text(cx + 2 + 27, y + 6, "What is this application?");
        return c;
    }
    m.Flat(flagA, cx + 2 + 5, cy + 27 + 7, BLACK);
    m.Keyed(m.Icon("Clock.bmp"), cx + 2 + 27, cy + 27 + 7);
    m.Text(cx + 2 + 41, cy + 27 + 6, "Turn 34");
    c.FillRect(cx + 2, cy + 52, nW - 23, 1, LIGHT_GREY);
    const int ly = cy + 53;
    m.Flat(m.Icon("UI-Yield.png"), cx + 2 + 6, ly + 1 + 8, MAGENTA);
    m.Text(cx + 2 + 24, ly + 1 + 8, "4 Events");
    struct SEvent
    {
        const CCanvas* pSender;
        const char* pszKind;
        int kx;
        int ky;
    };
    const SEvent events[] = {{nullptr, "Mail-17x11.png", 3, 7},
                             {&flagB, "Target2.bmp", 4, 5},
                             {&flagB, "Clock.bmp", 6, 7},
                             {&flagA, "Chat.bmp", 5, 7}};
    int y = ly + 26;
    for (const SEvent& e : events)
    {
        const int rx = cx + 2 + 2;
        if (e.pSender == nullptr)
            m.Keyed(m.Icon("Globe13x13.bmp"), rx + 4, y + 6);
        else
            m.Flat(*e.pSender, rx + 3, y + 7, BLACK);
        m.Flat(m.Icon(e.pszKind), rx + 20 + e.kx, y + e.ky, WHITE);
        m.Text(rx + 44, y + 6, "Declared war on you");
        y += 22;
    }
    c.FillRect(cx + 2, nH - 67 + cy, nW - 23, 1, LIGHT_GREY);
    m.Text(cx + 2 + 22, nH - 66 + cy + 7, "Options");
    m.Text(cx + 92 + 14, nH - 66 + cy + 7, "Enter Game");
    return c;
}

CCanvas WarningBox(const ImageSet& set, bool bQuestion)
{
    CMock m(set, 298, 169);
    m.Frame(bQuestion ? "Warning" : "Information", true, false, true, {});
    m.Button(30, 45, 43, 43, FACE,
             bQuestion ? &m.Icon("WarningIcon.bmp") : &m.Icon("IconCheck.bmp"), bQuestion ? 0 : 7,
             bQuestion ? 0 : 7);
    m.Text(75, 55, "Do you want to Logout?", BLACK);
    const int nW = m.W();
    const int nH = m.H();
    const CCanvas& face = m.Skin("ButtonBlank90.bmp");
    if (bQuestion)
    {
        m.Button(nW - 215, nH - 45, 90, 28, FACE, &face);
        m.Text(nW - 215 + 37, nH - 45 + 8, "OK", BLACK);
    }
    m.Button(nW - 115, nH - 45, 90, 28, FACE, &face);
    m.Text(nW - 115 + (bQuestion ? 30 : 32), nH - 45 + 8, bQuestion ? "Cancel" : "Close", BLACK);
    return m.Canvas();
}

// A square frame with every title button, two of them under the pointer, around a white panel
// with the looking-for-games check boxes and its white button.
CCanvas SquareDialog(const ImageSet& set)
{
    CMock m(set, 240, 130);
    m.Frame("Online Games", false, false, true,
            {{"ButtonClose.bmp", "close"},
             {"ButtonMaxHover.bmp", "max"},
             {"ButtonMinimize.bmp", "min"},
             {"ButtonHelpHover.bmp", "help"}});
    CCanvas& c = m.Canvas();
    c.FillRect(15, 35, 210, 80, WHITE);
    m.Keyed(m.Skin("Check2.bmp"), 25 + 5, 43 + 8);
    m.Text(25 + 19, 43 + 6, "I am looking to join");
    m.Keyed(m.Skin("Check1.bmp"), 25 + 5, 68 + 8);
    m.Text(25 + 19, 68 + 6, "Preferences");
    m.Flat(m.Skin("Button-White-100.png"), 115, 84, WHITE);
    m.Text(115 + 20, 84 + 7, "Send Message");
    return c;
}

} // namespace

std::vector<CCanvas> BuildFrameMocks(const ImageSet& set)
{
    return {MainWindow(set, 300, 220, false), MainWindow(set, 300, 260, true),
            WarningBox(set, true), WarningBox(set, false), SquareDialog(set)};
}
