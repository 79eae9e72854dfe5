// Inside the front end: while the screen is up, what the program writes to
// descriptors 1 and 2 goes into a memory file for the output pane
// (screen_output.cpp).
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace cvi_output {

// Notes the terminal's modes; call before ncurses changes them.
void remember_terminal_modes();
// Starts capturing; `tty_fd` is the terminal that ncurses writes to. Until
// end(), a signal that ends the program first restores the terminal and
// hands it the captured output. Call after ncurses knows the terminal.
void begin(int tty_fd);
// Passes each line completed since the last call; true when there was new
// output.
bool drain(const std::function<void(const std::string&)>& on_line);
// How many of the newest lines are kept for end() (the output window's
// size); older ones are dropped from memory as new lines come.
void set_kept_lines(std::size_t lines);
// Stops capturing and copies the kept lines to the real standard output.
// Safe when not capturing.
void end();

} // namespace cvi_output
