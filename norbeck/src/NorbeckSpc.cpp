// The service programming code: read it from the phone or the database,
// write or reset it, open the phone with it and lock the phone again.
#include "NorbeckPhone.h"

#include "pellin.h"
#include "tessel.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr int kLenSpc = TESSEL_SPC_LENGTH;
constexpr int kNvSecCode = 85;
constexpr const char* kDefaultSpc = "716843";
constexpr const char* kRelockSpc = "293746";  // a wrong code: the phone locks again
constexpr int kPingTimeOutSec = 30;

// Only six decimal digits are written or sent from the caller, the
// database or the default: a shorter text, "-1" or letters would leave the
// phone with a code nobody knows.
int checkSpcDigits(const char* cSPC, char* cErrMsg) {
    const char* code = cSPC ? cSPC : "";
    const std::size_t n = std::strlen(code);
    if (n != kLenSpc || !std::all_of(code, code + n, [](char c) { return c >= '0' && c <= '9'; }))
        return norbeck_Fail(cErrMsg, "cSPC [%s] is not %d decimal digits", norbeck_Printable(code).c_str(), kLenSpc);
    return 0;
}

// A database code is used by its first six characters.
std::string firstSix(const char* code) { return std::string(code).substr(0, kLenSpc); }

int readDatabaseCode(const char* cImei, std::string& code, char* cErrMsg) {
    char cSPCFromMero[PELLIN_SERVICE_CODE_SIZE] = "";
    if (pellin_GetServiceCode(cImei, cSPCFromMero, cErrMsg) != 0) return -1;
    code = firstSix(cSPCFromMero);
    return 0;
}

} // namespace

int norbeck_ReadSpcP(const char* cImei, char* cSPC, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_ReadSpcP(%s)...", cImei ? cImei : "");
        if (pellin_GetServiceCode(cImei, cSPC, cErrMsg) != 0) return norbeck_Failed(cErrMsg);
        norbeck_Trace("cSPCFromMero: %s", norbeck_Printable(cSPC).c_str());
        return 0;
    });
}

int norbeck_ReadSpc(int sesMobile, char* cSPC, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_ReadSpc(%d)...", sesMobile);
        if (!cSPC) return norbeck_Fail(cErrMsg, "cSPC NULL");
        if (norbeck_CheckLockStateOpen(sesMobile, cErrMsg)) return -1;
        unsigned char ucCode[kLenSpc] = {};
        unsigned short usiStatus = 0;
        if (int iStatus = _Tessel_DiagNvReadF(sesMobile, kNvSecCode, ucCode, kLenSpc, &usiStatus, NORBECK_POS))
            return norbeck_PhoneFailure(sesMobile, iStatus, cErrMsg);
        if (usiStatus != 0) return norbeck_Fail(cErrMsg, "usiStatus != 0 [%d]", usiStatus);
        std::memcpy(cSPC, ucCode, kLenSpc);
        cSPC[kLenSpc] = '\0';
        norbeck_Trace("cSPCFromMobile: %s", norbeck_Printable(cSPC).c_str());
        return 0;
    });
}

int norbeck_WriteSpc(int sesMobile, const char* cSPC, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_WriteSpc(%d)...", sesMobile);
        if (checkSpcDigits(cSPC, cErrMsg)) return -1;
        if (norbeck_CheckLockStateOpen(sesMobile, cErrMsg)) return -1;
        unsigned short usiStatus = 0;
        if (int iStatus = _Tessel_DiagNvWriteF(sesMobile, kNvSecCode, reinterpret_cast<const unsigned char*>(cSPC),
                                               kLenSpc, &usiStatus, NORBECK_POS))
            return norbeck_PhoneFailure(sesMobile, iStatus, cErrMsg);
        if (usiStatus != 0) return norbeck_Fail(cErrMsg, "usiStatus != 0 [%d]", usiStatus);
        char cSPCFromMobile[kLenSpc + 1] = "";
        if (norbeck_ReadSpc(sesMobile, cSPCFromMobile, cErrMsg)) return -1;
        if (std::strncmp(cSPC, cSPCFromMobile, kLenSpc) != 0)
            return norbeck_Fail(cErrMsg, "SPC not matching: cSPCLocal [%s] != cSPCFromMobile [%s]",
                                norbeck_Printable(cSPC).c_str(), norbeck_Printable(cSPCFromMobile).c_str());
        return 0;
    });
}

int norbeck_WriteSpcP(int sesMobile, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_WriteSpcP(%d)...", sesMobile);
        if (norbeck_CheckLockStateOpen(sesMobile, cErrMsg)) return -1;
        char cImei[TESSEL_IMEI_TEXT_MAX] = "";
        if (norbeck_ReadImei(sesMobile, cImei, cErrMsg)) return -1;
        if (norbeck_CheckForValidImei(cImei, cErrMsg)) return -1;
        std::string code;
        if (readDatabaseCode(cImei, code, cErrMsg)) return norbeck_Failed(cErrMsg);
        return norbeck_WriteSpc(sesMobile, code.c_str(), cErrMsg);
    });
}

int norbeck_ResetSpc(int sesMobile, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_ResetSpc(%d)...", sesMobile);
        if (norbeck_CheckLockStateOpen(sesMobile, cErrMsg)) return -1;
        return norbeck_WriteSpc(sesMobile, kDefaultSpc, cErrMsg);
    });
}

