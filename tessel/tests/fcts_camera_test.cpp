// Camera selection by phone type, the detection of the fitted sensor over the
// I2C bus (each probe, the address of the previous detection first, no
// sensor at all) and the extension library's camera identity.
#include "TesselEnum.h"
#include "TesselFctsFixture.h"
#include "qmsl_camera_sim.h"
#include "qmsl_i2c_sim.h"

#include <map>

namespace {

using Bytes = std::vector<std::uint8_t>;
const char* const F = "cam.c";
constexpr int L = 7;

class Camera : public TesselFcts {
protected:
    // The I2C requests (extension-FTM command 15) that reached the phone: their data.
    static std::vector<Bytes> i2cRequests() {
        std::vector<Bytes> r;
        for (const auto& q : ftmRequests())
            if (q.group == 0x8000 && q.id == 15) r.push_back(q.data);
        return r;
    }
    static void noDevices() { qmsl_sim::i2c_bus(phone()).modelled = true; }
};

// --- camera selection ----------------------------------------------------------

struct SwitchCase {
    std::string name;
    int phoneType, camera;
    int status;
    std::string line;    // the plain line written
    std::string call;    // the vendor call made ("" none; "switch" the extension-FTM switch command)
    long long value;     // its sensor id or switch state
};
void PrintTo(const SwitchCase& c, std::ostream* os) { *os << c.name; }

class CameraSwitch : public Camera, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(CameraSwitch, SelectsTheCameraTheWayOfThePhoneType) {
    const SwitchCase& c = GetParam();
    const int s = typed(c.phoneType);
    EXPECT_EQ(_Tessel_SpecialSwitchCamera(s, c.camera, F, L), c.status);
    const Lines l = lines();
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[0], "(3C)    _Tessel_SpecialSwitchCamera( Handle=" + std::to_string(handleOf(s)) + ", iCamNum=" +
                        std::to_string(c.camera & 0xFF) + ", PhoneModel=" + std::to_string(c.phoneType) +
                        " ) Sess=1 in File \"cam.c\" Line 7");
    EXPECT_EQ(l[1], "(3I)    " + c.line);
    EXPECT_EQ(l[2].rfind(std::string(c.status ? "(3A) E  " : "(3A)    ") + "_Tessel_SpecialSwitchCamera( ) = ", 0), 0u)
        << l[2];
    const auto sensorCalls = phone().calls("QLIB_FTM_CAMERA_SET_SENSOR_ID");
    const auto requests = ftmRequests();
    if (c.call == "sensor") {
        ASSERT_EQ(sensorCalls.size(), 1u);
        EXPECT_EQ(sensorCalls[0].args, std::vector<long long>{c.value});
        EXPECT_TRUE(requests.empty());
    } else if (c.call == "switch") {
        EXPECT_TRUE(sensorCalls.empty());
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].id, 14);
        // switch id (16 bits), state
        EXPECT_EQ(Bytes(requests[0].data.begin(), requests[0].data.begin() + 3), (Bytes{1, 0, static_cast<std::uint8_t>(c.value)}));
    } else {
        EXPECT_TRUE(sensorCalls.empty());
        EXPECT_TRUE(requests.empty());
    }
}

const char* const kNoType = "[ERROR: Mobile type not supported.]";
const char* const kNoCamera = "[ERROR: Camera number not supported.]";
constexpr int kLib = TESSEL_ERROR_LIBRARY;

