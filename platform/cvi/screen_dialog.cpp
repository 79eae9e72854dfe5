// Modal dialogs of the front end: a framed box over the panel with the
// title and the message; a message waits for Enter (or Space, Esc), a prompt
// edits a one-line entry. The event loop is not pumped meanwhile.
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
    wborder(w, '|', '|', '-', '-', '+', '+', '+', '+');
    wattron(w, A_BOLD);
    mvwaddnstr(w, 0, 2, (" " + printable(title) + " ").c_str(), width - 4);
    wattroff(w, A_BOLD);
    for (int i = 0; i < text_rows; ++i) mvwaddnstr(w, 2 + i, 2, lines[static_cast<std::size_t>(i)].c_str(), width - 4);
    return w;
}

void close_box(WINDOW* w) {
    delwin(w);
    touchwin(stdscr);
    cvi_screen::redraw();
}

} // namespace

namespace cvi_screen {

void message_dialog(const char* title, const char* text) {
    if (!active()) return;
    redraw();
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
    if (!active()) return VAL_USER_CANCEL;
    redraw();
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
