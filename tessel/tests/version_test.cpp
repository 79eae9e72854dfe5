// The two version gates of init: pass silently, pass with a warning, fail.
#include "TesselFixture.h"

#include <optional>

namespace {

struct VendorCase {
    const char* name;
    const char* reported;
    int status;
    const char* popup;   // text of the "Warning" popup, or null for none
    const char* reason;  // text of TESSEL_ERROR_INIT afterwards
    const char* traced;  // the bail-out line, or null
};
void PrintTo(const VendorCase& c, std::ostream* os) { *os << c.name; }

class VendorGate : public TesselTest, public ::testing::WithParamInterface<VendorCase> {};

TEST_P(VendorGate, DecidesOnTheReportedText) {
    const VendorCase& c = GetParam();
    qmsl_sim::set_version_text(std::string(c.reported));
    int session = -5;
    EXPECT_EQ(init("ASRL3::INSTR::LIB:qc:TRACELEVEL:1", &session), c.status);
    if (c.popup) {
        ASSERT_EQ(cvi_test::popups().size(), 1u);
        EXPECT_EQ(cvi_test::popups()[0].title, "Warning");
        EXPECT_EQ(cvi_test::popups()[0].text, c.popup);
    } else {
        EXPECT_TRUE(cvi_test::popups().empty());
    }
    EXPECT_EQ(errorText(1, TESSEL_ERROR_INIT), c.reason);
    if (c.status == 0) {
        EXPECT_EQ(session, 1);
        EXPECT_EQ(Mob_ActiveSessions_m(), 1);
    } else {
        EXPECT_EQ(session, -5);
        EXPECT_EQ(Mob_ActiveSessions_m(), 0);
        ASSERT_EQ(lines().size(), 1u);  // the bail-out line and no banner
        EXPECT_EQ(lines()[0], c.traced);
    }
}

#define INFO_TEXT(reported) \
    "Version check info for driver qmsl_msvc6r.dll\n\nExpected version is 5.0.40\nDriver reports " reported
#define FAILED_TEXT(reported) \
    "Version check failed for driver qmsl_msvc6r.dll\n\nExpected version is 5.0.40\nDriver reports " reported

INSTANTIATE_TEST_SUITE_P(
    Texts, VendorGate,
    ::testing::Values(
        VendorCase{"Expected", "QLIB V5.0.40,QPHONEMS", 0, nullptr, "", nullptr},
        VendorCase{"ExpectedWithoutMode", "QLIB V5.0.40", 0, nullptr, "", nullptr},
        VendorCase{"NewerPatch", "QLIB V5.0.41,QPHONEMS", 0, INFO_TEXT("5.0.41"), INFO_TEXT("5.0.41"), nullptr},
        VendorCase{"NewerMinor", "QLIB V5.1.0,QPST", 0, INFO_TEXT("5.1.0"), INFO_TEXT("5.1.0"), nullptr},
        // Only "major.minor" is compared as a number, so an older patch
        // level reads as equal and passes with the warning.
        VendorCase{"OlderPatchReadsAsEqual", "QLIB V5.0.39", 0, INFO_TEXT("5.0.39"), INFO_TEXT("5.0.39"), nullptr},
        VendorCase{"Older", "QLIB V4.9.99,QPST", TESSEL_ERROR_INIT, nullptr, FAILED_TEXT("4.9.99"),
                   "(3I)    ERROR: Wrong QLib version number (V4.9.99,QPST). Expected 5.0.40."},
        VendorCase{"ShortTextReadsAsEqual", "QLIB V5.0", 0, INFO_TEXT("5.0"), INFO_TEXT("5.0"), nullptr},
        VendorCase{"MuchOlder", "QLIB V4,QPST", TESSEL_ERROR_INIT, nullptr, FAILED_TEXT("4"),
                   "(3I)    ERROR: Wrong QLib version number (V4,QPST). Expected 5.0.40."},
        VendorCase{"NoV", "QLIB 5.0.40,QPST", TESSEL_ERROR_INIT, nullptr,
                   "ERROR: Cannot get QLib version number. Bailing out.",
                   "(3I)    ERROR: Cannot get QLib version number. Bailing out."},
        VendorCase{"Empty", "", TESSEL_ERROR_INIT, nullptr, "ERROR: Cannot get QLib version number. Bailing out.",
                   "(3I)    ERROR: Cannot get QLib version number. Bailing out."}),
    [](const auto& info) { return std::string(info.param.name); });

// A failed init never leaves the text of an earlier warning as its reason.
TEST_F(TesselTest, FailedInitReplacesAnEarlierWarningText) {
    qmsl_sim::set_version_text(std::string("QLIB V5.0.41,QPST"));
    open();
    EXPECT_EQ(errorText(1, TESSEL_ERROR_INIT), INFO_TEXT("5.0.41"));

    qmsl_sim::set_version_text(std::string("QLIB 5.0.41,QPST"));
    int session = 0;
    EXPECT_EQ(init("ASRL3::INSTR::LIB:qc", &session), TESSEL_ERROR_INIT);
    EXPECT_EQ(errorText(1, TESSEL_ERROR_INIT), "ERROR: Cannot get QLib version number. Bailing out.");

    // A later successful init keeps the reason of the failure until the next
    // gate warns or fails.
    qmsl_sim::set_version_text(std::nullopt);
    open();
    EXPECT_EQ(errorText(1, TESSEL_ERROR_INIT), "ERROR: Cannot get QLib version number. Bailing out.");
}

TEST_F(TesselTest, FailedResultAtLevelFourCarriesTheInitReason) {
    qmsl_sim::set_version_text(std::string("QLIB V4.0"));
    int session = 0;
    EXPECT_EQ(init("ASRL3::INSTR::LIB:qc:TRACELEVEL:4", &session), TESSEL_ERROR_INIT);
    Mob_TRACE(1, TESSEL_ERROR_INIT, TRACE_RESULT, "x()", "", 0);
    EXPECT_EQ(lines().back(), FAILED_TEXT("4.0"));
}

TEST_F(TesselTest, ExtensionGatePassesSilentlyOnTheExtensionsOwnText) {
    for (int box : {0, 5}) {
        cvi_test::clear_popups();
        open("ASRL3::INSTR::LIB:qc:MZ4BB:" + std::to_string(box));
        EXPECT_TRUE(cvi_test::popups().empty());
    }
    EXPECT_EQ(errorText(1, TESSEL_ERROR_INIT), "");
}

// The extension's text is fixed, so its gate is exercised directly.
struct GateCase {
    const char* name;
    const char* reported;  // from the first "V" on, as init hands it over
    int status;
    const char* text;      // the out text afterwards ("untouched" when unchanged)
    bool popup;
};
void PrintTo(const GateCase& c, std::ostream* os) { *os << c.name; }

class ExtensionGate : public TesselTest, public ::testing::WithParamInterface<GateCase> {};

TEST_P(ExtensionGate, ComparesWithTheExpectedVersion) {
    char text[TESSEL_ERROR_TEXT_MAX] = "untouched";
    EXPECT_EQ(Mob_CheckDrvRev_m("kavor.dll", GetParam().reported, "02.4.15", text), GetParam().status);
    EXPECT_STREQ(text, GetParam().text);
    ASSERT_EQ(cvi_test::popups().size(), GetParam().popup ? 1u : 0u);
    if (GetParam().popup) {
        EXPECT_EQ(cvi_test::popups()[0].title, "Warning");
        EXPECT_EQ(cvi_test::popups()[0].text, GetParam().text);
    }
}

#define EXT_TEXT(kind, reported) \
    "Version check " kind " for driver kavor.dll\n\nExpected version is 02.4.15\nDriver reports " reported

INSTANTIATE_TEST_SUITE_P(
    Texts, ExtensionGate,
    ::testing::Values(GateCase{"Expected", "VOR V02.4.15,QPHONEMS", 0, "untouched", false},
                      GateCase{"ExpectedServerMode", "VOR V02.4.15,QPST", 0, "untouched", false},
                      GateCase{"NewerPatch", "VOR V02.4.16,QPST", 0, EXT_TEXT("info", "02.4.16"), true},
                      GateCase{"NewerMinor", "V02.5.0", 0, EXT_TEXT("info", "02.5.0"), true},
                      GateCase{"SameNumberOtherText", "V2.4.15", 0, EXT_TEXT("info", "2.4.15"), true},
                      GateCase{"OlderMinor", "VOR V02.3.99,QPST", TESSEL_ERROR_INIT,
                               EXT_TEXT("failed", "02.3.99"), false},
                      GateCase{"OlderMajor", "V01.9", TESSEL_ERROR_INIT, EXT_TEXT("failed", "01.9"), false},
                      GateCase{"NoDigits", "VOR V,QPST", TESSEL_ERROR_INIT, EXT_TEXT("failed", ""), false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
