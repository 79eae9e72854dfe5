// The simulated phone's IrDA transmit-receive test: LTM command 1340 switches
// it, and only when the phone answered.
#include "qmsl_ext_ftm.h"

#include "sim_test_support.h"

#include <gtest/gtest.h>

namespace {

class IrdaSwitch : public qmsl_test::ConnectedTest<4> {
protected:
    // An LTM request: the 10-byte header, then 0, the switch, 12.
    bool send(std::uint16_t id, std::uint8_t on) {
        const unsigned char req[13] = {0x4B, 0x0B, 0x01, 0x80, static_cast<unsigned char>(id & 0xFF),
                                       static_cast<unsigned char>(id >> 8), 3, 0, 0, 0, 0, on, 12};
        unsigned char reply[64];
        unsigned short n = sizeof reply;
        return QLIB_SendSync(h, sizeof req, req, &n, reply, 1000) != 0;
    }
    bool on() { return qmsl_sim::ext_ftm(phone()).irda_test; }
};

TEST_F(IrdaSwitch, Command1340SwitchesTheTest) {
    EXPECT_FALSE(on());
    ASSERT_TRUE(send(1340, 1));
    EXPECT_TRUE(on());
    ASSERT_TRUE(send(1354, 0));  // the result query leaves it as it is
    EXPECT_TRUE(on());
    ASSERT_TRUE(send(1340, 0));
    EXPECT_FALSE(on());
}

TEST_F(IrdaSwitch, UnansweredCommandSwitchesNothing) {
    qmsl_sim::phone(4).inject("QLIB_SendSync", {qmsl_sim::Fault::NoReply, 0, {}, 0, 1});
    EXPECT_FALSE(send(1340, 1));
    EXPECT_FALSE(on());
}

} // namespace
