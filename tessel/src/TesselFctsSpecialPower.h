// Internal pieces of the power sequences (switch-on, reset, power-off) that
// the sequences share.
#pragma once

#include "TesselInternal.h"
#include "qmsl.h"
#include "win_serial.h"
#include "win_time.h"

#include <cstdint>

namespace tessel_power {

constexpr int kModeOffline = 1;
constexpr int kModeReset = 2;
constexpr int kModeFtm = 3;
constexpr int kModeOnline = 4;
constexpr int kModePowerOff = 6;
constexpr unsigned short kNvFtmMode = 453;

inline unsigned hex(int iStatus) { return static_cast<unsigned>(iStatus); }

inline HANDLE boxPort(std::int32_t hBox) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(hBox)); }

// Milliseconds since a tick count taken earlier. The unsigned difference
// stays right across a wrap of the 32-bit counter, which a deadline
// (start + time-out) compared with the current count does not.
inline DWORD elapsedMs(DWORD dwStart) { return GetTickCount() - dwStart; }

// Sends the offline command and polls the diag state every 0.25 s for up to
// 12 s. A failed command sets *piStatus and the polling still runs. Returns
// true when the phone reported state 0 (offline); the "[TIMEOUT]" line and
// the failure status are the caller's when it did not.
bool GoOffline(int iSession, QmslHandle h, int* piStatus);

} // namespace tessel_power

// The switch-on sequence: the DTR pulse (on the phone's port for library
// type 1, on the boot box for type 0), waiting for the phone to answer
// within iTimeout_ms (0: 20000), then bringing it into eMode (3 FTM or 4
// ONLINE). cErrMsg (TESSEL_ERROR_TEXT_MAX bytes) gets "OK" or the reason.
int Tessel_InternalSpecialPowerUp(int iSession, QmslHandle h, std::int32_t hBox, int iLibType, int iTimeout_ms,
                                  int eMode, char* cErrMsg);
