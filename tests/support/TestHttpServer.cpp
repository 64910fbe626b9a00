#include "support/TestHttpServer.h"

std::string CTestHttpRequest::Header(const std::string& strName) const
{
    const auto it = m_headers.find(strName);
    return it == m_headers.end() ? std::string() : it->second;
}

const CTestHttpPart* CTestHttpRequest::Part(std::string_view strName) const
{
    for (const CTestHttpPart& part : m_parts)
    {
        if (part.m_strName == strName)
            return &part;
    }
    return nullptr;
}

std::string CTestHttpRequest::Field(std::string_view strName) const
{
    const CTestHttpPart* pPart = Part(strName);
    return pPart == nullptr ? std::string() : pPart->m_strContent;
}

CTestHttpServer::CTestHttpServer()
{
    const auto serve = [this](const httplib::Request& req, httplib::Response& res)
    { Serve(req, res, nullptr); };
    // The content-reader form keeps multipart fields in body order (the server's own field map
    // sorts them by name).
    const auto serveBody = [this](const httplib::Request& req, httplib::Response& res,
                                  const httplib::ContentReader& reader)
    { Serve(req, res, &reader); };
    m_server.Get(".*", serve);
    m_server.Delete(".*", serve);
    m_server.Post(".*", serveBody);
    m_server.Put(".*", serveBody);
    // Clients that keep a connection open must not hold up the destructor for long.
    m_server.set_keep_alive_timeout(1);

    m_nPort = m_server.bind_to_any_port("127.0.0.1");
    if (m_nPort <= 0)
    {
        m_nPort = 0;
        return;
    }
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    // stop() does nothing before the server runs, which would leave the thread listening forever.
    while (!m_server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

CTestHttpServer::~CTestHttpServer()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bStopping = true;
    }
    m_changed.notify_all();
    m_server.stop();
    if (m_thread.joinable())
        m_thread.join();
}

std::string CTestHttpServer::BaseURL() const
{
    return "http://127.0.0.1:" + std::to_string(m_nPort);
}

std::string CTestHttpServer::URL(std::string_view strPathAndQuery) const
{
    return BaseURL() + std::string(strPathAndQuery);
}

void CTestHttpServer::SetHandler(Handler handler)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_handler = std::move(handler);
}

std::vector<CTestHttpRequest> CTestHttpServer::Requests() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

bool CTestHttpServer::WaitForRequests(std::size_t nCount, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_requests.size() >= nCount; });
}

bool CTestHttpServer::WaitWhileRunning(std::chrono::milliseconds duration) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_changed.wait_for(lock, duration, [&] { return m_bStopping; });
}

void CTestHttpServer::Serve(const httplib::Request& req, httplib::Response& res,
                            const httplib::ContentReader* pReader)
{
    CTestHttpRequest request;
    request.m_strMethod = req.method;
    request.m_strTarget = req.target;
    request.m_strPath = req.path;
    const std::size_t nQuery = req.target.find('?');
    if (nQuery != std::string::npos)
        request.m_strQuery = req.target.substr(nQuery + 1);
    request.m_params = req.params;
    request.m_headers = req.headers;
    if (pReader == nullptr)
        request.m_strBody = req.body;
    else if (req.is_multipart_form_data())
    {
        (*pReader)(
            [&](const httplib::MultipartFormData& file)
            {
                request.m_parts.push_back({file.name, "", file.filename, file.content_type});
                return true;
            },
            [&](const char* pData, std::size_t nLength)
            {
                request.m_parts.back().m_strContent.append(pData, nLength);
                return true;
            });
    }
    else
    {
        (*pReader)(
            [&](const char* pData, std::size_t nLength)
            {
                request.m_strBody.append(pData, nLength);
                return true;
            });
    }

    Handler handler;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back(request);
        handler = m_handler;
    }
    m_changed.notify_all();

    if (handler)
        handler(request, res);
    else
        res.set_content("", "text/plain");
}
