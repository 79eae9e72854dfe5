// The plain FM radio, camera, Bluetooth, audio, assisted-GPS and polar
// transmitter operations, one row each: the call that reaches the phone with
// its (narrowed) arguments, the lines written (call line, lines after it,
// one or two result lines), TESSEL_ERROR_LIBRARY on a false answer and on an
// unconnected session (handle -1).
#include "TesselEnum.h"
#include "TesselFctsFixture.h"
#include "qmsl_audio_sim.h"
#include "qmsl_camera_sim.h"

#include <functional>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Outs {
    unsigned short w[7] = {0xEEEE, 0xEEEE, 0xEEEE, 0xEEEE, 0xEEEE, 0xEEEE, 0xEEEE};
    unsigned char b[3] = {0xEE, 0xEE, 0xEE};
    int i[5] = {};
    short s1 = 0x7EEE;
    unsigned char data[4] = {};
};

struct OpsCase {
    std::string name;
    std::function<int(int, Outs&)> invoke;
    std::string call;                  // the vendor function, or "" for an extension-FTM command
    std::vector<long long> args;       // vendor: its journaled arguments; extension: {group, id}
    Bytes bytes;                       // vendor: input bytes journaled; extension: the request data's first bytes
    std::string callArgs;              // the call line between "Handle=n" and ") Sess="
    std::vector<std::string> results;  // the result lines before " = 0 (SUCCESS) "; '@' stands for the export
    std::function<void(qmsl_sim::Phone&)> answer = {};  // the phone's outputs
    std::vector<std::string> between = {};              // lines between the call line and the result lines
};
void PrintTo(const OpsCase& c, std::ostream* os) { *os << c.name; }

const char* const F = "plain.c";
constexpr int L = 42;
constexpr long long kExt = 0x8000;
const std::vector<long long> none;

void outputs(const std::string& fn, std::vector<qmsl_sim::OutValue> v) {
    qmsl_sim::phone(3).set_outputs(fn, std::move(v));
}
void extBody(std::uint16_t id, Bytes body) { qmsl_sim::ext_ftm(qmsl_sim::phone(3)).bodies[{0x8000, id}] = std::move(body); }
void extStatus(std::uint16_t id, std::uint16_t status) {
    qmsl_sim::ext_ftm(qmsl_sim::phone(3)).statuses[{0x8000, id}] = status;
}
void cameraStatus(const std::string& fn, std::uint16_t status) {
    qmsl_sim::camera(qmsl_sim::phone(3)).statuses[fn] = status;
}

std::string exportName(const OpsCase& c) { return "_Tessel_" + c.name; }
std::string withName(std::string text, const std::string& name) {
    const auto at = text.find('@');
    return at == std::string::npos ? text : text.replace(at, 1, name);
}
std::string cam(int status) { return "*piCameraStatus=" + std::to_string(status) + "(" + Get_cCameraStatus(status) + ")"; }

class PeriphOpsPlain : public TesselFcts, public ::testing::WithParamInterface<OpsCase> {
protected:
    bool isExtension() const { return GetParam().call.empty(); }
    std::string callFn() const { return isExtension() ? "QLIB_SendSync" : GetParam().call; }
};

TEST_P(PeriphOpsPlain, ReachesThePhoneAndTracesItsLines) {
    const OpsCase& c = GetParam();
    const int s = connected();
    if (c.answer) c.answer(phone());
    Outs o;
    EXPECT_EQ(c.invoke(s, o), 0);

    ASSERT_NO_FATAL_FAILURE(expectReached(s, c.call, c.args, c.bytes));
    Lines expected{"(3C)    " + exportName(c) + "( Handle=" + std::to_string(handleOf(s)) + c.callArgs +
                   ") Sess=1 in File \"plain.c\" Line 42"};
    expected.insert(expected.end(), c.between.begin(), c.between.end());
    for (const std::string& r : c.results) expected.push_back("(3A)    " + withName(r, exportName(c)) + " = 0 (SUCCESS) ");
    EXPECT_EQ(lines(), expected);
}

