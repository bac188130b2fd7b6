// The tile server of the download tests goes away while requests still reach it: a request
// that arrives during its destruction is answered or refused, never handled by a server whose
// counters and rule are already gone (a use after free that crashed a pause and terminate run).
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/tile_server.h"

namespace {

// A connected TCP socket to 127.0.0.1:port, -1 when it cannot connect.
int ConnectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

TEST(DownloadServerTeardown, RequestsArrivingWhileTheTileServerIsDestroyedAreHandledSafely) {
    const std::string request =
        "GET /a.tile.example.org/3/1/2.png HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: "
        "close\r\n\r\n";
    for (int round = 0; round < 10; ++round) {
        std::optional<testsupport::TileServer> server(std::in_place);
        const int port = std::stoi(server->BaseUrl().substr(server->BaseUrl().rfind(':') + 1));
        // Connections the server has accepted and whose threads wait for a request line.
        std::vector<int> sockets;
        for (int i = 0; i < 16; ++i) {
            const int fd = ConnectTo(port);
            ASSERT_GE(fd, 0) << "cannot connect to the tile server";
            sockets.push_back(fd);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        // The requests arrive while the server is being destroyed.
        for (const int fd : sockets) {
            ASSERT_EQ(::send(fd, request.data(), request.size(), MSG_NOSIGNAL),
                      static_cast<ssize_t>(request.size()));
        }
        server.reset();
        for (const int fd : sockets) {
            ::close(fd);
        }
    }
}
