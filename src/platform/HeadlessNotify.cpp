// CHeadlessNotifier loads the notification module at run time, so that the program links no Qt
// library and loads one only when asked to notify.
#include "platform/HeadlessNotify.h"

#include "platform/NotifyModuleAbi.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

namespace
{

// The folder of the running program, with a trailing "/"; empty when it cannot be told.
std::string ProgramFolder()
{
    std::vector<char> path(PATH_MAX + 1);
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0)
        return {};
    std::string strPath(path.data(), static_cast<std::size_t>(n));
    return strPath.substr(0, strPath.rfind('/') + 1);
}

} // namespace

struct CHeadlessNotifier::SState
{
    void* hModule = nullptr;
    void* pNotifier = nullptr;
    FnNotifyShow fnShow = nullptr;
    FnNotifyClose fnClose = nullptr;
};

CHeadlessNotifier::CHeadlessNotifier() : m_pState(std::make_unique<SState>())
{
    // Beside the program in the build tree; in the library folder once installed.
    const std::string strFolder = ProgramFolder();
    for (const std::string& strPath :
         {strFolder + kNotifyModuleName,
          strFolder + ZORVEX_NOTIFY_MODULE_FROM_BIN "/" + kNotifyModuleName})
    {
        m_pState->hModule = ::dlopen(strPath.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (m_pState->hModule != nullptr)
            break;
    }
    if (m_pState->hModule == nullptr)
        return;
    const auto fnOpen =
        reinterpret_cast<FnNotifyOpen>(::dlsym(m_pState->hModule, "zorvex_notify_open"));
    m_pState->fnShow =
        reinterpret_cast<FnNotifyShow>(::dlsym(m_pState->hModule, "zorvex_notify_show"));
    m_pState->fnClose =
        reinterpret_cast<FnNotifyClose>(::dlsym(m_pState->hModule, "zorvex_notify_close"));
    if (fnOpen == nullptr || m_pState->fnShow == nullptr || m_pState->fnClose == nullptr)
    {
        m_pState->fnShow = nullptr;
        return;
    }
    m_pState->pNotifier = fnOpen();
}

CHeadlessNotifier::~CHeadlessNotifier()
{
    if (m_pState->pNotifier != nullptr)
        m_pState->fnClose(m_pState->pNotifier);
    // The module stays loaded: Qt's libraries keep threads and exit handlers of their own.
}

bool CHeadlessNotifier::Show(const SDesktopNotification& notification, int nWaitMs)
{
    return m_pState->pNotifier != nullptr &&
           m_pState->fnShow(m_pState->pNotifier, &notification, nWaitMs) != 0;
}
