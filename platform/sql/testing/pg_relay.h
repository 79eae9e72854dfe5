// A relay between one client and the private PostgreSQL server, for tests of
// a server that stops at once: the client connects through the relay's Unix
// socket (conninfo()), and stop_at_once() leaves the client as an immediate
// shutdown of the server does, with a warning and then the end of the
// connection (no error, no session end the client could have been told of).
// stop_after_failure() ends the connection at a chosen point instead: right
// after the reply to the first exchange that fails with a given SQLSTATE,
// in a way that the client's next exchange meets as a failure to send.
#pragma once

#include "pg_test_env.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <utility>

namespace pgtest {

class Relay {
public:
    Relay() {
        char tmpl[] = "/tmp/phoneline-relay.XXXXXX";
        if (!mkdtemp(tmpl)) return;
        dir_ = tmpl;
        const char* port = std::getenv("PGPORT");
        port_ = port ? port : "5432";
        listen_ = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un a = address(dir_);
        if (listen_ < 0 || bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listen_, 1) != 0 ||
            pipe(wake_) != 0)
            return;
        thread_ = std::thread([this] { run(); });
    }
    ~Relay() {
        stop_at_once();
        if (listen_ >= 0) close(listen_);
        for (int fd : wake_)
            if (fd >= 0) close(fd);
        if (!dir_.empty()) {
            unlink(address(dir_).sun_path);
            rmdir(dir_.c_str());
        }
    }
    Relay(const Relay&) = delete;
    Relay& operator=(const Relay&) = delete;

    // A libpq connection string that leads through the relay.
    std::string conninfo() const { return "host=" + dir_ + " port=" + port_ + " dbname=" + database(); }

    // Sends the client the server's warning of an immediate shutdown (call it
    // while the session is idle, between messages), then closes both sides;
    // returns when both are closed.
    void stop_at_once() {
        if (!thread_.joinable()) return;
        // Set before the wake-up: the relay reads it once its loop ends,
        // whatever ended it.
        at_once_.store(true, std::memory_order_release);
        char c = 0;
        if (write(wake_[1], &c, 1) != 1) return;
        thread_.join();
    }

    // Lets the session run until the server's reply to an exchange that
    // failed with `sqlstate` ends (its ReadyForQuery); the client gets that
    // reply whole, and then the connection stops at once, before the
    // client's next exchange reaches anything: that exchange cannot be sent,
    // and what the client reads back is the start of a message that never
    // ends, then the end of the connection. So the client's failure to send
    // is the first it learns of the loss (libpq then still finds the
    // connection up). Call it before the session's exchanges begin.
    void stop_after_failure(const char* sqlstate) {
        std::snprintf(stop_state_, sizeof stop_state_, "%s", sqlstate);
        stop_after_.store(true, std::memory_order_release);
    }

private:
    sockaddr_un address(const std::string& dir) const {
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::snprintf(a.sun_path, sizeof a.sun_path, "%s/.s.PGSQL.%s", dir.c_str(), port_.c_str());
        return a;
    }

