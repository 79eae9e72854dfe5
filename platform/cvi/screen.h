// Inside the panel family: the full-screen terminal front end (screen.cpp).
// It shows one panel at a time, reads keys through the event loop, and
// turns popups into dialogs while it is showing.
#pragma once

#include <curses.h>

#include <string>

namespace cvi_screen {

// Whether standard input and output are a terminal the front end can use.
bool terminal_available();
// Shows the panel with this handle; false when the terminal cannot be set up.
bool start(int panel_handle);
// Restores the terminal; what the program wrote meanwhile goes to its
// standard output. Safe when not active.
void stop();
bool active();
int shown_panel();
// Draws the panel again (after a value changed, or new output).
void redraw();
// The text fit for one screen line: control bytes shown as "\xNN"
// (cvi_shown_text.h), newline and tab as blanks.
std::string printable(const std::string& s);
// Output pane: lines kept (also those written out again by stop()), and
// whether they are numbered.
void set_stdio_options(int max_lines, bool line_numbers);

// Whether the terminal holds the whole panel; when it does not, the screen
// shows a notice instead, and neither the panel nor a dialog takes keys.
bool panel_fits();

// The next key for an open dialog, read through its window `w` (in no-delay
// mode). A resized terminal, or Ctrl-L, repaints the panel and gives
// KEY_RESIZE: the dialog then draws itself again, over it. Keys that come
// while the panel does not fit are dropped. ERR: the terminal is gone.
int dialog_key(WINDOW* w);

// Modal dialogs (the event loop is not pumped while they are up).
void message_dialog(const char* title, const char* text);
// Returns 0 with the entry in buffer (at most max_length characters), or
// VAL_USER_CANCEL.
int prompt_dialog(const char* title, const char* message, char* buffer, int max_length);

} // namespace cvi_screen
