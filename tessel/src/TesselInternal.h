// The library's internal conventions, shared by every family of operations:
// the session record and table, the library-wide module state, the trace
// writer and its helpers. A family source file (TesselFcts*.cpp) includes
// this header and follows the same pattern in each export:
//   1. SessionRecord rec{iSession}; if (int st = GetInstrIDFromSession_m(&rec)) return st;   (untraced)
//   2. Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, ... ) Sess=%d", ...);
//   3. rec.hHandle == -1 -> TESSEL_ERROR_LIBRARY; a false vendor/extension answer -> TESSEL_ERROR_LIBRARY
//   4. Mob_TraceResult(iSession, status, "%s() = %#x", ...); return status;
#pragma once

#include "tessel.h"

#include <cstddef>
#include <cstdint>

// --- session table --------------------------------------------------------------

// One session slot. Passed by value to the table's add and write functions.
struct SessionRecord {
    std::int32_t iSession = 0;       // 1..12 while in use, 0 when free
    std::int32_t iDriverKind = -1;   // 0 for ":qc"
    std::uint8_t ucTraceLevel = 255; // library level at init time (a copy; tracing reads iTraceLev)
    std::uint8_t ucComPort = 255;    // primary COM port
    std::int32_t hHandle = -1;       // vendor handle; -1 = not connected
    std::int8_t cBoxComPort = -1;    // control-line box COM port 1..16, -1 = no box
    std::int32_t hBoxHandle = -1;    // box port handle, -1 = not open
    std::int16_t sPhoneType = 11;    // phone-type index 0..10, 11 = none detected
};
static_assert(offsetof(SessionRecord, iDriverKind) == 4 && offsetof(SessionRecord, ucTraceLevel) == 8 &&
                  offsetof(SessionRecord, ucComPort) == 9 && offsetof(SessionRecord, hHandle) == 12 &&
                  offsetof(SessionRecord, cBoxComPort) == 16 && offsetof(SessionRecord, hBoxHandle) == 20 &&
                  offsetof(SessionRecord, sPhoneType) == 24 && sizeof(SessionRecord) == 28,
              "session record layout");

constexpr int TESSEL_MAX_SESSIONS = 12;
constexpr std::int16_t TESSEL_PHONE_TYPE_NONE = 11;

// Copies the slot of rec->iSession into *rec (the number stays as set).
// TESSEL_ERROR_SESSION_INVALID for a number outside 1..12; 0 otherwise, also
// for a free slot, whose copy then holds the free values (handle -1).
int GetInstrIDFromSession_m(SessionRecord* rec);
// True for 0 and anything above 12 (negative numbers included).
bool Mob_InvalidSessionNr_m(int iSession);
// True when the number is valid and its slot is in use.
bool Mob_SessionInUse_m(int iSession);
// Lowest free slot number, 0 when all 12 are in use.
int Mob_GetNewSessionNo_m();
// Stores a new session in the free slot of its number and counts it;
// TESSEL_ERROR_SESSION_INVALID when the table is full, the number invalid or
// the slot already in use (nothing changes then).
int Mob_AddToGlSesHdl_m(SessionRecord rec);
// Replaces a slot in use (connect, disconnect, phone type); the count stays.
// TESSEL_ERROR_SESSION_INVALID for an invalid number and
// TESSEL_ERROR_SESSION_NOT_IN_LIST for a free slot: a free slot is never
// written, so no slot can look used without being counted.
int WriteToGlSesHdl_m(SessionRecord rec);
// Frees the slot; TESSEL_ERROR_SESSION_INVALID / _NOT_IN_LIST as above.
int Mob_DelSesFromGlSesHdl_m(int iSession);
// Number of slots in use.
int Mob_ActiveSessions_m();

// The version gate: TESSEL_ERROR_INIT when the reported version is older
// than the expected one (failure text into cOutText, TESSEL_ERROR_TEXT_MAX
// bytes); 0 with a "Warning" popup and an info text when it differs but is
// not older; 0 and cOutText untouched on an exact match.
int Mob_CheckDrvRev_m(const char* cLibFile, const char* cReported, const char* cExpected, char* cOutText);

// A caller's pointer as trace lines show it, "0x%" PRIxPTR (lower-case hex).
inline std::uintptr_t Mob_Address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

// --- library-wide state ---------------------------------------------------------------

extern std::int8_t iTraceLev;       // trace level of the whole library (latest init)
extern TracerSession sesTracer_m;   // trace session of the latest init; 0 = none
extern char cLastErrStr[TESSEL_ERROR_TEXT_MAX]; // text for TESSEL_ERROR_INIT

// Sets cLastErrStr (cut to fit).
void Mob_SetLastError_m(const char* cText);

// Back to the state of a freshly loaded library (tests only; not exported).
void Tessel_ResetModule_m();
// The part of the reset that forgets the DTR state and the initial time-out.
void Tessel_ResetSettings_m();
// The part that forgets the camera detection's device list and last camera addresses.
void Tessel_ResetCameraState_m();

// --- tracing --------------------------------------------------------------------------

enum TraceType { TRACE_CALL = 1, TRACE_INFO = 2, TRACE_RESULT = 3, TRACE_PLAIN = 4 };

// The one trace writer: formats one line of the given type and writes it to
// sesTracer_m (see TesselUtils.cpp for the forms and cuts). Does not check
// the level, except for the error text that follows a failed result at
// level 4 and more.
void Mob_TRACE(int iSession, int iStatus, int iType, const char* cText, const char* cFile, int iLine);
// "name={ 01 02 ... }", ten values a line, as plain lines.
void Mob_TraceByteArray(int iCount, const unsigned char* pucBytes, const char* cName);

// True when lines of this level are written (call, result and info lines
// need 1, a few extra lines 2).
inline bool Mob_TraceOn_m(int iMinLevel = 1) { return iTraceLev >= iMinLevel; }

// printf-style forms of the writer. The gated ones write only at level 1 or
// more; Mob_TraceF writes whatever the level.
void Mob_TraceF(int iSession, int iStatus, int iType, const char* cFile, int iLine, const char* cFormat, ...)
    __attribute__((format(printf, 6, 7)));
void Mob_TraceCall(int iSession, const char* cFile, int iLine, const char* cFormat, ...)
    __attribute__((format(printf, 4, 5)));
void Mob_TraceResult(int iSession, int iStatus, const char* cFormat, ...) __attribute__((format(printf, 3, 4)));
void Mob_TraceInfo(int iSession, const char* cFile, int iLine, const char* cFormat, ...)
    __attribute__((format(printf, 4, 5)));

// --- phone types ------------------------------------------------------------------------

// The phone-type index (0..10, 11 = none) for a hardware id and model byte.
std::int16_t TesselDeterminePhoneType(std::int16_t sHwId, std::int16_t sModel);
