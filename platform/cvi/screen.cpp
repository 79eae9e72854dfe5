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
// Esc drops the edit; Page Up and Page Down scroll the output pane back over
// the lines it keeps; Ctrl-L repaints the whole screen. Keys typed while a
// button's callback runs are dropped when it returns, and those typed before
// a dialog is drawn when it is drawn: a key meant for the panel as it was,
// or for a dialog not yet seen, must not press whatever has the focus
// afterwards or answer a question nobody read. Popups are modal dialogs
// (screen_dialog.cpp).
//
// A terminal too small for the whole panel (every control whole, a text
// control with the rows its text takes, the output pane's separator and the
// help line) shows only a notice with the size needed; keys then
// move and press nothing, open dialogs are hidden too, and the panel comes
// back as it was when the terminal grows.
//
// The terminal's XON/XOFF flow control is off while the panel is up: Ctrl-S
// would freeze the screen while the keys typed after it still act, unseen.
//
// A resized terminal is repainted whole at once, whatever size it ends at
// (a terminal that shrank and grew back has lost what it showed, though
// ncurses still believes it is there): SIGWINCH reaches the event loop, or
// the key wait of an open dialog, through a pipe, so no key is needed.
//
// While the screen is up, descriptors 1 and 2 point into a memory file that
// the output pane shows (screen_output.cpp); ncurses writes to a duplicate
// of the terminal. stop() restores both descriptors and copies everything
// that was captured to the real standard output, so no output is lost.
#include "screen.h"

#include "cvi_events.h"
#include "cvi_shown_text.h"
#include "panel_model.h"
#include "screen_output.h"

#include "pclock.h"

#include <curses.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace {

using cvi_screen::printable;

constexpr int kNumericWidth = 8;
constexpr int kTextRows = 3;
constexpr pclock::Millis kOutputRefreshMs = 200;
constexpr std::size_t kEditMax = 11;
constexpr int kCtrlL = 12;

struct State {
    bool active = false;
    int panel = 0;
    SCREEN* screen = nullptr;
    FILE* tty_out = nullptr;
    std::deque<std::string> lines;
    long lines_seen = 0;
    std::size_t max_lines = 10000;
    bool numbers = false;
    std::size_t focus = 0;
    bool editing = false;
    std::string edit;
    std::string busy;
    std::size_t scroll = 0;       // output lines scrolled back from the newest
    int pane_height = 1;          // rows of the output pane at the last draw
    cvi::WatchId watch = 0;
    cvi::WatchId resize_watch = 0;
    pclock::TaskId tick = 0;
    bool exit_hook = false;
};

