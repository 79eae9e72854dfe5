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


/* --- connection, diagnostic and FTM operations ------------------------------- */
/* Sizes of caller buffers of these operations. */
#define TESSEL_BUILD_TEXT_MAX 512             /* each text of _Tessel_DiagExtBuildIdF */
#define TESSEL_VERNO_TEXT_MAX 32              /* each text of _Tessel_DiagVernoF */
#define TESSEL_TX_SWEEP_HDET_MAX 256          /* values of _Tessel_FtmGetAllHdetFromTxSweepCal */
#define TESSEL_GSM_TX_LINEARIZER_VALUES 174   /* values of _Tessel_FtmWriteGsmTxLinearizer */
#define TESSEL_IMAGE_NAME_MAX 128             /* characters of _Tessel_FtmDisplayImage's file name sent */
#define TESSEL_ROOT_KEY_MAX 260               /* bytes of _Tessel_GsdidiagRootKeyReadCmd's key */
#define TESSEL_SPC_LENGTH 6                   /* characters of a service programming code */

/* One entry of the phone's error log and the log as _Tessel_DiagErrReadF reads it. */
typedef struct {
    unsigned char iAddress;
    unsigned char iCount;
    char sFileName[8];
    unsigned short iLineNumber;
    unsigned char bFatal;
} TESSEL_ErrorRecord;
typedef struct {
    unsigned short iErrorCount;
    unsigned short iErrorIgnored;
    TESSEL_ErrorRecord aRecords[20];
} TESSEL_ErrorLog;

/* Connects the session to its phone (primary COM port) and, with a boot box
 * (MZ4BB:), opens the box. A session that is already connected, or is not
 * open, gives TESSEL_ERROR_LIBRARY and changes nothing; a failed connect
 * leaves the session unconnected with no box open. The phone type becomes
 * unknown (11). */
TESSEL_API int _Tessel_ConnectServer(int iSession, const char* cFile, int iLine);
/* Disconnects the phone and closes the boot box; afterwards the session is
 * unconnected, its box closed and its phone type unknown. */
TESSEL_API int _Tessel_DisonnectServer(int iSession, const char* cFile, int iLine);
/* 0 while the phone answers, TESSEL_ERROR_LIBRARY otherwise. */
TESSEL_API int _Tessel_IsPhoneConnected(int iSession, const char* cFile, int iLine);
/* The session's phone-type index (0..10, 11 = unknown); set stores any index. */
TESSEL_API int _Tessel_GetMobModel(int iSession, unsigned char* iMobModel, const char* cFile, int iLine);
TESSEL_API int _Tessel_SetMobModel(int iSession, int iMobModel, const char* cFile, int iLine);
/* The session's vendor handle (-1 when not connected); always 0. */
TESSEL_API int _Tessel_GetComHandle(int iSession, int* piComHandle, const char* cFile, int iLine);
/* The vendor library's type: 0 server mode ("QPST"), 1 direct mode
 * ("QPHONEMS"), 2 other; always 0. */
TESSEL_API int _Tessel_GetQLibType(int iSession, int* eType, const char* cFile, int iLine);

/* Reads or writes one NV item; the phone's NV status (0 = done) comes back in
 * *piNvStatus and does not change the result. */
TESSEL_API int _Tessel_DiagNvReadF(int iSession, int iItemID, unsigned char* pData, int iLength,
                                   unsigned short* piStatus, const char* cFile, int iLine);
TESSEL_API int _Tessel_DiagNvWriteF(int iSession, int iItemID, const unsigned char* pData, int iLength,
                                    unsigned short* piNvStatus, const char* cFile, int iLine);
/* Switches the phone's mode (1 offline, 2 reset, 3 FTM, 4 online, 6 power
 * off) and checks FTM (after 7 s; then detects the phone type) and online. */
TESSEL_API int _Tessel_DiagControlF(int iSession, int eMode, const char* cFile, int iLine);
/* Sends the service programming code (TESSEL_SPC_LENGTH characters);
 * *piSPC_Result is 1 when the phone opened, 0 when it refused the code. */
TESSEL_API int _Tessel_DiagSpcF(int iSession, const char* iSPC, unsigned char* piSPC_Result, const char* cFile,
                                int iLine);
/* Operation 0 reads the factory byte at an address below 128 into
 * *piDataValue, 1 writes it. */
TESSEL_API int _Tessel_FtmReadWriteFactoryData(int iSession, int iOperationType, int iDataAddress,
                                               unsigned char* piDataValue, const char* cFile, int iLine);
/* The phone's version: five texts of TESSEL_VERNO_TEXT_MAX bytes, cut at 11,
 * 8, 11, 8 and 8 characters, and the numbers. */
TESSEL_API int _Tessel_DiagVernoF(int iSession, char* comp_date, char* comp_time, char* rel_date, char* rel_time,
                                  char* ver_dir, unsigned char* scm, unsigned char* mob_cai_rev,
                                  unsigned char* mob_model, unsigned short* mob_firm_rev,
                                  unsigned char* slot_cycle_index, unsigned char* voc_maj, unsigned char* voc_min,
                                  const char* cFile, int iLine);
/* Loads the RF NV items in the phone (by phone type); the FTM status must be 0. */
TESSEL_API int _Tessel_LoadRfNv(int iSession, const char* cFile, int iLine);
/* Low-power mode; after mode 3 the phone must be reset. */
TESSEL_API int _Tessel_FtmSetLowPowerMode(int iSession, int iLowPowerMode, const char* cFile, int iLine);
/* Maker id * 256 + device id of the phone's flash (0 when the call failed). */
TESSEL_API int _Tessel_FtmGetNandFlashId(int iSession, unsigned short* piVersionData, const char* cFile, int iLine);
/* Calls nothing: always TESSEL_ERROR_LIBRARY. */
TESSEL_API int _Tessel_FtmTestFtmPmicUsb(int iSession, int iUSB_UART_Mode, const char* cFile, int iLine);

