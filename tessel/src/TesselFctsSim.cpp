// The SIM-side commands on slot 1. Each succeeds only when the call answers
// true and both the status and the command status it reports are 0.
#include "TesselFcts.h"
#include "qmsl_gsdi.h"

#include <cstdio>
#include <functional>
#include <string>

namespace {

constexpr unsigned char kSlot = 1;
// The application id of the on-chip SIM and the root key: 16 zero bytes.
constexpr unsigned char kZeroAppId[16] = {};
constexpr unsigned char kZeroAppIdLen = sizeof kZeroAppId;

using SimCall = std::function<unsigned char(QmslHandle, unsigned int* piCommandStatus, unsigned int* piStatus)>;

// bArgsOk: the caller's pointers and lengths are usable (else TESSEL_ERROR_PARAMETER2).
int runSim(int iSession, const char* cName, const char* cFile, int iLine, bool bArgsOk, const std::string& sArgs,
           const SimCall& call) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    if (!bArgsOk) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d%s ) Sess=%d", cName, rec.hHandle, sArgs.c_str(), iSession);
    unsigned int uiCommandStatus = 0, uiStatus = 0;
    const int iQlib = rec.hHandle == -1 ? 0 : call(rec.hHandle, &uiCommandStatus, &uiStatus);
    const int iResult = (iQlib == 1 && uiStatus == 0 && uiCommandStatus == 0) ? 0 : TESSEL_ERROR_LIBRARY;
    Mob_TraceResult(iSession, iResult, "%s( _iQlibStatus=%d, _iStatus=%d, _iCommandStatus=%d ) = %#x", cName, iQlib,
                    static_cast<int>(uiStatus), static_cast<int>(uiCommandStatus), static_cast<unsigned>(iResult));
    return iResult;
}

// The lengths the call line shows after the handle.
std::string lengths(const char* cFirst, int iFirst, const char* cSecond = nullptr, int iSecond = 0) {
    char cText[96];
    if (cSecond) std::snprintf(cText, sizeof cText, ", %s=%d, %s=%d", cFirst, iFirst, cSecond, iSecond);
    else std::snprintf(cText, sizeof cText, ", %s=%d", cFirst, iFirst);
    return cText;
}

} // namespace

int _Tessel_SimSimulation(int iSession, const char* cFile, int iLine) {
    return runSim(iSession, __func__, cFile, iLine, true, "", [](QmslHandle h, unsigned int* c, unsigned int* s) {
        return QLIB_GSDIDIAG_ACTIVATE_ONCHIP_SIM_CMD(h, kSlot, kZeroAppIdLen, kZeroAppId, c, s);
    });
}

int _Tessel_GsdidiagSimSecureStoreCmd(int iSession, int iAppIdLen, const unsigned char* pAppId, int iDataLen,
                                      const unsigned char* pData, const char* cFile, int iLine) {
    const bool bOk = !(!pAppId || !pData || iAppIdLen < 0 || iDataLen < 0);
    return runSim(iSession, __func__, cFile, iLine, bOk, lengths("iAppIdLen", iAppIdLen, "iDataLen", iDataLen),
                  [&](QmslHandle h, unsigned int* c, unsigned int* s) {
                      return QLIB_GSDIDIAG_SIM_SECURE_STORE_CMD(h, kSlot, static_cast<unsigned char>(iAppIdLen), pAppId,
                                                                static_cast<unsigned short>(iDataLen), pData, c, s);
                  });
}

int _Tessel_GsdidiagSimSecureReadCmd(int iSession, int iAppIdLen, const unsigned char* pAppId,
                                     unsigned short* piDataLen, unsigned char* pData, const char* cFile, int iLine) {
    const bool bOk = !(!pAppId || !piDataLen || !pData || iAppIdLen < 0);
    return runSim(iSession, __func__, cFile, iLine, bOk, lengths("iAppIdLen", iAppIdLen, "iDataLen", bOk ? *piDataLen : 0),
                  [&](QmslHandle h, unsigned int* c, unsigned int* s) {
                      return QLIB_GSDIDIAG_SIM_SECURE_READ_CMD(h, kSlot, static_cast<unsigned char>(iAppIdLen), pAppId,
                                                               piDataLen, pData, c, s);
                  });
}

int _Tessel_GsdidiagSecureDeviceInfoCmd(int iSession, int iAppIdLen, const unsigned char* pAppId, const char* cFile,
                                        int iLine) {
    const bool bOk = !(!pAppId || iAppIdLen < 0);
    return runSim(iSession, __func__, cFile, iLine, bOk, lengths("iAppIdLen", iAppIdLen),
                  [&](QmslHandle h, unsigned int* c, unsigned int* s) {
                      return QLIB_GSDIDIAG_SECURE_DEVICE_INFO_CMD(h, kSlot, static_cast<unsigned char>(iAppIdLen),
                                                                  pAppId, c, s);
                  });
}

int _Tessel_GsdidiagRootKeyWriteCmd(int iSession, int iKeyLen, const unsigned char* pKey, const char* cFile,
                                    int iLine) {
    const bool bOk = !(!pKey || iKeyLen < 0);
    return runSim(iSession, __func__, cFile, iLine, bOk, lengths("iKeyLen", iKeyLen),
                  [&](QmslHandle h, unsigned int* c, unsigned int* s) {
                      return QLIB_GSDIDIAG_ROOT_KEY_WRITE_CMD(h, kSlot, kZeroAppIdLen, kZeroAppId,
                                                              static_cast<unsigned short>(iKeyLen), pKey, c, s);
                  });
}

int _Tessel_GsdidiagRootKeyReadCmd(int iSession, unsigned short* piKeyLen, unsigned char* pKey, const char* cFile,
                                   int iLine) {
    const bool bOk = !(!piKeyLen || !pKey);
    return runSim(iSession, __func__, cFile, iLine, bOk, "", [&](QmslHandle h, unsigned int* c, unsigned int* s) {
        return QLIB_GSDIDIAG_ROOT_KEY_READ_CMD(h, kSlot, kZeroAppIdLen, kZeroAppId, piKeyLen, pKey, c, s);
    });
}
