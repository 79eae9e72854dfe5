// The SQL layer against the private PostgreSQL server: the session, the
// transaction rules, host variables in every direction and the error codes.
#include "pg_relay.h"
#include "pg_test_env.h"
#include "sql_session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include <string>
#include <vector>

namespace {

using sql::Dir;

class SqlSession : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        pgtest::Admin admin;
        if (admin.ok()) admin.exec_file(SQL_TEST_FIXTURE);
    }
    void SetUp() override {
        PGTEST_REQUIRE_SERVER(admin);
        admin.exec("DELETE FROM sqltest.note");
        ASSERT_EQ(sql::lusken_connect(nullptr, "", pgtest::database().c_str()), 0) << sql::last_connect_error();
    }
    void TearDown() override { sql::lusken_disconnect(); }

    std::string notes() { return admin.value("SELECT count(*) FROM sqltest.note"); }

    pgtest::Admin admin;
};

TEST(SqlNoSession, StatementsAnswerNotLoggedOn) {
    std::int32_t x = 0;
    auto r = sql::execute("begin :x := 1 ; END ;", {sql::bind_int(Dir::out, x)});
    EXPECT_EQ(r.sqlcode, -1012);
    EXPECT_EQ(r.sqlerrm, "ORA-01012: not logged on");
    EXPECT_EQ(sql::lusken_disconnect(), 0);  // a disconnect without a session is harmless
    EXPECT_EQ(sql::lusken_disconnect(), 0);
}

TEST(SqlNoSession, UnknownDatabaseIsRefused) {
    pgtest::Admin admin;
    PGTEST_REQUIRE_SERVER(admin);
    EXPECT_EQ(sql::lusken_connect("", "", "no_such_database"), -12154);
    EXPECT_FALSE(sql::session_open());
    EXPECT_NE(sql::last_connect_error().find("does not exist"), std::string::npos);
    EXPECT_EQ(sql::stats().connect_failures, 1);
}

TEST(SqlNoSession, DatabaseMayBeAConnectionString) {
    pgtest::Admin admin;
    PGTEST_REQUIRE_SERVER(admin);
    std::string conninfo = "dbname=" + pgtest::database() + "   ";
    EXPECT_EQ(sql::lusken_connect(nullptr, nullptr, conninfo.c_str()), 0) << sql::last_connect_error();
    EXPECT_GT(sql::session_backend_pid(), 0);
    sql::lusken_disconnect();
}

TEST_F(SqlSession, TransactionStaysOpenUntilCommit) {
    std::int32_t id = 0;
    sql::Varchar<10> t;
    t.set("a");
    const char* add = "begin :id := sqltest . note_add ( :t , NULL ) ; END ;";
    ASSERT_EQ(sql::execute(add, {sql::bind_int(Dir::out, id), sql::bind_varchar(Dir::in, t)}).sqlcode, 0);
    EXPECT_GT(id, 0);
    EXPECT_EQ(notes(), "0");
    ASSERT_EQ(sql::execute("COMMIT").sqlcode, 0);
    EXPECT_EQ(notes(), "1");
    ASSERT_EQ(sql::execute(add, {sql::bind_int(Dir::out, id), sql::bind_varchar(Dir::in, t)}).sqlcode, 0);
    ASSERT_EQ(sql::execute("ROLLBACK").sqlcode, 0);
    EXPECT_EQ(notes(), "1");
}

TEST_F(SqlSession, FailedStatementUndoesOnlyItself) {
    std::int32_t id = 0, x = 0;
    sql::Varchar<10> t;
    t.set("kept");
    ASSERT_EQ(sql::execute("begin :id := sqltest . note_add ( :t , NULL ) ; END ;",
                           {sql::bind_int(Dir::out, id), sql::bind_varchar(Dir::in, t)}).sqlcode, 0);
    // Adds a note, then fails: the second note goes, the first stays.
    auto r = sql::execute("begin :id := sqltest . note_add ( 'gone' , NULL ) ; :x := sqltest . divide ( 0 ) ; END ;",
                          {sql::bind_int(Dir::out, id), sql::bind_int(Dir::out, x)});
    EXPECT_EQ(r.sqlcode, -1476);
    ASSERT_EQ(sql::execute("COMMIT").sqlcode, 0);
    EXPECT_EQ(admin.column("SELECT txt FROM sqltest.note"), std::vector<std::string>{"kept"});
}

TEST_F(SqlSession, DisconnectKeepsTheOpenWork) {
    std::int32_t id = 0;
    ASSERT_EQ(sql::execute("begin :id := sqltest . note_add ( 'x' , NULL ) ; END ;",
                           {sql::bind_int(Dir::out, id)}).sqlcode, 0);
    EXPECT_EQ(notes(), "0");
    EXPECT_EQ(sql::lusken_disconnect(), 0);
    EXPECT_EQ(notes(), "1");
}

TEST_F(SqlSession, HostVariablesOnFailureAreLeftAlone) {
    std::int32_t x = 5, y = 6;
    auto r = sql::execute("begin :x := 1 ; :y := sqltest . raise_ora ( 1 ) ; END ;",
                          {sql::bind_int(Dir::out, x), sql::bind_int(Dir::out, y)});
    EXPECT_EQ(r.sqlcode, -1);
    EXPECT_EQ(r.sqlerrm, "ORA-00001: raised on request");
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 6);
}

