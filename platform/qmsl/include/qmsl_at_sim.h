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
//   3. the phone's small stores (below) for the commands they serve;
//   4. the phone's settings: "NAME=value" stores the value, and "NAME?" is
//      answered with the line "NAME: value" once one is stored;
//   5. no line and "OK".
// Reply lines follow each other with CR LF between them; a message line
// carries its header, CR LF and its text.
//
// Stores: messages ("+CMGL=f", "^SMGL=f" list those of status f, or all for
// 4; "+CMGR=i", "^SMGR=i" read one, "ERROR" when there is none), lock
// facilities ("+CLCK="FC",2" and "^SLCK" list a facility's entries, mode 0
// or 1 sets their status), call forwarding per reason ("+CCFC=r,2" lists the
// entries on one line, separated by ','; mode 3 registers a number, mode 4
// erases the reason), call waiting ("+CCWA=n,2" lists status and class),
// PDP contexts ("+CGACT?") and the SIM's answer to "+CRSM=".
//
// Answer times: a command answers after its time in answer_ms (by name, or
// by name and ",2" for a query of CLCK, SLCK, CCFC and CCWA) on the process
// clock; longer than the caller's time-out, it does not answer at all.
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

struct AtMessage {
    int index = 0;
    int status = 0;
    std::string text;
};
struct AtLock {
    char status = '0';
    char klass = 0;  // 0: the entry has no class
};
struct AtForwarding {
    int status = 1;
    int klass = 7;
    std::string number;
    int type = -1;  // -1: left out of the entry
    int time = -1;
};
struct AtPair {
    int first = 0;
    int second = 0;
};
struct AtSimFile {
    int sw1 = 144;
    int sw2 = 0;
    std::string response;  // empty: the reply carries sw1 and sw2 alone
};

struct AtState {
    bool echo = true;
    // Canned replies by exact command or by command name (see above).
    std::map<std::string, AtReply> replies;
    // Values written with "NAME=value", by name.
    std::map<std::string, std::string> settings;
    // Every command line the engine received, without "AT", CR and NUL.
    std::vector<std::string> commands;

    std::vector<AtMessage> messages;
    std::map<std::string, std::vector<AtLock>> locks;    // by facility
    std::map<int, std::vector<AtForwarding>> forwarding;  // by reason
    std::vector<AtPair> waiting;                          // status, class
    std::vector<AtPair> contexts;                         // context id, state
    AtSimFile sim_file;
    std::map<std::string, long long> answer_ms = {
        {"+CLCK", 30000}, {"+CLCK,2", 4000}, {"^SLCK", 30000}, {"^SLCK,2", 4000},
        {"+CCFC", 20000}, {"+CCFC,2", 8000}, {"+CCWA", 15000}, {"+CCWA,2", 15000},
    };
};

// The phone's AT engine state (created on first use, goes with the phone).
QMSL_API AtState& at_engine(Phone& phone);

} // namespace qmsl_sim
#pragma GCC visibility pop
