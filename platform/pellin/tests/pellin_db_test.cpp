// The wrapper on the direct-SQL back-end and the test run's reference
// schema: connect, service codes, flash serial numbers, the SIM-data coder,
// the report and the files.
#include "pellin_test.h"

#include "halden.h"
#include "pclock.h"
#include "station_db.h"
#include "varndb.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

namespace {

class PellinDb : public ::testing::Test {
protected:
    void SetUp() override {
        PGTEST_REQUIRE_SERVER(admin);
        pclock::use_virtual_time(0);
        pellin_test::reset();
        char mac[HALDEN_MAC_SIZE] = {};
        getMACId(mac);
        ASSERT_TRUE(pgtest::reset_data(admin));
        ASSERT_TRUE(pgtest::register_station(admin, mac));
        ASSERT_EQ(pellin_Connect(connectText().c_str(), 0, 0, 0, err), 0) << err;
    }
    void TearDown() override {
        pellin_Disconnect(0);
        pclock::use_real_time();
    }
    static std::string connectText(const std::string& options = "") {
        return pgtest::station_login() + "/secret@" + pgtest::database() + options;
    }
    pgtest::Admin admin;
    char err[PELLIN_ERRTEXT_SIZE] = "";
};

TEST_F(PellinDb, ConnectsWithOptionWordsAfterTheText) {
    pellin_Disconnect(0);
    EXPECT_EQ(pellin_Connect(connectText(";debugblocks").c_str(), 0, 0, 0, err), 0) << err;
}

struct CodeCase {
    const char* name;
    const char* stored;  // nullptr: no row
    const char* code;    // nullptr: no code
};
void PrintTo(const CodeCase& c, std::ostream* os) { *os << c.name; }
class PellinDbServiceCode : public PellinDb, public ::testing::WithParamInterface<CodeCase> {};

TEST_P(PellinDbServiceCode, GivesTheDatabaseCodeOrFails) {
    const std::string imei = "350000000000011";
    if (GetParam().stored)
        admin.exec("INSERT INTO mero.service_code VALUES ('" + imei + "', '" + GetParam().stored + "')");
    char code[PELLIN_SERVICE_CODE_SIZE] = "untouched";
    int r = pellin_GetServiceCode(imei.c_str(), code, err);
    if (GetParam().code) {
        ASSERT_EQ(r, 0) << err;
        EXPECT_STREQ(code, GetParam().code);
    } else {
        EXPECT_NE(r, 0);
        EXPECT_STRNE(err, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, PellinDbServiceCode,
                         ::testing::Values(CodeCase{"SixDigits", "123456", "123456"},
                                           CodeCase{"LostLeadingZero", "12345", "012345"},
                                           CodeCase{"SevenDigits", "1234567", "1234567"},
                                           CodeCase{"NoRow", nullptr, nullptr},
                                           CodeCase{"EmptyText", "", nullptr},
                                           CodeCase{"MinusOne", "-1", nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PellinDb, AFlashSerialNumberOf16BytesComesThroughAndOtherWidthsFail) {
    unsigned char fsn[16] = {};
    int len = 16;
    ASSERT_EQ(pellin_GetFlashSerialNumber(fsn, &len, err), 0) << err;
    // The schema hands out "FSN" and 13 digits of a sequence that runs on over the whole test run.
    const std::string got(reinterpret_cast<char*>(fsn), 16);
    EXPECT_TRUE(std::regex_match(got, std::regex("FSN[0-9]{13}"))) << got;
    admin.exec("UPDATE mero.flash_serial_control SET width = 12");
    EXPECT_NE(pellin_GetFlashSerialNumber(fsn, &len, err), 0);
    EXPECT_STREQ(err, "pellin_GetFlashSerialNumber: 12 bytes instead of 16");
}

TEST_F(PellinDb, TheSimDataCoderAnswers600BytesForTheRequest) {
    unsigned char request[PELLIN_SIMDATA_REQUEST_SIZE];
    for (int i = 0; i < PELLIN_SIMDATA_REQUEST_SIZE; ++i) request[i] = static_cast<unsigned char>(i);
    unsigned char answer[PELLIN_SIMDATA_ANSWER_SIZE] = {};
    ASSERT_EQ(pellin_GetSimDataFromCoder(request, answer, err), 0) << err;
    EXPECT_EQ(answer[0], 1);
    EXPECT_EQ(answer[24], (24 * 7 + 3) % 256);
    const unsigned char btId[6] = {0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f};
    EXPECT_EQ(std::memcmp(answer + 592, btId, 6), 0);
    EXPECT_EQ(admin.value("SELECT coder || ':' || insize || ':' || encode(substring(input FROM 1 FOR 4), 'hex') "
                          "FROM mero.coder_call"),
              "SIMDATA:168:00010203");
}

TEST_F(PellinDb, AFailingCoderIsAFailure) {
    admin.exec("UPDATE mero.coder SET result = 3 WHERE coder = 'SIMDATA'");
    unsigned char request[PELLIN_SIMDATA_REQUEST_SIZE] = {};
    unsigned char answer[PELLIN_SIMDATA_ANSWER_SIZE] = {};
    EXPECT_NE(pellin_GetSimDataFromCoder(request, answer, err), 0);
}

TEST_F(PellinDb, AReportOfVersionOneIsStored) {
    unsigned char report[PELLIN_REPORT_SIZE] = {};
    report[0] = 1;
    Varn_DorlepData rec{};
    std::strcpy(rec.imei_nr, "350000000000011");
    rec.pruefstatus = 3;
    std::strcpy(rec.pruef_datum, "2026-12-10 12:00:00");
    std::strcpy(rec.comp_datum, "2000-01-01 01:01:01");
    rec.iZpos = 111;
    std::memcpy(report + 4, &rec, sizeof rec);
    ASSERT_EQ(pellin_DoMeroReport(report, err), 0) << err;
    EXPECT_EQ(admin.value("SELECT imei_nr || ':' || pruefstatus || ':' || zpos FROM mero.report"),
              "350000000000011:3:111");
}

TEST_F(PellinDb, AFileIsStoredFetchedBackAndDeleted) {
    char tmpl[] = "/tmp/pellin-files.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl, name = "350000000000011.bin";
    std::ofstream(dir + "/" + name, std::ios::binary) << std::string("\x01\x00\x02 data", 8);
    ASSERT_EQ(pellin_PutFile("350000000000011", "bin", dir.c_str(), name.c_str(), err), 0) << err;
    std::filesystem::remove(dir + "/" + name);
    ASSERT_EQ(pellin_GetFile("350000000000011", "bin", dir.c_str(), err), 0) << err;
    std::ifstream in(dir + "/" + name, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), std::string("\x01\x00\x02 data", 8));
    ASSERT_EQ(pellin_DeleteFile("350000000000011", "bin", err), 0) << err;
    EXPECT_EQ(admin.value("SELECT count(*) FROM mero.imei_file"), "0");
    std::filesystem::remove_all(dir);
}

} // namespace
