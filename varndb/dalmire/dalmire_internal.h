// Dalmire's module state and the internal calls shared by its sources.
//
// Sources:
//   ora_dorlep.cpp        connection state, varndb_Connect, varndb_Disconnect,
//                         varndb_AutoDisconnect, db_connect, the connection
//                         check and auto-disconnect of the data operations
//   ora_dorlep_retry.cpp  the statement rerun rule and varndb_retryConnect
//   sibling_module.cpp    hand-over of the MAC id to an already loaded
//                         sibling database module
//   errorText.cpp         getErrorText
// The data operations join as further ora_dorlep_*.cpp files.
#pragma once

#include "sql_session.h"

#include <span>
#include <string>
#include <string_view>

namespace dalmire {

// One connection per process.
struct ConnectionState {
    char user[31] = {};
    char password[51] = {};
    char database[51] = {};
    char host[51] = {};
    char mac[13] = {};
    char ip[16] = {};
    unsigned char connected = 0;       // 1 after a complete db_connect
    unsigned char autoDisconnect = 0;  // set by varndb_AutoDisconnect
};

ConnectionState& state();

// Keeps the station identity that Halden reported into buffers of 256
// bytes: the host name cut to 50 characters, the MAC id to 12, the IP to 15.
void keepIdentity(const char* host, const char* mac, const char* ip);

// Opens the session with the kept texts and registers the station; 0 when
// connected. errText may be NULL.
int db_connect(char* errText);

// Connection check of a data operation: 0 to proceed. Not connected: with
// auto-disconnect set, the result of db_connect(errText); else
// notConnectedCode with "Not connected to database!".
int connectionCheck(char* errText, int notConnectedCode);
// After an operation's statements: disconnects when auto-disconnect is set.
void autoDisconnect();

// Runs a statement; after a run that ends with a rerun code it reconnects,
// waits 500 ms and runs it again, at most 15 runs in all.
constexpr int kMaxRuns = 15;
sql::Sqlca runWithRerun(std::string_view statement, std::span<const sql::Bind> binds);
bool isRerunCode(int sqlcode);
bool isRetryCode(int sqlcode);

// Gives the MAC id to the first already loaded sibling module that has
// setMacId; loads nothing.
void handMacIdToSibling(const char* mac);

} // namespace dalmire

// The text of a result code from the database's message table.
std::string getErrorText(int code);
