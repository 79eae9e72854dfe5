// The record link's bounded waits and its texts, on a copy of the test run's
// database, with a station login's session: a link that the owner points at
// a listener that never answers or that starts the session and then goes
// silent, a link whose server refuses it (full, or a wrong password) and a
// link whose statement cannot go on. In every case each recording call of
// the station (a flash serial number, a service-code look-up) fails within
// 10 s with a text that names the record link and keeps the reason; nothing
// is handed out unrecorded; and once the link is mended, the station's next
// call on the same session works and is recorded. A station waiting on a
// silent link answers a cancel or a terminate of its backend at once.
#include "pg_test_env.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

// A server in place of the record link's: a Unix socket in a folder of its
// own, named as PostgreSQL names its socket, that the link can be pointed at
// (host = folder(), port = port()). It accepts every connection and then
//   never:              answers nothing, and keeps the connection open;
//   too_many_clients:   answers the start-up packet as a server that has no
//                       room left does, and closes;
//   starts_then_silent: goes through the start-up as a server does (it asks
//                       for a password and takes any), reporting the client
//                       encoding given, then answers nothing more, keeping the
//                       connection open.
// It reads what comes on the connections it keeps (statements are counted)
// and notices a client that closes; those still open are closed when it is
// destroyed.
class LinkListener {
public:
    enum class Answer { never, too_many_clients, starts_then_silent };

