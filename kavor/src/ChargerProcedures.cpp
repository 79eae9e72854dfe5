// Charger procedures: the charging test, the charger transistor switch and
// its state, and the wall charger's limits.
#include "ProcedureSteps.h"

#include "InternalExports.h"
#include "qmsl_pmic.h"

namespace kavor {

namespace {

constexpr unsigned char kLowPowerModeSilent = 3;  // the phone stops answering after it
constexpr unsigned char kChargerSwitch7 = 7;
constexpr unsigned char kChargerSwitch3 = 3;
constexpr unsigned char kStateTransistor = 1;   // the only transistor whose state is read
constexpr unsigned char kChargerInterrupt = 11;  // real-time status of that transistor

// The wall charger's limits and the steps of their codes.
struct Range {
    unsigned int iLowest, iHighest, iStep;
    unsigned char code(unsigned int v) const { return static_cast<unsigned char>((v - iLowest) / iStep); }
    bool holds(unsigned int v) const { return v >= iLowest && v <= iHighest; }
};
constexpr Range kVoltageMv{4000, 4375, 25};
constexpr Range kCurrentMa{10, 300, 10};

Step switchState(QmslHandle h, unsigned char iType, unsigned char iCommand) {
    return step("QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE",
                [=] { return QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE(h, iType, iCommand) != 0; },
                "QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE(iChargerSwitchType = %i, iChargerSwitchCommand = %c)", iType,
                iCommand);
}

} // namespace

bool TestProcedures::specialSetChargeFetState(unsigned char eChgTransistor, unsigned char bState) {
    if (eChgTransistor > 1) return false;
    if (!KAVOR_CheckHandle(handle_)) return false;
    return runStep(*this, switchState(handle_, eChgTransistor, bState));
}

bool TestProcedures::specialGetChargeFetState(unsigned char eChgTransistor, unsigned char* pbState) {
    if (eChgTransistor != kStateTransistor) return false;
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    unsigned char iStatus = 0;
    if (!runStep(*this, {"QLIB_FTM_PMIC_INT_GET_RT_STATUS",
                         [&] { return QLIB_FTM_PMIC_INT_GET_RT_STATUS(h, kChargerInterrupt, &iStatus) != 0; },
                         [&] {
                             return stepText("QLIB_FTM_PMIC_INT_GET_RT_STATUS(iInterruptStatusId = 11, "
                                             "piInterruptStatus = %c)",
                                             iStatus);
                         }}))
        return false;
    if (pbState) *pbState = iStatus == 1 ? 1 : 0;
    return true;
}

bool TestProcedures::specialSetPmicChargeLimits(unsigned int iVoltage, unsigned int iCurrent) {
    if (!kVoltageMv.holds(iVoltage) || !kCurrentMa.holds(iCurrent)) {
        logStep(StepFailed, "Parameter out of range.");
        return false;
    }
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    const unsigned char iCurrentCode = kCurrentMa.code(iCurrent);
    const unsigned char iVoltageCode = kVoltageMv.code(iVoltage);
    return runStep(*this, step("QLIB_FTM_PMIC_CONFIG_WALL_CHGR_TRANSISTOR_LIMITS",
                               [=] {
                                   return QLIB_FTM_PMIC_CONFIG_WALL_CHGR_TRANSISTOR_LIMITS(h, iCurrentCode,
                                                                                           iVoltageCode) != 0;
                               },
                               "QLIB_FTM_PMIC_CONFIG_WALL_CHGR_TRANSISTOR_LIMITS(iChargerMaxCurrent = %c, "
                               "iChargerMaxVoltage = %c)",
                               iCurrentCode, iVoltageCode));
}

bool TestProcedures::chargingTest(unsigned char iLowPowerMode, unsigned char iChgSwitch7Command,
                                  unsigned char eChgTransistor, unsigned char bState, unsigned char iChgSwitch3Command,
                                  unsigned int iVoltage, unsigned int iCurrent, unsigned char eChgTransistorRead,
                                  unsigned char* pbState) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    if (!runStep(*this, step("KAVOR_FTM_SET_LOW_POWER_MODE",
                             [=] { return KAVOR_FTM_SET_LOW_POWER_MODE(h, iLowPowerMode) != 0; },
                             "KAVOR_FTM_SET_LOW_POWER_MODE(iLowPowerMode = %c)", iLowPowerMode)))
        return false;
    if (iLowPowerMode == kLowPowerModeSilent) {
        // The test goes on all the same; the steps below then fail unanswered.
        logStep(StepFailed, "[!!! LPM3 -> PHONE HAS TO BE RESET NOW !!!]");
        logStep(StepFailed, "[!!! NO MORE COMMUNICATION POSSIBLE !!!]");
    }
    unsigned char bReadState = 0;
    const bool bOk = runSteps(
        *this,
        {switchState(h, kChargerSwitch7, iChgSwitch7Command),
         step("KAVOR_SpecialSetChargeFetState",
              [=] { return KAVOR_SpecialSetChargeFetState(h, eChgTransistor, bState) != 0; },
              "KAVOR_SpecialSetChargeFetState(eChgTransistor = %c, bState = %c)", eChgTransistor, bState),
         switchState(h, kChargerSwitch3, iChgSwitch3Command),
         step("KAVOR_SpecialSetPmicChargeLimits",
              [=] { return KAVOR_SpecialSetPmicChargeLimits(h, iVoltage, iCurrent) != 0; },
              "KAVOR_SpecialSetPmicChargeLimits(iVoltage = %d, iCurrent = %d)", iVoltage, iCurrent),
         {"KAVOR_SpecialGetChargeFetState",
          [&] { return KAVOR_SpecialGetChargeFetState(h, eChgTransistorRead, &bReadState) != 0; },
          [&] {
              return stepText("KAVOR_SpecialGetChargeFetState(eChgTransistor = %c, bState = %c)", eChgTransistorRead,
                              bReadState);
          }}});
    if (bOk && pbState) *pbState = bReadState;
    return bOk;
}

} // namespace kavor
