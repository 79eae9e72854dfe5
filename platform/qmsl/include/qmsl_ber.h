/* Typed factory-test-mode bit-error-rate (BER) commands of GSM, EGPRS, WCDMA
 * and HSDPA, and the WCDMA AGC log: a test call or session against a call
 * simulator, its channels and loop-backs, and what the phone reports of it.
 *
 * Each takes the handle first and returns non-zero on success. Channels are
 * 16-bit, bands and the small settings are bytes. Band numbers, loop-back
 * types, modes and status values are the phone's own and pass through. The
 * simulated phone has no behaviour of its own for these calls: it records
 * them and gives back the outputs a test set (zeros otherwise).
 */
#ifndef QMSL_BER_H
#define QMSL_BER_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* What the GSM BER status command reports. Only the bytes named are read by
 * this system; the others are the phone's. */
typedef struct {
    unsigned char aiReserved0[8];
    unsigned char bSCCH_Found;               /* byte 8: the broadcast channel was found */
    unsigned char aiReserved9[4];
    unsigned char iCHANNEL_ASSIGN_CNF_status; /* byte 13: status of the channel assignment */
    unsigned char aiReserved14[2];
} QMSL_GSM_BER_Status;

/* What the EGPRS BER status command reports. */
typedef struct {
    unsigned char iEGPRS_BER_State;                /* byte 0: state of the test */
    unsigned char aiReserved1[2];
    unsigned char bTBF_IND_type;                   /* byte 3: kind of the last block-flow indication */
    unsigned char eTBF_IND_UL_event;               /* byte 4: uplink block-flow event */
    unsigned char eTBF_IND_DL_event;               /* byte 5: downlink block-flow event */
    unsigned char iSERVING_MEAS_IND_RxLev_average; /* byte 6: average receive level of the serving cell */
    unsigned char aiReserved7;
} QMSL_EGPRS_BER_Status;

/* One record of the WCDMA AGC log. */
typedef struct {
    short iRxAGC;        /* receive AGC */
    short iTxAGC;        /* transmit AGC */
    short iTxAdjust;     /* transmit gain adjust */
    unsigned char iLNA_State;
    unsigned char iPA_State;
    unsigned char aiReserved[8];
} QMSL_WCDMA_AGC_Log;

#ifdef __cplusplus
static_assert(sizeof(QMSL_GSM_BER_Status) == 16, "GSM BER status record");
static_assert(__builtin_offsetof(QMSL_GSM_BER_Status, bSCCH_Found) == 8, "GSM BER status byte 8");
static_assert(__builtin_offsetof(QMSL_GSM_BER_Status, iCHANNEL_ASSIGN_CNF_status) == 13, "GSM BER status byte 13");
static_assert(sizeof(QMSL_EGPRS_BER_Status) == 8, "EGPRS BER status record");
static_assert(__builtin_offsetof(QMSL_EGPRS_BER_Status, bTBF_IND_type) == 3, "EGPRS BER status byte 3");
static_assert(__builtin_offsetof(QMSL_EGPRS_BER_Status, iSERVING_MEAS_IND_RxLev_average) == 6,
              "EGPRS BER status byte 6");
static_assert(sizeof(QMSL_WCDMA_AGC_Log) == 16, "WCDMA AGC log record");
#endif

/* --- GSM ------------------------------------------------------------------ */
QMSL_API unsigned char QLIB_FTM_GSM_BER_StartSession(QmslHandle handle, unsigned long iTimeOut_ms);
QMSL_API unsigned char QLIB_FTM_GSM_BER_StopSession(QmslHandle handle);
QMSL_API unsigned char QLIB_FTM_GSM_BER_AssignBCCH(QmslHandle handle, unsigned short iChannel, unsigned char iBand);
QMSL_API unsigned char QLIB_FTM_GSM_BER_AssignTraffic(QmslHandle handle, unsigned short iLoopbackType,
                                                      unsigned char iSlot, unsigned char iMode);