TEST_F(SqlSession, InInOutAndOutParameters) {
    std::int32_t ret = 0, c = 0;
    sql::Varchar<10> a, b;
    a.set("four");
    b.set("up");
    auto r = sql::execute("begin :r := sqltest . pkg . swap ( :a , :b , :c ) ; END ;",
                          {sql::bind_int(Dir::out, ret), sql::bind_varchar(Dir::in, a),
                           sql::bind_varchar(Dir::inout, b), sql::bind_int(Dir::out, c)});
    ASSERT_EQ(r.sqlcode, 0) << r.sqlerrm;
    EXPECT_EQ(ret, 1);
    EXPECT_EQ(c, 4);
    EXPECT_EQ(b.view(), "UP");
}

TEST_F(SqlSession, RawBytesInAndOut) {
    sql::Raw<8> data;
    const unsigned char bytes[] = {0x00, 0xff, 0x41};
    std::memcpy(data.arr, bytes, 3);
    data.len = 3;
    std::int32_t len = 3, ret = 9;
    const char* text = "begin :ret := sqltest . pkg . twice ( :d , :n ) ; END ;";
    auto r = sql::execute(text, {sql::bind_int(Dir::out, ret), sql::bind_raw(Dir::inout, data),
                                 sql::bind_int(Dir::inout, len)});
    ASSERT_EQ(r.sqlcode, 0) << r.sqlerrm;
    EXPECT_EQ(ret, 0);
    EXPECT_EQ(len, 6);
    ASSERT_EQ(data.len, 6);
    const unsigned char want[] = {0x00, 0xff, 0x41, 0x00, 0xff, 0x41};
    EXPECT_EQ(std::memcmp(data.arr, want, 6), 0);

    // Too long for the host variable now: 12 bytes into 8.
    r = sql::execute(text, {sql::bind_int(Dir::out, ret), sql::bind_raw(Dir::inout, data),
                            sql::bind_int(Dir::inout, len)});
    EXPECT_EQ(r.sqlcode, -6502);
    EXPECT_EQ(data.len, 6);

    // An empty RAW is NULL.
    data.len = 0;
    r = sql::execute(text, {sql::bind_int(Dir::out, ret), sql::bind_raw(Dir::inout, data),
                            sql::bind_int(Dir::inout, len)});
    ASSERT_EQ(r.sqlcode, 0) << r.sqlerrm;
    EXPECT_EQ(ret, -1);
    EXPECT_EQ(len, 0);
}

TEST_F(SqlSession, FullFileChunkOut) {
    static sql::Raw<32000> chunk;  // the size the file transfer moves at once
    std::int32_t n = 32000, ret = 9;
    auto r = sql::execute("begin :ret := sqltest . pkg . fill ( :n , :data ) ; END ;",
                          {sql::bind_int(Dir::out, ret), sql::bind_int(Dir::inout, n), sql::bind_raw(Dir::out, chunk)});
    ASSERT_EQ(r.sqlcode, 0) << r.sqlerrm;
    EXPECT_EQ(ret, 0);
    ASSERT_EQ(chunk.len, 32000);
    for (int i = 0; i < 32000; i += 997) ASSERT_EQ(chunk.arr[i], i % 256) << i;
}

TEST_F(SqlSession, EmptyTextIsNull) {
    std::int32_t n = 0;
    sql::Varchar<4> empty;
    ASSERT_EQ(sql::execute("begin :n := sqltest . is_null ( :e ) ; END ;",
                           {sql::bind_int(Dir::out, n), sql::bind_varchar(Dir::in, empty)}).sqlcode, 0);
    EXPECT_EQ(n, 1);
    ASSERT_EQ(sql::execute("begin :n := sqltest . is_null ( '' ) ; END ;", {sql::bind_int(Dir::out, n)}).sqlcode, 0);
    EXPECT_EQ(n, 1);
    sql::Varchar<10> code;
    code.set("junk");
    ASSERT_EQ(sql::execute("begin :c := '-2' ; :c := NVL ( sqltest . text_of ( 0 ) , '-1' ) ; END ;",
                           {sql::bind_varchar(Dir::out, code)}).sqlcode, 0);
    EXPECT_EQ(code.view(), "-1");
    ASSERT_EQ(sql::execute("begin :n := -2 ; :n := TO_NUMBER ( NVL ( sqltest . text_of ( 0 ) , '-1' ) ) ; END ;",
                           {sql::bind_int(Dir::out, n)}).sqlcode, 0);
    EXPECT_EQ(n, -1);
    // A NULL text without an indicator arrives as length 0.
    code.set("junk");
    ASSERT_EQ(sql::execute("begin :c := sqltest . text_of ( 0 ) ; END ;", {sql::bind_varchar(Dir::out, code)}).sqlcode, 0);
    EXPECT_EQ(code.len, 0);
}

TEST_F(SqlSession, ToDateTakesTheTextOrNull) {
    std::int32_t id = 0;
    sql::Varchar<20> d;
    d.set("2026-03-04 05:06:07");
    const char* add = "begin :id := sqltest . note_add ( 'd' , to_date ( :d , 'YYYY-MM-DD HH24:MI:SS' ) ) ; COMMIT ; END ;";
    ASSERT_EQ(sql::execute(add, {sql::bind_int(Dir::out, id), sql::bind_varchar(Dir::in, d)}).sqlcode, 0);
    d.set("");
    ASSERT_EQ(sql::execute(add, {sql::bind_int(Dir::out, id), sql::bind_varchar(Dir::in, d)}).sqlcode, 0);
    EXPECT_EQ(admin.column("SELECT coalesce(stamp::text, 'NULL') FROM sqltest.note ORDER BY id"),
              (std::vector<std::string>{"2026-03-04 05:06:07", "NULL"}));
}

