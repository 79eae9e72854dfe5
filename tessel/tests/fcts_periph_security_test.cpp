// The lock state of the service programming code and the fake-security NV
// items.
#include "TesselFctsFixture.h"

namespace {

class PeriphSecurity : public TesselFcts {};

constexpr std::uint16_t kTries = 3252;
constexpr std::uint16_t kSecCode = 85;

struct LockCase {
    const char* name;
    int iTriesNv;        // tries, or -1: the read call fails
    std::uint16_t usTriesStatus;
    bool bCodeRefused;   // the phone is locked: item 85 is refused as a call
    std::uint16_t usCodeStatus;
    int iStatus;
    short sLocked;
    unsigned char ucCyclesLeft;
    const char* text;
};

// clang-format off
const LockCase kLocks[] = {
    {"OpenWithTriesLeft",  3,  0, false, 0, 0,                    0, 2, "[UNLOCK_TTL:OK(3):SEC_CODE:OK]"},
    {"OpenWithLastTry",    1,  0, false, 0, 0,                    0, 0, "[UNLOCK_TTL:OK(1):SEC_CODE:OK]"},
    {"NoTriesLeft",        0,  0, false, 0, 0,                    1, 0, "[UNLOCK_TTL:=0]"},
    {"TriesNotActive",     3,  5, false, 0, 0,                    1, 0, "[UNLOCK_TTL:NOTACTIVE]"},
    {"TriesOtherStatus",   3,  2, false, 0, TESSEL_ERROR_LIBRARY, 0, 0, "[UNLOCK_TTL:EUNDEF]"},
    {"TriesReadFails",     -1, 0, false, 0, TESSEL_ERROR_LIBRARY, 0, 0, "[UNLOCK_TTL:E]"},
    {"CodeRefused",        3,  0, true,  0, 0,                    1, 0, "[UNLOCK_TTL:OK(3):SEC_CODE:E]"},
    {"CodeOtherStatus",    3,  0, false, 4, TESSEL_ERROR_LIBRARY, 0, 0, "[UNLOCK_TTL:OK(3):SEC_CODE:EUNDEF]"},
};
// clang-format on

class LockState : public PeriphSecurity, public ::testing::WithParamInterface<LockCase> {};

TEST_P(LockState, FromTheTriesAndTheCode) {
    const LockCase& c = GetParam();
    phone().set_nv(kTries, {static_cast<std::uint8_t>(c.iTriesNv < 0 ? 0 : c.iTriesNv)}, c.usTriesStatus);
    phone().set_nv(kSecCode, {'1', '2', '3', '4', '5', '6'}, c.usCodeStatus);
    phone().locked = c.bCodeRefused;
    const int s = connected();
    if (c.iTriesNv < 0) phone().inject("QLIB_DIAG_NV_READ_F", {});
    short sLocked = 7;
    unsigned char ucLeft = 7;
    EXPECT_EQ(_Tessel_SpecialGetLockState(s, &sLocked, &ucLeft, "t.c", 1), c.iStatus);
    EXPECT_EQ(sLocked, c.sLocked);
    EXPECT_EQ(ucLeft, c.ucCyclesLeft);
    EXPECT_TRUE(hasLine(c.text));
    char result[96];
    std::snprintf(result, sizeof result, "_Tessel_SpecialGetLockState( *bLockState=%d(%s), *iCyclesLeft=%d )",
                  c.sLocked, c.sLocked ? "LOCKED" : "OPEN", c.ucCyclesLeft);
    EXPECT_TRUE(hasLine(result));
}

INSTANTIATE_TEST_SUITE_P(Outcomes, LockState, ::testing::ValuesIn(kLocks),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PeriphSecurity, LockStateOfAnUnconnectedSessionFailsAsOpen) {
    const int s = openSession();
    short sLocked = 7;
    unsigned char ucLeft = 7;
    EXPECT_EQ(_Tessel_SpecialGetLockState(s, &sLocked, &ucLeft, "t.c", 1), kLib);
    EXPECT_EQ(sLocked, 0);
    EXPECT_EQ(ucLeft, 0);
}

// --- fake security ------------------------------------------------------------

struct FakeCase {
    const char* name;
    std::vector<std::uint8_t> values;   // items 880, 881, 882
    std::uint16_t usStatus882;
    int iStatus;
    unsigned short usOk;
};

const FakeCase kFakes[] = {
    {"Off", {0, 0, 1}, 0, 0, 1},
    {"On", {1, 1, 0}, 0, 0, 0},
    {"OneItemSet", {0, 1, 1}, 0, 0, 0},
    // The phone gives no value with a non-zero status: the check fails whatever the buffer held.
    {"ItemNotReadable", {0, 0, 1}, 5, TESSEL_ERROR_LIBRARY, 0},
};

class FakeSecurity : public PeriphSecurity, public ::testing::WithParamInterface<FakeCase> {};

TEST_P(FakeSecurity, ChecksTheThreeItems) {
    const FakeCase& c = GetParam();
    phone().set_nv(880, {c.values[0]});
    phone().set_nv(881, {c.values[1]});
    phone().set_nv(882, {c.values[2]}, c.usStatus882);
    const int s = connected();
    unsigned short usOk = 7;
    EXPECT_EQ(_Tessel_SpecialCheckFakeSecurity(s, &usOk, "t.c", 1), c.iStatus);
    EXPECT_EQ(usOk, c.usOk);
    EXPECT_EQ(phone().count("QLIB_DIAG_NV_READ_F"), 3u);
    EXPECT_TRUE(hasLine("[checking NV items...]"));
    EXPECT_TRUE(hasLine("[all NV data read]"));
    EXPECT_TRUE(hasLine(std::string("( *bStatus=") + (c.usOk ? "1(OK)" : "0(FAIL)")));
}

INSTANTIATE_TEST_SUITE_P(Items, FakeSecurity, ::testing::ValuesIn(kFakes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PeriphSecurity, FakeSecurityCheckStopsAtAFailedRead) {
    const int s = connected();
    phone().inject("QLIB_DIAG_NV_READ_F", qmsl_sim::Fault{.times = 1});
    unsigned short usOk = 7;
    EXPECT_EQ(_Tessel_SpecialCheckFakeSecurity(s, &usOk, "t.c", 1), kLib);
    EXPECT_EQ(usOk, 0);
    EXPECT_EQ(phone().count("QLIB_DIAG_NV_READ_F"), 1u);
    EXPECT_FALSE(hasLine("[all NV data read]"));
}

TEST_F(PeriphSecurity, DisableWritesTheThreeItems) {
    const int s = connected();
    ASSERT_EQ(_Tessel_SpecialDisableFakeSecurity(s, "t.c", 1), 0);
    EXPECT_EQ(phone().nv.at(880).data, std::vector<std::uint8_t>{1});
    EXPECT_EQ(phone().nv.at(881).data, std::vector<std::uint8_t>{1});
    EXPECT_EQ(phone().nv.at(882).data, std::vector<std::uint8_t>{0});
    EXPECT_TRUE(hasLine("[setting NV items...]"));
    EXPECT_TRUE(hasLine("[all NV data written]"));
}

TEST_F(PeriphSecurity, DisableStopsAtAFailedWrite) {
    const int s = connected();
    phone().inject("QLIB_DIAG_NV_WRITE_F", qmsl_sim::Fault{.times = 1});
    EXPECT_EQ(_Tessel_SpecialDisableFakeSecurity(s, "t.c", 1), kLib);
    EXPECT_EQ(phone().count("QLIB_DIAG_NV_WRITE_F"), 1u);
    EXPECT_FALSE(hasLine("[all NV data written]"));
}

} // namespace
