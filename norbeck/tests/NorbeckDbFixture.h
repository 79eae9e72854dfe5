// The test run's reference schema at its defaults, this station registered,
// the connect text of the test database and the line data of a station.
#pragma once

#include "brannik_test.h"
#include "halden.h"
#include "station_db.h"

#include <gtest/gtest.h>

#include <string>

namespace norbeck_db {

inline std::string connectText(const std::string& options = "") {
    return pgtest::station_login() + "/secret@" + pgtest::database() + options;
}

inline void prepare(pgtest::Admin& admin) {
    PGTEST_REQUIRE_SERVER(admin);
    char mac[HALDEN_MAC_SIZE] = {};
    getMACId(mac);
    ASSERT_TRUE(pgtest::reset_data(admin));
    ASSERT_TRUE(pgtest::register_station(admin, mac));
}

// The line data of a station that tested a phone.
inline void setLineData() {
    brannik_test::set_text("Sammelkarte", "S30880-Q8400-A1");
    brannik_test::set_number("Sk003", 100);
    brannik_test::set_text("PstufeStatFile", "916");
    brannik_test::set_number("StdMapVer", 21);
    brannik_test::set_number("DeltaMapProvider", 3);
    brannik_test::set_number("DeltaMapVer", 4);
    brannik_test::set_number("LineNr", 7);
    brannik_test::set_text("Standort", "BO1");
    brannik_test::set_number("LineType", 'F');
    brannik_test::set_text("MacAdress", "00a0c9123456");
    brannik_test::set_text("SimId", "8949020000001234567");
    brannik_test::set_number("MobSwVersion", 42);
    brannik_test::set_text("FlashSerialNumber", "FSN0000000000042");
    brannik_test::set_text("MobSwDateTime", "2026-11-30 08:15:00");
}

} // namespace norbeck_db
