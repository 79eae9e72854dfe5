// The exported operations: argument tests, the one client of the process,
// and the reconnect loop around every remote operation.
#include "corvane.h"

#include "VarndbCIclient.h"
#include "errtext.h"
#include "pclock.h"

#include <cstdio>
#include <initializer_list>
#include <string>

namespace {

VarndbCIclient* g_client = nullptr;

// The texts of the last varndb_Connect, for retry().
struct ConnectTexts {
    std::string user, password, database;
};
ConnectTexts g_texts;

bool anyNull(std::initializer_list<const void*> args) {
    for (const void* a : args)
        if (!a) return true;
    return false;
}

int notConnected(char* errText) {
    varndb::put_text(errText, "Not connected to database!");
    return VARNDB_E_NOT_CONNECTED;
}

// One remote operation: a result of VARNDB_E_REMOTE or VARNDB_E_REMOTE_RETRY
// reconnects (up to CORVANE_MAX_RETRIES calls of retry()) and then calls
// once more.
template <class Call>
int withReconnect(char* errText, Call call) {
    if (!g_client) return notConnected(errText);
    int r = call(*g_client);
    if (r != VARNDB_E_REMOTE && r != VARNDB_E_REMOTE_RETRY) return r;
    for (int i = 0; i < CORVANE_MAX_RETRIES && !retry(); ++i) {
    }
    if (!g_client) return notConnected(errText);
    return call(*g_client);
}

// An operation with an errText: errText and then the pointer arguments in
// the order of the signature must not be NULL.
template <class Call>
int operation(char* errText, std::initializer_list<const void*> args, Call call) {
    if (!errText) return VARNDB_E_NULL;
    if (anyNull(args)) {
        varndb::put_text(errText, "One parameter is NULL!");
        return VARNDB_E_NULL;
    }
    try {
        return withReconnect(errText, call);
    } catch (...) {
        return VARNDB_E_REMOTE;
    }
}

// The capacity a caller gives in an in/out size: a call that the server
// answers with VARNDB_E_REMOTE_RETRY may have set the size to the answer's
// (often 0), so every call of the reconnect loop offers the caller's own
// capacity again.
class Capacity {
public:
    explicit Capacity(int* size) : size_(size), capacity_(size ? *size : 0) {}
    void offer() const { *size_ = capacity_; }

private:
    int* size_;
    int capacity_;
};

// An operation without an errText: no texts at all.
template <class Call>
int silentOperation(std::initializer_list<const void*> args, Call call) {
    if (anyNull(args)) return VARNDB_E_NULL;
    try {
        return withReconnect(nullptr, call);
    } catch (...) {
        return VARNDB_E_REMOTE;
    }
}

} // namespace

extern "C" int varndb_Connect(const char* user, const char* password, const char* database, char* errText) {
    if (anyNull({user, password, database})) {
        varndb::put_text(errText, "One parameter is NULL!");
        return VARNDB_E_NULL;
    }
    if (!errText) return VARNDB_E_NULL;
    try {
        g_texts = {user, password, database};
        if (!g_client) g_client = new VarndbCIclient();
        int r = g_client->connect(user, password, database, errText);
        if (r != 0) varndb_Disconnect();
        return r;
    } catch (...) {
        varndb::put_text(errText, "Unhandled exception while connecting!");
        varndb_Disconnect();  // a failed connect leaves no client
        return VARNDB_E_PARAM_LONG;
    }
}

extern "C" int varndb_Disconnect(void) {
    VarndbCIclient* c = g_client;
    g_client = nullptr;
    try {
        if (c) {
            c->disconnect();
            delete c;  // disconnects once more and drops the ORB
        }
    } catch (...) {
    }
    return 0;
}

extern "C" void varndb_AutoDisconnect(char) {}

VarndbCIclient* varndb_getInstance() { return g_client; }

bool retry() {
    try {
        varndb_Disconnect();
        pclock::sleep_ms(CORVANE_RETRY_WAIT_MS);
        char discarded[VARNDB_ERRTEXT_SIZE] = {};
        ConnectTexts t = g_texts;
        varndb_Connect(t.user.c_str(), t.password.c_str(), t.database.c_str(), discarded);
        return g_client && g_client->isConnected();
    } catch (...) {
        return false;
    }
}

