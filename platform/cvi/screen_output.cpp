// Output capture of the front end (replayed with its control bytes shown),
// and the terminal's rescue on a fatal signal (interrupt, quit, hang-up, terminate): the handler puts the
// terminal back into the modes it had, leaves the full screen, copies the
// captured output to it and lets the signal end the program as usual.
#include "screen_output.h"

#include "cvi_shown_text.h"

#include <curses.h>
#include <signal.h>
#include <sys/mman.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

// Plain data only: the signal handler reads it.
struct Capture {
    int tty_fd = -1;
    int saved_out = -1, saved_err = -1, capture_fd = -1;
    off_t read_pos = 0;
    bool have_modes = false;
    termios modes{};
    char reset[256] = {};
    std::size_t reset_len = 0;
};
Capture g_capture;
std::string g_partial;

constexpr int kFatalSignals[] = {SIGINT, SIGQUIT, SIGHUP, SIGTERM};
struct sigaction g_old_actions[std::size(kFatalSignals)];

void write_all(int fd, const char* data, std::size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, data, n);
        if (w <= 0) return;
        data += w;
        n -= static_cast<std::size_t>(w);
    }
}

// Replays the captured output with its control bytes shown, not executed
// (what the program traced may hold anything). No allocation: the signal
// handler uses it too.
void copy_captured(int from, int to) {
    char buf[4096];
    char shown[4 * sizeof buf];
    std::size_t kept = 0;  // the start of a UTF-8 sequence cut by the last read
    ssize_t n;
    off_t pos = 0;
    while ((n = ::pread(from, buf + kept, sizeof buf - kept, pos)) > 0) {
        pos += n;
        const std::size_t have = kept + static_cast<std::size_t>(n);
        std::size_t used = 0;
        write_all(to, shown, cvi::shown_bytes(buf, have, false, shown, &used));
        kept = have - used;
        std::memmove(buf, buf + used, kept);
    }
    std::size_t used = 0;
    write_all(to, shown, cvi::shown_bytes(buf, kept, true, shown, &used));
}

void on_fatal_signal(int sig) {
    const Capture& c = g_capture;
    write_all(c.tty_fd, c.reset, c.reset_len);
    if (c.have_modes) ::tcsetattr(c.tty_fd, TCSANOW, &c.modes);
    if (c.capture_fd >= 0) {
        ::dup2(c.saved_out, STDOUT_FILENO);
        ::dup2(c.saved_err, STDERR_FILENO);
        copy_captured(c.capture_fd, STDOUT_FILENO);
    }
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

// The terminal's own sequences that leave the full screen.
void look_up_reset_sequence() {
    Capture& c = g_capture;
    c.reset_len = 0;
    for (const char* cap : {"sgr0", "cnorm", "rmkx", "rmcup"}) {
        char* seq = tigetstr(const_cast<char*>(cap));
        if (!seq || seq == reinterpret_cast<char*>(-1)) continue;
        std::size_t n = std::strlen(seq);
        if (c.reset_len + n >= sizeof c.reset) break;
        std::memcpy(c.reset + c.reset_len, seq, n);
        c.reset_len += n;
    }
}

void install_handlers() {
    struct sigaction sa {};
    sa.sa_handler = on_fatal_signal;
    sigemptyset(&sa.sa_mask);
    for (std::size_t i = 0; i < std::size(kFatalSignals); ++i) {
        ::sigaction(kFatalSignals[i], &sa, &g_old_actions[i]);
        // A signal the program was started to ignore stays ignored.
        if (g_old_actions[i].sa_handler == SIG_IGN) ::sigaction(kFatalSignals[i], &g_old_actions[i], nullptr);
    }
}

void restore_handlers() {
    for (std::size_t i = 0; i < std::size(kFatalSignals); ++i)
        ::sigaction(kFatalSignals[i], &g_old_actions[i], nullptr);
}

} // namespace

namespace cvi_output {

void remember_terminal_modes() { g_capture.have_modes = ::tcgetattr(STDIN_FILENO, &g_capture.modes) == 0; }

void begin(int tty_fd) {
    Capture& c = g_capture;
    c.tty_fd = tty_fd;
    look_up_reset_sequence();
    std::fflush(stdout);
    std::fflush(stderr);
    c.capture_fd = ::memfd_create("cvi-output", MFD_CLOEXEC);
    if (c.capture_fd >= 0) {
        c.saved_out = ::dup(STDOUT_FILENO);
        c.saved_err = ::dup(STDERR_FILENO);
        ::dup2(c.capture_fd, STDOUT_FILENO);
        ::dup2(c.capture_fd, STDERR_FILENO);
        // Line by line as on the terminal, so a signal loses no whole line.
        std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    }
    c.read_pos = 0;
    g_partial.clear();
    install_handlers();
}

bool drain(const std::function<void(const std::string&)>& on_line) {
    Capture& c = g_capture;
    if (c.capture_fd < 0) return false;
    std::fflush(stdout);
    std::fflush(stderr);
    bool any = false;
    char buf[4096];
    ssize_t n;
    while ((n = ::pread(c.capture_fd, buf, sizeof buf, c.read_pos)) > 0) {
        c.read_pos += n;
        any = true;
        for (ssize_t i = 0; i < n; ++i) {
            if (buf[i] != '\n') {
                g_partial += buf[i];
                continue;
            }
            on_line(g_partial);
            g_partial.clear();
        }
    }
    return any;
}

void end() {
    Capture& c = g_capture;
    if (c.tty_fd < 0) return;
    restore_handlers();
    if (c.capture_fd >= 0) {
        std::fflush(stdout);
        std::fflush(stderr);
        ::dup2(c.saved_out, STDOUT_FILENO);
        ::dup2(c.saved_err, STDERR_FILENO);
        ::close(c.saved_out);
        ::close(c.saved_err);
        copy_captured(c.capture_fd, STDOUT_FILENO);
        ::close(c.capture_fd);
    }
    c.capture_fd = c.saved_out = c.saved_err = c.tty_fd = -1;
}

} // namespace cvi_output
