// Both back-ends, loaded as a caller loads them and connected (the direct-SQL
// one to the test database, the remote-object one to the test server),
// refuse a NULL record, code, length or buffer alike: VARNDB_E_NULL and
// "One parameter is NULL!", with nothing sent.
#include "halden.h"
#include "pclock.h"
#include "station_db.h"
#include "sql_session.h"
#include "test_server.h"
#include "varndb.h"

#include <dlfcn.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>

namespace {

struct Backend {
    const char* name;
    const char* library;
    bool remote;
};

const Backend kDalmire{"Dalmire", DALMIRE_LIBRARY_PATH, false};
const Backend kCorvane{"Corvane", CORVANE_LIBRARY_PATH, true};

// Valid arguments besides the NULL one.
struct Args {
    Varn_DorlepData rec{};
    t_varn_orgTovikAddData addData{};
    unsigned char buf[256] = {};
    int len = 16;
    int code = 0;
    char codeText[101] = {};
    char err[256] = "junk";
};

struct NullRow {
    const char* name;
    const char* symbol;
    bool dalmire, corvane;  // the back-ends that offer the operation
    int (*call)(void* fn, Args& a);
};
void PrintTo(const NullRow& r, std::ostream* os) { *os << r.name; }

#define ROW(name, fn, dalmire, corvane, ...) \
    NullRow{name, #fn, dalmire, corvane, [](void* f, Args& a) { return reinterpret_cast<decltype(&fn)>(f)(__VA_ARGS__); }}
const NullRow kRows[] = {
    ROW("WriteReport_rec", varndb_WriteReport, true, true, nullptr, a.err),
    ROW("getServiceCode_imei", varndb_getServiceCode, true, true, nullptr, &a.code, a.err),
    ROW("getServiceCode_code", varndb_getServiceCode, true, true, "490154203237518", nullptr, a.err),
    ROW("getCharServiceCode_imei", varndb_getCharServiceCode, true, false, nullptr, a.codeText, a.err),
    ROW("getCharServiceCode_code", varndb_getCharServiceCode, true, false, "490154203237518", nullptr, a.err),
    ROW("getImeiInfo_buf", varndb_getImeiInfo, true, true, "490154203237518", nullptr, &a.len, a.err),
    ROW("getImeiInfo_len", varndb_getImeiInfo, true, true, "490154203237518", a.buf, nullptr, a.err),
    ROW("getFlashSerialNumber_buf", varndb_getFlashSerialNumber, true, true, nullptr, &a.len, a.err),
    ROW("getFlashSerialNumber_len", varndb_getFlashSerialNumber, true, true, a.buf, nullptr, a.err),
    ROW("putOrgTovikAddData_rec", varndb_putOrgTovikAddData, true, false, nullptr, a.err),
};
#undef ROW

using Case = std::tuple<Backend, NullRow>;

std::vector<Case> cases() {
    std::vector<Case> out;
    for (const Backend& b : {kDalmire, kCorvane})
        for (const NullRow& r : kRows)
            if (b.remote ? r.corvane : r.dalmire) out.emplace_back(b, r);
    return out;
}

class NullArgument : public ::testing::TestWithParam<Case> {
protected:
    const Backend& backend() const { return std::get<0>(GetParam()); }
    const NullRow& row() const { return std::get<1>(GetParam()); }

    void SetUp() override {
        PGTEST_REQUIRE_SERVER(admin);
        ASSERT_TRUE(admin.exec("SELECT mero_test.reset(); DELETE FROM mero.station;"));
        char mac[HALDEN_MAC_SIZE] = {}, host[HALDEN_NAME_SIZE] = {}, ip[HALDEN_IP_SIZE] = {};
        getMACId(mac);
        getHostData(host, ip);
        pgtest::register_station(admin, mac);
        if (backend().remote) {
            setenv("OMNIORB_CONFIG", "/dev/null", 1);
            ASSERT_TRUE(server.start()) << "the test server did not start";
            admin.exec("UPDATE mero.server_ref SET ior = '" + server.ior() + "', default_ior = '" + server.ior() + "'");
        }
        pclock::use_virtual_time(0);  // a reconnect would show as time passing
        lib = dlopen(backend().library, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(lib, nullptr) << dlerror();
        auto connect = reinterpret_cast<decltype(&varndb_Connect)>(dlsym(lib, "varndb_Connect"));
        ASSERT_NE(connect, nullptr);
        char err[256] = {};
        ASSERT_EQ(connect(pgtest::station_login().c_str(), "secret", pgtest::database().c_str(), err), 0) << err;
        if (backend().remote) {
            ASSERT_EQ(server.command("clear"), "ok");
        }
    }
    void TearDown() override {
        if (lib) {
            if (auto disconnect = reinterpret_cast<decltype(&varndb_Disconnect)>(dlsym(lib, "varndb_Disconnect")))
                disconnect();
        }
        server.stop();
        pclock::use_real_time();
    }

    pgtest::Admin admin;
    TestServer server;
    void* lib = nullptr;
};

TEST_P(NullArgument, RefusedWithoutAnythingSent) {
    void* fn = dlsym(lib, row().symbol);
    ASSERT_NE(fn, nullptr) << row().symbol;
    const int statements = sql::stats().statements;
    Args a;
    EXPECT_EQ(row().call(fn, a), VARNDB_E_NULL);
    EXPECT_STREQ(a.err, "One parameter is NULL!");
    EXPECT_EQ(sql::stats().statements, statements);
    if (backend().remote) {
        EXPECT_TRUE(server.journal().empty());
    }
    EXPECT_EQ(pclock::now_ms(), 0);
}

INSTANTIATE_TEST_SUITE_P(BothBackends, NullArgument, ::testing::ValuesIn(cases()), [](const auto& info) {
    return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
});

} // namespace
