#include "DemoHttpServer.h"

#include "net/GameServer.h"

#include <sys/socket.h>

#include <chrono>
#include <cstdio>

namespace
{

// The scripts' paths as patterns: a dot matches only itself.
std::string PathPattern(std::string_view strPath)
{
    std::string strPattern;
    for (const char c : strPath)
    {
        if (c == '.')
            strPattern += '\\';
        strPattern += c;
    }
    return strPattern;
}

const char* StatusText(int nStatus)
{
    switch (nStatus)
    {
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Payload Too Large";
    case 414:
        return "URI Too Long";
    default:
        return "Error";
    }
}

void Reply(httplib::Response& res, const SDemoReply& reply)
{
    res.status = reply.nStatus;
    res.set_content(reply.strBody, "text/plain");
}

} // namespace

CDemoHttpServer::CDemoHttpServer(CDemoGameServer& game)
{
    m_server.set_payload_max_length(kMaxBodySize);
    // Called for the listening socket when Bind makes it (the last one made is the one bound).
    m_server.set_socket_options(
        [this](socket_t sock)
        {
            httplib::default_socket_options(sock);
            m_nListenFd = sock;
        });
    // Scripts and tests that keep a connection open must not hold up the end for long.
    m_server.set_keep_alive_timeout(1);
    // One line per request on standard output, so that a script can see what the server heard.
    m_server.set_logger(
        [](const httplib::Request& req, const httplib::Response& res)
        {
            std::printf("%s %s %d\n", req.method.c_str(), req.path.c_str(), res.status);
            std::fflush(stdout);
        });

    const auto post =
        [](SDemoReply (CDemoGameServer::*pfnAnswer)(const DemoFormFields&), CDemoGameServer& server)
    {
        return [pfnAnswer, &server](const httplib::Request& req, httplib::Response& res)
        {
            if (!req.is_multipart_form_data())
            {
                Reply(res, {400, "a multipart/form-data post is expected\n"});
                return;
            }
            DemoFormFields fields;
            for (const auto& [strName, part] : req.files)
                fields.emplace(strName, part.content); // keeps the first of a repeated name
            Reply(res, (server.*pfnAnswer)(fields));
        };
    };
    const auto wrongMethod = [](const httplib::Request&, httplib::Response& res)
    {
        res.set_header("Allow", "POST");
        Reply(res, {405, "only POST is answered here\n"});
    };
    for (const auto& [strPath, pfnAnswer] :
         {std::pair{SCRIPT_DOWNLOAD_EVENTS, &CDemoGameServer::DownloadEvents},
          std::pair{SCRIPT_LOOKING_FOR_GAME, &CDemoGameServer::SetLookingForGame}})
    {
        const std::string strPattern = PathPattern(strPath);
        m_server.Post(strPattern, post(pfnAnswer, game));
        m_server.Get(strPattern, wrongMethod);
        m_server.Put(strPattern, wrongMethod);
        m_server.Patch(strPattern, wrongMethod);
        m_server.Delete(strPattern, wrongMethod);
        m_server.Options(strPattern, wrongMethod);
    }

    // Errors the library answers itself (unknown path, body too large, unreadable body) get a
    // short text as well.
    m_server.set_error_handler(
        [](const httplib::Request&, httplib::Response& res)
        {
            if (res.body.empty())
                res.set_content(std::to_string(res.status) + " " + StatusText(res.status) + "\n",
                                "text/plain");
        });
    m_server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, const std::exception_ptr&) {
            Reply(res, {500, "internal error\n"});
        });
}

CDemoHttpServer::~CDemoHttpServer()
{
    Stop();
}

int CDemoHttpServer::Bind(const std::string& strHost, int nPort)
{
    const int nBound = nPort == 0 ? std::max(0, m_server.bind_to_any_port(strHost))
                                  : (m_server.bind_to_port(strHost, nPort) ? nPort : 0);
    // Listening again on a listening socket only changes the length of its queue.
    if (nBound != 0 && m_nListenFd >= 0)
        ::listen(m_nListenFd, kListenBacklog);
    return nBound;
}

bool CDemoHttpServer::Listen()
{
    return m_server.listen_after_bind();
}

void CDemoHttpServer::Start()
{
    m_bEnded = false;
    m_thread = std::thread(
        [this]
        {
            m_server.listen_after_bind();
            m_bEnded = true;
        });
    // stop() does nothing before the server runs, which would leave the thread listening. A
    // server that was never bound ends at once instead.
    while (!m_server.is_running() && !m_bEnded)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void CDemoHttpServer::Stop()
{
    m_server.stop();
    if (m_thread.joinable())
        m_thread.join();
}
