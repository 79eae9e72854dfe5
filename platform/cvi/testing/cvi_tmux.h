// Test support: a program in a terminal, driven through tmux. The program
// runs in a detached 100x30 tmux session on a private server (its socket
// named after the test's process), which the destructor kills; the test
// types keys and reads the screen. The commands go to the server through one
// client in control mode, kept for the whole run (a new tmux process for
// every look at the screen would cost more than the look). Waits are short
// polls of the screen with a bounded total. Header-only; tests link the
// `cvi_testing` target.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace cvi_testing {

inline std::string run_command(const std::string& cmd) {
    std::string out;
    FILE* p = ::popen((cmd + " 2>&1").c_str(), "r");
    if (!p) return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    ::pclose(p);
    return out;
}

// A screen as TmuxProgram::visible() gives it, with row `index` (from 0)
// replaced by `row`; unchanged when it has no such row.
inline std::string with_row(const std::string& screen, std::size_t index, const std::string& row) {
    std::size_t begin = 0;
    for (std::size_t i = 0; i < index && begin != std::string::npos; ++i) {
        begin = screen.find('\n', begin);
        if (begin != std::string::npos) ++begin;
    }
    const std::size_t end = begin == std::string::npos ? begin : screen.find('\n', begin);
    if (end == std::string::npos) return screen;
    return screen.substr(0, begin) + row + screen.substr(end);
}

// The index of the first row of `screen` that starts with `prefix`, or
// npos.
inline std::size_t row_starting(const std::string& screen, const std::string& prefix) {
    std::size_t index = 0;
    for (std::size_t begin = 0; begin < screen.size(); ++index) {
        if (screen.compare(begin, prefix.size(), prefix) == 0) return index;
        begin = screen.find('\n', begin);
        if (begin == std::string::npos) break;
        ++begin;
    }
    return std::string::npos;
}

// A tmux client in control mode on two pipes: each command goes out as
// a line, its output comes back between "%begin" and "%end" lines (or
// "%error") that end in flag 1; notifications in between are skipped.
class TmuxControl {
public:
    static constexpr int kAnswerLimitMs = 20000;

