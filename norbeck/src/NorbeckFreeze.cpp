// The freeze: the flash serial number from the database becomes the phone's
// device serial number, then a public root key and the secure device info
// are written and the phone restarts in FTM mode. A phone counts as frozen
// only once its root key reads back as one of the stored keys.
#include "NorbeckPhone.h"
#include "NorbeckRootKeys.h"
#include "NorbeckSimData.h"

#include "cvi_util.h"
#include "tessel.h"

#include <functional>

namespace {

constexpr int kPuKTries = 3;
constexpr unsigned short kResetIntoFtm = 1;

// The IMEI check, then the serial number unless the phone has one.
// *pbFrozen tells that the phone was frozen before: its serial number reads
// and it holds one of the stored root keys. A phone with a serial number but
// no such key keeps its number and gets the rest of the freeze.
int writeDsnFromDatabase(int sesMobile, bool* pbFrozen, char* cErrMsg) {
    *pbFrozen = false;
    char cImei[TESSEL_IMEI_TEXT_MAX] = "";
    if (norbeck_ReadImei(sesMobile, cImei, cErrMsg)) return -1;
    if (norbeck_CheckForValidImei(cImei, cErrMsg)) return -1;
    unsigned char ucDsn[TESSEL_DSN_LENGTH] = {};
    if (_Tessel_NvReadDSN(sesMobile, ucDsn, NORBECK_POS) == 0) {
        if (norbeck_TypeOfRootKeyInPhone(sesMobile) != norbeck_ROOTKEY_OTHER) {
            norbeck_Trace("Tessel_NvReadDSN() was ok -> DSN already freezed -> nothing to do, just return");
            *pbFrozen = true;
            return 0;
        }
        norbeck_Trace("Tessel_NvReadDSN() was ok, but no known root key -> finish the freeze with this DSN");
        return 0;
    }
    norbeck_Trace("Tessel_NvReadDSN() returns with error -> DSN not freezed");
    unsigned char ucFsn[PELLIN_FSN_LENGTH] = {};
    int iLenFsn = PELLIN_FSN_LENGTH;
    if (pellin_GetFlashSerialNumber(ucFsn, &iLenFsn, cErrMsg) != 0) return norbeck_Failed(cErrMsg);
    if (iLenFsn != PELLIN_FSN_LENGTH)
        return norbeck_Fail(cErrMsg, "iLenFSN [%d] != %d", iLenFsn, PELLIN_FSN_LENGTH);
    if (int iStatus = _Tessel_NvWriteDSN(sesMobile, ucFsn, NORBECK_POS))
        return norbeck_PhoneFailure(sesMobile, iStatus, cErrMsg);
    return 0;
}

// The root key and the secure device info, each in iTries attempts. With
// one attempt a failure is a phone failure; with more, the step's text.
int writeRootKeyAndDeviceInfo(int sesMobile, const unsigned char* pucKey, int iTries, char* cErrMsg) {
    struct SecureStep {
        const char* cFailed;
        std::function<int()> call;
    };
    const SecureStep steps[] = {
        {"Tessel_GsdidiagRootKeyWriteCmd() failed",
         [&] { return _Tessel_GsdidiagRootKeyWriteCmd(sesMobile, NORBECK_LEN_ROOTKEY, pucKey, NORBECK_POS); }},
        {"Tessel_GsdidiagSecureDeviceInfoCmd() failed",
         [&] {
             return _Tessel_GsdidiagSecureDeviceInfoCmd(sesMobile, norbeck_LEN_APP_ID, norbeck_APP_ID, NORBECK_POS);
         }},
    };
    for (const SecureStep& step : steps) {
        const int iStatus = iTries == 1 ? step.call() : norbeck_Tries(iTries, step.call);
        if (iStatus == 0) continue;
        if (iTries == 1) return norbeck_PhoneFailure(sesMobile, iStatus, cErrMsg);
        return norbeck_Fail(cErrMsg, "%s", step.cFailed);
    }
    return 0;
}

// A second's wait, the reset into FTM mode and a look whether the phone answers.
int restartIntoFtm(int sesMobile, char* cErrMsg) {
    Delay(1.0);
    if (int iStatus = _Tessel_SpecialPhoneReset(sesMobile, kResetIntoFtm, NORBECK_POS))
        return norbeck_PhoneFailure(sesMobile, iStatus, cErrMsg);
    if (int iStatus = _Tessel_IsPhoneConnected(sesMobile, NORBECK_POS))
        return norbeck_PhoneFailure(sesMobile, iStatus, cErrMsg);
    return 0;
}

} // namespace

int norbeck_WriteFSN_Freeze(int sesMobile, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_WriteFSN_Freeze(%d)...", sesMobile);
        bool bFrozen = false;
        if (writeDsnFromDatabase(sesMobile, &bFrozen, cErrMsg)) return -1;
        if (bFrozen) return 0;
        const unsigned char* pucKey = nullptr;
        if (gl_iTypeOfRootKey == norbeck_ROOTKEY_FIELDTEST) {
            norbeck_Trace("gl_iTypeOfRootKey: %d -> FieldTestKey", gl_iTypeOfRootKey);
            pucKey = norbeck_FIELDTEST_ROOTKEY;
        } else if (gl_iTypeOfRootKey == norbeck_ROOTKEY_OFFICIAL) {
            norbeck_Trace("gl_iTypeOfRootKey: %d -> OfficialKey", gl_iTypeOfRootKey);
            pucKey = norbeck_OFFICIAL_ROOTKEY;
        } else {
            return norbeck_Fail(cErrMsg, "gl_iTypeOfRootKey = %d not in range", gl_iTypeOfRootKey);
        }
        if (writeRootKeyAndDeviceInfo(sesMobile, pucKey, 1, cErrMsg)) return -1;
        return restartIntoFtm(sesMobile, cErrMsg);
    });
}

int norbeck_WriteFSN_Freeze_PuK(int sesMobile, const unsigned char* pucPublicKey, int iLenPublicKey,
                                unsigned int uiCheckSumPublicKey, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_WriteFSN_Freeze_PuK(%d,iLenPublicKey:%d,uiCheckSumPublicKey: 0x%x)...", sesMobile,
                      iLenPublicKey, uiCheckSumPublicKey);
        // The key is checked before anything reaches the database or the
        // phone: a refused key leaves the phone as it was.
        norbeck_Trace("check LenPublicKey ...");
        if (iLenPublicKey != NORBECK_LEN_ROOTKEY || !pucPublicKey)
            return norbeck_Fail(cErrMsg, "iLenPublicKey [%d] != norbeck_LEN_ROOTKEY [%d]", iLenPublicKey,
                                NORBECK_LEN_ROOTKEY);
        norbeck_Trace("check CheckSum(PuK) ...");
        unsigned int uiCheckSumPublicKeyActual = 0;
        norbeck_ComputeCheckSum(pucPublicKey, iLenPublicKey, &uiCheckSumPublicKeyActual, cErrMsg);
        if (uiCheckSumPublicKeyActual != uiCheckSumPublicKey)
            return norbeck_Fail(cErrMsg, "uiCheckSumPublicKey [0x%x] != uiCheckSumPublicKeyActual [0x%x]",
                                uiCheckSumPublicKey, uiCheckSumPublicKeyActual);
        bool bFrozen = false;
        if (writeDsnFromDatabase(sesMobile, &bFrozen, cErrMsg)) return -1;
        if (bFrozen) return 0;
        if (writeRootKeyAndDeviceInfo(sesMobile, pucPublicKey, kPuKTries, cErrMsg)) return -1;
        return restartIntoFtm(sesMobile, cErrMsg);
    });
}
