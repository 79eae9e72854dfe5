// Boot PINs and flash serial numbers: the capacity rule, the lengths the
// database gives, its refusals and errors.
#include "data_fixture.h"

#include <cstring>

namespace {

constexpr const char* kImei = "350000000000011";

struct PinRow {
    const char* name;
    const char* pin;  // SQL for the stored bytes
    const char* len;  // SQL for the reported length (NULL: the bytes' length)
    int result;       // the routine's result
    int capacity;     // *len on input
    int expect;       // the operation's result
    int lenAfter;     // *len afterwards
    const char* copied;  // bytes in buf afterwards
    const char* message;
};
void PrintTo(const PinRow& r, std::ostream* os) { *os << r.name; }

class BootPin : public DalmireData, public ::testing::WithParamInterface<PinRow> {};

TEST_P(BootPin, ResultLengthAndText) {
    const PinRow& row = GetParam();
    admin.exec(std::string("INSERT INTO mero.boot_pin VALUES ('") + kImei + "', " + row.pin + ", " + row.len + ", " +
               std::to_string(row.result) + ")");
    unsigned char buf[300];
    std::memset(buf, '#', sizeof buf);
    int len = row.capacity;
    char err[256] = "junk";
    EXPECT_EQ(varndb_getImeiInfo(kImei, buf, &len, err), row.expect);
    EXPECT_EQ(len, row.lenAfter);
    std::string copied(row.copied);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), copied.size()), copied);
    EXPECT_EQ(buf[copied.size()], '#');
    EXPECT_STREQ(err, row.message);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BootPin,
    ::testing::Values(
        PinRow{"Fits", "'12345678'", "NULL", 0, 16, 0, 8, "12345678", ""},
        PinRow{"ExactlyTheCapacity", "'12345678'", "NULL", 0, 8, 0, 8, "12345678", ""},
        PinRow{"TooLong", "'12345678'", "NULL", 0, 7, VARNDB_E_LOCAL, 7, "", "Output buffer to small (7<8)!"},
        PinRow{"NegativeLength", "'12345678'", "-1", 0, 16, VARNDB_E_LOCAL, 16, "", "Output buffer to small (16<-1)!"},
        PinRow{"LengthAboveTheHostBuffer", "'12345678'", "300", 0, 256, VARNDB_E_LOCAL, 256, "",
               "Output buffer to small (256<300)!"},
        PinRow{"RefusedWithData", "'locked'", "NULL", 3, 16, 3, 6, "locked", "GetImeiInfo() returns 3 (locked)"},
        PinRow{"RefusedAndTooLong", "'locked'", "NULL", 3, 2, 3, 2, "", "GetImeiInfo() returns 3 (locked)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DalmireData, BootPinOfAnUnknownImei) {
    unsigned char buf[256];
    int len = 256;
    char err[256] = "";
    EXPECT_EQ(varndb_getImeiInfo("350000000000099", buf, &len, err), 100);
    EXPECT_STREQ(err, "GetImeiInfo() returns 100 (no boot PIN for IMEI 350000000000099)");
}

TEST_F(DalmireData, BootPinCapacity256IsAcceptedAnd257RefusedBeforeTheConnectionCheck) {
    admin.exec(std::string("INSERT INTO mero.boot_pin VALUES ('") + kImei + "', '\\x00ff01', NULL, 0)");
    unsigned char buf[257];
    int len = 256;
    char err[256] = "";
    ASSERT_EQ(varndb_getImeiInfo(kImei, buf, &len, err), 0) << err;
    EXPECT_EQ(len, 3);
    EXPECT_EQ(buf[0], 0x00);
    EXPECT_EQ(buf[1], 0xff);
    varndb_Disconnect();
    len = 257;
    EXPECT_EQ(varndb_getImeiInfo(kImei, buf, &len, err), VARNDB_E_LOCAL);
    EXPECT_STREQ(err, "Input length > 256!");
    EXPECT_EQ(varndb_getFlashSerialNumber(buf, &len, err), VARNDB_E_LOCAL);
    EXPECT_STREQ(err, "Input length > 256!");
    len = 256;
    EXPECT_EQ(varndb_getImeiInfo(kImei, buf, &len, err), VARNDB_E_NOT_CONNECTED);
    EXPECT_STREQ(err, "Not connected to database!");
}

TEST_F(DalmireData, BootPinImeiLongerThanItsHostVariable) {
    unsigned char buf[16];
    int len = 16;
    char err[256] = "";
    auto before = sql::stats();
    EXPECT_EQ(varndb_getImeiInfo(text(17, '3').c_str(), buf, &len, err), VARNDB_E_LOCAL);
    EXPECT_STREQ(err, "IMEI number is too long [>16]!");
    EXPECT_EQ(statementsSince(before), 0);
}

TEST_F(DalmireData, BootPinOracleError) {
    inject("getbootpin", -1400);
    unsigned char buf[16];
    int len = 16;
    char err[256] = "";
    EXPECT_EQ(varndb_getImeiInfo(kImei, buf, &len, err), VARNDB_E_ORACLE);
    EXPECT_STREQ(err, "Oracle error: -1400 (ORA-01400: injected fault in getbootpin)!");
    EXPECT_EQ(len, 16);
}

TEST_F(DalmireData, FlashSerialNumbersAreFresh) {
    unsigned char a[16], b[16];
    int lenA = 16, lenB = 16;
    char err[256] = "junk";
    ASSERT_EQ(varndb_getFlashSerialNumber(a, &lenA, err), 0) << err;
    EXPECT_STREQ(err, "");
    ASSERT_EQ(varndb_getFlashSerialNumber(b, &lenB, err), 0) << err;
    EXPECT_EQ(lenA, 16);
    EXPECT_EQ(lenB, 16);
    EXPECT_NE(std::memcmp(a, b, 16), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(a), 3), "FSN");
    // Each hand-out is recorded and committed before the call returns.
    EXPECT_EQ(admin.column("SELECT len_in || ' ' || encode(value, 'escape') FROM mero.flash_serial ORDER BY id"),
              (std::vector<std::string>{"16 " + std::string(reinterpret_cast<char*>(a), 16),
                                        "16 " + std::string(reinterpret_cast<char*>(b), 16)}));
}

