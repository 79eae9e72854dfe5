// The reference schema as the database fixtures set it up: the station
// under test registered by its MAC id (after forgetting the others, or
// beside them), and the data tables at their defaults.
#pragma once

#include "pg_test_env.h"

#include <string>

namespace pgtest {

// Forgets every station and registration, and the routines' faults and counts.
inline bool forget_stations(Admin& admin) {
    return admin.exec("SELECT mero_test.reset(); DELETE FROM mero.station; DELETE FROM mero.station_login;");
}

// Makes the station of MAC id mac known; its registration answers result.
inline bool register_station(Admin& admin, const std::string& mac, int result = 0) {
    return admin.exec("INSERT INTO mero.station VALUES ('" + mac + "', " + std::to_string(result) +
                      ") ON CONFLICT (macadr) DO UPDATE SET result = EXCLUDED.result");
}

// Empties every data and file table and puts back their defaults, the
// SIM-data coder included; forgets the routines' faults and counts.
inline bool reset_data(Admin& admin) {
    return admin.exec("SELECT mero_test.reset(); SELECT mero_test.clear_data(); "
                      "SELECT mero_test.clear_files(); SELECT mero_test.add_simdata_coder();");
}

} // namespace pgtest
