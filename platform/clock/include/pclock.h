// The process-wide clock. Every sleep, delay, tick count and timer of the
// system and of the platform stand-ins goes through it.
//
// Real time is the default. Tests switch to virtual time: there a sleep
// returns at once after advancing the clock, and every callback scheduled up
// to the new time runs first, in time order (ties in scheduling order). A
// simulated phone that finishes booting 3 s after its power key is a callback
// scheduled 3000 ms ahead.
#pragma once

#include <cstdint>
#include <functional>

#define PCLOCK_API __attribute__((visibility("default")))

namespace pclock {

using Millis = std::int64_t;
using TaskId = std::uint64_t;

// Milliseconds since the clock's start; never goes backwards.
PCLOCK_API Millis now_ms();

// Waits ms milliseconds (at once in virtual time). Callbacks that fall due
// before the wait ends run during it, at their own time. Negative is 0.
PCLOCK_API void sleep_ms(Millis ms);

// Runs fn when the clock reaches `when` (during a sleep, or at the next
// run_due() in real time). A time in the past runs at the next chance.
PCLOCK_API TaskId schedule_at(Millis when, std::function<void()> fn);
PCLOCK_API TaskId schedule_after(Millis delay, std::function<void()> fn);
// Forgets a scheduled callback; unknown or already run ids are ignored.
PCLOCK_API void cancel(TaskId id);
// Runs every callback that is due now, without advancing the clock.
PCLOCK_API void run_due();
// Number of callbacks still waiting.
PCLOCK_API std::size_t pending();

// Switches to virtual time starting at `start` (the pending callbacks are
// dropped), or back to real time.
PCLOCK_API void use_virtual_time(Millis start = 0);
PCLOCK_API void use_real_time();
PCLOCK_API bool is_virtual();

// Wall-clock time in UTC, in whole seconds since 1970-01-01 00:00:00 UTC. In
// real time it is the system's clock. In virtual time it moves with the
// virtual clock from an instant a test sets (1970-01-01 until then), so
// time stamps are predictable.
PCLOCK_API std::int64_t utc_now_s();
// Makes utc_now_s() give `seconds` at this moment of virtual time.
PCLOCK_API void set_virtual_utc_s(std::int64_t seconds);

} // namespace pclock
