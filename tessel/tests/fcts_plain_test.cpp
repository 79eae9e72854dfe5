// The plain operations, one row each: the call that reaches the phone with
// its (narrowed) arguments, the outputs given back, the call and result
// lines, TESSEL_ERROR_LIBRARY on a false answer and on a session that is not
// connected (no call made then).
#include "TesselEnum.h"
#include "TesselFctsFixture.h"

#include <cstring>
#include <functional>
#include <memory>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Storage for the outputs of one case.
struct Outs {
    unsigned char b1 = 0xEE, b2 = 0xEE, b9[9] = {};
    unsigned short w1 = 0xEEEE, w2 = 0xEEEE, w3 = 0xEEEE, w4 = 0xEEEE;
    short s1 = 0x7EEE;
    unsigned int u1 = 0xEEEE, u2 = 0xEEEE;
    int i[7] = {};
    unsigned short hdet[TESSEL_TX_SWEEP_HDET_MAX] = {};
    char t1[TESSEL_BUILD_TEXT_MAX] = {}, t2[TESSEL_BUILD_TEXT_MAX] = {};
    TESSEL_ErrorLog log{};
    unsigned short lin[TESSEL_GSM_TX_LINEARIZER_VALUES] = {};
    unsigned char data[16] = {};
};

struct PlainCase {
    std::string name;
    std::function<int(int, Outs&)> invoke;
    std::string call;     // the vendor function, or "" for an extension-FTM command
    std::vector<long long> args;  // vendor: its journaled arguments; extension: {group, id}
    Bytes bytes;          // vendor: input bytes journaled; extension: the request data's first bytes
    std::string callArgs; // what the call line shows after the handle
    std::string results;  // what the result line shows in its brackets ("" = "()")
    std::function<void(qmsl_sim::Phone&)> answer = {};  // the phone's outputs
};
void PrintTo(const PlainCase& c, std::ostream* os) { *os << c.name; }

const char* const F = "plain.c";
constexpr int L = 42;
constexpr long long kExt = 0x8000;

void outputs(const std::string& fn, std::vector<qmsl_sim::OutValue> v) {
    qmsl_sim::phone(3).set_outputs(fn, std::move(v));
}
void extBody(std::uint16_t id, Bytes body) { qmsl_sim::ext_ftm(qmsl_sim::phone(3)).bodies[{0x8000, id}] = std::move(body); }

std::string exportName(const PlainCase& c) { return "_Tessel_" + c.name; }

class Plain : public TesselFcts, public ::testing::WithParamInterface<PlainCase> {
protected:
    bool isExtension() const { return GetParam().call.empty(); }
    std::string callFn() const { return isExtension() ? "QLIB_SendSync" : GetParam().call; }
};

TEST_P(Plain, ReachesThePhoneAndTracesBothLines) {
    const PlainCase& c = GetParam();
    const int s = connected();
    if (c.answer) c.answer(phone());
    Outs o;
    EXPECT_EQ(c.invoke(s, o), 0);

    ASSERT_NO_FATAL_FAILURE(expectReached(s, c.call, c.args, c.bytes));
    const std::string handle = "Handle=" + std::to_string(handleOf(s));
    const Lines l = lines();
    ASSERT_GE(l.size(), 2u);
    EXPECT_EQ(l.front(), "(3C)    " + exportName(c) + "( " + handle + c.callArgs + " ) Sess=1 in File \"plain.c\" Line 42");
    const std::string result = c.results.empty() ? "()" : "( " + c.results + " )";
    EXPECT_EQ(l.back(), "(3A)    " + exportName(c) + result + " = 0 (SUCCESS) ");
}

TEST_P(Plain, FalseAnswerIsALibraryError) {
    const PlainCase& c = GetParam();
    const int s = connected();
    phone().inject(callFn(), qmsl_sim::Fault{});
    Outs o;
    EXPECT_EQ(c.invoke(s, o), kLib);
    EXPECT_NE(lines().back().find(" = 0xbffc19f7 (ERROR)"), std::string::npos) << lines().back();
}

TEST_P(Plain, UnconnectedSessionMakesNoCall) {
    const PlainCase& c = GetParam();
    const int s = openSession();
    tracer_test::clear_lines();
    Outs o;
    EXPECT_EQ(c.invoke(s, o), kLib);
    EXPECT_EQ(phone().count(callFn()), 0u);
    EXPECT_TRUE(hasLine(exportName(c) + "( Handle=-1"));
}