/* SIM-side commands on slot 1; success needs the call, its status and its
 * command status. The on-chip SIM and the root key use an application id of
 * 16 zero bytes. */
TESSEL_API int _Tessel_SimSimulation(int iSession, const char* cFile, int iLine);
TESSEL_API int _Tessel_GsdidiagSimSecureStoreCmd(int iSession, int iAppIdLen, const unsigned char* pAppId,
                                                 int iDataLen, const unsigned char* pData, const char* cFile,
                                                 int iLine);
/* *piDataLen: room of pData on entry, bytes read on return. */
TESSEL_API int _Tessel_GsdidiagSimSecureReadCmd(int iSession, int iAppIdLen, const unsigned char* pAppId,
                                                unsigned short* piDataLen, unsigned char* pData, const char* cFile,
                                                int iLine);
TESSEL_API int _Tessel_GsdidiagSecureDeviceInfoCmd(int iSession, int iAppIdLen, const unsigned char* pAppId,
                                                   const char* cFile, int iLine);
TESSEL_API int _Tessel_GsdidiagRootKeyWriteCmd(int iSession, int iKeyLen, const unsigned char* pKey,
                                               const char* cFile, int iLine);
/* pKey: TESSEL_ROOT_KEY_MAX bytes. */
TESSEL_API int _Tessel_GsdidiagRootKeyReadCmd(int iSession, unsigned short* piKeyLen, unsigned char* pKey,
                                              const char* cFile, int iLine);

/* Port lists (no session; traced on standard output). *piNumPorts: room of
 * the list on entry, ports written on return. */
TESSEL_API int _Tessel_GetAllPortList(unsigned short* piNumPorts, unsigned short* pPortList, const char* cFile,
                                      int iLine);
TESSEL_API int _Tessel_GetAvailablePhonesPortList(unsigned short* piNumPorts, unsigned short* pPortList,
                                                  unsigned short iNumIgnorePorts, unsigned short* pIgnorePortList,
                                                  const char* cFile, int iLine);
TESSEL_API int _Tessel_AddPortAliasEntry(unsigned short iLogicalPort, unsigned short iPhysicalPort,
                                         const char* cFile, int iLine);
TESSEL_API int _Tessel_ClearPortAliasList(const char* cFile, int iLine);

/* Light levels. The percent level is scaled to the phone's 0..80; a scaled
 * level of 0 counts as "off". The backlight switches the light type's lights
 * the way the session's phone type has them (0 LCD, 1 keypad, 2 both, and
 * the types of each phone). */
TESSEL_API int _Tessel_FtmSetBacklightLevel(int iSession, int iLevel, int eLightType, const char* cFile, int iLine);
TESSEL_API int _Tessel_FtmSetPwmLightLevel(int iSession, int iLevel, const char* cFile, int iLine);
/* Switches the keypad light's current sink on (bState non-zero) or off. */
TESSEL_API int _Tessel_SpecialSwitchKeypad(int iSession, unsigned short bState, const char* cFile, int iLine);

/* The boot box: a COM port whose DTR drives the phone's power key and whose
 * RTS selects the link mode. Init opens it (DTR and RTS low), close leaves
 * DTR low and RTS high; link mode 0 sets RTS, 1 clears it, other modes do
 * nothing. */
TESSEL_API int _Tessel_SpecialMZ4BootBoxInit(int iSession, const char* cFile, int iLine);
TESSEL_API int _Tessel_SpecialMZ4BootBoxClose(int iSession, const char* cFile, int iLine);
TESSEL_API int _Tessel_SpecialMZ4BootBoxSetLinkMode(int iSession, int eMode, const char* cFile, int iLine);

/* --- peripheral special procedures ------------------------------------------- */
/* Each acts on one peripheral of the session's phone: TESSEL_ERROR_LIBRARY
 * when the session is not connected or a call fails, TESSEL_ERROR_PARAMETER2
 * for an argument out of range or a null output, and TESSEL_ERROR_LIBRARY
 * with "[ERROR: Mobile type not supported.]" for a phone type without the
 * peripheral. A non-zero bState means on. */
#define TESSEL_HOST_VERSION_TEXT_MAX 16 /* text of _Tessel_SpecialGetQpstVersion and _Tessel_SpecialGetUsbVersion */
#define TESSEL_SW_VERSION_TEXT_MAX 20   /* text of _Tessel_SpecialGetSwVerForMero */

/* Supplies, charger switches and other switches of the phone. */
TESSEL_API int _Tessel_SpecialSwitchLCD(int iSession, unsigned short bState, const char* cFile, int iLine);
TESSEL_API int _Tessel_SpecialSwitchVibra(int iSession, unsigned short bState, const char* cFile, int iLine);
TESSEL_API int _Tessel_SpecialSwitchSimSupply(int iSession, unsigned short bState, const char* cFile, int iLine);
/* Bluetooth supply off, 250 ms, on again. */
TESSEL_API int _Tessel_SpecialBluetoothPwrCycle(int iSession, const char* cFile, int iLine);
/* Switch 0 is the wall charger, 1 the battery transistor. */
TESSEL_API int _Tessel_SpecialSetChargeFetState(int iSession, int iSwitch, unsigned short bState, const char* cFile,
                                                int iLine);
