// The control-line box against the recording serial driver: which lines
// change, in which order, for each action and each failure.
#include "ControlLineBox.h"
#include "LibraryContext.h"
#include "qmsl_sim.h"
#include "win_line_recorder.h"

#include "pclock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

using kavor::ControlLineBox;
using win::Line;
using win_test::Event;
using win_test::LineEvent;
using win_test::LineRecorder;

// What opening the box does to the lines: the serial layer drops both lines
// right after the open, then the box drops them itself.
std::vector<LineEvent> openLines(const char* port) {
    return {{port, Event::Open},
            {port, Event::Dtr, false},
            {port, Event::Rts, false},
            {port, Event::Dtr, false},
            {port, Event::Rts, false}};
}
std::vector<LineEvent> operator+(std::vector<LineEvent> a, const std::vector<LineEvent>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct BoxCase {
    const char* name;
    std::function<void(ControlLineBox&, LineRecorder&)> arrange;  // before the journal is cleared
    std::function<bool(ControlLineBox&)> act;
    bool result;
    std::vector<LineEvent> lines;
    bool openAfter;
    unsigned short portAfter;
};
void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.name; }

const auto nothing = [](ControlLineBox&, LineRecorder&) {};
const auto onAt3 = [](ControlLineBox& b, LineRecorder&) { ASSERT_TRUE(b.switchOn(3)); };

const BoxCase kBoxCases[] = {
    {"OpenDropsBothLines", nothing, [](ControlLineBox& b) { return b.ensureOpen(3); }, true, openLines("COM3"), true, 3},
    {"OnOpensThenRaisesDtr", nothing, [](ControlLineBox& b) { return b.switchOn(3); }, true,
     openLines("COM3") + std::vector<LineEvent>{{"COM3", Event::Dtr, true}}, true, 3},
    {"OffDropsDtr", onAt3, [](ControlLineBox& b) { return b.switchOff(3); }, true, {{"COM3", Event::Dtr, false}}, true,
     3},
    {"CloseRaisesRtsThenCloses", onAt3, [](ControlLineBox& b) { return b.close(); }, true,
     {{"COM3", Event::Rts, true}, {"COM3", Event::Close}}, false, 0},
    {"SecondOnKeepsThePortAndRaisesDtrAgain", onAt3, [](ControlLineBox& b) { return b.switchOn(3); }, true,
     {{"COM3", Event::Dtr, true}}, true, 3},
    {"OnForAnotherPortIsRefused", onAt3, [](ControlLineBox& b) { return b.switchOn(4); }, false, {}, true, 3},
    {"OpenForAnotherPortIsRefused", onAt3, [](ControlLineBox& b) { return b.ensureOpen(4); }, false, {}, true, 3},
    {"OffForAnotherPortIsRefused", onAt3, [](ControlLineBox& b) { return b.switchOff(4); }, false, {}, true, 3},
    {"OffOnAClosedBoxOpensNothing", nothing, [](ControlLineBox& b) { return b.switchOff(3); }, false, {}, false, 0},
    {"CloseOnAClosedBoxTouchesNoLine", nothing, [](ControlLineBox& b) { return b.close(); }, false, {}, false, 0},
    {"OnAfterCloseOpensAgain",
     [](ControlLineBox& b, LineRecorder&) {
         ASSERT_TRUE(b.switchOn(3));
         ASSERT_TRUE(b.close());
     },
     [](ControlLineBox& b) { return b.switchOn(3); }, true,
     openLines("COM3") + std::vector<LineEvent>{{"COM3", Event::Dtr, true}}, true, 3},
    {"OpenFailsForAnAbsentPort", [](ControlLineBox&, LineRecorder& r) { r.fail_open("COM3"); },
     [](ControlLineBox& b) { return b.switchOn(3); }, false, {}, false, 0},
    {"OpenFailsForABusyPort", [](ControlLineBox&, LineRecorder& r) { r.set_busy("COM3"); },
     [](ControlLineBox& b) { return b.ensureOpen(3); }, false, {}, false, 0},
    {"FailedDtrRaiseLeavesTheBoxOpen",
     [](ControlLineBox& b, LineRecorder& r) {
         ASSERT_TRUE(b.ensureOpen(3));
         r.fail_line("COM3", Line::Dtr);
     },
     [](ControlLineBox& b) { return b.switchOn(3); }, false, {}, true, 3},
    {"FailedDtrDropLeavesTheBoxOpen",
     [](ControlLineBox& b, LineRecorder& r) {
         ASSERT_TRUE(b.switchOn(3));
         r.fail_line("COM3", Line::Dtr);
     },
     [](ControlLineBox& b) { return b.switchOff(3); }, false, {}, true, 3},
    {"FailedCloseKeepsTheBoxOpen",
     [](ControlLineBox& b, LineRecorder& r) {
         ASSERT_TRUE(b.switchOn(3));
         r.fail_close("COM3");
     },
     [](ControlLineBox& b) { return b.close(); }, false, {{"COM3", Event::Rts, true}}, true, 3},
};