TEST_P(PeriphOpsPlain, FalseAnswerIsALibraryError) {
    const OpsCase& c = GetParam();
    const int s = connected();
    phone().inject(callFn(), qmsl_sim::Fault{});
    Outs o;
    EXPECT_EQ(c.invoke(s, o), kLib);
    EXPECT_NE(lines().back().find(" = 0xbffc19f7 (ERROR)"), std::string::npos) << lines().back();
}

TEST_P(PeriphOpsPlain, HandleMinusOneIsALibraryErrorWithoutCall) {
    const OpsCase& c = GetParam();
    const int s = openSession();
    tracer_test::clear_lines();
    Outs o;
    EXPECT_EQ(c.invoke(s, o), kLib);
    EXPECT_EQ(phone().count(callFn()), 0u);
    EXPECT_EQ(lines().front().rfind("(3C)    " + exportName(c) + "( Handle=-1", 0), 0u) << lines().front();
}

TEST_P(PeriphOpsPlain, InvalidSessionIsRefusedUntraced) {
    Outs o;
    EXPECT_EQ(GetParam().invoke(13, o), TESSEL_ERROR_SESSION_INVALID);
    EXPECT_TRUE(lines().empty());
}

const std::string kNoOut = "@( )";

INSTANTIATE_TEST_SUITE_P(
    Table, PeriphOpsPlain,
    ::testing::Values(
        // FM radio
        OpsCase{"GetFmRadioId", [](int s, Outs& o) { return _Tessel_GetFmRadioId(s, &o.w[0], F, L); }, "", {kExt, 22}, {},
                " ", {"@( *piChip_Id=0x1234 )"}, [](qmsl_sim::Phone&) { extBody(22, {0, 0, 0x34, 0x12}); }},
        OpsCase{"FtmTuneFmRadio", [](int s, Outs& o) { return _Tessel_FtmTuneFmRadio(s, 0x10203, &o.w[0], F, L); }, "",
                {kExt, 28}, {0x03, 0x02}, ", iChannel=515 ",
                {std::string("@( *piFTM_Status=0003(") + Get_cFmRadioStatus(3) + ") )"},
                [](qmsl_sim::Phone&) { extStatus(28, 3); }},
        OpsCase{"FtmFmRadioRdsTest", [](int s, Outs& o) { return _Tessel_FtmFmRadioRdsTest(s, &o.w[0], F, L); }, "",
                {kExt, 34}, {}, " ", {std::string("@( *piFTM_Status=0000(") + Get_cFmRadioRdsStatus(0) + ") )"}},
        // camera: the camera status is traced, never tested
        OpsCase{"FtmCameraStart", [](int s, Outs& o) { return _Tessel_FtmCameraStart(s, &o.w[0], F, L); },
                "QLIB_FTM_CAMERA_START", none, {}, " ", {"@( " + cam(2) + " )"},
                [](qmsl_sim::Phone&) { cameraStatus("QLIB_FTM_CAMERA_START", 2); }},
        OpsCase{"FtmCameraStop", [](int s, Outs& o) { return _Tessel_FtmCameraStop(s, &o.w[0], F, L); },
                "QLIB_FTM_CAMERA_STOP", none, {}, " ", {"@( " + cam(0) + " )"}},
        OpsCase{"FtmCameraSetParm", [](int s, Outs& o) { return _Tessel_FtmCameraSetParm(s, 0x10007, -5, &o.w[0], F, L); },
                "QLIB_FTM_CAMERA_SET_PARM", {7, -5}, {}, ", iParmId=7, iParmValue=-5 ", {"@( " + cam(1) + " )"},
                [](qmsl_sim::Phone&) { cameraStatus("QLIB_FTM_CAMERA_SET_PARM", 1); }},
        OpsCase{"FtmCameraSetDimensions",
                [](int s, Outs& o) { return _Tessel_FtmCameraSetDimensions(s, 640, 480, 176, &o.w[0], F, L); },
                "QLIB_FTM_CAMERA_SET_DIMENSIONS", {640, 480, 176}, {}, ", iPictureWidth=640, iPictureHeight=480, iLCD_Width=176 ",
                {"@( " + cam(0) + " )"}},
        OpsCase{"FtmCameraStartPreview", [](int s, Outs& o) { return _Tessel_FtmCameraStartPreview(s, &o.w[0], F, L); },
                "QLIB_FTM_CAMERA_START_PREVIEW", none, {}, " ", {"@( " + cam(0) + " )"}},
        OpsCase{"FtmCameraStopPreview", [](int s, Outs& o) { return _Tessel_FtmCameraStopPreview(s, &o.w[0], F, L); },
                "QLIB_FTM_CAMERA_STOP_PREVIEW", none, {}, " ", {"@( " + cam(0) + " )"}},
        OpsCase{"FtmCameraTakePictureAndEncode",
                [](int s, Outs& o) { return _Tessel_FtmCameraTakePictureAndEncode(s, 80, 1, &o.i[0], &o.w[0], F, L); },
                "QLIB_FTM_CAMERA_TAKE_PICTURE_AND_ENCODE", {80, 1}, {}, ", iQuality=80, iFormat=1 ",
                {"@( *piPicDataSize=12345, " + cam(0) + " )"},
                [](qmsl_sim::Phone&) { outputs("QLIB_FTM_CAMERA_TAKE_PICTURE_AND_ENCODE", {12345}); }},
        OpsCase{"FtmCameraGetPicture",
                [](int s, Outs& o) {
                    const int st = _Tessel_FtmCameraGetPicture(s, 100, 4, o.data, &o.w[0], F, L);
                    return st == 0 && o.data[3] != 4 ? -1 : st;
                },
                "QLIB_FTM_CAMERA_GET_PICTURE", {100, 4}, {}, ", iDataOffset=100, iDataSize=4 ", {"@( " + cam(0) + " )"},
                [](qmsl_sim::Phone&) { outputs("QLIB_FTM_CAMERA_GET_PICTURE", {Bytes{1, 2, 3, 4}}); }},
        OpsCase{"FtmCameraGetParm",
                [](int s, Outs& o) {
                    int* i = o.i;
                    return _Tessel_FtmCameraGetParm(s, 3, &i[0], &i[1], &i[2], &i[3], &i[4], &o.w[0], F, L);
                },
                "QLIB_FTM_CAMERA_GET_PARM", {3}, {}, ", iParmId=3 ",
                {"1. @( *piMinimumValue=-10, *piMaximumValue=10, *piStepValue=2 )",
                 "2. @( *piDefaultValue=0, *piCurrentValue=4, " + cam(0) + " )"},
                [](qmsl_sim::Phone&) { outputs("QLIB_FTM_CAMERA_GET_PARM", {-10, 10, 2, 0LL, 4}); }},
        OpsCase{"FtmCameraGetInfo",
                [](int s, Outs& o) {
                    unsigned short* w = o.w;
                    return _Tessel_FtmCameraGetInfo(s, &w[0], &w[1], &w[2], &o.b[0], &w[3], &w[4], &w[5], F, L);
                },
                "QLIB_FTM_CAMERA_GET_INFO", none, {}, " ",
                {"1. @( *piSensorWidth=1280, *piSensorHeight=1024, *piFPS=15 )",
                 "2. @( *piSensorRotationSensing=1, *piDefaultRotation=90, *piDefaultOrientation=2, " + cam(0) + " )"},
                [](qmsl_sim::Phone&) { outputs("QLIB_FTM_CAMERA_GET_INFO", {1280, 1024, 15, 1, 90, 2}); }},
        OpsCase{"FtmCameraPerformTakePictureSequence",
                [](int s, Outs& o) {
                    return _Tessel_FtmCameraPerformTakePictureSequence(s, 1, 640, 480, 90, 2, 0xDEADBEEF, &o.w[0], F, L);
                },
                "QLIB_FTM_CAMERA_PerformTakePictureSequence", {1, 640, 480, 4000, 90, 2, 0xDEADBEEF}, {},
                ", bAutoPictureSize=1, iPictureWidth=640, iPictureHeight=480, iQuality=90, iFormat=2, iTarget=-559038737 ",
                {"@( " + cam(0) + " )"}},
        OpsCase{"FtmCameraPerformTakePictureSequenceEx",
                [](int s, Outs& o) {
                    return _Tessel_FtmCameraPerformTakePictureSequenceEx(s, 0x100, 640, 480, 2500, 90, 2, 7, &o.w[0], F, L);
                },
                "QLIB_FTM_CAMERA_PerformTakePictureSequence", {0, 640, 480, 2500, 90, 2, 7}, {},
                ", bAutoPictureSize=0, iPictureWidth=640, iPictureHeight=480, iDelay_ms=2500, iQuality=90, iFormat=2, iTarget=7 ",
                {"@( " + cam(0) + " )"}},
        OpsCase{"FtmCameraGetEntirePicture",
                [](int s, Outs& o) { return _Tessel_FtmCameraGetEntirePicture(s, 5000, 512, 9, &o.w[0], F, L); },
                "QLIB_FTM_CAMERA_GetEntirePicture", {5000, 512, 9}, {}, ", iPicDataSize=5000, iDataTransferSize=512, iTarget=9 ",
                {"@( " + cam(0) + " )"}},
        OpsCase{"FtmCameraSetSensorId", [](int s, Outs& o) { return _Tessel_FtmCameraSetSensorId(s, 0x101, &o.w[0], F, L); },
                "QLIB_FTM_CAMERA_SET_SENSOR_ID", {1}, {}, ", iSensorId=1 ", {"@( " + cam(0) + " )"}},
        OpsCase{"FtmCameraSetFocus", [](int s, Outs&) { return _Tessel_FtmCameraSetFocus(s, 3, F, L); }, "", {kExt, 247},
                {3}, ", iFocusLevel=3 ", {"@()"}},
        // Bluetooth
        OpsCase{"FtmBtEnableBluetooth", [](int s, Outs&) { return _Tessel_FtmBtEnableBluetooth(s, F, L); },
                "QLIB_FTM_BT_Enable_Bluetooth", none, {}, " ", {"@()"}},
        OpsCase{"FtmBtSetCW", [](int s, Outs&) { return _Tessel_FtmBtSetCW(s, 39, F, L); }, "QLIB_FTM_BT_SetCW", {39}, {},
                ", iChannel=39 ", {kNoOut}},
        OpsCase{"SpecialBtReset", [](int s, Outs&) { return _Tessel_SpecialBtReset(s, F, L); }, "QLIB_FTM_BT_HCI_USER_CMD",
                {3}, {0x01, 0x03, 0x0C}, " ", {kNoOut}, {}, {"(3I)    [BT_HCI (01 0C 03)]"}},
        OpsCase{"SpecialScanDisable", [](int s, Outs&) { return _Tessel_SpecialScanDisable(s, F, L); },
                "QLIB_FTM_BT_HCI_USER_CMD", {5}, {0x01, 0x1A, 0x0C, 0x01, 0x00}, " ", {kNoOut}, {},
                {"(3I)     QLIB_FTM_BT_HCI_USER_CMD(01 0C 1A)"}},
        OpsCase{"FtmGetBtParam", [](int s, Outs& o) { return _Tessel_FtmGetBtParam(s, &o.b[0], &o.b[1], &o.b[2], F, L); },
                "", {kExt, 36}, {}, " ", {"@( _iFTM_Status=0, *piLSB_Code=0xA1, *piMSB_Code=0xB2, *piRFU_Type=0xC3 )"},
                [](qmsl_sim::Phone&) { extBody(36, {0, 0, 0xA1, 0xB2, 0xC3}); }},
        OpsCase{"FtmSendBtHciCommand",
                [](int s, Outs&) {
                    static const unsigned char command[3] = {0x01, 0x05, 0x0C};
                    return _Tessel_FtmSendBtHciCommand(s, command, 0x103, F, L);
                },
                "QLIB_FTM_BT_HCI_USER_CMD", {3}, {0x01, 0x05, 0x0C}, ",  iSizeOfCommand = 3", {kNoOut}, {},
                {"(3I)    >>>={ 01 05 0C }"}},
        // audio
        OpsCase{"FtmAudioSetPath", [](int s, Outs&) { return _Tessel_FtmAudioSetPath(s, 0x10002, F, L); },
                "QLIB_FTM_AUDIO_SET_PATH", {2}, {}, ", iAudioDevice=2 ", {kNoOut}},
        OpsCase{"FtmAudioSetVolume", [](int s, Outs&) { return _Tessel_FtmAudioSetVolume(s, 5, F, L); },
                "QLIB_FTM_AUDIO_SET_VOLUME", {5}, {}, ", iVolume=5 ", {kNoOut}},
        OpsCase{"FtmAudioDspLoopback", [](int s, Outs&) { return _Tessel_FtmAudioDspLoopback(s, 1, F, L); },
                "QLIB_FTM_AUDIO_DSP_LOOPBACK", {1}, {}, ", bLoopbackOn=1 ", {kNoOut}},
        OpsCase{"FtmAudioPcmLoopback", [](int s, Outs&) { return _Tessel_FtmAudioPcmLoopback(s, 0, F, L); },
                "QLIB_FTM_AUDIO_PCM_LOOPBACK", {0}, {}, ", bLoopbackOn=0 ", {kNoOut}},
        OpsCase{"FtmAudioTonesPlay", [](int s, Outs&) { return _Tessel_FtmAudioTonesPlay(s, 1000, 400, F, L); },
                "QLIB_FTM_AUDIO_TONES_PLAY", {1000, 400, 0}, {},
                ", iHiFreq=1000, iLoFreq=400, _iMethod = FTM_AUDIO_SND_METHOD_VOICE ", {kNoOut}},
        OpsCase{"FtmAudioTonesStop", [](int s, Outs&) { return _Tessel_FtmAudioTonesStop(s, F, L); },
                "QLIB_FTM_AUDIO_TONES_STOP", none, {}, " ", {kNoOut}},
        OpsCase{"FtmAudioNsControl", [](int s, Outs&) { return _Tessel_FtmAudioNsControl(s, 1, F, L); },
                "QLIB_FTM_AUDIO_NS_CONTROL", {1}, {}, ", iNoiseSuppressorOn=1 ", {kNoOut}},
        OpsCase{"FtmAudioPcmCapture", [](int s, Outs&) { return _Tessel_FtmAudioPcmCapture(s, 8, F, L); },
                "QLIB_FTM_AUDIO_PCM_CAPTURE", {8, 1000}, {}, ", iNumBuffers=8 ", {kNoOut}},
        OpsCase{"FtmAudioPcmStopCapture", [](int s, Outs&) { return _Tessel_FtmAudioPcmStopCapture(s, F, L); },
                "QLIB_FTM_AUDIO_PCM_STOP_CAPTURE", none, {}, " ", {kNoOut}},
        OpsCase{"FtmAudioGetPcmCaptureData",
                [](int s, Outs& o) {
                    const int st = _Tessel_FtmAudioGetPcmCaptureData(s, 16, 4, o.data, F, L);
                    return st == 0 && o.data[0] != 9 ? -1 : st;
                },
                "QLIB_FTM_AUDIO_GET_PCM_CAPTURE_DATA", {16, 4}, {}, ", iDataOffset=16, iDataSize=4 ", {kNoOut},
                [](qmsl_sim::Phone& p) {
                    Bytes pcm(16, 0);
                    pcm.insert(pcm.end(), {9, 8, 7, 6});
                    qmsl_sim::audio(p).pcm = pcm;
                }},
        OpsCase{"FtmAudioCapturePCMandTransferData",
                [](int s, Outs&) { return _Tessel_FtmAudioCapturePCMandTransferData(s, 800, 77, 256, 1, F, L); },
                "QLIB_FTM_AUDIO_CapturePCMandTransferData", {800, 1000, 77, 256, 1}, {},
                ", iNumSamples=800, iTarget=77, iDataTransferSize=256, bCreateWAVformat=1 ", {kNoOut}},
        OpsCase{"FtmPmicSpkrConfig", [](int s, Outs&) { return _Tessel_FtmPmicSpkrConfig(s, 1, 2, 3, F, L); },
                "QLIB_FTM_PMIC_SPKR_CONFIG", {1, 2, 3}, {},
                std::string(", iSpeakerCMD=1(") + Get_cSpkrCmd(1) + "), iSpeakerGain=2, iSpeakerDelay=3 ", {kNoOut}},
        OpsCase{"FtmAudioSetCodecTxGainAdjust",
                [](int s, Outs&) { return _Tessel_FtmAudioSetCodecTxGainAdjust(s, 0x1FFFD, F, L); },
                "QLIB_FTM_AUDIO_SET_CODECTXGAIN_ADJUST", {-3}, {}, ", iCodecTxGainAdjust=-3 ", {kNoOut}},
        // assisted GPS
        OpsCase{"FtmAgpsSetTestMode", [](int s, Outs&) { return _Tessel_FtmAgpsSetTestMode(s, 1, F, L); },
                "QLIB_FTM_AGPS_SET_TEST_MODE", {1}, {}, ", bOnOff=1 ", {"@()"}},
        OpsCase{"FtmAgpsStandaloneTestMode", [](int s, Outs&) { return _Tessel_FtmAgpsStandaloneTestMode(s, F, L); },
                "QLIB_FTM_AGPS_STANDALONE_TEST_MODE", none, {}, " ", {kNoOut}},
        OpsCase{"FtmAgpsSvTracking", [](int s, Outs&) { return _Tessel_FtmAgpsSvTracking(s, 17, F, L); },
                "QLIB_FTM_AGPS_SV_TRACKING", {17}, {}, ", iSatelliteVehicleId=17 ", {kNoOut}},
        OpsCase{"FtmAgpsIqCapture",
                [](int s, Outs&) { return _Tessel_FtmAgpsIqCapture(s, 1575420000, 2046000, 10, 1, 4096, F, L); },
                "QLIB_FTM_AGPS_IQ_CAPTURE", {1575420000, 2046000, 10, 1, 4096}, {},
                ", iCenterFreq_Hz=1575420000, iSampleFreq_Hz=2046000, iStartDelay=10, iAutoCenter=1, iMaxRecordSize=4096 ",
                {kNoOut}},
        OpsCase{"FtmAgpsGetIqData", [](int s, Outs&) { return _Tessel_FtmAgpsGetIqData(s, 5, 6, F, L); },
                "QLIB_FTM_AGPS_GET_IQ_DATA", {5, 6}, {}, ", uiArg1=5, uiArg2=6 ", {kNoOut}},
        OpsCase{"FtmAgpsIdleMode", [](int s, Outs&) { return _Tessel_FtmAgpsIdleMode(s, F, L); },
                "QLIB_FTM_AGPS_IDLE_MODE", none, {}, " ", {kNoOut}},
        OpsCase{"FtmAgpsStartCtoNMeas", [](int s, Outs& o) { return _Tessel_FtmAgpsStartCtoNMeas(s, &o.w[0], F, L); }, "",
                {kExt, 31}, {}, " ", {"@( *piFTM_Status=0 )"}},
        OpsCase{"FtmAgpsGetCToNMeas", [](int s, Outs& o) { return _Tessel_FtmAgpsGetCToNMeas(s, &o.w[0], &o.w[1], F, L); },
                "", {kExt, 32}, {}, " ", {std::string("@( *piCtoN_Meas=300, *piFTM_Status=0(") + Get_cCToNGpsStatus(0) + ") )"},
                [](qmsl_sim::Phone&) { extBody(32, {0, 0, 0x2C, 0x01}); }},
        // polar transmitter
        OpsCase{"FtmSetOpllBw", [](int s, Outs&) { return _Tessel_FtmSetOpllBw(s, 2, F, L); }, "QLIB_FTM_SET_OPLL_BW", {2},
                {}, ", iBandwidth_Num=2 ", {kNoOut}},
        OpsCase{"FtmSetTxFrameMatrix", [](int s, Outs&) { return _Tessel_FtmSetTxFrameMatrix(s, 1, 1, 0x101F4, 0, F, L); },
                "QLIB_FTM_SET_TX_FRAME_MATRIX", {1, 1, 500, 0}, {},
                ", iSlotNum=1, iTurnSlotOn=1, iPwrLevel=500, iModScheme=0", {kNoOut}},
        OpsCase{"FtmEnablePolarRefCal", [](int s, Outs&) { return _Tessel_FtmEnablePolarRefCal(s, 1, F, L); },
                "QLIB_FTM_ENABLE_POLAR_REF_CAL", {1}, {}, ", iEnable=1 ", {kNoOut}},
        OpsCase{"FtmBasebandBwCal", [](int s, Outs&) { return _Tessel_FtmBasebandBwCal(s, 3, F, L); },
                "QLIB_FTM_BASEBAND_BW_CAL", {3}, {}, ", iBandwidth_Num=3 ", {kNoOut}},
        OpsCase{"FtmSetPathDelay", [](int s, Outs& o) { return _Tessel_FtmSetPathDelay(s, &o.s1, F, L); },
                "QLIB_FTM_SET_PATH_DELAY", none, {}, "", {"@( *piDelay=-12 )"},
                [](qmsl_sim::Phone&) { outputs("QLIB_FTM_SET_PATH_DELAY", {-12}); }},
        OpsCase{"FtmWcdmaTxSweepCalStep", [](int s, Outs&) { return _Tessel_FtmWcdmaTxSweepCalStep(s, 4, F, L); },
                "QLIB_FTM_SET_TX_SWEEP_STEP_SIZE", {4}, {}, ", iStep=4 ", {"@()"}}),
    [](const ::testing::TestParamInfo<OpsCase>& i) { return i.param.name; });

