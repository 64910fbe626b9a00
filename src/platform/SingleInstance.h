// CSingleInstance: one running program per installation folder. The first copy for a folder
// holds a lock file and listens on a local socket; a later copy for the same folder finds the
// lock held and asks the first, over the socket, to show its window. Both are named from a hash
// of the folder's canonical path (so another spelling or a symbolic link names the same folder)
// and live in $XDG_RUNTIME_DIR, else in /tmp/zorvex-messenger-<uid> (made private to the user).
// The lock is flock(2), so the kernel releases it when its holder dies, and a socket file left
// by a dead holder is replaced by the next one: nothing blocks the next start. Qt-free;
// WatchShowRequests needs the window system.
//
//     CSingleInstance instance(strInstallFolder);
//     if (instance.Claim() == CSingleInstance::EClaim::Taken)
//         return instance.AskOwnerToShow(5s) ? 0 : 1;
//     InitPlatform(...);
//     instance.WatchShowRequests([] { /* show the window */ });
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class CSingleInstance
{
public:
    enum class EClaim
    {
        Owner,       // this is the folder's one copy (also when the socket could not be made)
        Taken,       // another copy holds the folder
        Unavailable, // no private runtime folder or no lock file: nothing can be told
    };

    // strFolder: the installation folder (native bytes). strRuntimeFolder: where lock and socket
    // go; empty: $XDG_RUNTIME_DIR or the private folder in /tmp.
    explicit CSingleInstance(const std::string& strFolder, std::string strRuntimeFolder = {});
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // Takes the folder's lock; as its owner, listens for show requests until the object goes.
    EClaim Claim();
    // Asks the owner to show its window; true once it confirmed, false when it did not within
    // the time (it may be just starting: tried again meanwhile). Blocks the calling thread.
    bool AskOwnerToShow(std::chrono::milliseconds timeout) const;
    // As the owner, runs fnShow on the user-interface thread for each show request. Call once
    // the window system runs; requests made before wait until then.
    void WatchShowRequests(std::function<void()> fnShow);

    const std::string& LockPath() const { return m_strLockPath; }
    const std::string& SocketPath() const { return m_strSocketPath; }
    // Why Claim said Unavailable, for a message.
    const std::string& Problem() const { return m_strProblem; }

private:
    struct SWatch;
    std::string m_strLockPath;
    std::string m_strSocketPath;
    std::string m_strProblem;
    int m_nLockFd = -1;
    int m_nListenFd = -1;
    std::unique_ptr<SWatch> m_pWatch;
};
