// Quorl's module state and the internal functions that share it. One set
// per loaded library, used from one thread: the host's, which also runs the
// event loop that calls ServerCallback.
#pragma once

#include "quorl.h"

// Object types.
constexpr int32_t kObjectNone = 0;
constexpr int32_t kObjectInvalid = -1;
constexpr int32_t kObjectServer = 1;
constexpr int32_t kObjectClient = 2;

// Forwarding modes; a line is sent when its kind equals the mode.
constexpr int32_t kModeOff = -1;
constexpr int32_t kModeTrace = QUORL_KIND_TRACE;
constexpr int32_t kModeResult = QUORL_KIND_RESULT;
constexpr int32_t kModeAddress = QUORL_KIND_ADDRESS;

constexpr uint32_t kSession = 1;
// Wait for a TCP read or write, in milliseconds.
constexpr unsigned kTcpTimeoutMs = 1000;
// Largest command text taken from the client in one data-ready event.
constexpr int kCommandMax = 512;

extern int32_t gObjectType;   // kObject*
extern int32_t gPortNr;       // the configured port, also a rejected one
extern int32_t gActive;       // 1 while the marker file was found at the last setmode
extern int32_t gRegistered;   // 1 while the TCP server is registered
extern int32_t gRegisteredPort; // the port the registered server listens on
extern int32_t gFileCheck;    // 0: the marker file decides activity; -1: not set
extern int32_t gMode;         // kMode*
extern double gTxDelay;       // seconds waited after every successful send
extern unsigned gHandle;      // conversation of the latest client, 0 for none

// The callback given to the run-time's TCP server.
int ServerCallback(unsigned handle, int event, int error, void* callbackData);
// Lower-cases the command text in place and applies every command in it.
void ServerDoCommand(char* cText);
