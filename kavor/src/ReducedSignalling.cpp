// Reduced-signalling bit-error-rate tests of GSM, WCDMA, HSDPA and EDGE
// against a call simulator, and a short call origination. Each is a fixed
// sequence of vendor calls; the phone keeps the test's state.
#include "InternalExports.h"
#include "ProcedureSteps.h"
#include "qmsl_ber.h"
#include "qmsl_diag_misc.h"

namespace kavor {

namespace {
template <typename T>
int valueOf(const T* p) {
    return p ? static_cast<int>(*p) : 0;
}
} // namespace

bool TestProcedures::reducedSignallingGsm(unsigned char* piRxLev, unsigned char* piRxQual, unsigned short iHoChannel,
                                          unsigned char iHoBand, unsigned char iTSC, unsigned char iHoSlot,
                                          unsigned char iHoMode, unsigned char iPowerLevel,
                                          unsigned char iHoLoopbackType, unsigned char bInitSession,
                                          unsigned short iChannel, unsigned char iBand, unsigned int iBCCH_TimeOut_ms,
                                          unsigned short iLoopbackType, unsigned char iSlot, unsigned char iMode,
                                          unsigned char bCloseControl) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    return runSteps(
        *this,
        {
            {"QLIB_FTM_GSM_BER_GetRxMetrics", [&] { return QLIB_FTM_GSM_BER_GetRxMetrics(h, piRxLev, piRxQual) != 0; },
             [&] {
                 return stepText("QLIB_FTM_GSM_BER_GetRxMetrics(piDED_RPtRxLev_Full = %c, piDED_RPtRxQual_Full = %c)",
                                 valueOf(piRxLev), valueOf(piRxQual));
             }},
            {"QLIB_FTM_GSM_BER_Handover",
             [&] {
                 return QLIB_FTM_GSM_BER_Handover(h, iHoChannel, iHoBand, iTSC, iHoSlot, iHoMode, iPowerLevel,
                                                  iHoLoopbackType) != 0;
             },
             [&] {
                 return stepText(
                     "QLIB_FTM_GSM_BER_Handover(iChannel = %d, iBand = %c, iTSC = %c, iSlot = %c, "
                     "iMode = %c, iPowerLevel = %c, iLoopbackType = %c)",
                     iHoChannel, iHoBand, iTSC, iHoSlot, iHoMode, iPowerLevel, iHoLoopbackType);
             }},
            {"KAVOR_FTM_GSM_BER_StartCall",
             [&] { return KAVOR_FTM_GSM_BER_StartCall(h, bInitSession, iChannel, iBand, iBCCH_TimeOut_ms) != 0; },
             [&] {
                 return stepText(
                     "KAVOR_FTM_GSM_BER_StartCall(bInitSession = %c, iChannel = %d, iBand = %c, "
                     "iBCCH_TimeOut_ms = %i)",
                     bInitSession, iChannel, iBand, static_cast<int>(iBCCH_TimeOut_ms));
             }},
            {"QLIB_FTM_GSM_BER_AssignTraffic",
             [&] { return QLIB_FTM_GSM_BER_AssignTraffic(h, iLoopbackType, iSlot, iMode) != 0; },
             [&] {
                 return stepText("QLIB_FTM_GSM_BER_AssignTraffic(iLoopbackType = %d, iSlot = %c, iMode = %c)",
                                 iLoopbackType, iSlot, iMode);
             }},
            {"KAVOR_FTM_GSM_BER_StopCall", [&] { return KAVOR_FTM_GSM_BER_StopCall(h, bCloseControl) != 0; },
             [&] { return stepText("KAVOR_FTM_GSM_BER_StopCall(bCloseControl = %c)", bCloseControl); }},
        });
}