TEST_P(Plain, InvalidSessionIsRefusedUntraced) {
    Outs o;
    EXPECT_EQ(GetParam().invoke(13, o), TESSEL_ERROR_SESSION_INVALID);
    EXPECT_TRUE(lines().empty());
}

const std::vector<long long> none;

INSTANTIATE_TEST_SUITE_P(
    Table, Plain,
    ::testing::Values(
        PlainCase{"AbortSwDownloadOperation", [](int s, Outs&) { return _Tessel_AbortSwDownloadOperation(s, F, L); },
                  "QLIB_AbortSW_DownloadOperation", none, {}, "", ""},
        PlainCase{"DiagHsKeyF", [](int s, Outs&) { return _Tessel_DiagHsKeyF(s, 50, 0x101, F, L); }, "QLIB_DIAG_HS_KEY_F",
                  {50, 1}, {}, ", iKey=50, iHold=1", ""},
        PlainCase{"FtmSetMode", [](int s, Outs&) { return _Tessel_FtmSetMode(s, 1, F, L); }, "QLIB_FTM_SET_MODE", {1}, {},
                  std::string(", eNewMode=1(") + Get_cRfMode(1) + ")", ""},
        PlainCase{"FtmSetPdm", [](int s, Outs&) { return _Tessel_FtmSetPdm(s, 2, 300, F, L); }, "QLIB_FTM_SET_PDM",
                  {2, 300}, {}, ", iPDMType=2, iPDMValue=300", ""},
        PlainCase{"FtmSetPdmSigned", [](int s, Outs&) { return _Tessel_FtmSetPdmSigned(s, 2, -300, F, L); },
                  "QLIB_FTM_SET_PDM_signed", {2, -300}, {}, ", iPDMType=2, iPDMValue=-300", ""},
        PlainCase{"FtmSetTxOn", [](int s, Outs&) { return _Tessel_FtmSetTxOn(s, F, L); }, "QLIB_FTM_SET_TX_ON", none, {}, "", ""},
        PlainCase{"FtmSetTxOff", [](int s, Outs&) { return _Tessel_FtmSetTxOff(s, F, L); }, "QLIB_FTM_SET_TX_OFF", none, {}, "", ""},
        PlainCase{"FtmSetLnaRange", [](int s, Outs&) { return _Tessel_FtmSetLnaRange(s, 2, F, L); }, "QLIB_FTM_SET_LNA_RANGE",
                  {2}, {}, std::string(", iLNARange=2(") + Get_cLnaRange(2) + ")", ""},
        PlainCase{"FtmSetChan", [](int s, Outs&) { return _Tessel_FtmSetChan(s, 9612, F, L); }, "QLIB_FTM_SET_CHAN", {9612},
                  {}, ", iChannel=9612", ""},
        PlainCase{"FtmGetAdcVal", [](int s, Outs& o) { return _Tessel_FtmGetAdcVal(s, 0x10005, &o.w1, F, L); },
                  "QLIB_FTM_GET_ADC_VAL", {5}, {}, ", iADC_type=5", "*piADC_Value=812",
                  [](qmsl_sim::Phone&) { outputs("QLIB_FTM_GET_ADC_VAL", {812}); }},
        PlainCase{"FtmGetRxAgc", [](int s, Outs& o) { return _Tessel_FtmGetRxAgc(s, &o.s1, F, L); }, "QLIB_FTM_GET_RX_AGC",
                  none, {}, "", "*piRX_AGC=-77", [](qmsl_sim::Phone&) { outputs("QLIB_FTM_GET_RX_AGC", {-77}); }},
        PlainCase{"FtmGetSynthState", [](int s, Outs& o) { return _Tessel_FtmGetSynthState(s, &o.b1, F, L); },
                  "QLIB_FTM_GET_SYNTH_STATE", none, {}, "", "*pbLockState=1",
                  [](qmsl_sim::Phone&) { outputs("QLIB_FTM_GET_SYNTH_STATE", {1}); }},
        PlainCase{"FtmCdmaCwWaveform", [](int s, Outs&) { return _Tessel_FtmCdmaCwWaveform(s, 1, F, L); },
                  "QLIB_FTM_CDMA_CW_WAVEFORM", {1}, {}, ", bSelectCW=1", ""},
        PlainCase{"FtmSetLnaOffset", [](int s, Outs&) { return _Tessel_FtmSetLnaOffset(s, 1, -20, F, L); },
                  "QLIB_FTM_SET_LNA_OFFSET", {1, -20}, {}, ", iLNAindex=1, iLNAoffset=-20", ""},
        PlainCase{"FtmSetPaRange", [](int s, Outs&) { return _Tessel_FtmSetPaRange(s, 3, F, L); }, "QLIB_FTM_SET_PA_RANGE",
                  {3}, {}, std::string(", iPArange=3(") + Get_cPaRange(3) + ")", ""},
        PlainCase{"FtmGetCdmaIm2",
                  [](int s, Outs& o) { return _Tessel_FtmGetCdmaIm2(s, &o.b1, &o.b2, &o.w1, F, L); },
                  "QLIB_FTM_GET_CDMA_IM2", none, {}, "", "*piI_Value=4, *piQ_Value=5, *piTransConductance_Value=600",
                  [](qmsl_sim::Phone&) { outputs("QLIB_FTM_GET_CDMA_IM2", {4, 5, 600}); }},
        PlainCase{"FtmSetDvgaOffset", [](int s, Outs&) { return _Tessel_FtmSetDvgaOffset(s, -5, F, L); },
                  "QLIB_FTM_SET_DVGA_OFFSET", {-5}, {}, ", iDVGAoffset=-5", ""},
        PlainCase{"FtmTxSweepCal", [](int s, Outs&) { return _Tessel_FtmTxSweepCal(s, 1, F, L); }, "QLIB_FTM_TX_SWEEP_CAL",
                  {1}, {}, ", bOnOff=1", ""},
        PlainCase{"FtmGetDvgaOffset", [](int s, Outs& o) { return _Tessel_FtmGetDvgaOffset(s, -60, &o.s1, F, L); },
                  "QLIB_FTM_GET_DVGA_OFFSET", {-60}, {}, ", iExpectedRX_AGC=-60", "*piDVGAoffset=-3",
                  [](qmsl_sim::Phone&) { outputs("QLIB_FTM_GET_DVGA_OFFSET", {-3}); }},
        PlainCase{"FtmGetLnaOffset", [](int s, Outs& o) { return _Tessel_FtmGetLnaOffset(s, 2, -60, &o.s1, F, L); },
                  "QLIB_FTM_GET_LNA_OFFSET", {2, -60}, {}, ", iLNAindex=2, iExpectedRX_AGC=-60", "*piLNAoffsetValue=21",
                  [](qmsl_sim::Phone&) { outputs("QLIB_FTM_GET_LNA_OFFSET", {21}); }},
        PlainCase{"FtmGetHdetFromTxSweepCal",
                  [](int s, Outs& o) { return _Tessel_FtmGetHdetFromTxSweepCal(s, 7, &o.w1, F, L); },
                  "QLIB_FTM_GET_HDET_FROM_TX_SWEEP_CAL", {7}, {}, ", iIndex=7", "*piHDETvalue=170",
                  [](qmsl_sim::Phone&) { outputs("QLIB_FTM_GET_HDET_FROM_TX_SWEEP_CAL", {170}); }},
        PlainCase{"FtmSetHdetTracking", [](int s, Outs&) { return _Tessel_FtmSetHdetTracking(s, 1, 99, F, L); },
                  "QLIB_FTM_SET_HDET_TRACKING", {1, 99}, {}, ", iOnOff=1, iHDETvalue=99", ""},
        PlainCase{"FtmConfigureTxSweepCal", [](int s, Outs&) { return _Tessel_FtmConfigureTxSweepCal(s, 20, 4, F, L); },
                  "QLIB_FTM_CONFIGURE_TX_SWEEP_CAL", {20, 4}, {}, ", iTimeInterval=20, iNumofHDETReadingsPerStep=4", ""},
        PlainCase{"FtmGetAllHdetFromTxSweepCal",
                  [](int s, Outs& o) {
                      const int st = _Tessel_FtmGetAllHdetFromTxSweepCal(s, o.hdet, F, L);
                      return st == 0 && (o.hdet[0] != 0x0201 || o.hdet[1] != 0x0403) ? -1 : st;
                  },
                  "QLIB_FTM_GET_ALL_HDET_FROM_TX_SWEEP_CAL", none, {}, "", "",
                  [](qmsl_sim::Phone&) { outputs("QLIB_FTM_GET_ALL_HDET_FROM_TX_SWEEP_CAL", {Bytes{1, 2, 3, 4}}); }},
        PlainCase{"FtmSetFlashLightLevel", [](int s, Outs&) { return _Tessel_FtmSetFlashLightLevel(s, 0x10203, F, L); },
                  "", {kExt, 150}, {0x03, 0x02}, ", iLevel=515", ""},
        PlainCase{"FtmSetPaProfile",
                  [](int s, Outs&) {
                      static const unsigned short ramp[2] = {0x0102, 0x0304}, pa[1] = {0x0506};
                      return _Tessel_FtmSetPaProfile(s, ramp, pa, 0x102, 1, F, L);
                  },
                  "QLIB_FTM_SET_PA_PROFILE", {4, 2, 2, 1}, {0x02, 0x01, 0x04, 0x03, 0x06, 0x05},
                  ", iRampSize=2, iPaLookupTableSize=1", ""},
        PlainCase{"FtmSetTransmitCont", [](int s, Outs&) { return _Tessel_FtmSetTransmitCont(s, 1, 2, 3, 4, 0, F, L); },
                  "QLIB_FTM_SET_TRANSMIT_CONT", {1, 2, 3, 4, 0}, {},
                  std::string(", iSlotNum=1, iDataSource=2(") + Get_cDataSrc(2) + "), iTSCindex=3, iNumBursts=4, bIsInfiniteDuration=0", ""},
        PlainCase{"FtmSetTransmitBurst", [](int s, Outs&) { return _Tessel_FtmSetTransmitBurst(s, 1, 2, 3, 4, 1, F, L); },
                  "QLIB_FTM_SET_TRANSMIT_BURST", {1, 2, 3, 4, 1}, {},
                  std::string(", iSlotNum=1, iDataSource=2(") + Get_cDataSrc(2) + "), iTSCindex=3, iNumBursts=4, bIsInfiniteDuration=1", ""},
        PlainCase{"FtmSetRxBurst", [](int s, Outs&) { return _Tessel_FtmSetRxBurst(s, 2, 1, F, L); }, "QLIB_FTM_SET_RX_BURST",
                  {2, 1}, {}, std::string(", iSlotNum=2, iRxFunction=1(") + Get_cRxFn(1) + ")", ""},
        PlainCase{"FtmSetRxContinuous", [](int s, Outs&) { return _Tessel_FtmSetRxContinuous(s, 2, 0, F, L); },
                  "QLIB_FTM_SET_RX_CONTINUOUS", {2, 0}, {}, std::string(", iSlotNum=2, iRxFunction=0(") + Get_cRxFn(0) + ")", ""},
        PlainCase{"FtmSetTxPowerLevel", [](int s, Outs&) { return _Tessel_FtmSetTxPowerLevel(s, 15, F, L); },
                  "QLIB_FTM_SET_TX_POWER_LEVEL", {15}, {}, ", iPowerLevelID=15", ""},
        PlainCase{"FtmGetRssi", [](int s, Outs& o) { return _Tessel_FtmGetRssi(s, &o.w1, F, L); }, "QLIB_FTM_GET_RSSI", none,
                  {}, "", "*piRssiValue=1234", [](qmsl_sim::Phone&) { outputs("QLIB_FTM_GET_RSSI", {1234}); }},
        PlainCase{"FtmSetPaDacInput", [](int s, Outs&) { return _Tessel_FtmSetPaDacInput(s, 400, F, L); },
                  "QLIB_FTM_SET_PA_DAC_INPUT", {400}, {}, ", iDACinput=400", ""},
        PlainCase{"FtmSetTxCalSweep", [](int s, Outs&) { return _Tessel_FtmSetTxCalSweep(s, 100, 500, 10, F, L); },
                  "QLIB_FTM_SET_TX_CAL_SWEEP", {100, 500, 10}, {}, ", iDAC_Start=100, iDAC_Stop=500, iDAC_Step=10", ""},
        PlainCase{"FtmWriteGsmTxLinearizer",
                  [](int s, Outs& o) {
                      o.lin[0] = 0x0A0B;
                      return _Tessel_FtmWriteGsmTxLinearizer(s, 0x102, o.lin, F, L);
                  },
                  "", {kExt, 26}, {0x02, 0x0B, 0x0A}, " iGSM_Band=2", ""},
        PlainCase{"FtmGetHardwareVersion", [](int s, Outs& o) { return _Tessel_FtmGetHardwareVersion(s, &o.u1, F, L); }, "",
                  {kExt, 10}, {}, "", "*piJTAG_ID_Code=67305985",
                  [](qmsl_sim::Phone&) { extBody(10, {0, 0, 1, 2, 3, 4}); }},
        PlainCase{"FtmGetFuelGaugeVersion", [](int s, Outs& o) { return _Tessel_FtmGetFuelGaugeVersion(s, &o.b1, F, L); },
                  "", {kExt, 13}, {}, "", "*piVersionNumber=9", [](qmsl_sim::Phone&) { extBody(13, {0, 0, 9}); }},
        PlainCase{"FtmSimReadImsi", [](int s, Outs& o) { return _Tessel_FtmSimReadImsi(s, o.b9, F, L); }, "", {kExt, 17}, {},
                  "", "*piIMSI_number=010203040506070809",
                  [](qmsl_sim::Phone&) { extBody(17, {0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}); }},
        PlainCase{"FtmMmcFileAccess",
                  [](int s, Outs& o) { return _Tessel_FtmMmcFileAccess(s, 1, 2, "/a.bin", o.data, F, L); }, "",
                  {kExt, 18}, {1, 2, 0, 0, 0, '/', 'a'}, ", iAccessType=1, iMMC_DataLength=2, sFileName=/a.bin", ""},
        PlainCase{"FtmTestIrdaTxRx",
                  [](int s, Outs& o) { return _Tessel_FtmTestIrdaTxRx(s, 1, 1000, &o.u1, &o.u2, F, L); }, "", {0x8001, 1354}, {0, 5, 12},
                  ", iTestType=1, iTestDuration=1000", "*piResults_TotalBits=0, *piResults_TotalErrors=0"},
        PlainCase{"SetDTR_State", [](int s, Outs&) { return _Tessel_SetDTR_State(s, 1, F, L); }, "QLIB_SetDTR_State", {1},
                  {}, ", bSetDTR_High=1", ""},
        PlainCase{"FtmIrdaOnOff", [](int s, Outs&) { return _Tessel_FtmIrdaOnOff(s, 0x101, F, L); }, "", {kExt, 12}, {1},
                  ", iTurnIrDaOn=1", ""},
        PlainCase{"FtmDisplayImage", [](int s, Outs&) { return _Tessel_FtmDisplayImage(s, "/p.bmp", F, L); }, "",
                  {kExt, 23}, {'/', 'p', '.', 'b', 'm', 'p', 0, 0}, ", sFileName=/p.bmp", ""},
        PlainCase{"FtmConfigureSwitch", [](int s, Outs&) { return _Tessel_FtmConfigureSwitch(s, 2, 1, F, L); }, "",
                  {kExt, 14}, {2, 0, 1}, ", iSwitchID=2, iSwitchState=1", ""},
        PlainCase{"FtmGetHwId", [](int s, Outs& o) { return _Tessel_FtmGetHwId(s, &o.w1, F, L); }, "", {kExt, 29}, {}, "",
                  "*piHW_ID=7", [](qmsl_sim::Phone&) { extBody(29, {0, 0, 7, 0}); }},
        PlainCase{"DiagExtBuildIdF",
                  [](int s, Outs& o) { return _Tessel_DiagExtBuildIdF(s, &o.u1, &o.u2, o.t1, o.t2, F, L); },
                  "QLIB_DIAG_EXT_BUILD_ID_F", none, {}, "",
                  "*piMSM_HW_Version=8, *piMobModel=219, *sMobSwRev = \"M6280A-1\", *sModelStr = \"BRV5\"",
                  [](qmsl_sim::Phone& p) {
                      p.profile.msm_version = 8;
                      p.profile.model = 219;
                      p.profile.build_id = "M6280A-1";
                      p.profile.model_text = "BRV5";
                  }},
        PlainCase{"DiagStatusF", [](int s, Outs& o) { return _Tessel_DiagStatusF(s, &o.b1, F, L); }, "QLIB_DIAG_STATUS_F",
                  none, {}, "", "*piTMC_State=1"},
        PlainCase{"DiagErrReadF", [](int s, Outs& o) { return _Tessel_DiagErrReadF(s, &o.log, F, L); },
                  "QLIB_DIAG_ERR_READ_F", none, {}, "", "pErrorRead->iErrorCount=3",
                  [](qmsl_sim::Phone&) { outputs("QLIB_DIAG_ERR_READ_F", {Bytes{3, 0}}); }},
        PlainCase{"DiagErrClearF", [](int s, Outs&) { return _Tessel_DiagErrClearF(s, -1, F, L); }, "QLIB_DIAG_ERR_CLEAR_F",
                  {-1}, {}, ", iErrorRec=-1", ""},
        PlainCase{"DiagSecurityFreeze", [](int s, Outs&) { return _Tessel_DiagSecurityFreeze(s, F, L); },
                  "QLIB_DIAG_SECURITY_FREEZE_F", none, {}, "", ""},
        PlainCase{"GetComPortNumber", [](int s, Outs& o) { return _Tessel_GetComPortNumber(s, &o.w1, F, L); },
                  "QLIB_GetComPortNumber", none, {}, "", "*piPhysicalPort=3"},
        PlainCase{"DiagGsmStatusF",
                  [](int s, Outs& o) {
                      int* i = o.i;
                      return _Tessel_DiagGsmStatusF(s, &i[0], &i[1], &i[2], &i[3], &i[4], &i[5], &i[6], F, L);
                  },
                  "QLIB_DIAG_GSM_STATUS_F", none, {}, "",
                  std::string("*piCM_CallState=0(") + Get_cCallState(0) + "), *piCM_OperationalMode=5, *piCM_SystemMode=6", [](qmsl_sim::Phone&) {
                      outputs("QLIB_DIAG_GSM_STATUS_F", {0LL, 5, 6, 7, 8, 9, 10});
                  }},
        PlainCase{"DiagGsmCallOrigF",
                  [](int s, Outs&) {
                      static const unsigned char digits[3] = {'1', '1', '2'};
                      return _Tessel_DiagGsmCallOrigF(s, 3, digits, F, L);
                  },
                  "QLIB_DIAG_GSM_CALL_ORIG_F", {3, 3}, {'1', '1', '2'}, ", iNumDigits=3", ""},
        PlainCase{"DiagGsmCallEndF", [](int s, Outs&) { return _Tessel_DiagGsmCallEndF(s, F, L); },
                  "QLIB_DIAG_GSM_CALL_END_F", none, {}, "", ""},
        PlainCase{"DiagHsDisplayGetParamsCmd",
                  [](int s, Outs& o) { return _Tessel_DiagHsDisplayGetParamsCmd(s, 1, &o.w1, &o.w2, &o.w3, &o.w4, F, L); },
                  "QLIB_DIAG_HS_DISPLAY_GET_PARAMS_CMD", {1}, {}, ", iDisplayID=1",
                  "*piHeight=320, *piWidth=240, *piDepth=16, *piOrientation=1",
                  [](qmsl_sim::Phone&) { outputs("QLIB_DIAG_HS_DISPLAY_GET_PARAMS_CMD", {320, 240, 16, 1}); }},
        PlainCase{"FtmTestCameraFlash",
                  [](int s, Outs& o) { return _Tessel_FtmTestCameraFlash(s, 1, 0x102, &o.w1, F, L); }, "", {kExt, 38},
                  {1, 2}, ", iCameraFlashHwType=1, iCameraFlashOutputState=2", "*_iFTM_Status=0"},
        PlainCase{"ConfigureSwDownloadTimeOut", [](int s, Outs&) { return _Tessel_ConfigureSwDownloadTimeOut(s, 5000, F, L); },
                  "QLIB_ConfigureTimeOut", {5000}, {}, ", iNewValue_ms=5000", ""},
        PlainCase{"FlushRxBuffer", [](int s, Outs&) { return _Tessel_FlushRxBuffer(s, F, L); }, "QLIB_FlushRxBuffer", none,
                  {}, "", ""}),
    [](const ::testing::TestParamInfo<PlainCase>& i) { return i.param.name; });

} // namespace

namespace {

// A name that fills the whole field without a terminator, in a heap block of
// exactly its size: the call and the call line use the 128 characters and
// never read past them.
TEST_F(TesselFcts, DisplayImageOfAFullUnterminatedNameStaysInsideIt) {
    const int s = connected();
    std::unique_ptr<char[]> name(new char[TESSEL_IMAGE_NAME_MAX]);
    std::memset(name.get(), 'n', TESSEL_IMAGE_NAME_MAX);
    EXPECT_EQ(_Tessel_FtmDisplayImage(s, name.get(), "plain.c", 42), 0);
    const std::string full(TESSEL_IMAGE_NAME_MAX, 'n');
    EXPECT_TRUE(hasLine("sFileName=" + full + " ) Sess="));
    const auto reqs = ftmRequests();
    ASSERT_FALSE(reqs.empty());
    EXPECT_EQ(std::string(reqs.back().data.begin(), reqs.back().data.begin() + TESSEL_IMAGE_NAME_MAX), full);
}

} // namespace
