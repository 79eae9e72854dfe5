/* Norbeck: the personalisation driver. It joins the phone, reached through
 * the phone-access library (tessel.h) on a session that the caller opened
 * and connected (named "sesMobile" in the driver's texts), the production
 * database, reached through the line's database-client wrapper (pellin.h),
 * and the station's line data (brannik.h).
 *
 * Conventions of every operation:
 *   - The result is 0 on success and -1 on failure.
 *   - The last argument is the caller's error-text buffer (cErrMsg) of at
 *     least NORBECK_ERRTEXT_SIZE bytes. On failure it holds the message; the
 *     driver never clears it on success. The driver's own texts are cut to
 *     255 characters and a NUL; the wrapper and the line-data store write
 *     theirs there too, within the same 256 bytes. A failed phone call leaves
 *     the phone-access library's status text followed by "(Instr: sesMobile)".
 *   - Every operation traces its entry, and "cErrMsg: <text>" before it
 *     fails, into trace session 1 of the line's trace library, which the
 *     station's host opens; the driver never opens or closes a trace session.
 *   - Operations that write into the phone first look whether the data is
 *     already there and then succeed without writing.
 *   - Nothing throws out of an operation. The module state is meant for one
 *     calling thread.
 *
 * Choices of this driver:
 *   - Paths join a directory and a name with '/', unless the directory
 *     already ends with '/'; directories of any length are accepted.
 *   - norbeck_PutBinFilesFromDirToDb takes the directory's names ending in
 *     ".bin" in sorted order (byte order), at most 100 of them.
 *   - norbeck_ComputeCheckSum never writes the error text; a NULL checksum
 *     pointer gives -1, NULL data counts as no bytes.
 *   - A service code that the driver writes into the phone, or sends to open
 *     it from the caller, the database or the default, must be exactly six
 *     decimal digits; a code from the database is first cut to its first six
 *     characters. Anything else ("-1", fewer digits, letters) fails with a
 *     text before the phone is touched. norbeck_OpenSpcP on an open phone
 *     sends back the code its NV 85 holds, whatever its bytes: sending a
 *     phone its own code changes nothing in it.
 *   - Bytes of a service code that are not printable ASCII are shown as
 *     "\xNN" in trace lines and error texts.
 *   - Every failed attempt to open the phone costs the phone one unlock try:
 *     norbeck_OpenSpcP with a wrong database code costs one, then tries the
 *     default code "716843".
 *   - The report's test date is the station's local date and time.
 *   - The Bluetooth id typed by the operator is asked with a prompt titled
 *     with the working directory (its first 63 characters).
 *   - norbeck_WriteSimData_BtId and norbeck_Only_BtId_ViaMero refuse, before
 *     anything else is asked, a first or second text longer than 44
 *     characters and a third longer than 31 ("cText1: %d char's, at most %d
 *     allowed"). The request and the answer start zeroed. A failed Bluetooth
 *     id write ends the operation.
 *   - The freeze uses the database's flash serial number only when exactly
 *     16 bytes came back.
 *   - A phone counts as frozen only when its device serial number reads and
 *     its root key reads back as one of the two stored keys (type 1 or 2, as
 *     norbeck_GetTypeOfPublicKeyFromMobile tells them apart); both freezes
 *     leave a frozen phone alone and answer 0. A phone whose serial number
 *     reads but whose root key does not (a freeze that stopped after the
 *     serial number was written) gets the rest of the freeze: root key,
 *     secure device info and the restart into FTM mode, with the serial
 *     number it already has; no new number is asked of the database. The
 *     secure device info cannot be read back: a phone whose key was written
 *     but whose device info failed counts as frozen. A phone given a key of
 *     the caller's that is neither stored key is not frozen for a later
 *     freeze, which writes its key and device info again.
 *   - norbeck_WriteFSN_Freeze writes the stored field-test key.
 *     norbeck_WriteFSN_Freeze_PuK checks the key's length (260) and
 *     exclusive-or checksum before it asks the database or touches the
 *     phone: a refused key leaves the phone as it was.
 *   - The two stored public root keys are the ones the build was configured
 *     with (README: "Root keys"); the default build carries test keys.
 *   - norbeck_GetTypeOfPublicKey with a length other than 260 writes
 *     "iLenPublicKey: %d not expected Len [%d]" as its error text.
 *   - A NULL output pointer (piDone, piTypeOfPublicKey) or key is refused
 *     with a text and -1.
 */
#ifndef NORBECK_H
#define NORBECK_H

