// Shared pieces of the wrapper's sources: the call record and scripts of
// pellin_test.h, bounded error texts, and the guard that keeps exceptions in.
#pragma once

#include "pellin_test.h"

#include <optional>

namespace pellin {

// Records the call; gives the script that answers it instead of the
// database, if a test set one.
std::optional<pellin_test::Script> enter(pellin_test::Call call);
// Applies a script's result and text; true when the call failed.
int scripted(const pellin_test::Script& s, char* errText);

// Writes a text of at most 255 characters and a NUL (nothing for NULL).
void put_text(char* errText, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

template <class F>
int guarded(char* errText, F body) noexcept {
    try {
        return body();
    } catch (...) {
        put_text(errText, "pellin: internal error");
        return -1;
    }
}

} // namespace pellin
