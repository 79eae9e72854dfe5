#include "brannik_test.h"
#include "case_runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

using TextGet = int (*)(char*, int, char*);
using NumberGet = int (*)(int*, char*);

struct TextRow {
    const char* name;
    TextGet get;
};
struct NumberRow {
    const char* name;
    NumberGet get;
};

#define BRANNIK_TEXT(n) TextRow{#n, BrannikGet_##n},
#define BRANNIK_NUMBER(n)
#define BRANNIK_PUT_TEXT(n)
#define BRANNIK_PUT_NUMBER(n)
const TextRow kTextRows[] = {
#include "brannik_items.inc"
};
#undef BRANNIK_TEXT
#undef BRANNIK_NUMBER
#define BRANNIK_TEXT(n)
#define BRANNIK_NUMBER(n) NumberRow{#n, BrannikGet_##n},
const NumberRow kNumberRows[] = {
#include "brannik_items.inc"
};
#undef BRANNIK_TEXT
#undef BRANNIK_NUMBER
#undef BRANNIK_PUT_TEXT
#undef BRANNIK_PUT_NUMBER

void PrintTo(const TextRow& r, std::ostream* os) { *os << r.name; }
void PrintTo(const NumberRow& r, std::ostream* os) { *os << r.name; }

class BrannikText : public ::testing::TestWithParam<TextRow> {
protected:
    void SetUp() override { brannik_test::reset(); }
};
class BrannikNumber : public ::testing::TestWithParam<NumberRow> {
protected:
    void SetUp() override { brannik_test::reset(); }
};

TEST_P(BrannikText, NeverSetFailsWithATextAndLeavesTheBuffer) {
    char buf[16] = "keep", err[256] = "";
    EXPECT_EQ(GetParam().get(buf, sizeof buf, err), -1);
    EXPECT_STREQ(buf, "keep");
    EXPECT_NE(std::string(err).find(std::string(GetParam().name) + " not set"), std::string::npos) << err;
}

TEST_P(BrannikText, GivesBackWhatWasSetWhenItFitsAndRefusesToCut) {
    brannik_test::set_text(GetParam().name, "0123456789");
    char buf[11] = "", err[256] = "";
    ASSERT_EQ(GetParam().get(buf, sizeof buf, err), 0) << err;
    EXPECT_STREQ(buf, "0123456789");
    char small[10] = "keep";
    EXPECT_EQ(GetParam().get(small, sizeof small, err), -1);
    EXPECT_STREQ(small, "keep");
    EXPECT_NE(std::string(err).find("10 characters"), std::string::npos) << err;
}

TEST_P(BrannikText, APlannedFailureGivesItsText) {
    brannik_test::set_text(GetParam().name, "x");
    brannik_test::fail(GetParam().name, "store down");
    char buf[8] = "", err[256] = "";
    EXPECT_EQ(GetParam().get(buf, sizeof buf, err), -1);
    EXPECT_NE(std::string(err).find("store down"), std::string::npos) << err;
}

