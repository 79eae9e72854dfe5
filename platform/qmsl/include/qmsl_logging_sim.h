// Test side of the simulated phone's logging: the logs waiting in the queue,
// what the logging calls set, the phone's debug messages and the
// asynchronous messages a dump writes into the text log.
#pragma once

#include "qmsl_logging.h"
#include "qmsl_sim.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#pragma GCC visibility push(default)
namespace qmsl_sim {

struct LogCode {
    std::uint8_t equipment = 0;
    std::uint16_t code = 0, last_item = 0;
    bool operator==(const LogCode&) const = default;
};

struct DebugMessage {
    std::string text;
    int args[3] = {0, 0, 0};
};

struct PhoneLogging {
    bool enabled = false;                             // as the logging state last set
    std::deque<std::vector<std::uint8_t>> logs;       // waiting phone logs, oldest first
    std::vector<LogCode> log_codes;                   // every extended log code set, in order
    std::map<std::uint16_t, std::uint16_t> filters;   // subsystem id -> real-time mask
    std::vector<DebugMessage> debug_messages;         // searched in order
    std::vector<std::string> async_messages;          // written by a dump, then dropped
};

// The phone's logging state (created on first use, goes with the phone).
QMSL_API PhoneLogging& logging(Phone& phone);

} // namespace qmsl_sim
#pragma GCC visibility pop