    explicit LinkListener(Answer answer, std::string encoding = "SQL_ASCII")
        : answer_(answer), encoding_(std::move(encoding)) {
        char tmpl[] = "/tmp/phoneline-link.XXXXXX";
        if (!mkdtemp(tmpl)) return;
        dir_ = tmpl;
        // The server's processes (another user when the tests run as root)
        // must reach the socket.
        chmod(dir_.c_str(), 0755);
        const sockaddr_un a = address();
        listen_ = socket(AF_UNIX, SOCK_STREAM, 0);
        if (listen_ < 0 || bind(listen_, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 ||
            chmod(a.sun_path, 0777) != 0 || listen(listen_, 16) != 0 || pipe(wake_) != 0)
            return;
        thread_ = std::thread([this] { run(); });
    }
    ~LinkListener() {
        if (thread_.joinable()) {
            char c = 0;
            if (write(wake_[1], &c, 1) == 1) thread_.join();
            else thread_.detach();
        }
        if (listen_ >= 0) close(listen_);
        for (int fd : wake_)
            if (fd >= 0) close(fd);
        if (!dir_.empty()) {
            unlink(address().sun_path);
            rmdir(dir_.c_str());
        }
    }
    LinkListener(const LinkListener&) = delete;
    LinkListener& operator=(const LinkListener&) = delete;

    bool ok() const { return thread_.joinable(); }
    const std::string& folder() const { return dir_; }
    std::string port() const { return "5999"; }
    // Connections accepted so far.
    int accepted() const { return accepted_.load(); }
    // Waits until n statements came on sessions started, and until n
    // connections were closed by their clients (no time limit: the case
    // runner's ends a case that waits for something that never comes).
    void await_statements(int n) { await(statements_, n); }
    void await_closed(int n) { await(closed_, n); }

private:
    sockaddr_un address() const {
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::snprintf(a.sun_path, sizeof a.sun_path, "%s/.s.PGSQL.%s", dir_.c_str(), port().c_str());
        return a;
    }

    struct Kept {
        int fd;
        bool started;     // the session was started: messages come framed
        std::string in;   // bytes read and not yet taken apart
    };

    void run() {
        std::vector<Kept> kept;
        for (;;) {
            std::vector<pollfd> fds = {{listen_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
            for (const Kept& k : kept) fds.push_back({k.fd, POLLIN, 0});
            if (poll(fds.data(), fds.size(), -1) < 0 || fds[1].revents) break;
            for (std::size_t i = kept.size(); i-- > 0;) {
                if (fds[i + 2].revents && !take_in(kept[i])) {
                    close(kept[i].fd);
                    kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(i));
                    count(closed_);
                }
            }
            if (!(fds[0].revents & POLLIN)) continue;
            const int c = accept(listen_, nullptr, nullptr);
            if (c < 0) continue;
            accepted_.fetch_add(1);
            if (answer_ == Answer::too_many_clients) {
                if (read_start_up(c)) send_all(c, message('E', fields("FATAL", "53300", "sorry, too many clients already")));
                close(c);
                continue;
            }
            const bool started = answer_ == Answer::starts_then_silent && read_start_up(c) && start_session(c);
            kept.push_back({c, started, {}});  // answer nothing (more)
        }
        for (const Kept& k : kept) close(k.fd);
    }

    // Reads what came on a kept connection and counts the statements among
    // it; false when the client closed it.
    bool take_in(Kept& k) {
        char buf[4096];
        const ssize_t n = read(k.fd, buf, sizeof buf);
        if (n <= 0) return false;
        if (!k.started) return true;
        k.in.append(buf, static_cast<std::size_t>(n));
        while (k.in.size() >= 5) {
            std::uint32_t len = 0;
            std::memcpy(&len, k.in.data() + 1, 4);
            len = ntohl(len);
            if (k.in.size() < 1 + static_cast<std::size_t>(len)) break;
            if (k.in[0] == 'Q') count(statements_);
            k.in.erase(0, 1 + static_cast<std::size_t>(len));
        }
        return true;
    }

    void count(int& what) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++what;
        }
        changed_.notify_all();
    }
    void await(const int& what, int n) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return what >= n; });
    }

    // Reads the client's start-up packet, declining encryption first if it
    // asks. Gives up on a client that stops sending for 10 s.
    static bool read_start_up(int c) {
        for (int round = 0; round < 3; ++round) {
            std::uint32_t len = 0, code = 0;
            if (!read_all(c, &len, 4) || !read_all(c, &code, 4)) return false;
            len = ntohl(len);
            code = ntohl(code);
            if (len < 8 || len > 10000) return false;
            std::vector<char> rest(len - 8);
            if (!rest.empty() && !read_all(c, rest.data(), rest.size())) return false;
            if (code != 80877103 && code != 80877104) return true;  // not an SSL or GSS encryption request
            if (!send_all(c, "N")) return false;
        }
        return false;
    }

    // Asks for a clear-text password, takes whatever comes, and tells the
    // client that its session is ready, as a server does.
    bool start_session(int c) const {
        if (!send_all(c, message('R', be32(3)))) return false;
        char type = 0;
        std::uint32_t len = 0;
        if (!read_all(c, &type, 1) || type != 'p' || !read_all(c, &len, 4)) return false;
        len = ntohl(len);
        if (len < 4 || len > 10000) return false;
        std::vector<char> password(len - 4);
        if (!password.empty() && !read_all(c, password.data(), password.size())) return false;
        std::string ready = message('R', be32(0));
        const std::pair<const char*, std::string> parameters[] = {
            {"client_encoding", encoding_}, {"server_encoding", encoding_}, {"server_version", "15.0"},
            {"standard_conforming_strings", "on"}, {"integer_datetimes", "on"}, {"DateStyle", "ISO, MDY"}};
        for (const auto& [name, value] : parameters)
            ready += message('S', std::string(name) + '\0' + value + '\0');
        ready += message('K', be32(4711) + be32(4712));
        ready += message('Z', "I");
        return send_all(c, ready);
    }

    static std::string be32(std::uint32_t v) {
        v = htonl(v);
        return std::string(reinterpret_cast<const char*>(&v), 4);
    }

    // A message of the server's protocol: its type, length and body.
    static std::string message(char type, const std::string& body) {
        return std::string(1, type) + be32(static_cast<std::uint32_t>(body.size() + 4)) + body;
    }

    // The fields of an ErrorResponse.
    static std::string fields(const char* severity, const char* sqlstate, const char* text) {
        std::string body;
        const std::pair<char, const char*> all[] = {{'S', severity}, {'V', severity}, {'C', sqlstate}, {'M', text}};
        for (const auto& [type, value] : all) {
            body += type;
            body += value;
            body += '\0';
        }
        return body + '\0';
    }

    static bool send_all(int c, const std::string& bytes) {
        return send(c, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }

    static bool read_all(int fd, void* buf, std::size_t n) {
        auto* p = static_cast<char*>(buf);
        while (n > 0) {
            pollfd f{fd, POLLIN, 0};
            if (poll(&f, 1, 10000) <= 0) return false;
            const ssize_t got = read(fd, p, n);
            if (got <= 0) return false;
            p += got;
            n -= static_cast<std::size_t>(got);
        }
        return true;
    }

    Answer answer_;
    std::string encoding_;
    std::string dir_;
    int listen_ = -1;
    int wake_[2] = {-1, -1};
    std::atomic<int> accepted_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
    int statements_ = 0;  // under mutex_
    int closed_ = 0;      // under mutex_
    std::thread thread_;
};

