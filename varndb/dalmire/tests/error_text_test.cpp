// getErrorText: texts from the message table, and what it says when there
// is none.
#include "dalmire_fixture.h"

namespace {

struct TextRow {
    const char* name;
    int code;
    const char* fault;  // routine to fail, or nullptr
    const char* text;
};

void PrintTo(const TextRow& r, std::ostream* os) { *os << r.name; }

class DalmireErrorText : public DalmireDb, public ::testing::WithParamInterface<TextRow> {};

TEST_P(DalmireErrorText, LooksUpTheMessage) {
    ASSERT_EQ(connect(nullptr), 0);
    if (GetParam().fault) admin.exec(std::string("SELECT mero_test.inject('") + GetParam().fault + "', -942, -1)");
    EXPECT_EQ(getErrorText(GetParam().code), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DalmireErrorText,
    ::testing::Values(
        TextRow{"StoredText", -5, nullptr, "Station not released for this line"},
        TextRow{"NoRow", -11, nullptr, "getErrorText() couldn't find text for error -11!"},
        TextRow{"OtherLanguageOnly", -9, nullptr, "getErrorText() couldn't find text for error -9!"},
        TextRow{"EmptyText", -7, nullptr, "getErrorText() couldn't find text for error -7!"},
        TextRow{"NullText", -8, nullptr, "getErrorText() couldn't find text for error -8!"},
        TextRow{"SqlError", -5, "bas_meltex", "getErrorText() sqlerror (-942) [ORA-00942: injected fault in bas_meltex]"},
        TextRow{"NumberOutOfRange", -2147483647 - 1, nullptr,
                "getErrorText() couldn't find text for error -2147483648!"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DalmireDb, ErrorTextWithoutSession) {
    EXPECT_EQ(getErrorText(-5), "getErrorText() sqlerror (-1012) [ORA-01012: not logged on]");
}

TEST_F(DalmireDb, ErrorTextSqlErrorIsCutTo200) {
    ASSERT_EQ(connect(nullptr), 0);
    admin.exec("CREATE OR REPLACE FUNCTION mero_test.long_fault() RETURNS boolean LANGUAGE plpgsql AS $$ BEGIN "
               "RAISE EXCEPTION 'ORA-00600: %', repeat('z', 300); END $$");
    admin.exec("CREATE OR REPLACE VIEW mero.bas_meltex AS SELECT sprach_nr, nr, text FROM mero.bas_meltex_row "
               "WHERE mero_test.long_fault()");
    std::string t = getErrorText(-5);
    admin.exec("CREATE OR REPLACE VIEW mero.bas_meltex AS SELECT sprach_nr, nr, text FROM mero.bas_meltex_row "
               "WHERE mero_test.enter('bas_meltex')");
    EXPECT_EQ(t.size(), 200u);
    EXPECT_EQ(t.rfind("getErrorText() sqlerror (-600) [ORA-00600: zzz", 0), 0u) << t;
}

} // namespace
