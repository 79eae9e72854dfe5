// Switching the phone between FTM and online mode without the control-line
// box, the on-chip virtual SIM with the phone's clock set, and the clock.
#include "InternalExports.h"
#include "ProcedureSteps.h"
#include "ProcedureTiming.h"
#include "qmsl_diag.h"
#include "qmsl_diag_misc.h"
#include "qmsl_gsdi.h"
#include "qmsl_pmic.h"
#include "win_time.h"

#include "pclock.h"

#include <ctime>

namespace kavor {

namespace {

constexpr int kModeFtm = 3;
constexpr int kModeOnline = 4;
// The time-mode byte sent with the clock: 24-hour mode.
constexpr unsigned char kRtcTimeMode24Hour = 1;

// What distinguishes the two directions of the switch.
struct ModeSwitch {
    unsigned char ucFtmFlag; // NV 453: the mode the phone starts in after a reset
    int iMode;               // the mode command
    const char* pcModeLine;
    bool bWantFtm; // the FTM query's answer that needs no reset
};
constexpr ModeSwitch kToFtm{1, kModeFtm, "QLIB_DIAG_CONTROL_F(eMode = 3)", true};
constexpr ModeSwitch kToOnline{0, kModeOnline, "QLIB_DIAG_CONTROL_F(eMode = 4)", false};

bool switchMode(TestProcedures& p, const ModeSwitch& m) {
    const QmslHandle h = p.handle();
    if (!KAVOR_CheckHandle(h)) return false;
    unsigned char ucIsFtm = 0;
    const bool bOk = runSteps(
        p, {
               nvWriteStep(h, kNvFtmMode, &m.ucFtmFlag, 1),
               {"QLIB_DIAG_CONTROL_F", [&] { return QLIB_DIAG_CONTROL_F(h, m.iMode) != 0; }, fixedLine(m.pcModeLine)},
               {"QLIB_IsFTM_Mode", [&] { return QLIB_IsFTM_Mode(h, &ucIsFtm) != 0; },
                [&] { return stepText("QLIB_IsFTM_Mode(pbIsFTMMode = %i)", ucIsFtm); }},
           });
    if (!bOk) return false;
    if ((ucIsFtm != 0) == m.bWantFtm) return true;
    // The flag written above brings the phone up in the wanted mode; the
    // caller waits for it.
    return runStep(p, {"QLIB_DIAG_CONTROL_F", [&] { return QLIB_DIAG_CONTROL_F(h, kModeReset) != 0; },
                       fixedLine("QLIB_DIAG_CONTROL_F(eMode = 2)")});
}

// Virtual-SIM waits and polls.
constexpr DWORD kFtmSettleMs = 1000;
constexpr DWORD kRecoveryRestMs = 2000;
constexpr DWORD kRecoveryGapMs = 3000;
constexpr DWORD kOnlineRestMs = 3000;
constexpr int kConnectPolls = 20;
constexpr DWORD kConnectPollMs = 500;

// Polls up to 20 times, 500 ms apart, until the phone answers; the number of
// polls that found it silent.
int pollUntilConnected(QmslHandle h) {
    int iSilent = 0;
    for (int i = 0; i < kConnectPolls; ++i) {
        if (QLIB_IsPhoneConnected(h)) break;
        ++iSilent;
        if (i + 1 < kConnectPolls) Sleep(kConnectPollMs);
    }
    return iSilent;
}

bool inFtm(QmslHandle h) {
    unsigned char ucIsFtm = 0;
    return QLIB_IsFTM_Mode(h, &ucIsFtm) != 0 && ucIsFtm != 0;
}

} // namespace

bool TestProcedures::onlineToFtm() { return switchMode(*this, kToFtm); }

bool TestProcedures::ftmToOnline() { return switchMode(*this, kToOnline); }

bool TestProcedures::virtualSim(const char* pcSpc, unsigned char* piSPC_Result) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    // The SPC result goes back to the caller unexamined.
    if (!runSteps(*this, {
                             {"QLIB_DIAG_SPC_F", [&] { return QLIB_DIAG_SPC_F(h, pcSpc, piSPC_Result) != 0; },
                              [&] { return stepText("QLIB_DIAG_SPC_F(iSPC = %s)", shownBytes(pcSpc, 6).c_str()); }},
                             {"KAVOR_ONLINE_TO_FTM", [&] { return KAVOR_ONLINE_TO_FTM(h) != 0; },
                              fixedLine("KAVOR_ONLINE_TO_FTM()")},
                         }))
        return false;

