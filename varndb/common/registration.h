// The station's registration with the production database, the same for
// both back-ends: mero.simcode.LOCALC_CONNECT with the station's identity,
// committed inside the block.
#pragma once

#include "sql_session.h"

#include <string>

namespace varndb {

struct StationIdentity {
    int pid = 0;
    std::string user, password, host, mac, ip;
};

struct Registration {
    sql::Sqlca sqlca;  // the block's outcome
    int result = 0;    // the routine's answer (0 = accepted), valid when sqlca.ok()
};

// Runs the registration block on the open session. Texts longer than their
// host variables (user 31, password 51, host 101, MAC 21, IP 21) are cut.
Registration register_station(const StationIdentity& id);

} // namespace varndb
