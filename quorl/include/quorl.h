// Quorl: the station's remote-control server, in instrument-driver form.
//
// A host opens it with quorl_init (resource string
// "server:portnr:<11111|22222>:ipadr:<text>:mode:filecheck:txdelay:<s>:rxdelay:<s>")
// and switches it on with quorl_setmode, which registers the TCP server
// while the marker file "activate_quorl" exists in the station's temporary
// directory ($TMPDIR when set and not empty, else /tmp). A client on another
// PC then sends text commands ("trace on:", "trace off:", "show msg:<text>",
// "rslt on:", "rslt off:", "get ipadr:") and receives the lines that the
// station's programs hand to quorl_write, each as its characters and a NUL.
// The host must run the run-time's event loop for commands to be served.
//
// Every operation returns a 32-bit status, 0 on success. One server per
// process; its session number is always 1. Meant for one calling thread.
#pragma once

#include <stdint.h>

#define QUORL_API __attribute__((visibility("default")))

// Status codes that the operations return.
#define QUORL_SUCCESS 0
#define QUORL_ERROR_CONFIG ((int32_t)0xBFFC09F0)       // session is not 1
#define QUORL_ERROR_OBJECT_TYPE ((int32_t)0xBFFC09F1)  // not a server or client object
#define QUORL_ERROR_PORT ((int32_t)0xBFFC09F2)         // port not 11111 or 22222
#define QUORL_ERROR_MODE ((int32_t)0xBFFC09F5)         // mode value not "filecheck"
#define QUORL_ERROR_RESOURCE ((int32_t)0xBFFC09F6)     // a key missing or wrong, a field too long
#define QUORL_WARN_UNKNOWN_STATUS ((int32_t)0x3FFF0085) // quorl_errorMessage: no text for the code

// Line kinds of quorl_write.
#define QUORL_KIND_TRACE 0
#define QUORL_KIND_RESULT 2
#define QUORL_KIND_ADDRESS 3

// quorl_getstatus selectors.
#define QUORL_STATUS_REGISTERED 1
#define QUORL_STATUS_FILECHECK 2
#define QUORL_STATUS_MODE 3

#ifdef __cplusplus
extern "C" {
#endif

// Parses the resource string; *session := 1 on success, 0 on failure.
QUORL_API int32_t quorl_init(const char* resource, uint32_t* session);
// Re-examines the marker file and registers or unregisters the TCP server.
QUORL_API int32_t quorl_setmode(uint32_t session);
// Selector 1: registered flag; 2: file-check flag (0 set, -1 not set);
// 3: forwarding mode (-1 off, 0 trace, 2 results, 3 address). Another
// selector leaves *value untouched. Always 0.
QUORL_API int32_t quorl_getstatus(uint32_t session, int32_t which, int32_t* value);
// Sends `text` and its NUL to the client when `kind` matches the mode the
// client chose, then waits the send delay. Kind 3 sends the station's
// address reply "IP:<address>:Name:<host>" instead; `text` is not changed.
// Returns 0 at once while the server is inactive. A client that does not
// take a line within the send time-out (1000 ms), or has gone, is
// disconnected and forgotten; the line is lost and the status is still 0.
QUORL_API int32_t quorl_write(uint32_t session, int32_t kind, const char* text);
// Reads nothing; checks the session like quorl_write.
QUORL_API int32_t quorl_read(uint32_t session, int32_t unused1, int32_t unused2);
// Copies the text of `status` into `text` (the longest text has 45
// characters). 0, or 0x3FFF0085 with "Unknown Error 0x%08X" for a code
// without a text.
QUORL_API int32_t quorl_errorMessage(uint32_t session, int32_t status, char* text);
// Writes "1.0" and "InstrRev not supported". Always 0.
QUORL_API int32_t quorl_revisionQuery(uint32_t session, char* driverRevision, char* instrumentRevision);

#ifdef __cplusplus
}
#endif
