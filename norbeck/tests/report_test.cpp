// The test-result report on a scripted wrapper (which captures the record)
// and a preset line-data store.
#include "NorbeckFixture.h"

#include <cstdint>
#include <cstring>
#include <ctime>
#include <regex>

namespace {

constexpr const char* kImei = "350000000000011";

class NorbeckReport : public NorbeckTest {
protected:
    void SetUp() override {
        NorbeckTest::SetUp();
        for (const auto& [item, value] : std::vector<std::pair<std::string, std::string>>{
                 {"Sammelkarte", "S30880-Q8400-A1"},
                 {"PstufeStatFile", "923"},
                 {"Standort", "BO1"},
                 {"MacAdress", "00a0c9123456"},
                 {"SimId", "8949020000001234567"},
                 {"FlashSerialNumber", "FSN0000000000042"},
                 {"MobSwDateTime", "2026-11-30 08:15:00"}})
            brannik_test::set_text(item, value);
        for (const auto& [item, value] : std::vector<std::pair<std::string, int>>{{"Sk003", 12345},
                                                                                   {"StdMapVer", 21},
                                                                                   {"DeltaMapProvider", 3},
                                                                                   {"DeltaMapVer", 4},
                                                                                   {"LineNr", 7},
                                                                                   {"LineType", 'F'},
                                                                                   {"MobSwVersion", 42}})
            brannik_test::set_number(item, value);
        answer("pellin_DoMeroReport", 0);
    }
    // The record the wrapper received, or empty.
    static std::vector<unsigned char> sent() {
        auto calls = pellin_test::calls("pellin_DoMeroReport");
        return calls.empty() ? std::vector<unsigned char>{} : calls.back().bytes;
    }
    static std::int32_t intAt(const std::vector<unsigned char>& r, std::size_t at) {
        std::int32_t v = 0;
        std::memcpy(&v, r.data() + at, 4);
        return v;
    }
    static std::string textAt(const std::vector<unsigned char>& r, std::size_t at) {
        return std::string(reinterpret_cast<const char*>(r.data() + at));
    }
};

TEST_F(NorbeckReport, TheRecordHoldsEveryFieldAtItsOffset) {
    const std::time_t before = std::time(nullptr);
    ASSERT_EQ(norbeck_MeroReport(2, 0, kImei, err), 0) << err;
    const std::time_t after = std::time(nullptr);
    auto r = sent();
    ASSERT_EQ(r.size(), 244u);
    EXPECT_EQ(intAt(r, 0), 1);
    EXPECT_EQ(textAt(r, 4), kImei);
    EXPECT_EQ(intAt(r, 24), 3);
    EXPECT_EQ(textAt(r, 28), "BO1");
    EXPECT_EQ(textAt(r, 32), "F");
    EXPECT_EQ(intAt(r, 36), 7);
    const std::string date = textAt(r, 40);
    ASSERT_TRUE(std::regex_match(date, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"))) << date;
    std::tm t{};
    strptime(date.c_str(), "%Y-%m-%d %H:%M:%S", &t);
    t.tm_isdst = -1;
    EXPECT_GE(std::mktime(&t), before - 1);
    EXPECT_LE(std::mktime(&t), after + 1);
    EXPECT_EQ(textAt(r, 60), "S30880-Q8400-A1");
    EXPECT_EQ(textAt(r, 86), "042");
    EXPECT_EQ(textAt(r, 127), "2026-11-30 08:15:00");
    EXPECT_EQ(textAt(r, 147), "8949020000001234567");
    EXPECT_EQ(textAt(r, 168), "FSN0000000000042");
    EXPECT_EQ(intAt(r, 192), 111);
    EXPECT_EQ(textAt(r, 196), "00a0c9123456");
    EXPECT_EQ(intAt(r, 220), 21);
    EXPECT_EQ(intAt(r, 224), 3);
    EXPECT_EQ(intAt(r, 228), 4);
    EXPECT_EQ(intAt(r, 232), 0);
    EXPECT_EQ(intAt(r, 236), 0);
    EXPECT_EQ(intAt(r, 240), 0);
    EXPECT_TRUE(traced("norbeck_MeroReport(iDutNr:2,iPassFailDut:0,350000000000011) ..."));
    EXPECT_TRUE(traced("sMeroReportData.iVersion: 1"));
    EXPECT_TRUE(traced("pellin_DoMeroReport() ok"));
}

TEST_F(NorbeckReport, AStoredReportResetsThePerPhoneLineData) {
    ASSERT_EQ(norbeck_MeroReport(1, 1, kImei, err), 0) << err;
    EXPECT_EQ(brannik_test::text("FlashSerialNumber"), "0");
    EXPECT_EQ(brannik_test::text("SimId"), "");
    EXPECT_EQ(brannik_test::text("MobSwDateTime"), "2000-01-01 01:01:01");
    EXPECT_EQ(brannik_test::number("MobSwVersion"), 0);
    // The next report finds the reset values.
    ASSERT_EQ(norbeck_MeroReport(1, 1, kImei, err), 0) << err;
    auto r = sent();
    EXPECT_EQ(textAt(r, 168), "0");
    EXPECT_EQ(textAt(r, 147), "");
    EXPECT_EQ(textAt(r, 127), "2000-01-01 01:01:01");
    EXPECT_EQ(textAt(r, 86), "000");
}

TEST_F(NorbeckReport, AReportTheWrapperRefusesLeavesTheLineData) {
    pellin_test::reset();
    answer("pellin_DoMeroReport", -22, "Oracle error: (ORA-00001)!");
    EXPECT_EQ(norbeck_MeroReport(1, 0, kImei, err), -1);
    EXPECT_STREQ(err, "Oracle error: (ORA-00001)!");
    EXPECT_EQ(brannik_test::text("FlashSerialNumber"), "FSN0000000000042");
    EXPECT_TRUE(traced("cErrMsg: Oracle error: (ORA-00001)!"));
}

struct Sk003Case {
    const char* name;
    int sk003;
    bool reported;
};
void PrintTo(const Sk003Case& c, std::ostream* os) { *os << c.name; }
class NorbeckReportSk003 : public NorbeckReport, public ::testing::WithParamInterface<Sk003Case> {};

TEST_P(NorbeckReportSk003, CalibrationPhonesGetNoReport) {
    brannik_test::set_number("Sk003", GetParam().sk003);
    ASSERT_EQ(norbeck_MeroReport(1, 0, kImei, err), 0) << err;
    EXPECT_EQ(pellin_test::calls("pellin_DoMeroReport").size(), GetParam().reported ? 1u : 0u);
    EXPECT_EQ(traced("S30880-Q8400-A1 => Calibration Phone => No MeroReport"), !GetParam().reported);
    EXPECT_TRUE(traced(GetParam().reported ? "*piMeroReportNeeded = 1" : "*piMeroReportNeeded = 0"));
    EXPECT_EQ(brannik_test::text("SimId").value_or("?").empty(), GetParam().reported);
}

INSTANTIATE_TEST_SUITE_P(Values, NorbeckReportSk003,
                         ::testing::Values(Sk003Case{"Below", 26989, true}, Sk003Case{"First", 26990, false},
                                           Sk003Case{"Last", 26999, false}, Sk003Case{"Above", 27000, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct StatusCase {
    const char* name;
    const char* statFile;
    int passFail;
    int status;
};
void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }
class NorbeckReportStatus : public NorbeckReport, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(NorbeckReportStatus, TheStatusFileSelectsTheCodes) {
    brannik_test::set_text("PstufeStatFile", GetParam().statFile);
    ASSERT_EQ(norbeck_MeroReport(1, GetParam().passFail, kImei, err), 0) << err;
    EXPECT_EQ(intAt(sent(), 24), GetParam().status);
    EXPECT_TRUE(traced("iPassFailDutMero: " + std::to_string(GetParam().status)));
}

INSTANTIATE_TEST_SUITE_P(
    Files, NorbeckReportStatus,
    ::testing::Values(StatusCase{"P923Pass", "923", 0, 3}, StatusCase{"P923Fail", "923", 1, 2},
                      StatusCase{"P916Pass", "916", 0, 5}, StatusCase{"P916Fail", "916", 1, 4},
                      StatusCase{"P920Pass", "920", 0, 7}, StatusCase{"P920Fail", "920", 1, 6},
                      StatusCase{"P9230Pass", "9230", 0, 1}, StatusCase{"P9230Fail", "9230", 1, 0},
                      StatusCase{"OtherPass", "abc", 0, 1}, StatusCase{"EmptyFail", "", 1, 0},
                      StatusCase{"UpperCaseIsLowered", "ABC", 0, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NorbeckReport, TheStatusFileIsTracedLowerCased) {
    brannik_test::set_text("PstufeStatFile", "X923");
    ASSERT_EQ(norbeck_MeroReport(1, 0, kImei, err), 0) << err;
    EXPECT_TRUE(traced("cPstufeStatFile: x923 => iPStufeSpecificFailForMero: 0  iPStufeSpecificPassForMero: 1"));
}

struct PrmCase {
    const char* name;
    int passFail;
    const char* imei;
    const char* errText;
    bool ownLine;  // the message is traced on a line of its own before the failure trace
};
void PrintTo(const PrmCase& c, std::ostream* os) { *os << c.name; }
class NorbeckReportPrm : public NorbeckReport, public ::testing::WithParamInterface<PrmCase> {};

TEST_P(NorbeckReportPrm, BadArgumentsStopBeforeTheLineDataIsRead) {
    brannik_test::fail("PstufeStatFile", "must not be read");
    EXPECT_EQ(norbeck_MeroReport(1, GetParam().passFail, GetParam().imei, err), -1);
    EXPECT_STREQ(err, GetParam().errText);
    const Lines l = lines();
    const auto failure = std::find(l.begin(), l.end(), std::string("cErrMsg: ") + GetParam().errText);
    ASSERT_NE(failure, l.end());
    EXPECT_EQ(failure != l.begin() && *(failure - 1) == GetParam().errText, GetParam().ownLine);
    EXPECT_TRUE(pellin_test::calls().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, NorbeckReportPrm,
    ::testing::Values(PrmCase{"PassFailTwo", 2, kImei, "!!!!!!!!! iPassFailDut: 2 not in [0,1] !!!!!!!!!", true},
                      PrmCase{"PassFailMinusOne", -1, kImei, "!!!!!!!!! iPassFailDut: -1 not in [0,1] !!!!!!!!!",
                              true},
                      PrmCase{"GorvidDummyImei", 0, "12345", "cDummyImei 12345 found in gorvid => no meroreport",
                              true},
                      PrmCase{"DummyImei", 1, "099999001234561",
                              "cImei: 099999001234561 is DummyImei [099999001234561]", false},
                      PrmCase{"ShortImei", 0, "35000000000001", "cImei: 35000000000001 not 15 char's", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct StepCase {
    const char* name;
    const char* item;
    int after;  // calls of the item that succeed first
};
void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }
class NorbeckReportStep : public NorbeckReport, public ::testing::WithParamInterface<StepCase> {};

TEST_P(NorbeckReportStep, AFailingLineDataCallEndsTheReportWithTheStoresText) {
    brannik_test::fail(GetParam().item, "line data unavailable", GetParam().after);
    EXPECT_EQ(norbeck_MeroReport(1, 0, kImei, err), -1);
    EXPECT_NE(std::string(err).find("line data unavailable"), std::string::npos) << err;
    EXPECT_TRUE(traced(std::string("cErrMsg: ") + err));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, NorbeckReportStep,
    ::testing::Values(StepCase{"Sammelkarte", "Sammelkarte", 0}, StepCase{"Sk003", "Sk003", 0},
                      StepCase{"PstufeStatFile", "PstufeStatFile", 0}, StepCase{"StdMapVer", "StdMapVer", 0},
                      StepCase{"DeltaMapProvider", "DeltaMapProvider", 0},
                      StepCase{"DeltaMapVer", "DeltaMapVer", 0}, StepCase{"LineNr", "LineNr", 0},
                      StepCase{"Standort", "Standort", 0}, StepCase{"LineType", "LineType", 0},
                      StepCase{"MacAdress", "MacAdress", 0}, StepCase{"SammelkarteAgain", "Sammelkarte", 1},
                      StepCase{"SimId", "SimId", 0}, StepCase{"MobSwVersion", "MobSwVersion", 0},
                      StepCase{"FlashSerialNumber", "FlashSerialNumber", 0},
                      StepCase{"MobSwDateTime", "MobSwDateTime", 0},
                      StepCase{"PutFlashSerialNumber", "FlashSerialNumber", 1}, StepCase{"PutSimId", "SimId", 1},
                      StepCase{"PutMobSwDateTime", "MobSwDateTime", 1},
                      StepCase{"PutMobSwVersion", "MobSwVersion", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NorbeckReport, AFailingResetComesAfterTheStoredReportAndStopsTheOtherResets) {
    brannik_test::fail("SimId", "locked", 1);
    EXPECT_EQ(norbeck_MeroReport(1, 0, kImei, err), -1);
    EXPECT_EQ(pellin_test::calls("pellin_DoMeroReport").size(), 1u);
    EXPECT_EQ(brannik_test::text("FlashSerialNumber"), "0");
    EXPECT_EQ(brannik_test::text("MobSwDateTime"), "2026-11-30 08:15:00");
    EXPECT_EQ(brannik_test::number("MobSwVersion"), 42);
}

struct LengthCase {
    const char* name;
    const char* item;
    int limit;
};
void PrintTo(const LengthCase& c, std::ostream* os) { *os << c.name; }
class NorbeckReportLength : public NorbeckReport, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(NorbeckReportLength, ATextLongerThanItsFieldIsRefusedAndNothingIsSent) {
    const std::string text(GetParam().limit, 'a');
    brannik_test::set_text(GetParam().item, text);
    ASSERT_EQ(norbeck_MeroReport(1, 0, kImei, err), 0) << err;
    pellin_test::reset();
    answer("pellin_DoMeroReport", 0);
    brannik_test::set_text("FlashSerialNumber", "F");
    brannik_test::set_text("SimId", "S");
    brannik_test::set_text("MobSwDateTime", "D");
    brannik_test::set_text(GetParam().item, text + "b");
    EXPECT_EQ(norbeck_MeroReport(1, 0, kImei, err), -1);
    EXPECT_EQ(std::string(err), "String [" + text + "b] to long for sMeroReportData-struct: Exp: " +
                                    std::to_string(GetParam().limit) +
                                    " Found: " + std::to_string(GetParam().limit + 1));
    EXPECT_TRUE(pellin_test::calls("pellin_DoMeroReport").empty());
}

INSTANTIATE_TEST_SUITE_P(Fields, NorbeckReportLength,
                         ::testing::Values(LengthCase{"Standort", "Standort", 3},
                                           LengthCase{"MacAdress", "MacAdress", 20},
                                           LengthCase{"Sammelkarte", "Sammelkarte", 25},
                                           LengthCase{"SimId", "SimId", 20},
                                           LengthCase{"FlashSerialNumber", "FlashSerialNumber", 20},
                                           LengthCase{"MobSwDateTime", "MobSwDateTime", 19}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
