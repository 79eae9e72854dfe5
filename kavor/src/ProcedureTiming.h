// Waits, time limits, mode numbers and NV items shared by the mode-change
// and box power procedures.
#pragma once

#include "win_types.h"

#include <cinttypes>
#include <cstdint>

namespace kavor {

constexpr unsigned short kNvFtmMode = 453;  // the FTM flag: start in FTM mode after a reset

// Mode control commands.
constexpr int kModeOffline = 0;
constexpr int kModeReset = 2;
constexpr int kModePowerOff = 6;

constexpr DWORD kOfflineWaitMs = 12000;
constexpr DWORD kOfflinePollMs = 250;
constexpr DWORD kResetRestMs = 18000;
constexpr DWORD kComeBackMs = 40000;
constexpr DWORD kComeBackPollMs = 1000;
constexpr DWORD kBootWaitMs = 28000;
constexpr DWORD kBootPollMs = 400;
constexpr DWORD kPowerOffWaitMs = 10000;
constexpr DWORD kPowerOffPollMs = 200;

// Whether tick count `now` is before `deadline`, also across the wrap at 2^32.
inline bool tickBefore(DWORD now, DWORD deadline) { return static_cast<std::int32_t>(now - deadline) < 0; }

} // namespace kavor
