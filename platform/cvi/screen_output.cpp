// Output capture of the front end (replayed with its control bytes shown;
// only the newest lines are kept, so that a program that runs for days does
// not grow with its output), and the terminal's rescue on a fatal signal (interrupt, quit, hang-up, terminate): the handler puts the
// terminal back into the modes it had, leaves the full screen, copies the
// captured output to it and lets the signal end the program as usual.
#include "screen_output.h"

#include "cvi_shown_text.h"

#include <curses.h>
#include <signal.h>
#include <sys/mman.h>
#include <termios.h>
#include <unistd.h>

#include <fcntl.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <iterator>

namespace {

// Plain data only: the signal handler reads it.
struct Capture {
    int tty_fd = -1;
    int saved_out = -1, saved_err = -1, capture_fd = -1;
    off_t read_pos = 0;
    off_t keep_from = 0;  // the start of the oldest line kept for the replay
    bool have_modes = false;
    termios modes{};
    char reset[256] = {};
    std::size_t reset_len = 0;
};
Capture g_capture;
std::string g_partial;
std::deque<off_t> g_line_starts;  // starts of the kept complete lines
off_t g_line_begin = 0;           // start of the line being read
std::size_t g_kept_lines = 10000;
off_t g_freed = 0;                // memory below this offset was given back

constexpr char kDroppedNote[] = "[earlier output not kept]\n";

// Gives the memory of whole pages below keep_from back to the system.
void free_dropped() {
    const Capture& c = g_capture;
    const off_t page = static_cast<off_t>(::sysconf(_SC_PAGESIZE));
    const off_t end = page > 0 ? c.keep_from / page * page : 0;
    if (end <= g_freed) return;
    if (::fallocate(c.capture_fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, g_freed, end - g_freed) == 0)
        g_freed = end;
}

// Notes a line that ends at `newline`; drops the oldest beyond the count.
void line_ended(off_t newline) {
    g_line_starts.push_back(g_line_begin);
    g_line_begin = newline + 1;
    while (g_line_starts.size() > g_kept_lines) {
        g_line_starts.pop_front();
        g_capture.keep_from = g_line_starts.empty() ? g_line_begin : g_line_starts.front();
    }
}

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
void copy_captured(int from, int to, off_t pos) {
    if (pos > 0) write_all(to, kDroppedNote, sizeof kDroppedNote - 1);
    char buf[4096];
    char shown[4 * sizeof buf];
    std::size_t kept = 0;  // the start of a UTF-8 sequence cut by the last read
    ssize_t n;
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
        copy_captured(c.capture_fd, STDOUT_FILENO, c.keep_from);
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
    c.keep_from = 0;
    g_partial.clear();
    g_line_starts.clear();
    g_line_begin = 0;
    g_freed = 0;
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
        const off_t at = c.read_pos;
        c.read_pos += n;
        any = true;
        for (ssize_t i = 0; i < n; ++i) {
            if (buf[i] != '\n') {
                g_partial += buf[i];
                continue;
            }
            line_ended(at + i);
            on_line(g_partial);
            g_partial.clear();
        }
    }
    free_dropped();
    return any;
}

void set_kept_lines(std::size_t lines) { g_kept_lines = lines; }

void end() {
    Capture& c = g_capture;
    if (c.tty_fd < 0) return;
    restore_handlers();
    if (c.capture_fd >= 0) {
        drain([](const std::string&) {});  // the lines written since the last look count too
        ::dup2(c.saved_out, STDOUT_FILENO);
        ::dup2(c.saved_err, STDERR_FILENO);
        ::close(c.saved_out);
        ::close(c.saved_err);
        copy_captured(c.capture_fd, STDOUT_FILENO, c.keep_from);
        ::close(c.capture_fd);
    }
    c.capture_fd = c.saved_out = c.saved_err = c.tty_fd = -1;
}

} // namespace cvi_output