TESSEL_API int _Tessel_SpecialSetChargeAppState(int iSession, unsigned short bState, const char* cFile, int iLine);
TESSEL_API int _Tessel_SpecialSetVCollapseProtectionState(int iSession, unsigned short bState, const char* cFile,
                                                          int iLine);
/* Only switch 1 (the battery transistor) can be read. */
TESSEL_API int _Tessel_SpecialGetChargeFetState(int iSession, int iSwitch, short* bState, const char* cFile,
                                                int iLine);
TESSEL_API int _Tessel_SpecialSwitchUart(int iSession, unsigned short bState, const char* cFile, int iLine);
TESSEL_API int _Tessel_SpecialSwitchFuelGauge(int iSession, const char* cFile, int iLine);
TESSEL_API int _Tessel_SpecialSetAudioMuting(int iSession, unsigned short bState, const char* cFile, int iLine);
/* Sets the phone's real-time clock to the station's local time. */
TESSEL_API int _Tessel_SpecialSetRtcActualTime(int iSession, const char* cFile, int iLine);
/* Wall-charger limits: 4000..4375 mV and 10..300. */
TESSEL_API int _Tessel_SpecialSetPmicChargeLimits(int iSession, unsigned short iVoltage, unsigned short iCurrent,
                                                  const char* cFile, int iLine);

/* Means of iAverageCount ADC reads (a count of 0 gives TESSEL_ERROR_PARAMETER2). */
TESSEL_API int _Tessel_SpecialReadBattVoltage(int iSession, unsigned short iAverageCount, double* dBattV,
                                              const char* cFile, int iLine);
/* The first value is read on phone type 0 only (255.0 elsewhere). */
TESSEL_API int _Tessel_SpecialReadThermistors(int iSession, unsigned short iAverageCount, double* dRFTherm,
                                              double* dPATherm, const char* cFile, int iLine);
TESSEL_API int _Tessel_SpecialReadHdet(int iSession, unsigned short iAverageCount, double* dHdet, const char* cFile,
                                       int iLine);

/* Shows the test picture of a pattern number (by phone type). */
TESSEL_API int _Tessel_SpecialSetDisplayPattern(int iSession, int ePattern, const char* cFile, int iLine);
/* Selects display 0 or 1 and lights it. */
TESSEL_API int _Tessel_SpecialSwitchDisplay(int iSession, unsigned char uiDsplNum, const char* cFile, int iLine);
/* Writes 16 bytes to a memory-card file and reads them back. */
TESSEL_API int _Tessel_SpecialMmcTest(int iSession, const char* cFile, int iLine);

/* Versions ("a.b.c.d") of the vendor's phone server and USB serial driver on
 * the station; cVersion needs TESSEL_HOST_VERSION_TEXT_MAX bytes. */
TESSEL_API int _Tessel_SpecialGetQpstVersion(int iSession, char* cVersion, const char* cFile, int iLine);
TESSEL_API int _Tessel_SpecialGetUsbVersion(int iSession, char* cVersion, const char* cFile, int iLine);

/* Slider, supplies and pins on register bits, by phone type. */
TESSEL_API int _Tessel_SpecialGetSliderState(int iSession, int* eSliderState, const char* cFile, int iLine);
TESSEL_API int _Tessel_SpecialSwitchAccSupplyVoltage(int iSession, unsigned short bState, const char* cFile,
                                                     int iLine);
TESSEL_API int _Tessel_SpecialReadAntennaSwitchState(int iSession, short* bState, const char* cFile, int iLine);
TESSEL_API int _Tessel_SpecialSwitchVregCamera(int iSession, unsigned short bState, const char* cFile, int iLine);
/* GPIO 0..98: the bit mask in its register, and the pin's state. */
TESSEL_API int _Tessel_GetGpioMask(int iSession, unsigned char iGpio, unsigned int* iMask, const char* cFile,
                                   int iLine);
TESSEL_API int _Tessel_SpecialSetGpioState(int iSession, unsigned char iGpio, unsigned short bGpioState,
                                           const char* cFile, int iLine);
TESSEL_API int _Tessel_SpecialGetGpioState(int iSession, unsigned char iGpio, short* bGpioState, const char* cFile,
                                           int iLine);

/* The fake-security NV items: *bStatus 1 when they hold the safe values. */
TESSEL_API int _Tessel_SpecialCheckFakeSecurity(int iSession, unsigned short* bStatus, const char* cFile, int iLine);
TESSEL_API int _Tessel_SpecialDisableFakeSecurity(int iSession, const char* cFile, int iLine);
/* Polls the phone's file system until the application folders are empty
 * (*bCompleted 1) or iTimoSec seconds (0 = 300) have passed (*bTimeout 1). */
TESSEL_API int _Tessel_SpecialGetEfsUnpackStatus(int iSession, short* bCompleted, short* bTimeout,
                                                 unsigned short iTimoSec, const char* cFile, int iLine);
/* Lock state of the service programming code: *bLockState 1 = locked;
 * *iCyclesLeft the unlock tries left after the next one. */
TESSEL_API int _Tessel_SpecialGetLockState(int iSession, short* bLockState, unsigned char* iCyclesLeft,
                                           const char* cFile, int iLine);
/* Software version number from the model text (255 when unknown). */
TESSEL_API int _Tessel_SpecialGetSVN(int iSession, unsigned char* iSVN, const char* cFile, int iLine);
/* Release date and time as "YYYY-MM-DD hh:mm:ss" (TESSEL_SW_VERSION_TEXT_MAX bytes). */
TESSEL_API int _Tessel_SpecialGetSwVerForMero(int iSession, char* cSwVer, const char* cFile, int iLine);

