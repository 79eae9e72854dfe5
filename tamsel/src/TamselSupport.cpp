// Program-wide state and the helpers every command uses.
#include "Tamsel.h"

#include "cvi_panel.h"
#include "gorvid.h"
#include "quorl.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

int sesMobile = 0;
TracerSession sesTracer = 0;
int iErrStatus = 0;
char cErrMsg[TAMSEL_ERR_MSG_SIZE] = "";
char cTracerStr[TAMSEL_TRACER_STR_SIZE] = "";
int iComPort = 0;
unsigned char ucWriteKlfByte = 0;
int iWriteKlfByte = 0;
unsigned char ucVerifyKlfByte = 0;
bool bMobileConnected = false;

namespace {

// The line of a command that did nothing; empty while a command runs that
// has done its work.
char cNothingDone[TAMSEL_TRACER_STR_SIZE] = "";

// Appends to cErrMsg, separating texts with "; "; a text that does not fit
// is cut.
void appendErrMsg(const char* cText) {
    std::size_t used = std::strlen(cErrMsg);
    if (used != 0 && used + 2 < sizeof cErrMsg) {
        std::strcat(cErrMsg, "; ");
        used += 2;
    }
    std::snprintf(cErrMsg + used, sizeof cErrMsg - used, "%s", cText);
}

} // namespace

void TamselTrace(const char* cFormat, ...) {
    va_list args;
    va_start(args, cFormat);
    std::vsnprintf(cTracerStr, sizeof cTracerStr, cFormat, args);
    va_end(args);
    tracer_write(GorvidGet_SesTracer(), cTracerStr);
    quorl_write(static_cast<uint32_t>(GorvidGet_SesQuorl()), QUORL_KIND_TRACE, cTracerStr);
}

int TamselNothingDone(const char* cLine) {
    TamselTrace("%s", cLine);
    std::snprintf(cNothingDone, sizeof cNothingDone, "%s", cLine);
    return 0;
}

int TamselFail(const char* cFormat, ...) {
    char cText[TAMSEL_ERR_MSG_SIZE];
    va_list args;
    va_start(args, cFormat);
    std::vsnprintf(cText, sizeof cText, cFormat, args);
    va_end(args);
    appendErrMsg(cText);
    return -1;
}

int TamselLibFail(int iStatus) {
    char cText[TESSEL_ERROR_TEXT_MAX] = "";
    _Tessel_errorMessage(sesMobile, iStatus, cText);
    return TamselFail("%s(Instr: sesMobile)", cText);
}

int TamselSwitchErrorBlock() {
    if ((iErrStatus = _Tessel_SpecialPhoneOff(sesMobile, TAMSEL_AT)) != 0) TamselLibFail(iErrStatus);
    if ((iErrStatus = _Tessel_DisonnectServer(sesMobile, TAMSEL_AT)) != 0) TamselLibFail(iErrStatus);
    bMobileConnected = false;
    return -1;
}

int TamselRunCommand(int panel, int event, const char* cTitle, int (*body)(int panel)) {
    if (event != EVENT_COMMIT) return 0;
    cErrMsg[0] = '\0';
    cNothingDone[0] = '\0';
    const int iResult = body(panel);
    // A success that did nothing shows its own line, not "done".
    const char* cOutcome = iResult != 0 ? "FAILED" : cNothingDone[0] ? cNothingDone : "done";
    // The control cuts what it cannot hold.
    char cStatus[CVI_TEXT_CONTROL_SIZE + TAMSEL_TRACER_STR_SIZE + TAMSEL_ERR_MSG_SIZE];
    std::snprintf(cStatus, sizeof cStatus, "%s: %s%s%s", cTitle, cOutcome, cErrMsg[0] ? " - " : "", cErrMsg);
    SetCtrlVal(panel, TAMSEL_CTRL_STATUS, cStatus);
    return iResult;
}