extern "C" void varndb_GetDllVersion(char* buf, int len) {
    if (!buf || len <= 0) return;
    bool withServer = false;
    char version[201] = {};
    try {
        std::string v;
        withServer = g_client && g_client->getVersion(v) == 0;
        std::snprintf(version, sizeof version, "%s", v.c_str());
    } catch (...) {
        withServer = false;
    }
    char text[VARNDB_ERRTEXT_SIZE];
    if (withServer)
        std::snprintf(text, sizeof text, "%#x [%.200s]", VARNDB_HEADER_VERSION, version);
    else
        std::snprintf(text, sizeof text, "%#x", VARNDB_HEADER_VERSION);
    std::snprintf(buf, static_cast<std::size_t>(len), "%s", text);
}

extern "C" int varndb_GetData(const char* coder, const unsigned char* in, int inSize, unsigned char* out,
                              int* outSize, char* errText) {
    const Capacity capacity(outSize);
    return operation(errText, {coder, in, out, outSize}, [&](VarndbCIclient& c) {
        capacity.offer();
        return c.getData(coder, in, inSize, out, outSize, errText);
    });
}

extern "C" int varndb_GetApxData(const char* coder, const unsigned char* in, int inSize, unsigned char* out,
                                 int* outSize, char* errText) {
    const Capacity capacity(outSize);
    return operation(errText, {coder, in, out, outSize}, [&](VarndbCIclient& c) {
        capacity.offer();
        return c.getApxData(coder, in, inSize, out, outSize, errText);
    });
}

extern "C" int varndb_WriteReport(const Varn_DorlepData* rec, char* errText) {
    return operation(errText, {rec}, [&](VarndbCIclient& c) { return c.writeReport(rec, errText); });
}

extern "C" int varndb_getServiceCode(const char* imei, int* code, char* errText) {
    return operation(errText, {imei, code}, [&](VarndbCIclient& c) { return c.getServiceCode(imei, code, errText); });
}

extern "C" int varndb_getServiceCodeEx(const char* value, unsigned char out[33], char* errText) {
    return operation(errText, {value, out},
                     [&](VarndbCIclient& c) { return c.getServiceCodeEx(value, out, errText); });
}

extern "C" int varndb_getSADBlock(const char* value, const unsigned char* flashSerialNumber, char flag,
                                  unsigned char out[50], char* errText) {
    return operation(errText, {value, flashSerialNumber, out}, [&](VarndbCIclient& c) {
        return c.getSADBlock(value, flashSerialNumber, flag, out, errText);
    });
}

extern "C" int varndb_getImeiInfo(const char* imei, unsigned char* buf, int* len, char* errText) {
    const Capacity capacity(len);
    return operation(errText, {imei, buf, len}, [&](VarndbCIclient& c) {
        capacity.offer();
        return c.getImeiInfo(imei, buf, len, errText);
    });
}

extern "C" int varndb_getFlashSerialNumber(unsigned char* buf, int* len, char* errText) {
    const Capacity capacity(len);
    return operation(errText, {buf, len}, [&](VarndbCIclient& c) {
        capacity.offer();
        return c.getFlashSerialNumber(buf, len, errText);
    });
}

extern "C" int varndb_putFile(const char* imei, const char* fileType, const char* directory, const char* fileName,
                              char* errText) {
    return operation(errText, {imei, fileType, directory, fileName}, [&](VarndbCIclient& c) {
        return c.putFile(imei, fileType, directory, fileName, errText);
    });
}

extern "C" int varndb_getFile(const char* imei, const char* fileType, const char* directory, char* errText) {
    return operation(errText, {imei, fileType, directory},
                     [&](VarndbCIclient& c) { return c.getFile(imei, fileType, directory, errText); });
}

extern "C" int varndb_deleteFile(const char* imei, const char* fileType, char* errText) {
    return operation(errText, {imei, fileType},
                     [&](VarndbCIclient& c) { return c.deleteFile(imei, fileType, errText); });
}

extern "C" int varndb_fbg_setimei(const char* laserId, const char* fbgId, const char* imei) {
    return silentOperation({laserId, fbgId, imei},
                           [&](VarndbCIclient& c) { return c.fbgSetIMEI(laserId, fbgId, imei); });
}

extern "C" int varndb_fbg_setstatusNresult(const char* laserId, const char* fbgId, const char* result) {
    return silentOperation({laserId, fbgId, result},
                           [&](VarndbCIclient& c) { return c.fbgSetStatusNResult(laserId, fbgId, result); });
}
