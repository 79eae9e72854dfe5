// A phone told to answer extension-FTM commands only in FTM mode leaves them
// unanswered in every other mode; by default it answers them in any mode.
#include "qmsl_ext_ftm.h"

#include "sim_test_support.h"

#include <gtest/gtest.h>

namespace {

using qmsl_sim::Power;

struct ModeCase {
    const char* name;
    bool onlyInFtm;
    Power power;
    bool answers;
};
const ModeCase kCases[] = {
    {"DefaultOnline", false, Power::Online, true},   {"DefaultFtm", false, Power::Ftm, true},
    {"OnlyFtmOnline", true, Power::Online, false},   {"OnlyFtmOffline", true, Power::Offline, false},
    {"OnlyFtmInFtm", true, Power::Ftm, true},
};

class ExtFtmMode : public qmsl_test::FreshPhonesTest<::testing::TestWithParam<ModeCase>> {};

TEST_P(ExtFtmMode, AnswersTheHardwareVersion) {
    const ModeCase& c = GetParam();
    const QmslHandle h = QLIB_ConnectServer(3);
    qmsl_sim::Phone& p = qmsl_sim::phone(3);
    qmsl_sim::ext_ftm(p).answers_only_in_ftm = c.onlyInFtm;
    p.set_power(c.power);
    unsigned char req[12] = {0x4B, 0x0B, 0x00, 0x80, 10, 0, 2, 0, 0, 0, 0, 0};
    unsigned char reply[32] = {};
    unsigned short len = sizeof reply;
    EXPECT_EQ(QLIB_SendSync(h, sizeof req, req, &len, reply, 100) != 0, c.answers);
}

INSTANTIATE_TEST_SUITE_P(Modes, ExtFtmMode, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
