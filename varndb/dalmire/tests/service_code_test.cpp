// Service codes: the number and the text form for the codes the database
// keeps (or not), the IMEI check, the connection check and errors.
#include "data_fixture.h"

namespace {

struct CodeRow {
    const char* name;
    const char* stored;  // SQL of the code stored for the IMEI; nullptr: no row
    int numberResult, number;
    int textResult;
    const char* textCode;     // the code text given back
    const char* textMessage;  // errText after the text form
};
void PrintTo(const CodeRow& r, std::ostream* os) { *os << r.name; }

class ServiceCodes : public DalmireData, public ::testing::WithParamInterface<CodeRow> {};

constexpr const char* kImei = "350000000000011";

TEST_P(ServiceCodes, NumberAndText) {
    const CodeRow& row = GetParam();
    if (row.stored)
        admin.exec(std::string("INSERT INTO mero.service_code VALUES ('") + kImei + "', " + row.stored + ")");
    int code = 12345;
    char err[256] = "junk";
    EXPECT_EQ(varndb_getServiceCode(kImei, &code, err), row.numberResult) << err;
    EXPECT_EQ(code, row.number);
    if (row.numberResult == 0) {
        EXPECT_STREQ(err, "");
    }

    char codeText[101] = "junk";
    EXPECT_EQ(varndb_getCharServiceCode(kImei, codeText, err), row.textResult);
    EXPECT_STREQ(codeText, row.textCode);
    EXPECT_STREQ(err, row.textMessage);
    // Each look-up is recorded with the code it gave, committed before the
    // call returns: another session sees both records at once, also that of
    // a block that then failed to convert the code.
    const std::string gave = row.stored ? admin.value("SELECT coalesce(code, '<null>') FROM mero.service_code") : "<null>";
    EXPECT_EQ(admin.column("SELECT imei || ' ' || macadr || ' ' || ipadr || ' ' || coalesce(code, '<null>') "
                           "FROM mero.service_call ORDER BY id"),
              std::vector<std::string>(2, std::string(kImei) + " " + mac + " " + ip + " " + gave));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ServiceCodes,
    ::testing::Values(
        CodeRow{"Numeric", "'4711'", 0, 4711, 0, "4711", ""},
        CodeRow{"NoCode", nullptr, 0, -1, -1, "", "Error -1 in call to mero.zi_service!"},
        CodeRow{"NullCode", "NULL", 0, -1, -1, "", "Error -1 in call to mero.zi_service!"},
        CodeRow{"EmptyCodeIsNoCode", "''", 0, -1, -1, "", "Error -1 in call to mero.zi_service!"},
        CodeRow{"NegativeCode", "'-7'", 0, -7, -1, "", "Error -7 in call to mero.zi_service!"},
        CodeRow{"TextCode", "'A1B2'", -6502, -1, 0, "A1B2", ""},
        CodeRow{"HundredCharacters", "repeat('1234567890', 10)",
                -1455, -1, 0,
                "1234567890123456789012345678901234567890123456789012345678901234567890"
                "123456789012345678901234567890",
                ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DalmireData, ServiceCodeNumberErrorText) {
    admin.exec(std::string("INSERT INTO mero.service_code VALUES ('") + kImei + "', 'A1B2')");
    int code = 5;
    char err[256] = "";
    EXPECT_EQ(varndb_getServiceCode(kImei, &code, err), -6502);
    EXPECT_EQ(std::string(err).rfind("Oracle error: (ORA-06502: ", 0), 0u) << err;
    EXPECT_EQ(std::string(err).substr(std::string(err).size() - 2), ")!");
}

TEST_F(DalmireData, ServiceCodeIsAlwaysTheStoredNumberAfterARerun) {
    admin.exec(std::string("INSERT INTO mero.service_code VALUES ('") + kImei + "', '815')");
    inject("zi_service", -4061, 1);
    int code = 0;
    EXPECT_EQ(varndb_getServiceCode(kImei, &code, nullptr), 0);
    EXPECT_EQ(code, 815);
    EXPECT_EQ(calls("zi_service"), 2);
}

// The operations' own argument and connection refusals.
struct RefusalRow {
    const char* name;
    bool text;          // the text form
    std::size_t imeiLength;
    bool connected;
    int result;
    const char* message;
};
void PrintTo(const RefusalRow& r, std::ostream* os) { *os << r.name; }

class ServiceCodeRefusal : public DalmireData, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(ServiceCodeRefusal, GivesCodeAndText) {
    const RefusalRow& row = GetParam();
    if (!row.connected) varndb_Disconnect();
    std::string imei = text(row.imeiLength, '3');
    char err[256] = "junk";
    int code = 99;
    char codeText[101] = "keep";
    int r = row.text ? varndb_getCharServiceCode(imei.c_str(), codeText, err)
                     : varndb_getServiceCode(imei.c_str(), &code, err);
    EXPECT_EQ(r, row.result);
    EXPECT_STREQ(err, row.message);
    EXPECT_EQ(code, 99);
    EXPECT_STREQ(codeText, "keep");
    EXPECT_EQ(calls("zi_service"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ServiceCodeRefusal,
    ::testing::Values(RefusalRow{"Imei17", false, 17, true, -32, "IMEI number is to long! [>16]!"},
                      RefusalRow{"TextImei17", true, 17, true, -32, "IMEI number is to long! [>16]!"},
                      RefusalRow{"Imei17NotConnected", false, 17, false, -32, "IMEI number is to long! [>16]!"},
                      RefusalRow{"NotConnected", false, 16, false, -32, "Not connected to database!"},
                      RefusalRow{"TextNotConnected", true, 16, false, -32, "Not connected to database!"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DalmireData, ServiceCodeImei16IsAccepted) {
    int code = 0;
    EXPECT_EQ(varndb_getServiceCode(text(16, '3').c_str(), &code, nullptr), 0);
    EXPECT_EQ(code, -1);
}

TEST_F(DalmireData, ServiceCodeOracleErrorIsTheCodeItself) {
    inject("zi_service", -942, 2);
    int code = 5;
    char err[256] = "";
    EXPECT_EQ(varndb_getServiceCode(kImei, &code, err), -942);
    EXPECT_STREQ(err, "Oracle error: (ORA-00942: injected fault in zi_service)!");
    EXPECT_EQ(code, -1);
    char codeText[101] = "keep";
    EXPECT_EQ(varndb_getCharServiceCode(kImei, codeText, err), -942);
    EXPECT_STREQ(err, "Oracle error: (ORA-00942: injected fault in zi_service)!");
    EXPECT_STREQ(codeText, "");
}

} // namespace
