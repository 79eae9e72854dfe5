// Switches of single peripherals of the phone.
#include "TesselEnum.h"
#include "TesselFcts.h"
#include "qmsl_ftm.h"

namespace {

constexpr int kKeypadSink = 1;     // the power-management chip's keypad current sink
constexpr int kKeypadLevelOn = 15;

} // namespace

int _Tessel_SpecialSwitchKeypad(int iSession, unsigned short bState, const char* cFile, int iLine) {
    SessionRecord rec;
    rec.iSession = iSession;
    if (int st = GetInstrIDFromSession_m(&rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, bState=%d(%s) ) Sess=%d", __func__, rec.hHandle, bState,
                  Get_cOnOff(bState), iSession);
    int iStatus = 0;
    if (rec.hHandle == -1 || !QLIB_FTM_SET_PMIC_DRIVE_LEVEL(rec.hHandle, kKeypadSink, bState ? kKeypadLevelOn : 0))
        iStatus = TESSEL_ERROR_LIBRARY;
    Mob_TraceResult(iSession, iStatus, "%s( ) = %#x", __func__, static_cast<unsigned>(iStatus));
    return iStatus;
}