// What one statement of the station gave back, and how long it took.
struct Outcome {
    bool ok = false;
    std::string value;     // the first column of the first row
    std::string sqlstate;  // on error
    std::string message;   // on error
    double seconds = 0;
};

// A session of the station login, kept for the whole case.
class Station {
public:
    Station() {
        const std::string login = pgtest::station_login();
        const char* keys[] = {"user", "application_name", nullptr};
        const char* values[] = {login.c_str(), "phoneline-test-station", nullptr};
        conn_ = PQconnectdbParams(keys, values, 0);
    }
    ~Station() { PQfinish(conn_); }
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    bool ok() const { return PQstatus(conn_) == CONNECTION_OK; }
    std::string error() const { return PQerrorMessage(conn_); }
    int backend_pid() const { return PQbackendPID(conn_); }

    // Runs sql and waits for its outcome.
    Outcome run(const std::string& sql) {
        const auto start = std::chrono::steady_clock::now();
        Outcome o = send(sql) ? outcome() : Outcome{false, "", "", PQerrorMessage(conn_), 0};
        o.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return o;
    }

    // Sends sql without waiting for its outcome.
    bool send(const std::string& sql) { return PQsendQuery(conn_, sql.c_str()) == 1; }

    // The outcome of the statement sent (its first result; the rest are
    // read and dropped).
    Outcome outcome() {
        Outcome o;
        PGresult* r = PQgetResult(conn_);
        o.ok = r && PQresultStatus(r) == PGRES_TUPLES_OK;
        if (o.ok) {
            if (PQntuples(r) > 0) o.value = PQgetisnull(r, 0, 0) ? "<null>" : PQgetvalue(r, 0, 0);
        } else {
            const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
            const char* text = r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
            o.sqlstate = state ? state : "";
            o.message = text ? text : PQerrorMessage(conn_);
        }
        PQclear(r);
        while (PGresult* rest = PQgetResult(conn_)) PQclear(rest);
        return o;
    }

private:
    PGconn* conn_ = nullptr;
};

constexpr const char* kImei = "490000000000045";
constexpr const char* kCode = "4545";
constexpr const char* kLinkFailed = "record link mero_record_link failed: ";

// The two calls of a station that record what they hand out.
struct Call {
    const char* name;
    const char* sql;
};
const Call kCalls[] = {
    {"getflashserialnumber", "SELECT pg_catalog.encode(result, 'escape') FROM mero.getflashserialnumber(16)"},
    {"zi_service", "SELECT mero.zi_service('490000000000045', 'mac-45', 'ip-45')"},
};

class RecordLink : public ::testing::Test {
protected:
    void SetUp() override {
        PGTEST_REQUIRE_SERVER(admin);
        ASSERT_TRUE(admin.end_earlier_sessions());
        ASSERT_TRUE(admin.exec(std::string("INSERT INTO mero.service_code VALUES ('") + kImei + "', '" + kCode +
                               "') ON CONFLICT (imei) DO UPDATE SET code = EXCLUDED.code"));
        host_ = link_option("host");
        port_ = link_option("port");
        password_ = admin.value(
            "SELECT option_value FROM pg_user_mappings, pg_options_to_table(umoptions)"
            " WHERE srvname = 'mero_record_link' AND usename = 'mero_owner' AND option_name = 'password'");
        ASSERT_NE(host_, "<no row>");
        ASSERT_NE(port_, "<no row>");
        station = std::make_unique<Station>();
        ASSERT_TRUE(station->ok()) << station->error();
        // The link works before anything is done to it.
        expect_calls_work("before");
    }
    void TearDown() override { point_link(host_, port_); }

