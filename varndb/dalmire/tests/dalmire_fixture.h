// A clean reference schema, the station's own MAC id registered, virtual
// time, and helpers to look at what reached the database.
#pragma once

#include "dalmire_internal.h"
#include "halden.h"
#include "pclock.h"
#include "station_db.h"
#include "varndb.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

class DalmireDb : public ::testing::Test {
protected:
    void SetUp() override {
        PGTEST_REQUIRE_SERVER(admin);
        // The fixture's own connections open after admin is made.
        ASSERT_TRUE(admin.end_earlier_sessions());
        ASSERT_TRUE(pgtest::forget_stations(admin));
        getMACId(mac);
        char host[HALDEN_NAME_SIZE] = {};
        getHostData(host, ip);
        addStation(0);
        unsetenv("VARNDB_TRACE");
        pclock::use_virtual_time(0);
    }
    void TearDown() override {
        varndb_Disconnect();
        varndb_AutoDisconnect(0);  // the next case of the process starts with the default
        pclock::use_real_time();
    }

    void addStation(int result) { pgtest::register_station(admin, mac, result); }
    static std::string user() { return pgtest::station_login(); }
    int connect(char* err) { return varndb_Connect(user().c_str(), "secret", pgtest::database().c_str(), err); }
    long calls(const std::string& routine) {
        return std::stol(admin.value("SELECT mero_test.calls('" + routine + "')"));
    }
    pgtest::Admin admin;
    char mac[HALDEN_MAC_SIZE] = {};
    char ip[HALDEN_IP_SIZE] = {};
};