State& st() {
    static State s;
    return s;
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

// --- output pane -------------------------------------------------------------

// While scrolled back, the view stays on the lines it shows.
void add_line(std::string line) {
    State& s = st();
    s.lines.push_back(std::move(line));
    ++s.lines_seen;
    if (s.scroll > 0) ++s.scroll;
    while (s.lines.size() > s.max_lines) s.lines.pop_front();
}

// Moves what the program wrote since the last look into the pane; true
// when there was something.
bool drain_output() {
    return cvi_output::drain([](const std::string& line) { add_line(printable(line)); });
}

// --- drawing -----------------------------------------------------------------

std::string control_face(const cvi_panel::Control& c, bool has_focus) {
    if (c.kind == cvi_panel::Kind::Button) return "[ " + c.label + " ]";
    std::string v = (has_focus && st().editing) ? st().edit + "_" : std::to_string(c.value);
    if (v.size() < kNumericWidth) v.insert(0, kNumericWidth - v.size(), ' ');
    return c.label + " [" + v + "]";
}

// Where the controls go at a width, flowing left to right in file order.
struct Placed {
    const cvi_panel::Control* control;
    int y, x;
    std::vector<std::string> rows;  // a face, or the rows of a text control
};

struct Layout {
    std::vector<Placed> placed;
    int separator = 0;   // the row above the output pane
    bool whole = true;   // every face fits in the width
};

// The widest face a control can show: a numeric field while it is edited.
std::string widest_face(const cvi_panel::Control& c) {
    if (c.kind == cvi_panel::Kind::Button) return printable(control_face(c, false));
    return printable(c.label + " [" + std::string(std::max<std::size_t>(kNumericWidth, kEditMax + 1), ' ') + "]");
}

// `widest`: with every face at its widest, so that a layout that fits goes
// on fitting whatever is typed into a field.
Layout lay_out(const cvi_panel::Panel& p, int cols, bool widest) {
    Layout out;
    int y = 2, x = 1;
    const cvi_panel::Control* cur = focused();
    for (const cvi_panel::Control& c : p.controls) {
        if (c.kind == cvi_panel::Kind::Text) {
            if (x > 1) ++y;
            const std::string line = printable(c.label.empty() ? c.text : c.label + ": " + c.text);
            const std::size_t width = static_cast<std::size_t>(std::max(1, cols - 2));
            Placed text{&c, y, 1, {}};
            for (std::size_t r = 0; r < kTextRows && (r == 0 || r * width < line.size()); ++r)
                text.rows.push_back(line.substr(std::min(line.size(), r * width), width));
            y += static_cast<int>(text.rows.size());
            out.placed.push_back(std::move(text));
            x = 1;
            continue;
        }
        std::string face = widest ? widest_face(c) : printable(control_face(c, &c == cur));
        const int w = static_cast<int>(face.size());
        if (x > 1 && x + w >= cols) {
            ++y;
            x = 1;
        }
        if (x + w > cols - 1) out.whole = false;
        out.placed.push_back({&c, y, x, {std::move(face)}});
        x += w + 2;
    }
    if (x > 1) ++y;
    out.separator = y + 1;
    return out;
}

// Rows from the separator on: the separator and the help line; the output
// pane between them may have none (it is no control).
constexpr int kRowsFromSeparator = 2;

// The size the panel needs at this width (or at the narrowest width that
// holds every control, when this one does not).
std::pair<int, int> needed_size(const cvi_panel::Panel& p, int cols) {
    Layout l = lay_out(p, cols, true);
    if (!l.whole) {
        int widest = 0;
        for (const cvi_panel::Control& c : p.controls)
            if (c.kind != cvi_panel::Kind::Text) widest = std::max(widest, static_cast<int>(widest_face(c).size()));
        cols = widest + 2;
        l = lay_out(p, cols, true);
    }
    return {cols, l.separator + kRowsFromSeparator};
}

bool fits(const cvi_panel::Panel& p) {
    const Layout l = lay_out(p, COLS, true);
    return l.whole && LINES >= l.separator + kRowsFromSeparator;
}

// Instead of a panel cut off by the terminal's edges, whose hidden buttons
// the keys would still reach: one notice, centred, with the size needed.
void draw_notice(const cvi_panel::Panel& p) {
    const auto [cols, rows] = needed_size(p, COLS);
    const std::string phrases[] = {"terminal too small for the panel:",
                                   "at least " + std::to_string(cols) + "x" + std::to_string(rows)};
    // One line when it fits, else a line for each phrase, wrapped at blanks.
    std::vector<std::string> lines;
    if (static_cast<int>(phrases[0].size() + 1 + phrases[1].size()) <= COLS) {
        lines.push_back(phrases[0] + " " + phrases[1]);
    } else {
        for (const std::string& phrase : phrases) {
            lines.emplace_back();
            for (std::size_t begin = 0; begin < phrase.size();) {
                const std::size_t end = std::min(phrase.find(' ', begin), phrase.size());
                const std::string word = phrase.substr(begin, end - begin);
                if (!lines.back().empty() && static_cast<int>(lines.back().size() + 1 + word.size()) > COLS)
                    lines.push_back(word);
                else
                    lines.back() += (lines.back().empty() ? "" : " ") + word;
                begin = end + 1;
            }
        }
    }
    const int top = std::max(0, (LINES - static_cast<int>(lines.size())) / 2);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int left = std::max(0, (COLS - static_cast<int>(lines[i].size())) / 2);
        mvaddnstr(top + static_cast<int>(i), left, lines[i].c_str(), COLS - left);
    }
}