INSTANTIATE_TEST_SUITE_P(
    Table, CameraSwitch,
    ::testing::Values(SwitchCase{"Type9Camera1", 9, 1, 0, "[QLIB_FTM_CAMERA_SET_SENSOR_ID(0)]", "sensor", 0},
                      SwitchCase{"Type9Camera2", 9, 2, 0, "[QLIB_FTM_CAMERA_SET_SENSOR_ID(1)]", "sensor", 1},
                      SwitchCase{"Type9Camera3", 9, 3, kLib, kNoCamera, "", 0},
                      SwitchCase{"Type9Camera0", 9, 0, kLib, kNoCamera, "", 0},
                      SwitchCase{"Type9Camera257IsCamera1", 9, 0x101, 0, "[QLIB_FTM_CAMERA_SET_SENSOR_ID(0)]", "sensor", 0},
                      SwitchCase{"Type0Camera1", 0, 1, 0, "[QLIB_FTM_CONFIGURE_SWITCH(1,0)]", "switch", 0},
                      SwitchCase{"Type1Camera2", 1, 2, 0, "[QLIB_FTM_CONFIGURE_SWITCH(1,1)]", "switch", 1},
                      SwitchCase{"Type4Camera1", 4, 1, 0, "[QLIB_FTM_CONFIGURE_SWITCH(1,0)]", "switch", 0},
                      SwitchCase{"Type6Camera2", 6, 2, 0, "[QLIB_FTM_CONFIGURE_SWITCH(1,1)]", "switch", 1},
                      SwitchCase{"Type8Camera1", 8, 1, 0, "[QLIB_FTM_CONFIGURE_SWITCH(1,0)]", "switch", 0},
                      SwitchCase{"Type10Camera2", 10, 2, 0, "[QLIB_FTM_CONFIGURE_SWITCH(1,1)]", "switch", 1},
                      SwitchCase{"Type10Camera3", 10, 3, kLib, kNoCamera, "", 0},
                      SwitchCase{"Type5", 5, 1, kLib, kNoType, "", 0},
                      SwitchCase{"Type2", 2, 1, kLib, kNoType, "", 0},
                      SwitchCase{"Type3", 3, 2, kLib, kNoType, "", 0},
                      SwitchCase{"Type7", 7, 1, kLib, kNoType, "", 0},
                      SwitchCase{"NoTypeDetected", 11, 1, kLib, kNoType, "", 0},
                      SwitchCase{"Type12", 12, 1, kLib, kNoType, "", 0}),
    [](const ::testing::TestParamInfo<SwitchCase>& i) { return i.param.name; });

TEST_F(Camera, SwitchFailsOnACameraStatusOtherThan0) {
    const int s = typed(9);
    qmsl_sim::camera(phone()).statuses["QLIB_FTM_CAMERA_SET_SENSOR_ID"] = 4;
    EXPECT_EQ(_Tessel_SpecialSwitchCamera(s, 2, F, L), kLib);
}

TEST_F(Camera, SwitchFailsOnAFalseSwitchAnswer) {
    const int s = typed(0);
    phone().inject("QLIB_SendSync", qmsl_sim::Fault{});
    EXPECT_EQ(_Tessel_SpecialSwitchCamera(s, 1, F, L), kLib);
}

TEST_F(Camera, SwitchOnAnUnconnectedSessionMakesNoCall) {
    const int s = openSession();
    EXPECT_EQ(_Tessel_SetMobModel(s, 9, F, L), 0);
    EXPECT_EQ(_Tessel_SpecialSwitchCamera(s, 1, F, L), kLib);
    EXPECT_EQ(phone().count("QLIB_FTM_CAMERA_SET_SENSOR_ID"), 0u);
}

// --- sensor detection ------------------------------------------------------------

struct SensorCase {
    std::string name;
    std::uint8_t slave;
    std::map<std::uint16_t, Bytes> registers;
    int model;
    std::string probeLine;
    std::string ids;  // the two id bytes of the result line
};
void PrintTo(const SensorCase& c, std::ostream* os) { *os << c.name; }

class CameraSensor : public Camera, public ::testing::WithParamInterface<SensorCase> {};

TEST_P(CameraSensor, IsRecognisedAtItsAddress) {
    const SensorCase& c = GetParam();
    const int s = typed(0);
    qmsl_sim::place_i2c_device(phone(), 0x10);  // the FM chip answers too, and is no camera
    qmsl_sim::place_i2c_device(phone(), c.slave, c.registers);
    int model = -5;
    EXPECT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), 0);
    EXPECT_EQ(model, c.model);
    EXPECT_TRUE(hasLine("(3I)    *** First Addr found at -1"));
    EXPECT_TRUE(hasLine("(3I)    *** Device found at 0x10 :: 00"));
    EXPECT_TRUE(hasLine("(3I)    " + c.probeLine));
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_SpecialGetCameraID( cID[]=" + c.ids + ", *eCamera=" +
                                  std::to_string(c.model) + "(" + Get_cCameraModel(c.model) + ") ) = 0 (SUCCESS) ");
    // 128 one-byte reads of the bus scan, then the probe's own requests
    EXPECT_GE(i2cRequests().size(), 129u);
}

