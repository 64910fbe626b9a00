// A real HTTP server on the loopback interface, for tests of code that talks to the game server.
//
// It listens on 127.0.0.1 at a port the system chooses, serves on a thread of its own from
// construction to destruction, and records every request (GET, POST, PUT, DELETE, any path) in
// the order they arrive, before its handler answers. The answer comes from a settable handler;
// without one it is 200 with an empty "text/plain" body.
//
//     CTestHttpServer server;
//     server.SetHandler([](const CTestHttpRequest& req, httplib::Response& res)
//                       { res.set_content("Answer", "text/plain"); });
//     transfer.SetURL(server.URL("/ServerAssets/PBEM/DownloadNewGameEvents.php"));
//     ...
//     ASSERT_EQ(server.Requests().size(), 1u);
//     EXPECT_EQ(server.Requests()[0].Field("GameId"), "123");
//
// A handler that must stall (time limits, aborts) waits with WaitWhileRunning: it returns early
// when the server begins to stop, so the destructor never waits out the stall. Handlers run on
// the server's worker threads; SetHandler may be called at any time.
#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// One field of a multipart/form-data body.
struct CTestHttpPart
{
    std::string m_strName;
    std::string m_strContent;
    std::string m_strFilename;    // "" for a plain field
    std::string m_strContentType; // the part's own Content-Type, "" when it had none
};

struct CTestHttpRequest
{
    std::string m_strMethod;
    std::string m_strTarget;  // the request target exactly as received: "/p?x=5%25%20%231"
    std::string m_strPath;    // the path, percent-decoded by the server
    std::string m_strQuery;   // the raw text after the first "?" of the target, "" without one
    httplib::Params m_params; // the query's pairs, decoded
    // Names compare case-insensitively; the map keeps them sorted by name, not in arrival order.
    httplib::Headers m_headers;
    std::string m_strBody;              // the body, when it is not multipart/form-data
    std::vector<CTestHttpPart> m_parts; // the multipart fields, in body order

    bool HasHeader(const std::string& strName) const { return m_headers.count(strName) != 0; }
    // The first value of a header, "" when missing.
    std::string Header(const std::string& strName) const;
    // The first multipart field of that name, null when there is none.
    const CTestHttpPart* Part(std::string_view strName) const;
    // The content of the first field of that name, "" when missing.
    std::string Field(std::string_view strName) const;
};

class CTestHttpServer
{
public:
    using Handler = std::function<void(const CTestHttpRequest&, httplib::Response&)>;

    // Starts serving; Port() is 0 when no port could be bound.
    CTestHttpServer();
    // Wakes stalled handlers, stops the server and joins its thread.
    ~CTestHttpServer();
    CTestHttpServer(const CTestHttpServer&) = delete;
    CTestHttpServer& operator=(const CTestHttpServer&) = delete;

    int Port() const { return m_nPort; }
    // "http://127.0.0.1:<port>"
    std::string BaseURL() const;
    // BaseURL() + strPathAndQuery (which begins with "/").
    std::string URL(std::string_view strPathAndQuery) const;

    void SetHandler(Handler handler);

    // A copy of the requests received so far, in arrival order.
    std::vector<CTestHttpRequest> Requests() const;
    // Waits until at least nCount requests have arrived; false when the time ran out first.
    bool WaitForRequests(std::size_t nCount, std::chrono::milliseconds timeout) const;

    // For handlers: waits for the given time; returns false early when the server is stopping.
    bool WaitWhileRunning(std::chrono::milliseconds duration) const;

private:
    void Serve(const httplib::Request& req, httplib::Response& res,
               const httplib::ContentReader* pReader);

    httplib::Server m_server;
    std::thread m_thread;
    int m_nPort = 0;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed; // a request arrived, or stopping began
    std::vector<CTestHttpRequest> m_requests;
    Handler m_handler;
    bool m_bStopping = false;
};
