// The assisted-GPS receiver's self test.
#include "TesselFctsPeriphOps.h"
#include "qmsl_agps.h"

using periph::hex;

int _Tessel_FtmAgpsSelfTest(int iSession, unsigned short* pbPassFail, const char* cFile, int iLine) {
    constexpr unsigned char kFailBits = 0x07;  // any of these set in the result: the test failed
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!pbPassFail) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", __func__, rec.hHandle, iSession);
    *pbPassFail = 0;
    unsigned char ucResult = 255;
    periph::Status status;
    if (rec.hHandle == -1) status.fail();
    else status.ok(QLIB_FTM_AGPS_SELF_TEST(rec.hHandle, &ucResult));
    *pbPassFail = (ucResult & kFailBits) == 0 ? 1 : 0;
    Mob_TraceResult(iSession, status.get(), "%s( _ucResult=%d, *pbPassFail=%d(%s) ) = %#x", __func__, ucResult,
                    *pbPassFail, *pbPassFail ? "PASS" : "FAIL", hex(status.get()));
    return status.get();
}
