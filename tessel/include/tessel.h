/* Phone-access library: the instrument-driver interface to the phone.
 *
 * A test program opens a numbered session (1..12) from a resource name with
 * _Tessel_init, passes the session number first to nearly every operation
 * and its own source-file name and line last (they appear only in trace
 * lines), turns any status into a text with _Tessel_errorMessage and frees
 * the session with _Tessel_close. Every operation returns a status: 0 on
 * success, else one of the TESSEL_ERROR_* codes below. Every call is traced
 * through the line's trace library at the library-wide trace level set by
 * the latest init (0 = no tracing).
 *
 * The library keeps one set of module state for the whole process and is
 * meant for one calling thread. A null pointer where the caller must supply a
 * buffer gives TESSEL_ERROR_PARAMETER2 and changes nothing.
 */
#ifndef TESSEL_H
#define TESSEL_H

#include "tracer.h"

#define TESSEL_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* --- status codes ---------------------------------------------------------- */
#define TESSEL_SUCCESS 0
#define TESSEL_ERROR_INSTR_ID ((int)0xBFFC19F0)
#define TESSEL_ERROR_NO_INSTRUMENT ((int)0xBFFC19F1)
#define TESSEL_ERROR_INIT ((int)0xBFFC19F2) /* text: the reason of the latest failed init */
#define TESSEL_ERROR_PARAMETER2 ((int)0xBFFC19F3)
#define TESSEL_ERROR_SESSION_INVALID ((int)0xBFFC19F4)
#define TESSEL_ERROR_SESSION_NOT_IN_LIST ((int)0xBFFC19F5)
#define TESSEL_ERROR_RESOURCE_FORMAT ((int)0xBFFC19F6)
#define TESSEL_ERROR_LIBRARY ((int)0xBFFC19F7) /* a vendor or extension call failed, or not connected */
#define TESSEL_ERROR_INI_OPEN ((int)0xBFFC19F9)
#define TESSEL_ERROR_INI_TAG ((int)0xBFFC19FA)
#define TESSEL_ERROR_MOBILE_TYPE ((int)0xBFFC19FB)
#define TESSEL_ERROR_NO_VALUE ((int)0xBFFC19FD)

/* --- sizes of caller buffers ------------------------------------------------ */
/* _Tessel_errorMessage's text. */
#define TESSEL_ERROR_TEXT_MAX 512
/* Each of _Tessel_revisionQuery's two texts. */
#define TESSEL_REVISION_TEXT_MAX 256
/* The _Tessel_KlfGet_c* texts: each copies at most its table's longest text
 * with its NUL, so a buffer of this many bytes always suffices. */
#define TESSEL_PHONE_MODEL_TEXT_MAX 12 /* _Tessel_KlfGet_cEHwProject, _Tessel_KlfGet_cMobileType */
#define TESSEL_FLASH_TEXT_MAX 40       /* _Tessel_KlfGet_cFlashID */
#define TESSEL_KEY_TEXT_MAX 19         /* _Tessel_KlfGet_cKeyID */
#define TESSEL_CAMERA_TEXT_MAX 26      /* _Tessel_KlfGet_cCamID */
#define TESSEL_KLF_TEXT_MAX 40         /* enough for any of the five */

/* --- sessions, init, close, revision and status texts ---------------------- */
/* Opens a session from a resource name such as
 * "ASRL3::INSTR::LIB:qc:TRACELEVEL:9:MZ4BB:5": "ASRL" with the primary COM
 * port and ":qc" are required; "TRACELEVEL:" (0..9; above 9 means 0) and
 * "MZ4BB:" (control-line box COM port 1..16) are optional. The trace session
 * receives the library's trace lines from now on; the trace level, the trace
 * session, the DTR state (0) and the initial time-out (8000 ms) are
 * library-wide and set by every init. Checks the versions of the vendor and
 * the extension library. The new session number goes to *piSession. */
TESSEL_API int _Tessel_init(const char* cResourceName, TracerSession sesTracer, int* piSession,
                            const char* cFile, int iLine);
/* Frees the session's slot. It does not disconnect: disconnect first. */
TESSEL_API int _Tessel_close(int iSession, const char* cFile, int iLine);
/* The text of a status into cErrMsg (TESSEL_ERROR_TEXT_MAX bytes). A status
 * the library has no text for leaves it empty; that gives 0 for a valid
 * session number and TESSEL_ERROR_SESSION_INVALID otherwise. */
TESSEL_API int _Tessel_errorMessage(int iSession, int iStatus, char* cErrMsg);
/* The library's own revision and those of the vendor and extension
 * libraries ("vendor text,extension text"); each buffer needs
 * TESSEL_REVISION_TEXT_MAX bytes. The session is not checked. */
TESSEL_API int _Tessel_revisionQuery(int iSession, char* cDriverRev, char* cInstrRev, const char* cFile,
                                     int iLine);

/* The DTR state and the initial time-out (ms) the power-up procedures use.
 * A getter gives TESSEL_ERROR_NO_VALUE until the value was put (init puts
 * both). */
TESSEL_API int _Tessel_PutDtrState(unsigned short bDtrState, const char* cFile, int iLine);
TESSEL_API int _Tessel_GetDtrState(unsigned short* pbDtrState, const char* cFile, int iLine);
TESSEL_API int _Tessel_PutUserDefinedTimeoutInitial(unsigned short iUserDefinedTimeoutInitial, const char* cFile,
                                                    int iLine);
TESSEL_API int _Tessel_GetUserDefinedTimeoutInitial(unsigned short* piUserDefinedTimeoutInitial,
                                                    const char* cFile, int iLine);

/* --- tracing and code texts ------------------------------------------------- */
/* Traces the wait, then waits iMs milliseconds; always 0. */
TESSEL_API int _Tessel_TraceDelay(int iMs, const char* cFile, int iLine);
/* Name of the phone type a hardware id and model byte stand for. */
TESSEL_API int _Tessel_KlfGet_cEHwProject(unsigned char iHwID, unsigned char iMobModel, char* cText,
                                          const char* cFile, int iLine);
/* Maker (high byte) and NAND device (low byte) of a flash id. */
TESSEL_API int _Tessel_KlfGet_cFlashID(unsigned short iID, char* cText, const char* cFile, int iLine);
/* Name of a phone-type index. */
TESSEL_API int _Tessel_KlfGet_cMobileType(int iID, char* cText, const char* cFile, int iLine);
/* Name of a handset key code ("HS_..._K"). */
TESSEL_API int _Tessel_KlfGet_cKeyID(int iID, char* cText, const char* cFile, int iLine);
/* Name of a camera model code. */
TESSEL_API int _Tessel_KlfGet_cCamID(int iID, char* cText, const char* cFile, int iLine);

#ifdef __cplusplus
}
#endif

#endif
