// The packet buffer: reset fill, bounded little-endian pushes, backward pops.
#include "PacketBuffer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using kavor::PacketBuffer;

void fillTo(PacketBuffer& b, std::size_t n) {
    std::vector<std::uint8_t> bytes(n, 0x11);
    ASSERT_TRUE(b.pushBytes(bytes.data(), n));
}

TEST(PacketBuffer, ResetFillsBothAreasAndKeepsTheCursor) {
    PacketBuffer b;
    b.pushU8(1);
    b.setReply(20);
    b.reset();
    EXPECT_EQ(b.requestLength(), 0);
    EXPECT_EQ(b.replyLength(), PacketBuffer::kCapacity);
    EXPECT_EQ(b.readCursor(), 20);
    EXPECT_EQ(b.request()[0], 0xAA);
    EXPECT_EQ(b.request()[4095], 0xAA);
    EXPECT_EQ(b.reply()[0], 0xBB);
    EXPECT_EQ(b.reply()[4095], 0xBB);
}

TEST(PacketBuffer, PushesAreLittleEndianAndInOrder) {
    PacketBuffer b;
    b.pushU8(0x01);
    b.pushU16(0x0302);
    b.pushU32(0x07060504);
    const std::uint8_t tail[] = {0x08, 0x09};
    EXPECT_TRUE(b.pushBytes(tail, 2));
    ASSERT_EQ(b.requestLength(), 9);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(b.request()[i], i + 1) << i;
}

struct PushBound {
    const char* name;
    std::size_t before;  // request length before the push
    int width;           // 1, 2, 4, or 0 for a pushBytes of `bytes`
    std::size_t bytes;
    bool writes;
};
void PrintTo(const PushBound& c, std::ostream* os) { *os << c.name; }


class PacketBufferBounds : public ::testing::TestWithParam<PushBound> {};

TEST_P(PacketBufferBounds, WritesOnlyWhatFits) {
    const PushBound& c = GetParam();
    PacketBuffer b;
    fillTo(b, c.before);
    bool accepted = true;
    switch (c.width) {
    case 1: b.pushU8(0x5A); break;
    case 2: b.pushU16(0x5A5A); break;
    case 4: b.pushU32(0x5A5A5A5A); break;
    default: {
        std::vector<std::uint8_t> data(c.bytes, 0x5A);
        accepted = b.pushBytes(data.data(), data.size());
    }
    }
    const std::size_t added = c.width ? static_cast<std::size_t>(c.width) : c.bytes;
    EXPECT_EQ(b.requestLength(), c.writes ? c.before + added : c.before);
    if (c.width == 0) {
        EXPECT_EQ(accepted, c.writes);
    }
    if (!c.writes && c.before < PacketBuffer::kCapacity) {
        EXPECT_EQ(b.request()[c.before], 0xAA);
    }
    if (c.writes) {
        EXPECT_EQ(b.request()[c.before + added - 1], 0x5A);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pushes, PacketBufferBounds,
    ::testing::Values(PushBound{"U8At4095Writes", 4095, 1, 0, true}, PushBound{"U8At4096Drops", 4096, 1, 0, false},
                      PushBound{"U16At4094Writes", 4094, 2, 0, true}, PushBound{"U16At4095Drops", 4095, 2, 0, false},
                      PushBound{"U32At4092Writes", 4092, 4, 0, true}, PushBound{"U32At4093Drops", 4093, 4, 0, false},
                      PushBound{"BytesFillingTheAreaWrite", 4000, 0, 96, true},
                      PushBound{"BytesOneTooManyAreRefusedWhole", 4000, 0, 97, false},
                      PushBound{"BytesAt4096Refused", 4096, 0, 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PacketBuffer, PopsReadBackwardsFromTheReplyEnd) {
    PacketBuffer b;
    // D1 = u8 0x01, D2 = u16 0x0302, D3 = u32 0x07060504, D4 = two bytes.
    const std::uint8_t reply[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09};
    std::copy(std::begin(reply), std::end(reply), b.reply());
    b.setReply(sizeof reply);
    std::uint8_t d4[2] = {};
    std::uint32_t d3 = 0;
    std::uint16_t d2 = 0;
    std::uint8_t d1 = 0;
    EXPECT_TRUE(b.popBytes(d4, 2));
    EXPECT_TRUE(b.popU32(d3));
    EXPECT_TRUE(b.popU16(d2));
    EXPECT_TRUE(b.popU8(d1));
    EXPECT_EQ(d4[0], 0x08);
    EXPECT_EQ(d4[1], 0x09);
    EXPECT_EQ(d3, 0x07060504u);
    EXPECT_EQ(d2, 0x0302);
    EXPECT_EQ(d1, 0x01);
    EXPECT_EQ(b.readCursor(), 0);
}

TEST(PacketBuffer, APopWithTooFewBytesChangesNothing) {
    PacketBuffer b;
    b.setReply(3);
    std::uint32_t v = 0xDEADBEEF;
    EXPECT_FALSE(b.popU32(v));
    EXPECT_EQ(v, 0xDEADBEEFu);
    EXPECT_EQ(b.readCursor(), 3);
    std::uint8_t block[4] = {1, 2, 3, 4};
    EXPECT_FALSE(b.popBytes(block, 4));
    EXPECT_EQ(block[0], 1);
    std::uint16_t w = 7;
    EXPECT_TRUE(b.popU16(w));
    EXPECT_EQ(b.readCursor(), 1);
    EXPECT_FALSE(b.popU16(w));
    EXPECT_EQ(w, 0xBBBB);
}

TEST(PacketBuffer, AReplyLengthBeyondTheAreaIsClamped) {
    PacketBuffer b;
    b.setReply(60000);
    EXPECT_EQ(b.replyLength(), PacketBuffer::kCapacity);
    EXPECT_EQ(b.readCursor(), PacketBuffer::kCapacity);
    std::uint8_t last = 0;
    EXPECT_TRUE(b.popU8(last));
    EXPECT_EQ(last, 0xBB);
}

} // namespace
