// Gorvid: the line's shared-session store. The programs of a station keep
// the sessions they share here: the trace session of the station's trace
// library and the session of its remote-control server.
//
// This stand-in keeps them in the calling process, so a program finds only
// the sessions stored by code in the same process (see README). A session
// never stored reads as 0, which names no session.
#pragma once

#define GORVID_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

// Stores the trace session; a later put replaces it. Returns 0.
GORVID_API int GorvidPut_SesTracer(int session);
// The trace session stored last, or 0.
GORVID_API int GorvidGet_SesTracer(void);
// Stores the remote-control session (called by the program that opened the
// remote-control server). Returns 0.
GORVID_API int GorvidPut_SesQuorl(int session);
// The remote-control session stored last, or 0.
GORVID_API int GorvidGet_SesQuorl(void);

#ifdef __cplusplus
}
#endif