void draw() {
    State& s = st();
    cvi_panel::Panel* p = panel();
    if (!p) return;
    drain_output();
    int rows = LINES, cols = COLS;
    erase();
    if (!fits(*p)) {
        draw_notice(*p);
        refresh();
        return;
    }
    attron(A_BOLD);
    mvaddnstr(0, 1, printable(p->title).c_str(), cols - 2);
    attroff(A_BOLD);
    const Layout layout = lay_out(*p, cols, false);
    const cvi_panel::Control* cur = focused();
    for (const Placed& placed : layout.placed) {
        const bool highlight = placed.control == cur;
        if (highlight) attron(A_REVERSE);
        for (std::size_t r = 0; r < placed.rows.size(); ++r)
            mvaddnstr(placed.y + static_cast<int>(r), placed.x, placed.rows[r].c_str(), cols - placed.x - 1);
        if (highlight) attroff(A_REVERSE);
    }
    int y = layout.separator;
    int top = y + 1, bottom = rows - 2;
    int height = std::max(0, bottom - top + 1);
    s.pane_height = std::max(1, height);
    const std::size_t shown = std::min(s.lines.size(), static_cast<std::size_t>(height));
    s.scroll = std::min(s.scroll, s.lines.size() - shown);
    const std::size_t end = s.lines.size() - s.scroll;
    const std::size_t first = end - shown;
    mvhline(y, 0, '-', cols);
    std::string heading = " Output ";
    if (s.scroll > 0) heading = " Output, " + std::to_string(s.scroll) + " newer lines below (PgDn) ";
    mvaddnstr(y, 2, heading.c_str(), std::max(0, cols - 3));
    long number = s.lines_seen - static_cast<long>(s.lines.size() - first) + 1;
    for (std::size_t i = first; i < end; ++i, ++number) {
        std::string line = s.numbers ? std::to_string(number) + "  " + s.lines[i] : s.lines[i];
        mvaddnstr(top + static_cast<int>(i - first), 0, line.c_str(), cols);
    }
    attron(A_REVERSE);
    std::string help = s.busy.empty()
                           ? " Tab/arrows: move   Enter: press   digits: edit number   Esc: drop edit   PgUp/PgDn: output"
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
    flushinp();  // keys typed while it ran
    st().busy.clear();
    draw();
}

