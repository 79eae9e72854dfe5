/* The production-database interface of a test station.
 *
 * One set of operations with two interchangeable back-ends: the direct-SQL
 * back-end (libdalmire.so) and the remote-object back-end (libcorvane.so).
 * A program links exactly one of them. There is one connection per process;
 * calls come one at a time from one caller.
 *
 * Conventions:
 *   - Results are 0 for success or one of the negative VARNDB_E_* codes
 *     below; other values are results of the database's routines or of the
 *     server and pass through unchanged.
 *   - errText is the caller's buffer for a message of at most 255
 *     characters and a terminator (256 bytes). The direct-SQL back-end
 *     accepts NULL (no text is written); the remote-object back-end refuses
 *     it with VARNDB_E_NULL.
 *   - A NULL record, code, length or buffer is refused by both back-ends
 *     with VARNDB_E_NULL and "One parameter is NULL!" before anything else.
 *     So is a NULL IMEI of the service-code operations. (Otherwise the
 *     direct-SQL back-end takes a NULL text argument as the empty text and
 *     refuses NULL GetData/GetApxData buffers with its own -2.)
 *   - Texts are NUL-terminated byte strings.
 */
#ifndef VARNDB_H
#define VARNDB_H

#include <stddef.h>
#include <stdint.h>

#define VARNDB_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* Interface version written by varndb_GetDllVersion. */
#define VARNDB_HEADER_VERSION 4
/* Capacity the back-ends assume for every errText buffer. */
#define VARNDB_ERRTEXT_SIZE 256

/* ---- error codes ---- */
enum {
    VARNDB_OK = 0,
    VARNDB_E_SESSION = -1,         /* the connection library refused the session */
    VARNDB_E_REGISTER_SQL = -2,    /* registration statement failed; GetData: bad parameter */
    VARNDB_E_REGISTER = -3,        /* registration refused; GetData: coder too long */
    VARNDB_E_PARAM_LONG = -4,      /* connect text too long; remote: object reference */
    VARNDB_E_RESULT_SIZE = -5,     /* answer larger than the caller's buffer; remote: no server */
    VARNDB_E_REMOTE_REGISTER = -6, /* remote registration call raised */
    VARNDB_E_NULL = -8,            /* a pointer argument is NULL */
    VARNDB_E_NOT_CONNECTED = -21,  /* no connection */
    VARNDB_E_LOCAL = -22,          /* local buffer or file error; Oracle error in some operations */
    VARNDB_E_ORACLE = -23,         /* Oracle error */
    VARNDB_E_FILE_TOO_LARGE = -24, /* remote: a file larger than one remote message carries */
    VARNDB_E_SERVICE_CODE = -32,   /* service code: IMEI too long, or not connected */
    VARNDB_E_REMOTE_RETRY = -100,  /* remote operation asks for a reconnect */
    VARNDB_E_REMOTE = -99999       /* a remote call raised */
};

/* ---- results of the database that the interface names ---- */
/* varndb_putFile, varndb_deleteFile: another station is storing the same
 * (IMEI, file type) and kept it longer than the database waits for it (10
 * seconds in the reference schema of db/); the text is "File of type T for
 * IMEI I is being stored by another station". Both back-ends pass it on
 * unchanged, as every result of the database or the server. */
#define VARNDB_FILE_BUSY 10

/* ---- records ---- */

/* Test report: 240 bytes, 4-byte aligned, texts NUL-terminated. */
typedef struct Varn_DorlepData {
    char imei_nr[17];       /* IMEI, at most 16 characters */
    int32_t pruefstatus;    /* test status */
    char linie_staort[4];   /* line location */
    char linie_typ[2];      /* line type */
    int32_t linie_nr;       /* line number */
    char pruef_datum[20];   /* test date "YYYY-MM-DD HH24:MI:SS" */
    char sach_nr[26];       /* part number */
    char sw_rel[41];        /* software release */
    char comp_datum[20];    /* phone software date, as pruef_datum */
    char simcard_nr[21];    /* SIM card number */
    char flash_nr[21];      /* flash serial number text */
    int32_t iZpos;          /* position number */
    char pcMacId[21];       /* MAC id of the station */
    int32_t iStdMapVer;
    int32_t iProvider;
    int32_t iDeltaMapVer;
    int32_t iSimlock;
    int32_t iBitmap;
    int32_t iSound;
} Varn_DorlepData;

/* Additional phone data for the direct-SQL back-end: 385 bytes of texts. */
typedef struct t_varn_orgTovikAddData {
    char imei[17];
    char NOunlockCode[9];
    char SPunlockCode[9];
    char SIMunlockCode[9];
    char CPunlockCode[9];
    char NSunlockCode[9];
    char MPunlockCode[9];
    char BluetoothId[17];
    char FlashId[21];
    char SimcardId[21];
    char Var1[51];
    char Var2[51];
    char Var3[51];
    char Var4[51];
    char Var5[51];
} t_varn_orgTovikAddData;

/* ---- connection ---- */
VARNDB_API int varndb_Connect(const char* user, const char* password, const char* database, char* errText);
/* Direct SQL: the connection library's result; remote objects: 0. */
VARNDB_API int varndb_Disconnect(void);
/* Direct SQL: with `on` set, operations connect when needed and disconnect
 * after their statements; remote objects: no effect. */
