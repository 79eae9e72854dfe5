/* Tick count and sleep, both on the process clock (platform/clock): virtual
 * in tests, so nothing waits for real there. */
#ifndef WIN_TIME_H
#define WIN_TIME_H

#include "win_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Waits ms milliseconds; 0 only gives the processor away once. */
WIN_API void Sleep(DWORD ms);
/* Milliseconds since the clock's start, wrapping at 2^32 as on Windows. */
WIN_API DWORD GetTickCount(void);

#ifdef __cplusplus
}
#endif

#endif
