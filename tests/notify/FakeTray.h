// A tray back end that records what it is asked to do; the test keeps the state, the tray owns
// the back end.
#pragma once

#include "platform/TrayIcon.h"
#include "res/PngDecoder.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct CFakeTrayMessage
{
    std::wstring strTitle;
    std::wstring strText;
    ETrayMessageIcon icon;
    int nTimeoutMs;
};

// The bundled picture Data/Icons/icon<nResource>-<nSize>.png as a tray icon image (the test
// program is built with ZORVEX_ASSETS_DIR).
inline SIconImage BundledIconImage(unsigned int nResource, int nSize)
{
    const std::filesystem::path path =
        std::filesystem::path(ZORVEX_ASSETS_DIR) / "Data" / "Icons" /
        ("icon" + std::to_string(nResource) + "-" + std::to_string(nSize) + ".png");
    const CImageData decoded = DecodePngFile(path.wstring());
    SIconImage image;
    image.nWidth = decoded.m_nWidth;
    image.nHeight = decoded.m_nHeight;
    for (int y = 0; y < decoded.m_nHeight; ++y)
        for (int x = 0; x < decoded.m_nWidth; ++x)
        {
            const std::uint8_t* p = decoded.GetPixel(x, y);
            image.pixels.push_back(std::uint32_t{p[3]} << 24 | std::uint32_t{p[0]} << 16 |
                                   std::uint32_t{p[1]} << 8 | p[2]);
        }
    return image;
}

struct CFakeTrayState
{
    // A tray host shows the icon; a test that takes it away calls availabilityHandler itself.
    bool bAvailable = true;
    // The host shows balloons.
    bool bBalloons = true;
    bool bReportsDoubleClicks = false;
    bool bVisible = false;
    std::vector<SIconImage> icon;
    std::wstring strTip;
    std::vector<CFakeTrayMessage> messages;
    std::vector<SDesktopNotification> notifications;
    std::function<void(ETrayActivation)> handler;
    // Told of a click on a balloon.
    std::function<void()> messageClickHandler;
    std::function<void(bool)> availabilityHandler;
    // The context menu as the host would open it, and a pick from it.
    std::function<std::vector<STrayMenuItem>()> menuItems;
    std::function<void(unsigned int)> menuChosen;

    // Whether the icon shows the bundled pictures of icon nResource in every size the program
    // ships (16, 22, 24, 32, 48 and 64 pixels).
    bool ShowsBundledIcon(unsigned int nResource) const
    {
        const int sizes[] = {16, 22, 24, 32, 48, 64};
        if (icon.size() != std::size(sizes))
            return false;
        for (std::size_t i = 0; i < icon.size(); ++i)
            if (icon[i] != BundledIconImage(nResource, sizes[i]))
                return false;
        return true;
    }

    // The entries the menu would show now; empty without a menu.
    std::vector<STrayMenuItem> OpenMenu() const
    {
        return menuItems ? menuItems() : std::vector<STrayMenuItem>{};
    }
    // Opens the menu and picks the entry with the text; false when it has none.
    bool ChooseFromMenu(const std::wstring& strText) const
    {
        for (const STrayMenuItem& item : OpenMenu())
        {
            if (item.nID != 0 && item.strText == strText && menuChosen)
            {
                menuChosen(item.nID);
                return true;
            }
        }
        return false;
    }
};

class CFakeTray : public ITrayIconBackend
{
public:
    explicit CFakeTray(CFakeTrayState& state) : m_state(state) {}

    bool IsSystemTrayAvailable() const override { return m_state.bAvailable; }
    void SetAvailabilityHandler(std::function<void(bool)> handler) override
    {
        m_state.availabilityHandler = std::move(handler);
    }
    bool HostReportsDoubleClicks() const override { return m_state.bReportsDoubleClicks; }
    bool SetIcon(const std::vector<SIconImage>& images) override
    {
        if (images.empty())
            return false;
        for (const SIconImage& image : images)
            if (!image.IsValid())
                return false;
        m_state.icon = images;
        return true;
    }
    void SetToolTip(const std::wstring& strText) override { m_state.strTip = strText; }
    bool ShowMessage(const std::wstring& strTitle, const std::wstring& strText,
                     ETrayMessageIcon icon, int nTimeoutMs) override
    {
        if (!m_state.bAvailable || !m_state.bBalloons)
            return false;
        m_state.messages.push_back({strTitle, strText, icon, nTimeoutMs});
        return true;
    }
    bool ShowNotification(const SDesktopNotification& notification) override
    {
        m_state.notifications.push_back(notification);
        return true;
    }
    void Show() override { m_state.bVisible = true; }
    void Hide() override { m_state.bVisible = false; }
    bool GetGeometry(long&, long&, long&, long&) const override { return false; }
    void SetActivationHandler(std::function<void(ETrayActivation)> handler) override
    {
        m_state.handler = std::move(handler);
    }
    void SetMessageClickHandler(std::function<void()> handler) override
    {
        m_state.messageClickHandler = std::move(handler);
    }
    void SetMenuProvider(std::function<std::vector<STrayMenuItem>()> items,
                         std::function<void(unsigned int)> chosen) override
    {
        m_state.menuItems = std::move(items);
        m_state.menuChosen = std::move(chosen);
    }

private:
    CFakeTrayState& m_state;
};
