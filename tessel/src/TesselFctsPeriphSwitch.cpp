// Switches of the phone's supplies and charger, the UART, fuel-gauge and
// audio-mute switches, the real-time clock and the charger limits. Most are
// one vendor or extension call chosen by a row of the switch table.
#include "TesselFctsPeriph.h"
#include "kavor.h"
#include "qmsl_ftm.h"
#include "qmsl_pmic.h"

#include <ctime>

using periph::hex;

namespace {

constexpr unsigned kSimSupplyMask = 0x00080000;
constexpr unsigned char kSimSupplyVreg = 19;
constexpr unsigned short kSimSupplyMv = 3000;
constexpr unsigned kBluetoothSupplyMask = 0x00008000;
constexpr int kBluetoothOffMs = 250;

// One switch: whether it takes a state (the call line shows it) and the
// calls it makes; `run` answers false when any of them failed.
struct SwitchRow {
    bool bHasState;
    bool (*run)(int iSession, QmslHandle h, bool bOn, const char* cFile, int iLine);
};

bool driveLevel(int iDevice, int iLevel, QmslHandle h) { return QLIB_FTM_SET_PMIC_DRIVE_LEVEL(h, iDevice, iLevel); }
bool chargerSwitch(unsigned char ucSwitch, QmslHandle h, bool bOn) {
    return QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE(h, ucSwitch, bOn ? 1 : 0);
}

// clang-format off
constexpr SwitchRow kLcd{true, [](int s, QmslHandle h, bool on, const char*, int) {
    const int iLevel = on ? 15 : 0;
    Tessel_TracePlain_m(s, " QLIB_FTM_SET_PMIC_DRIVE_LEVEL(0,%d)", iLevel);
    return driveLevel(0, iLevel, h);
}};
constexpr SwitchRow kVibra{true, [](int, QmslHandle h, bool on, const char*, int) { return driveLevel(2, on ? 31 : 0, h); }};
constexpr SwitchRow kSimSupply{true, [](int, QmslHandle h, bool on, const char*, int) {
    if (!on) return QLIB_FTM_PMIC_VREG_CONTROL(h, 0, kSimSupplyMask) != 0;
    const bool bControl = QLIB_FTM_PMIC_VREG_CONTROL(h, 1, kSimSupplyMask);
    const bool bLevel = QLIB_FTM_PMIC_VREG_SET_LEVEL(h, kSimSupplyVreg, kSimSupplyMv);  // made in any case
    return bControl && bLevel;
}};
constexpr SwitchRow kBluetoothCycle{false, [](int, QmslHandle h, bool, const char* f, int l) {
    const bool bOff = QLIB_FTM_PMIC_VREG_CONTROL(h, 0, kBluetoothSupplyMask);
    _Tessel_TraceDelay(kBluetoothOffMs, f, l);
    const bool bOn = QLIB_FTM_PMIC_VREG_CONTROL(h, 1, kBluetoothSupplyMask);
    return bOff && bOn;
}};
constexpr SwitchRow kChargeApp{true, [](int, QmslHandle h, bool on, const char*, int) { return chargerSwitch(7, h, on); }};
constexpr SwitchRow kVCollapse{true, [](int, QmslHandle h, bool on, const char*, int) { return chargerSwitch(3, h, on); }};
constexpr SwitchRow kUart{true, [](int, QmslHandle h, bool on, const char*, int) {
    return KAVOR_FTM_CONFIGURE_SWITCH(h, 0, on ? 0 : 1) != 0;  // the switch's state 1 is "UART off"
}};
constexpr SwitchRow kFuelGauge{false, [](int, QmslHandle h, bool, const char*, int) { return KAVOR_FTM_CONFIGURE_SWITCH(h, 2, 1) != 0; }};
constexpr SwitchRow kAudioMuting{true, [](int, QmslHandle h, bool on, const char*, int) {
    return KAVOR_FTM_CONFIGURE_SWITCH(h, 3, on ? 1 : 0) != 0;
}};
// clang-format on

int runSwitch(const SwitchRow& row, const char* cName, int iSession, unsigned short bState, const char* cFile,
              int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (row.bHasState)
        Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, bState=%d(%s) ) Sess=%d", cName, rec.hHandle, bState,
                      Get_cOnOff(bState), iSession);
    else
        Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d ) Sess=%d", cName, rec.hHandle, iSession);
    periph::Status status;
    if (rec.hHandle == -1) status.fail();
    else status.ok(row.run(iSession, rec.hHandle, bState != 0, cFile, iLine));
    Mob_TraceResult(iSession, status.get(), "%s( ) = %#x", cName, hex(status.get()));
    return status.get();
}

} // namespace

