// The software version number from the model text and the release date and
// time for the production-information system.
#include "TesselFctsFixture.h"
#include "qmsl_diag_sim.h"

#include <cstring>

namespace {

class PeriphVersion : public TesselFcts {};

struct SvnCase {
    const char* name;
    const char* modelText;
    int iStatus;
    int iSvn;
};

const SvnCase kSvns[] = {
    {"TwoDigitsAfterTheSecondSeparator", "abc;defg;0742x", 0, 7},  // ';' at 3 and 8: characters 9 and 10
    {"OnlyTwoCharactersRead", "a;b;123", 0, 12},
    {"OneCharacterLeft", "a;b;9", 0, 9},
    {"NotANumber", "a;b;xy", 0, 0},
    {"NoFieldAfterTheSecond", "a;b;", TESSEL_ERROR_LIBRARY, 255},
    {"OneSeparator", "abc;def", TESSEL_ERROR_LIBRARY, 255},
    {"NoSeparator", "abcdef", TESSEL_ERROR_LIBRARY, 255},
    {"Empty", "", TESSEL_ERROR_LIBRARY, 255},
};

class Svn : public PeriphVersion, public ::testing::WithParamInterface<SvnCase> {};

TEST_P(Svn, ReadsTheThirdField) {
    const SvnCase& c = GetParam();
    phone().profile.model_text = c.modelText;
    const int s = connected();
    unsigned char ucSvn = 0;
    EXPECT_EQ(_Tessel_SpecialGetSVN(s, &ucSvn, "t.c", 1), c.iStatus);
    EXPECT_EQ(ucSvn, c.iSvn);
    EXPECT_TRUE(hasLine("_Tessel_SpecialGetSVN(*iSVN=" + std::to_string(c.iSvn) + " )"));
}

INSTANTIATE_TEST_SUITE_P(ModelTexts, Svn, ::testing::ValuesIn(kSvns),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PeriphVersion, SvnOfAFailedBuildIdIsUnknown) {
    const int s = connected();
    phone().inject("QLIB_DIAG_EXT_BUILD_ID_F", {});
    unsigned char ucSvn = 0;
    EXPECT_EQ(_Tessel_SpecialGetSVN(s, &ucSvn, "t.c", 1), kLib);
    EXPECT_EQ(ucSvn, 255);
    const int u = openSession();  // a second, unconnected session
    ucSvn = 0;
    EXPECT_EQ(_Tessel_SpecialGetSVN(u, &ucSvn, "t.c", 1), kLib);
    EXPECT_EQ(ucSvn, 255);
}

struct SwVerCase {
    const char* name;
    const char* relDate;
    const char* relTime;
    int iStatus;
    const char* text;
};

// clang-format off
const SwVerCase kSwVers[] = {
    {"Good",                 "Mar  7 2006", "14:05:09", 0,                    "2006-03-07 14:05:09"},
    {"December",             "Dec 31 1999", "23:59:59", 0,                    "1999-12-31 23:59:59"},
    {"LongMonthName",        "January 1 2", "00:00:01", 0,                    "0002-01-01 00:00:01"},
    {"CutAfterElevenAndEight", "Feb 10 20071", "01:02:034", 0,                "2007-02-10 01:02:03"},
    {"UnknownMonth",         "Foo  7 2006", "14:05:09", TESSEL_ERROR_LIBRARY, "2006--1-07 14:05:09"},
    {"DateWithoutYear",      "Mar  7",      "14:05:09", TESSEL_ERROR_LIBRARY, "0000-03-07 14:05:09"},
    {"EmptyDate",            "",            "14:05:09", TESSEL_ERROR_LIBRARY, "0000-00-00 14:05:09"},
    {"TimeWithoutSeconds",   "Mar  7 2006", "14:05",    TESSEL_ERROR_LIBRARY, "2006-03-07 14:05:00"},
    // Numbers too wide for the fields: the text stays within its 20 bytes.
    {"HugeNumbers",          "Mar 99999 99", "99999:99", TESSEL_ERROR_LIBRARY, "0009-03-99999 99999"},
};
// clang-format on

class SwVer : public PeriphVersion, public ::testing::WithParamInterface<SwVerCase> {};

TEST_P(SwVer, FromTheReleaseDateAndTime) {
    const SwVerCase& c = GetParam();
    qmsl_sim::diag_info(phone()).rel_date = c.relDate;
    qmsl_sim::diag_info(phone()).rel_time = c.relTime;
    const int s = connected();
    char text[TESSEL_SW_VERSION_TEXT_MAX + 4];
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(_Tessel_SpecialGetSwVerForMero(s, text, "t.c", 1), c.iStatus);
    EXPECT_STREQ(text, c.text);
    EXPECT_EQ(text[TESSEL_SW_VERSION_TEXT_MAX], '#');  // nothing written past the 20 bytes
    EXPECT_TRUE(hasLine(std::string("SvMero='") + c.text + "' )"));
}

INSTANTIATE_TEST_SUITE_P(ReleaseTexts, SwVer, ::testing::ValuesIn(kSwVers),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PeriphVersion, SwVerOfAnUnconnectedSessionWritesNothing) {
    const int s = openSession();
    char text[TESSEL_SW_VERSION_TEXT_MAX] = "untouched";
    EXPECT_EQ(_Tessel_SpecialGetSwVerForMero(s, text, "t.c", 1), kLib);
    EXPECT_STREQ(text, "untouched");
}

TEST_F(PeriphVersion, SwVerOfAFailedVersionCallIsZeroes) {
    const int s = connected();
    phone().inject("QLIB_DIAG_VERNO_F", {});
    char text[TESSEL_SW_VERSION_TEXT_MAX];
    EXPECT_EQ(_Tessel_SpecialGetSwVerForMero(s, text, "t.c", 1), kLib);
    EXPECT_STREQ(text, "0000-00-00 00:00:00");
}

} // namespace
