// TCP server calls over POSIX sockets, served by the event loop.
#include "cvi_tcp.h"

#include "cvi_events.h"
#include "pclock.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <map>

namespace {

struct Server {
    int fd;
    cvi::WatchId watch;
    TCPServerCallback callback;
    void* data;
};

struct Conversation {
    int fd;
    cvi::WatchId watch;
    unsigned port;
};

struct TcpState {
    std::map<unsigned, Server> servers;               // by port
    std::map<unsigned, Conversation> conversations;   // by handle
    unsigned next_handle = 1;
};

TcpState& tcp() {
    static TcpState s;
    return s;
}

void close_conversation(unsigned handle) {
    TcpState& s = tcp();
    auto it = s.conversations.find(handle);
    if (it == s.conversations.end()) return;
    cvi::unwatch(it->second.watch);
    ::close(it->second.fd);
    s.conversations.erase(it);
}

// Calls the callback of the server on `port`, if it is still registered.
void raise(unsigned port, unsigned handle, int event) {
    TcpState& s = tcp();
    auto it = s.servers.find(port);
    if (it == s.servers.end()) return;
    it->second.callback(handle, event, 0, it->second.data);
}

void on_conversation_ready(unsigned handle) {
    TcpState& s = tcp();
    auto it = s.conversations.find(handle);
    if (it == s.conversations.end()) return;
    const unsigned port = it->second.port;
    char probe;
    ssize_t n = ::recv(it->second.fd, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n > 0) {
        raise(port, handle, TCP_DATAREADY);
    } else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
        close_conversation(handle);
        raise(port, handle, TCP_DISCONNECT);
    }
}

unsigned take_handle() {
    TcpState& s = tcp();
    unsigned h = s.next_handle++;
    if (s.next_handle == 0) s.next_handle = 1;
    return h;
}

void on_listener_ready(unsigned port) {
    for (;;) {
        TcpState& s = tcp();
        auto it = s.servers.find(port);
        if (it == s.servers.end()) return;  // unregistered by a callback
        int fd = ::accept4(it->second.fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) return;
        const unsigned handle = take_handle();
        cvi::WatchId w = cvi::watch_fd(fd, POLLIN, [handle](short) { on_conversation_ready(handle); });
        s.conversations.emplace(handle, Conversation{fd, w, port});
        raise(port, handle, TCP_CONNECT);
    }
}

// 1: ready, 0: time-out, -1: error. See the header for the virtual clock.
int wait_ready(int fd, short events, unsigned timeout_ms) {
    pollfd p{fd, events, 0};
    int r = ::poll(&p, 1, 0);
    if (r != 0 || timeout_ms == 0) return r > 0 ? 1 : (r < 0 && errno != EINTR ? -1 : 0);
    if (pclock::is_virtual()) {
        pclock::sleep_ms(static_cast<pclock::Millis>(timeout_ms));
        r = ::poll(&p, 1, 0);
        return r > 0 ? 1 : (r < 0 ? -1 : 0);
    }
    using steady = std::chrono::steady_clock;
    const auto deadline = steady::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - steady::now());
        if (left.count() < 0) return 0;
        r = ::poll(&p, 1, static_cast<int>(left.count()));
        if (r > 0) return 1;
        if (r == 0) return 0;
        if (errno != EINTR) return -1;
    }
}

int copy_text(char* buffer, int size, const char* text) {
    if (buffer == nullptr || size <= 0) return TCP_ERR_INVALID_PARAMETER;
    std::snprintf(buffer, static_cast<size_t>(size), "%s", text);
    return 0;
}

} // namespace

int RegisterTCPServer(unsigned int port, TCPServerCallback callback, void* callbackData) {
    if (port == 0 || port > 65535 || callback == nullptr) return TCP_ERR_INVALID_PARAMETER;
    try {
        TcpState& s = tcp();
        if (s.servers.count(port) != 0) return TCP_ERR_EXISTING_SERVER;
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) return TCP_ERR_REGISTER;
        int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_ANY);
        addr.sin_port = htons(static_cast<uint16_t>(port));
        if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, SOMAXCONN) != 0) {
            ::close(fd);
            return TCP_ERR_REGISTER;
        }
        cvi::WatchId w = cvi::watch_fd(fd, POLLIN, [port](short) { on_listener_ready(port); });
        s.servers.emplace(port, Server{fd, w, callback, callbackData});
        return 0;
    } catch (...) {
        return TCP_ERR_IO;
    }
}