    TmuxControl(const std::string& socket, const std::string& session) {
        // Commands go out on a socket: a write to a client that has gone
        // then fails (MSG_NOSIGNAL) instead of raising SIGPIPE in the test.
        int to[2], from[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, to) != 0) return;
        if (::pipe2(from, O_CLOEXEC) != 0) {
            ::close(to[0]);
            ::close(to[1]);
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(to[0], STDIN_FILENO);
            ::dup2(from[1], STDOUT_FILENO);
            const int null = ::open("/dev/null", O_WRONLY);
            if (null >= 0) ::dup2(null, STDERR_FILENO);
            ::execlp("tmux", "tmux", "-L", socket.c_str(), "-f", "/dev/null", "-C", "attach-session", "-t",
                     session.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(to[0]);
        ::close(from[1]);
        if (pid_ < 0) {
            ::close(to[1]);
            ::close(from[0]);
            return;
        }
        in_ = to[1];
        out_ = from[0];
        command("refresh-client -f no-output");  // no copy of everything the program draws
    }
    ~TmuxControl() {
        close();
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    TmuxControl(const TmuxControl&) = delete;
    TmuxControl& operator=(const TmuxControl&) = delete;

    bool running() const { return in_ >= 0; }

    // Runs one command; its output ("" when the client is gone).
    std::string command(const std::string& cmd) {
        if (in_ < 0) return "";
        const std::string line = cmd + "\n";
        for (std::size_t sent = 0; sent < line.size();) {
            const ssize_t n = ::send(in_, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                close();
                return "";
            }
            sent += static_cast<std::size_t>(n);
        }
        std::string out, guard, l;
        while (read_line(l)) {
            if (guard.empty()) {
                if (l.rfind("%begin ", 0) == 0 && l.size() > 2 && l.compare(l.size() - 2, 2, " 1") == 0)
                    guard = l.substr(7);
                continue;
            }
            if (l == "%end " + guard || l == "%error " + guard) return out;
            out += l;
            out += '\n';
        }
        return out;
    }

    // Ends the client (the server goes on).
    void close() {
        if (in_ >= 0) ::close(in_);
        if (out_ >= 0) ::close(out_);
        in_ = out_ = -1;
    }

private:
    bool read_line(std::string& line) {
        for (;;) {
            const std::size_t nl = pending_.find('\n');
            if (nl != std::string::npos) {
                line = pending_.substr(0, nl);
                pending_.erase(0, nl + 1);
                return true;
            }
            pollfd p{out_, POLLIN, 0};
            char buf[65536];
            ssize_t n = 0;
            if (::poll(&p, 1, kAnswerLimitMs) <= 0 || (n = ::read(out_, buf, sizeof buf)) <= 0) {
                close();
                return false;
            }
            pending_.append(buf, static_cast<std::size_t>(n));
        }
    }

    int in_ = -1, out_ = -1;
    pid_t pid_ = -1;
    std::string pending_;
};

// A shell command in a tmux window; the pane stays when the command ends.
class TmuxProgram {
public:
    static constexpr int kPollMs = 10;
    static constexpr int kWaitLimitMs = 20000;  // generous: a loaded CI machine starts slowly

    explicit TmuxProgram(const std::string& command)
        : socket_(fresh_socket_name()), tmux_("tmux -L " + socket_ + " -f /dev/null") {
        run_command(tmux_ + " new-session -d -s main -x 100 -y 30 " + quoted(command) +
                    " \\; set-option -w -t main remain-on-exit on");
        control_ = std::make_unique<TmuxControl>(socket_, "main");
    }
    ~TmuxProgram() {
        const bool by_client = control_->running();
        if (by_client) control_->command("kill-server");
        control_.reset();
        if (!by_client) run_command(tmux_ + " kill-server");
    }
    TmuxProgram(const TmuxProgram&) = delete;
    TmuxProgram& operator=(const TmuxProgram&) = delete;

    // The visible screen and the lines scrolled off above it.
    std::string screen() const { return tmux("capture-pane -p -S -100 -t main"); }
    // Only the visible screen, one line per row.
    std::string visible() const { return tmux("capture-pane -p -t main"); }
    // The terminal device the program runs on.
    std::string tty() const {
        std::string name = tmux("display-message -p -t main '#{pane_tty}'");
        while (!name.empty() && name.back() == '\n') name.pop_back();
        return name;
    }
    // Keys in tmux's names, blank-separated ("Tab Enter", "C-c", "Escape").
    void keys(const std::string& keys) const { tmux("send-keys -t main " + keys); }
    // Literal text.
    void type(const std::string& text) const { tmux("send-keys -t main -l " + quoted(text)); }

    // Resizes the terminal, as a person dragging its window would.
    void resize(int columns, int rows) const {
        tmux("resize-window -t main -x " + std::to_string(columns) + " -y " + std::to_string(rows));
    }

    // Polls until the screen shows `text`; false after the limit.
    bool wait_for(const std::string& text) const {
        return wait_until([&] { return screen().find(text) != std::string::npos; });
    }
    // Polls until the screen shows `text` and no button's command is running
    // (the help line is back in place of "Busy: ..."). Keys typed while a
    // command runs are dropped when it ends, so a test that waits for what a
    // press shows waits with this before it types again.
    bool wait_for_idle(const std::string& text) const {
        return wait_until([&] {
            return screen().find(text) != std::string::npos && visible().find("\n Busy: ") == std::string::npos;
        });
    }
    // Polls until the visible screen is exactly `rows`; false after the limit.
    bool wait_for_visible(const std::string& rows) const {
        return wait_until([&] { return visible() == rows; });
    }
    // Polls until `done` holds; false after the limit (counted on the wall
    // clock: each look at the screen takes time of its own).
    bool wait_until(const std::function<bool()>& done) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitLimitMs);
        for (;;) {
            if (done()) return true;
            if (std::chrono::steady_clock::now() >= deadline) return false;
            ::poll(nullptr, 0, kPollMs);
        }
    }

private:
    // A tmux server of its own for each program, even one started while the
    // server of the program before it in this process is still going away.
    static std::string fresh_socket_name() {
        static int started = 0;
        return "cvi_tmux_" + std::to_string(::getpid()) + "_" + std::to_string(++started);
    }
    // Single quotes, for the shell and for tmux's own command parser alike
    // (both read 'it'\''s' as "it's").
    static std::string quoted(const std::string& s) {
        std::string q = "'";
        for (const char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    }
    // One command of tmux, through the control client while it runs.
    std::string tmux(const std::string& cmd) const {
        if (control_->running()) return control_->command(cmd);
        return run_command(tmux_ + " " + cmd);
    }
    std::string socket_;
    std::string tmux_;
    std::unique_ptr<TmuxControl> control_;
};

} // namespace cvi_testing
