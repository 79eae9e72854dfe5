// The lock-state gate, the IMEI check and the wait until the phone answers.
#include "NorbeckPhone.h"

#include "cvi_util.h"
#include "tessel.h"
#include "win_time.h"

#include <cstring>

int norbeck_ReadLockState(int sesMobile, short* pbLockState, unsigned char* pucCyclesLeft, char* cErrMsg) {
    if (int iStatus = _Tessel_SpecialGetLockState(sesMobile, pbLockState, pucCyclesLeft, NORBECK_POS))
        return norbeck_PhoneFailure(sesMobile, iStatus, cErrMsg);
    return 0;
}

int norbeck_CheckLockStateOpen(int sesMobile, char* cErrMsg) {
    short bLockState = 0;
    unsigned char ucCyclesLeft = 0;
    if (norbeck_ReadLockState(sesMobile, &bLockState, &ucCyclesLeft, cErrMsg)) return -1;
    if (bLockState != 0) return norbeck_Fail(cErrMsg, "bLockState != 0 [%d]", bLockState);
    return 0;
}

int norbeck_ReadImei(int sesMobile, char* cImei, char* cErrMsg) {
    if (int iStatus = _Tessel_NvReadImei(sesMobile, cImei, NORBECK_POS))
        return norbeck_PhoneFailure(sesMobile, iStatus, cErrMsg);
    return 0;
}

int norbeck_CheckForValidImei(const char* cImei, char* cErrMsg) {
    const char* imei = cImei ? cImei : "";
    norbeck_Trace("norbeck_CheckForValidImei(%s)...", imei);
    const int iLenImei = static_cast<int>(std::strlen(imei));
    if (iLenImei != norbeck_LEN_IMEI) return norbeck_Fail(cErrMsg, "cImei: %s not %d char's", imei, norbeck_LEN_IMEI);
    norbeck_Trace("iLenImei = %d -> ok", iLenImei);
    if (std::strcmp(imei, norbeck_DUMMY_IMEI) == 0)
        return norbeck_Fail(cErrMsg, "cImei: %s is DummyImei [%s]", imei, norbeck_DUMMY_IMEI);
    norbeck_Trace("%s != %s [DummyImei] -> ok", imei, norbeck_DUMMY_IMEI);
    return 0;
}

int norbeck_WaitUntilPingOk(int sesMobile, int* piPingOk, int iTimeOutSec, char* cErrMsg) {
    norbeck_Trace("norbeck_WaitUntilPingOk(iTimeOutSec: %d) ...", iTimeOutSec);
    *piPingOk = 0;
    const double dStart = Timer();
    Sleep(2000);
    for (;;) {
        if (_Tessel_IsPhoneConnected(sesMobile, NORBECK_POS) == 0) {
            *piPingOk = 1;
            break;
        }
        if (!(iTimeOutSec > Timer() - dStart)) break;
        Sleep(500);
    }
    norbeck_Trace("dElapsedTime: %7.3f  *piPingOk: %d", Timer() - dStart, *piPingOk);
    return 0;
}
