// Test support: a plain TCP client on loopback and a pump for the event
// loop. Header-only; tests link the `cvi_testing` target.
#pragma once

#include "cvi_events.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>

namespace cvi_testing {

// Runs a few passes of the event loop; each pass waits for nothing, and on
// loopback whatever a client sent is already there.
inline void pump(int passes = 5) {
    for (int i = 0; i < passes; ++i) ProcessSystemEvents();
}

class TcpClient {
public:
    explicit TcpClient(unsigned port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(static_cast<uint16_t>(port));
        if (fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) close();
    }
    ~TcpClient() { close(); }
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;

    bool connected() const { return fd_ >= 0; }

    bool send_text(std::string_view text) {
        size_t sent = 0;
        while (sent < text.size()) {
            ssize_t n = ::send(fd_, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return false;
            sent += static_cast<size_t>(n);
        }
        return true;
    }

    // Reads until `count` bytes arrived, the peer closed, or nothing came
    // for timeout_ms.
    std::string receive(size_t count, int timeout_ms = 1000) {
        std::string got;
        while (got.size() < count) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, timeout_ms) <= 0) break;
            char buf[1024];
            size_t want = count - got.size() < sizeof buf ? count - got.size() : sizeof buf;
            ssize_t n = ::recv(fd_, buf, want, 0);
            if (n <= 0) break;
            got.append(buf, static_cast<size_t>(n));
        }
        return got;
    }

    // What has arrived so far, without waiting.
    std::string available() {
        std::string got;
        char buf[1024];
        for (;;) {
            ssize_t n = ::recv(fd_, buf, sizeof buf, MSG_DONTWAIT);
            if (n <= 0) break;
            got.append(buf, static_cast<size_t>(n));
        }
        return got;
    }

    // True when the server closed the conversation (end of stream).
    bool closed_by_peer(int timeout_ms = 1000) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, timeout_ms) <= 0) return false;
        char c;
        ssize_t n = ::recv(fd_, &c, 1, MSG_PEEK | MSG_DONTWAIT);
        return n == 0 || (n < 0 && errno == ECONNRESET);
    }

    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

// A TCP port that nothing used a moment ago (picked by the kernel), for
// tests that may use any port.
inline unsigned free_port() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    unsigned port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    ::close(fd);
    return port;
}

// True when nothing listens on the loopback port.
inline bool connection_refused(unsigned port) { return !TcpClient(port).connected(); }

} // namespace cvi_testing