TEST_F(SqlSession, NamedArgumentsInAnyOrder) {
    std::int32_t ret = 9;
    sql::Varchar<4> a, b;
    sql::Varchar<20> msg;
    a.set("A");
    auto r = sql::execute("begin :r := sqltest . pkg . named ( i_b => :b , i_a => :a , o_msg => :m ) ; END ;",
                          {sql::bind_int(Dir::out, ret), sql::bind_varchar(Dir::in, b),
                           sql::bind_varchar(Dir::in, a), sql::bind_varchar(Dir::out, msg)});
    ASSERT_EQ(r.sqlcode, 0) << r.sqlerrm;
    EXPECT_EQ(ret, 0);
    EXPECT_EQ(msg.view(), "A/<null>");
}

TEST_F(SqlSession, ShortIntegerIn) {
    std::int16_t si = 1;
    ASSERT_EQ(sql::execute("begin sqltest . trace ( :si ) ; COMMIT ; END ;", {sql::bind_short(Dir::in, si)}).sqlcode, 0);
    EXPECT_EQ(admin.value("SELECT txt FROM sqltest.note"), "trace 1");
}

struct SelectRow {
    const char* name;
    const char* key;
    int sqlcode;
    std::int16_t indicator;
    const char* text;
};

void PrintTo(const SelectRow& r, std::ostream* os) { *os << r.name; }

class SqlSelectInto : public SqlSession, public ::testing::WithParamInterface<SelectRow> {};

TEST_P(SqlSelectInto, SetsValueAndIndicator) {
    const SelectRow& row = GetParam();
    sql::Varchar<30> v, k;
    v.set("untouched");
    k.set(row.key);
    std::int16_t ind = -7;
    auto r = sql::execute("begin select v into :v:ind from sqltest . kv where k = :k ; END ;",
                          {sql::with_indicator(sql::bind_varchar(Dir::out, v), ind), sql::bind_varchar(Dir::in, k)});
    EXPECT_EQ(r.sqlcode, row.sqlcode) << r.sqlerrm;
    EXPECT_EQ(ind, row.indicator);
    EXPECT_EQ(v.view(), row.text);
}

