#include "NorbeckFixture.h"

namespace {

struct SumCase {
    const char* name;
    std::vector<unsigned char> bytes;
    int length;
    unsigned int sum;
};
void PrintTo(const SumCase& c, std::ostream* os) { *os << c.name; }

class NorbeckCheckSum : public NorbeckTest, public ::testing::WithParamInterface<SumCase> {};

TEST_P(NorbeckCheckSum, IsTheExclusiveOrOfTheBytes) {
    const SumCase& c = GetParam();
    unsigned int sum = 0xDEAD;
    std::snprintf(err, sizeof err, "untouched");
    ASSERT_EQ(norbeck_ComputeCheckSum(c.bytes.data(), c.length, &sum, err), 0);
    EXPECT_EQ(sum, c.sum);
    EXPECT_STREQ(err, "untouched");
    char line[64];
    std::snprintf(line, sizeof line, "(*puiCheckSum) = 0x%x", c.sum);
    EXPECT_TRUE(traced(line));
}

INSTANTIATE_TEST_SUITE_P(Bytes, NorbeckCheckSum,
                         ::testing::Values(SumCase{"OneTwoFour", {0x01, 0x02, 0x04}, 3, 0x07},
                                           SumCase{"Cancelling", {0x5A, 0xFF, 0x5A}, 3, 0xFF},
                                           SumCase{"OnlyTheFirstLengthBytes", {0x01, 0x02, 0x04}, 2, 0x03},
                                           SumCase{"LengthZero", {0x01}, 0, 0},
                                           SumCase{"NegativeLength", {0x01}, -1, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(NorbeckTest, ChecksumWithoutAnOutputIsRefused) {
    const unsigned char b[] = {1};
    EXPECT_EQ(norbeck_ComputeCheckSum(b, 1, nullptr, err), -1);
}

} // namespace
