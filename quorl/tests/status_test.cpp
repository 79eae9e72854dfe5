// Status texts, revision, status selectors and the session checks that need
// no TCP server.
#include "quorl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

namespace {

struct TextCase {
    const char* name;
    uint32_t code;
    const char* text;
};
void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }


class QuorlErrorMessage : public ::testing::TestWithParam<TextCase> {};

} // namespace

TEST_P(QuorlErrorMessage, CopiesTheTextOfTheCode) {
    char text[256];
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(quorl_errorMessage(1, static_cast<int32_t>(GetParam().code), text), QUORL_SUCCESS);
    EXPECT_STREQ(text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    StatusTable, QuorlErrorMessage,
    ::testing::Values(
        TextCase{"IdQuery", 0x3FFC0101, "WARNING: ID Query not supported"},
        TextCase{"Reset", 0x3FFC0102, "WARNING: Reset not supported"},
        TextCase{"SelfTest", 0x3FFC0103, "WARNING: Self-test not supported"},
        TextCase{"ErrorQuery", 0x3FFC0104, "WARNING: Error Query not supported"},
        TextCase{"RevisionQuery", 0x3FFC0105, "WARNING: Revision Query not supported"},
        TextCase{"Parameter1", 0xBFFC0001, "ERROR: Parameter 1 out of range"},
        TextCase{"Parameter2", 0xBFFC0002, "ERROR: Parameter 2 out of range"},
        TextCase{"Parameter3", 0xBFFC0003, "ERROR: Parameter 3 out of range"},
        TextCase{"Parameter4", 0xBFFC0004, "ERROR: Parameter 4 out of range"},
        TextCase{"Parameter5", 0xBFFC0005, "ERROR: Parameter 5 out of range"},
        TextCase{"Parameter6", 0xBFFC0006, "ERROR: Parameter 6 out of range"},
        TextCase{"Parameter7", 0xBFFC0007, "ERROR: Parameter 7 out of range"},
        TextCase{"Parameter8", 0xBFFC0008, "ERROR: Parameter 8 out of range"},
        TextCase{"IdentificationQuery", 0xBFFC0011, "ERROR: Identification query failed"},
        TextCase{"InterpretingResponse", 0xBFFC0012, "ERROR: Interpreting instrument response"},
        TextCase{"OpeningFile", 0xBFFC0800, "ERROR: Opening the specified file"},
        TextCase{"WritingFile", 0xBFFC0801, "ERROR: Writing to the specified file"},
        TextCase{"InterpretingTheResponse", 0xBFFC0803, "ERROR: Interpreting the instrument's response"},
        TextCase{"Configuration", 0xBFFC09F0, "ERROR: Instrument configuration error"},
        TextCase{"ObjectType", 0xBFFC09F1, "ERROR: Objekt-Type nicht ok"},
        TextCase{"Port", 0xBFFC09F2, "ERROR: PortNr nicht ok"},
        TextCase{"NotActivatable", 0xBFFC09F3, "ERROR: Objekt nicht zu aktivieren"},
        TextCase{"WriteFault", 0xBFFC09F4, "ERROR: Quorl: schreibfehler"},
        TextCase{"Mode", 0xBFFC09F5, "ERROR: Quorl: Modefehler"},
        TextCase{"Resource", 0xBFFC09F6, "ERROR: Quorl: Fehler im Rsrcname"}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(QuorlErrorMessageUnknown, GivesTheCodeInHexAndAWarning) {
    char text[64];
    EXPECT_EQ(quorl_errorMessage(1, 0, text), QUORL_WARN_UNKNOWN_STATUS);
    EXPECT_STREQ(text, "Unknown Error 0x00000000");
    EXPECT_EQ(quorl_errorMessage(1, static_cast<int32_t>(0xBFFC09F7), text), QUORL_WARN_UNKNOWN_STATUS);
    EXPECT_STREQ(text, "Unknown Error 0xBFFC09F7");
    EXPECT_EQ(quorl_errorMessage(1, QUORL_WARN_UNKNOWN_STATUS, text), QUORL_WARN_UNKNOWN_STATUS);
    EXPECT_STREQ(text, "Unknown Error 0x3FFF0085");
}

TEST(QuorlRevision, GivesDriverAndInstrumentTexts) {
    char driver[32], instrument[32];
    EXPECT_EQ(quorl_revisionQuery(9, driver, instrument), QUORL_SUCCESS);
    EXPECT_STREQ(driver, "1.0");
    EXPECT_STREQ(instrument, "InstrRev not supported");
}

TEST(QuorlGetStatus, SelectorsGiveTheStateAtLoadAndOthersLeaveTheValue) {
    struct Row {
        int32_t which;
        int32_t expected;
    };
    const Row rows[] = {{QUORL_STATUS_REGISTERED, 0}, {QUORL_STATUS_FILECHECK, -1}, {QUORL_STATUS_MODE, -1},
                        {0, 1234}, {4, 1234}, {-1, 1234}};
    for (const Row& r : rows) {
        int32_t value = 1234;
        EXPECT_EQ(quorl_getstatus(7, r.which, &value), QUORL_SUCCESS) << r.which;
        EXPECT_EQ(value, r.expected) << "selector " << r.which;
    }
    EXPECT_EQ(quorl_getstatus(1, QUORL_STATUS_MODE, nullptr), QUORL_SUCCESS);
}

TEST(QuorlSession, SetmodeChecksSessionThenObjectType) {
    EXPECT_EQ(quorl_setmode(2), QUORL_ERROR_CONFIG);
    EXPECT_EQ(quorl_setmode(1), QUORL_ERROR_OBJECT_TYPE);  // never initialised
}

TEST(QuorlSession, InactiveWriteAndReadSucceedWithoutAnyCheck) {
    EXPECT_EQ(quorl_write(2, QUORL_KIND_TRACE, "line"), QUORL_SUCCESS);
    EXPECT_EQ(quorl_write(1, QUORL_KIND_ADDRESS, nullptr), QUORL_SUCCESS);
    EXPECT_EQ(quorl_read(2, 0, 0), QUORL_SUCCESS);
}
