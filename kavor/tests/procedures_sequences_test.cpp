// The fixed sequences of the audio, transmitter, Bluetooth, charger, build
// and flash procedures: the calls in order, their step lines, and where the
// procedure stops when each step fails in turn.
#include "procedure_calls_support.h"
#include "qmsl_audio_sim.h"
#include "qmsl_pmic_sim.h"

#include <functional>

namespace {

using callstest::SequenceTest;

struct SeqStep {
    const char* call;       // the call as the phone saw it
    std::string line;       // the procedure's own line that reports it
    std::string failLine;   // that line when the call fails, if it reads otherwise
};

struct SequenceCase {
    const char* name;
    std::function<void(qmsl_sim::Phone&)> setup;
    std::function<unsigned char(QmslHandle)> run;
    std::vector<SeqStep> steps;
};
void PrintTo(const SequenceCase& c, std::ostream* os) { *os << c.name; }

const std::string kMicBias15 = "KAVOR_MicrophoneBiasVoltages(iAudioDevice = 15)";

void noSetup(qmsl_sim::Phone&) {}

unsigned char pcmBuffer[6];
unsigned short fmId, fmTune;
unsigned char fmInfo;
unsigned int moduleVersion;
unsigned short btStatus;
unsigned char btParams[3];
char verno[5][KAVOR_VERNO_TEXT_MAX];
unsigned char vernoBytes[7];
unsigned short firmRev;
unsigned int msmVersion, mobileModel, flashId;
char revision[KAVOR_BUILD_ID_TEXT_MAX], modelText[KAVOR_BUILD_ID_TEXT_MAX];
char btText[KAVOR_BT_ADDRESS_TEXT_MAX];
unsigned char chargeState;

const SequenceCase kSequences[] = {
    {"AudioTest", noSetup, [](QmslHandle h) { return KAVOR_AudioTest(h, 15, 1); },
     {{"QLIB_FTM_AUDIO_SET_PATH(15)", kMicBias15},
      {"QLIB_SendSync 1136", kMicBias15},
      {"QLIB_FTM_AUDIO_PCM_LOOPBACK(1)", "QLIB_FTM_AUDIO_PCM_LOOPBACK(bLoopbackOn = \x01)"}}},
    {"TestSpeaker", noSetup, [](QmslHandle h) { return KAVOR_TestSpeaker(h, 15, 5, 1209, 697); },
     {{"QLIB_FTM_AUDIO_SET_PATH(15)", kMicBias15},
      {"QLIB_SendSync 1136", kMicBias15},
      {"QLIB_FTM_AUDIO_SET_VOLUME(5)", "QLIB_FTM_AUDIO_SET_VOLUME(iVolume = \x05)"},
      {"QLIB_FTM_AUDIO_TONES_PLAY(1209,697,0)", "QLIB_FTM_AUDIO_TONES_PLAY(iHiFreq = 1209, iLoFreq = 697, iMethod = 0)"},
      {"QLIB_FTM_AUDIO_TONES_STOP()", "QLIB_FTM_AUDIO_TONES_STOP()"}}},
    {"TestMicrophone", [](qmsl_sim::Phone& p) { qmsl_sim::audio(p).pcm = {'-', '-', '-', '-', 'P', 'C', 'M', 'D', 'A', 'T'}; },
     [](QmslHandle h) {
         static const unsigned char item[3] = {'n', 'v', 'x'};
         std::fill(std::begin(pcmBuffer), std::end(pcmBuffer), 'Q');
         return KAVOR_TestMicrophone(h, 2, 4, 6, pcmBuffer, 1234, item, 3, -5);
     },
     {{"QLIB_FTM_AUDIO_PCM_CAPTURE(2,1000)", "QLIB_FTM_AUDIO_PCM_CAPTURE(iNumBuffers = 2, iDelay_ms = 1000)"},
      {"QLIB_FTM_AUDIO_GET_PCM_CAPTURE_DATA(4,6)",
       "QLIB_FTM_AUDIO_GET_PCM_CAPTURE_DATA(iDataOffset = 4, iDataSize = 6, pBuffer = PCMDAT)",
       "QLIB_FTM_AUDIO_GET_PCM_CAPTURE_DATA(iDataOffset = 4, iDataSize = 6, pBuffer = QQQQQQ)"},
      {"QLIB_FTM_AUDIO_PCM_STOP_CAPTURE()", "QLIB_FTM_AUDIO_PCM_STOP_CAPTURE()"},
      {"QLIB_DIAG_NV_WRITE_F(1234,3)[6E 76 78]", "KAVOR_DIAG_NV_WRITE_F(iItemID = 1234, pItemData = nvx, iLength = 3)"},
      {"QLIB_FTM_AUDIO_SET_CODECTXGAIN_ADJUST(-5)", "QLIB_FTM_AUDIO_SET_CODECTXGAIN_ADJUST(iCodecTxGainAdjust = -5)"}}},
    {"FmRadioTest", noSetup, [](QmslHandle h) { return KAVOR_FM_RadioTest(h, 15, &fmId, 1017, &fmTune, &fmInfo); },
     {{"QLIB_FTM_AUDIO_SET_PATH(15)", kMicBias15},
      {"QLIB_SendSync 1136", kMicBias15},
      {"QLIB_SendSync 22", "KAVOR_FTM_GET_FM_RADIO_ID()"},
      {"QLIB_SendSync 28", "KAVOR_FTM_TUNE_FM_RADIO(iChannel = 1017)"},
      {"QLIB_SendSync 15", "KAVOR_SpecialGetFmRadioInfo(eFmData = 0)"},
      {"QLIB_SendSync 15", "KAVOR_SpecialGetFmRadioInfo(eFmData = 2)"}}},
    {"GsmPaOutputPower", noSetup, [](QmslHandle h) { return KAVOR_GSM_PA_OutputPower(h, 1, 62, 2, 3, 4, 10, 1, 600); },
     {{"QLIB_FTM_SET_MODE(1)", "QLIB_FTM_SET_MODE(eNewMode = 1)"},
      {"QLIB_FTM_SET_CHAN(62)", "QLIB_FTM_SET_CHAN(iChannel = 62)"},
      {"QLIB_FTM_SET_TX_ON()", "QLIB_FTM_SET_TX_ON()"},
      {"QLIB_FTM_SET_TRANSMIT_BURST(2,3,4,10,1)",
       "QLIB_FTM_SET_TRANSMIT_BURST(iSlotNum = \x02, iDataSource = 3, iTSCindex = \x04,\t iNumBursts = 10, "
       "bIsInfiniteDuration = \x01)"},
      {"QLIB_FTM_SET_PA_DAC_INPUT(600)", "QLIB_FTM_SET_PA_DAC_INPUT(iDACinput = 600)"},
      {"QLIB_FTM_SET_TX_OFF()", "QLIB_FTM_SET_TX_OFF()"}}},
    {"SetTxPowerOn", noSetup, [](QmslHandle h) { return KAVOR_Set_TX_PowerOn(h, 1, 62, 7, 2, 3, 4, 10, 1); },
     {{"QLIB_FTM_SET_MODE(1)", "QLIB_FTM_SET_MODE(eNewMode = 1)"},
      {"QLIB_FTM_SET_CHAN(62)", "QLIB_FTM_SET_CHAN(iChannel = 62)"},
      {"QLIB_FTM_SET_TX_POWER_LEVEL(7)", "QLIB_FTM_SET_TX_POWER_LEVEL(iPowerLevelID = \x07)"},
      {"QLIB_FTM_SET_TRANSMIT_BURST(2,3,4,10,1)",
       "QLIB_FTM_SET_TRANSMIT_BURST(iSlotNum = \x02, iDataSource = 3, iTSCindex = \x04, iNumBursts = 10, "
       "bIsInfiniteDuration = \x01)"},
      {"QLIB_FTM_SET_TX_ON()", "QLIB_FTM_SET_TX_ON()"}}},
    {"WcdmaPaOutputPower", noSetup, [](QmslHandle h) { return KAVOR_WCDMA_PA_OutputPower(h, 9, 9750, 2, 1, 3, 400); },
     {{"QLIB_FTM_SET_MODE(9)", "QLIB_FTM_SET_MODE(eNewMode = 9)"},
      {"QLIB_FTM_SET_TX_OFF()", "QLIB_FTM_SET_TX_OFF()"},
      {"QLIB_FTM_SET_CHAN(9750)", "QLIB_FTM_SET_CHAN(iChannel = 9750)"},
      {"QLIB_FTM_SET_PA_RANGE(2)", "QLIB_FTM_SET_PA_RANGE(iPArange = 2)"},
      {"QLIB_FTM_CDMA_CW_WAVEFORM(1)", "QLIB_FTM_CDMA_CW_WAVEFORM(bSelectCW = \x01)"},
      {"QLIB_FTM_SET_PDM(3,400)", "QLIB_FTM_SET_PDM(iPDMtype = 3, iPDMvalue = 400)"},
      {"QLIB_FTM_SET_TX_ON()", "QLIB_FTM_SET_TX_ON()"}}},
    {"AfcDeviation", noSetup, [](QmslHandle h) { return KAVOR_AFC_Deviation(h, 9, 9750, 2, 1, 3, 400); },
     {{"QLIB_FTM_SET_MODE(9)", "QLIB_FTM_SET_MODE(eNewMode = 9)"},
      {"QLIB_FTM_SET_CHAN(9750)", "QLIB_FTM_SET_CHAN(iChannel = 9750)"},
      {"QLIB_FTM_SET_TX_ON()", "QLIB_FTM_SET_TX_ON()"},
      {"QLIB_FTM_SET_PA_RANGE(2)", "QLIB_FTM_SET_PA_RANGE(iPArange = 2)"},
      {"QLIB_FTM_CDMA_CW_WAVEFORM(1)", "QLIB_FTM_CDMA_CW_WAVEFORM(bSelectCW = \x01)"},
      {"QLIB_FTM_SET_PDM(3,400)", "QLIB_FTM_SET_PDM(iPDMtype = 3, iPDMvalue = 400)"},
      {"QLIB_FTM_SET_TX_OFF()", "QLIB_FTM_SET_TX_OFF()"}}},
    {"SetCWPowerBluetooth", noSetup, [](QmslHandle h) { return KAVOR_SetCWPowerBluetooth(h, 39); },
     {{"QLIB_FTM_BT_SetCW(39)", "QLIB_FTM_BT_SetCW(iChannel = ')"},
      {"QLIB_FTM_BT_HCI_USER_CMD(3)[01 03 0C]", "QLIB_FTM_BT_HCI_USER_CMD(pBuffer = \x01\x03\x0C, iLength = \x03)"}}},
    {"BluetoothTestConnect", [](qmsl_sim::Phone& p) { p.set_nv(447, {1, 2, 3, 4, 5, 6}); },
     [](QmslHandle h) { return KAVOR_BluetoothTestConnect(h, btText); },
     {{"QLIB_DIAG_NV_READ_F(447,6)", "KAVOR_DIAG_NV_READ_F(iItemID = 447, pItemData = \x01\x02\x03\x04\x05\x06, iLength = 6)",
       "KAVOR_DIAG_NV_READ_F(iItemID = 447, pItemData = , iLength = 6)"},
      {"QLIB_FTM_BT_SetAddr(6)[01 02 03 04 05 06]", "KAVOR_FtmBtSetAddr(szAddr = 060504030201)"},
      {"QLIB_FTM_BT_Enable_Bluetooth()", "QLIB_FTM_BT_Enable_Bluetooth()"},
      {"QLIB_FTM_BT_HCI_USER_CMD(5)[01 1A 0C 01 00]",
       "QLIB_FTM_BT_HCI_USER_CMD(pBuffer = \x01\x1A\x0C\x01, iLength = \x05)"}}},
    {"BluetoothHwId", noSetup,
     [](QmslHandle h) { return KAVOR_Bluetooth_HW_ID(h, &moduleVersion, &btStatus, &btParams[0], &btParams[1], &btParams[2]); },
     {{"QLIB_BT_GetModuleVersion()", "QLIB_BT_GetModuleVersion()"}, {"QLIB_SendSync 36", "KAVOR_FTM_GET_BT_PARAM()"}}},
    {"ChargingTest", [](qmsl_sim::Phone& p) { qmsl_sim::pmic(p).rt_status[11] = 1; },
     [](QmslHandle h) { return KAVOR_Charging_Test(h, 1, 1, 1, 1, 2, 4100, 100, 1, &chargeState); },
     {{"QLIB_SendSync 19", "KAVOR_FTM_SET_LOW_POWER_MODE(iLowPowerMode = \x01)"},
      {"QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE(7,1)",
       "QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE(iChargerSwitchType = 7, iChargerSwitchCommand = \x01)"},
      {"QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE(1,1)", "KAVOR_SpecialSetChargeFetState(eChgTransistor = \x01, bState = \x01)"},
      {"QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE(3,2)",
       "QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE(iChargerSwitchType = 3, iChargerSwitchCommand = \x02)"},
      {"QLIB_FTM_PMIC_CONFIG_WALL_CHGR_TRANSISTOR_LIMITS(9,4)",
       "KAVOR_SpecialSetPmicChargeLimits(iVoltage = 4100, iCurrent = 100)"},
      // A zero byte through %c ends the line there.
      {"QLIB_FTM_PMIC_INT_GET_RT_STATUS(11)", "KAVOR_SpecialGetChargeFetState(eChgTransistor = \x01, bState = \x01)",
       "KAVOR_SpecialGetChargeFetState(eChgTransistor = \x01, bState = "}}},
    {"CheckSWBuild", noSetup,
     [](QmslHandle h) {
         return KAVOR_CheckSWBuild(h, verno[0], verno[1], verno[2], verno[3], verno[4], &vernoBytes[0], &vernoBytes[1],
                                   &vernoBytes[2], &firmRev, &vernoBytes[3], &vernoBytes[4], &vernoBytes[5],
                                   &msmVersion, &mobileModel, revision, modelText);
     },
     {{"QLIB_DIAG_VERNO_F()", "QLIB_DIAG_VERNO_F()"}, {"QLIB_DIAG_EXT_BUILD_ID_F()", "QLIB_DIAG_EXT_BUILD_ID_F()"}}},
    {"FlashTest", noSetup, [](QmslHandle h) { return KAVOR_FlashTest(h, &flashId); },
     {{"QLIB_EFS2_DIAG_DEV_INFO()", "QLIB_EFS2_DIAG_DEV_INFO()"}}},
};

std::string fnOf(const std::string& call) { return call.substr(0, call.find_first_of("( ")); }
std::string done(const std::string& line) { return "\t" + line + " - Completed successfully\n"; }
std::string failed(const std::string& line) { return "\t" + line + " - Failure\n"; }

class Sequence : public SequenceTest, public ::testing::WithParamInterface<SequenceCase> {};

TEST_P(Sequence, MakesItsCallsInOrderWithTheirLines) {
    const SequenceCase& c = GetParam();
    c.setup(phone());
    phone().clear_journal();
    EXPECT_EQ(c.run(h), 1);

    std::vector<std::string> want;
    for (const SeqStep& s : c.steps) want.push_back(s.call);
    EXPECT_EQ(calls(), want);

    // Each step line as done, after its start line, in the steps' order (a
    // nested procedure reports its calls in one line).
    const auto lines = log();
    auto at = lines.begin();
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
        const SeqStep& s = c.steps[i];
        if (i > 0 && c.steps[i - 1].line == s.line) continue;
        const std::string start = "\t\t" + fnOf(s.line) + "() start";
        auto startAt = std::find(at, lines.end(), start);
        ASSERT_NE(startAt, lines.end()) << start;
        auto found = std::find(startAt, lines.end(), done(s.line));
        ASSERT_NE(found, lines.end()) << s.line;
        at = found;
    }
}

