// The simulated phone's I2C bus, the camera's picture commands, the polar
// transmitter's calls and the answer to the raw GSM TX sweep request.
#include "qmsl_agps.h"
#include "qmsl_camera_picture.h"
#include "qmsl_camera_sim.h"
#include "qmsl_ext_ftm.h"
#include "qmsl_i2c_sim.h"
#include "qmsl_polar_tx.h"
#include "qmsl_port.h"

#include "sim_test_support.h"

#include "pclock.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

class PeriphOps : public qmsl_test::ConnectedTest<4> {
protected:
    // An I2C read (extension-FTM command 15) of n bytes; the reply.
    Bytes i2cRead(std::uint8_t slave, std::uint16_t reg, std::uint8_t n) {
        Bytes req{0x4B, 0x0B, 0x00, 0x80, 15, 0, 7, 0, static_cast<std::uint8_t>(n + 12), 0,
                  0,    0,    slave, 2,   static_cast<std::uint8_t>(reg), static_cast<std::uint8_t>(reg >> 8), n};
        unsigned char reply[64] = {};
        unsigned short len = sizeof reply;
        EXPECT_EQ(QLIB_SendSync(h, static_cast<unsigned short>(req.size()), req.data(), &len, reply, 1000), 1);
        return Bytes(reply, reply + len);
    }
};

TEST_F(PeriphOps, AnUnmodelledBusAnswersAtEveryAddress) {
    const Bytes r = i2cRead(0x33, 0x10, 2);
    ASSERT_EQ(r.size(), 14u);
    EXPECT_EQ(r[10] | (r[11] << 8), 0);
}

TEST_F(PeriphOps, PlacedDevicesAnswerWithTheirRegisters) {
    qmsl_sim::place_i2c_device(phone(), 0x45, {{0x2560, {0x24, 0x01}}});
    const Bytes r = i2cRead(0x45, 0x2560, 2);
    ASSERT_EQ(r.size(), 14u);
    EXPECT_EQ(Bytes(r.begin() + 10, r.end()), (Bytes{0, 0, 0x24, 0x01}));
}

TEST_F(PeriphOps, AnAddressWithoutDeviceFailsAtOnce) {
    qmsl_sim::place_i2c_device(phone(), 0x45);
    const auto before = pclock::now_ms();
    const Bytes r = i2cRead(0x44, 0x2560, 2);
    EXPECT_EQ(pclock::now_ms(), before);
    ASSERT_EQ(r.size(), 12u);
    EXPECT_EQ(r[10] | (r[11] << 8), qmsl_sim::kI2cNoDevice);
    EXPECT_FALSE(qmsl_sim::i2c_answers(phone(), 0x44));
    EXPECT_TRUE(qmsl_sim::i2c_answers(phone(), 0x45));
}

TEST_F(PeriphOps, CameraPictureCallsAnswerTheStatusTableLast) {
    phone().set_outputs("QLIB_FTM_CAMERA_TAKE_PICTURE_AND_ENCODE", {4096});
    qmsl_sim::camera(phone()).statuses["QLIB_FTM_CAMERA_TAKE_PICTURE_AND_ENCODE"] = 3;
    int size = 0;
    unsigned short status = 0;
    EXPECT_EQ(QLIB_FTM_CAMERA_TAKE_PICTURE_AND_ENCODE(h, 90, 1, &size, &status), 1);
    EXPECT_EQ(size, 4096);
    EXPECT_EQ(status, 3);
    EXPECT_EQ(QLIB_FTM_CAMERA_STOP_PREVIEW(h, &status), 1);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(phone().calls("QLIB_FTM_CAMERA_TAKE_PICTURE_AND_ENCODE").size(), 1u);
    EXPECT_EQ(phone().calls("QLIB_FTM_CAMERA_TAKE_PICTURE_AND_ENCODE")[0].args, (std::vector<long long>{90, 1}));
}

TEST_F(PeriphOps, SweepAndSelfTestGiveTheOutputsATestSets) {
    phone().set_outputs("QLIB_FTM_TX_RSB_DC_SWEEP", {2});
    unsigned short status = 9;
    EXPECT_EQ(QLIB_FTM_TX_RSB_DC_SWEEP(h, 3, 1, 2, 3, 4, 5, &status), 1);
    EXPECT_EQ(status, 2);
    unsigned char result = 0;
    phone().set_outputs("QLIB_FTM_AGPS_SELF_TEST", {0x09});
    EXPECT_EQ(QLIB_FTM_AGPS_SELF_TEST(h, &result), 1);
    EXPECT_EQ(result, 0x09);
}

TEST_F(PeriphOps, TxSweepRequestIsAnsweredWithItsHeader) {
    const Bytes req{0x4B, 0x0B, 0x11, 0x00, 0x2C, 0x01, 4, 0, 10, 0, 1, 0, 2, 0};
    unsigned char reply[4096] = {};
    unsigned short len = sizeof reply;
    EXPECT_EQ(QLIB_SendSync(h, static_cast<unsigned short>(req.size()), req.data(), &len, reply, 2000), 1);
    ASSERT_EQ(len, 12u);
    EXPECT_EQ(Bytes(reply, reply + 10), Bytes(req.begin(), req.begin() + 10));
    ASSERT_EQ(phone().calls("QLIB_SendSync").size(), 1u);
    EXPECT_EQ(phone().calls("QLIB_SendSync")[0].bytes, req);
}

TEST_F(PeriphOps, OtherGroup0x11CommandsAreNotAnswered) {
    const Bytes req{0x4B, 0x0B, 0x11, 0x00, 0x2D, 0x01, 0, 0, 0, 0};
    unsigned char reply[64] = {};
    unsigned short len = sizeof reply;
    EXPECT_EQ(QLIB_SendSync(h, static_cast<unsigned short>(req.size()), req.data(), &len, reply, 100), 0);
}

} // namespace
