// The procedure object: step log, handle check, NV steps and the start of the
// text log.
#include "TestProcedures.h"

#include "InternalExports.h"
#include "ProcedureSteps.h"
#include "qmsl_diag.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace kavor {

namespace {
// Room of the message and of the wrapped line; longer messages are cut.
constexpr std::size_t kStepBufferSize = 12292;
}

TestProcedures::~TestProcedures() {
    if (box_.isOpen()) box_.close();
}

void TestProcedures::writeStep(int iKind, const char* pcFormat, va_list args) {
    char szMessage[kStepBufferSize];
    char szLine[kStepBufferSize];
    std::vsnprintf(szMessage, sizeof szMessage, pcFormat, args);
    const char* pcWrap = iKind == StepDone     ? "\t%s - Completed successfully\n"
                         : iKind == StepFailed ? "\t%s - Failure\n"
                                               : "\t%s";
    std::snprintf(szLine, sizeof szLine, pcWrap, szMessage);
    QLIB_AddUserMessageToTextLog(handle_, 2, szLine, 0);
}

bool TestProcedures::logStep(int iKind, const char* pcFormat, ...) {
    va_list args;
    va_start(args, pcFormat);
    writeStep(iKind, pcFormat, args);
    va_end(args);
    return true;
}

bool TestProcedures::logResult(bool bOk, const char* pcFormat, ...) {
    va_list args;
    va_start(args, pcFormat);
    writeStep(bOk ? StepDone : StepFailed, pcFormat, args);
    va_end(args);
    return bOk;
}

bool TestProcedures::checkHandle() {
    // The third answer decides; the first two let a slow link settle.
    QLIB_IsPhoneConnected(handle_);
    QLIB_IsPhoneConnected(handle_);
    if (QLIB_IsPhoneConnected(handle_)) return true;
    logStep(StepFailed, "Invalid handle");
    return false;
}

bool TestProcedures::nvWrite(unsigned short usItemId, const unsigned char* pItemData, int iLength) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    logStep(StepInfo, "\tQLIB_DIAG_NV_WRITE_F() start");
    unsigned short usNvStatus = 0;
    const bool bOk = QLIB_DIAG_NV_WRITE_F(handle_, usItemId, pItemData, iLength, &usNvStatus) != 0;
    if (!logResult(bOk, "QLIB_DIAG_NV_WRITE_F(iItemID = %d, pItemData = 0x%" PRIxPTR ", iLength = %i)", usItemId,
                   reinterpret_cast<std::uintptr_t>(pItemData), iLength))
        return false;
    if (usNvStatus != 0) {
        logStep(StepFailed, "QLIB_DIAG_NV_WRITE_F(iNvStatus = %i)", usNvStatus);
        return false;
    }
    return true;
}

bool TestProcedures::nvRead(unsigned short usItemId, unsigned char* pItemData, int iLength) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    logStep(StepInfo, "\tQLIB_DIAG_NV_READ_F() start");
    unsigned short usNvStatus = 0;
    if (!logResult(QLIB_DIAG_NV_READ_F(handle_, usItemId, pItemData, iLength, &usNvStatus) != 0, "QLIB_DIAG_NV_READ_F"))
        return false;
    if (usNvStatus != 0) {
        logStep(StepFailed, "QLIB_DIAG_NV_READ_F(iNvStatus = %i)", usNvStatus);
        return false;
    }
    return true;
}

bool TestProcedures::nvReadLogged(unsigned short usItemId, unsigned char* pItemData, int iLength) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    logStep(StepInfo, "\tQLIB_DIAG_NV_READ_F() start");
    const bool bOk = KAVOR_DIAG_NV_READ_F(handle_, usItemId, pItemData, iLength) != 0;
    // The item is shown as text, never past its length or its first zero.
    const std::string shown = shownBytes(pItemData, iLength > 0 ? static_cast<std::size_t>(iLength) : 0);
    return logResult(bOk, "KAVOR_DIAG_NV_READ_F(iItemID = %d, pItemData = %s, iLength = %i)", usItemId,
                     shown.c_str(), iLength);
}

bool TestProcedures::startLog(const char* pcLogFile) {
    char szVersion[52] = {};
    KAVOR_GetExtensionVersion(szVersion);
    QLIB_StartLogging(handle_, pcLogFile);
    QLIB_SetLogFlags(handle_, 2);
    logStep(StepInfo, "KAVOR DLL Version: %s", szVersion);
    return true;
}

} // namespace kavor
