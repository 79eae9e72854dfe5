// The flip sensor and the camera procedures: the camera switch through the
// pins and the sensor identity over I2C.
#include "peripheral_support.h"
#include "qmsl_camera_sim.h"
#include "qmsl_ext_ftm.h"

namespace {

using periphtest::Pokes;
constexpr std::uint32_t bit(unsigned n) { return 1u << n; }

class Camera : public ProcedureTest {
protected:
    qmsl_sim::MemoryMap& mem() { return qmsl_sim::memory(phone()); }
};

// --- flip sensor ----------------------------------------------------------------------

struct FlipCase {
    const char* name;
    unsigned model;
    unsigned char skip;
    std::uint32_t first, input, output;  // registers 0x48000004, 0x48000064, 0x4800000C
    bool ok;
    char state;
    std::uint32_t secondAddress;  // 0: no second reading
};
void PrintTo(const FlipCase& c, std::ostream* os) { *os << c.name; }

class Flip : public Camera, public ::testing::WithParamInterface<FlipCase> {};

TEST_P(Flip, ReadsTheSensorPins) {
    const FlipCase& c = GetParam();
    periphtest::usePhoneModel(phone(), c.model);
    mem().preset(0x48000004, c.first);
    mem().preset(0x48000064, c.input);
    mem().preset(0x4800000C, c.output);
    char state = 'x';
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(KAVOR_FTM_TestFlip(h, &state, c.skip), c.ok ? 1 : 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), c.ok ? "" : "\nNot support this model");
    EXPECT_EQ(state, c.ok ? c.state : 'x');
    std::vector<long long> peeked;
    for (const auto& e : phone().calls("QLIB_DIAG_MEMORY_PEEK_DWORD_F")) peeked.push_back(e.args[0]);
    if (c.secondAddress) {
        EXPECT_EQ(peeked, (std::vector<long long>{0x48000004, c.secondAddress}));
    } else {
        EXPECT_TRUE(peeked.empty());
    }
    // Skipping the model query sends no build-id request.
    EXPECT_EQ(phone().count("QLIB_DIAG_EXT_BUILD_ID_F") > 0, c.skip == 0);
    EXPECT_EQ(phone().count("QLIB_DIAG_MEMORY_POKE_DWORD_F"), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Flip,
    ::testing::Values(FlipCase{"FirstLowReadsTheInput", 3, 0, 0, bit(9), 0, true, '1', 0x48000064},
                      FlipCase{"FirstLowInputLow", 3, 0, 0, 0, bit(9), true, '0', 0x48000064},
                      FlipCase{"FirstHighReadsTheOutput", 3, 0, bit(9), bit(9), 0, true, '0', 0x4800000C},
                      FlipCase{"FirstHighOutputHigh", 3, 0, bit(9) | 1, 0, bit(9), true, '1', 0x4800000C},
                      FlipCase{"SkipLeavesTheModelUnknown", 3, 1, 0, bit(9), 0, false, 0, 0},
                      FlipCase{"Model52Unsupported", 52, 0, 0, 0, 0, false, 0, 0},
                      FlipCase{"UnknownModelUnsupported", 0, 0, 0, 0, 0, false, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Camera, FlipLinesShowEachReading) {
    periphtest::usePhoneModel(phone(), 3);
    mem().preset(0x48000004, bit(9) | 3);
    mem().preset(0x4800000C, 0);
    char state = 'x';
    EXPECT_EQ(KAVOR_FTM_TestFlip(h, &state, 0), 1);
    EXPECT_TRUE(logged("\tKAVOR_Phone_Model(piVerNumber = 8, piMSMModel = 2, piPhoneModel = 3) - Completed successfully\n"));
    EXPECT_TRUE(logged("\tKX_GetBitState_32_Reg(Address = 1207959556, bitNum = 9, reg = 515, bOnOff = 1) - Completed successfully\n"));
    EXPECT_EQ(log().back(), "\tKX_GetBitState_32_Reg(Address = 1207959564, bitNum = 9, reg = 0, bOnOff = 0) - Completed successfully\n");
    EXPECT_EQ(countLogged("\t\tKX_GetBitState_32_Reg() start"), 2u);
}

TEST_F(Camera, FlipStopsAtAFailedReading) {
    periphtest::usePhoneModel(phone(), 3);
    phone().inject("QLIB_DIAG_MEMORY_PEEK_DWORD_F", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    char state = 'x';
    EXPECT_EQ(KAVOR_FTM_TestFlip(h, &state, 0), 0);
    EXPECT_EQ(state, 'x');
    EXPECT_EQ(log().back(), "\tKX_GetBitState_32_Reg(Address = 1207959556, bitNum = 9, reg = 0, bOnOff = 0) - Failure\n");
    EXPECT_EQ(phone().count("QLIB_DIAG_MEMORY_PEEK_DWORD_F"), 1u);
}

TEST_F(Camera, FlipChecksTheHandleFirst) {
    phone().set_power(qmsl_sim::Power::Off);
    char state = 'x';
    EXPECT_EQ(KAVOR_FTM_TestFlip(h, &state, 0), 0);
    EXPECT_EQ(log(), std::vector<std::string>{"\tInvalid handle - Failure\n"});
}

TEST_F(Camera, BitReadRefusesABitAbove31) {
    unsigned int reg = 7;
    char on = 'x';
    EXPECT_FALSE(procedures().getBitState32Reg(0x48000004, 32, &reg, &on));
    EXPECT_EQ(log().back(), "\tbitNum over the range: 32");
    EXPECT_EQ(phone().count("QLIB_DIAG_MEMORY_PEEK_DWORD_F"), 0u);
    mem().preset(0x48000004, 0x80000000);
    EXPECT_TRUE(procedures().getBitState32Reg(0x48000004, 31, &reg, &on));
    EXPECT_EQ(reg, 0x80000000u);
    EXPECT_EQ(on, '1');
}

// --- camera switch -----------------------------------------------------------------

struct SwitchCase {
    const char* name;
    unsigned model;
    unsigned char camera;
    Pokes pokes;  // from registers that start at 0
    int lineCamera;
};
void PrintTo(const SwitchCase& c, std::ostream* os) { *os << c.name; }

class CameraSwitch : public Camera, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(CameraSwitch, DrivesTheSequenceOfTheCamera) {
    const SwitchCase& c = GetParam();
    periphtest::usePhoneModel(phone(), c.model);
    EXPECT_EQ(KAVOR_FTM_TARV_CAMERA_SWITCH(h, c.camera), 1);
    EXPECT_EQ(periphtest::dwordPokes(phone()), c.pokes);
    EXPECT_EQ(log().back(), "\tKAVOR_FTM_TARV_CAMERA_SWITCH(iCameraNum = " + std::to_string(c.lineCamera) +
                                ") - Completed successfully\n");
}

// Camera 0: 0x48000000/08 bit 2 -> 0, 0x48000004/0C bit 10 -> 0, 0x84000158/64 bit 20 -> 1, 0x48000000/08 bit 5 -> 1.
const Pokes kCamera0{{0x48000000, bit(2)},           {0x48000008, 0},         {0x48000004, bit(10)},
                     {0x4800000C, 0},                {0x84000158, bit(20)},   {0x84000164, bit(20)},
                     {0x48000000, bit(2) | bit(5)},  {0x48000008, bit(5)}};
// Camera 1: 0x84000158/64 bit 20 -> 0, 0x48000000/08 bit 5 -> 0, bit 2 -> 1, 0x48000004/0C bit 10 -> 1.
const Pokes kCamera1{{0x84000158, bit(20)},          {0x84000164, 0},         {0x48000000, bit(5)},
                     {0x48000008, 0},                {0x48000000, bit(5) | bit(2)}, {0x48000008, bit(2)},
                     {0x48000004, bit(10)},          {0x4800000C, bit(10)}};

INSTANTIATE_TEST_SUITE_P(Models, CameraSwitch,
                         ::testing::Values(SwitchCase{"Model52Camera0", 52, 0, kCamera0, 0},
                                           SwitchCase{"Model53Camera1", 53, 1, kCamera1, 1},
                                           SwitchCase{"Model55Camera0", 55, 0, kCamera0, 0},
                                           SwitchCase{"Model54Camera0RunsCamera1", 54, 0, kCamera1, 1},
                                           SwitchCase{"Model54Camera1RunsCamera0", 54, 1, kCamera0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Camera, CameraSwitchPinLines) {
    periphtest::usePhoneModel(phone(), 52);
    EXPECT_EQ(KAVOR_FTM_TARV_CAMERA_SWITCH(h, 0), 1);
    EXPECT_TRUE(logged("\tKX_SetBitState_32_Reg(Address = 1207959552,  mask = 4, bOnOff = 1) - Completed successfully\n"));
    EXPECT_TRUE(logged("\tKX_SetBitState_32_Reg(Address = 1207959560,  mask = 4, bOnOff = 0) - Completed successfully\n"));
    EXPECT_TRUE(logged("\tKX_SetBitState_32_Reg(Address = 2214592868,  mask = 1048576, bOnOff = 1) - Completed successfully\n"));
}

struct SwitchRefused {
    const char* name;
    unsigned model;
    unsigned char camera;
    const char* line;
};
void PrintTo(const SwitchRefused& c, std::ostream* os) { *os << c.name; }

class CameraSwitchRefused : public Camera, public ::testing::WithParamInterface<SwitchRefused> {};

TEST_P(CameraSwitchRefused, TouchesNoRegister) {
    periphtest::usePhoneModel(phone(), GetParam().model);
    EXPECT_EQ(KAVOR_FTM_TARV_CAMERA_SWITCH(h, GetParam().camera), 0);
    EXPECT_EQ(log().back(), GetParam().line);
    EXPECT_EQ(phone().count("QLIB_DIAG_MEMORY_PEEK_DWORD_F"), 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, CameraSwitchRefused,
                         ::testing::Values(SwitchRefused{"Model3", 3, 0, "\t\tWrong mobile model"},
                                           SwitchRefused{"Model34", 34, 1, "\t\tWrong mobile model"},
                                           SwitchRefused{"Model23", 23, 1, "\t\tWrong mobile model"},
                                           SwitchRefused{"Camera2", 52, 2, "\t\tWrong camera number (2)"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Camera, CameraSwitchStopsAtAPinThatDoesNotFollow) {
    periphtest::usePhoneModel(phone(), 52);
    mem().ignore_pokes(0x4800000C);
    mem().preset(0x4800000C, bit(10));
    EXPECT_EQ(KAVOR_FTM_TARV_CAMERA_SWITCH(h, 0), 0);
    EXPECT_EQ(log().back(), "\tKX_SetBitState_32_Reg(Address = 1207959564,  mask = 1024, bOnOff = 0) - Failure\n");
    EXPECT_EQ(periphtest::dwordPokes(phone()).size(), 4u);
}

// --- camera identity -------------------------------------------------------------------

struct IdCase {
    const char* name;
    unsigned model;
    unsigned char camera;
    std::uint8_t slave;
    std::uint16_t reg;
    std::uint8_t regLength;
};
void PrintTo(const IdCase& c, std::ostream* os) { *os << c.name; }

class CameraId : public Camera, public ::testing::WithParamInterface<IdCase> {
protected:
    // The I2C read requests (extension-FTM command 15) sent.
    std::vector<std::vector<std::uint8_t>> i2cRequests() {
        std::vector<std::vector<std::uint8_t>> r;
        for (const auto& e : phone().calls("QLIB_SendSync"))
            if (e.bytes.size() > 16 && e.bytes[3] == 0x80 && e.bytes[4] == 15) r.push_back(e.bytes);
        return r;
    }
};

TEST_P(CameraId, ReadsTheSensorOfTheModel) {
    const IdCase& c = GetParam();
    periphtest::usePhoneModel(phone(), c.model);
    qmsl_sim::ext_ftm(phone()).i2c[{c.slave, c.reg}] = {0x18};
    unsigned short id = 0xFFFF;
    EXPECT_EQ(KAVOR_FTM_I2C_GetCameraId(h, c.camera, &id), 1);
    EXPECT_EQ(id, 0x18);
    auto requests = i2cRequests();
    ASSERT_EQ(requests.size(), 1u);
    // type 0 (read), second byte 0, slave, register-address length, register, one data byte
    EXPECT_EQ(requests[0][10], 0);
    EXPECT_EQ(requests[0][12], c.slave);
    EXPECT_EQ(requests[0][13], c.regLength);
    EXPECT_EQ(requests[0][14] | (requests[0][15] << 8), c.reg);
    EXPECT_EQ(requests[0][16], 1);
    EXPECT_EQ(qmsl_sim::camera(phone()).sensor, c.camera);
    EXPECT_FALSE(qmsl_sim::camera(phone()).running);
    const auto lines = log();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2],
              "\tKAVOR_FTM_I2C_GetCameraId(iCamNum = " + std::to_string(c.camera) + ", iCamId = 24) - Completed successfully\n");
    EXPECT_EQ(lines.back(), "\t\tKAVOR_FTM_I2C_GetCameraId - finish");
}

INSTANTIATE_TEST_SUITE_P(Models, CameraId,
                         ::testing::Values(IdCase{"Model52Camera0", 52, 0, 0x45, 0x222F, 2},
                                           IdCase{"Model3Camera0", 3, 0, 0x45, 0x222F, 2},
                                           IdCase{"Model34Camera0", 34, 0, 0x45, 0x222F, 2},
                                           IdCase{"Model23Camera1", 23, 1, 0x51, 0x0000, 1},
                                           IdCase{"Model13Camera1", 13, 1, 0x51, 0x0000, 1},
                                           IdCase{"Model53Camera1", 53, 1, 0x47, 0x2560, 2},
                                           IdCase{"Model3Camera1", 3, 1, 0x21, 0x000B, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Camera, CameraIdLinesOfTheCameraCalls) {
    periphtest::usePhoneModel(phone(), 3);
    unsigned short id = 0;
    EXPECT_EQ(KAVOR_FTM_I2C_GetCameraId(h, 1, &id), 1);
    EXPECT_TRUE(logged("\tQLIB_FTM_CAMERA_SET_SENSOR_ID(iCamNum = 1, piCameraStatus = 0) - Completed successfully\n"));
    EXPECT_TRUE(logged("\tQLIB_FTM_CAMERA_START(piCameraStatus = 0) - Completed successfully\n"));
    EXPECT_TRUE(logged("\tQLIB_FTM_CAMERA_STOP(piCameraStatus = 0) - Completed successfully\n"));
    EXPECT_EQ(phone().calls("QLIB_FTM_CAMERA_SET_SENSOR_ID")[0].args, std::vector<long long>{1});
}

struct CameraStatusCase {
    const char* name;
    const char* fn;
    const char* line;
    std::size_t stops;
};
void PrintTo(const CameraStatusCase& c, std::ostream* os) { *os << c.name; }

class CameraIdStatus : public Camera, public ::testing::WithParamInterface<CameraStatusCase> {};

TEST_P(CameraIdStatus, AnyCameraStatusButZeroFails) {
    periphtest::usePhoneModel(phone(), 3);
    qmsl_sim::camera(phone()).statuses[GetParam().fn] = 4;
    unsigned short id = 0x55;
    EXPECT_EQ(KAVOR_FTM_I2C_GetCameraId(h, 0, &id), 0);
    EXPECT_EQ(id, 0x55);
    EXPECT_EQ(log().back(), GetParam().line);
    EXPECT_EQ(phone().count("QLIB_FTM_CAMERA_STOP"), GetParam().stops);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, CameraIdStatus,
    ::testing::Values(
        CameraStatusCase{"SetSensorId", "QLIB_FTM_CAMERA_SET_SENSOR_ID",
                         "\tQLIB_FTM_CAMERA_SET_SENSOR_ID(iCamNum = 0, piCameraStatus = 4) - Failure\n", 0},
        CameraStatusCase{"Start", "QLIB_FTM_CAMERA_START", "\tQLIB_FTM_CAMERA_START(piCameraStatus = 4) - Failure\n", 0},
        CameraStatusCase{"Stop", "QLIB_FTM_CAMERA_STOP", "\tQLIB_FTM_CAMERA_STOP(piCameraStatus = 4) - Failure\n", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Camera, CameraIdFailedReadStillStopsTheCamera) {
    periphtest::usePhoneModel(phone(), 3);  // identifies without a send
    phone().inject("QLIB_SendSync", {qmsl_sim::Fault::NoReply, 0, {}, 0, -1});
    unsigned short id = 0x55;
    EXPECT_EQ(KAVOR_FTM_I2C_GetCameraId(h, 1, &id), 0);
    EXPECT_EQ(id, 0x55);
    EXPECT_FALSE(qmsl_sim::camera(phone()).running);
    EXPECT_EQ(phone().count("QLIB_FTM_CAMERA_STOP"), 1u);
    const auto lines = log();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "\tQLIB_FTM_CAMERA_STOP(piCameraStatus = 0) - Completed successfully\n");
    EXPECT_EQ(lines[lines.size() - 2], "\tKAVOR_FTM_I2C_GetCameraId(iCamNum = 1) - Failure\n");
    EXPECT_EQ(lines.back(), "\t\tKAVOR_FTM_I2C_GetCameraId - finish");
    // Printed numbers in hexadecimal read "<ptr>" in the fixture's log.
    EXPECT_TRUE(logged("\tKAVOR_FTM_I2C_DATA_ACCESS2(iI2C_SlaveAddr = <ptr>, iI2C_RegAddr = 0xB) - Failure\n"));
}

struct IdRefused {
    const char* name;
    unsigned model;
    unsigned char camera;
    const char* line;
    std::size_t buildIdQueries;
};
void PrintTo(const IdRefused& c, std::ostream* os) { *os << c.name; }

class CameraIdRefused : public Camera, public ::testing::WithParamInterface<IdRefused> {};

TEST_P(CameraIdRefused, StartsNoCamera) {
    periphtest::usePhoneModel(phone(), GetParam().model);
    unsigned short id = 0x55;
    EXPECT_EQ(KAVOR_FTM_I2C_GetCameraId(h, GetParam().camera, &id), 0);
    EXPECT_EQ(id, 0x55);
    EXPECT_EQ(log().back(), GetParam().line);
    EXPECT_EQ(phone().count("QLIB_FTM_CAMERA_SET_SENSOR_ID"), 0u);
    EXPECT_EQ(phone().count("QLIB_DIAG_EXT_BUILD_ID_F") > 0, GetParam().buildIdQueries > 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, CameraIdRefused,
                         ::testing::Values(IdRefused{"Camera2", 52, 2, "\tParameter iCamId over the range (0-1).", 0},
                                           IdRefused{"Model34Camera1", 34, 1, "\t\tWrong mobile model", 1},
                                           IdRefused{"UnknownModelCamera1", 0, 1, "\t\tWrong mobile model", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
