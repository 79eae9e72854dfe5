// A clean reference schema with the station registered, a running test
// server whose reference the database hands out, short ORB time-outs and
// virtual time.
#pragma once

#include "VarndbCIclient.h"
#include "corvane.h"
#include "halden.h"
#include "pclock.h"
#include "station_db.h"
#include "test_server.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

class CorvaneDb : public ::testing::Test {
public:
    void SetUp() override {
        PGTEST_REQUIRE_SERVER(admin);
        ASSERT_TRUE(pgtest::forget_stations(admin));
        getMACId(mac);
        getHostData(host, ip);
        addStation(0);
        // No system configuration; a dead or hung server fails fast.
        setenv("OMNIORB_CONFIG", "/dev/null", 1);
        setenv("ORBclientConnectTimeOutPeriod", "2000", 1);
        setenv("ORBclientCallTimeOutPeriod", "10000", 1);
        pclock::use_virtual_time(0);
        ASSERT_TRUE(server.start()) << "the test server did not start";
        setReferences(server.ior(), server.ior());
    }
    void TearDown() override {
        varndb_Disconnect();
        server.stop();
        pclock::use_real_time();
    }

    void addStation(int result) { pgtest::register_station(admin, mac, result); }
    void setReferences(const std::string& ior, const std::string& defaultIor) {
        admin.exec("UPDATE mero.server_ref SET ior = '" + ior + "', default_ior = '" + defaultIor + "'");
    }
    static std::string user() { return pgtest::station_login(); }
    int connect(char* err, const char* password = "secret") {
        return varndb_Connect(user().c_str(), password, pgtest::database().c_str(), err);
    }
    // Connects and empties the server's journal.
    void connectOk() {
        char err[256] = {};
        ASSERT_EQ(connect(err), 0) << err;
        ASSERT_EQ(server.command("clear"), "ok");
    }
    std::string ok(const std::string& line) { return server.command(line); }

    pgtest::Admin admin;
    TestServer server;
    char mac[HALDEN_MAC_SIZE] = {};
    char host[HALDEN_NAME_SIZE] = {};
    char ip[HALDEN_IP_SIZE] = {};
};

// A reference that parses to no object at all.
inline const char* kNilIor = "IOR:00000000000000010000000000000000";
