// Recovering a lost or invalidated session: the rerun of a statement and
// the exported reconnect with growing waits.
#include "dalmire_internal.h"

#include "pclock.h"
#include "varndb.h"

#include <algorithm>
#include <iterator>

namespace dalmire {
namespace {

// Package state discarded or invalid, no session, invalid cursor: the
// statement may succeed on a fresh session.
constexpr int kRerunCodes[] = {-4061, -4068, -6508, -1012, -1001};
// Those plus the lost-connection family.
constexpr int kRetryCodes[] = {-4061, -4068, -6508, -1012, -1001, -3113, -3114, -12152, -25408, -28};

constexpr pclock::Millis kRerunWaitMs = 500;
constexpr int kRetryRounds = 5;

} // namespace

bool isRerunCode(int sqlcode) { return std::find(std::begin(kRerunCodes), std::end(kRerunCodes), sqlcode) != std::end(kRerunCodes); }
bool isRetryCode(int sqlcode) { return std::find(std::begin(kRetryCodes), std::end(kRetryCodes), sqlcode) != std::end(kRetryCodes); }

sql::Sqlca runWithRerun(std::string_view statement, std::span<const sql::Bind> binds) {
    for (int run = 1;; ++run) {
        sql::Sqlca r = sql::execute(statement, binds);
        if (!isRerunCode(r.sqlcode) || run == kMaxRuns) return r;
        varndb_Disconnect();
        db_connect(nullptr);
        pclock::sleep_ms(kRerunWaitMs);
    }
}

} // namespace dalmire

extern "C" int varndb_retryConnect(int oracleError) {
    try {
        if (oracleError == 0 || !dalmire::isRetryCode(oracleError)) return 0;
        for (int k = 1; k <= dalmire::kRetryRounds; ++k) {
            varndb_Disconnect();
            // 1, 1, 4, 9, 16 seconds.
            pclock::Millis wait_s = k == 1 ? 1 : (k - 1) * (k - 1);
            pclock::sleep_ms(wait_s * 1000);
            if (dalmire::db_connect(nullptr) == 0) return 1;
        }
        return 0;
    } catch (...) {
        return 0;
    }
}
