// Phone checks shared by the driver's phone operations: the lock-state
// gate, the IMEI check and the wait for a phone that resets.
#pragma once

#include "NorbeckModule.h"

// The dummy IMEI of a phone that was never given its own.
constexpr const char* norbeck_DUMMY_IMEI = "099999001234561";
constexpr int norbeck_LEN_IMEI = 15;

// Reads the lock state (0 open) and the unlock tries left; a failed call is
// a phone failure. 0 or -1 (with the failure trace).
int norbeck_ReadLockState(int sesMobile, short* pbLockState, unsigned char* pucCyclesLeft, char* cErrMsg);
// The phone must be open: a failed call is a phone failure, a locked phone
// fails with "bLockState != 0 [%d]". 0 or -1 (with the failure trace).
int norbeck_CheckLockStateOpen(int sesMobile, char* cErrMsg);
// Reads the phone's IMEI into TESSEL_IMEI_TEXT_MAX bytes; a failed call is a
// phone failure. 0 or -1 (with the failure trace).
int norbeck_ReadImei(int sesMobile, char* cImei, char* cErrMsg);
// 15 characters and not the dummy IMEI; 0 or -1 (with the failure trace).
int norbeck_CheckForValidImei(const char* cImei, char* cErrMsg);
// Sleeps 2 s, then polls the phone every 500 ms until it answers
// (*piPingOk 1) or iTimeOutSec seconds from the start have passed. Always 0.
int norbeck_WaitUntilPingOk(int sesMobile, int* piPingOk, int iTimeOutSec, char* cErrMsg);