#define NORBECK_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* Capacity the driver assumes for every cErrMsg buffer. */
#define NORBECK_ERRTEXT_SIZE 256
/* The driver's version, given by norbeck_RevisionQuery. */
#define NORBECK_DLL_VERSION "2.2"
/* Bytes of a public root key. */
#define NORBECK_LEN_ROOTKEY 260

/* --- connection, revision, files and checksum -------------------------- */
/* Connects the wrapper with the five arguments unchanged. The connect text
 * holding "debugblocks" anywhere switches the SIM secure-data dump on; a
 * text without it switches it off (also when the connect fails). */
NORBECK_API int norbeck_Connect(const char* cConnect, int iPrm1, int iPrm2, int iPrm3, char* cErrMsg);
NORBECK_API int norbeck_Disconnect(int iPrm);
/* Gives the driver's version NORBECK_DLL_VERSION (4 bytes suffice); the
 * caller's text is untouched when the wrapper's revision query fails. */
NORBECK_API int norbeck_RevisionQuery(char* cVersion, int iPrm);
NORBECK_API int norbeck_PutFileToDb(const char* cImei, const char* cFileType, const char* cDirectory,
                                    const char* cFileName, char* cErrMsg);
NORBECK_API int norbeck_GetFileFromDb(const char* cImei, const char* cFileType, const char* cDirectory,
                                      char* cErrMsg);
NORBECK_API int norbeck_DeleteFileFromDb(const char* cImei, const char* cFileType, char* cErrMsg);
/* Stores every file of the directory named by an IMEI (15 characters, no
 * letter) and ".bin" with file type "bin", and deletes each from the disk
 * once it is stored; the first failure ends the run (files stored before it
 * stay stored and deleted). 0 also when there is no such file. */
NORBECK_API int norbeck_PutBinFilesFromDirToDb(const char* cDirectory, char* cErrMsg);
/* The exclusive-or of iLen bytes (0 for iLen <= 0). */
NORBECK_API int norbeck_ComputeCheckSum(const unsigned char* pucData, int iLen, unsigned int* puiCheckSum,
                                        char* cErrMsg);

/* --- service programming code ------------------------------------------- */
/* cSPC of norbeck_ReadSpcP receives the database's code whole (at most 127
 * characters and a NUL); norbeck_ReadSpc's needs 7 bytes. The phone
 * operations that read or write the code work only on an open phone. */
NORBECK_API int norbeck_ReadSpcP(const char* cImei, char* cSPC, char* cErrMsg);
NORBECK_API int norbeck_ReadSpc(int sesMobile, char* cSPC, char* cErrMsg);
NORBECK_API int norbeck_WriteSpc(int sesMobile, const char* cSPC, char* cErrMsg);
NORBECK_API int norbeck_WriteSpcP(int sesMobile, char* cErrMsg);
NORBECK_API int norbeck_ResetSpc(int sesMobile, char* cErrMsg);
NORBECK_API int norbeck_OpenSpc(int sesMobile, const char* cSPC, int* piIsOpen, char* cErrMsg);
NORBECK_API int norbeck_OpenSpcP(int sesMobile, int* piIsOpen, char* cErrMsg);
NORBECK_API int norbeck_CloseSpc(int sesMobile, char* cErrMsg);

/* --- Bluetooth id, SIM secure data, flash serial number, root keys --------- */
NORBECK_API int norbeck_WriteBID_ByUser(int sesMobile, char* cErrMsg);
NORBECK_API int norbeck_WriteSimData_BtId(int sesMobile, const char* cText1, const char* cText2,
                                          const char* cText3, int* piDone, char* cErrMsg);
NORBECK_API int norbeck_Only_BtId_ViaMero(int sesMobile, const char* cText1, const char* cText2,
                                          const char* cText3, int* piDone, char* cErrMsg);
NORBECK_API int norbeck_fctPrepWSimT48(int iPrm1, int iPrm2);
NORBECK_API int norbeck_WriteFSN_Freeze(int sesMobile, char* cErrMsg);
NORBECK_API int norbeck_WriteFSN_Freeze_PuK(int sesMobile, const unsigned char* pucPublicKey, int iLenPublicKey,
                                            unsigned int uiCheckSumPublicKey, char* cErrMsg);
NORBECK_API int norbeck_GetTypeOfPublicKey(const unsigned char* pucPublicKey, int iLenPublicKey,
                                           int* piTypeOfPublicKey, char* cErrMsg);
NORBECK_API int norbeck_GetTypeOfPublicKeyFromMobile(int sesMobile, int* piTypeOfPublicKey, char* cErrMsg);

/* --- test-result report --------------------------------------------------- */
NORBECK_API int norbeck_MeroReport(int iDutNr, int iPassFailDut, const char* cImei, char* cErrMsg);

#ifdef __cplusplus
}
#endif

#endif