bool TestProcedures::reducedSignallingWcdma(unsigned short iChannel, unsigned int iTimeOut_ms,
                                            unsigned char* pWCDMA_BER_State, unsigned char iRMC_Type,
                                            unsigned char iUL_MaxTxPwr, unsigned int iUL_DPCH_ScrCode,
                                            unsigned char iUL_PCA, unsigned char iUL_TPC_StepSize,
                                            unsigned short iDL_PriCPICH_Scr_Code, unsigned short iDL_ChanCode) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    return runSteps(
        *this,
        {
            {"QLIB_FTM_WCDMA_BER_AcquirePilot", [&] { return QLIB_FTM_WCDMA_BER_AcquirePilot(h, iChannel) != 0; },
             [&] { return stepText("QLIB_FTM_WCDMA_BER_AcquirePilot(iChannel = %d)", iChannel); }},
            {"QLIB_FTM_WCDMA_BER_SetupDefaultRMC_DCH", [&] { return QLIB_FTM_WCDMA_BER_SetupDefaultRMC_DCH(h) != 0; },
             fixedLine("QLIB_FTM_WCDMA_BER_SetupDefaultRMC_DCH()")},
            {"QLIB_FTM_WCDMA_BER_StartSession", [&] { return QLIB_FTM_WCDMA_BER_StartSession(h, iTimeOut_ms) != 0; },
             [&] {
                 return stepText("QLIB_FTM_WCDMA_BER_StartSession(iTimeOut_ms = %d)", static_cast<int>(iTimeOut_ms));
             }},
            {"QLIB_FTM_WCDMA_BER_StopSession", [&] { return QLIB_FTM_WCDMA_BER_StopSession(h) != 0; },
             fixedLine("QLIB_FTM_WCDMA_BER_StopSession()")},
            {"QLIB_FTM_WCDMA_BER_ClearStatus", [&] { return QLIB_FTM_WCDMA_BER_ClearStatus(h) != 0; },
             fixedLine("QLIB_FTM_WCDMA_BER_ClearStatus()")},
            {"QLIB_FTM_WCDMA_BER_GetStatus", [&] { return QLIB_FTM_WCDMA_BER_GetStatus(h, pWCDMA_BER_State) != 0; },
             [&] {
                 return stepText("QLIB_FTM_WCDMA_BER_GetStatus(pWCDMA_BER_State = %c)", valueOf(pWCDMA_BER_State));
             }},
            {"QLIB_FTM_WCDMA_BER_SetupRMC_DCH",
             [&] {
                 return QLIB_FTM_WCDMA_BER_SetupRMC_DCH(h, iRMC_Type, iUL_MaxTxPwr, iUL_DPCH_ScrCode, iUL_PCA,
                                                        iUL_TPC_StepSize, iDL_PriCPICH_Scr_Code, iDL_ChanCode) != 0;
             },
             [&] {
                 return stepText(
                     "QLIB_FTM_WCDMA_BER_SetupRMC_DCH(iRMC_Type = %c, iUL_MaxTxPwr = %c, "
                     "iUL_DPCH_ScrCode = %d, iUL_PCA = %c, iUL_TPC_StepSize = %c, "
                     "iDL_PriCPICH_Scr_Code = %d, iDL_ChanCode = %d)",
                     iRMC_Type, iUL_MaxTxPwr, static_cast<int>(iUL_DPCH_ScrCode), iUL_PCA, iUL_TPC_StepSize,
                     iDL_PriCPICH_Scr_Code, iDL_ChanCode);
             }},
        });
}

