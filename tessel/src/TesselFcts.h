// Internal operations of the connection, diagnostic and FTM families that
// other families of the library call.
#pragma once

#include "TesselInternal.h"

// The library's own request/response exchange on the session's connection:
// QLIB_SendSync with the caller's time-out. *piResponseSize is the room of
// pResponse on entry and the reply's length on return. TESSEL_ERROR_LIBRARY
// when not connected or the call fails; TESSEL_ERROR_PARAMETER2 for a null
// buffer or a negative size.
int _Tessel_SendSync(int iSession, short iRequestSize, const unsigned char* pRequest, short* piResponseSize,
                     unsigned char* pResponse, unsigned long ulTimeout_ms, const char* cFile, int iLine);

// The vendor library's type from its version text: 0 "QPST", 1 "QPHONEMS"
// (tested second, so it wins), else 2. The text goes to cVersion when given
// (QMSL_VERSION_TEXT_MAX bytes).
int Tessel_QLibType_m(char* cVersion = nullptr);

// Detects the phone type from the hardware id (or the build id) and the
// model byte and stores it in the session's record.
void Tessel_InternalDetectHardware(int iSession);

// A plain line ("(3I)    text") at trace level 1 or more.
void Tessel_TracePlain_m(int iSession, const char* cFormat, ...) __attribute__((format(printf, 2, 3)));

// Register bits of the phone's memory-mapped registers, in three widths. Set
// reads the register, sets (usState non-zero) or clears the mask's bits,
// writes it and reads it back; get gives 1 in *psState when any bit of the
// mask is set. Each returns 1 on success, 0 on failure (with a plain line
// naming the failed call).
int SetBitState_8_Reg(int iSession, unsigned int uiAddress, unsigned int uiMask, unsigned short usState);
int SetBitState_16_Reg(int iSession, unsigned int uiAddress, unsigned int uiMask, unsigned short usState);
int SetBitState_32_Reg(int iSession, unsigned int uiAddress, unsigned int uiMask, unsigned short usState);
int GetBitState_8_Reg(int iSession, unsigned int uiAddress, unsigned int uiMask, short* psState);
int GetBitState_16_Reg(int iSession, unsigned int uiAddress, unsigned int uiMask, short* psState);
int GetBitState_32_Reg(int iSession, unsigned int uiAddress, unsigned int uiMask, short* psState);