int UnregisterTCPServer(unsigned int port) {
    try {
        TcpState& s = tcp();
        auto it = s.servers.find(port);
        if (it == s.servers.end()) return TCP_ERR_NOT_REGISTERED;
        cvi::unwatch(it->second.watch);
        ::close(it->second.fd);
        s.servers.erase(it);
        for (auto c = s.conversations.begin(); c != s.conversations.end();) {
            if (c->second.port == port) {
                cvi::unwatch(c->second.watch);
                ::close(c->second.fd);
                c = s.conversations.erase(c);
            } else {
                ++c;
            }
        }
        return 0;
    } catch (...) {
        return TCP_ERR_IO;
    }
}

int DisconnectTCPClient(unsigned int handle) {
    if (tcp().conversations.count(handle) == 0) return TCP_ERR_NO_CONNECTION;
    close_conversation(handle);
    return 0;
}

int ServerTCPRead(unsigned int handle, void* buffer, size_t size, unsigned int timeoutMs) {
    if (buffer == nullptr || size == 0) return TCP_ERR_INVALID_PARAMETER;
    TcpState& s = tcp();
    auto it = s.conversations.find(handle);
    if (it == s.conversations.end()) return TCP_ERR_NO_CONNECTION;
    const int fd = it->second.fd;
    int w = wait_ready(fd, POLLIN, timeoutMs);
    if (w == 0) return TCP_ERR_TIMEOUT;
    if (w < 0) return TCP_ERR_IO;
    if (size > static_cast<size_t>(INT_MAX)) size = static_cast<size_t>(INT_MAX);
    ssize_t n = ::recv(fd, buffer, size, MSG_DONTWAIT);
    if (n > 0) return static_cast<int>(n);
    if (n == 0) return TCP_ERR_CONNECTION_CLOSED;
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return TCP_ERR_TIMEOUT;
    if (errno == ECONNRESET) return TCP_ERR_CONNECTION_CLOSED;
    return TCP_ERR_IO;
}

int ServerTCPWrite(unsigned int handle, const void* data, size_t size, unsigned int timeoutMs) {
    if ((data == nullptr && size > 0) || size > static_cast<size_t>(INT_MAX)) return TCP_ERR_INVALID_PARAMETER;
    TcpState& s = tcp();
    auto it = s.conversations.find(handle);
    if (it == s.conversations.end()) return TCP_ERR_NO_CONNECTION;
    const int fd = it->second.fd;
    const char* p = static_cast<const char*>(data);
    size_t sent = 0;
    while (sent < size) {
        ssize_t n = ::send(fd, p + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            int w = wait_ready(fd, POLLOUT, timeoutMs);
            if (w == 0) return TCP_ERR_TIMEOUT;
            if (w < 0) return TCP_ERR_IO;
            continue;
        }
        if (n < 0 && (errno == EPIPE || errno == ECONNRESET)) return TCP_ERR_CONNECTION_CLOSED;
        return TCP_ERR_IO;
    }
    return static_cast<int>(size);
}

int GetTCPHostAddr(char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return TCP_ERR_INVALID_PARAMETER;
    char text[INET_ADDRSTRLEN] = "127.0.0.1";
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) == 0) {
        for (ifaddrs* a = list; a != nullptr; a = a->ifa_next) {
            if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_INET) continue;
            if ((a->ifa_flags & IFF_UP) == 0 || (a->ifa_flags & IFF_LOOPBACK) != 0) continue;
            const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
            if (::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) != nullptr) break;
            std::snprintf(text, sizeof text, "127.0.0.1");
        }
        ::freeifaddrs(list);
    }
    return copy_text(buffer, size, text);
}

int GetTCPHostName(char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return TCP_ERR_INVALID_PARAMETER;
    char name[256] = "";
    if (::gethostname(name, sizeof name - 1) != 0) return TCP_ERR_IO;
    name[sizeof name - 1] = '\0';
    return copy_text(buffer, size, name);
}
