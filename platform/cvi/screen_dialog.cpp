// Modal dialogs of the front end: a framed box over the panel with the
// title and the message; a message waits for Enter (or Space, Esc), a prompt
// edits a one-line entry. The event loop is not pumped meanwhile; a resize
// or Ctrl-L repaints the panel and the box over it. A dialog is answered only
// by keys pressed while it is shown: those typed before it was drawn are
// dropped when it first appears, and it is hidden, taking no keys, while the
// terminal is too small for the panel.
#include "screen.h"

#include "cvi_panel.h"
#include "cvi_shown_text.h"

#include <curses.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using cvi_screen::printable;

// Lines of at most `width` characters; control bytes are shown (\xNN),
// newlines break the line.
std::vector<std::string> wrap(const std::string& raw, int width) {
    const std::string text = cvi::shown_text(raw);
    std::vector<std::string> out;
    std::string line;
    for (char ch : text) {
        if (ch == '\n' || static_cast<int>(line.size()) >= width) {
            out.push_back(line);
            line.clear();
            if (ch == '\n') continue;
        }
        line += ch == '\t' ? ' ' : ch;
    }
    out.push_back(line);
    return out;
}

// A framed box over the panel with the title and the message; `extra` rows
// are left for the caller below the message. It is drawn anew, to the
// screen's size of the moment, whenever the panel was repainted under it.
class Box {
public:
    Box(const char* title, const char* message, int extra) : title_(title), message_(message), extra_(extra) {}
    ~Box() {
        if (w_) delwin(w_);
        touchwin(stdscr);
        cvi_screen::redraw();
    }
    Box(const Box&) = delete;
    Box& operator=(const Box&) = delete;

    // (Re)creates the window, centred, and draws the frame, title and
    // message. False when the screen cannot hold a window, or the panel
    // under it does not fit and shows its notice.
    bool open() {
        if (w_) delwin(w_);
        w_ = nullptr;
        if (!cvi_screen::panel_fits()) return false;
        int width = std::clamp(static_cast<int>(std::max(title_.size(), message_.size())) + 6, 30,
                               std::max(30, COLS - 4));
        width = std::min(width, COLS);
        std::vector<std::string> lines = wrap(message_, width - 4);
        int max_rows = std::max(1, LINES - 4 - extra_);
        if (static_cast<int>(lines.size()) > max_rows) lines.resize(static_cast<std::size_t>(max_rows));
        text_rows_ = static_cast<int>(lines.size());
        int height = std::min(LINES, text_rows_ + extra_ + 4);
        w_ = newwin(height, width, std::max(0, (LINES - height) / 2), std::max(0, (COLS - width) / 2));
        if (!w_) return false;
        keypad(w_, TRUE);
        nodelay(w_, TRUE);
        wborder(w_, '|', '|', '-', '-', '+', '+', '+', '+');
        wattron(w_, A_BOLD);
        mvwaddnstr(w_, 0, 2, (" " + printable(title_) + " ").c_str(), width - 4);
        wattroff(w_, A_BOLD);
        for (int i = 0; i < text_rows_; ++i)
            mvwaddnstr(w_, 2 + i, 2, lines[static_cast<std::size_t>(i)].c_str(), width - 4);
        return true;
    }

    WINDOW* window() const { return w_; }
    // To be called just before the box goes to the screen: the first time,
    // the keys typed until then (meant for the panel, or ahead of a question
    // not yet read) are dropped. Dropped before the box is drawn rather than
    // after, so that no key pressed once it is seen can be lost.
    void showing() {
        if (fresh_) flushinp();
        fresh_ = false;
    }
    // The first row below the message.
    int below() const { return text_rows_ + 3; }
    int width() const { return w_ ? getmaxx(w_) - 4 : 0; }

    // The next key; a repaint of the panel (resize, Ctrl-L) draws the box
    // again and gives KEY_RESIZE.
    int key() {
        const int ch = w_ ? cvi_screen::dialog_key(w_) : cvi_screen::dialog_key(stdscr);
        if (ch == KEY_RESIZE) open();
        return ch;
    }

private:
    std::string title_, message_;
    int extra_;
    WINDOW* w_ = nullptr;
    int text_rows_ = 0;
    bool fresh_ = true;
};

} // namespace

namespace cvi_screen {

void message_dialog(const char* title, const char* text) {
    if (!active()) return;
    redraw();
    Box box(title, text, 2);
    box.open();
    for (;;) {
        if (WINDOW* w = box.window()) {
            wattron(w, A_REVERSE);
            mvwaddstr(w, box.below(), 2, "[ OK ]");
            wattroff(w, A_REVERSE);
            box.showing();
            wrefresh(w);
        }
        int ch = box.key();
        if (ch == '\n' || ch == '\r' || ch == KEY_ENTER || ch == ' ' || ch == 27 || ch == ERR) break;
    }
}

int prompt_dialog(const char* title, const char* message, char* buffer, int max_length) {
    if (!active()) return VAL_USER_CANCEL;
    redraw();
    std::string entry(buffer, ::strnlen(buffer, static_cast<std::size_t>(max_length)));
    // The default text is offered selected: Enter takes it, typing replaces it.
    bool fresh = true;
    Box box(title, message, 4);
    box.open();
    int result = VAL_USER_CANCEL;
    for (;;) {
        WINDOW* w = box.window();
        curs_set(w ? 1 : 0);
        if (w) {
            const int width = std::max(1, box.width());
            const int row = box.below();
            std::string shown = entry.size() >= static_cast<std::size_t>(width)
                                    ? entry.substr(entry.size() - static_cast<std::size_t>(width) + 1)
                                    : entry;
            wmove(w, row, 2);
            wattron(w, A_UNDERLINE);
            waddstr(w, std::string(static_cast<std::size_t>(width), ' ').c_str());
            if (fresh) wattron(w, A_REVERSE);
            mvwaddstr(w, row, 2, printable(shown).c_str());
            wattroff(w, A_UNDERLINE | A_REVERSE);
            mvwaddnstr(w, row + 2, 2, "Enter: OK   Esc: cancel", width);
            wmove(w, row, 2 + static_cast<int>(shown.size()));
            box.showing();
            wrefresh(w);
        }
        int ch = box.key();
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
    return result;
}

} // namespace cvi_screen