VARNDB_API void varndb_AutoDisconnect(char on);
/* Direct SQL only: reconnects after a connection-type Oracle error; 1 when
 * connected again, 0 when not (or when the error is of another kind). */
VARNDB_API int varndb_retryConnect(int oracleError);

/* ---- data operations ---- */
VARNDB_API int varndb_GetData(const char* coder, const unsigned char* in, int inSize, unsigned char* out,
                              int* outSize, char* errText);
VARNDB_API int varndb_GetApxData(const char* coder, const unsigned char* in, int inSize, unsigned char* out,
                                 int* outSize, char* errText);
VARNDB_API void varndb_GetDllVersion(char* buf, int len);
VARNDB_API int varndb_WriteReport(const Varn_DorlepData* rec, char* errText);
VARNDB_API int varndb_getServiceCode(const char* imei, int* code, char* errText);
VARNDB_API int varndb_getCharServiceCode(const char* imei, char* code, char* errText); /* direct SQL only */
VARNDB_API int varndb_getServiceCodeEx(const char* value, unsigned char out[33], char* errText); /* remote only */
VARNDB_API int varndb_getSADBlock(const char* value, const unsigned char* flashSerialNumber, char flag,
                                  unsigned char out[50], char* errText); /* remote only */
VARNDB_API int varndb_getImeiInfo(const char* imei, unsigned char* buf, int* len, char* errText);
VARNDB_API int varndb_getFlashSerialNumber(unsigned char* buf, int* len, char* errText);
VARNDB_API void varndb_init_t_varn_orgTovikAddData(t_varn_orgTovikAddData* rec);          /* direct SQL only */
VARNDB_API int varndb_putOrgTovikAddData(const t_varn_orgTovikAddData* rec, char* errText); /* direct SQL only */
VARNDB_API int varndb_fbg_setimei(const char* laserId, const char* fbgId, const char* imei);
VARNDB_API int varndb_fbg_setstatusNresult(const char* laserId, const char* fbgId, const char* result);
VARNDB_API int varndb_putFile(const char* imei, const char* fileType, const char* directory, const char* fileName,
                              char* errText);
/* getFile writes the fetched file beside its target under a temporary name and
   renames it over the target only once the whole file arrived: a fetch that
   fails answers its error code and leaves an earlier local copy under the
   target name as it was, with nothing left beside it. */
VARNDB_API int varndb_getFile(const char* imei, const char* fileType, const char* directory, char* errText);
VARNDB_API int varndb_deleteFile(const char* imei, const char* fileType, char* errText);

#ifdef __cplusplus
} /* extern "C" */
#define VARNDB_LAYOUT(c) static_assert(c, #c)
#else
#define VARNDB_LAYOUT(c) _Static_assert(c, #c)
#endif

/* The record layouts are part of the interface. */
VARNDB_LAYOUT(sizeof(Varn_DorlepData) == 240);
VARNDB_LAYOUT(sizeof(Varn_DorlepData) % 4 == 0);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, imei_nr) == 0);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, pruefstatus) == 20);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, linie_staort) == 24);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, linie_typ) == 28);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, linie_nr) == 32);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, pruef_datum) == 36);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, sach_nr) == 56);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, sw_rel) == 82);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, comp_datum) == 123);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, simcard_nr) == 143);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, flash_nr) == 164);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, iZpos) == 188);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, pcMacId) == 192);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, iStdMapVer) == 216);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, iProvider) == 220);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, iDeltaMapVer) == 224);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, iSimlock) == 228);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, iBitmap) == 232);
VARNDB_LAYOUT(offsetof(Varn_DorlepData, iSound) == 236);

VARNDB_LAYOUT(sizeof(t_varn_orgTovikAddData) == 385);
VARNDB_LAYOUT(offsetof(t_varn_orgTovikAddData, NOunlockCode) == 17);
VARNDB_LAYOUT(offsetof(t_varn_orgTovikAddData, SPunlockCode) == 26);
VARNDB_LAYOUT(offsetof(t_varn_orgTovikAddData, SIMunlockCode) == 35);
VARNDB_LAYOUT(offsetof(t_varn_orgTovikAddData, CPunlockCode) == 44);
VARNDB_LAYOUT(offsetof(t_varn_orgTovikAddData, NSunlockCode) == 53);
VARNDB_LAYOUT(offsetof(t_varn_orgTovikAddData, MPunlockCode) == 62);
VARNDB_LAYOUT(offsetof(t_varn_orgTovikAddData, BluetoothId) == 71);
VARNDB_LAYOUT(offsetof(t_varn_orgTovikAddData, FlashId) == 88);
VARNDB_LAYOUT(offsetof(t_varn_orgTovikAddData, SimcardId) == 109);
VARNDB_LAYOUT(offsetof(t_varn_orgTovikAddData, Var1) == 130);
VARNDB_LAYOUT(offsetof(t_varn_orgTovikAddData, Var2) == 181);
VARNDB_LAYOUT(offsetof(t_varn_orgTovikAddData, Var3) == 232);
VARNDB_LAYOUT(offsetof(t_varn_orgTovikAddData, Var4) == 283);
VARNDB_LAYOUT(offsetof(t_varn_orgTovikAddData, Var5) == 334);

#endif /* VARNDB_H */