    std::string link_option(const char* name) {
        return admin.value(std::string("SELECT option_value FROM pg_foreign_server, pg_options_to_table(srvoptions)"
                                       " WHERE srvname = 'mero_record_link' AND option_name = '") +
                           name + "'");
    }

    // The owner (not a superuser) points the link elsewhere.
    bool point_link(const std::string& host, const std::string& port) {
        return admin.exec("SET ROLE mero_owner; ALTER SERVER mero_record_link OPTIONS (SET host '" + host +
                          "', SET port '" + port + "'); RESET ROLE");
    }
    bool point_link_back() { return point_link(host_, port_); }

    // What the records hold: numbers handed out and look-ups of the IMEI.
    std::string records() {
        return admin.value(
            "SELECT (SELECT count(*) FROM mero.flash_serial) || ' ' ||"
            " (SELECT count(*) FROM mero.service_call WHERE imei = '490000000000045')");
    }

    // Each recording call fails within 10 s with a text that names the link
    // and holds reason; nothing more is recorded.
    void expect_calls_fail(const std::string& reason) {
        const std::string before = records();
        for (const Call& call : kCalls) {
            SCOPED_TRACE(call.name);
            const Outcome o = station->run(call.sql);
            EXPECT_FALSE(o.ok) << "handed out: " << o.value;
            EXPECT_LT(o.seconds, 10.0);
            EXPECT_EQ(o.sqlstate, "08001");
            EXPECT_EQ(o.message.rfind(kLinkFailed, 0), 0u) << o.message;
            EXPECT_NE(o.message.find(reason), std::string::npos) << "no [" << reason << "] in: " << o.message;
        }
        EXPECT_EQ(records(), before) << "a record was written although the call failed";
    }

    // Each recording call gives its number and records it.
    void expect_calls_work(const char* when) {
        SCOPED_TRACE(when);
        const Outcome fsn = station->run(kCalls[0].sql);
        ASSERT_TRUE(fsn.ok) << fsn.message;
        EXPECT_EQ(fsn.value.size(), 16u) << fsn.value;
        EXPECT_EQ(fsn.value.rfind("FSN", 0), 0u) << fsn.value;
        EXPECT_EQ(admin.value("SELECT count(*) FROM mero.flash_serial WHERE value = pg_catalog.convert_to('" +
                              fsn.value + "', 'SQL_ASCII')"),
                  "1");
        const std::string calls_before =
            admin.value("SELECT count(*) FROM mero.service_call WHERE imei = '490000000000045'");
        const Outcome code = station->run(kCalls[1].sql);
        ASSERT_TRUE(code.ok) << code.message;
        EXPECT_EQ(code.value, kCode);
        EXPECT_EQ(admin.value("SELECT count(*) - " + calls_before +
                              " FROM mero.service_call WHERE imei = '490000000000045' AND code = '4545'"
                              " AND macadr = 'mac-45' AND ipadr = 'ip-45'"),
                  "1");
    }

    pgtest::Admin admin;
    std::unique_ptr<Station> station;
    std::string host_, port_, password_;
};

// A link pointed at a server that does not answer: one that accepts and
// never answers, and one that starts the session and then answers no
// statement. Each call gives up in time, nothing is drawn, and the same
// session records again once the link is back.
struct Silence {
    const char* name;
    LinkListener::Answer answer;
    const char* reason;  // in the station's error text
};
void PrintTo(const Silence& r, std::ostream* os) { *os << r.name; }

class RecordLinkSilent : public RecordLink, public ::testing::WithParamInterface<Silence> {};

