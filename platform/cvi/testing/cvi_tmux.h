// Test support: a program in a terminal, driven through tmux. The program
// runs in a detached 100x30 tmux session on a private server (its socket
// named after the test's process), which the destructor kills; the test
// types keys and reads the screen. Waits are short polls of the screen with
// a bounded total. Header-only; tests link the `cvi_testing` target.
#pragma once

#include <poll.h>
#include <unistd.h>

#include <cstdio>
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
        for (int waited = 0; waited < kWaitLimitMs; waited += kPollMs) {
            if (screen().find(text) != std::string::npos) return true;
            ::poll(nullptr, 0, kPollMs);
        }
        return false;
    }

private:
    // Single quotes for the shell; the text must hold none.
    static std::string quoted(const std::string& s) { return "'" + s + "'"; }
    std::string tmux_;
};

} // namespace cvi_testing
