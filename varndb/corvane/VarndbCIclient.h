// The client of the remote database server: one object per process, made
// by varndb_Connect and dropped by varndb_Disconnect (see exports.cpp).
//
// connect() registers the station in the database, reads the server's
// object references there, initialises the ORB on the first reference that
// gives a server and registers with the server. Every other operation is
// one remote call; each returns the server's result (the low 32 bits of a
// 64-bit one), VARNDB_E_REMOTE when the call raised, or a local error, and
// hands the server's message to errText.
#pragma once

#include "VarndbCI.hh"
#include "varndb.h"

#include <list>
#include <string>

class VarndbCIclient {
public:
    VarndbCIclient() = default;
    virtual ~VarndbCIclient();
    VarndbCIclient(const VarndbCIclient&) = delete;
    VarndbCIclient& operator=(const VarndbCIclient&) = delete;

    int connect(const char* user, const char* password, const char* database, char* errText);
    void disconnect();
    // 0 when a server is at hand, -5 when no reference gave one.
    int orb_init();
    // Registration and server references in the database; the session stays
    // open on success (connect closes it).
    int db_connect(const char* password, char* errText);

    int getData(const char* coder, const unsigned char* in, int inSize, unsigned char* out, int* outSize,
                char* errText);
    int getApxData(const char* coder, const unsigned char* in, int inSize, unsigned char* out, int* outSize,
                   char* errText);
    int writeReport(const Varn_DorlepData* rec, char* errText);
    int getServiceCode(const char* imei, int* code, char* errText);
    int getServiceCodeEx(const char* value, unsigned char out[33], char* errText);
    int getSADBlock(const char* value, const unsigned char* flashSerialNumber, char flag, unsigned char out[50],
                    char* errText);
    int getImeiInfo(const char* imei, unsigned char* buf, int* len, char* errText);
    int getFlashSerialNumber(unsigned char* buf, int* len, char* errText);
    int putFile(const char* imei, const char* fileType, const char* directory, const char* fileName,
                char* errText);
    int getFile(const char* imei, const char* fileType, const char* directory, char* errText);
    int deleteFile(const char* imei, const char* fileType, char* errText);
    int fbgSetIMEI(const char* laserId, const char* fbgId, const char* imei);
    int fbgSetStatusNResult(const char* laserId, const char* fbgId, const char* result);
    // 0 and the server's version text, or VARNDB_E_REMOTE.
    int getVersion(std::string& version);
    // Asks the server to stop; one-way, so it does not wait for the server.
    int shutdown();

    bool isConnected() const { return connected; }
    const std::string& ClientId() const { return clientId; }
    const std::list<std::string>& referenceList() const { return references; }

private:
    void dropOrb();

    bool connected = false;
    std::string user;
    std::string database;
    std::string hostData;
    std::string macId;
    std::string clientId;
    std::string ip;
    std::list<std::string> references;  // oldest first
    CORBA::ORB_var orb;
    VarndbCI_var server;
};

namespace corvane {

// MAC id + "<" + start seconds + ">" + process id + "-$Revision: 1.17 $".
std::string makeClientId(const std::string& macId, long long startSeconds, int pid);
// The password's second to fourth characters (fewer for a shorter one).
std::string passwordPart(const char* password);
// directory + a separator + name; no separator when the directory is empty
// or already ends with '/' or '\'.
std::string joinPath(const std::string& directory, const std::string& name);

// Low 32 bits of a server's 64-bit result.
inline int low32(long long v) { return static_cast<int>(static_cast<unsigned int>(v)); }

} // namespace corvane

// The text of a result code from the database's message table.
std::string getErrorText(int code);