class BoxLines : public ::testing::TestWithParam<BoxCase> {
protected:
    LineRecorder rec;
};

TEST_P(BoxLines, ChangeAsTheActionSays) {
    const BoxCase& c = GetParam();
    ControlLineBox box;
    c.arrange(box, rec);
    rec.journal.clear();
    EXPECT_EQ(c.act(box), c.result);
    EXPECT_EQ(rec.journal, c.lines);
    EXPECT_EQ(box.isOpen(), c.openAfter);
    EXPECT_EQ(box.port(), c.portAfter);
    EXPECT_EQ(rec.is_open("COM3"), c.openAfter);
}

INSTANTIATE_TEST_SUITE_P(Actions, BoxLines, ::testing::ValuesIn(kBoxCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BoxLine, FailedCloseCanBeRetried) {
    LineRecorder rec;
    ControlLineBox box;
    ASSERT_TRUE(box.switchOn(3));
    rec.fail_close("COM3");
    EXPECT_FALSE(box.close());
    EXPECT_TRUE(box.close());
    EXPECT_FALSE(rec.is_open("COM3"));
    EXPECT_FALSE(box.isOpen());
}

TEST(BoxLine, OpenSetsUpThePortAndKeepsTheUpperFlagBits) {
    LineRecorder rec;
    // What the port reports before the box sets it up: every flag set.
    std::memset(&rec.initial_settings, 0xFF, sizeof rec.initial_settings);
    ControlLineBox box;
    ASSERT_TRUE(box.ensureOpen(5));
    DCB dcb = rec.settings("COM5");
    EXPECT_EQ(dcb.BaudRate, CBR_115200);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONE5STOPBITS);
    std::uint32_t flags = 0;
    std::memcpy(&flags, reinterpret_cast<const char*>(&dcb) + offsetof(DCB, BaudRate) + sizeof(DWORD), sizeof flags);
    EXPECT_EQ(flags & 0x7FFFu, 0x1083u);
    EXPECT_EQ(flags >> 15, 0x1FFFFu);
    EXPECT_EQ(dcb.XonLim, 0);
    EXPECT_EQ(dcb.XoffLim, 0);
    EXPECT_EQ(dcb.EofChar, 0);
    EXPECT_EQ(dcb.XonChar, static_cast<char>(0xFF));  // untouched
    EXPECT_EQ(rec.purges("COM5"), 1);
    EXPECT_EQ(rec.last_purge_flags("COM5"), 12u);
    EXPECT_FALSE(rec.line("COM5", Line::Dtr));
    EXPECT_FALSE(rec.line("COM5", Line::Rts));
}

TEST(BoxLine, ClosePortOnAClosedBoxRaisesRtsOnly) {
    LineRecorder rec;
    ControlLineBox box;
    HANDLE h = box.openPort(4);  // opens the port but leaves the box closed
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    rec.journal.clear();
    EXPECT_TRUE(box.closePort(h));  // this box is not marked open: no close
    EXPECT_EQ(rec.journal, (std::vector<LineEvent>{{"COM4", Event::Rts, true}}));
    EXPECT_TRUE(rec.is_open("COM4"));
    EXPECT_TRUE(CloseHandle(h));
}

// The connection's procedures own the box: destroying the record closes it.
TEST(BoxLine, DisconnectClosesAnOpenBox) {
    pclock::use_virtual_time(0);
    qmsl_sim::reset();
    LineRecorder rec;
    QmslHandle h = KAVOR_ConnectServer(1);
    ASSERT_NE(h, 0);
    ASSERT_TRUE(kavor::context().testProceduresFor(h)->box().switchOn(7));
    rec.journal.clear();
    KAVOR_DisconnectServer(h);
    EXPECT_EQ(rec.journal, (std::vector<LineEvent>{{"COM7", Event::Rts, true}, {"COM7", Event::Close}}));
    EXPECT_FALSE(rec.is_open("COM7"));
}

} // namespace
