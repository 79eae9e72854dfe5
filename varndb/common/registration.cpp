#include "registration.h"

namespace varndb {

Registration register_station(const StationIdentity& id) {
    static const char* const kBlock =
        "begin :i_retwert := 0 ; :i_retwert := mero . simcode . LOCALC_CONNECT ( :i_pid , :v_username , "
        ":v_password , :v_pcname , :v_macadr , :v_ipadr ) ; COMMIT ; END ;";
    std::int32_t retwert = 0;
    std::int32_t pid = id.pid;
    sql::Varchar<31> user;
    sql::Varchar<51> password;
    sql::Varchar<101> pcname;
    sql::Varchar<21> mac, ip;
    user.set(id.user);
    password.set(id.password);
    pcname.set(id.host);
    mac.set(id.mac);
    ip.set(id.ip);
    using sql::Dir;
    Registration r;
    r.sqlca = sql::execute(kBlock, {sql::bind_int(Dir::out, retwert), sql::bind_int(Dir::in, pid),
                                    sql::bind_varchar(Dir::in, user), sql::bind_varchar(Dir::in, password),
                                    sql::bind_varchar(Dir::in, pcname), sql::bind_varchar(Dir::in, mac),
                                    sql::bind_varchar(Dir::in, ip)});
    r.result = retwert;
    return r;
}

} // namespace varndb