QMSL_API unsigned char QLIB_FTM_GSM_BER_ReleaseTCH(QmslHandle handle);
QMSL_API unsigned char QLIB_FTM_GSM_BER_ClearStatus(QmslHandle handle);
QMSL_API unsigned char QLIB_FTM_GSM_BER_GetStatus(QmslHandle handle, QMSL_GSM_BER_Status* pGSM_BER_Status);
QMSL_API unsigned char QLIB_FTM_GSM_BER_GetRxMetrics(QmslHandle handle, unsigned char* piDED_RPtRxLev_Full,
                                                     unsigned char* piDED_RPtRxQual_Full);
QMSL_API unsigned char QLIB_FTM_GSM_BER_Handover(QmslHandle handle, unsigned short iChannel, unsigned char iBand,
                                                 unsigned char iTSC, unsigned char iSlot, unsigned char iMode,
                                                 unsigned char iPowerLevel, unsigned char iLoopbackType);
QMSL_API unsigned char QLIB_FTM_GSM_ConfigLoopbackType(QmslHandle handle, unsigned char iLoopbackType);

/* --- EGPRS (the session itself is the GSM one) ---------------------------- */
QMSL_API unsigned char QLIB_FTM_EGPRS_BER_AssignBCCH(QmslHandle handle, unsigned short iChannel,
                                                     unsigned char iBand);
QMSL_API unsigned char QLIB_FTM_EGPRS_BER_StartIdleMode(QmslHandle handle);
QMSL_API unsigned char QLIB_FTM_EGPRS_BER_Configure_DL_TBF(QmslHandle handle, unsigned char iDL_TSC,
                                                           unsigned char iDL_TFI, unsigned short iChannel,
                                                           unsigned char iBand, unsigned char bFirstSlotActive,
                                                           unsigned char iFirstSlotNum,
                                                           unsigned char bSecondSlotActive,
                                                           unsigned char iSecondSlotNum);
QMSL_API unsigned char QLIB_FTM_EGPRS_BER_Configure_UL_TBF(QmslHandle handle, unsigned char iUL_TSC,
                                                           unsigned char iUSF, unsigned char iGamma,
                                                           unsigned char bFirstSlotActive,
                                                           unsigned char iFirstSlotNum,
                                                           unsigned char bSecondSlotActive,
                                                           unsigned char iSecondSlotNum);
QMSL_API unsigned char QLIB_FTM_EGPRS_BER_Establish_SRB_LOOPBACK(QmslHandle handle);
QMSL_API unsigned char QLIB_FTM_EGPRS_BER_Release_All_TBF(QmslHandle handle);
QMSL_API unsigned char QLIB_FTM_EGPRS_BER_ClearStatus(QmslHandle handle);
QMSL_API unsigned char QLIB_FTM_EGPRS_BER_GetStatus(QmslHandle handle, QMSL_EGPRS_BER_Status* pEGPRS_BER_Status);
QMSL_API unsigned char QLIB_FTM_EGPRS_BER_GetRxMetrics(QmslHandle handle, unsigned char* piRxLev_average);

/* --- WCDMA ---------------------------------------------------------------- */
QMSL_API unsigned char QLIB_FTM_WCDMA_BER_StartSession(QmslHandle handle, unsigned long iTimeOut_ms);
QMSL_API unsigned char QLIB_FTM_WCDMA_BER_StopSession(QmslHandle handle);
QMSL_API unsigned char QLIB_FTM_WCDMA_BER_AcquirePilot(QmslHandle handle, unsigned short iChannel);
QMSL_API unsigned char QLIB_FTM_WCDMA_BER_SetupRMC_DCH(QmslHandle handle, unsigned char iRMC_Type,
                                                       unsigned char iUL_MaxTxPwr, unsigned int iUL_DPCH_ScrCode,
                                                       unsigned char iUL_PCA, unsigned char iUL_TPC_StepSize,
                                                       unsigned short iDL_PriCPICH_Scr_Code,
                                                       unsigned short iDL_ChanCode);
