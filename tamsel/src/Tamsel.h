// The operator program's state and the pieces its commands share: the
// program-wide variables, the trace of a line, the error texts, the error
// block of the commands that switch the phone, and the frame every
// callback runs in (commit only, status line afterwards).
#pragma once

#include "tessel.h"
#include "tracer.h"

// Controls of panel 1 of Tamsel.uir that the program reads or writes.
#define TAMSEL_PANEL_RESOURCE 1
#define TAMSEL_CTRL_COM_PORT 15
#define TAMSEL_CTRL_KLF_BYTE 16
#define TAMSEL_CTRL_STATUS 17

#define TAMSEL_ERR_MSG_SIZE 512
#define TAMSEL_TRACER_STR_SIZE 512

// Position given to the phone-access library with every call.
#define TAMSEL_AT "Tamsel", __LINE__

extern int sesMobile;
extern TracerSession sesTracer;
extern int iErrStatus;
extern char cErrMsg[TAMSEL_ERR_MSG_SIZE];
extern char cTracerStr[TAMSEL_TRACER_STR_SIZE];
extern int iComPort;
extern unsigned char ucWriteKlfByte;
extern int iWriteKlfByte;
extern unsigned char ucVerifyKlfByte;
// Whether sesMobile was connected by the FTM-mode button and not
// disconnected since.
extern bool bMobileConnected;

// Opens the panel and the trace session as the program starts: the panel
// handle, or -1 when the run-time or the panel cannot be set up.
int TamselStart(char* argv[]);

// Puts the line into cTracerStr and hands it to the trace session and the
// remote-control server stored in the shared-session store.
void TamselTrace(const char* cFormat, ...) __attribute__((format(printf, 1, 2)));
// Traces the line of a command that ends without doing anything (the data
// is already there) and makes it the command's outcome in the status line;
// returns 0.
int TamselNothingDone(const char* cLine);
// Adds a text found by the program itself to cErrMsg; returns -1.
int TamselFail(const char* cFormat, ...) __attribute__((format(printf, 1, 2)));
// Adds the library's text of `iStatus` and "(Instr: sesMobile)" to
// cErrMsg; returns -1.
int TamselLibFail(int iStatus);
// Error block of the commands that switch the phone: the phone is switched
// off once and disconnected (failures add their texts); returns -1.
int TamselSwitchErrorBlock();

// Runs a command's body on a commit event and shows its outcome and
// cErrMsg in the status line; other events give 0 at once.
int TamselRunCommand(int panel, int event, const char* cTitle, int (*body)(int panel));
