// The NV plan runner and the frame of the NV item operations.
#include "TesselFctsNv.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace nv {

namespace {

constexpr const char* kFamily = "TesselFctsNv";

// One step on the session; true when it succeeded with NV status 0 (and,
// for a read-back, the item held the expected bytes).
bool runStep(int iSession, const Step& step) {
    if (step.iLength < 0 || step.iLength > kMaxItemLength) return false;
    // Starts non-zero: a call that fails without setting it is no success.
    unsigned short usNvStatus = 0xFFFF;
    if (step.eOp == Step::Write) {
        if (static_cast<int>(step.vBytes.size()) != step.iLength) return false;
        return _Tessel_DiagNvWriteF(iSession, step.usItem, step.vBytes.data(), step.iLength, &usNvStatus, kFamily,
                                    __LINE__) == 0 &&
               usNvStatus == 0;
    }
    unsigned char aucData[kMaxItemLength] = {};
    if (_Tessel_DiagNvReadF(iSession, step.usItem, aucData, step.iLength, &usNvStatus, kFamily, __LINE__) != 0 ||
        usNvStatus != 0)
        return false;
    if (!step.vBytes.empty() &&
        (static_cast<int>(step.vBytes.size()) != step.iLength ||
         std::memcmp(step.vBytes.data(), aucData, step.vBytes.size()) != 0))
        return false;
    if (step.fnSink) step.fnSink(aucData);
    return true;
}

} // namespace

Step write(unsigned short usItem, std::vector<unsigned char> vBytes) {
    const int iLength = static_cast<int>(vBytes.size());
    return {Step::Write, usItem, iLength, std::move(vBytes), {}};
}
Step writeBytes(unsigned short usItem, const unsigned char* pBytes, int iLength) {
    return write(usItem, std::vector<unsigned char>(pBytes, pBytes + iLength));
}
Step writeI16(unsigned short usItem, short sValue) {
    const auto usValue = static_cast<unsigned short>(sValue);
    return write(usItem, {static_cast<unsigned char>(usValue & 0xFF), static_cast<unsigned char>(usValue >> 8)});
}
Step writeU8(unsigned short usItem, unsigned char ucValue) { return write(usItem, {ucValue}); }
Step read(unsigned short usItem, int iLength, std::function<void(const unsigned char*)> fnSink) {
    return {Step::Read, usItem, iLength, {}, std::move(fnSink)};
}
Step readInto(unsigned short usItem, int iLength, unsigned char* pDest) {
    return read(usItem, iLength, [=](const unsigned char* p) { std::memcpy(pDest, p, static_cast<std::size_t>(iLength)); });
}
Step readI16(unsigned short usItem, short* psDest) {
    return read(usItem, 2, [=](const unsigned char* p) { *psDest = static_cast<short>(p[0] | p[1] << 8); });
}
Step readBack(unsigned short usItem, std::vector<unsigned char> vExpected) {
    const int iLength = static_cast<int>(vExpected.size());
    return {Step::Read, usItem, iLength, std::move(vExpected), {}};
}

void addTable(std::vector<Step>& plan, unsigned short usItem, const unsigned char* pTable, int iLength) {
    if (pTable) plan.push_back(writeBytes(usItem, pTable, iLength));
}

int Call::run(const std::vector<Step>& plan, OnFailure eOnFailure) const {
    int iStatus = 0;
    for (const Step& step : plan) {
        if (runStep(iSession, step)) continue;
        iStatus = TESSEL_ERROR_LIBRARY;
        if (eOnFailure == OnFailure::Stop) break;
    }
    return iStatus;
}

std::string format(const char* cFormat, ...) {
    char cText[512];
    std::va_list args;
    va_start(args, cFormat);
    std::vsnprintf(cText, sizeof cText, cFormat, args);
    va_end(args);
    return cText;
}

int exportFrame(int iSession, const char* cName, const char* cFile, int iLine, bool bPointersOk,
                const std::string& cArgs, const Body& body, const Text& fnResult,
                const std::function<void()>& fnPrepare) {
    Call call{iSession, {}, cName};
    call.rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&call.rec)) return st;
    if (!bPointersOk) return TESSEL_ERROR_PARAMETER2;
    if (fnPrepare) fnPrepare();
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d%s%s ) Sess=%d", cName, call.rec.hHandle,
                  cArgs.empty() ? "" : ", ", cArgs.c_str(), iSession);
    int iStatus = TESSEL_ERROR_LIBRARY;
    if (call.rec.hHandle != -1) {
        try {
            iStatus = body(call);
        } catch (...) {
            iStatus = TESSEL_ERROR_LIBRARY;
        }
    }
    if (Mob_TraceOn_m()) {
        const std::string cResult = fnResult ? fnResult() : std::string();
        Mob_TraceResult(iSession, iStatus, "%s( %s%s) = %#x", cName, cResult.c_str(), cResult.empty() ? "" : " ",
                        static_cast<unsigned>(iStatus));
    }
    return iStatus;
}

} // namespace nv