// Outputs set to a start value before the call: it stays when no call is made.
struct StartCase {
    std::string name;
    std::function<int(int, unsigned short*)> invoke;
    unsigned short start;
};
void PrintTo(const StartCase& c, std::ostream* os) { *os << c.name; }

class PeriphOpsStartValue : public TesselFcts, public ::testing::WithParamInterface<StartCase> {};

TEST_P(PeriphOpsStartValue, StaysWhenNoCallIsMade) {
    const int s = openSession();
    unsigned short status = 0x1234;
    EXPECT_EQ(GetParam().invoke(s, &status), kLib);
    EXPECT_EQ(status, GetParam().start);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PeriphOpsStartValue,
    ::testing::Values(
        StartCase{"TuneFmRadio", [](int s, unsigned short* p) { return _Tessel_FtmTuneFmRadio(s, 1, p, F, L); }, 0xFFFF},
        StartCase{"RdsTest", [](int s, unsigned short* p) { return _Tessel_FtmFmRadioRdsTest(s, p, F, L); }, 0xFFFF},
        StartCase{"StartCtoN", [](int s, unsigned short* p) { return _Tessel_FtmAgpsStartCtoNMeas(s, p, F, L); }, 4},
        StartCase{"GetCtoN",
                  [](int s, unsigned short* p) {
                      unsigned short meas = 0;
                      return _Tessel_FtmAgpsGetCToNMeas(s, &meas, p, F, L);
                  },
                  4}),
    [](const ::testing::TestParamInfo<StartCase>& i) { return i.param.name; });

using PeriphOpsBtParam = TesselFcts;

TEST_F(PeriphOpsBtParam, NonZeroFtmStatusIsALibraryError) {
    const int s = connected();
    extBody(36, {2, 0, 0xA1, 0xB2, 0xC3});
    unsigned char lsb = 0, msb = 0, rfu = 0;
    EXPECT_EQ(_Tessel_FtmGetBtParam(s, &lsb, &msb, &rfu, F, L), kLib);
    EXPECT_TRUE(hasLine("_Tessel_FtmGetBtParam( _iFTM_Status=2, ")) << lines().back();
}

TEST_F(PeriphOpsBtParam, NullOutputIsRefusedWithoutCall) {
    const int s = connected();
    unsigned char lsb = 0, msb = 0;
    EXPECT_EQ(_Tessel_FtmGetBtParam(s, &lsb, &msb, nullptr, F, L), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(phone().count("QLIB_SendSync"), 0u);
}

} // namespace
