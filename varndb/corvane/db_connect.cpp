// The database side of connecting: the station's registration, then the
// server's object references from mero.getIOR.
#include "VarndbCIclient.h"

#include "errtext.h"
#include "message_text.h"
#include "registration.h"
#include "sql_session.h"

#include <unistd.h>

std::string getErrorText(int code) { return varndb::message_text(code); }

int VarndbCIclient::db_connect(const char* password, char* errText) {
    sql::lusken_disconnect();
    connected = false;
    int r = sql::lusken_connect(user.c_str(), password, database.c_str());
    if (r != 0) {
        varndb::put_text(errText, "VaRndb.dll: db_connect returns %d!", r);
        return VARNDB_E_SESSION;
    }
    varndb::StationIdentity id{static_cast<int>(getpid()), user, password ? password : "", hostData, macId, ip};
    varndb::Registration reg = varndb::register_station(id);
    if (!reg.sqlca.ok()) {
        varndb::put_text(errText, "LOCALC_CONNECT returns sqlerror (%d) (%.200s)!", reg.sqlca.sqlcode,
                         reg.sqlca.sqlerrm.c_str());
        return VARNDB_E_REGISTER_SQL;
    }
    if (reg.result != 0) {
        std::string text = getErrorText(reg.result);
        if (reg.result == -2)
            varndb::put_text(errText, "%.100s (MAC address %s unknown) [Consult your MERO administrator](%d)",
                             text.c_str(), macId.c_str(), reg.result);
        else
            varndb::put_text(errText, "%.200s (%d)", text.c_str(), reg.result);
        sql::lusken_disconnect();
        return VARNDB_E_REGISTER;
    }

    sql::Varchar<513> ior, defaultIor;
    sql::Sqlca ca = sql::execute("begin :v_IOR := mero . getIOR ( :v_defaultIOR ) ; END ;",
                                 {sql::bind_varchar(sql::Dir::out, ior), sql::bind_varchar(sql::Dir::out, defaultIor)});
    if (!ca.ok()) {
        varndb::put_text(errText, "LOCALC_CONNECT returns sqlerror (%d) (%.200s)!", ca.sqlcode, ca.sqlerrm.c_str());
        sql::lusken_disconnect();
        return VARNDB_E_PARAM_LONG;
    }
    references.emplace_back(ior.view());
    references.emplace_back(defaultIor.view());
    connected = true;
    return 0;
}
