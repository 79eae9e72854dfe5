// The IrDA test frame, its FCS and the check of a received frame.
#include "TesselIrda.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> frame() {
    std::vector<unsigned char> f(IRDA_BUFFER_SIZE, 0);
    int iLength = 0;
    EXPECT_EQ(L2_CreateTestLoopData(f.data(), &iLength), 1);
    EXPECT_EQ(iLength, 270);
    f.resize(static_cast<std::size_t>(iLength));
    return f;
}

TEST(IrdaFrame, HasTheSirLayout) {
    const auto f = frame();
    for (int i = 0; i < 10; ++i) EXPECT_EQ(f[i], 0xFF) << i;
    EXPECT_EQ(f[10], 0xC0);
    for (int i = 0; i < 128; ++i) {
        EXPECT_EQ(f[11 + 2 * i], 0xFF) << i;
        EXPECT_EQ(f[12 + 2 * i], 0x11) << i;
    }
    // The FCS 0x0BA2, low byte first.
    EXPECT_EQ(f[267], 0xA2);
    EXPECT_EQ(f[268], 0x0B);
    EXPECT_EQ(f[269], 0xC1);
}

TEST(IrdaFrame, NeedsNoEscaping) {
    const auto f = frame();
    for (int i = 11; i < 269; ++i) {
        EXPECT_NE(f[i], 0xC0) << i;
        EXPECT_NE(f[i], 0xC1) << i;
        EXPECT_NE(f[i], 0x7D) << i;
    }
}

TEST(IrdaFcs, IsTheFcs16OfPpp) {
    // The known check value of this FCS over "123456789" is 0x906E
    // (complemented); over data with its own FCS appended the register
    // ends at the fixed "good" value 0xF0B8.
    const char* cCheck = "123456789";
    EXPECT_EQ(static_cast<unsigned short>(~L2_CalcCrc16(reinterpret_cast<const unsigned char*>(cCheck), 9)), 0x906E);
    const auto f = frame();
    EXPECT_EQ(L2_CalcCrc16(f.data() + 11, 258), 0xF0B8);
    EXPECT_EQ(L2_CalcCrc16(f.data(), 0), 0xFFFF);
}

// --- analysis ---------------------------------------------------------------------
struct AnalyseCase {
    const char* name;
    int iChangeAt;  // from the BOF; -1: none
    int iLength;    // bytes received from the BOF
    int iResult;
};

class IrdaAnalyse : public ::testing::TestWithParam<AnalyseCase> {};

TEST_P(IrdaAnalyse, JudgesTheBytesFromTheBof) {
    const AnalyseCase& c = GetParam();
    auto f = frame();
    std::vector<unsigned char> received(f.begin() + 10, f.end());
    received.resize(IRDA_BUFFER_SIZE, 0);
    if (c.iChangeAt >= 0) received[static_cast<std::size_t>(c.iChangeAt)] ^= 0x01;
    EXPECT_EQ(L2_IrdaAnalyseReceivedFrame(received.data(), c.iLength), c.iResult);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, IrdaAnalyse, ::testing::Values(
    AnalyseCase{"ExactFrame",          -1, 260, 1},
    AnalyseCase{"MoreBytesHeld",       -1, 270, 1},
    AnalyseCase{"ByteAfterTheEofIgnored", 260, 270, 1},
    AnalyseCase{"BofChanged",           0, 260, 0},
    AnalyseCase{"FirstPayloadByte",     1, 260, 0},
    AnalyseCase{"LastPayloadByte",    256, 260, 0},
    AnalyseCase{"FcsLowByte",         257, 260, 0},
    AnalyseCase{"FcsHighByte",        258, 260, 0},
    AnalyseCase{"EofChanged",         259, 260, 0},
    AnalyseCase{"OneByteShort",        -1, 259, 0}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(IrdaAnalyse, NullIsNoMatch) { EXPECT_EQ(L2_IrdaAnalyseReceivedFrame(nullptr, 260), 0); }

} // namespace