INSTANTIATE_TEST_SUITE_P(
    Probes, CameraSensor,
    ::testing::Values(
        SensorCase{"Biomorphic45First18", 0x45, {{0x2560, {0x18, 0x01}}}, 0, "[Probing Biomorphic...]", "1801"},
        SensorCase{"Biomorphic45First1D", 0x45, {{0x2560, {0x1D, 0x00}}}, 2, "[Probing Biomorphic...]", "1D00"},
        SensorCase{"Biomorphic45First27", 0x45, {{0x2560, {0x27, 0x00}}}, 7, "[Probing Biomorphic...]", "2700"},
        SensorCase{"Biomorphic45First24", 0x45, {{0x2560, {0x24, 0x99}}}, 8, "[Probing Biomorphic...]", "2499"},
        SensorCase{"Biomorphic47First26", 0x47, {{0x2560, {0x26, 0x00}}}, 9, "[Probing Biomorphic...]", "2600"},
        SensorCase{"Agilent5900", 0x51, {{0x01, {0x59, 0x00}}}, 1, "[Probing Agilent...]", "5900"},
        SensorCase{"Agilent5A00", 0x51, {{0x01, {0x5A, 0x00}}}, 3, "[Probing Agilent...]", "5A00"},
        SensorCase{"Semco143A", 0x5D, {{0xFF, {0x14, 0x3A}}}, 6, "[Probing SEMCO...]", "143A"},
        SensorCase{"Premier9651", 0x30, {{0x0A, {0x96, 0x51}}}, 4, "[Probing Premier...]", "9651"},
        SensorCase{"Premier9652", 0x30, {{0x0A, {0x96, 0x52}}}, 5, "[Probing Premier...]", "9652"},
        SensorCase{"Premier9657", 0x30, {{0x0A, {0x96, 0x57}}}, 10, "[Probing Premier...]", "9657"},
        SensorCase{"Omnivision7673", 0x21, {{0x0A, {0x76, 0x73}}}, 11, "[Probing OMNIVISION...]", "7673"}),
    [](const ::testing::TestParamInfo<SensorCase>& i) { return i.param.name; });

TEST_F(Camera, ProbesReadTheirRegistersWithTheirAccess) {
    const int s = typed(0);
    qmsl_sim::place_i2c_device(phone(), 0x51, {{0x01, {0x5A, 0x00}}});
    int model = 0;
    ASSERT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), 0);
    const auto r = i2cRequests();
    ASSERT_EQ(r.size(), 130u);
    // the bus scan: read, slave n, register length 0, one byte
    EXPECT_EQ(Bytes(r[0x51].begin(), r[0x51].begin() + 7), (Bytes{0, 0, 0x51, 0, 0, 0, 1}));
    // the write of a zero byte to register 0xFE, then the read of register 0x01
    EXPECT_EQ(Bytes(r[128].begin(), r[128].begin() + 8), (Bytes{1, 0, 0x51, 1, 0xFE, 0, 1, 0}));
    EXPECT_EQ(Bytes(r[129].begin(), r[129].begin() + 7), (Bytes{0, 0, 0x51, 1, 0x01, 0, 2}));
}

TEST_F(Camera, PremierIsReadWithSecondByte1) {
    const int s = typed(0);
    qmsl_sim::place_i2c_device(phone(), 0x30, {{0x0A, {0x96, 0x51}}});
    int model = 0;
    ASSERT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), 0);
    const auto r = i2cRequests();
    ASSERT_EQ(r.size(), 129u);
    EXPECT_EQ(Bytes(r[128].begin(), r[128].begin() + 7), (Bytes{0, 1, 0x30, 1, 0x0A, 0, 2}));
}

TEST_F(Camera, SecondDetectionTriesTheRecordedAddressFirst) {
    const int s = typed(0);
    qmsl_sim::place_i2c_device(phone(), 0x10);
    qmsl_sim::place_i2c_device(phone(), 0x45, {{0x2560, {0x24, 0x00}}});
    int model = -1;
    ASSERT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), 0);
    phone().clear_journal();
    tracer_test::clear_lines();

    model = -1;
    EXPECT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), 0);
    EXPECT_EQ(model, 8);
    const Lines l = lines();
    ASSERT_EQ(l.size(), 5u);
    EXPECT_EQ(l[1], "(3I)    *** First Addr found at 69");
    EXPECT_EQ(l[2], "(3I)    *** Device found at 0x45 :: 00");
    EXPECT_EQ(l[3], "(3I)    [Probing Biomorphic...]");
    EXPECT_EQ(i2cRequests().size(), 2u);  // no bus scan
}