/* --- FTM bit-error-rate tests --------------------------------------------------- */
/* Records the BER status and AGC log operations fill, with the vendor
 * library's layouts; the result lines show the bytes named. */
typedef struct {
    unsigned char aiReserved0[8];
    unsigned char bSCCH_Found;                /* byte 8 */
    unsigned char aiReserved9[4];
    unsigned char iCHANNEL_ASSIGN_CNF_status; /* byte 13 */
    unsigned char aiReserved14[2];
} TESSEL_GSM_BER_Status;
typedef struct {
    unsigned char iEGPRS_BER_State;
    unsigned char aiReserved1[2];
    unsigned char bTBF_IND_type;                   /* byte 3 */
    unsigned char eTBF_IND_UL_event;               /* byte 4 */
    unsigned char eTBF_IND_DL_event;               /* byte 5 */
    unsigned char iSERVING_MEAS_IND_RxLev_average; /* byte 6 */
    unsigned char aiReserved7;
} TESSEL_EGPRS_BER_Status;
typedef struct {
    short iRxAGC;
    short iTxAGC;
    short iTxAdjust;
    unsigned char iLNA_State;
    unsigned char iPA_State;
    unsigned char aiReserved[8];
} TESSEL_WCDMA_AGC_Log;

/* Start of a GSM or EGPRS BER test call: the session (with the time-out) only
 * when bInitSession is 1, then the broadcast channel; a failed start skips
 * the assignment. bInitSession is taken as 16 bits, iChannel as 16 bits and
 * iBand as a byte; the call line shows these narrowed values, the ones the
 * phone receives. */
TESSEL_API int _Tessel_FtmGsmBerStartCall(int iSession, int bInitSession, int iChannel, int iBand,
                                          int iBCCH_TimeOut_ms, const char* cFile, int iLine);
TESSEL_API int _Tessel_FtmEgprsBerStartCall(int iSession, int bInitSession, int iChannel, int iBand,
                                            int iBCCH_TimeOut_ms, const char* cFile, int iLine);
/* End of a GSM BER test call: the traffic channel is released, then the
 * session is stopped when bCloseControl (16 bits) is not 0, also after a
 * failed release. The call line shows bCloseControl as 16 bits. */
TESSEL_API int _Tessel_FtmGsmBerStopCall(int iSession, int bCloseControl, const char* cFile, int iLine);
/* Not offered: always TESSEL_ERROR_LIBRARY, with an information line on a
 * connected session; nothing reaches the phone. */
TESSEL_API int _Tessel_FtmEgprsBerStartIdleMode(int iSession, const char* cFile, int iLine);

/* The plain operations (see tessel_plain.inc). */
#define TESSEL_PLAIN(name, params, call, trace) TESSEL_API int name params;
#define TESSEL_PLAIN_LOCAL(name, params, locals, call, trace) TESSEL_API int name params;
#include "tessel_plain.inc"
#undef TESSEL_PLAIN
#undef TESSEL_PLAIN_LOCAL

/* --- NV items ---------------------------------------------------------------- */
/* Each operation reads or writes named NV items of the phone. Unless a line
 * says otherwise: every access runs, also after an earlier one failed; a
 * failed call or an NV status other than 0 gives TESSEL_ERROR_LIBRARY; a band,
 * mode or range the operation does not know gives TESSEL_ERROR_LIBRARY with
 * no access; an unconnected session gives TESSEL_ERROR_LIBRARY. An output is
 * written only from an item read with NV status 0. Numbers inside items are
 * little-endian. Band codes: 4, 5, 6 the WCDMA paths, 0..3 the GSM paths. */
#define TESSEL_IMEI_TEXT_MAX 16      /* _Tessel_NvReadImei: 15 digits and a NUL */
#define TESSEL_BD_ADDR_TEXT_MAX 13   /* _Tessel_NvReadBDAddr: 12 hex digits and a NUL */
#define TESSEL_BD_ADDR_LENGTH 6      /* bytes of a raw Bluetooth address */
#define TESSEL_DSN_LENGTH 16         /* bytes of the device serial number */
#define TESSEL_NV_IMAGE_LENGTH 128   /* bytes of an item image (factory data, GSM RX offsets) */

/* The GSM TX calibration record (58 bytes) and the GSM IM2 record (14 bytes). */
typedef struct {
    unsigned char aBytes[58];
} TESSEL_GsmTxCalData;
typedef struct {
    unsigned char aBytes[14];
} TESSEL_GsmIm2CalData;

/* Identity and flags. The IMEI text is exactly 15 decimal digits (anything
 * else is refused before any access); it is written, read back and compared.
 * The read gives the 15 digits, or 16 NUL bytes when the item could not be
 * read. */