TEST_P(Sequence, StopsAtEachFailedStepWithItsFailureLine) {
    const SequenceCase& c = GetParam();
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
        const SeqStep& s = c.steps[i];
        SCOPED_TRACE(s.call);
        restart();
        c.setup(phone());
        const std::string fn = fnOf(s.call);
        int before = 0;
        for (std::size_t j = 0; j < i; ++j) before += fnOf(c.steps[j].call) == fn;
        failCall(fn, before);
        phone().clear_journal();

        EXPECT_EQ(c.run(h), 0);
        std::vector<std::string> want;
        for (std::size_t j = 0; j <= i; ++j) want.push_back(c.steps[j].call);
        EXPECT_EQ(calls(), want);
        ASSERT_FALSE(log().empty());
        EXPECT_EQ(log().back(), failed(s.failLine.empty() ? s.line : s.failLine));
    }
}

TEST_P(Sequence, UnknownHandleSendsNothing) {
    phone().clear_journal();
    EXPECT_EQ(GetParam().run(h + 100), 0);
    EXPECT_TRUE(phone().journal.empty());
    EXPECT_TRUE(phone().text_log.empty());
}

TEST_P(Sequence, SilentPhoneFailsTheHandleCheck) {
    phone().set_power(qmsl_sim::Power::Off);
    phone().clear_journal();
    EXPECT_EQ(GetParam().run(h), 0);
    EXPECT_TRUE(calls().empty());
    EXPECT_EQ(log().front(), "\tInvalid handle - Failure\n");
}

INSTANTIATE_TEST_SUITE_P(Procedures, Sequence, ::testing::ValuesIn(kSequences),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
