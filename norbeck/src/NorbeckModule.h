// The driver's module state and the conventions every operation follows:
// trace lines into the host's trace session, the error text, the failure
// trace, the phone-failure text and the guard that keeps exceptions in.
#pragma once

#include "norbeck.h"

#include <string>

// Caller position passed to every phone-access call.
#define NORBECK_POS "norbeck", __LINE__

// Module state: one copy per process, no locking.
struct NorbeckModule {
    int iTraceOn = 1;      // tracing is on; never changed
    int sesTracer = 1;     // the host's trace session; never changed
    int iDebugBlocks = 0;  // set by norbeck_Connect: dump the SIM secure data
};
extern NorbeckModule gl_sNorbeck;
// Which stored root key the freeze writes: 1 field-test key, 2 official key.
extern int gl_iTypeOfRootKey;

// Writes one trace line (formatted without a length limit).
void norbeck_Trace(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// Puts a text into the caller's error buffer (cut to NORBECK_ERRTEXT_SIZE).
void norbeck_SetErrMsg(char* cErrMsg, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
// The failure trace "cErrMsg: %s" of the text already there; gives -1.
int norbeck_Failed(const char* cErrMsg);
// Sets the error text, writes the failure trace; gives -1.
int norbeck_Fail(char* cErrMsg, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
// The message as a trace line of its own, then as norbeck_Fail; gives -1.
int norbeck_FailTraced(char* cErrMsg, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
// A text as it may be shown in a trace line or an error text: bytes that
// are not printable ASCII become "\xNN".
std::string norbeck_Printable(const char* text);
// A phone-access call gave a non-zero status: its status text followed by
// "(Instr: sesMobile)", the failure trace; gives -1.
int norbeck_PhoneFailure(int sesMobile, int iStatus, char* cErrMsg);
// Joins a directory and a name with '/' (none added after a trailing '/').
std::string norbeck_JoinPath(const std::string& dir, const std::string& name);

// Runs an operation's body; an exception becomes -1 with a text.
template <class F>
int norbeck_Guard(char* cErrMsg, F body) noexcept {
    try {
        return body();
    } catch (...) {
        try {
            return norbeck_Fail(cErrMsg, "norbeck: internal error");
        } catch (...) {
            return -1;
        }
    }
}
