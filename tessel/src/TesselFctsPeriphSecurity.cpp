// The fake-security NV items and the lock state of the service programming
// code.
#include "TesselFctsPeriph.h"
#include "qmsl_diag.h"

#include <cstdio>
#include <string>

using periph::hex;

namespace {

struct NvByte {
    unsigned short usItem;
    unsigned char ucValue;
};

// The items and the values that mean "fake security off".
constexpr NvByte kFakeSecurityOff[] = {{880, 0}, {881, 0}, {882, 1}};
// The values that switch it off.
constexpr NvByte kFakeSecurityDisable[] = {{880, 1}, {881, 1}, {882, 0}};

constexpr unsigned short kNvUnlockTries = 3252;
constexpr unsigned short kNvSecCode = 85;
constexpr int kSecCodeLength = 6;
constexpr unsigned short kNvNotActive = 5;

} // namespace

int _Tessel_SpecialCheckFakeSecurity(int iSession, unsigned short* bStatus, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!bStatus) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    *bStatus = 0;
    periph::Status status;
    if (rec.hHandle == -1) {
        status.fail();
    } else {
        Tessel_TracePlain_m(iSession, "[checking NV items...]");
        bool bAllOff = true;
        bool bRead = true;
        for (const NvByte& nv : kFakeSecurityOff) {
            unsigned char ucValue = 0xFF;  // a byte the phone did not give matches nothing
            unsigned short usNvStatus = 0;
            if (!QLIB_DIAG_NV_READ_F(rec.hHandle, nv.usItem, &ucValue, 1, &usNvStatus)) {
                status.fail();
                bRead = false;
                break;
            }
            if (usNvStatus != 0) {
                status.fail();
                bAllOff = false;  // not read: it cannot count as off
            } else if (ucValue != nv.ucValue) {
                bAllOff = false;
            }
        }
        if (bRead) {
            Tessel_TracePlain_m(iSession, "[all NV data read]");
            *bStatus = bAllOff ? 1 : 0;
        }
    }
    Mob_TraceResult(iSession, status.get(), "%s( *bStatus=%d(%s) ) = %#x", __func__, *bStatus,
                    *bStatus ? "OK" : "FAIL", hex(status.get()));
    return status.get();
}

int _Tessel_SpecialDisableFakeSecurity(int iSession, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    periph::Status status;
    if (rec.hHandle == -1) {
        status.fail();
    } else {
        Tessel_TracePlain_m(iSession, "[setting NV items...]");
        bool bWritten = true;
        for (const NvByte& nv : kFakeSecurityDisable) {
            unsigned short usNvStatus = 0;
            if (!QLIB_DIAG_NV_WRITE_F(rec.hHandle, nv.usItem, &nv.ucValue, 1, &usNvStatus)) {
                status.fail();
                bWritten = false;
                break;
            }
            if (usNvStatus != 0) status.fail();
        }
        if (bWritten) Tessel_TracePlain_m(iSession, "[all NV data written]");
    }
    Mob_TraceResult(iSession, status.get(), "%s( ) = %#x", __func__, hex(status.get()));
    return status.get();
}

// The unlock tries left decide: none left or the item not active mean
// locked; with tries left the service code must be readable (a locked phone
// refuses it as a failed call).
int _Tessel_SpecialGetLockState(int iSession, short* bLockState, unsigned char* iCyclesLeft, const char* cFile,
                                int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!bLockState || !iCyclesLeft) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    *bLockState = 0;
    *iCyclesLeft = 0;
    std::string text = "UNLOCK_TTL:";
    periph::Status status;
    unsigned char ucTries = 0;
    unsigned short usNvStatus = 0;
    if (rec.hHandle == -1 || !QLIB_DIAG_NV_READ_F(rec.hHandle, kNvUnlockTries, &ucTries, 1, &usNvStatus)) {
        status.fail();
        text += "E";
    } else if (usNvStatus == kNvNotActive) {
        *bLockState = 1;
        text += "NOTACTIVE";
    } else if (usNvStatus != 0) {
        status.fail();
        text += "EUNDEF";
    } else if (ucTries == 0) {
        *bLockState = 1;
        text += "=0";
    } else {
        char cTries[16];
        std::snprintf(cTries, sizeof cTries, "OK(%d):", ucTries);
        text += cTries;
        text += "SEC_CODE:";
        unsigned char ucCode[kSecCodeLength] = {};
        if (!QLIB_DIAG_NV_READ_F(rec.hHandle, kNvSecCode, ucCode, kSecCodeLength, &usNvStatus)) {
            *bLockState = 1;
            text += "E";
        } else if (usNvStatus != 0) {
            status.fail();
            text += "EUNDEF";
        } else {
            text += "OK";
            *iCyclesLeft = static_cast<unsigned char>(ucTries - 1);
        }
    }
    Tessel_TracePlain_m(iSession, "[%s]", text.c_str());
    Mob_TraceResult(iSession, status.get(), "%s( *bLockState=%d(%s), *iCyclesLeft=%d ) = %#x", __func__, *bLockState,
                    *bLockState ? "LOCKED" : "OPEN", *iCyclesLeft, hex(status.get()));
    return status.get();
}
