// The IrDA tests: the loop test of the phone's infrared port through an IrDA
// transceiver on a PC COM port, and the phone's IrDA high-current test.
#include "TesselFctsPeriph.h"
#include "TesselIrda.h"
#include "kavor.h"

using periph::hex;

namespace {

// The phone's IrDA transmit-receive test on (1) or off (0), with its trace
// lines; false when the phone refused.
bool switchPhoneTest(int iSession, const SessionRecord& rec, unsigned char ucSwitch) {
    Tessel_TracePlain_m(iSession, "[QLIB_FTM_TEST_IRDA_TX_RX(%d,0,0,0)]", ucSwitch);
    unsigned int uiResult1 = 0, uiResult2 = 0;
    if (KAVOR_FTM_TEST_IRDA_TX_RX(rec.hHandle, ucSwitch, 0, &uiResult1, &uiResult2)) return true;
    Tessel_TracePlain_m(iSession, "failed.");
    return false;
}

// A step's failure: the status, and its reason as a plain line (an empty
// line when a frame did not match or its echo timed out: the loop's own
// lines have told why).
void stepFailed(int iSession, periph::Status& status, const char* cErrText) {
    status.fail();
    Tessel_TracePlain_m(iSession, "%s", cErrText);
}

} // namespace

int _Tessel_SpecialIrdaTest(int iSession, unsigned char iIrdaPort, unsigned int iTestFrames, const char* cFile,
                            int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iIrdaPort=%d, iTestFrames=%d ) Sess=%d", __func__,
                  rec.hHandle, iIrdaPort, static_cast<int>(iTestFrames), iSession);
    periph::Status status;
    char cErrText[IRDA_ERROR_TEXT_MAX] = "";
    HANDLE hPort = nullptr;
    if (!L2_InitIrda(iIrdaPort, &hPort, cErrText)) {
        stepFailed(iSession, status, cErrText);
    } else {
        if (!switchPhoneTest(iSession, rec, 1)) status.fail();
        if (status.good() && !L2_TestIrda(iSession, hPort, iTestFrames, cErrText))
            stepFailed(iSession, status, cErrText);
        // The phone's test goes off and the port is released whatever failed.
        if (!switchPhoneTest(iSession, rec, 0)) status.fail();
        if (!L2_DeInitIrda(hPort, cErrText)) stepFailed(iSession, status, cErrText);
    }
    Mob_TraceResult(iSession, status.get(), "%s( ) = %#x", __func__, hex(status.get()));
    return status.get();
}

int _Tessel_FtmIrdaHighCurrentTest(int iSession, unsigned short iIrdaLength_ms, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iIrdaLength_ms=%d ) Sess=%d", __func__, rec.hHandle,
                  iIrdaLength_ms, iSession);
    periph::Status status;
    unsigned short usFtmStatus = 0;
    status.ok(rec.hHandle != -1 && KAVOR_FTM_IRDA_HIGH_CURRENT_TEST(rec.hHandle, &usFtmStatus, iIrdaLength_ms) == 1 &&
              usFtmStatus == 0);
    Mob_TraceResult(iSession, status.get(), "%s( iFTM_Status=%d ) = %#x", __func__, usFtmStatus, hex(status.get()));
    return status.get();
}
