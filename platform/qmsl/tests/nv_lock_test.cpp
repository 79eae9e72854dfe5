#include "qmsl_build.h"
#include "qmsl_diag.h"
#include "qmsl_sim.h"

#include "sim_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr unsigned kPort = 8;

class Locked : public qmsl_test::ConnectedTest<kPort> {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(start());
        phone().set_nv(85, {'1', '2', '3', '4', '5', '6'});
        phone().set_nv(3252, {3});
    }
};

TEST_F(Locked, ServiceCodeReadIsAFailedCallWithoutNvStatus) {
    phone().locked = true;
    unsigned char data[6] = {};
    unsigned short st = 0xABCD;
    EXPECT_EQ(QLIB_DIAG_NV_READ_F(h, 85, data, 6, &st), 0);
    EXPECT_EQ(st, 0xABCD);
    EXPECT_EQ(data[0], 0);
    EXPECT_EQ(phone().count("QLIB_DIAG_NV_READ_F"), 1u);  // it reached the phone
}

TEST_F(Locked, ServiceCodeWriteIsRefusedAndLeavesTheItem) {
    phone().locked = true;
    const unsigned char code[6] = {'0', '0', '0', '0', '0', '0'};
    unsigned short st = 0xABCD;
    EXPECT_EQ(QLIB_DIAG_NV_WRITE_F(h, 85, code, 6, &st), 0);
    EXPECT_EQ(st, 0xABCD);
    EXPECT_EQ(phone().nv[85].data[0], '1');
}

TEST_F(Locked, OtherItemsStayReadable) {
    phone().locked = true;
    unsigned char tries = 0;
    unsigned short st = 1;
    ASSERT_EQ(QLIB_DIAG_NV_READ_F(h, 3252, &tries, 1, &st), 1);
    EXPECT_EQ(st, 0);
    EXPECT_EQ(tries, 3);
}

TEST_F(Locked, UnlockedPhoneGivesTheServiceCode) {
    unsigned char data[6] = {};
    unsigned short st = 1;
    ASSERT_EQ(QLIB_DIAG_NV_READ_F(h, 85, data, 6, &st), 1);
    EXPECT_EQ(st, 0);
    EXPECT_EQ(std::string(data, data + 6), "123456");
}

TEST_F(Locked, ModelTextComesBackAsTheTestSetIt) {
    phone().profile.model_text = "abc;defg;07rest";
    unsigned int msm = 0, model = 0;
    char rev[QMSL_BUILD_TEXT_MAX] = {}, text[QMSL_BUILD_TEXT_MAX] = {};
    ASSERT_EQ(QLIB_DIAG_EXT_BUILD_ID_F(h, &msm, &model, rev, text), 1);
    EXPECT_STREQ(text, "abc;defg;07rest");
}

} // namespace