TESSEL_API int _Tessel_NvReadImei(int iSession, char* szImei, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvWriteImei(int iSession, const char* szImei, const char* cFile, int iLine);
/* The address as 12 hex digits, most significant first; the item holds the
 * bytes reversed. The write needs 12 hex digits (refused otherwise, with no
 * access) and leaves the caller's text upper-cased; no read-back. */
TESSEL_API int _Tessel_NvReadBDAddr(int iSession, char* szBDAddr, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvWriteBDAddr(int iSession, char* szBDAddr, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvWriteRawBDAddr(int iSession, const unsigned char* pBDAddr, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvReadDSN(int iSession, unsigned char* pDSN, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvWriteDSN(int iSession, const unsigned char* pDSN, const char* cFile, int iLine);
/* The FTM flag (1 for any non-zero argument: the phone starts in factory
 * test mode), written and read back; the battery fake and air security flags
 * the same way. The getters give 0 or 1 and fail on any other stored byte. */
TESSEL_API int _Tessel_NvSetFtmFlag(int iSession, unsigned short bFtmFlag, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvSetBatteryFakeFlag(int iSession, unsigned short bFakeFlag, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvGetBatteryFakeFlag(int iSession, unsigned short* bFakeFlag, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvSetAirSecurityFlag(int iSession, unsigned short bAirSecurityFlag, const char* cFile,
                                            int iLine);
TESSEL_API int _Tessel_NvGetAirSecurityFlag(int iSession, unsigned short* bAirSecurityFlag, const char* cFile,
                                            int iLine);
/* Auto answer on for exactly 1, else off; no read-back. */
TESSEL_API int _Tessel_NvSetAutoAnswerStatus(int iSession, unsigned short bActivateAA, const char* cFile, int iLine);

/* Factory data, network and miscellaneous items. The factory-data slice is
 * iLength bytes from index iStart of the 128-byte image; it must lie inside
 * the image. The write reads the image, replaces the slice and writes it. */
TESSEL_API int _Tessel_NvReadFactNBytes(int iSession, unsigned char iStart, unsigned char iLength,
                                        unsigned char* pData, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvWriteFactNBytes(int iSession, unsigned char iStart, unsigned char iLength,
                                         const unsigned char* pData, const char* cFile, int iLine);
/* Modes 0, 2, 3, 4, 5. */
TESSEL_API int _Tessel_NvWriteNetworkScanMode(int iSession, int eMode, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvWriteLastGoodChannel(int iSession, int eMode, unsigned short uiChannel, const char* cFile,
                                              int iLine);
TESSEL_API int _Tessel_NvDeleteNetworkInformation(int iSession, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvSetRoamingListStatus(int iSession, unsigned short bActivateRl, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvResetVcoTuningTable(int iSession, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvResetIqLineResistorCal(int iSession, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvWriteMicGainAdjust(int iSession, short iGain, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvWriteVcoValues(int iSession, short iDefaultVco, short iDefaultVcoSlope, const char* cFile,
                                        int iLine);
/* Sets the PDM (type 0 for bands 1..3, 4 for band 4) to the stored VCO. */
TESSEL_API int _Tessel_SetDefaultVco(int iSession, int iBand, const char* cFile, int iLine);
/* Batched NV writes; the flush fails when any queued write failed. */
TESSEL_API int _Tessel_DiagNvWriteSetBatchMode(int iSession, unsigned short bStartBatchMode, const char* cFile,
                                               int iLine);
TESSEL_API int _Tessel_DiagNvWriteFlushBatchQueue(int iSession, const char* cFile, int iLine);

/* RF calibration items, moved as opaque tables. A table that may be null
 * is skipped when null; every other pointer must be given. */
TESSEL_API int _Tessel_NvWriteWcdmaVgaGain(int iSession, int eNvBand, short iOffset, const unsigned char* pTable,
                                           const char* cFile, int iLine);
TESSEL_API int _Tessel_NvWriteWcdmaLnaOffset(int iSession, int eNvBand, short iOffset1, const unsigned char* pTable1,
                                             short iOffset2, const unsigned char* pTable2, short iOffset3,
                                             const unsigned char* pTable3, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvReadWcdmaLnaRangeRise(int iSession, int eNvBand, short* piRise1, short* piRise2,
                                               short* piRise3, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvReadWcdmaLnaRangeFall(int iSession, int eNvBand, short* piFall1, short* piFall2,
                                               short* piFall3, const char* cFile, int iLine);
/* Tables of 74 bytes (64 for band 4 on phone types 5 and 7). */
TESSEL_API int _Tessel_NvWriteTxLinMaster(int iSession, int eNvBand, const unsigned char* pTableA,
                                          const unsigned char* pTableB, const char* cFile, int iLine);
/* Band 4 only; tables of 16 bytes. */
TESSEL_API int _Tessel_NvWriteTxVsFreq(int iSession, int eNvBand, const unsigned char* pTableA,
                                       const unsigned char* pTableB, const char* cFile, int iLine);
TESSEL_API int _Tessel_NvWriteTxVsFreqSelectBias(int iSession, int eNvBand, int eBiasState,
                                                 const unsigned char* pTableA, const unsigned char* pTableB,
                                                 const char* cFile, int iLine);
TESSEL_API int _Tessel_NvReadWcdmaTxFreqCompAntRel(int iSession, int eNvBand, unsigned char* pTableA,
                                                   unsigned char* pTableB, const char* cFile, int iLine);
/* Band 4 only; tables of 32 bytes. */
TESSEL_API int _Tessel_NvWriteWcdmaTxLimVsFreq(int iSession, int eNvBand, const unsigned char* pTableA,
                                               const unsigned char* pTableB, const char* cFile, int iLine);
/* Tables of 15, 16, 16 and 15 bytes, each may be null. */
TESSEL_API int _Tessel_NvWritePaGainSlope(int iSession, const unsigned char* pTable802, const unsigned char* pTable803,
                                          const unsigned char* pTable1094, const unsigned char* pTable1136,
                                          const char* cFile, int iLine);
/* A table of 16 bytes. */
TESSEL_API int _Tessel_NvWriteHdetVsAgc(int iSession, int eNvBand, const unsigned char* pTable, const char* cFile,
                                        int iLine);
/* The HDET byte for a power of 6.75..26.67 (else TESSEL_ERROR_PARAMETER2 and
 * no access); *pbHdet is 0 unless the table was read. */
TESSEL_API int _Tessel_NvReadHdetForPower(int iSession, int eNvBand, float dPower, unsigned char* pbHdet,
                                          const char* cFile, int iLine);
TESSEL_API int _Tessel_NvWriteHdetOfsAndSpn(int iSession, int eNvBand, unsigned char Ofs, unsigned char Spn,
                                            const char* cFile, int iLine);
/* 32 bytes. */
TESSEL_API int _Tessel_NvReadWcdmaTxCalChan(int iSession, unsigned char* pBuffer, const char* cFile, int iLine);
/* PA ranges 0 and 3; 64 bytes. */
TESSEL_API int _Tessel_NvReadWcdmaTxPdmLin(int iSession, int ePaRange, unsigned char* pBuffer, const char* cFile,
                                           int iLine);
/* Threshold 0 only. */
TESSEL_API int _Tessel_NvReadWcdmaTxPaRangeThreshold(int iSession, int ePaRangeThreshold, short* piWcdmaRise,
                                                     short* piWcdmaFall, const char* cFile, int iLine);
/* TESSEL_NV_IMAGE_LENGTH bytes. */
TESSEL_API int _Tessel_NvReadGsmRxRelOffsets(int iSession, unsigned char* pBuffer, const char* cFile, int iLine);
/* Sixteen tables, each may be null: four of 16 bytes, eight of 32, four of 16. */
TESSEL_API int _Tessel_NvWriteGsmRxGainRange(
    int iSession, const unsigned char* pTable726, const unsigned char* pTable727, const unsigned char* pTable728,
    const unsigned char* pTable729, const unsigned char* pTable1058, const unsigned char* pTable1059,
    const unsigned char* pTable1060, const unsigned char* pTable1061, const unsigned char* pTable730,
    const unsigned char* pTable731, const unsigned char* pTable732, const unsigned char* pTable733,
    const unsigned char* pTable1102, const unsigned char* pTable1103, const unsigned char* pTable1104,
    const unsigned char* pTable1105, const char* cFile, int iLine);
/* Reads the item, puts the record at its start and writes it back. */
TESSEL_API int _Tessel_NvWriteGsmTxCalData(int iSession, TESSEL_GsmTxCalData sTxCalData, const char* cFile,
                                           int iLine);
/* Bands 2 and 3: the record, then zeros, as a 128-byte image. */
TESSEL_API int _Tessel_NvWriteGsmIm2CalData(int iSession, int eNvBand, TESSEL_GsmIm2CalData sIm2CalData,
                                            const char* cFile, int iLine);
/* Bands 2 and 3; 2 bytes. */
TESSEL_API int _Tessel_NvWriteGsmTxRsbCalData(int iSession, int eNvBand, const unsigned char* pRsbData,
                                              const char* cFile, int iLine);
TESSEL_API int _Tessel_NvWriteOpllBandwidthValue(int iSession, int eNvBand, unsigned char iOpllValue,
                                                 const char* cFile, int iLine);
TESSEL_API int _Tessel_NvWriteGsmPathDelay(int iSession, int eNvBand, short iTimeDelay, const char* cFile, int iLine);
/* Ranges 0 and 1; the low byte of each value. */
TESSEL_API int _Tessel_NvWriteGsmTxCalPath(int iSession, int eNvBand, int iRange, short iRsb_A, short iRsb_B,
                                           const char* cFile, int iLine);
/* Both outputs are written always, 0 when nothing was read. */
TESSEL_API int _Tessel_NvReadAMAMDynamicRange(int iSession, int eNvBand, int* piMaxPower, int* piMinPower,
                                              const char* cFile, int iLine);
/* --- end of NV items ------------------------------------------------------- */

/* --- power-up, reset, power-off and DTR ------------------------------------ */
/* Switches the phone on into FTM or ONLINE: a DTR pulse (through the boot box
 * in box mode, else on the phone's port; with the stored DTR state 1 the box
 * keeps DTR high), waiting up to iTimeout ms (0: 20000; the initial wait of
 * _Tessel_PutUserDefinedTimeoutInitial counts against it) for the phone to
 * answer, a reset into the mode when it came up in the other one, the mode
 * check and the hardware detection. The result line names the reason. */
TESSEL_API int _Tessel_SpecialMobileOnFtm(int iSession, int iTimeout, const char* cFile, int iLine);
TESSEL_API int _Tessel_SpecialMobileOnOnline(int iSession, int iTimeout, const char* cFile, int iLine);
/* Offline (up to 12 s), the FTM flag for the mode (non-zero = FTM), reset,
 * 18 s, then up to 40 s for the phone to answer. */
TESSEL_API int _Tessel_SpecialPhoneReset(int iSession, unsigned short iMode, const char* cFile, int iLine);
/* Offline, the FTM flag kept as read, power off, the box's DTR cleared when
 * the stored DTR state is 1 and the box is open, then up to 10 s until the
 * phone is silent. */
TESSEL_API int _Tessel_SpecialPhoneOff(int iSession, const char* cFile, int iLine);
/* Drives DTR now (0 or 1): through the open boot box, else on the phone's
 * port. The stored DTR state does not change. */
TESSEL_API int _Tessel_SpecialSetDtrState(int iSession, unsigned short bDtrState, const char* cFile, int iLine);
/* --- end of power-up, reset, power-off and DTR ----------------------------- */

/* --- software download, phone logging and keypad ---------------------------- */
/* The plain ones are rows of tessel_plain.inc. */
#define TESSEL_PHONE_LOG_MAX 4096 /* bytes of _Tessel_DiagGetNextPhoneLog's log buffer */

/* The two call-backs the vendor library calls in the caller's thread. The
 * EFS-directory call-back gets one folder entry (folder as listed, entry
 * name, 1 for a sub-folder) and its answer is ignored; the download-progress
 * call-back gets one download event (kind 0 or 14: the stage in value; 11:
 * the total bytes; 12: the bytes moved; the record lives for the call) and
 * its answer is ignored. QLIB_ConfigureCallBacks takes them in this order:
 * the EFS-directory call-back first, the download-progress call-back second
 * (this library's EFS poll uses the first slot, the extension library's
 * uploads the second). */
typedef int (*TESSEL_EfsDirectoryCallBack)(const char* cFolder, const char* cName, unsigned char bIsDirectory);
typedef struct {
    unsigned int eventKind;
    unsigned int reserved;
    unsigned int value;
} TESSEL_DownloadEvent;
typedef unsigned char (*TESSEL_DownloadProgressCallBack)(const TESSEL_DownloadEvent* pEvent);

/* Hands the caller's call-backs (either may be null) to the vendor library.
 * The vendor's answer is not tested: 0 on any connected session. */
TESSEL_API int _Tessel_ConfigureCallBacks(int iSession, TESSEL_EfsDirectoryCallBack pEfsDirectory,
                                          TESSEL_DownloadProgressCallBack pDownloadProgress, const char* cFile,
                                          int iLine);
/* Software image (hex file) into the phone; the flags are the vendor's
 * options, narrowed to bytes. */
TESSEL_API int _Tessel_UploadHexFile(int iSession, const char* sFileName, const char* sSPC, int bClearErrorLog,
                                     int bOverrideModelCheck, int bSkipReset, int bUseCustomArmProg,
                                     int bUploadArmProg, int bDoAutoRestoreBackup, const char* sAutoRestoreBackupName,
                                     const char* cFile, int iLine);
/* Whether the last download failed, and its text in sErrorMessage
 * (iMaxStringLength bytes, at least 1; always terminated, empty when the
 * session is not connected). The vendor's answer is not tested. */
TESSEL_API int _Tessel_GetLastSoftwareDownloadErrorInfo(int iSession, unsigned short* pbErrorOccurred,
                                                        char* sErrorMessage, int iMaxStringLength, const char* cFile,
                                                        int iLine);
/* Message filters, phone logging and the vendor text log into sLogFile: the
 * eight filter ids with their masks (an id with its top bit set is skipped),
 * logging state on, log flags 1, logging started. An empty file name, or any
 * step failing, gives TESSEL_ERROR_LIBRARY with an error line and skips the
 * later steps. The handle is not tested: the vendor calls fail on an
 * unconnected session. */
TESSEL_API int _Tessel_StartExtLogging(int iSession, const char* sLogFile, const unsigned short* piFilterIds,
                                       const unsigned short* piFilterMasks, const char* cFile, int iLine);
/* The asynchronous messages into the vendor text log between two marker
 * lines; always 0 once the session is found. */
TESSEL_API int _Tessel_DumpAsyncMsg(int iSession, const char* cFile, int iLine);
/* A debug message of the phone that contains sSearchString: *pbFoundMessage
 * 1 and its three arguments, else 0 and zeros (also when the call fails or
 * the session is not connected). */
TESSEL_API int _Tessel_DiagFindDebugMessage(int iSession, const char* sSearchString, short* pbFoundMessage,
                                            int* piArg1, int* piArg2, int* piArg3, const char* cFile, int iLine);
/* Loads the key map of eKeyMapping (1-11) into the phone and configures its
 * key detection. A wrong id fails before the phone's map is cleared; a
 * failed entry ends the entries, but key detection is still configured. The
 * result line names the first failure, or "OK". The handle is not tested. */
TESSEL_API int _Tessel_SpecialSetKeypadMapping(int iSession, int eKeyMapping, const char* cFile, int iLine);
/* --- end of software download, phone logging and keypad --------------------- */
/* --- FM radio, camera, Bluetooth, assisted GPS and polar transmitter -------- */
/* The operations with logic of their own; the single calls of these families
 * are plain operations (tessel_plain.inc). Byte and 16-bit arguments are
 * taken from the low bits of their int. Call lines show every input with
 * "%d" as the value passed on (narrowed where it is narrowed), and a caller's
 * array by its address, "name=0x<hex>". */
#define TESSEL_POLAR_TX_CAL_RECORD 128    /* bytes of one polar TX calibration record */
#define TESSEL_POLAR_TX_CAL_SIZE 24576    /* bytes of _Tessel_FtmNvWritePolarTxCal's data */
#define TESSEL_GSM_TX_SWEEP_PAIRS_MAX 1021 /* pairs _Tessel_FtmGsmTxSweepCal can send */
#define TESSEL_CAMERA_MODEL_INVALID 12    /* camera model: no sensor recognised */

/* One field of the FM receiver's state register (I2C slave 0x10, byte 9):
 * eFmData 0 the level (0..15), 1 the lock-detect bit, 2 the stereo bit. Any
 * other eFmData gives TESSEL_ERROR_LIBRARY and *piData 255. A failed read
 * gives TESSEL_ERROR_LIBRARY and the field of the zeroed buffer. */
TESSEL_API int _Tessel_SpecialGetFmRadioInfo(int iSession, int eFmData, unsigned char* piData, const char* cFile,
                                             int iLine);
/* Selects camera 1 or 2: by sensor id on phone type 9 (the camera status
 * must be 0), by switch 1 on phone types 0, 1, 4, 6, 8 and 10. Other phone
 * types and camera numbers give TESSEL_ERROR_LIBRARY. */
TESSEL_API int _Tessel_SpecialSwitchCamera(int iSession, int iCamNum, const char* cFile, int iLine);
/* Detects the sensor fitted for camera iCameraNo over the I2C bus and gives
 * its model code (0..11, TESSEL_CAMERA_MODEL_INVALID with
 * TESSEL_ERROR_LIBRARY when none is recognised). The address at which the
 * previous detection of the camera answered is tried first (one address is
 * kept for camera 1, one for every other number, for the whole process);
 * then every address of the bus that answers is probed. The result line
 * shows the two identity bytes read last (00 00 when no probe read any). */
TESSEL_API int _Tessel_SpecialGetCameraID(int iSession, int* peCamera, int iCameraNo, const char* cFile, int iLine);
/* The extension library's identity of camera iCamNum: 0x0018 gives model 0;
 * any other identity is not supported (TESSEL_ERROR_LIBRARY, *peCamera as it was). */
TESSEL_API int _Tessel_SpecialExtGetCameraId(int iSession, int* peCamera, int iCamNum, const char* cFile, int iLine);
/* Sets the Bluetooth module's address from the first 12 characters of
 * szAddr, hexadecimal digits of either case, most significant first; a
 * longer text is accepted and the rest of it not read (a scanned label's
 * line end, for one). A text shorter than 12 characters or a character
 * among the first 12 that is no hexadecimal digit gives TESSEL_ERROR_LIBRARY
 * without a call. The caller's text is only read. */
TESSEL_API int _Tessel_FtmBtSetAddr(int iSession, const char* szAddr, const char* cFile, int iLine);
/* *pbPassFail 1 when the receiver's self test passed (low three bits of its
 * result 0), else 0, also after a failed call. */
TESSEL_API int _Tessel_FtmAgpsSelfTest(int iSession, unsigned short* pbPassFail, const char* cFile, int iLine);
/* Writes the polar TX calibration records of pCalData
 * (TESSEL_POLAR_TX_CAL_SIZE bytes: table t 0..1, set f 1..3, band b 1..4,
 * step s 1..8 at t*12288 + (f-1)*4096 + (b-1)*1024 + (s-1)*128) to their NV
 * items; set 3 only on phone type 5. The first failed write ends it. The
 * call line shows pCalData's address. */
TESSEL_API int _Tessel_FtmNvWritePolarTxCal(int iSession, const unsigned char* pCalData, const char* cFile,
                                            int iLine);
/* Sends the GSM TX sweep of iNumPairs (0..TESSEL_GSM_TX_SWEEP_PAIRS_MAX)
 * pairs of values; more pairs give TESSEL_ERROR_LIBRARY without sending.
 * The call line shows the addresses of both value arrays. */
TESSEL_API int _Tessel_FtmGsmTxSweepCal(int iSession, const unsigned short* piFirstValues,
                                        const unsigned short* piSecondValues, int iNumPairs, const char* cFile,
                                        int iLine);
/* Offsets the second tone by iFreqOffsetSecTone - 68; below 68 gives
 * TESSEL_ERROR_LIBRARY without a call. */
TESSEL_API int _Tessel_FtmSetTwoToneFreqOffset(int iSession, int iFreqOffsetSecTone, const char* cFile, int iLine);
/* The RSB/DC sweep over uiListSize entries of five lists (the caller's
 * 32-bit values, passed through); the sweep's status must come back 0. The
 * call line shows the five with "%d", so one above 0x7FFFFFFF reads
 * negative. */
TESSEL_API int _Tessel_FtmGsmTxRsbDcSweep(int iSession, int uiListSize, unsigned int uiList1, unsigned int uiList2,
                                          unsigned int uiList3, unsigned int uiList4, unsigned int uiList5,
                                          const char* cFile, int iLine);
/* --- end of FM radio, camera, Bluetooth, assisted GPS and polar transmitter - */
/* --- IrDA loop test, IrDA high current and hall sensor --------------------- */
/* The phone's infrared port end to end: opens the PC port "COM<iIrdaPort>"
 * for an IrDA transceiver (115200 8N1, no flow control; a read waits up to
 * 250 ms for a byte), switches the phone's IrDA transmit-receive test on,
 * sends iTestFrames test frames of 270 bytes and checks each echo byte by
 * byte with its FCS (at most 499 ms per frame), switches the test off and
 * closes the port. Only the last frame decides; 0 frames succeed. After the
 * BOF the echo is read to the frame's length less the XBOFs received, but
 * never fewer than the 260 bytes from BOF to EOF. Of the port set-up only the
 * open and the queue sizes can fail the test (a failed set-up closes the
 * port again); the time-outs, line settings and modem lines are set as well
 * as the port allows. A failed step's reason is traced as a plain line; a
 * loop that failed on a frame that did not match or an echo that timed out
 * gives no reason, and its plain line is empty. */
TESSEL_API int _Tessel_SpecialIrdaTest(int iSession, unsigned char iIrdaPort, unsigned int iTestFrames,
                                       const char* cFile, int iLine);
/* Fails also when the phone answers an FTM status other than 0. */
TESSEL_API int _Tessel_FtmIrdaHighCurrentTest(int iSession, unsigned short iIrdaLength_ms, const char* cFile,
                                              int iLine);
/* eHallSensor 0 E_HALL_CLAM, 1 E_HALL_SLIDER; *eSliderState as for
 * _Tessel_SpecialGetSliderState (4 E_SLIDER_INVALID when not read). Phone
 * types 4 and 10: clam, from GPIO 18; type 6: slider, from the extension
 * library's slider state; type 9: clam from its flip test, slider from its
 * slider state. Other types fail without a result line; a sensor the type
 * lacks fails. */
TESSEL_API int _Tessel_SpecialGetHallSensorState(int iSession, int eHallSensor, int* eSliderState,
                                                 const char* cFile, int iLine);
/* --- end of IrDA and hall sensor -------------------------------------------- */

#ifdef __cplusplus
}
#endif

#endif
