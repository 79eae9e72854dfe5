// Wall-clock UTC on top of the process clock.
#include "pclock.h"

#include <chrono>

namespace pclock {
namespace {
// Virtual milliseconds since 1970 at virtual time 0.
Millis g_virtual_epoch_ms = 0;
} // namespace

std::int64_t utc_now_s() {
    if (is_virtual()) {
        const Millis ms = g_virtual_epoch_ms + now_ms();
        return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
    }
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void set_virtual_utc_s(std::int64_t seconds) { g_virtual_epoch_ms = seconds * 1000 - now_ms(); }

} // namespace pclock
