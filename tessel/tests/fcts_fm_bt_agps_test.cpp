// The FM receiver's state fields, the Bluetooth address text and the
// assisted-GPS self test.
#include "TesselFctsFixture.h"
#include "qmsl_i2c_sim.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
const char* const F = "ops.c";
constexpr int L = 3;

// --- FM receiver state ------------------------------------------------------------

struct FmCase {
    std::string name;
    int eFmData;
    std::uint8_t stateByte;
    int status;
    unsigned char value;
};
void PrintTo(const FmCase& c, std::ostream* os) { *os << c.name; }

class FmRadioInfo : public TesselFcts, public ::testing::WithParamInterface<FmCase> {};

TEST_P(FmRadioInfo, TakesItsFieldFromByte9) {
    const FmCase& c = GetParam();
    const int s = connected();
    Bytes block(28, 0);
    block[9] = c.stateByte;
    block[27] = 0x77;
    qmsl_sim::place_i2c_device(phone(), 0x10, {{0, block}});
    unsigned char value = 0xEE;
    EXPECT_EQ(_Tessel_SpecialGetFmRadioInfo(s, c.eFmData, &value, F, L), c.status);
    EXPECT_EQ(value, c.value);
    const auto r = ftmRequests();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].id, 15);
    // read, second byte 0, slave 0x10, register length 0, register 0, 28 bytes
    EXPECT_EQ(Bytes(r[0].data.begin(), r[0].data.begin() + 7), (Bytes{0, 0, 0x10, 0, 0, 0, 28}));
    EXPECT_TRUE(hasLine("(3I)     QLIB_FTM_I2C_DATA_ACCESS(0,0x10,0,0x00,28)"));
    EXPECT_TRUE(hasLine("I2CData={ 00 00 00 00 00 00 00 00 00 "));
    char result[64];
    std::snprintf(result, sizeof result, "_Tessel_SpecialGetFmRadioInfo( *piData=0x%02X ) = ", c.value);
    EXPECT_NE(lines().back().find(result), std::string::npos) << lines().back();
}

constexpr int kLib = TESSEL_ERROR_LIBRARY;

INSTANTIATE_TEST_SUITE_P(Table, FmRadioInfo,
                         ::testing::Values(FmCase{"Level", 0, 0xAC, 0, 10}, FmCase{"LevelOnly", 0, 0x50, 0, 5},
                                           FmCase{"LockDetect", 1, 0x58, 0, 1}, FmCase{"NoLock", 1, 0xF7, 0, 0},
                                           FmCase{"Stereo", 2, 0x04, 0, 1}, FmCase{"Mono", 2, 0xFB, 0, 0},
                                           FmCase{"Field3", 3, 0xFF, kLib, 255}, FmCase{"FieldMinus1", -1, 0xFF, kLib, 255}),
                         [](const ::testing::TestParamInfo<FmCase>& i) { return i.param.name; });

TEST_F(FmRadioInfo, FailedReadGivesTheFieldOfTheZeroedBuffer) {
    const int s = connected();
    qmsl_sim::i2c_bus(phone()).modelled = true;  // no FM chip on the bus
    unsigned char value = 0xEE;
    EXPECT_EQ(_Tessel_SpecialGetFmRadioInfo(s, 0, &value, F, L), kLib);
    EXPECT_EQ(value, 0);
}

TEST_F(FmRadioInfo, CallLineNamesTheField) {
    const int s = connected();
    unsigned char value = 0;
    _Tessel_SpecialGetFmRadioInfo(s, 1, &value, F, L);
    EXPECT_EQ(lines().front().rfind("(3C)    _Tessel_SpecialGetFmRadioInfo( Handle=" + std::to_string(handleOf(s)) +
                                        ", eFmData=1(", 0),
              0u)
        << lines().front();
}

// --- Bluetooth address --------------------------------------------------------------

struct AddressCase {
    std::string name;
    std::string text;
    Bytes sent;  // empty: refused without a call
};
void PrintTo(const AddressCase& c, std::ostream* os) { *os << c.name; }

class BtAddress : public TesselFcts, public ::testing::WithParamInterface<AddressCase> {};

TEST_P(BtAddress, SendsTheLastPairFirst) {
    const AddressCase& c = GetParam();
    const int s = connected();
    char text[32] = {};
    c.text.copy(text, c.text.size());
    EXPECT_EQ(_Tessel_FtmBtSetAddr(s, text, F, L), c.sent.empty() ? kLib : 0);
    EXPECT_EQ(std::string(text), c.text);  // the caller's text is only read
    const auto calls = phone().calls("QLIB_FTM_BT_SetAddr");
    if (c.sent.empty()) {
        EXPECT_TRUE(calls.empty());
    } else {
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].bytes, c.sent);
    }
    EXPECT_EQ(lines().front(), "(3C)    _Tessel_FtmBtSetAddr( Handle=" + std::to_string(handleOf(s)) + ", szAddr=" + c.text +
                                   " ) Sess=1 in File \"ops.c\" Line 3");
}

