// The client object: connect with registration in the database and at the
// server, the ORB on the first usable server reference, disconnect.
#include "VarndbCIclient.h"

#include "corvane.h"
#include "errtext.h"
#include "halden.h"
#include "sql_session.h"
#include "util_time.h"

#include <unistd.h>

#include <cstring>

namespace corvane {

std::string makeClientId(const std::string& macId, long long startSeconds, int pid) {
    return macId + "<" + std::to_string(startSeconds) + ">" + std::to_string(pid) + "-$Revision: 1.17 $";
}

std::string passwordPart(const char* password) {
    std::string p = password ? password : "";
    return p.size() > 1 ? p.substr(1, 3) : std::string();
}

std::string joinPath(const std::string& directory, const std::string& name) {
    if (directory.empty() || directory.back() == '/' || directory.back() == '\\') return directory + name;
    return directory + "/" + name;
}

} // namespace corvane

VarndbCIclient::~VarndbCIclient() {
    disconnect();
    server = VarndbCI::_nil();
    dropOrb();
}

void VarndbCIclient::dropOrb() {
    if (CORBA::is_nil(orb)) return;
    try {
        orb->destroy();
    } catch (...) {
    }
    orb = CORBA::ORB::_nil();
}

int VarndbCIclient::orb_init() {
    int result = VARNDB_E_RESULT_SIZE;  // no server
    for (const std::string& reference : references) {
        if (!CORBA::is_nil(orb)) return 0;
        try {
            int argc = 1;
            char arg0[] = "dummy";
            char* argv[] = {arg0, nullptr};
            // Files travel whole in one message: lift the ORB's default
            // message limit (2 MiB) to the back-end's own.
            const std::string maxMessage = std::to_string(CORVANE_MAX_MESSAGE_SIZE);
            const char* options[][2] = {{"giopMaxMsgSize", maxMessage.c_str()}, {nullptr, nullptr}};
            orb = CORBA::ORB_init(argc, argv, "omniORB4", options);
            CORBA::Object_var object = orb->string_to_object(reference.c_str());
            server = VarndbCI::_narrow(object);
            // A reference that narrows to nothing is no server either.
            if (CORBA::is_nil(server)) throw CORBA::INV_OBJREF();
            result = 0;
        } catch (...) {
            server = VarndbCI::_nil();
            dropOrb();
        }
    }
    return result;
}

int VarndbCIclient::connect(const char* user, const char* password, const char* database, char* errText) {
    connected = false;
    // Zeroed first, so that a failed look-up leaves empty texts.
    char mac[256] = {}, host[HALDEN_NAME_SIZE] = {}, ipText[256] = {};
    getMACId(mac);
    getHostData(host, ipText);
    this->user = user;
    this->database = database;
    hostData = host;
    macId = mac;

    util::Time watch;
    watch.start();
    clientId = corvane::makeClientId(macId, watch.startStamp().seconds, static_cast<int>(getpid()));
    ip = ipText;

    int r = db_connect(password, errText);
    if (r == 0) {
        if (orb_init() != 0) {
            varndb::put_text(errText, "LOCALC_CONNECT returns (-5) (Can't connect to server!)");
            r = VARNDB_E_RESULT_SIZE;
        } else {
            bool completed = false;
            try {
                CORBA::String_var message;
                std::string part = corvane::passwordPart(password);
                r = server->registration(clientId.c_str(), this->user.c_str(), part.c_str(), this->database.c_str(),
                                         hostData.c_str(), ip.c_str(), message.out());
                completed = true;
            } catch (...) {
                varndb::put_text(errText, "LOCALC_CONNECT returns (-6) (Can't connect to server!)");
                r = VARNDB_E_REMOTE_REGISTER;
            }
            if (completed && r != 0)
                varndb::put_text(errText, "LOCALC_CONNECT returns (-7) (Can't register to DB! [%d])", r);
        }
    }
    if (r != 0) connected = false;
    // The database is needed only to connect; the server serves the rest.
    sql::lusken_disconnect();
    return r;
}

void VarndbCIclient::disconnect() {
    try {
        sql::lusken_disconnect();
        connected = false;
        if (!CORBA::is_nil(server)) server->unregister(clientId.c_str());
    } catch (...) {
    }
}