struct FsnRow {
    const char* name;
    int width;
    const char* reportedLen;
    int capacity;
    int expect;
    int lenAfter;
    const char* message;
};
void PrintTo(const FsnRow& r, std::ostream* os) { *os << r.name; }

class FlashSerialLength : public DalmireData, public ::testing::WithParamInterface<FsnRow> {};

TEST_P(FlashSerialLength, IsCheckedAgainstTheBuffer) {
    const FsnRow& row = GetParam();
    admin.exec("UPDATE mero.flash_serial_control SET width = " + std::to_string(row.width) +
               ", reported_len = " + row.reportedLen);
    unsigned char buf[300];
    std::memset(buf, '#', sizeof buf);
    int len = row.capacity;
    char err[256] = "junk";
    EXPECT_EQ(varndb_getFlashSerialNumber(buf, &len, err), row.expect);
    EXPECT_EQ(len, row.lenAfter);
    EXPECT_STREQ(err, row.message);
    if (row.expect != 0) {
        EXPECT_EQ(buf[0], '#');
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FlashSerialLength,
    ::testing::Values(FsnRow{"Twenty", 20, "NULL", 20, 0, 20, ""},
                      FsnRow{"LongerThanTheBuffer", 20, "NULL", 16, VARNDB_E_LOCAL, 16, "Output buffer to small (16<20)!"},
                      FsnRow{"NegativeLength", 16, "-5", 16, VARNDB_E_LOCAL, 16, "Output buffer to small (16<-5)!"},
                      FsnRow{"LengthAboveTheHostBuffer", 16, "257", 256, VARNDB_E_LOCAL, 256,
                             "Output buffer to small (256<257)!"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DalmireData, FlashSerialNumberOracleErrorAndNotConnected) {
    inject("getflashserialnumber", -1400);
    unsigned char buf[16];
    int len = 16;
    char err[256] = "";
    EXPECT_EQ(varndb_getFlashSerialNumber(buf, &len, err), VARNDB_E_ORACLE);
    EXPECT_STREQ(err, "Oracle error: -1400 (ORA-01400: injected fault in getflashserialnumber)!");
    varndb_Disconnect();
    EXPECT_EQ(varndb_getFlashSerialNumber(buf, &len, err), VARNDB_E_NOT_CONNECTED);
    EXPECT_STREQ(err, "Not connected to database!");
}

} // namespace