bool TestProcedures::reducedSignallingHsdpa(unsigned char iReconfigBitmask, unsigned short iHS_PDSCH_RadioLink_PCS,
                                            unsigned char iNumCodes, const unsigned char* aiCodes,
                                            unsigned short iH_RNTI, unsigned char iNum_HARQ_Processes,
                                            unsigned char bMemPartitionValid, const unsigned char* aiMemPartitionInfo,
                                            unsigned char iCPICH_PowerOffset, unsigned char iCQI_FeedbackCycle,
                                            unsigned char iCQI_RepetitionFactor, unsigned char iDeltaCQI,
                                            unsigned char iDeltaACK, unsigned char iDeltaNACK,
                                            unsigned char iACK_NACK_RepetitionFactor, unsigned char* pHSDPA_BER_State) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    return runSteps(
        *this,
        {
            {"QLIB_FTM_HSDPA_BER_StartSession", [&] { return QLIB_FTM_HSDPA_BER_StartSession(h) != 0; },
             fixedLine("QLIB_FTM_HSDPA_BER_StartSession()")},
            {"QLIB_FTM_HSDPA_BLER_Reconfigure_HS",
             [&] { return QLIB_FTM_HSDPA_BLER_Reconfigure_HS(h, iReconfigBitmask) != 0; },
             [&] { return stepText("QLIB_FTM_HSDPA_BLER_Reconfigure_HS(iReconfigBitmask = %c)", iReconfigBitmask); }},
            {"QLIB_FTM_HSDPA_BLER_Configure_PDSCH",
             [&] { return QLIB_FTM_HSDPA_BLER_Configure_PDSCH(h, iHS_PDSCH_RadioLink_PCS) != 0; },
             [&] {
                 return stepText("QLIB_FTM_HSDPA_BLER_Configure_PDSCH(iHS_PDSCH_RadioLink_PCS = %d)",
                                 iHS_PDSCH_RadioLink_PCS);
             }},
            {"QLIB_FTM_HSDPA_BLER_Configure_HS_SCCH",
             [&] { return QLIB_FTM_HSDPA_BLER_Configure_HS_SCCH(h, iNumCodes, aiCodes) != 0; },
             [&] {
                 return stepText("QLIB_FTM_HSDPA_BLER_Configure_HS_SCCH(iNumCodes = %c, aiCodes = %s)", iNumCodes,
                                 shownBytes(aiCodes, iNumCodes).c_str());
             }},
            {"QLIB_FTM_HSDPA_BLER_Configure_HS_DSCH",
             [&] {
                 return QLIB_FTM_HSDPA_BLER_Configure_HS_DSCH(h, iH_RNTI, iNum_HARQ_Processes, bMemPartitionValid,
                                                              aiMemPartitionInfo) != 0;
             },
             [&] {
                 return stepText(
                     "QLIB_FTM_HSDPA_BLER_Configure_HS_DSCH(iH_RNTI = %d, iNum_HARQ_Processes = %c, "
                     "bMemPartitionValid = %c, aiMemPartitionInfo = %s)",
                     iH_RNTI, iNum_HARQ_Processes, bMemPartitionValid,
                     shownBytes(aiMemPartitionInfo, iNum_HARQ_Processes).c_str());
             }},
            {"QLIB_FTM_HSDPA_BLER_Configure_HS_DPCCH",
             [&] {
                 return QLIB_FTM_HSDPA_BLER_Configure_HS_DPCCH(h, iCPICH_PowerOffset, iCQI_FeedbackCycle,
                                                               iCQI_RepetitionFactor, iDeltaCQI, iDeltaACK, iDeltaNACK,
                                                               iACK_NACK_RepetitionFactor) != 0;
             },
             [&] {
                 return stepText(
                     "QLIB_FTM_HSDPA_BLER_Configure_HS_DPCCH(iCPICH_PowerOffset = %c, "
                     "iCQI_FeedbackCycle = %c, iCQI_RepetitionFactor = %c, iDeltaCQI = %c, "
                     "iDeltaACK = %c, iDeltaNACK = %c, iACK_NACK_RepetitionFactor = %c)",
                     iCPICH_PowerOffset, iCQI_FeedbackCycle, iCQI_RepetitionFactor, iDeltaCQI, iDeltaACK, iDeltaNACK,
                     iACK_NACK_RepetitionFactor);
             }},
            {"QLIB_FTM_HSDPA_BER_ClearStatus", [&] { return QLIB_FTM_HSDPA_BER_ClearStatus(h) != 0; },
             fixedLine("QLIB_FTM_HSDPA_BER_ClearStatus()")},
            {"QLIB_FTM_HSDPA_BER_GetStatus", [&] { return QLIB_FTM_HSDPA_BER_GetStatus(h, pHSDPA_BER_State) != 0; },
             [&] {
                 return stepText("QLIB_FTM_HSDPA_BER_GetStatus(pHSDPA_BER_State = %c)", valueOf(pHSDPA_BER_State));
             }},
            {"QLIB_FTM_HSDPA_BER_StopSession", [&] { return QLIB_FTM_HSDPA_BER_StopSession(h) != 0; },
             fixedLine("QLIB_FTM_HSDPA_BER_StopSession()")},
        });
}

