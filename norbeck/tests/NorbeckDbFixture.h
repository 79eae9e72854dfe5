// The test run's reference schema at its defaults, this station registered,
// and the connect text of the test database.
#pragma once

#include "halden.h"
#include "pg_test_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace norbeck_db {

inline std::string connectText(const std::string& options = "") {
    const char* u = std::getenv("PGUSER");
    return std::string(u ? u : "") + "/secret@" + pgtest::database() + options;
}

inline void prepare(pgtest::Admin& admin) {
    PGTEST_REQUIRE_SERVER(admin);
    char mac[HALDEN_MAC_SIZE] = {};
    getMACId(mac);
    ASSERT_TRUE(admin.exec("SELECT mero_test.reset(); SELECT mero_test.clear_data(); "
                           "SELECT mero_test.clear_files(); SELECT mero_test.add_simdata_coder();"
                           "INSERT INTO mero.station VALUES ('" + std::string(mac) +
                           "', 0) ON CONFLICT (macadr) DO UPDATE SET result = 0"));
}

} // namespace norbeck_db
