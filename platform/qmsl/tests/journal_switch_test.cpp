// The journal switch: with it off, calls still work but no phone keeps a
// record of them; reset() turns it on again.
#include "qmsl.h"
#include "qmsl_diag.h"
#include "qmsl_sim.h"

#include "sim_test_support.h"

#include <gtest/gtest.h>

namespace {

class JournalSwitch : public qmsl_test::FreshPhonesTest<> {
protected:
    // A connect, an NV write and read, and a text log line.
    static void work(QmslHandle h) {
        unsigned short st = 9;
        const unsigned char data[2] = {1, 2};
        unsigned char back[2] = {};
        EXPECT_EQ(QLIB_DIAG_NV_WRITE_F(h, 550, data, 2, &st), 1);
        EXPECT_EQ(QLIB_DIAG_NV_READ_F(h, 550, back, 2, &st), 1);
        EXPECT_EQ(back[1], 2);
        EXPECT_EQ(QLIB_AddUserMessageToTextLog(h, 2, "line", 0), 1);
    }
};

TEST_F(JournalSwitch, OffKeepsNothingWhileThePhoneStillAnswers) {
    EXPECT_TRUE(qmsl_sim::journal_kept());
    qmsl_sim::keep_journal(false);
    QmslHandle h = QLIB_ConnectServer(3);
    ASSERT_NE(h, 0u);
    for (int i = 0; i < 1000; ++i) work(h);
    const qmsl_sim::Phone& p = qmsl_sim::phone(3);
    EXPECT_TRUE(p.journal.empty());
    EXPECT_TRUE(p.text_log.empty());
    EXPECT_EQ(p.nv.at(550).data, (std::vector<std::uint8_t>{1, 2}));
}

TEST_F(JournalSwitch, ResetTurnsItOnAgain) {
    qmsl_sim::keep_journal(false);
    qmsl_sim::reset();
    EXPECT_TRUE(qmsl_sim::journal_kept());
    QmslHandle h = QLIB_ConnectServer(3);
    work(h);
    EXPECT_EQ(qmsl_sim::phone(3).count("QLIB_DIAG_NV_WRITE_F"), 1u);
    EXPECT_EQ(qmsl_sim::phone(3).log_texts(h), std::vector<std::string>{"line"});
}

} // namespace