TEST_P(RecordLinkSilent, EachCallFailsInTimeThenTheSameSessionWorksAgain) {
    LinkListener listener(GetParam().answer, admin.value("SHOW server_encoding"));
    ASSERT_TRUE(listener.ok());
    const std::string drawn = admin.value("SELECT last_value FROM mero.flash_serial_seq");
    ASSERT_TRUE(point_link(listener.folder(), listener.port()));

    expect_calls_fail(GetParam().reason);
    EXPECT_EQ(listener.accepted(), 2) << "the link did not go to the listener for each call";
    EXPECT_EQ(admin.value("SELECT last_value FROM mero.flash_serial_seq"), drawn) << "a number was drawn";
    // The station's backend is not left waiting on the listener.
    EXPECT_EQ(admin.value("SELECT state FROM pg_stat_activity WHERE pid = " +
                          std::to_string(station->backend_pid())),
              "idle");

    ASSERT_TRUE(point_link_back());
    expect_calls_work("after the link is back");
    EXPECT_EQ(listener.accepted(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RecordLinkSilent,
    ::testing::Values(Silence{"NeverAnswers", LinkListener::Answer::never, "timeout expired"},
                      Silence{"StartsThenAnswersNoStatement", LinkListener::Answer::starts_then_silent,
                              "the server gave no answer within 8 seconds"}),
    [](const auto& info) { return std::string(info.param.name); });

// A station whose call waits on a link that started its session and then
// went silent answers a cancel or a terminate of its backend at once (not
// only once the wait has run out), and the link's connection is closed.
enum class Interrupt { cancel, terminate };
struct Interruption {
    const char* name;
    Interrupt how;
};
void PrintTo(const Interruption& r, std::ostream* os) { *os << r.name; }

class RecordLinkInterrupted : public RecordLink, public ::testing::WithParamInterface<Interruption> {};

TEST_P(RecordLinkInterrupted, TheWaitingStationAnswersAtOnce) {
    LinkListener listener(LinkListener::Answer::starts_then_silent, admin.value("SHOW server_encoding"));
    ASSERT_TRUE(listener.ok());
    const std::string before = records();
    ASSERT_TRUE(point_link(listener.folder(), listener.port()));

    int n = 0;
    for (const Call& call : kCalls) {
        SCOPED_TRACE(call.name);
        ++n;
        ASSERT_TRUE(station->ok()) << station->error();
        const int pid = station->backend_pid();
        ASSERT_TRUE(station->send(call.sql));
        listener.await_statements(n);  // the station's backend now waits for the answer
        const auto start = std::chrono::steady_clock::now();
        if (GetParam().how == Interrupt::cancel) {
            ASSERT_EQ(admin.value("SELECT pg_cancel_backend(" + std::to_string(pid) + ")"), "t");
            const Outcome o = station->outcome();
            EXPECT_FALSE(o.ok) << "handed out: " << o.value;
            // The station's own cancel, not turned into a failed link.
            EXPECT_EQ(o.sqlstate, "57014") << o.message;
            EXPECT_EQ(o.message, "canceling statement due to user request");
        } else {
            ASSERT_EQ(admin.value("SELECT pg_terminate_backend(" + std::to_string(pid) + ")"), "t");
            const Outcome o = station->outcome();
            EXPECT_FALSE(o.ok) << "handed out: " << o.value;
            EXPECT_TRUE(admin.await_session_end(pid));
            station = std::make_unique<Station>();  // the next call on a session of its own
        }
        // Well before the wait for the answer runs out (8 s).
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 4.0);
        listener.await_closed(n);
    }
    EXPECT_EQ(records(), before);

    ASSERT_TRUE(point_link_back());
    expect_calls_work("after the link is back");
}

INSTANTIATE_TEST_SUITE_P(Rows, RecordLinkInterrupted,
                         ::testing::Values(Interruption{"Cancel", Interrupt::cancel},
                                           Interruption{"Terminate", Interrupt::terminate}),
                         [](const auto& info) { return std::string(info.param.name); });

// A link whose statement cannot go on (another session keeps the record
// tables from being written, though not from being read) is ended by the
// link's statement time-out; the station's call fails in time and works
// again once the lock is gone.
class RecordLinkStuck : public RecordLink {};

TEST_F(RecordLinkStuck, StatementTimeOutEndsEachCallThenTheSameSessionWorksAgain) {
    pgtest::Admin locker(pgtest::own_session);
    ASSERT_TRUE(locker.ok()) << locker.error();
    ASSERT_TRUE(locker.exec("BEGIN; LOCK TABLE mero.flash_serial, mero.service_call IN EXCLUSIVE MODE"));

    expect_calls_fail("canceling statement due to statement timeout");

    ASSERT_TRUE(locker.exec("ROLLBACK"));
    expect_calls_work("after the lock is gone");
}

// A link that its server refuses: the server's own reason stays in the text.
struct Refusal {
    const char* name;
    const char* reason;  // in the station's error text
};
void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

class RecordLinkRefused : public RecordLink, public ::testing::WithParamInterface<Refusal> {
protected:
    // Makes the link's server refuse it in the case's way; the returned
    // object (if any) must live while it does.
    std::shared_ptr<void> refuse() {
        const std::string name = GetParam().name;
        if (name == "ServerFull") {
            auto listener = std::make_shared<LinkListener>(LinkListener::Answer::too_many_clients);
            EXPECT_TRUE(listener->ok());
            EXPECT_TRUE(point_link(listener->folder(), listener->port()));
            return listener;
        }
        if (name == "DatabaseFull") {
            // Every slot of the database is taken: the station's session
            // (and the fixtures') hold more than the limit allows.
            EXPECT_TRUE(admin.exec("ALTER DATABASE " + pgtest::database() + " CONNECTION LIMIT 0"));
        } else if (name == "RoleFull") {
            // A login of its own for the link, whose every slot is taken; the
            // login is the server's, so it goes again with the case.
            EXPECT_TRUE(admin.exec("SET client_min_messages = warning; DROP ROLE IF EXISTS " + full_role() +
                                   "; CREATE ROLE " + full_role() +
                                   " LOGIN CONNECTION LIMIT 0; ALTER USER MAPPING FOR mero_owner SERVER "
                                   "mero_record_link OPTIONS (SET user '" + full_role() + "')"));
        } else if (name == "WrongPassword") {
            EXPECT_TRUE(admin.exec("ALTER USER MAPPING FOR mero_owner SERVER mero_record_link"
                                   " OPTIONS (SET password 'not-the-password')"));
        } else {
            ADD_FAILURE() << "no such refusal: " << name;
        }
        return nullptr;
    }

    void mend() {
        const std::string name = GetParam().name;
        if (name == "ServerFull") {
            point_link_back();
        } else if (name == "DatabaseFull") {
            admin.exec("ALTER DATABASE " + pgtest::database() + " CONNECTION LIMIT -1");
        } else if (name == "RoleFull") {
            admin.exec("ALTER USER MAPPING FOR mero_owner SERVER mero_record_link OPTIONS (SET user 'mero_owner')");
            admin.exec("DROP ROLE IF EXISTS " + full_role());
        } else if (name == "WrongPassword") {
            admin.exec("ALTER USER MAPPING FOR mero_owner SERVER mero_record_link OPTIONS (SET password '" +
                       password_ + "')");
        }
    }

    void TearDown() override {
        if (!mended_) mend();
        RecordLink::TearDown();
    }

    std::string full_role() const { return "link_full_" + std::to_string(getpid()); }

    bool mended_ = false;
};

TEST_P(RecordLinkRefused, TheServersReasonIsInTheTextThenTheSameSessionWorksAgain) {
    const std::shared_ptr<void> refusing = refuse();
    if (HasFailure()) return;

    std::string reason = GetParam().reason;
    if (std::string(GetParam().name) == "DatabaseFull") reason += " \"" + pgtest::database() + "\"";
    if (std::string(GetParam().name) == "RoleFull") reason += " \"" + full_role() + "\"";
    expect_calls_fail(reason);

    mend();
    mended_ = true;
    expect_calls_work("after the link is mended");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RecordLinkRefused,
    ::testing::Values(Refusal{"ServerFull", "FATAL:  sorry, too many clients already"},
                      Refusal{"DatabaseFull", "FATAL:  too many connections for database"},
                      Refusal{"RoleFull", "FATAL:  too many connections for role"},
                      Refusal{"WrongPassword", "FATAL:  password authentication failed for user \"mero_owner\""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
