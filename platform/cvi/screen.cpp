// The full-screen terminal front end (ncurses).
//
// Layout, top to bottom: the panel's title; its controls in file order,
// flowing left to right (numeric fields "label [ value ]", buttons
// "[ label ]"; a text control takes whole rows and wraps over up to three);
// the output pane with the last lines the program wrote to stdout and
// stderr; a help line, which names the button whose callback is running.
//
// Keys: Tab, arrows and Shift-Tab move the focus; Enter presses the focused
// button; digits (and '-') edit the focused numeric field, Backspace
// corrects, Enter or moving on stores the value (coerced into its range),
// Esc drops the edit. Popups are modal dialogs: Enter answers OK, Esc
// cancels a prompt.
//
// While the screen is up, file descriptors 1 and 2 point into a memory
// file that the output pane shows; ncurses writes to a duplicate of the
// terminal. stop() restores both descriptors and copies everything that was
// captured to the real standard output, so no output is lost; so does a
// signal that ends the program (interrupt, quit, hang-up, terminate), after
// putting the terminal back into the state it had.
#include "screen.h"

#include "cvi_events.h"
#include "panel_model.h"

#include "pclock.h"

#include <curses.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

namespace {

constexpr int kNumericWidth = 8;
constexpr int kTextRows = 3;
constexpr pclock::Millis kOutputRefreshMs = 200;
constexpr std::size_t kEditMax = 11;

struct State {
    bool active = false;
    int panel = 0;
    SCREEN* screen = nullptr;
    FILE* tty_out = nullptr;
    int saved_out = -1, saved_err = -1, capture_fd = -1;
    off_t read_pos = 0;
    std::deque<std::string> lines;
    std::string partial;
    long lines_seen = 0;
    std::size_t max_lines = 10000;
    bool numbers = false;
    std::size_t focus = 0;
    bool editing = false;
    std::string edit;
    std::string busy;
    cvi::WatchId watch = 0;
    pclock::TaskId tick = 0;
    bool exit_hook = false;
};

State& st() {
    static State s;
    return s;
}

// What the fatal-signal handler needs, in plain data (it may only make
// async-signal-safe calls).
struct SignalRestore {
    int tty_fd = -1;
    int saved_out = -1, saved_err = -1, capture_fd = -1;
    bool have_termios = false;
    termios tio{};
    char reset[256] = {};
    std::size_t reset_len = 0;
};
SignalRestore g_restore;
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

void copy_captured(int from, int to) {
    char buf[4096];
    ssize_t n;
    off_t pos = 0;
    while ((n = ::pread(from, buf, sizeof buf, pos)) > 0) {
        pos += n;
        write_all(to, buf, static_cast<std::size_t>(n));
    }
}

void on_fatal_signal(int sig) {
    const SignalRestore& r = g_restore;
    write_all(r.tty_fd, r.reset, r.reset_len);
    if (r.have_termios) ::tcsetattr(r.tty_fd, TCSANOW, &r.tio);
    if (r.capture_fd >= 0) {
        ::dup2(r.saved_out, STDOUT_FILENO);
        ::dup2(r.saved_err, STDERR_FILENO);
        copy_captured(r.capture_fd, STDOUT_FILENO);
    }
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

// The escape sequences that leave the full screen: the terminal's own
// texts, looked up once ncurses knows the terminal.
void prepare_signal_restore(int tty_fd) {
    SignalRestore& r = g_restore;
    r.tty_fd = tty_fd;
    r.reset_len = 0;
    for (const char* cap : {"sgr0", "cnorm", "rmkx", "rmcup"}) {
        char* seq = tigetstr(const_cast<char*>(cap));
        if (!seq || seq == reinterpret_cast<char*>(-1)) continue;
        std::size_t n = std::strlen(seq);
        if (r.reset_len + n >= sizeof r.reset) break;
        std::memcpy(r.reset + r.reset_len, seq, n);
        r.reset_len += n;
    }
    r.saved_out = st().saved_out;
    r.saved_err = st().saved_err;
    r.capture_fd = st().capture_fd;
    struct sigaction sa {};
    sa.sa_handler = on_fatal_signal;
    sigemptyset(&sa.sa_mask);
    for (std::size_t i = 0; i < std::size(kFatalSignals); ++i) {
        ::sigaction(kFatalSignals[i], &sa, &g_old_actions[i]);
        // A signal the program was started to ignore stays ignored.
        if (g_old_actions[i].sa_handler == SIG_IGN) ::sigaction(kFatalSignals[i], &g_old_actions[i], nullptr);
    }
}

void drop_signal_restore() {
    for (std::size_t i = 0; i < std::size(kFatalSignals); ++i) ::sigaction(kFatalSignals[i], &g_old_actions[i], nullptr);
}

cvi_panel::Panel* panel() { return cvi_panel::find_panel(st().panel); }

// Controls the focus can rest on: numeric fields and buttons.
std::vector<cvi_panel::Control*> focusable() {
    std::vector<cvi_panel::Control*> out;
    if (cvi_panel::Panel* p = panel()) {
        for (cvi_panel::Control& c : p->controls) {
            if (c.kind != cvi_panel::Kind::Text) out.push_back(&c);
        }
    }
    return out;
}

cvi_panel::Control* focused() {
    std::vector<cvi_panel::Control*> f = focusable();
    return f.empty() ? nullptr : f[st().focus % f.size()];
}

std::string printable(const std::string& s) {
    std::string out;
    for (char ch : s) {
        if (ch == '\r') continue;
        out += (static_cast<unsigned char>(ch) < 32 || ch == 127) ? ' ' : ch;
    }
    return out;
}

// --- output pane -------------------------------------------------------------

void add_line(std::string line) {
    State& s = st();
    s.lines.push_back(std::move(line));
    ++s.lines_seen;
    while (s.lines.size() > s.max_lines) s.lines.pop_front();
}

// Moves what the program wrote since the last look into the pane; true
// when there was something.
bool drain_output() {
    State& s = st();
    if (s.capture_fd < 0) return false;
    std::fflush(stdout);
    std::fflush(stderr);
    bool any = false;
    char buf[4096];
    ssize_t n;
    while ((n = ::pread(s.capture_fd, buf, sizeof buf, s.read_pos)) > 0) {
        s.read_pos += n;
        any = true;
        for (ssize_t i = 0; i < n; ++i) {
            if (buf[i] == '\n') {
                add_line(printable(s.partial));
                s.partial.clear();
            } else {
                s.partial += buf[i];
            }
        }
    }
    return any;
}

// --- drawing -----------------------------------------------------------------

std::string control_face(const cvi_panel::Control& c, bool has_focus) {
    if (c.kind == cvi_panel::Kind::Button) return "[ " + c.label + " ]";
    std::string v = (has_focus && st().editing) ? st().edit + "_" : std::to_string(c.value);
    if (v.size() < kNumericWidth) v.insert(0, kNumericWidth - v.size(), ' ');
    return c.label + " [" + v + "]";
}

void draw() {
    State& s = st();
    cvi_panel::Panel* p = panel();
    if (!p) return;
    int rows = LINES, cols = COLS;
    erase();
    attron(A_BOLD);
    mvaddnstr(0, 1, printable(p->title).c_str(), cols - 2);
    attroff(A_BOLD);
    int y = 2, x = 1;
    cvi_panel::Control* cur = focused();
    for (const cvi_panel::Control& c : p->controls) {
        if (c.kind == cvi_panel::Kind::Text) {
            if (x > 1) ++y;
            std::string line = printable(c.label.empty() ? c.text : c.label + ": " + c.text);
            int width = std::max(1, cols - 2);
            for (int r = 0; r < kTextRows && (r == 0 || static_cast<std::size_t>(r * width) < line.size()); ++r)
                mvaddnstr(y++, 1, line.c_str() + std::min(line.size(), static_cast<std::size_t>(r * width)), width);
            x = 1;
            continue;
        }
        std::string face = printable(control_face(c, &c == cur));
        int w = static_cast<int>(face.size());
        if (x > 1 && x + w >= cols) {
            ++y;
            x = 1;
        }
        if (&c == cur) attron(A_REVERSE);
        mvaddnstr(y, x, face.c_str(), cols - x - 1);
        if (&c == cur) attroff(A_REVERSE);
        x += w + 2;
    }
    if (x > 1) ++y;
    ++y;
    mvhline(y, 0, '-', cols);
    mvaddstr(y, 2, " Output ");
    int top = y + 1, bottom = rows - 2;
    int height = std::max(0, bottom - top + 1);
    std::size_t first = s.lines.size() > static_cast<std::size_t>(height) ? s.lines.size() - height : 0;
    long number = s.lines_seen - static_cast<long>(s.lines.size() - first) + 1;
    for (std::size_t i = first; i < s.lines.size(); ++i, ++number) {
        std::string line = s.numbers ? std::to_string(number) + "  " + s.lines[i] : s.lines[i];
        mvaddnstr(top + static_cast<int>(i - first), 0, line.c_str(), cols);
    }
    attron(A_REVERSE);
    std::string help = s.busy.empty() ? " Tab/arrows: move   Enter: press   digits: edit number   Esc: drop edit"
                                      : " Busy: " + printable(s.busy) + " ...";
    help.resize(static_cast<std::size_t>(cols), ' ');
    mvaddnstr(rows - 1, 0, help.c_str(), cols);
    attroff(A_REVERSE);
    refresh();
}

// --- keys ----------------------------------------------------------------------

void commit_edit() {
    State& s = st();
    if (!s.editing) return;
    s.editing = false;
    cvi_panel::Control* c = focused();
    if (!c || c->kind != cvi_panel::Kind::Numeric || s.edit.empty() || s.edit == "-") return;
    long v = std::strtol(s.edit.c_str(), nullptr, 10);
    c->value = static_cast<int>(std::clamp<long>(v, c->min, c->max));
}

void move_focus(int step) {
    commit_edit();
    std::size_t n = focusable().size();
    if (n == 0) return;
    long count = static_cast<long>(n);
    st().focus = static_cast<std::size_t>((static_cast<long>(st().focus) % count + step + count) % count);
}

void press_focused() {
    cvi_panel::Control* c = focused();
    if (!c || c->kind != cvi_panel::Kind::Button) return;
    int handle = st().panel, id = c->id;
    st().busy = c->label;
    draw();
    cvi_panel::press_button(handle, id);
    if (!st().active) return;  // the callback took the panel off the screen
    st().busy.clear();
    drain_output();
    draw();
}

void handle_key(int ch) {
    State& s = st();
    cvi_panel::Control* c = focused();
    bool numeric = c && c->kind == cvi_panel::Kind::Numeric;
    switch (ch) {
    case '\t': case KEY_RIGHT: case KEY_DOWN: move_focus(1); break;
    case KEY_BTAB: case KEY_LEFT: case KEY_UP: move_focus(-1); break;
    case '\n': case '\r': case KEY_ENTER:
        if (s.editing) commit_edit();
        else press_focused();
        break;
    case 27: s.editing = false; break;
    case KEY_BACKSPACE: case 127: case 8:
        if (s.editing && !s.edit.empty()) s.edit.pop_back();
        break;
    case KEY_RESIZE: break;
    default:
        if (numeric && ((ch >= '0' && ch <= '9') || (ch == '-' && c->min < 0))) {
            if (!s.editing) {
                s.editing = true;
                s.edit.clear();
            }
            if (s.edit.size() < kEditMax && (ch != '-' || s.edit.empty())) s.edit += static_cast<char>(ch);
        }
        break;
    }
}

void on_input(short revents) {
    if (revents & (POLLHUP | POLLERR | POLLNVAL)) {
        // The terminal is gone: stop listening, or the loop would spin.
        cvi::unwatch(st().watch);
        st().watch = 0;
        return;
    }
    int ch;
    while (st().active && (ch = getch()) != ERR) {
        handle_key(ch);
        if (st().active) draw();
    }
}

void schedule_tick() {
    st().tick = pclock::schedule_after(kOutputRefreshMs, [] {
        if (!st().active) return;
        if (drain_output()) draw();
        schedule_tick();
    });
}

// --- dialogs -------------------------------------------------------------------

std::vector<std::string> wrap(const std::string& text, int width) {
    std::vector<std::string> out;
    std::string line;
    for (char ch : text) {
        if (ch == '\n' || static_cast<int>(line.size()) >= width) {
            out.push_back(line);
            line.clear();
            if (ch == '\n') continue;
        }
        if (ch != '\r') line += (static_cast<unsigned char>(ch) < 32) ? ' ' : ch;
    }
    out.push_back(line);
    return out;
}

// Draws a framed box with the title and message; `extra` rows are left for
// the caller below the message. Returns the window.
WINDOW* open_box(const std::string& title, const std::string& message, int extra, int& text_rows) {
    int width = std::clamp(static_cast<int>(std::max(title.size(), message.size())) + 6, 30, std::max(30, COLS - 4));
    width = std::min(width, COLS);
    std::vector<std::string> lines = wrap(message, width - 4);
    int max_rows = std::max(1, LINES - 4 - extra);
    if (static_cast<int>(lines.size()) > max_rows) lines.resize(static_cast<std::size_t>(max_rows));
    text_rows = static_cast<int>(lines.size());
    int height = std::min(LINES, text_rows + extra + 4);
    WINDOW* w = newwin(height, width, std::max(0, (LINES - height) / 2), std::max(0, (COLS - width) / 2));
    keypad(w, TRUE);
    box(w, '|', '-');
    wattron(w, A_BOLD);
    mvwaddnstr(w, 0, 2, (" " + printable(title) + " ").c_str(), width - 4);
    wattroff(w, A_BOLD);
    for (int i = 0; i < text_rows; ++i) mvwaddnstr(w, 2 + i, 2, lines[static_cast<std::size_t>(i)].c_str(), width - 4);
    return w;
}

void close_box(WINDOW* w) {
    delwin(w);
    touchwin(stdscr);
    draw();
}

} // namespace

namespace cvi_screen {

bool terminal_available() {
    const char* term = std::getenv("TERM");
    return ::isatty(STDIN_FILENO) && ::isatty(STDOUT_FILENO) && term && *term && std::strcmp(term, "dumb") != 0;
}

bool start(int panel_handle) {
    State& s = st();
    if (s.active) stop();
    std::fflush(stdout);
    std::fflush(stderr);
    g_restore.have_termios = ::tcgetattr(STDIN_FILENO, &g_restore.tio) == 0;
    int tty = ::dup(STDOUT_FILENO);
    s.tty_out = tty >= 0 ? ::fdopen(tty, "w") : nullptr;
    if (!s.tty_out) {
        if (tty >= 0) ::close(tty);
        return false;
    }
    s.screen = newterm(nullptr, s.tty_out, stdin);
    if (!s.screen) {
        std::fclose(s.tty_out);
        s.tty_out = nullptr;
        return false;
    }
    set_escdelay(50);
    cbreak();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    nodelay(stdscr, TRUE);
    curs_set(0);

    // Output of the program goes into the pane from now on.
    s.capture_fd = ::memfd_create("cvi-output", MFD_CLOEXEC);
    if (s.capture_fd >= 0) {
        s.saved_out = ::dup(STDOUT_FILENO);
        s.saved_err = ::dup(STDERR_FILENO);
        ::dup2(s.capture_fd, STDOUT_FILENO);
        ::dup2(s.capture_fd, STDERR_FILENO);
        // Line by line as on the terminal, so a signal loses no whole line.
        std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    }
    s.read_pos = 0;
    s.partial.clear();
    s.panel = panel_handle;
    s.focus = 0;
    s.editing = false;
    s.busy.clear();
    s.active = true;
    prepare_signal_restore(tty);
    s.watch = cvi::watch_fd(STDIN_FILENO, POLLIN, on_input);
    schedule_tick();
    if (!s.exit_hook) {
        s.exit_hook = true;
        std::atexit([] { cvi_screen::stop(); });
    }
    draw();
    return true;
}

void stop() {
    State& s = st();
    if (!s.active) return;
    s.active = false;
    drop_signal_restore();
    pclock::cancel(s.tick);
    cvi::unwatch(s.watch);
    s.watch = 0;
    endwin();
    delscreen(s.screen);
    s.screen = nullptr;
    std::fclose(s.tty_out);
    s.tty_out = nullptr;
    if (s.capture_fd >= 0) {
        std::fflush(stdout);
        std::fflush(stderr);
        ::dup2(s.saved_out, STDOUT_FILENO);
        ::dup2(s.saved_err, STDERR_FILENO);
        ::close(s.saved_out);
        ::close(s.saved_err);
        // Hand the captured output to the real standard output.
        copy_captured(s.capture_fd, STDOUT_FILENO);
        ::close(s.capture_fd);
        s.capture_fd = s.saved_out = s.saved_err = -1;
    }
    s.lines.clear();
    s.lines_seen = 0;
}

bool active() { return st().active; }
int shown_panel() { return st().active ? st().panel : 0; }

void redraw() {
    if (st().active) draw();
}

void set_stdio_options(int max_lines, bool line_numbers) {
    st().max_lines = static_cast<std::size_t>(max_lines);
    st().numbers = line_numbers;
    while (st().lines.size() > st().max_lines) st().lines.pop_front();
}

void message_dialog(const char* title, const char* text) {
    if (!st().active) return;
    drain_output();
    draw();
    int rows = 0;
    WINDOW* w = open_box(title, text, 2, rows);
    wattron(w, A_REVERSE);
    mvwaddstr(w, rows + 3, 2, "[ OK ]");
    wattroff(w, A_REVERSE);
    wrefresh(w);
    for (;;) {
        int ch = wgetch(w);
        if (ch == '\n' || ch == '\r' || ch == KEY_ENTER || ch == ' ' || ch == 27 || ch == ERR) break;
    }
    close_box(w);
}

int prompt_dialog(const char* title, const char* message, char* buffer, int max_length) {
    if (!st().active) return VAL_USER_CANCEL;
    drain_output();
    draw();
    std::string entry(buffer, ::strnlen(buffer, static_cast<std::size_t>(max_length)));
    // The default text is offered selected: Enter takes it, typing replaces it.
    bool fresh = true;
    int rows = 0;
    WINDOW* w = open_box(title, message, 4, rows);
    int width = getmaxx(w) - 4;
    int result = VAL_USER_CANCEL;
    curs_set(1);
    for (;;) {
        std::string shown = entry.size() >= static_cast<std::size_t>(width)
                                ? entry.substr(entry.size() - static_cast<std::size_t>(width) + 1)
                                : entry;
        wmove(w, rows + 3, 2);
        wattron(w, A_UNDERLINE);
        waddstr(w, std::string(static_cast<std::size_t>(width), ' ').c_str());
        if (fresh) wattron(w, A_REVERSE);
        mvwaddstr(w, rows + 3, 2, printable(shown).c_str());
        wattroff(w, A_UNDERLINE | A_REVERSE);
        mvwaddnstr(w, rows + 5, 2, "Enter: OK   Esc: cancel", width);
        wmove(w, rows + 3, 2 + static_cast<int>(shown.size()));
        wrefresh(w);
        int ch = wgetch(w);
        if (ch == '\n' || ch == '\r' || ch == KEY_ENTER) {
            std::memcpy(buffer, entry.data(), entry.size());
            buffer[entry.size()] = '\0';
            result = 0;
            break;
        }
        if (ch == 27 || ch == ERR) break;
        if (ch == KEY_BACKSPACE || ch == 127 || ch == 8) {
            if (!entry.empty()) entry.pop_back();
            fresh = false;
        } else if (ch >= 32 && ch < 127) {
            if (fresh) entry.clear();
            fresh = false;
            if (entry.size() < static_cast<std::size_t>(max_length)) entry += static_cast<char>(ch);
        }
    }
    curs_set(0);
    close_box(w);
    return result;
}

} // namespace cvi_screen