    Sleep(kFtmSettleMs);
    int iSlowPolls = 0;
    if (!inFtm(h)) {
        // Recovery: offline and reset, quietly; the FTM flag is already set.
        QLIB_SetLogFlags(h, 0);
        QLIB_DIAG_CONTROL_F(h, kModeOffline);
        QLIB_DIAG_CONTROL_F(h, kModeReset);
        Sleep(kRecoveryRestMs);
        pollUntilConnected(h);
        Sleep(kRecoveryGapMs);
        iSlowPolls = pollUntilConnected(h);
        if (!inFtm(h)) {
            QLIB_SetLogFlags(h, 2);
            logStep(StepFailed, "Cannot switch to FTM mode");
            return false;
        }
    }
    QLIB_SetLogFlags(h, 2);

    // A clock that cannot be set does not stop the SIM activation.
    if (!runStep(*this, {"KAVOR_SpecialSetRtcActualTime", [&] { return KAVOR_SpecialSetRtcActualTime(h) != 0; },
                         fixedLine("KAVOR_SpecialSetRtcActualTime()")}))
        logStep(StepFailed, "Cannot set actual time");

    if (!runStep(*this, {"KAVOR_FTM_TO_ONLINE", [&] { return KAVOR_FTM_TO_ONLINE(h) != 0; },
                         fixedLine("KAVOR_FTM_TO_ONLINE()")}))
        return false;

    // A phone that was slow to come back after the recovery gets more time.
    Sleep(kOnlineRestMs);
    if (iSlowPolls > 0) Sleep(kOnlineRestMs);
    QLIB_SetLogFlags(h, 0);
    pollUntilConnected(h);
    QLIB_SetLogFlags(h, 2);

    return runStep(*this, {"KAVOR_SimSimulation", [&] { return KAVOR_SimSimulation(h) != 0; },
                           fixedLine("KAVOR_SimSimulation()")});
}

bool TestProcedures::simSimulation() {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const unsigned char ucSlot = 1;
    const unsigned char abAppId[16] = {};
    unsigned int uCommandStatus = 0;
    unsigned int uStatus = 0;
    const Step activate{"QLIB_GSDIDIAG_ACTIVATE_ONCHIP_SIM_CMD",
                        [&] {
                            return QLIB_GSDIDIAG_ACTIVATE_ONCHIP_SIM_CMD(handle_, ucSlot, sizeof abAppId, abAppId,
                                                                         &uCommandStatus, &uStatus) != 0;
                        },
                        [&] {
                            return stepText(
                                "QLIB_GSDIDIAG_ACTIVATE_ONCHIP_SIM_CMD(iSlotId = %c, iSIM_AppIdLen = %c, "
                                "piSIM_AppId = %s)",
                                ucSlot, static_cast<int>(sizeof abAppId), shownBytes(abAppId, sizeof abAppId).c_str());
                        }};
    if (!runStep(*this, activate)) return false;
    if (uStatus != 0) {
        logStep(StepFailed, "(_iStatus != 0)");
        return false;
    }
    if (uCommandStatus != 0) {
        logStep(StepFailed, "(_iCommandStatus != 0)");
        return false;
    }
    return true;
}

bool TestProcedures::specialSetRtcActualTime() {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const std::time_t now = static_cast<std::time_t>(pclock::utc_now_s());
    std::tm utc{};
    gmtime_r(&now, &utc);
    unsigned char ucTimeMode = kRtcTimeMode24Hour;
    unsigned char ucMonth = static_cast<unsigned char>(utc.tm_mon + 1);
    unsigned char ucDay = static_cast<unsigned char>(utc.tm_mday);
    unsigned short usYear = static_cast<unsigned short>(utc.tm_year + 1900);
    unsigned char ucHour = static_cast<unsigned char>(utc.tm_hour);
    unsigned char ucMinute = static_cast<unsigned char>(utc.tm_min);
    unsigned char ucSecond = static_cast<unsigned char>(utc.tm_sec);
    return runStep(*this, {"QLIB_FTM_PMIC_RTC_SET_GET_TIME",
                           [&] {
                               return QLIB_FTM_PMIC_RTC_SET_GET_TIME(handle_, 0, &ucTimeMode, &ucMonth, &ucDay, &usYear,
                                                                     &ucHour, &ucMinute, &ucSecond) != 0;
                           },
                           [&] {
                               return stepText(
                                   "QLIB_FTM_PMIC_RTC_SET_GET_TIME(iReadWrite = 0, iTimeMode = %c, "
                                   "iMonth = %c, iDay = %c, iYear = %c, iHour = %c, iMinute = %c, "
                                   "iSecond = %c)",
                                   ucTimeMode, ucMonth, ucDay, usYear, ucHour, ucMinute, ucSecond);
                           }});
}

} // namespace kavor
