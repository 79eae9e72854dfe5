// Line logistics: both calls record the station, the ids and the value; the
// result text goes as its first character; refusals, errors, long texts.
#include "data_fixture.h"

namespace {

using FbgFn = int (*)(const char*, const char*, const char*);

struct FbgRow {
    const char* name;
    FbgFn fn;
    const char* routine;
    const char* value;
    const char* sent;  // what the routine received
};
void PrintTo(const FbgRow& r, std::ostream* os) { *os << r.name; }

class Logistics : public DalmireData, public ::testing::WithParamInterface<FbgRow> {};

TEST_P(Logistics, RecordsTheCall) {
    const FbgRow& row = GetParam();
    EXPECT_EQ(row.fn("LASER-1", "FBG-1", row.value), 0);
    varndb_Disconnect();  // the block does not commit; the logoff does
    EXPECT_EQ(admin.value("SELECT concat_ws('|', routine, macadr, laserid, fbgid, coalesce(value, 'NULL')) "
                          "FROM mero.fbg_call"),
              std::string(row.routine) + "|" + mac + "|LASER-1|FBG-1|" + row.sent);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Logistics,
    ::testing::Values(FbgRow{"SetImei", varndb_fbg_setimei, "fbgsetimei", "350000000000011", "350000000000011"},
                      FbgRow{"SetImeiOf20", varndb_fbg_setimei, "fbgsetimei", "35000000000001122334",
                             "35000000000001122334"},
                      FbgRow{"StatusFirstCharacter", varndb_fbg_setstatusNresult, "fbgsetstatus", "PASS", "P"},
                      FbgRow{"StatusOneCharacter", varndb_fbg_setstatusNresult, "fbgsetstatus", "F", "F"},
                      FbgRow{"StatusEmptyIsNull", varndb_fbg_setstatusNresult, "fbgsetstatus", "", "NULL"}),
    [](const auto& info) { return std::string(info.param.name); });

struct OutcomeRow {
    const char* name;
    FbgFn fn;
    const char* routine;
};
void PrintTo(const OutcomeRow& r, std::ostream* os) { *os << r.name; }

class LogisticsOutcome : public DalmireData, public ::testing::WithParamInterface<OutcomeRow> {};

TEST_P(LogisticsOutcome, RefusalErrorLongTextsAndNoConnection) {
    const OutcomeRow& row = GetParam();
    admin.exec("INSERT INTO mero.fbg_answer VALUES ('REFUSED', 4)");
    EXPECT_EQ(row.fn("REFUSED", "FBG-1", "x"), 4);

    inject(row.routine, -1400);
    EXPECT_EQ(row.fn("LASER-1", "FBG-1", "x"), -1400);

    auto before = sql::stats();
    EXPECT_EQ(row.fn(text(42).c_str(), "FBG-1", "x"), VARNDB_E_LOCAL);
    EXPECT_EQ(row.fn(text(41).c_str(), text(19).c_str(), "x"), VARNDB_E_LOCAL);
    EXPECT_EQ(statementsSince(before), 0);
    EXPECT_EQ(row.fn(text(41).c_str(), text(18).c_str(), "x"), 0);

    varndb_Disconnect();
    EXPECT_EQ(row.fn("LASER-1", "FBG-1", "x"), VARNDB_E_NOT_CONNECTED);
}

INSTANTIATE_TEST_SUITE_P(Rows, LogisticsOutcome,
                         ::testing::Values(OutcomeRow{"SetImei", varndb_fbg_setimei, "fbgsetimei"},
                                           OutcomeRow{"SetStatus", varndb_fbg_setstatusNresult, "fbgsetstatus"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DalmireData, LogisticsImeiLongerThan20IsRefused) {
    auto before = sql::stats();
    EXPECT_EQ(varndb_fbg_setimei("LASER-1", "FBG-1", text(21, '3').c_str()), VARNDB_E_LOCAL);
    EXPECT_EQ(statementsSince(before), 0);
    // A long result text is cut to its first character, not refused.
    EXPECT_EQ(varndb_fbg_setstatusNresult("LASER-1", "FBG-1", text(300, 'P').c_str()), 0);
}

} // namespace
