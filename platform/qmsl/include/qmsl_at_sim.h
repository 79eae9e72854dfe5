// Test side of the simulated phone's AT command engine.
//
// A request on the raw channel that starts with "AT" is one command line:
// "AT", the command, CR, and (as this system sends it) a NUL. The phone
// answers with
//   - the echo of the command line, "AT" up to and including its CR (unless
//     echo is off),
//   - each reply line as CR LF, the line, CR LF,
//   - CR LF and the final result, with nothing after it,
// so that every reply ends exactly with "OK" or "ERROR" and the value of a
// four-letter query such as "+CVIB?" stands at byte 18 of an echoed reply.
//
// Where the reply comes from, first match wins:
//   1. the canned reply a test set for the exact command (the text after
//      "AT", without CR), e.g. "+CVIB?";
//   2. the canned reply set for the command's name (the text up to the first
//      '=' or '?'), e.g. "+CVIB";
//   3. the phone's settings: "NAME=value" stores the value, and "NAME?" is
//      answered with the line "NAME: value" once one is stored;
//   4. no line and "OK".
// "ATE0" and "ATE1" switch the echo (as a test can). "AT^SQWE=3" switches the
// port into OBEX mode: the phone sets values["obex_mode"] to 1, and the AT
// engine stays silent while that value is 1 (the OBEX side answers then).
#pragma once

#include "qmsl_sim.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#pragma GCC visibility push(default)
namespace qmsl_sim {

// How the phone answers one command. The defaults are a plain "OK".
struct AtReply {
    std::vector<std::string> lines;   // reply lines between the echo and the result
    std::string result = "OK";        // final result: "OK", "ERROR" or any other text
    std::optional<std::size_t> cut;   // deliver only the first n bytes of the reply
    bool silent = false;              // no reply at all: the send waits its time-out
};

struct AtState {
    bool echo = true;
    // Canned replies by exact command or by command name (see above).
    std::map<std::string, AtReply> replies;
    // Values written with "NAME=value", by name.
    std::map<std::string, std::string> settings;
    // Every command line the engine received, without "AT", CR and NUL.
    std::vector<std::string> commands;
};

// The phone's AT engine state (created on first use, goes with the phone).
QMSL_API AtState& at_engine(Phone& phone);

} // namespace qmsl_sim
#pragma GCC visibility pop