TEST_F(Camera, EveryCameraButCamera1SharesOneRecordedAddress) {
    const int s = typed(0);
    qmsl_sim::place_i2c_device(phone(), 0x47, {{0x2560, {0x26, 0x00}}});
    int model = -1;
    ASSERT_EQ(_Tessel_SpecialGetCameraID(s, &model, 2, F, L), 0);
    tracer_test::clear_lines();
    ASSERT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), 0);
    EXPECT_TRUE(hasLine("*** First Addr found at -1"));
    tracer_test::clear_lines();
    ASSERT_EQ(_Tessel_SpecialGetCameraID(s, &model, 3, F, L), 0);
    EXPECT_TRUE(hasLine("*** First Addr found at 71"));
}

TEST_F(Camera, ARecordedAddressThatNoLongerAnswersLeadsToTheBusScan) {
    const int s = typed(0);
    qmsl_sim::place_i2c_device(phone(), 0x45, {{0x2560, {0x18, 0x00}}});
    int model = -1;
    ASSERT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), 0);
    qmsl_sim::i2c_bus(phone()).devices = {0x21};
    qmsl_sim::place_i2c_device(phone(), 0x21, {{0x0A, {0x76, 0x73}}});
    tracer_test::clear_lines();
    EXPECT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), 0);
    EXPECT_EQ(model, 11);
    EXPECT_TRUE(hasLine("*** First Addr found at 69"));
    EXPECT_FALSE(hasLine("Device found at 0x45"));
    EXPECT_TRUE(hasLine("(3I)    *** Device found at 0x21 :: 00"));
}

TEST_F(Camera, NoSensorAtAllGivesInvalidWithIdsOf0) {
    const int s = typed(0);
    noDevices();
    int model = -1;
    EXPECT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), kLib);
    EXPECT_EQ(model, TESSEL_CAMERA_MODEL_INVALID);
    EXPECT_EQ(i2cRequests().size(), 128u);
    EXPECT_FALSE(hasLine("Device found"));
    EXPECT_EQ(lines().back(), std::string("(3A) E  _Tessel_SpecialGetCameraID( cID[]=0000, *eCamera=12(") +
                                  Get_cCameraModel(12) + ") ) = 0xbffc19f7 (ERROR)   ");
}

TEST_F(Camera, AnUnknownIdIsNoSensorButItsAddressIsRecorded) {
    const int s = typed(0);
    qmsl_sim::place_i2c_device(phone(), 0x45, {{0x2560, {0x99, 0x00}}});
    int model = -1;
    EXPECT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), kLib);
    EXPECT_EQ(model, TESSEL_CAMERA_MODEL_INVALID);
    EXPECT_TRUE(hasLine("cID[]=9900, *eCamera=12("));
    tracer_test::clear_lines();
    EXPECT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), kLib);
    EXPECT_TRUE(hasLine("*** First Addr found at 69"));
}

TEST_F(Camera, AFailedIdReadIsTracedAndNotRecorded) {
    const int s = typed(0);
    qmsl_sim::place_i2c_device(phone(), 0x45, {{0x2560, {0x18, 0x00}}});
    // the scan's one-byte read at 0x45 answers; the identification read fails
    int calls = 0;
    phone().add_responder(qmsl_sim::Channel::Sync, [&calls](qmsl_sim::Phone&, const Bytes& req) -> std::optional<Bytes> {
        if (req.size() > 16 && req[4] == 15 && req[12] == 0x45 && req[13] == 2) {
            ++calls;
            Bytes reply(req.begin(), req.begin() + 10);
            reply.resize(14, 0);
            reply[10] = 1;  // status: the read failed
            return reply;
        }
        return std::nullopt;
    });
    int model = -1;
    EXPECT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), kLib);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(hasLine("(3I)    [I2C call failed.]"));
    tracer_test::clear_lines();
    EXPECT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), kLib);
    EXPECT_TRUE(hasLine("*** First Addr found at -1"));
}

TEST_F(Camera, AgilentNeedsItsSecondIdByteToBe0) {
    const int s = typed(0);
    qmsl_sim::place_i2c_device(phone(), 0x51, {{0x01, {0x59, 0x01}}});
    int model = -1;
    EXPECT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), kLib);
    EXPECT_EQ(model, TESSEL_CAMERA_MODEL_INVALID);
    EXPECT_TRUE(hasLine("cID[]=5901, *eCamera=12("));
}

