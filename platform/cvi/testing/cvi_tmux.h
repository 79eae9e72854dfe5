// Test support: a program in a terminal, driven through tmux. The program
// runs in a detached 100x30 tmux session on a private server (its socket
// named after the test's process), which the destructor kills; the test
// types keys and reads the screen. Waits are short polls of the screen with
// a bounded total. Header-only; tests link the `cvi_testing` target.
#pragma once

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
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

// A shell command in a tmux window; the pane stays when the command ends.
class TmuxProgram {
public:
    static constexpr int kPollMs = 20;
    static constexpr int kWaitLimitMs = 20000;  // generous: a loaded CI machine starts slowly

    explicit TmuxProgram(const std::string& command)
        : tmux_("tmux -L cvi_tmux_" + std::to_string(::getpid()) + " -f /dev/null") {
        run_command(tmux_ + " new-session -d -s main -x 100 -y 30 " + quoted(command) +
                    " \\; set-option -w -t main remain-on-exit on");
    }
    ~TmuxProgram() { run_command(tmux_ + " kill-server"); }
    TmuxProgram(const TmuxProgram&) = delete;
    TmuxProgram& operator=(const TmuxProgram&) = delete;

    // The visible screen and the lines scrolled off above it.
    std::string screen() const { return run_command(tmux_ + " capture-pane -p -S -100 -t main"); }
    // Only the visible screen, one line per row.
    std::string visible() const { return run_command(tmux_ + " capture-pane -p -t main"); }
    // The terminal device the program runs on.
    std::string tty() const {
        std::string name = run_command(tmux_ + " display-message -p -t main '#{pane_tty}'");
        while (!name.empty() && name.back() == '\n') name.pop_back();
        return name;
    }
    // Keys in tmux's names, blank-separated ("Tab Enter", "C-c", "Escape").
    void keys(const std::string& keys) const { run_command(tmux_ + " send-keys -t main " + keys); }
    // Literal text.
    void type(const std::string& text) const { run_command(tmux_ + " send-keys -t main -l " + quoted(text)); }

    // Resizes the terminal, as a person dragging its window would.
    void resize(int columns, int rows) const {
        run_command(tmux_ + " resize-window -t main -x " + std::to_string(columns) + " -y " + std::to_string(rows));
    }

    // Polls until the screen shows `text`; false after the limit.
    bool wait_for(const std::string& text) const {
        return wait_until([&] { return screen().find(text) != std::string::npos; });
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
    // Single quotes for the shell; the text must hold none.
    static std::string quoted(const std::string& s) { return "'" + s + "'"; }
    std::string tmux_;
};

} // namespace cvi_testing