QMSL_API unsigned char QLIB_FTM_WCDMA_BER_SetupDefaultRMC_DCH(QmslHandle handle);
QMSL_API unsigned char QLIB_FTM_WCDMA_BER_ClearStatus(QmslHandle handle);
QMSL_API unsigned char QLIB_FTM_WCDMA_BER_GetStatus(QmslHandle handle, unsigned char* pWCDMA_BER_State);
/* The radio bearer of SetupRMC_DCH, the two gain factors and the new
 * downlink channel. */
QMSL_API unsigned char QLIB_FTM_WCDMA_BER_Handover(QmslHandle handle, unsigned char iRMC_Type,
                                                   unsigned char iUL_MaxTxPwr, unsigned int iUL_DPCH_ScrCode,
                                                   unsigned char iUL_PCA, unsigned char iUL_TPC_StepSize,
                                                   unsigned short iDL_PriCPICH_Scr_Code,
                                                   unsigned short iDL_ChanCode, unsigned char iBetaC,
                                                   unsigned char iBetaD, unsigned short iChannel);
QMSL_API unsigned char QLIB_FTM_WCDMA_AGC_Start_Log(QmslHandle handle);
/* Waits up to iTimeout_ms for the next AGC record and copies it. */
QMSL_API unsigned char QLIB_FTM_WCDMA_AGC_WaitForNextLog(QmslHandle handle, QMSL_WCDMA_AGC_Log* pAGC_Log,
                                                         unsigned long iTimeout_ms);
QMSL_API unsigned char QLIB_FTM_WCDMA_AGC_Stop_Log(QmslHandle handle);

/* --- HSDPA ---------------------------------------------------------------- */
QMSL_API unsigned char QLIB_FTM_HSDPA_BER_StartSession(QmslHandle handle);
QMSL_API unsigned char QLIB_FTM_HSDPA_BER_StopSession(QmslHandle handle);
QMSL_API unsigned char QLIB_FTM_HSDPA_BER_ClearStatus(QmslHandle handle);
QMSL_API unsigned char QLIB_FTM_HSDPA_BER_GetStatus(QmslHandle handle, unsigned char* pHSDPA_BER_State);
QMSL_API unsigned char QLIB_FTM_HSDPA_BLER_Reconfigure_HS(QmslHandle handle, unsigned char iReconfigBitmask);
QMSL_API unsigned char QLIB_FTM_HSDPA_BLER_Configure_PDSCH(QmslHandle handle, unsigned short iHS_PDSCH_RadioLink_PCS);
/* aiCodes: iNumCodes channelisation codes, one byte each. */
QMSL_API unsigned char QLIB_FTM_HSDPA_BLER_Configure_HS_SCCH(QmslHandle handle, unsigned char iNumCodes,
                                                             const unsigned char* aiCodes);
/* aiMemPartitionInfo: one byte per HARQ process (iNum_HARQ_Processes). */
QMSL_API unsigned char QLIB_FTM_HSDPA_BLER_Configure_HS_DSCH(QmslHandle handle, unsigned short iH_RNTI,
                                                             unsigned char iNum_HARQ_Processes,
                                                             unsigned char bMemPartitionValid,
                                                             const unsigned char* aiMemPartitionInfo);
QMSL_API unsigned char QLIB_FTM_HSDPA_BLER_Configure_HS_DPCCH(QmslHandle handle, unsigned char iCPICH_PowerOffset,
                                                              unsigned char iCQI_FeedbackCycle,
                                                              unsigned char iCQI_RepetitionFactor,
                                                              unsigned char iDeltaCQI, unsigned char iDeltaACK,
                                                              unsigned char iDeltaNACK,
                                                              unsigned char iACK_NACK_RepetitionFactor);

#ifdef __cplusplus
}
#endif

#endif
