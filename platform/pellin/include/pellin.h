/* Pellin: the line's database-client wrapper. The personalisation driver
 * reaches the production database only through these calls.
 *
 * This stand-in is written on the station's own database interface
 * (varndb.h) and is linked against one of its back-ends: the direct-SQL
 * back-end by default, the remote-object back-end when built with
 * PELLIN_BACKEND=corvane. There is one connection per process.
 *
 * Every call returns 0 on success and a non-zero value on failure. errText is
 * the caller's buffer of at least PELLIN_ERRTEXT_SIZE bytes: on failure it
 * holds a text of at most 255 characters and a NUL (the wrapper's own or the
 * back-end's). Nothing is written into it on success, except what the back-end
 * writes there.
 *
 * Choices of this wrapper (the arguments the line gives no meaning here):
 *   - The connect text is "user/password@database", optionally followed by
 *     ';' and option words that the wrapper ignores (the driver reads
 *     "debugblocks" from them). The three further arguments of connect, the
 *     argument of disconnect and of the revision query, and both arguments of
 *     pellin_fctPrepWSimT48 are accepted and not used; pellin_fctPrepWSimT48
 *     does nothing and returns 0.
 *   - pellin_GetServiceCode fails when the database has no code for the IMEI
 *     (no row, or the back-end's "-1" answer). It writes at most
 *     PELLIN_SERVICE_CODE_SIZE bytes: the database's text, where a code of
 *     decimal digits only is given as at least six digits with leading zeros.
 *   - pellin_GetFlashSerialNumber succeeds only with exactly 16 bytes; *len
 *     must be at least 16 on entry and is 16 on success.
 *   - pellin_GetSimDataFromCoder runs the coder "SIMDATA" with the 168-byte
 *     request and succeeds only with an answer of exactly 600 bytes, which
 *     it writes whole into the caller's answer.
 *   - pellin_DoMeroReport takes the report record: a 32-bit version that must
 *     be 1, followed by the 240-byte test report (Varn_DorlepData of
 *     varndb.h), which is written with varndb_WriteReport.
 *   - pellin_GetFile(imei, file type, directory) fetches a stored file into
 *     the directory; pellin_DeleteFile(imei, file type) deletes it from the
 *     database; pellin_PutFile(imei, file type, directory, file name) stores
 *     the file directory/file name.
 *   - pellin_DeleteBinFileFromDisk removes a local file (no database call).
 * Nothing throws out of these calls. Not thread-safe: one calling thread.
 */
#ifndef PELLIN_H
#define PELLIN_H

#define PELLIN_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

#define PELLIN_ERRTEXT_SIZE 256
#define PELLIN_REVISION_SIZE 512
#define PELLIN_SERVICE_CODE_SIZE 128
#define PELLIN_FSN_LENGTH 16
#define PELLIN_SIMDATA_REQUEST_SIZE 168
#define PELLIN_SIMDATA_ANSWER_SIZE 600
#define PELLIN_REPORT_SIZE 244
#define PELLIN_SIMDATA_CODER "SIMDATA"

/* --- connection ----------------------------------------------------------- */
PELLIN_API int pellin_Connect(const char* connectText, int a, int b, int c, char* errText);
PELLIN_API int pellin_Disconnect(int a);
/* The wrapper's and the back-end's version, "pellin 1.0 (<back-end>)", into
 * PELLIN_REVISION_SIZE bytes. */
PELLIN_API int pellin_RevisionQuery(char* version, int a);

/* --- phone data ------------------------------------------------------------ */
PELLIN_API int pellin_GetServiceCode(const char* imei, char* code, char* errText);
PELLIN_API int pellin_GetFlashSerialNumber(unsigned char* fsn, int* len, char* errText);
PELLIN_API int pellin_GetSimDataFromCoder(const void* request, void* answer, char* errText);
PELLIN_API int pellin_fctPrepWSimT48(int a, int b);

/* --- report and files ------------------------------------------------------ */
PELLIN_API int pellin_DoMeroReport(const void* report, char* errText);
PELLIN_API int pellin_PutFile(const char* imei, const char* fileType, const char* directory, const char* fileName,
                              char* errText);
PELLIN_API int pellin_GetFile(const char* imei, const char* fileType, const char* directory, char* errText);
PELLIN_API int pellin_DeleteFile(const char* imei, const char* fileType, char* errText);
PELLIN_API int pellin_DeleteBinFileFromDisk(const char* path, char* errText);

#ifdef __cplusplus
}
#endif

#endif
