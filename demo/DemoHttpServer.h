// The demo game server over HTTP: the two scripts of the game server, answered by a
// CDemoGameServer. Everything else gets an error status with a short text.
#pragma once

#include "DemoGameServer.h"

#include <httplib.h>

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>

class CDemoHttpServer
{
public:
    // Bodies above this size are refused with 413.
    static constexpr std::size_t kMaxBodySize = std::size_t{1024} * 1024;

    explicit CDemoHttpServer(CDemoGameServer& game);
    // Stops serving and joins a thread started by Start.
    ~CDemoHttpServer();
    CDemoHttpServer(const CDemoHttpServer&) = delete;
    CDemoHttpServer& operator=(const CDemoHttpServer&) = delete;

    // Binds to the host and port, a free port when nPort is 0. The port bound, or 0 on failure.
    int Bind(const std::string& strHost, int nPort);
    // Serves on the calling thread until Stop.
    bool Listen();
    // Serves on a thread of its own; returns once the server takes connections.
    void Start();
    void Stop();

private:
    // The listen queue: the library's own holds 5 waiting connections, too few for a burst of
    // pollers; a longer one is set on the socket after the library has bound it.
    static constexpr int kListenBacklog = 64;

    httplib::Server m_server;
    int m_nListenFd = -1; // the socket Bind made, seen through the socket-options call
    std::thread m_thread;
    std::atomic<bool> m_bEnded = false; // the thread's serving has ended
};