TEST_F(Camera, AFailedAgilentWriteSkipsTheReadAndIsNotRecorded) {
    const int s = typed(0);
    qmsl_sim::place_i2c_device(phone(), 0x51, {{0x01, {0x59, 0x00}}});
    // the scan's last read arms a failure of the next exchange: the probe's write
    phone().add_responder(qmsl_sim::Channel::Sync, [](qmsl_sim::Phone& ph, const Bytes& req) -> std::optional<Bytes> {
        if (req.size() > 16 && req[4] == 15 && req[10] == 0 && req[12] == 0x7F)
            ph.inject("QLIB_SendSync", qmsl_sim::Fault{qmsl_sim::Fault::FalseResult});
        return std::nullopt;
    });
    int model = -1;
    EXPECT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), kLib);
    EXPECT_EQ(model, TESSEL_CAMERA_MODEL_INVALID);
    EXPECT_TRUE(hasLine("(3I)    [Probing Agilent...]"));
    EXPECT_TRUE(hasLine("(3I)    [I2C call failed.]"));
    EXPECT_EQ(i2cRequests().size(), 129u);  // the scan and the failed write; no identification read
    tracer_test::clear_lines();
    EXPECT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), kLib);
    EXPECT_TRUE(hasLine("*** First Addr found at -1"));
}

TEST_F(Camera, SemcoIsRecordedEvenWhenItsCallsFail) {
    const int s = typed(0);
    qmsl_sim::place_i2c_device(phone(), 0x5D, {{0xFF, {0x14, 0x3A}}});
    // the scan's one-byte read at 0x5D answers; the write and the identification read fail
    int calls = 0;
    phone().add_responder(qmsl_sim::Channel::Sync, [&calls](qmsl_sim::Phone&, const Bytes& req) -> std::optional<Bytes> {
        if (req.size() > 16 && req[4] == 15 && req[12] == 0x5D && req[13] == 1) {
            ++calls;
            Bytes reply(req.begin(), req.begin() + 10);
            reply.resize(14, 0);
            reply[10] = 1;  // status: the call failed
            return reply;
        }
        return std::nullopt;
    });
    int model = -1;
    EXPECT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), kLib);
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(hasLine("(3I)    [Probing SEMCO...]"));
    EXPECT_TRUE(hasLine("(3I)    [I2C call failed.]"));
    tracer_test::clear_lines();
    EXPECT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), kLib);
    EXPECT_TRUE(hasLine("*** First Addr found at 93"));
}

TEST_F(Camera, DetectionOnAnUnconnectedSessionMakesNoCall) {
    const int s = openSession();
    int model = -1;
    EXPECT_EQ(_Tessel_SpecialGetCameraID(s, &model, 1, F, L), kLib);
    EXPECT_EQ(model, TESSEL_CAMERA_MODEL_INVALID);
    EXPECT_EQ(phone().count("QLIB_SendSync"), 0u);
}

// --- the extension library's identity ---------------------------------------------

class CameraExtId : public Camera {
protected:
    // A phone of model code 52, whose camera 0 answers at slave 0x45, register 0x222F.
    int model52(std::uint8_t id) {
        const int s = typed(0);
        identifyAsModel(52);
        qmsl_sim::ext_ftm(phone()).i2c[{0x45, 0x222F}] = {id};
        return s;
    }
};

TEST_F(CameraExtId, Id18IsModel0) {
    const int s = model52(0x18);
    int model = -1;
    EXPECT_EQ(_Tessel_SpecialExtGetCameraId(s, &model, 0, F, L), 0);
    EXPECT_EQ(model, 0);
    EXPECT_FALSE(hasLine("not supported"));
}

TEST_F(CameraExtId, AnyOtherIdIsNotSupported) {
    const int s = model52(0x19);
    int model = -1;
    EXPECT_EQ(_Tessel_SpecialExtGetCameraId(s, &model, 0, F, L), kLib);
    EXPECT_EQ(model, -1);
    EXPECT_TRUE(hasLine("(3I)    [ERROR: Mobile type not supported.]"));
}

TEST_F(CameraExtId, AFailedReadIsALibraryError) {
    const int s = model52(0x18);
    phone().inject("QLIB_FTM_CAMERA_START", qmsl_sim::Fault{});
    int model = -1;
    EXPECT_EQ(_Tessel_SpecialExtGetCameraId(s, &model, 0, F, L), kLib);
    EXPECT_EQ(model, -1);
}

TEST_F(CameraExtId, UnconnectedSessionMakesNoCall) {
    const int s = openSession();
    int model = -1;
    EXPECT_EQ(_Tessel_SpecialExtGetCameraId(s, &model, 0, F, L), kLib);
    EXPECT_EQ(phone().journal.size(), 0u);
    EXPECT_FALSE(hasLine("not supported"));
}

} // namespace