int _Tessel_SpecialSwitchLCD(int iSession, unsigned short bState, const char* cFile, int iLine) {
    return runSwitch(kLcd, __func__, iSession, bState, cFile, iLine);
}
int _Tessel_SpecialSwitchVibra(int iSession, unsigned short bState, const char* cFile, int iLine) {
    return runSwitch(kVibra, __func__, iSession, bState, cFile, iLine);
}
int _Tessel_SpecialSwitchSimSupply(int iSession, unsigned short bState, const char* cFile, int iLine) {
    return runSwitch(kSimSupply, __func__, iSession, bState, cFile, iLine);
}
int _Tessel_SpecialBluetoothPwrCycle(int iSession, const char* cFile, int iLine) {
    return runSwitch(kBluetoothCycle, __func__, iSession, 0, cFile, iLine);
}
int _Tessel_SpecialSetChargeAppState(int iSession, unsigned short bState, const char* cFile, int iLine) {
    return runSwitch(kChargeApp, __func__, iSession, bState, cFile, iLine);
}
int _Tessel_SpecialSetVCollapseProtectionState(int iSession, unsigned short bState, const char* cFile, int iLine) {
    return runSwitch(kVCollapse, __func__, iSession, bState, cFile, iLine);
}
int _Tessel_SpecialSwitchUart(int iSession, unsigned short bState, const char* cFile, int iLine) {
    return runSwitch(kUart, __func__, iSession, bState, cFile, iLine);
}
int _Tessel_SpecialSwitchFuelGauge(int iSession, const char* cFile, int iLine) {
    return runSwitch(kFuelGauge, __func__, iSession, 0, cFile, iLine);
}
int _Tessel_SpecialSetAudioMuting(int iSession, unsigned short bState, const char* cFile, int iLine) {
    return runSwitch(kAudioMuting, __func__, iSession, bState, cFile, iLine);
}

// Charger switch 0 (wall charger) or 1 (battery transistor); any other switch
// is an argument out of range and reaches no phone.
int _Tessel_SpecialSetChargeFetState(int iSession, int iSwitch, unsigned short bState, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iSwitch=%d, bState=%d(%s) ) Sess=%d", __func__,
                  rec.hHandle, iSwitch, bState, Get_cOnOff(bState), iSession);
    periph::Status status;
    if (iSwitch != 0 && iSwitch != 1) status.fail(TESSEL_ERROR_PARAMETER2);
    else if (rec.hHandle == -1) status.fail();
    else status.ok(chargerSwitch(static_cast<unsigned char>(iSwitch), rec.hHandle, bState != 0));
    Mob_TraceResult(iSession, status.get(), "%s( ) = %#x", __func__, hex(status.get()));
    return status.get();
}

// Only the battery transistor's state can be read, through its real-time
// interrupt status.
int _Tessel_SpecialGetChargeFetState(int iSession, int iSwitch, short* bState, const char* cFile, int iLine) {
    constexpr unsigned char kBatteryTransistorInterrupt = 11;
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!bState) return TESSEL_ERROR_PARAMETER2;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iSwitch=%d ) Sess=%d", __func__, rec.hHandle, iSwitch,
                  iSession);
    *bState = 0;
    unsigned char ucInterrupt = 0;
    periph::Status status;
    if (iSwitch != 1) status.fail(TESSEL_ERROR_PARAMETER2);
    else if (rec.hHandle == -1) status.fail();
    else if (status.ok(QLIB_FTM_PMIC_INT_GET_RT_STATUS(rec.hHandle, kBatteryTransistorInterrupt, &ucInterrupt)))
        *bState = ucInterrupt == 1 ? 1 : 0;
    Mob_TraceResult(iSession, status.get(), "%s( iInterruptStatus=%d, *bState=%d ) = %#x", __func__, ucInterrupt,
                    *bState, hex(status.get()));
    return status.get();
}

int _Tessel_SpecialSetRtcActualTime(int iSession, const char* cFile, int iLine) {
    constexpr unsigned char kTimeMode = 2;
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    unsigned char ucMode = kTimeMode;
    auto ucMonth = static_cast<unsigned char>(local.tm_mon + 1), ucDay = static_cast<unsigned char>(local.tm_mday);
    auto usYear = static_cast<unsigned short>(local.tm_year + 1900);
    auto ucHour = static_cast<unsigned char>(local.tm_hour), ucMinute = static_cast<unsigned char>(local.tm_min);
    auto ucSecond = static_cast<unsigned char>(local.tm_sec);
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d [%d.%d.%4d %02d:%02d:%02d]) Sess=%d", __func__, rec.hHandle,
                  ucDay, ucMonth, usYear, ucHour, ucMinute, ucSecond, iSession);
    periph::Status status;
    if (rec.hHandle == -1) status.fail();
    else
        status.ok(QLIB_FTM_PMIC_RTC_SET_GET_TIME(rec.hHandle, 0, &ucMode, &ucMonth, &ucDay, &usYear, &ucHour,
                                                 &ucMinute, &ucSecond));
    Mob_TraceResult(iSession, status.get(), "%s( ) = %#x", __func__, hex(status.get()));
    return status.get();
}

int _Tessel_SpecialSetPmicChargeLimits(int iSession, unsigned short iVoltage, unsigned short iCurrent,
                                       const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iVoltage=%d[mV], iCurrent=%d[mV/R] ) Sess=%d", __func__,
                  rec.hHandle, iVoltage, iCurrent, iSession);
    if (iVoltage < 4000 || iVoltage > 4375 || iCurrent < 10 || iCurrent > 300) {
        Mob_TraceResult(iSession, TESSEL_ERROR_PARAMETER2, "%s( Handle=%d ) Sess=%d : Parameter out of range.",
                        __func__, rec.hHandle, iSession);
        return TESSEL_ERROR_PARAMETER2;
    }
    const auto ucCurrentCode = static_cast<unsigned char>((iCurrent - 10) / 10);
    const auto ucVoltageCode = static_cast<unsigned char>((iVoltage - 4000) / 25);
    periph::Status status;
    if (rec.hHandle == -1) status.fail();
    else status.ok(QLIB_FTM_PMIC_CONFIG_WALL_CHGR_TRANSISTOR_LIMITS(rec.hHandle, ucCurrentCode, ucVoltageCode));
    Mob_TraceResult(iSession, status.get(), "%s( ) = %#x", __func__, hex(status.get()));
    return status.get();
}