namespace {

// Sends a code and reads the lock state. bCheckDigits: the code must be six
// decimal digits; off only for the code the open phone itself holds.
int openSpc(int sesMobile, const char* cSPC, bool bCheckDigits, int* piIsOpen, char* cErrMsg) {
    norbeck_Trace("norbeck_OpenSpc(%d)...", sesMobile);
    if (!piIsOpen) return norbeck_Fail(cErrMsg, "piIsOpen NULL");
    *piIsOpen = 0;
    if (bCheckDigits && checkSpcDigits(cSPC, cErrMsg)) return -1;
    unsigned char iSPC_Result = 0;
    if (int iStatus = _Tessel_DiagSpcF(sesMobile, cSPC, &iSPC_Result, NORBECK_POS))
        return norbeck_PhoneFailure(sesMobile, iStatus, cErrMsg);
    if (iSPC_Result == 0) return norbeck_Fail(cErrMsg, "iSPC_Result == 0 [%d]", iSPC_Result);
    short bLockState = 0;
    unsigned char ucCyclesLeft = 0;
    if (norbeck_ReadLockState(sesMobile, &bLockState, &ucCyclesLeft, cErrMsg)) return -1;
    if (bLockState != 0) return norbeck_Fail(cErrMsg, "bLockState != 0 [%d]", bLockState);
    *piIsOpen = 1;
    norbeck_Trace("*piIsOpen    = %d", *piIsOpen);
    norbeck_Trace("ucCyclesLeft = %d", ucCyclesLeft);
    return 0;
}

} // namespace

int norbeck_OpenSpc(int sesMobile, const char* cSPC, int* piIsOpen, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] { return openSpc(sesMobile, cSPC, true, piIsOpen, cErrMsg); });
}

int norbeck_OpenSpcP(int sesMobile, int* piIsOpen, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_OpenSpcP(%d)...", sesMobile);
        if (!piIsOpen) return norbeck_Fail(cErrMsg, "piIsOpen NULL");
        *piIsOpen = 0;
        short bLockState = 0;
        unsigned char ucCyclesLeft = 0;
        if (norbeck_ReadLockState(sesMobile, &bLockState, &ucCyclesLeft, cErrMsg)) return -1;
        if (bLockState == 0) {
            char cSPCFromMobile[kLenSpc + 1] = "";
            if (norbeck_ReadSpc(sesMobile, cSPCFromMobile, cErrMsg)) return -1;
            // The phone's own code goes back as it is: it changes nothing in the phone.
            return openSpc(sesMobile, cSPCFromMobile, false, piIsOpen, cErrMsg);
        }
        char cImei[TESSEL_IMEI_TEXT_MAX] = "";
        if (_Tessel_NvReadImei(sesMobile, cImei, NORBECK_POS) != 0) {
            norbeck_Trace("ReadImei fails -> perhaps Imei not yet written [Fbg,KT fail before WImei]");
            norbeck_Trace("try: OpenSpc with Default");
            return norbeck_OpenSpc(sesMobile, kDefaultSpc, piIsOpen, cErrMsg);
        }
        if (norbeck_CheckForValidImei(cImei, cErrMsg)) return -1;
        // The database's answer and the first attempt's texts are never shown.
        char cLocalErrMsg[NORBECK_ERRTEXT_SIZE] = "";
        std::string code;
        const int iServiceCodeFromMeroAvailable = readDatabaseCode(cImei, code, cLocalErrMsg) == 0 ? 1 : 0;
        norbeck_Trace("iServiceCodeFromMeroAvailable: %d", iServiceCodeFromMeroAvailable);
        if (!iServiceCodeFromMeroAvailable) return norbeck_OpenSpc(sesMobile, kDefaultSpc, piIsOpen, cErrMsg);
        if (norbeck_OpenSpc(sesMobile, code.c_str(), piIsOpen, cLocalErrMsg) == 0 && *piIsOpen == 1) return 0;
        int iPingOk = 0;
        norbeck_WaitUntilPingOk(sesMobile, &iPingOk, kPingTimeOutSec, cErrMsg);
        if (!iPingOk) return norbeck_Fail(cErrMsg, "timeout for PingOk reached [%d]", kPingTimeOutSec);
        return norbeck_OpenSpc(sesMobile, kDefaultSpc, piIsOpen, cErrMsg);
    });
}

int norbeck_CloseSpc(int sesMobile, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        norbeck_Trace("norbeck_CloseSpc(%d)...", sesMobile);
        short bLockState = 0;
        unsigned char ucCyclesLeft = 0;
        if (norbeck_ReadLockState(sesMobile, &bLockState, &ucCyclesLeft, cErrMsg)) return -1;
        if (bLockState != 0) {
            norbeck_Trace("bLockState != 0 [%d] -> already closed, nothing to do just return", bLockState);
            return 0;
        }
        unsigned char iSPC_Result = 0;
        if (int iStatus = _Tessel_DiagSpcF(sesMobile, kRelockSpc, &iSPC_Result, NORBECK_POS))
            return norbeck_PhoneFailure(sesMobile, iStatus, cErrMsg);
        if (iSPC_Result != 0) return norbeck_Fail(cErrMsg, "iSPC_Result != 0 [%d]", iSPC_Result);
        int iPingOk = 0;
        norbeck_WaitUntilPingOk(sesMobile, &iPingOk, kPingTimeOutSec, cErrMsg);
        if (!iPingOk) return norbeck_Fail(cErrMsg, "timeout for PingOk reached [%d]", kPingTimeOutSec);
        return 0;
    });
}