INSTANTIATE_TEST_SUITE_P(Rows, SqlSelectInto,
                         ::testing::Values(SelectRow{"OneRow", "one", 0, 0, "1"},
                                           SelectRow{"EmptyTextIsNull", "empty", 0, -1, "untouched"},
                                           SelectRow{"NullText", "nul", 0, -1, "untouched"},
                                           SelectRow{"NoRow", "none", 1403, -7, "untouched"},
                                           SelectRow{"TwoRows", "dup", -1422, -7, "untouched"},
                                           SelectRow{"TooLong", "long", -6502, -7, "untouched"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ErrorRow {
    const char* name;
    const char* text;
    int sqlcode;
    const char* message_part;
};

void PrintTo(const ErrorRow& r, std::ostream* os) { *os << r.name; }

class SqlErrorCodes : public SqlSession, public ::testing::WithParamInterface<ErrorRow> {};

TEST_P(SqlErrorCodes, MapToOracleCodes) {
    std::int32_t x = 0;
    // Work of the open transaction before the failing statement.
    ASSERT_EQ(sql::execute("begin :x := sqltest . note_add ( 'before' , NULL ) ; END ;",
                           {sql::bind_int(Dir::out, x)}).sqlcode, 0);
    auto r = sql::execute(GetParam().text, {sql::bind_int(Dir::out, x)});
    EXPECT_EQ(r.sqlcode, GetParam().sqlcode) << r.sqlerrm;
    EXPECT_NE(r.sqlerrm.find(GetParam().message_part), std::string::npos) << r.sqlerrm;
    // The session and its transaction are still usable after any of them.
    EXPECT_EQ(sql::execute("begin :x := sqltest . divide ( 4 ) ; COMMIT ; END ;", {sql::bind_int(Dir::out, x)}).sqlcode, 0);
    EXPECT_EQ(x, 25);
    EXPECT_EQ(notes(), "1");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SqlErrorCodes,
    ::testing::Values(
        ErrorRow{"RaisedOraText", "begin :x := sqltest . raise_ora ( 4068 ) ; END ;", -4068, "ORA-04068: raised"},
        ErrorRow{"DivisionByZero", "begin :x := sqltest . divide ( 0 ) ; END ;", -1476, "ORA-01476"},
        ErrorRow{"NotANumber", "begin :x := TO_NUMBER ( 'abc' ) ; END ;", -6502, "ORA-06502"},
        ErrorRow{"IntegerOverflow", "begin :x := TO_NUMBER ( '99999999999' ) ; END ;", -1455, "ORA-01455"},
        ErrorRow{"TextIntoInteger", "begin :x := sqltest . text_of ( 2 ) ; END ;", -6502, "ORA-06502"},
        ErrorRow{"UnknownRoutine", "begin :x := sqltest . missing ( ) ; END ;", -6550, "no routine missing"},
        ErrorRow{"UnknownSchema", "begin :x := nosuch . pkg . f ( ) ; END ;", -6550, "schema nosuch_pkg"},
        ErrorRow{"Untranslatable", "begin :x := 1 ; x := 2 ; END ;", -900, "cannot translate"}),
    [](const auto& info) { return std::string(info.param.name); });

// The statement that finds the session gone fails; every later one finds no
// session (-1012, a code on which callers reconnect) until a new connect.
TEST_F(SqlSession, KilledSessionIs3113ThenNotLoggedOn) {
    int pid = sql::session_backend_pid();
    ASSERT_GT(pid, 0);
    admin.exec("SELECT pg_terminate_backend(" + std::to_string(pid) + ")");
    std::int32_t x = 0;
    ASSERT_TRUE(admin.await_session_end(pid));
    auto r = sql::execute("begin :x := sqltest . divide ( 4 ) ; END ;", {sql::bind_int(Dir::out, x)});
    EXPECT_EQ(r.sqlcode, -3113) << r.sqlerrm;
    for (int i = 0; i < 2; ++i) {
        r = sql::execute("begin :x := sqltest . divide ( 4 ) ; END ;", {sql::bind_int(Dir::out, x)});
        EXPECT_EQ(r.sqlcode, -1012) << r.sqlerrm;
        EXPECT_EQ(r.sqlerrm, "ORA-01012: not logged on");
    }
    EXPECT_EQ(sql::lusken_disconnect(), 0);
    ASSERT_EQ(sql::lusken_connect(nullptr, nullptr, pgtest::database().c_str()), 0);
    EXPECT_EQ(sql::execute("begin :x := sqltest . divide ( 4 ) ; END ;", {sql::bind_int(Dir::out, x)}).sqlcode, 0);
}

// A server that went away between statements, by a termination of the
// session (the server says why, then closes) or by stopping at once (a
// warning, then the connection ends): the first statement that meets it answers -3113 at
// once, whether its text was seen before (and goes out in one exchange with
// its BEGIN and savepoint), the session was inside a transaction, or the
// statement sends more than a socket buffer holds; the next finds no session.
struct GoneRow {
    const char* name;
    bool silently;            // the connection ends without a message
    bool inside_transaction;  // a change is open when the server goes
    std::size_t bytes;        // sent by the statement
};
void PrintTo(const GoneRow& r, std::ostream* os) { *os << r.name; }

class SqlServerGone : public SqlSession, public ::testing::WithParamInterface<GoneRow> {};

TEST_P(SqlServerGone, FirstStatementAnswers3113) {
    pgtest::Relay relay;
    if (GetParam().silently) {
        ASSERT_EQ(sql::lusken_connect(nullptr, nullptr, relay.conninfo().c_str()), 0) << sql::last_connect_error();
    }
    auto data = std::make_unique<sql::Raw<65000>>();
    std::int32_t ret = 0, len = 0;
    auto twice = [&] {
        data->len = static_cast<std::uint16_t>(GetParam().bytes);
        std::memset(data->arr, 'k', data->len);
        return sql::execute("begin :ret := sqltest . pkg . twice ( :d , :n ) ; END ;",
                            {sql::bind_int(Dir::out, ret), sql::bind_raw(Dir::inout, *data),
                             sql::bind_int(Dir::inout, len)});
    };
    ASSERT_EQ(twice().sqlcode, 0);  // the text and its routine are known to the session
    if (GetParam().inside_transaction) {
        ASSERT_EQ(sql::execute("begin sqltest . note_add ( 'k' , NULL ) ; END ;").sqlcode, 0);
    }
    if (GetParam().silently) {
        relay.stop_at_once();
    } else {
        int pid = sql::session_backend_pid();
        admin.exec("SELECT pg_terminate_backend(" + std::to_string(pid) + ")");
        ASSERT_TRUE(admin.await_session_end(pid));
    }
    auto r = twice();
    EXPECT_EQ(r.sqlcode, -3113) << r.sqlerrm;
    EXPECT_EQ(r.sqlerrm.rfind("ORA-03113: end-of-file on communication channel", 0), 0u) << r.sqlerrm;
    EXPECT_EQ(twice().sqlcode, -1012);
}

INSTANTIATE_TEST_SUITE_P(Rows, SqlServerGone,
                         ::testing::Values(GoneRow{"Terminated", false, false, 10},
                                           GoneRow{"TerminatedInsideATransaction", false, true, 10},
                                           GoneRow{"TerminatedSendingMuch", false, false, 32000},
                                           GoneRow{"Stopped", true, false, 10},
                                           GoneRow{"StoppedInsideATransaction", true, true, 10},
                                           GoneRow{"StoppedSendingMuch", true, false, 32000}),
                         [](const auto& info) { return std::string(info.param.name); });

// The server's word that it ends the session (an error of the 57P class)
// is enough: the statement answers -3113 and the session counts as lost,
// even while libpq still finds the connection up and the exchange ended in
// step (here the session stays, so nothing else could tell).
TEST_F(SqlSession, AnErrorThatTheSessionEndsIs3113ThenNotLoggedOn) {
    std::int32_t x = 0;
    auto r = sql::execute("begin :x := sqltest . session_ending ( ) ; END ;", {sql::bind_int(Dir::out, x)});
    EXPECT_EQ(r.sqlcode, -3113) << r.sqlerrm;
    EXPECT_EQ(r.sqlerrm, "ORA-03113: end-of-file on communication channel "
                         "(terminating connection due to administrator command)");
    EXPECT_EQ(sql::execute("begin :x := sqltest . divide ( 4 ) ; END ;", {sql::bind_int(Dir::out, x)}).sqlcode,
              -1012);
}

// A server that stops at once while a statement that failed on an error of
// its own is being undone: the statement answers its own error, and the
// session counts as lost, so that every later statement finds no session
// (-1012, on which callers reconnect and run the statement again). The undo
// could not be sent and libpq still finds the connection up: what tells the
// loss is only that the undo's results never came.
TEST_F(SqlSession, AServerGoneWhileAFailureIsUndoneLeavesNoSession) {
    pgtest::Relay relay;
    relay.stop_after_failure("22012");
    ASSERT_EQ(sql::lusken_connect(nullptr, nullptr, relay.conninfo().c_str()), 0) << sql::last_connect_error();
    std::int32_t x = 0;
    ASSERT_EQ(sql::execute("begin :x := sqltest . note_add ( 'open' , NULL ) ; END ;", {sql::bind_int(Dir::out, x)})
                  .sqlcode,
              0);
    auto r = sql::execute("begin :x := sqltest . divide ( 0 ) ; END ;", {sql::bind_int(Dir::out, x)});
    EXPECT_EQ(r.sqlcode, -1476) << r.sqlerrm;
    for (const char* text : {"begin :x := sqltest . divide ( 4 ) ; END ;", "begin :x := sqltest . divide ( 0 ) ; END ;"}) {
        r = sql::execute(text, {sql::bind_int(Dir::out, x)});
        EXPECT_EQ(r.sqlcode, -1012) << text << ": " << r.sqlerrm;
    }
    EXPECT_EQ(notes(), "0");
}

// ---- transactions begin with the first change ----

struct OpenRow {
    const char* name;
    std::vector<const char*> statements;  // run in order, without host variables
    const char* state;                    // the session's state afterwards
    const char* notes;                    // committed notes afterwards
};
void PrintTo(const OpenRow& r, std::ostream* os) { *os << r.name; }

class SqlOpenTransaction : public SqlSession, public ::testing::WithParamInterface<OpenRow> {};

// What pg_stat_activity shows of the session once its statements are done.
TEST_P(SqlOpenTransaction, OnlyChangesStayOpen) {
    for (const char* text : GetParam().statements) sql::execute(text);
    EXPECT_EQ(admin.value("SELECT state FROM pg_stat_activity WHERE pid = " +
                          std::to_string(sql::session_backend_pid())),
              GetParam().state);
    EXPECT_EQ(notes(), GetParam().notes);
}

const char* const kRead = "begin sqltest . divide ( 4 ) ; END ;";
const char* const kWrite = "begin sqltest . note_add ( 'w' , NULL ) ; END ;";
const char* const kFail = "begin sqltest . divide ( 0 ) ; END ;";
// Routines declared STABLE: the query goes alone outside a transaction.
const char* const kStable = "begin sqltest . note_count ( ) ; END ;";
const char* const kStableFail = "begin sqltest . divide_stable ( 0 ) ; END ;";
const char* const kStableWrite = "begin sqltest . note_through ( ) ; END ;";

INSTANTIATE_TEST_SUITE_P(
    Rows, SqlOpenTransaction,
    ::testing::Values(OpenRow{"Reading", {kRead}, "idle", "0"},
                      OpenRow{"Failing", {kFail}, "idle", "0"},
                      OpenRow{"Writing", {kWrite}, "idle in transaction", "0"},
                      OpenRow{"ReadingAfterWriting", {kWrite, kRead}, "idle in transaction", "0"},
                      OpenRow{"FailingAfterWriting", {kWrite, kFail}, "idle in transaction", "0"},
                      OpenRow{"WritingThenCommit", {kWrite, "COMMIT"}, "idle", "1"},
                      OpenRow{"WritingThenRollback", {kWrite, "ROLLBACK"}, "idle", "0"},
                      OpenRow{"ReadingAfterCommit", {kWrite, "COMMIT", kRead}, "idle", "1"},
                      OpenRow{"ReadingDeclaredStable", {kStable}, "idle", "0"},
                      OpenRow{"FailingDeclaredStable", {kStableFail}, "idle", "0"},
                      OpenRow{"DeclaredStableButWriting", {kStableWrite}, "idle", "0"},
                      OpenRow{"DeclaredStableButWritingThenCommit", {kStableWrite, "COMMIT"}, "idle", "0"},
                      OpenRow{"DeclaredStableAfterWriting", {kWrite, kStable}, "idle in transaction", "0"},
                      OpenRow{"DeclaredStableButWritingAfterWriting", {kWrite, kStableWrite, "COMMIT"}, "idle",
                              "2"}),
    [](const auto& info) { return std::string(info.param.name); });

// Exchanges with the server per statement: a statement goes in one round
// trip with its BEGIN or its savepoint and the release of the last
// statement's; a statement that changed nothing ends its transaction in the
// same exchange; only a failure takes one more to undo it.
struct TripRow {
    const char* name;
    std::vector<const char*> before;  // run first, not counted
    const char* statement;
    int round_trips;
    const char* state;
};
void PrintTo(const TripRow& r, std::ostream* os) { *os << r.name; }

class SqlRoundTrips : public SqlSession, public ::testing::WithParamInterface<TripRow> {};

TEST_P(SqlRoundTrips, PerStatement) {
    // The routines' signatures are looked up once per session: not counted.
    for (const char* text : {kRead, kWrite, kFail, kStable, kStableFail, "ROLLBACK"}) sql::execute(text);
    for (const char* text : GetParam().before) ASSERT_EQ(sql::execute(text).sqlcode, 0) << text;
    const int before = sql::stats().round_trips;
    sql::execute(GetParam().statement);
    EXPECT_EQ(sql::stats().round_trips - before, GetParam().round_trips);
    EXPECT_EQ(admin.value("SELECT state FROM pg_stat_activity WHERE pid = " +
                          std::to_string(sql::session_backend_pid())),
              GetParam().state);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SqlRoundTrips,
    ::testing::Values(TripRow{"Reading", {}, kRead, 1, "idle"},
                      TripRow{"WritingFirst", {}, kWrite, 1, "idle in transaction"},
                      TripRow{"WritingAgain", {kWrite}, kWrite, 1, "idle in transaction"},
                      TripRow{"ReadingAfterWriting", {kWrite}, kRead, 1, "idle in transaction"},
                      TripRow{"Commit", {kWrite}, "COMMIT", 1, "idle"},
                      TripRow{"FailingFirst", {}, kFail, 2, "idle"},
                      TripRow{"FailingAfterWriting", {kWrite}, kFail, 2, "idle in transaction"},
                      TripRow{"ReadingDeclaredStable", {}, kStable, 1, "idle"},
                      TripRow{"FailingDeclaredStable", {}, kStableFail, 1, "idle"},
                      TripRow{"DeclaredStableAfterWriting", {kWrite}, kStable, 1, "idle in transaction"}),
    [](const auto& info) { return std::string(info.param.name); });

// A query whose routines are declared STABLE runs outside a transaction
// when none is open, and inside the open one otherwise, where it sees the
// transaction's changes. One that changes the database all the same is
// refused, and its change undone.
TEST_F(SqlSession, ARoutineDeclaredStableReadsWhereTheSessionStands) {
    std::int32_t n = -1;
    auto count = [&] {
        n = -1;
        sql::Sqlca r = sql::execute("begin :n := sqltest . note_count ( ) ; END ;", {sql::bind_int(Dir::out, n)});
        EXPECT_EQ(r.sqlcode, 0) << r.sqlerrm;
        return n;
    };
    EXPECT_EQ(count(), 0);
    ASSERT_EQ(sql::execute(kWrite).sqlcode, 0);
    EXPECT_EQ(count(), 1);
    ASSERT_EQ(sql::execute("ROLLBACK").sqlcode, 0);
    EXPECT_EQ(count(), 0);

    std::int32_t x = 7;
    sql::Sqlca r = sql::execute("begin :x := sqltest . note_through ( ) ; END ;", {sql::bind_int(Dir::out, x)});
    EXPECT_EQ(r.sqlcode, -600);
    EXPECT_NE(r.sqlerrm.find("declared not to change the database changed it; the change was undone"),
              std::string::npos)
        << r.sqlerrm;
    EXPECT_EQ(x, 7);
    EXPECT_EQ(notes(), "0");
    EXPECT_EQ(count(), 0);
    ASSERT_EQ(sql::execute(kWrite).sqlcode, 0);
    ASSERT_EQ(sql::execute("COMMIT").sqlcode, 0);
    EXPECT_EQ(notes(), "1");
}

// The first routine looked up in a schema brings all of the schema's
// routines; one made later is still found, on its own.
TEST_F(SqlSession, ASchemaIsReadAtItsFirstLookUpAndALaterRoutineStillFound) {
    ASSERT_EQ(sql::execute(kRead).sqlcode, 0);
    const int before = sql::stats().round_trips;
    ASSERT_EQ(sql::execute(kStable).sqlcode, 0);
    EXPECT_EQ(sql::stats().round_trips - before, 1);  // the statement's exchange, no look-up

    admin.exec("CREATE OR REPLACE FUNCTION sqltest.made_later() RETURNS int LANGUAGE sql AS 'SELECT 5'");
    std::int32_t x = 0;
    sql::Sqlca r = sql::execute("begin :x := sqltest . made_later ( ) ; END ;", {sql::bind_int(Dir::out, x)});
    admin.exec("DROP FUNCTION sqltest.made_later()");
    EXPECT_EQ(r.sqlcode, 0) << r.sqlerrm;
    EXPECT_EQ(x, 5);
}

// One statement text that changes something on one run and nothing on the
// next: a change stays open until COMMIT or ROLLBACK, whatever the text did
// before, and a run that changes nothing leaves the session idle.
TEST_F(SqlSession, AChangeStaysOpenWhateverTheTextDidBefore) {
    std::int32_t wanted = 0, got = 0;
    auto run = [&](std::int32_t w) {
        wanted = w;
        return sql::execute("begin :got := sqltest . note_if ( :wanted ) ; END ;",
                            {sql::bind_int(Dir::out, got), sql::bind_int(Dir::in, wanted)})
            .sqlcode;
    };
    auto session = [&] {
        return admin.value("SELECT state FROM pg_stat_activity WHERE pid = " +
                           std::to_string(sql::session_backend_pid()));
    };
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(run(0), 0);
        EXPECT_EQ(session(), "idle");
        ASSERT_EQ(run(0), 0);
        EXPECT_EQ(session(), "idle");
        const int before = sql::stats().round_trips;
        ASSERT_EQ(run(1), 0);
        EXPECT_EQ(got, 1);
        EXPECT_EQ(sql::stats().round_trips - before, 2);  // the change found after a run without one
        EXPECT_EQ(session(), "idle in transaction");
        EXPECT_EQ(notes(), std::to_string(round));
        ASSERT_EQ(sql::execute("COMMIT").sqlcode, 0);
        EXPECT_EQ(notes(), std::to_string(round + 1));
        ASSERT_EQ(run(1), 0);
        ASSERT_EQ(sql::execute(round == 0 ? "ROLLBACK" : "COMMIT").sqlcode, 0);
    }
    EXPECT_EQ(notes(), "3");
}

// A statement text is prepared on the server once per session and then run
// by name; a new session prepares it again.
TEST_F(SqlSession, AStatementIsPreparedOncePerSession) {
    const char* const divide = "begin :x := sqltest . divide ( 4 ) ; END ;";
    std::int32_t x = 0, runs = 0, count = 0;
    sql::Varchar<20> pattern;
    pattern.set("%divide%");
    auto prepared = [&] {
        ASSERT_EQ(sql::execute("begin :n := sqltest . prepared ( :p , :runs ) ; END ;",
                               {sql::bind_int(Dir::out, count), sql::bind_varchar(Dir::in, pattern),
                                sql::bind_int(Dir::out, runs)})
                      .sqlcode,
                  0);
    };
    for (int i = 0; i < 3; ++i) ASSERT_EQ(sql::execute(divide, {sql::bind_int(Dir::out, x)}).sqlcode, 0);
    prepared();
    EXPECT_EQ(count, 1);
    EXPECT_EQ(runs, 3);
    ASSERT_EQ(sql::lusken_connect(nullptr, nullptr, pgtest::database().c_str()), 0);
    ASSERT_EQ(sql::execute(divide, {sql::bind_int(Dir::out, x)}).sqlcode, 0);
    EXPECT_EQ(x, 25);
    prepared();
    EXPECT_EQ(count, 1);
    EXPECT_EQ(runs, 1);
}

// A routine redefined with other result columns between two calls of one
// session: the server refuses to run the query prepared for the old ones,
// before anything of it runs. The call that meets it prepares the query
// again and runs the statement at once, as if it were its first run, and
// the work of the transaction before it stays; only the statement's own
// work of the refused attempt is undone, so it runs once.
struct ReshapedRow {
    const char* name;
    const char* statement;        // with :r and :d, and :n in
    bool inside_transaction;      // a change is open before each call
    const char* committed_notes;  // after both calls and a COMMIT
};
void PrintTo(const ReshapedRow& r, std::ostream* os) { *os << r.name; }

class SqlReshapedRoutine : public SqlSession, public ::testing::WithParamInterface<ReshapedRow> {
protected:
    void define(const char* columns, const char* body) {
        ASSERT_TRUE(admin.exec(std::string("DROP FUNCTION IF EXISTS sqltest.reshaped(int);"
                                           "CREATE FUNCTION sqltest.reshaped(n int, ") +
                               columns + ") LANGUAGE sql AS $$ " + body + " $$;"));
    }
};

TEST_P(SqlReshapedRoutine, TheFirstCallAfterItSucceeds) {
    define("doubled OUT int, result OUT int", "SELECT 2 * n, 0");
    std::int32_t ret = 9, doubled = 0, n = 0, id = 0;
    auto call = [&](std::int32_t with) {
        n = with;
        if (GetParam().inside_transaction) {
            EXPECT_EQ(sql::execute("begin :id := sqltest . note_add ( 'before' , NULL ) ; END ;",
                                   {sql::bind_int(Dir::out, id)}).sqlcode, 0);
        }
        return sql::execute(GetParam().statement, {sql::bind_int(Dir::out, ret), sql::bind_int(Dir::in, n),
                                                   sql::bind_int(Dir::out, doubled)});
    };
    auto r = call(4);
    ASSERT_EQ(r.sqlcode, 0) << r.sqlerrm;
    EXPECT_EQ(doubled, 8);
    define("doubled OUT numeric, note OUT text, result OUT int", "SELECT 3.0 * n, 'now three times', 1");
    for (std::int32_t with : {5, 6}) {
        ret = 9;
        r = call(with);
        ASSERT_EQ(r.sqlcode, 0) << "with " << with << ": " << r.sqlerrm;
        EXPECT_EQ(ret, 1);
        EXPECT_EQ(doubled, 3 * with);
    }
    ASSERT_EQ(sql::execute("COMMIT").sqlcode, 0);
    EXPECT_EQ(notes(), GetParam().committed_notes);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SqlReshapedRoutine,
    ::testing::Values(
        ReshapedRow{"Reading", "begin :r := sqltest . reshaped ( :n , :d ) ; END ;", false, "0"},
        ReshapedRow{"InsideATransaction", "begin :r := sqltest . reshaped ( :n , :d ) ; END ;", true, "3"},
        ReshapedRow{"AfterAChangeOfTheSameStatement",
                    "begin :r := sqltest . note_add ( 'same' , NULL ) ; :r := sqltest . reshaped ( :n , :d ) ; END ;",
                    false, "3"}),
    [](const auto& info) { return std::string(info.param.name); });

// A routine that fails with the same SQLSTATE on its own is not run again:
// only a query the server refused before running it is.
TEST_F(SqlSession, ARoutineThatFailsAsUnsupportedRunsOncePerCall) {
    const std::string before = admin.value("SELECT last_value + (CASE WHEN is_called THEN 1 ELSE 0 END) "
                                           "FROM sqltest.unsupported_runs");
    std::int32_t x = 0;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(sql::execute("begin :x := sqltest . unsupported ( ) ; END ;", {sql::bind_int(Dir::out, x)}).sqlcode,
                  -600);
    EXPECT_EQ(admin.value("SELECT last_value + (CASE WHEN is_called THEN 1 ELSE 0 END) - " + before +
                          " FROM sqltest.unsupported_runs"),
              "3");
}

// Where a RAW receives a result, the whole row comes in binary format; the
// other columns still reach their host variables as in text format.
TEST_F(SqlSession, BinaryResultsBesideARaw) {
    std::int32_t ret = 0, big = 0, number = 0, negative = 0, fraction = 0;
    sql::Raw<8> data;
    sql::Varchar<10> text;
    using sql::bind_int;
    auto r = sql::execute("begin :r := sqltest . pkg . mixed ( :d , :b , :n , :m , :f , :t ) ; END ;",
                          {bind_int(Dir::out, ret), sql::bind_raw(Dir::out, data), bind_int(Dir::out, big),
                           bind_int(Dir::out, number), bind_int(Dir::out, negative), bind_int(Dir::out, fraction),
                           sql::bind_varchar(Dir::out, text)});
    ASSERT_EQ(r.sqlcode, 0) << r.sqlerrm;
    EXPECT_EQ(ret, 3);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data.arr), data.len), std::string("\\x\0\xff", 4));
    EXPECT_EQ(big, 2147483647);
    EXPECT_EQ(number, 123456789);
    EXPECT_EQ(negative, -42);
    EXPECT_EQ(fraction, 3);  // 2.5 rounds away from zero
    EXPECT_EQ(text.view(), "abc");
}

