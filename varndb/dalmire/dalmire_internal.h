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
//   ora_dorlep_texts.cpp  argument and message helpers of the data operations
//   ora_dorlep_getdata.cpp    varndb_GetData, varndb_GetApxData
//   ora_dorlep_version.cpp    varndb_GetDllVersion
//   ora_dorlep_report.cpp     varndb_WriteReport
//   ora_dorlep_service.cpp    varndb_getServiceCode, varndb_getCharServiceCode
//   ora_dorlep_phone.cpp      varndb_getImeiInfo (boot PIN), varndb_getFlashSerialNumber
//   ora_dorlep_adddata.cpp    varndb_init_t_varn_orgTovikAddData, varndb_putOrgTovikAddData
//   ora_dorlep_logistics.cpp  varndb_fbg_setimei, varndb_fbg_setstatusNresult
//   ora_dorlep_files.cpp      varndb_putFile, varndb_getFile, varndb_deleteFile
#pragma once

#include "sql_session.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace dalmire {

// The file store's blocks that fetch a file: open it, read the next chunk,
// close it (also the end of an upload).
inline constexpr const char* kOpenBlock =
    "begin :n_returnValue := mero . ImeiFiles . openFile ( :v_imei , :v_fileType , :v_fileName , :v_errorMessage ) "
    "; END ;";
inline constexpr const char* kReadBlock =
    "begin :n_returnValue := mero . ImeiFiles . read ( :r_fileData , :n_length , :v_errorMessage ) ; END ;";
inline constexpr const char* kCloseBlock =
    "begin :n_returnValue := mero . ImeiFiles . closeFile ( :v_errorMessage ) ; END ;";

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

// ---- helpers of the data operations (ora_dorlep_texts.cpp) ----

// Length of a text that may be NULL (NULL is the empty text), counted to
// at most limit + 1 so that an unterminated text is never read far.
std::size_t textLength(const char* s, std::size_t limit);

// An IN VARCHAR host variable over a caller's text (NULL: empty); `len`
// receives its length. At most `capacity` bytes are read: a longer text is
// cut, so callers refuse those first (checkTexts).
sql::Bind inText(const char* s, std::uint16_t& len, std::size_t capacity);

// A text argument and the capacity of its host variable.
struct TextArg {
    const char* what;  // for the message, e.g. "File name"
    const char* value;
    std::size_t capacity;
};
// VARNDB_E_LOCAL and "<what> is too long [><capacity>]!" for the first text
// longer than its capacity, else 0.
int checkTexts(char* errText, std::initializer_list<TextArg> texts);

// VARNDB_E_NULL and "One parameter is NULL!" when one of the pointers is
// NULL, else 0: a record, a code, a length or a buffer that is missing is
// refused before anything else, as by the remote-object back-end.
int refuseNull(char* errText, std::initializer_list<const void*> pointers);

// Returned bytes read as text: at most `limit` of the `len` bytes, up to the
// first NUL.
std::string dataText(const unsigned char* data, std::size_t len, std::size_t limit);

// "Oracle error: %d (%.200s)!"
void putOracleError(char* errText, const sql::Sqlca& ca);

// "VaRndb.dll: internal error!"
void putInternalError(char* errText) noexcept;
// Runs an export's body; an exception never leaves it (the result is then
// VARNDB_E_LOCAL with a text).
template <class F>
int guarded(char* errText, F&& body) noexcept {
    try {
        return body();
    } catch (...) {
        putInternalError(errText);
        return -22;  // VARNDB_E_LOCAL
    }
}
// Joins a directory and a file name with '/': none when the directory is
// empty or already ends with '/' or '\\'.
std::string joinPath(const char* directory, const char* name);
// A name the database gives for a local file: not empty, no path
// separator, no "..".
bool isPlainFileName(std::string_view name);

} // namespace dalmire

// The text of a result code from the database's message table.
std::string getErrorText(int code);
