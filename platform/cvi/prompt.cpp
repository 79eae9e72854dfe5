// PromptPopup and the queue of answers that tests give it.
#include "cvi_panel.h"

#include "cvi_shown_text.h"
#include "popup_record.h"
#include "screen.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <iostream>
#include <optional>
#include <string>

namespace {

// An empty optional is a cancel.
std::deque<std::optional<std::string>>& answers() {
    static std::deque<std::optional<std::string>> q;
    return q;
}

int give(const std::string& text, char* buffer, int max_length) {
    std::size_t n = std::min(text.size(), static_cast<std::size_t>(max_length));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return 0;
}

// No panel on the screen, but a person at a terminal: one line from stdin;
// an empty line keeps the default text, end of input cancels.
int ask_on_terminal(const char* message, char* buffer, int max_length) {
    std::string fallback(buffer, ::strnlen(buffer, static_cast<std::size_t>(max_length)));
    std::fprintf(stderr, "%s [%s] (at most %d characters): ", cvi::shown_text(message ? message : "").c_str(),
                 cvi::shown_text(fallback).c_str(), max_length);
    std::fflush(stderr);
    std::string line;
    if (!std::getline(std::cin, line)) return VAL_USER_CANCEL;
    return give(line.empty() ? fallback : line, buffer, max_length);
}

} // namespace

int PromptPopup(const char* title, const char* message, char* buffer, int maxLength) {
    if (!buffer || maxLength < 0) return UI_ERR_INVALID_PARAMETER;
    try {
        cvi_popup::record("prompt", title, message);
        if (!answers().empty()) {
            std::optional<std::string> answer = std::move(answers().front());
            answers().pop_front();
            return answer ? give(*answer, buffer, maxLength) : VAL_USER_CANCEL;
        }
        if (cvi_screen::active())
            return cvi_screen::prompt_dialog(title ? title : "", message ? message : "", buffer, maxLength);
        if (::isatty(STDIN_FILENO)) return ask_on_terminal(message, buffer, maxLength);
    } catch (...) {
    }
    return VAL_USER_CANCEL;
}

namespace cvi_test {

void push_prompt_answer(const std::string& text) { answers().push_back(text); }
void push_prompt_cancel() { answers().push_back(std::nullopt); }
std::size_t prompt_answers_left() { return answers().size(); }

} // namespace cvi_test
