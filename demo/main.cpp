// zorvex-demo-server: a stand-in for the game server, for trying the program without the real one.
//
//     zorvex-demo-server --port N [--host 127.0.0.1] [--seed S]
//
// With port 0 it takes a free port. Once it takes connections it prints
// "listening on http://HOST:PORT" on standard output, so that scripts can read the port.
#include "DemoHttpServer.h"

#include <charconv>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string_view>

namespace
{

int Usage()
{
    std::cerr << "usage: zorvex-demo-server --port N [--host 127.0.0.1] [--seed S]\n";
    return 2;
}

template <typename T> std::optional<T> ParseNumber(std::string_view strText)
{
    T value{};
    const auto [pEnd, error] =
        std::from_chars(strText.data(), strText.data() + strText.size(), value);
    if (error != std::errc() || pEnd != strText.data() + strText.size())
        return std::nullopt;
    return value;
}

} // namespace

int main(int argc, char** argv)
{
    std::optional<int> nPort;
    std::string strHost = "127.0.0.1";
    std::uint32_t nSeed = 1;
    for (int i = 1; i < argc; ++i)
    {
        const std::string_view option = argv[i];
        if (i + 1 >= argc)
            return Usage();
        const std::string_view value = argv[++i];
        if (option == "--port")
        {
            nPort = ParseNumber<int>(value);
            if (!nPort || *nPort < 0 || *nPort > 65535)
                return Usage();
        }
        else if (option == "--host")
        {
            strHost = value;
        }
        else if (option == "--seed")
        {
            const std::optional<std::uint32_t> nValue = ParseNumber<std::uint32_t>(value);
            if (!nValue)
                return Usage();
            nSeed = *nValue;
        }
        else
        {
            return Usage();
        }
    }
    if (!nPort)
        return Usage();

    CDemoGameServer game(nSeed);
    CDemoHttpServer server(game);
    const int nBound = server.Bind(strHost, *nPort);
    if (nBound == 0)
    {
        std::cerr << "zorvex-demo-server: cannot listen on " << strHost << ":" << *nPort << "\n";
        return 1;
    }
    // An IPv6 host is written in brackets in a URL.
    const bool bIpv6 = strHost.find(':') != std::string::npos;
    std::cout << "listening on http://" << (bIpv6 ? "[" + strHost + "]" : strHost) << ":" << nBound
              << std::endl;
    return server.Listen() ? 0 : 1;
}