void handle_key(int ch) {
    State& s = st();
    if (!cvi_screen::panel_fits()) {
        // Nothing of the panel is shown: no key may move or press anything.
        if (ch == kCtrlL) clearok(curscr, TRUE);
        return;
    }
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
    case KEY_PPAGE: s.scroll += static_cast<std::size_t>(std::max(1, s.pane_height - 1)); break;
    case KEY_NPAGE: s.scroll -= std::min(s.scroll, static_cast<std::size_t>(std::max(1, s.pane_height - 1))); break;
    case KEY_RESIZE: break;
    case kCtrlL: clearok(curscr, TRUE); break;  // the draw after the key repaints all
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

// --- resize -------------------------------------------------------------------

int g_resize_pipe[2] = {-1, -1};
struct sigaction g_old_winch;

void on_winch(int) {
    const int saved = errno;
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(g_resize_pipe[1], &c, 1);  // a full pipe already holds a wake-up
    errno = saved;
}

// Clears the terminal and draws the panel again, every row of it.
void repaint() {
    clearok(curscr, TRUE);
    draw();
}

// Takes the terminal's new size and repaints the panel in it.
void take_resize() {
    char buf[64];
    while (::read(g_resize_pipe[0], buf, sizeof buf) > 0) {
    }
    State& s = st();
    winsize ws{};
    if (s.tty_out && ::ioctl(::fileno(s.tty_out), TIOCGWINSZ, &ws) == 0 && ws.ws_row > 0 && ws.ws_col > 0)
        resizeterm(ws.ws_row, ws.ws_col);
    if (s.active) repaint();
}

void watch_resize() {
    State& s = st();
    if (g_resize_pipe[0] < 0 && ::pipe2(g_resize_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction sa {};
    sa.sa_handler = on_winch;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGWINCH, &sa, &g_old_winch);
    s.resize_watch = cvi::watch_fd(g_resize_pipe[0], POLLIN, [](short) { take_resize(); });
}

void unwatch_resize() {
    State& s = st();
    if (s.resize_watch == 0) return;
    cvi::unwatch(s.resize_watch);
    s.resize_watch = 0;
    ::sigaction(SIGWINCH, &g_old_winch, nullptr);
}

// Ctrl-S and Ctrl-Q become keys like any other. ncurses takes the result
// as its program mode; endwin() and the fatal-signal rescue put back the
// modes the terminal had.
void flow_control_off() {
    termios modes{};
    if (::tcgetattr(STDIN_FILENO, &modes) != 0) return;
    modes.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF);
    if (::tcsetattr(STDIN_FILENO, TCSANOW, &modes) == 0) def_prog_mode();
}

void schedule_tick() {
    st().tick = pclock::schedule_after(kOutputRefreshMs, [] {
        if (!st().active) return;
        if (drain_output()) draw();
        schedule_tick();
    });
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
    cvi_output::remember_terminal_modes();
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
    flow_control_off();

    // Output of the program goes into the pane from now on.
    cvi_output::begin(::fileno(s.tty_out));
    s.panel = panel_handle;
    s.focus = 0;
    s.editing = false;
    s.busy.clear();
    s.active = true;
    s.scroll = 0;
    s.watch = cvi::watch_fd(STDIN_FILENO, POLLIN, on_input);
    watch_resize();
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
    pclock::cancel(s.tick);
    cvi::unwatch(s.watch);
    s.watch = 0;
    unwatch_resize();
    endwin();
    cvi_output::end();
    delscreen(s.screen);
    s.screen = nullptr;
    std::fclose(s.tty_out);
    s.tty_out = nullptr;
    s.lines.clear();
    s.lines_seen = 0;
}

bool active() { return st().active; }

bool panel_fits() {
    const cvi_panel::Panel* p = panel();
    return !p || fits(*p);
}
int shown_panel() { return st().active ? st().panel : 0; }

void redraw() {
    if (st().active) draw();
}

int dialog_key(WINDOW* w) {
    for (;;) {
        const int ch = wgetch(w);
        if (ch == kCtrlL || ch == KEY_RESIZE) {
            repaint();
            return KEY_RESIZE;
        }
        if (ch != ERR) {
            if (panel_fits()) return ch;
            continue;  // the dialog is not shown: the key is nobody's
        }
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {g_resize_pipe[0], POLLIN, 0}};
        const nfds_t count = g_resize_pipe[0] >= 0 ? 2 : 1;
        if (::poll(fds, count, -1) < 0) {
            if (errno == EINTR) continue;  // SIGWINCH: the pipe tells at the next look
            return ERR;
        }
        if (count == 2 && (fds[1].revents & POLLIN)) {
            take_resize();
            return KEY_RESIZE;
        }
        if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) && !(fds[0].revents & POLLIN)) return ERR;
    }
}

std::string printable(const std::string& s) {
    // A line that ends in CR LF loses the CR; other control bytes are shown.
    std::string_view text(s);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    std::string out = cvi::shown_text(text);
    for (char& ch : out)
        if (ch == '\n' || ch == '\t') ch = ' ';
    return out;
}

void set_stdio_options(int max_lines, bool line_numbers) {
    st().max_lines = static_cast<std::size_t>(max_lines);
    cvi_output::set_kept_lines(st().max_lines);
    st().numbers = line_numbers;
    while (st().lines.size() > st().max_lines) st().lines.pop_front();
}

} // namespace cvi_screen
