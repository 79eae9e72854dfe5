// Run-time helpers: delays and the timer, both on the process clock.
#pragma once

#define CVI_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

// Waits the given number of seconds (fractions allowed) on the process clock.
CVI_API void Delay(double seconds);
// Seconds since the clock's start, with millisecond resolution.
CVI_API double Timer(void);

#ifdef __cplusplus
}
#endif