TEST_P(BrannikNumber, NeverSetFailsThenGivesBackWhatWasSet) {
    int v = 5;
    char err[256] = "";
    EXPECT_EQ(GetParam().get(&v, err), -1);
    EXPECT_EQ(v, 5);
    EXPECT_NE(std::string(err).find(std::string(GetParam().name) + " not set"), std::string::npos) << err;
    brannik_test::set_number(GetParam().name, -42);
    ASSERT_EQ(GetParam().get(&v, err), 0);
    EXPECT_EQ(v, -42);
    brannik_test::fail(GetParam().name, "no line");
    EXPECT_EQ(GetParam().get(&v, err), -1);
    EXPECT_NE(std::string(err).find("no line"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Items, BrannikText, ::testing::ValuesIn(kTextRows),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Items, BrannikNumber, ::testing::ValuesIn(kNumberRows),
                         [](const auto& info) { return std::string(info.param.name); });

// The items file is read once per process, and planned failures stay planned.
PHONELINE_CASES_APART(Brannik);

TEST(Brannik, WhatOneCallPutsALaterGetReturns) {
    brannik_test::reset();
    char err[256] = "", buf[128] = "";
    ASSERT_EQ(BrannikPut_FlashSerialNumber("0", err), 0);
    ASSERT_EQ(BrannikPut_SimId("", err), 0);
    ASSERT_EQ(BrannikPut_MobSwDateTime("2000-01-01 01:01:01", err), 0);
    ASSERT_EQ(BrannikPut_MobSwVersion(17, err), 0);
    ASSERT_EQ(BrannikGet_FlashSerialNumber(buf, sizeof buf, err), 0);
    EXPECT_STREQ(buf, "0");
    ASSERT_EQ(BrannikGet_SimId(buf, sizeof buf, err), 0);
    EXPECT_STREQ(buf, "");
    ASSERT_EQ(BrannikGet_MobSwDateTime(buf, sizeof buf, err), 0);
    EXPECT_STREQ(buf, "2000-01-01 01:01:01");
    int v = 0;
    ASSERT_EQ(BrannikGet_MobSwVersion(&v, err), 0);
    EXPECT_EQ(v, 17);
}

TEST(Brannik, APlannedFailureHitsThePutToo) {
    brannik_test::reset();
    brannik_test::fail("SimId", "locked by the line");
    char err[256] = "";
    EXPECT_EQ(BrannikPut_SimId("89", err), -1);
    EXPECT_NE(std::string(err).find("locked by the line"), std::string::npos);
    EXPECT_FALSE(brannik_test::text("SimId"));
}

TEST(Brannik, APlannedFailureCanComeAfterSomeCallsSucceeded) {
    brannik_test::reset();
    brannik_test::set_number("LineNr", 3);
    brannik_test::fail("LineNr", "second read fails", 1);
    int v = 0;
    char err[256] = "";
    EXPECT_EQ(BrannikGet_LineNr(&v, err), 0);
    EXPECT_EQ(BrannikGet_LineNr(&v, err), -1);
    EXPECT_EQ(BrannikGet_LineNr(&v, err), -1);
    EXPECT_NE(std::string(err).find("second read fails"), std::string::npos);
}

TEST(Brannik, NullArgumentsAreFailuresNotCrashes) {
    brannik_test::reset();
    brannik_test::set_text("Standort", "BO1");
    brannik_test::set_number("LineNr", 1);
    char err[256] = "";
    EXPECT_EQ(BrannikGet_Standort(nullptr, 128, err), -1);
    EXPECT_EQ(BrannikGet_LineNr(nullptr, err), -1);
    EXPECT_EQ(BrannikPut_SimId(nullptr, err), -1);
    EXPECT_EQ(BrannikGet_LineNr(nullptr, nullptr), -1);
}

TEST(Brannik, ALongPlannedTextIsCutToTheErrorBuffer) {
    brannik_test::reset();
    brannik_test::fail("Sk003", std::string(1000, 'e'));
    char err[300];
    std::memset(err, 'z', sizeof err);
    int v = 0;
    EXPECT_EQ(BrannikGet_Sk003(&v, err), -1);
    EXPECT_EQ(std::strlen(err), 255u);
    EXPECT_EQ(err[256], 'z');
}

TEST(Brannik, LoadsTheItemsOfTheFileNamedByTheEnvironment) {
    const std::string path = std::string(BRANNIK_TEST_DIR) + "/brannik_items.txt";
    std::ofstream(path) << "# station BO1\nStandort=BO1\r\n\nLineNr=7\nLineType=F\nSammelkarte=S30880-Q8400\n";
    setenv("BRANNIK_FILE", path.c_str(), 1);
    char err[256] = "", buf[128] = "";
    ASSERT_EQ(BrannikGet_Standort(buf, sizeof buf, err), 0) << err;
    EXPECT_STREQ(buf, "BO1");
    ASSERT_EQ(BrannikGet_Sammelkarte(buf, sizeof buf, err), 0) << err;
    EXPECT_STREQ(buf, "S30880-Q8400");
    int v = 0;
    ASSERT_EQ(BrannikGet_LineNr(&v, err), 0);
    EXPECT_EQ(v, 7);
    ASSERT_EQ(BrannikGet_LineType(&v, err), 0);
    EXPECT_EQ(v, 'F');
    EXPECT_EQ(BrannikGet_SimId(buf, sizeof buf, err), -1);
}

} // namespace
