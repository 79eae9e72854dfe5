// Test side of the simulated phone's software download: every download call
// is recorded with its arguments as texts, plays the progress events a test
// set through the progress call-back registered on its handle, then answers
// the result a test set.
#pragma once

#include "qmsl_download.h"
#include "qmsl_sim.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#pragma GCC visibility push(default)
namespace qmsl_sim {

struct DownloadEvent {
    std::uint32_t kind = 0;
    std::uint32_t value = 0;
};

struct DownloadCall {
    std::string fn;
    std::vector<std::string> args;  // after the handle: texts as they are, numbers in decimal, "(null)"
};

struct Downloads {
    std::vector<DownloadEvent> events;    // played by every download call, in order
    std::map<std::string, bool> results;  // result per function name (unset: success)
    std::vector<DownloadCall> calls;      // every download call that reached the phone
    std::vector<unsigned char> answers;   // what the progress call-back answered, per event
    // What QLIB_GetLastSoftwareDownloadErrorInfo reports.
    bool error_occurred = false;
    std::string error_text;
};

// The phone's download state (created on first use, goes with the phone).
QMSL_API Downloads& downloads(Phone& phone);

} // namespace qmsl_sim
#pragma GCC visibility pop
