#include "qmsl_ftm.h"
#include "qmsl_memory.h"
#include "qmsl_memory_sim.h"

#include "sim_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr unsigned kPort = 5;

class Memory : public qmsl_test::ConnectedTest<kPort> {
protected:
    qmsl_sim::MemoryMap& mem() { return qmsl_sim::memory(phone()); }
};

TEST_F(Memory, UnsetBytesReadZero) {
    unsigned int v = 0xDEADBEEF;
    ASSERT_EQ(QLIB_DIAG_MEMORY_PEEK_DWORD_F(h, 0x84000164, 1, &v), 1);
    EXPECT_EQ(v, 0u);
}

TEST_F(Memory, TheThreeWidthsShareOneLittleEndianMap) {
    mem().preset(0x48000000, 0x11223344);
    unsigned char b[4] = {};
    unsigned short w[2] = {};
    unsigned int d = 0;
    ASSERT_EQ(QLIB_DIAG_MEMORY_PEEK_F(h, 0x48000000, 4, b), 1);
    EXPECT_EQ(b[0], 0x44);
    EXPECT_EQ(b[3], 0x11);
    ASSERT_EQ(QLIB_DIAG_MEMORY_PEEK_WORD_F(h, 0x48000000, 2, w), 1);
    EXPECT_EQ(w[0], 0x3344);
    EXPECT_EQ(w[1], 0x1122);

    const unsigned short word = 0xA5B6;
    ASSERT_EQ(QLIB_DIAG_MEMORY_POKE_WORD_F(h, 0x48000002, 1, &word), 1);
    ASSERT_EQ(QLIB_DIAG_MEMORY_PEEK_DWORD_F(h, 0x48000000, 1, &d), 1);
    EXPECT_EQ(d, 0xA5B63344u);
    const unsigned char byte = 0x7F;
    ASSERT_EQ(QLIB_DIAG_MEMORY_POKE_F(h, 0x48000000, 1, &byte), 1);
    EXPECT_EQ(mem().read(0x48000000), 0xA5B6337Fu);
    EXPECT_EQ(mem().read(0x48000000, 1), 0x7Fu);
}

TEST_F(Memory, PokesOfSeveralItemsFillConsecutiveAddresses) {
    const unsigned int values[2] = {0x01020304, 0x0A0B0C0D};
    ASSERT_EQ(QLIB_DIAG_MEMORY_POKE_DWORD_F(h, 0x84000150, 2, values), 1);
    EXPECT_EQ(mem().read(0x84000150), 0x01020304u);
    EXPECT_EQ(mem().read(0x84000154), 0x0A0B0C0Du);
    auto calls = phone().calls("QLIB_DIAG_MEMORY_POKE_DWORD_F");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args[0], 0x84000150);
    EXPECT_EQ(calls[0].args[1], 2);
    EXPECT_EQ(calls[0].bytes, (std::vector<std::uint8_t>{4, 3, 2, 1, 0x0D, 0x0C, 0x0B, 0x0A}));
}

TEST_F(Memory, RegisterThatIgnoresPokesKeepsItsValue) {
    mem().preset(0x8400015C, 0x00000001);
    mem().ignore_pokes(0x8400015C);
    const unsigned int v = 0x20000001;
    EXPECT_EQ(QLIB_DIAG_MEMORY_POKE_DWORD_F(h, 0x8400015C, 1, &v), 1);  // the call itself succeeds
    EXPECT_EQ(mem().read(0x8400015C), 1u);
    mem().preset(0x8400015C, 7);  // set-up still reaches it
    EXPECT_EQ(mem().read(0x8400015C), 7u);
}

TEST_F(Memory, FailedPeekLeavesTheCallersValues) {
    mem().preset(0x48000004, 0x55);
    unsigned int v = 0xCAFE;
    phone().inject("QLIB_DIAG_MEMORY_PEEK_DWORD_F", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(QLIB_DIAG_MEMORY_PEEK_DWORD_F(h, 0x48000004, 1, &v), 0);
    EXPECT_EQ(v, 0xCAFEu);
    phone().set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(QLIB_DIAG_MEMORY_PEEK_DWORD_F(h, 0x48000004, 1, &v), 0);
    EXPECT_EQ(v, 0xCAFEu);
    const unsigned int w = 1;
    EXPECT_EQ(QLIB_DIAG_MEMORY_POKE_DWORD_F(h, 0x48000004, 1, &w), 0);
    EXPECT_EQ(mem().read(0x48000004), 0x55u);
}

TEST_F(Memory, NullValuesAreRefusedAndUnknownHandlesFail) {
    EXPECT_EQ(QLIB_DIAG_MEMORY_PEEK_F(h, 0, 1, nullptr), 0);
    EXPECT_EQ(QLIB_DIAG_MEMORY_POKE_WORD_F(h, 0, 1, nullptr), 0);
    unsigned char b = 0;
    EXPECT_EQ(QLIB_DIAG_MEMORY_PEEK_F(h + 77, 0, 1, &b), 0);
}

TEST_F(Memory, PmicDriveLevelIsJournalled) {
    ASSERT_EQ(QLIB_FTM_SET_PMIC_DRIVE_LEVEL(h, 1, 15), 1);
    auto calls = phone().calls("QLIB_FTM_SET_PMIC_DRIVE_LEVEL");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args, (std::vector<long long>{1, 15}));
}

} // namespace