INSTANTIATE_TEST_SUITE_P(
    Table, BtAddress,
    ::testing::Values(AddressCase{"LowerCase", "0123456789ab", {0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}},
                      AddressCase{"UpperCase", "0123456789AB", {0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}},
                      AddressCase{"MixedCase", "FfEeDdCcBbAa", {0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}},
                      AddressCase{"Eleven", "0123456789a", {}},
                      // Only the first twelve characters are read: a longer text is taken.
                      AddressCase{"Thirteen", "0123456789abc", {0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}},
                      AddressCase{"ScannedWithLineEnd", "0123456789AB\n", {0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}},
                      AddressCase{"NoHexDigitAfterTwelve", "0123456789ab-X", {0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}},
                      AddressCase{"NonHexDigit", "01234567x9ab", {}}, AddressCase{"BlankInside", "012345 789ab", {}},
                      AddressCase{"NonHexDigitTwelfthOfLonger", "0123456789aG0", {}},
                      AddressCase{"Empty", "", {}}),
    [](const ::testing::TestParamInfo<AddressCase>& i) { return i.param.name; });

TEST_F(BtAddress, FalseAnswerIsALibraryError) {
    const int s = connected();
    phone().inject("QLIB_FTM_BT_SetAddr", qmsl_sim::Fault{});
    EXPECT_EQ(_Tessel_FtmBtSetAddr(s, "0123456789ab", F, L), kLib);
}

TEST_F(BtAddress, UnconnectedSessionMakesNoCall) {
    const int s = openSession();
    EXPECT_EQ(_Tessel_FtmBtSetAddr(s, "0123456789ab", F, L), kLib);
    EXPECT_EQ(phone().count("QLIB_FTM_BT_SetAddr"), 0u);
}

TEST_F(BtAddress, NullTextIsRefused) {
    const int s = connected();
    EXPECT_EQ(_Tessel_FtmBtSetAddr(s, nullptr, F, L), TESSEL_ERROR_PARAMETER2);
    EXPECT_TRUE(lines().empty());
}

// --- assisted-GPS self test --------------------------------------------------------------

struct SelfTestCase {
    std::string name;
    unsigned char result;
    unsigned short pass;
};
void PrintTo(const SelfTestCase& c, std::ostream* os) { *os << c.name; }

class AgpsSelfTest : public TesselFcts, public ::testing::WithParamInterface<SelfTestCase> {};

TEST_P(AgpsSelfTest, PassesWhenTheLowThreeBitsAre0) {
    const SelfTestCase& c = GetParam();
    const int s = connected();
    phone().set_outputs("QLIB_FTM_AGPS_SELF_TEST", {c.result});
    unsigned short pass = 7;
    EXPECT_EQ(_Tessel_FtmAgpsSelfTest(s, &pass, F, L), 0);
    EXPECT_EQ(pass, c.pass);
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_FtmAgpsSelfTest( _ucResult=" + std::to_string(c.result) + ", *pbPassFail=" +
                                  std::to_string(c.pass) + (c.pass ? "(PASS)" : "(FAIL)") + " ) = 0 (SUCCESS) ");
}

INSTANTIATE_TEST_SUITE_P(Table, AgpsSelfTest,
                         ::testing::Values(SelfTestCase{"Result08", 0x08, 1}, SelfTestCase{"Result01", 0x01, 0},
                                           SelfTestCase{"Result00", 0x00, 1}, SelfTestCase{"Result04", 0x04, 0},
                                           SelfTestCase{"ResultF8", 0xF8, 1}, SelfTestCase{"Result0A", 0x0A, 0}),
                         [](const ::testing::TestParamInfo<SelfTestCase>& i) { return i.param.name; });

TEST_F(AgpsSelfTest, FailedCallFailsTheTest) {
    const int s = connected();
    phone().inject("QLIB_FTM_AGPS_SELF_TEST", qmsl_sim::Fault{});
    unsigned short pass = 7;
    EXPECT_EQ(_Tessel_FtmAgpsSelfTest(s, &pass, F, L), kLib);
    EXPECT_EQ(pass, 0);
    EXPECT_NE(lines().back().find("( _ucResult=255, *pbPassFail=0(FAIL) ) = 0xbffc19f7"), std::string::npos);
}

TEST_F(AgpsSelfTest, UnconnectedSessionMakesNoCall) {
    const int s = openSession();
    unsigned short pass = 7;
    EXPECT_EQ(_Tessel_FtmAgpsSelfTest(s, &pass, F, L), kLib);
    EXPECT_EQ(pass, 0);
    EXPECT_EQ(phone().count("QLIB_FTM_AGPS_SELF_TEST"), 0u);
}

} // namespace