bool TestProcedures::reducedSignallingEdge(
    unsigned char bInitSession, unsigned short iChannel, unsigned char iBand, unsigned int iBCCH_TimeOut_ms,
    unsigned char iDL_TSC, unsigned char iDL_TFI, unsigned short /*iUnusedChannel*/, unsigned char /*iUnusedBand*/,
    unsigned char bFirstSlotActive, unsigned char iFirstSlotNum, unsigned char bSecondSlotActive,
    unsigned char iSecondSlotNum, unsigned char iUL_TSC, unsigned char iUSF, unsigned char iGamma,
    unsigned char /*bUnusedFirstSlotActive*/, unsigned char /*iUnusedFirstSlotNum*/,
    unsigned char /*bUnusedSecondSlotActive*/, unsigned char /*iUnusedSecondSlotNum*/,
    QMSL_EGPRS_BER_Status* pEGPRS_BER_State, unsigned char* piRxLev_average) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    // The downlink block flow runs on the call's channel and band; the
    // uplink one takes the downlink's slot settings.
    return runSteps(
        *this,
        {
            {"KAVOR_FTM_EGPRS_BER_StartCall",
             [&] { return KAVOR_FTM_EGPRS_BER_StartCall(h, bInitSession, iChannel, iBand, iBCCH_TimeOut_ms) != 0; },
             [&] {
                 return stepText(
                     "KAVOR_FTM_EGPRS_BER_StartCall(bInitSession = %c, iChannel = %d, iBand = %c, "
                     "iBCCH_TimeOut_ms = %i)",
                     bInitSession, iChannel, iBand, static_cast<int>(iBCCH_TimeOut_ms));
             }},
            {"QLIB_FTM_EGPRS_BER_StartIdleMode", [&] { return QLIB_FTM_EGPRS_BER_StartIdleMode(h) != 0; },
             fixedLine("QLIB_FTM_EGPRS_BER_StartIdleMode()")},
            {"QLIB_FTM_EGPRS_BER_Configure_DL_TBF",
             [&] {
                 return QLIB_FTM_EGPRS_BER_Configure_DL_TBF(h, iDL_TSC, iDL_TFI, iChannel, iBand, bFirstSlotActive,
                                                            iFirstSlotNum, bSecondSlotActive, iSecondSlotNum) != 0;
             },
             [&] {
                 return stepText(
                     "QLIB_FTM_EGPRS_BER_Configure_DL_TBF(iDL_TSC = %c, iDL_TFI = %c, iChannel = %d, "
                     "iBand = %c, bFirstSlotActive = %c, iFirstSlotNum = %c, bSecondSlotActive = %c, "
                     "iSecondSlotNum = %c)",
                     iDL_TSC, iDL_TFI, iChannel, iBand, bFirstSlotActive, iFirstSlotNum, bSecondSlotActive,
                     iSecondSlotNum);
             }},
            {"QLIB_FTM_EGPRS_BER_Configure_UL_TBF",
             [&] {
                 return QLIB_FTM_EGPRS_BER_Configure_UL_TBF(h, iUL_TSC, iUSF, iGamma, bFirstSlotActive, iFirstSlotNum,
                                                            bSecondSlotActive, iSecondSlotNum) != 0;
             },
             [&] {
                 return stepText(
                     "QLIB_FTM_EGPRS_BER_Configure_UL_TBF(iUL_TSC = %c, iUSF = %c, iGamma = %c, "
                     "bFirstSlotActive = %c, iFirstSlotNum = %c, bSecondSlotActive = %c, "
                     "iSecondSlotNum = %c)",
                     iUL_TSC, iUSF, iGamma, bFirstSlotActive, iFirstSlotNum, bSecondSlotActive, iSecondSlotNum);
             }},
            {"QLIB_FTM_EGPRS_BER_Establish_SRB_LOOPBACK",
             [&] { return QLIB_FTM_EGPRS_BER_Establish_SRB_LOOPBACK(h) != 0; },
             fixedLine("QLIB_FTM_EGPRS_BER_Establish_SRB_LOOPBACK()")},
            {"QLIB_FTM_EGPRS_BER_Release_All_TBF", [&] { return QLIB_FTM_EGPRS_BER_Release_All_TBF(h) != 0; },
             fixedLine("QLIB_FTM_EGPRS_BER_Release_All_TBF()")},
            {"QLIB_FTM_EGPRS_BER_ClearStatus", [&] { return QLIB_FTM_EGPRS_BER_ClearStatus(h) != 0; },
             fixedLine("QLIB_FTM_EGPRS_BER_ClearStatus()")},
            {"QLIB_FTM_EGPRS_BER_GetStatus", [&] { return QLIB_FTM_EGPRS_BER_GetStatus(h, pEGPRS_BER_State) != 0; },
             [&] {
                 return stepText("QLIB_FTM_EGPRS_BER_GetStatus(pEGPRS_BER_State = %c)",
                                 pEGPRS_BER_State ? pEGPRS_BER_State->iEGPRS_BER_State : 0);
             }},
            {"QLIB_FTM_EGPRS_BER_GetRxMetrics",
             [&] { return QLIB_FTM_EGPRS_BER_GetRxMetrics(h, piRxLev_average) != 0; },
             [&] {
                 return stepText("QLIB_FTM_EGPRS_BER_GetRxMetrics(piRxLev_average = %c)", valueOf(piRxLev_average));
             }},
        });
}

bool TestProcedures::startCall(unsigned char iNumDigits, const unsigned char* aiIMSI) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    // The call is only originated and ended again: both commands must be taken.
    return runSteps(
        *this, {
                   {"QLIB_DIAG_GSM_CALL_ORIG_F", [&] { return QLIB_DIAG_GSM_CALL_ORIG_F(h, iNumDigits, aiIMSI) != 0; },
                    [&] {
                        return stepText("QLIB_DIAG_GSM_CALL_ORIG_F(iNumDigits = %d, aiIMSI = %s)", iNumDigits,
                                        shownBytes(aiIMSI, iNumDigits).c_str());
                    }},
                   {"QLIB_DIAG_GSM_CALL_END_F", [&] { return QLIB_DIAG_GSM_CALL_END_F(h) != 0; },
                    fixedLine("QLIB_DIAG_GSM_CALL_END_F()")},
               });
}

} // namespace kavor
