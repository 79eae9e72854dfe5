// The phone's identity and flag items: IMEI, Bluetooth address, device
// serial number, FTM, battery fake and air security flags, auto answer.
#include "TesselFctsNvFixture.h"

#include <cstring>
#include <functional>

namespace {

using Nv = TesselNv;

std::string imeiRead(int s, int* status = nullptr) {
    char text[TESSEL_IMEI_TEXT_MAX];
    std::memset(text, 'x', sizeof text);
    const int st = _Tessel_NvReadImei(s, text, "i.c", 1);
    if (status) *status = st;
    return std::string(text, sizeof text);
}
std::string nuls(std::size_t n) { return std::string(n, '\0'); }

// --- IMEI ------------------------------------------------------------------------

TEST_F(Nv, ImeiWritePacksWritesReadsBackAndCompares) {
    EXPECT_EQ(_Tessel_NvWriteImei(s_, "123456789012347", "i.c", 1), 0);
    EXPECT_EQ(accesses(), (Accesses{{'W', 550, 9}, {'R', 550, 9}}));
    EXPECT_EQ(phone().nv.at(550).data, (Bytes{0x08, 0x1A, 0x32, 0x54, 0x76, 0x98, 0x10, 0x32, 0x74}));
    EXPECT_EQ(imeiRead(s_), "123456789012347" + nuls(1));
    EXPECT_EQ(lines().back(), "(3A)    _Tessel_NvReadImei( szImei=123456789012347 ) = 0 (SUCCESS) ");
}

struct ImeiRow {
    const char* name;
    const char* text;
    Bytes bytes;
};
class ImeiLayout : public TesselNv, public ::testing::WithParamInterface<ImeiRow> {};

TEST_P(ImeiLayout, TextBytesAndBackAgain) {
    const ImeiRow& r = GetParam();
    EXPECT_EQ(_Tessel_NvWriteImei(s_, r.text, "i.c", 1), 0);
    EXPECT_EQ(phone().nv.at(550).data, r.bytes);
    EXPECT_EQ(imeiRead(s_), std::string(r.text) + nuls(1));
}
INSTANTIATE_TEST_SUITE_P(
    Rows, ImeiLayout,
    ::testing::Values(ImeiRow{"Counting", "123456789012347", {0x08, 0x1A, 0x32, 0x54, 0x76, 0x98, 0x10, 0x32, 0x74}},
                      ImeiRow{"AllZero", "000000000000000", {0x08, 0x0A, 0, 0, 0, 0, 0, 0, 0}},
                      ImeiRow{"AllNine", "999999999999999", {0x08, 0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99}},
                      ImeiRow{"Mixed", "490154203237518", {0x08, 0x4A, 0x09, 0x51, 0x24, 0x30, 0x32, 0x57, 0x81}}),
    [](const auto& info) { return std::string(info.param.name); });

// The phone reads back an item that differs from the one written in one byte.
class ImeiReadBack : public TesselNv, public ::testing::WithParamInterface<int> {};

TEST_P(ImeiReadBack, ADifferentByteFailsThoughTheWriteSucceeded) {
    Bytes back{0x08, 0x1A, 0x32, 0x54, 0x76, 0x98, 0x10, 0x32, 0x74};
    back[GetParam()] ^= 0x01;
    readAnswers(550, back);
    EXPECT_EQ(_Tessel_NvWriteImei(s_, "123456789012347", "i.c", 1), kLib);
    EXPECT_EQ(accesses(), (Accesses{{'W', 550, 9}, {'R', 550, 9}}));
}
INSTANTIATE_TEST_SUITE_P(EachByte, ImeiReadBack, ::testing::Range(0, 9));

TEST_F(Nv, ImeiWriteStopsAtAFailedWriteOrReadBack) {
    phone().set_nv(550, {}, 4);  // the phone refuses the item
    EXPECT_EQ(_Tessel_NvWriteImei(s_, "123456789012347", "i.c", 1), kLib);
    EXPECT_EQ(accesses(), (Accesses{{'W', 550, 9}}));

    phone().set_nv(550, {});
    phone().clear_journal();
    phone().inject("QLIB_DIAG_NV_READ_F", qmsl_sim::Fault{});
    EXPECT_EQ(_Tessel_NvWriteImei(s_, "123456789012347", "i.c", 1), kLib);
    EXPECT_EQ(accesses(), (Accesses{{'W', 550, 9}, {'R', 550, 9}}));
}

struct BadText {
    const char* name;
    const char* text;
};
class ImeiRefused : public TesselNv, public ::testing::WithParamInterface<BadText> {};

TEST_P(ImeiRefused, NothingIsWritten) {
    EXPECT_EQ(_Tessel_NvWriteImei(s_, GetParam().text, "i.c", 1), kLib);
    EXPECT_TRUE(accesses().empty());
}
INSTANTIATE_TEST_SUITE_P(Texts, ImeiRefused,
                         ::testing::Values(BadText{"Empty", ""}, BadText{"Fourteen", "12345678901234"},
                                           BadText{"Sixteen", "1234567890123470"},
                                           BadText{"Letter", "12345678901234A"},
                                           BadText{"Blank", "1234567 9012347"}, BadText{"Colon", "12345678901234:"},
                                           BadText{"Sign", "-12345678901234"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Nv, ImeiWriteReadsNoFurtherThanSixteenCharacters) {
    // Exactly the 16 bytes the check may look at, no terminator after them.
    const char text[16] = {'1', '2', '3', '4', '5', '6', '7', '8', '9', '0', '1', '2', '3', '4', '7', '8'};
    EXPECT_EQ(_Tessel_NvWriteImei(s_, text, "i.c", 1), kLib);
    EXPECT_TRUE(accesses().empty());
}

TEST_F(Nv, ImeiReadFailuresGiveSixteenNuls) {
    int st = 0;
    EXPECT_EQ(imeiRead(s_, &st), nuls(16));  // blank phone: item never written
    EXPECT_EQ(st, kLib);

    phone().set_nv(550, {0x08, 0x1A, 0x32, 0x54, 0x76, 0x98, 0x10, 0x32, 0x74}, 6);
    EXPECT_EQ(imeiRead(s_, &st), nuls(16));
    EXPECT_EQ(st, kLib);

    // A failed call that leaves a status of 0 and bytes behind decodes nothing.
    phone().set_handler("QLIB_DIAG_NV_READ_F", [](qmsl_sim::Phone&, const qmsl_sim::Call& c) {
        c.set_bytes(0, {0x08, 0x1A, 0x32, 0x54, 0x76, 0x98, 0x10, 0x32, 0x74});
        c.set(1, 0);
        return false;
    });
    EXPECT_EQ(imeiRead(s_, &st), nuls(16));
    EXPECT_EQ(st, kLib);
}

// --- Bluetooth address ----------------------------------------------------------------

struct BdRow {
    const char* name;
    const char* text;
    Bytes bytes;
    const char* read;
};
class BdAddrLayout : public TesselNv, public ::testing::WithParamInterface<BdRow> {};

TEST_P(BdAddrLayout, TextBytesAndBackAgain) {
    const BdRow& r = GetParam();
    char text[32];
    std::snprintf(text, sizeof text, "%s", r.text);
    EXPECT_EQ(_Tessel_NvWriteBDAddr(s_, text, "b.c", 1), 0);
    EXPECT_EQ(accesses(), (Accesses{{'W', 447, 6}}));  // no read-back
    EXPECT_EQ(phone().nv.at(447).data, r.bytes);
    EXPECT_STREQ(text, r.read);  // the caller's text is left upper-cased
    char back[TESSEL_BD_ADDR_TEXT_MAX];
    EXPECT_EQ(_Tessel_NvReadBDAddr(s_, back, "b.c", 2), 0);
    EXPECT_EQ(std::string(back), std::string(r.read).substr(0, 12));
}
INSTANTIATE_TEST_SUITE_P(
    Rows, BdAddrLayout,
    ::testing::Values(BdRow{"UpperCase", "0123456789AB", {0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}, "0123456789AB"},
                      BdRow{"LowerCase", "0123456789ab", {0xAB, 0x89, 0x67, 0x45, 0x23, 0x01}, "0123456789AB"},
                      BdRow{"Mixed", "fFeE00dDcC11", {0x11, 0xCC, 0xDD, 0x00, 0xEE, 0xFF}, "FFEE00DDCC11"},
                      BdRow{"LongerText", "a1b2c3d4e5f6xy", {0xF6, 0xE5, 0xD4, 0xC3, 0xB2, 0xA1}, "A1B2C3D4E5F6XY"}),
    [](const auto& info) { return std::string(info.param.name); });

class BdAddrRefused : public TesselNv, public ::testing::WithParamInterface<BadText> {};

TEST_P(BdAddrRefused, NothingIsWrittenAndTheTextStays) {
    char text[32];
    std::snprintf(text, sizeof text, "%s", GetParam().text);
    EXPECT_EQ(_Tessel_NvWriteBDAddr(s_, text, "b.c", 1), kLib);
    EXPECT_TRUE(accesses().empty());
    EXPECT_STREQ(text, GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Texts, BdAddrRefused,
                         ::testing::Values(BadText{"Empty", ""}, BadText{"Eleven", "0123456789a"},
                                           BadText{"LetterG", "0123456789AG"}, BadText{"Blank", "01234 6789ab"},
                                           BadText{"Colons", "01:23:45:67:89:AB"}, BadText{"Sign", "-123456789AB"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Nv, BdAddrReadFailureLeavesTheTextEmpty) {
    char text[TESSEL_BD_ADDR_TEXT_MAX] = "XXXXXXXXXXXX";
    EXPECT_EQ(_Tessel_NvReadBDAddr(s_, text, "b.c", 1), kLib);  // never written
    EXPECT_STREQ(text, "");
    phone().set_nv(447, {1, 2, 3, 4, 5, 6}, 3);
    std::strcpy(text, "XXXXXXXXXXXX");
    EXPECT_EQ(_Tessel_NvReadBDAddr(s_, text, "b.c", 1), kLib);
    EXPECT_STREQ(text, "");
}

TEST_F(Nv, RawBdAddrIsStoredAsGiven) {
    const unsigned char raw[6] = {0x01, 0x02, 0x03, 0xA4, 0xB5, 0xC6};
    EXPECT_EQ(_Tessel_NvWriteRawBDAddr(s_, raw, "b.c", 1), 0);
    EXPECT_EQ(phone().nv.at(447).data, Bytes(raw, raw + 6));
    char text[TESSEL_BD_ADDR_TEXT_MAX];
    EXPECT_EQ(_Tessel_NvReadBDAddr(s_, text, "b.c", 2), 0);
    EXPECT_STREQ(text, "C6B5A4030201");
    phone().set_nv(447, {}, 4);
    EXPECT_EQ(_Tessel_NvWriteRawBDAddr(s_, raw, "b.c", 1), kLib);
}

// --- device serial number -----------------------------------------------------------------

TEST_F(Nv, DeviceSerialNumberIsSixteenRawBytes) {
    unsigned char dsn[16];
    for (int i = 0; i < 16; ++i) dsn[i] = static_cast<unsigned char>(0xF0 + i);
    EXPECT_EQ(_Tessel_NvWriteDSN(s_, dsn, "d.c", 1), 0);
    EXPECT_EQ(phone().nv.at(2824).data, Bytes(dsn, dsn + 16));
    unsigned char back[16] = {};
    EXPECT_EQ(_Tessel_NvReadDSN(s_, back, "d.c", 2), 0);
    EXPECT_EQ(Bytes(back, back + 16), Bytes(dsn, dsn + 16));
    EXPECT_EQ(accesses(), (Accesses{{'W', 2824, 16}, {'R', 2824, 16}}));
}

TEST_F(Nv, DeviceSerialNumberReadFailureLeavesTheBuffer) {
    phone().set_nv(2824, Bytes(16, 0x55), 5);
    unsigned char back[16];
    std::memset(back, 0xEE, sizeof back);
    EXPECT_EQ(_Tessel_NvReadDSN(s_, back, "d.c", 1), kLib);
    EXPECT_EQ(Bytes(back, back + 16), Bytes(16, 0xEE));
    EXPECT_EQ(_Tessel_NvReadDSN(s_, nullptr, "d.c", 1), TESSEL_ERROR_PARAMETER2);
}

// --- flags ---------------------------------------------------------------------------------

using SetFlagFn = int (*)(int, unsigned short, const char*, int);
using GetFlagFn = int (*)(int, unsigned short*, const char*, int);
struct Flag {
    const char* name;
    int item;
    SetFlagFn set;
    GetFlagFn get;  // null: no getter
};
const Flag kFlags[] = {{"Ftm", 453, _Tessel_NvSetFtmFlag, nullptr},
                       {"BatteryFake", 3323, _Tessel_NvSetBatteryFakeFlag, _Tessel_NvGetBatteryFakeFlag},
                       {"AirSecurity", 2985, _Tessel_NvSetAirSecurityFlag, _Tessel_NvGetAirSecurityFlag}};

class FlagSet : public TesselNv, public ::testing::WithParamInterface<std::tuple<Flag, int>> {};

TEST_P(FlagSet, AnyNonZeroFlagIsStoredAsOneAndReadBack) {
    const auto& [flag, value] = GetParam();
    EXPECT_EQ(flag.set(s_, static_cast<unsigned short>(value), "f.c", 1), 0);
    EXPECT_EQ(phone().nv.at(flag.item).data, Bytes{static_cast<std::uint8_t>(value ? 1 : 0)});
    EXPECT_EQ(accesses(), (Accesses{{'W', flag.item, 1}, {'R', flag.item, 1}}));
}
INSTANTIATE_TEST_SUITE_P(Values, FlagSet, ::testing::Combine(::testing::ValuesIn(kFlags), ::testing::Values(0, 1, 2, 0xFFFF)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::to_string(std::get<1>(info.param));
                         });

class FlagFailure : public TesselNv, public ::testing::WithParamInterface<Flag> {};

TEST_P(FlagFailure, WriteStatusStopsBeforeTheReadBack) {
    phone().set_nv(GetParam().item, {0}, 4);
    EXPECT_EQ(GetParam().set(s_, 1, "f.c", 1), kLib);
    EXPECT_EQ(accesses(), (Accesses{{'W', GetParam().item, 1}}));
}
TEST_P(FlagFailure, ReadBackOfAnotherValueFails) {
    readAnswers(GetParam().item, {0});
    EXPECT_EQ(GetParam().set(s_, 1, "f.c", 1), kLib);
    EXPECT_EQ(accesses().size(), 2u);
}
TEST_P(FlagFailure, ReadBackStatusFails) {
    phone().set_handler("QLIB_DIAG_NV_READ_F", [](qmsl_sim::Phone&, const qmsl_sim::Call& c) {
        c.set_bytes(0, {1});
        c.set(1, 2);
        return true;
    });
    EXPECT_EQ(GetParam().set(s_, 1, "f.c", 1), kLib);
}
INSTANTIATE_TEST_SUITE_P(Flags, FlagFailure, ::testing::ValuesIn(kFlags),
                         [](const auto& info) { return std::string(info.param.name); });

class FlagGet : public TesselNv, public ::testing::WithParamInterface<std::tuple<Flag, int>> {};

TEST_P(FlagGet, StoredZeroOrOneIsGivenAnythingElseFails) {
    const auto& [flag, stored] = GetParam();
    phone().set_nv(flag.item, {static_cast<std::uint8_t>(stored)});
    unsigned short out = 77;
    const int st = flag.get(s_, &out, "f.c", 1);
    if (stored <= 1) {
        EXPECT_EQ(st, 0);
        EXPECT_EQ(out, stored);
    } else {
        EXPECT_EQ(st, kLib);
        EXPECT_EQ(out, 77);
    }
}
INSTANTIATE_TEST_SUITE_P(Stored, FlagGet,
                         ::testing::Combine(::testing::Values(kFlags[1], kFlags[2]), ::testing::Values(0, 1, 2, 0xFF)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::to_string(std::get<1>(info.param));
                         });

TEST_F(Nv, FlagGetterWithAFailedReadLeavesTheOutput) {
    unsigned short out = 77;
    EXPECT_EQ(_Tessel_NvGetBatteryFakeFlag(s_, &out, "f.c", 1), kLib);  // never written
    EXPECT_EQ(out, 77);
    EXPECT_EQ(_Tessel_NvGetAirSecurityFlag(s_, nullptr, "f.c", 1), TESSEL_ERROR_PARAMETER2);
}

TEST_F(Nv, AutoAnswerIsOnForExactlyOne) {
    for (const auto& [arg, stored] : std::vector<std::pair<int, int>>{{1, 1}, {0, 0}, {2, 0}}) {
        phone().clear_journal();
        EXPECT_EQ(_Tessel_NvSetAutoAnswerStatus(s_, static_cast<unsigned short>(arg), "a.c", 1), 0);
        EXPECT_EQ(phone().nv.at(74).data, Bytes{static_cast<std::uint8_t>(stored)}) << arg;
        EXPECT_EQ(accesses(), (Accesses{{'W', 74, 1}}));
    }
}

TEST_F(Nv, CallAndResultLinesOfAFlag) {
    EXPECT_EQ(_Tessel_NvSetFtmFlag(s_, 2, "f.c", 7), 0);
    const Lines l = lines();
    ASSERT_FALSE(l.empty());
    EXPECT_EQ(l.front(), "(3C)    _Tessel_NvSetFtmFlag( Handle=" + std::to_string(handleOf(s_)) +
                             ", bFtmFlag=2 ) Sess=1 in File \"f.c\" Line 7");
    EXPECT_TRUE(hasLine("_Tessel_DiagNvWriteF( Handle="));
    EXPECT_TRUE(hasLine("_Tessel_DiagNvReadF( Handle="));
    EXPECT_EQ(l.back(), "(3A)    _Tessel_NvSetFtmFlag( ) = 0 (SUCCESS) ");
}

} // namespace
