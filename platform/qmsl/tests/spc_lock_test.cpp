// The service programming code model of the simulated phone.
#include "qmsl_diag.h"
#include "qmsl_diag_misc.h"
#include "qmsl_spc_sim.h"

#include "sim_test_support.h"

#include "pclock.h"

#include <gtest/gtest.h>

namespace {

class SpcLockTest : public qmsl_test::ConnectedTest<4> {
protected:
    bool readCode(std::string& code) {
        unsigned char buf[6] = {};
        unsigned short st = 0;
        if (!QLIB_DIAG_NV_READ_F(h, 85, buf, 6, &st)) return false;
        code.assign(reinterpret_cast<char*>(buf), 6);
        return st == 0;
    }
};

TEST_F(SpcLockTest, TheRightCodeOpensALockedPhoneAndKeepsItsTries) {
    qmsl_sim::use_spc_lock(phone(), {"123456", 5, true, 5000});
    std::string code;
    EXPECT_FALSE(readCode(code));
    unsigned char result = 9;
    ASSERT_TRUE(QLIB_DIAG_SPC_F(h, "123456", &result));
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(phone().locked);
    EXPECT_TRUE(readCode(code));
    EXPECT_EQ(code, "123456");
    EXPECT_EQ(qmsl_sim::spc_tries(phone()), 5);
}

TEST_F(SpcLockTest, AWrongCodeLocksCostsATryAndSilencesThePhoneForAWhile) {
    qmsl_sim::use_spc_lock(phone(), {"123456", 5, false, 4000});
    unsigned char result = 9;
    ASSERT_TRUE(QLIB_DIAG_SPC_F(h, "293746", &result));
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(phone().locked);
    EXPECT_EQ(qmsl_sim::spc_tries(phone()), 4);
    EXPECT_EQ(QLIB_IsPhoneConnected(h), 0);
    pclock::sleep_ms(3999);
    EXPECT_EQ(QLIB_IsPhoneConnected(h), 0);
    pclock::sleep_ms(1);
    EXPECT_EQ(QLIB_IsPhoneConnected(h), 1);
    EXPECT_EQ(phone().power(), qmsl_sim::Power::Online);
}

TEST_F(SpcLockTest, WithoutTriesEvenTheRightCodeIsRefused) {
    qmsl_sim::use_spc_lock(phone(), {"123456", 0, true, 0});
    unsigned char result = 9;
    ASSERT_TRUE(QLIB_DIAG_SPC_F(h, "123456", &result));
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(phone().locked);
    EXPECT_EQ(qmsl_sim::spc_tries(phone()), 0);
}

TEST_F(SpcLockTest, APhoneSilentForGoodNeverAnswersAgain) {
    qmsl_sim::use_spc_lock(phone(), {"123456", 5, false, -1});
    unsigned char result = 9;
    ASSERT_TRUE(QLIB_DIAG_SPC_F(h, "000000", &result));
    pclock::sleep_ms(600000);
    EXPECT_EQ(QLIB_IsPhoneConnected(h), 0);
}

TEST_F(SpcLockTest, TheCodeWrittenIntoNv85IsTheOneChecked) {
    qmsl_sim::use_spc_lock(phone(), {"123456", 5, false, 0});
    unsigned short st = 9;
    ASSERT_TRUE(QLIB_DIAG_NV_WRITE_F(h, 85, reinterpret_cast<const unsigned char*>("654321"), 6, &st));
    EXPECT_EQ(st, 0);
    unsigned char result = 9;
    ASSERT_TRUE(QLIB_DIAG_SPC_F(h, "654321", &result));
    EXPECT_EQ(result, 1);
}

} // namespace