// A number into an integer host variable reads the same whether its row
// comes in text format or, beside a RAW, in binary format: rounded half away
// from zero, and -1455 for what no integer holds (NaN and the infinities too).
struct NumberRow {
    const char* name;
    const char* value;  // as the routine's numeric result takes it
    int sqlcode;
    std::int32_t number;  // when sqlcode is 0
};
void PrintTo(const NumberRow& r, std::ostream* os) { *os << r.name; }

class SqlNumberFormats : public SqlSession, public ::testing::WithParamInterface<NumberRow> {};

TEST_P(SqlNumberFormats, TextAndBinaryAgree) {
    sql::Varchar<40> value;
    value.set(GetParam().value);
    for (bool beside_raw : {false, true}) {
        std::int32_t n = -7, ret = 0;
        sql::Raw<4> data;
        auto r = beside_raw
                     ? sql::execute("begin :r := sqltest . pkg . as_number ( :v , :d , :n ) ; END ;",
                                    {sql::bind_int(Dir::out, ret), sql::bind_varchar(Dir::in, value),
                                     sql::bind_raw(Dir::out, data), sql::bind_int(Dir::out, n)})
                     : sql::execute("begin :n := sqltest . as_number ( :v ) ; END ;",
                                    {sql::bind_int(Dir::out, n), sql::bind_varchar(Dir::in, value)});
        EXPECT_EQ(r.sqlcode, GetParam().sqlcode) << (beside_raw ? "binary: " : "text: ") << r.sqlerrm;
        EXPECT_EQ(n, GetParam().sqlcode == 0 ? GetParam().number : -7) << (beside_raw ? "binary" : "text");
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, SqlNumberFormats,
                         ::testing::Values(NumberRow{"Whole", "123456789", 0, 123456789},
                                           NumberRow{"NegativeWithScale", "-42.000", 0, -42},
                                           NumberRow{"HalfRoundsAway", "2.5", 0, 3},
                                           NumberRow{"NegativeHalfRoundsAway", "-2.5", 0, -3},
                                           NumberRow{"SmallFraction", "0.00049", 0, 0},
                                           NumberRow{"Largest", "2147483647", 0, 2147483647},
                                           NumberRow{"TooLarge", "2147483648", -1455, 0},
                                           NumberRow{"FarTooSmall", "-99999999999999999999999", -1455, 0},
                                           NumberRow{"Infinity", "Infinity", -1455, 0},
                                           NumberRow{"MinusInfinity", "-Infinity", -1455, 0},
                                           NumberRow{"NotANumber", "NaN", -1455, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// A reading session does not stand in the way of a schema change.
TEST_F(SqlSession, AnIdleReaderHoldsNoLock) {
    std::int32_t x = 0;
    ASSERT_EQ(sql::execute("begin select v into :x from sqltest . kv where k = 'one' ; END ;",
                           {sql::bind_int(Dir::out, x)}).sqlcode, 0);
    EXPECT_EQ(x, 1);
    EXPECT_TRUE(admin.exec("SET lock_timeout = '2s'; ALTER TABLE sqltest.kv ADD COLUMN IF NOT EXISTS extra int;"
                           "ALTER TABLE sqltest.kv DROP COLUMN extra; RESET lock_timeout;"));
}

TEST_F(SqlSession, DeeplyNestedTextIsRefusedAndTheSessionGoesOn) {
    std::string text = "begin :x := ";
    for (int i = 0; i < 20000; ++i) text += "NVL ( ";
    text += "1";
    for (int i = 0; i < 20000; ++i) text += " , 2 )";
    text += " ; END ;";
    std::int32_t x = 0;
    auto r = sql::execute(text, {sql::bind_int(Dir::out, x)});
    EXPECT_EQ(r.sqlcode, -900);
    EXPECT_NE(r.sqlerrm.find("ORA-00900"), std::string::npos) << r.sqlerrm;
    EXPECT_EQ(sql::execute("begin :x := sqltest . divide ( 4 ) ; END ;", {sql::bind_int(Dir::out, x)}).sqlcode, 0);
    EXPECT_EQ(x, 25);
}

} // namespace