    // Accepts one client, connects it to the server and copies bytes both
    // ways until stop_at_once() wakes it (or a side closes).
    void run() {
        int client = -1, server = -1;
        pollfd first[] = {{listen_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (poll(first, 2, -1) > 0 && (first[0].revents & POLLIN)) {
            client = accept(listen_, nullptr, nullptr);
            const char* host = std::getenv("PGHOST");
            server = socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un a = address(host ? host : "/tmp");
            if (connect(server, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
                close(server);
                server = -1;
            }
        }
        std::string from_server;  // bytes of the server not yet relayed, while watching for a failure
        while (client >= 0 && server >= 0) {
            pollfd fds[] = {{client, POLLIN, 0}, {server, POLLIN, 0}, {wake_[0], POLLIN, 0}};
            if (poll(fds, 3, -1) < 0 || fds[2].revents) break;
            if (!copy(fds[0], server)) break;
            if (!stop_after_.load(std::memory_order_acquire)) {
                if (!copy(fds[1], client)) break;
            } else if (fds[1].revents && !relay_until_failure(server, client, from_server)) {
                break;
            }
        }
        if (client >= 0 && at_once_.load(std::memory_order_acquire)) {
            const std::string last_words =
                notice("WARNING", "57P01", "terminating connection due to immediate shutdown command");
            send(client, last_words.data(), last_words.size(), MSG_NOSIGNAL);
        }
        if (client >= 0) close(client);
        if (server >= 0) close(server);
        // Wait for stop_at_once() so that it always finds the sides closed.
        pollfd wait[] = {{wake_[0], POLLIN, 0}};
        poll(wait, 1, -1);
    }

    // A NoticeResponse message of the server's protocol.
    static std::string notice(const char* severity, const char* sqlstate, const char* text) {
        std::string body;
        for (auto [type, value] : {std::pair{'S', severity}, {'V', severity}, {'C', sqlstate}, {'M', text}}) {
            body += type;
            body += value;
            body += '\0';
        }
        body += '\0';
        std::uint32_t len = htonl(static_cast<std::uint32_t>(body.size() + 4));
        return "N" + std::string(reinterpret_cast<const char*>(&len), 4) + body;
    }

    // Relays the server's messages one by one until the ReadyForQuery that
    // ends a reply with an ErrorResponse of stop_state_; then makes the
    // client's writes fail (its socket's reading side is shut before that
    // ReadyForQuery goes out), sends the start of a long notice and returns
    // false, which closes the connection. The client's next exchange thus
    // fails to send and then reads data that ends no message, before it
    // could see the connection's end.
    bool relay_until_failure(int server, int client, std::string& pending) {
        char buf[65536];
        ssize_t n = read(server, buf, sizeof buf);
        if (n <= 0) return false;
        pending.append(buf, static_cast<std::size_t>(n));
        std::size_t done = 0;
        while (pending.size() - done >= 5) {
            std::uint32_t len;
            std::memcpy(&len, pending.data() + done + 1, 4);
            const std::size_t size = 1 + ntohl(len);
            if (pending.size() - done < size) break;
            const char type = pending[done];
            if (type == 'E' && carries_state(pending.data() + done + 5, size - 5)) failed_ = true;
            if (type == 'Z' && failed_) {
                shutdown(client, SHUT_RD);
                if (!send_all(client, pending.data(), done + size)) return false;
                std::string start = notice("WARNING", "57P01", "terminating connection");
                const std::uint32_t long_len = htonl(1u << 24);
                std::memcpy(start.data() + 1, &long_len, 4);
                start.resize(1 << 16, 'x');
                send(client, start.data(), start.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
                return false;
            }
            done += size;
        }
        if (!send_all(client, pending.data(), done)) return false;
        pending.erase(0, done);
        return true;
    }

    // An ErrorResponse's fields hold the SQLSTATE stop_state_.
    bool carries_state(const char* fields, std::size_t len) const {
        for (std::size_t i = 0; i < len && fields[i] != '\0';) {
            const char* value = fields + i + 1;
            const std::size_t value_len = strnlen(value, len - i - 1);
            if (fields[i] == 'C' && std::string(value, value_len) == stop_state_) return true;
            i += value_len + 2;
        }
        return false;
    }

    static bool send_all(int to, const char* data, std::size_t n) {
        for (std::size_t done = 0; done < n;) {
            ssize_t w = send(to, data + done, n - done, MSG_NOSIGNAL);
            if (w <= 0) return false;
            done += static_cast<std::size_t>(w);
        }
        return true;
    }

    static bool copy(const pollfd& from, int to) {
        if (!from.revents) return true;
        char buf[65536];
        ssize_t n = read(from.fd, buf, sizeof buf);
        if (n <= 0) return false;
        for (ssize_t done = 0; done < n;) {
            ssize_t w = send(to, buf + done, static_cast<std::size_t>(n - done), MSG_NOSIGNAL);
            if (w <= 0) return false;
            done += w;
        }
        return true;
    }

    std::string dir_, port_;
    std::atomic<bool> at_once_{false};  // stop_at_once() was called
    // stop_after_failure() was called (stop_state_ written before it).
    std::atomic<bool> stop_after_{false};
    char stop_state_[6] = {};
    bool failed_ = false;  // the relay's thread saw the failure it waits for
    int listen_ = -1;
    int wake_[2] = {-1, -1};
    std::thread thread_;
};

} // namespace pgtest
