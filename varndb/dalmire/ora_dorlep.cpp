// The session of the direct-SQL back-end: connect with the station's
// identity and registration, disconnect, auto-disconnect.
#include "dalmire_internal.h"

#include "errtext.h"
#include "halden.h"
#include "registration.h"
#include "varndb.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace dalmire {
namespace {

// Copies at most size-1 characters and a terminator.
template <std::size_t N>
void keep(char (&to)[N], const char* from) {
    std::snprintf(to, N, "%s", from ? from : "");
}

std::size_t length(const char* s) { return s ? std::strlen(s) : 0; }

// Tracing of the session on the database side: on only for "ON" exactly.
void sendTracingSwitch() {
    const char* v = std::getenv("VARNDB_TRACE");
    std::int16_t trace = (v && std::strcmp(v, "ON") == 0) ? 1 : 0;
    sql::execute("begin mero . simcode . setTracingOn ( :si_trace ) ; END ;",
                 {sql::bind_short(sql::Dir::in, trace)});
}

} // namespace

ConnectionState& state() {
    static ConnectionState s;
    return s;
}

void keepIdentity(const char* host, const char* mac, const char* ip) {
    ConnectionState& s = state();
    keep(s.host, host);
    keep(s.mac, mac);
    keep(s.ip, ip);
}

int db_connect(char* errText) {
    ConnectionState& s = state();
    int r = sql::lusken_connect(s.user, s.password, s.database);
    if (r != 0) {
        varndb::put_text(errText, "VaRndb.dll: db_connect returns %d!", r);
        return VARNDB_E_SESSION;
    }
    varndb::StationIdentity id{static_cast<int>(getpid()), s.user, s.password, s.host, s.mac, s.ip};
    varndb::Registration reg = varndb::register_station(id);
    if (!reg.sqlca.ok()) {
        varndb::put_text(errText, "LOCALC_CONNECT returns sqlerror (%d) (%s)!", reg.sqlca.sqlcode,
                         reg.sqlca.sqlerrm.c_str());
        sql::lusken_disconnect();  // no session is left open behind a failed connect
        return VARNDB_E_REGISTER_SQL;
    }
    if (reg.result != 0) {
        if (errText) {
            std::string text = getErrorText(reg.result);
            if (reg.result == -2)
                varndb::put_text(errText, "%s (MAC address %s unknown)[Consult your MERO administrator](%d)",
                                 text.c_str(), s.mac, reg.result);
            else
                varndb::put_text(errText, "%s (%d)", text.c_str(), reg.result);
        }
        sql::lusken_disconnect();
        return VARNDB_E_REGISTER;
    }
    sendTracingSwitch();
    s.connected = 1;
    return 0;
}

int connectionCheck(char* errText, int notConnectedCode) {
    if (state().connected) return 0;
    if (state().autoDisconnect) return db_connect(errText);
    varndb::put_text(errText, "Not connected to database!");
    return notConnectedCode;
}

void autoDisconnect() {
    if (state().autoDisconnect) varndb_Disconnect();
}

} // namespace dalmire

extern "C" int varndb_Connect(const char* user, const char* password, const char* database, char* errText) {
    using namespace dalmire;
    try {
        ConnectionState& s = state();
        if (length(user) > sizeof s.user - 1 || length(password) > sizeof s.password - 1 ||
            length(database) > sizeof s.database - 1) {
            varndb::put_text(errText, "VaRndb.dll: varndb_Connect() - parameter to long!");
            return VARNDB_E_PARAM_LONG;
        }
        keep(s.user, user);
        keep(s.password, password);
        keep(s.database, database);

        // Zeroed first, so that a failed look-up leaves empty texts.
        char host[256] = {}, mac[256] = {}, ip[256] = {};
        getMACId(mac);
        getHostData(host, ip);
        keepIdentity(host, mac, ip);
        handMacIdToSibling(s.mac);
        return db_connect(errText);
    } catch (...) {
        varndb::put_text(errText, "VaRndb.dll: varndb_Connect() - internal error!");
        return VARNDB_E_SESSION;
    }
}

extern "C" int varndb_Disconnect(void) {
    try {
        dalmire::state().connected = 0;
        return sql::lusken_disconnect();
    } catch (...) {
        return -1;
    }
}

extern "C" void varndb_AutoDisconnect(char on) { dalmire::state().autoDisconnect = static_cast<unsigned char>(on); }
