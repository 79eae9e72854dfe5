#include "qmsl_build.h"
#include "qmsl_sim.h"

#include "sim_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class BuildId : public qmsl_test::FreshPhonesTest<> {};

TEST_F(BuildId, AnswersFromTheProfile) {
    auto& p = qmsl_sim::phone(4);
    p.profile.msm_version = 0x120400E1;
    p.profile.model = 17;
    p.profile.build_id = "M6280A-PalC1A-1234";
    p.profile.model_text = "model text";
    QmslHandle h = QLIB_ConnectServer(4);
    unsigned int msm = 0, model = 0;
    char rev[QMSL_BUILD_TEXT_MAX], text[QMSL_BUILD_TEXT_MAX];
    ASSERT_EQ(QLIB_DIAG_EXT_BUILD_ID_F(h, &msm, &model, rev, text), 1);
    EXPECT_EQ(msm, 0x120400E1u);
    EXPECT_EQ(model, 17u);
    EXPECT_EQ(std::string(rev), "M6280A-PalC1A-1234");
    EXPECT_EQ(std::string(text), "model text");
    EXPECT_EQ(p.count("QLIB_DIAG_EXT_BUILD_ID_F"), 1u);
}

TEST_F(BuildId, LongTextIsCutAndTerminated) {
    auto& p = qmsl_sim::phone(4);
    p.profile.build_id = std::string(600, 'x');
    QmslHandle h = QLIB_ConnectServer(4);
    unsigned int msm = 0, model = 0;
    char rev[QMSL_BUILD_TEXT_MAX], text[QMSL_BUILD_TEXT_MAX];
    ASSERT_EQ(QLIB_DIAG_EXT_BUILD_ID_F(h, &msm, &model, rev, text), 1);
    EXPECT_EQ(std::string(rev), std::string(QMSL_BUILD_TEXT_MAX - 1, 'x'));
}

TEST_F(BuildId, FailsOnInjectionOrASilentPhone) {
    auto& p = qmsl_sim::phone(4);
    QmslHandle h = QLIB_ConnectServer(4);
    unsigned int msm = 0, model = 0;
    char rev[QMSL_BUILD_TEXT_MAX], text[QMSL_BUILD_TEXT_MAX];
    p.inject("QLIB_DIAG_EXT_BUILD_ID_F", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(QLIB_DIAG_EXT_BUILD_ID_F(h, &msm, &model, rev, text), 0);
    p.set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(QLIB_DIAG_EXT_BUILD_ID_F(h, &msm, &model, rev, text), 0);
}

} // namespace
