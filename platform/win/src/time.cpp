// Tick count and sleep on the process clock.
#include "win_time.h"

#include "pclock.h"

void Sleep(DWORD ms) { pclock::sleep_ms(static_cast<pclock::Millis>(ms)); }

DWORD GetTickCount(void) { return static_cast<DWORD>(pclock::now_ms()); }
