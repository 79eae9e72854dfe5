// The composite test procedures of one connection: sequences of vendor
// calls, extension commands and control-line box actions that a station runs
// as one step. Each procedure writes a step log into the vendor text log of
// its handle. Procedures reach one another by handle, through the entry
// points of the export tables, never by object pointer.
#pragma once

#include "ControlLineBox.h"
#include "qmsl.h"
#include "qmsl_ber.h"
#include "qmsl_download.h"

#include <cstdarg>
#include <cstdint>

namespace kavor {

class TestProcedures {
public:
    explicit TestProcedures(QmslHandle handle) : handle_(handle) {}
    ~TestProcedures();
    TestProcedures(const TestProcedures&) = delete;
    TestProcedures& operator=(const TestProcedures&) = delete;

    QmslHandle handle() const { return handle_; }
    ControlLineBox& box() { return box_; }

    // Kinds of step-log lines.
    enum StepKind { StepFailed = 0, StepDone = 1, StepInfo = 2 };
    // Formats one step line and writes it to the text log; always true.
    bool logStep(int iKind, const char* pcFormat, ...) __attribute__((format(printf, 3, 4)));
    // Writes the result line of a call (done or failed) and gives bOk back.
    bool logResult(bool bOk, const char* pcFormat, ...) __attribute__((format(printf, 3, 4)));

    // --- shared steps (TestProcedures.cpp) ---
    bool checkHandle();
    bool nvWrite(unsigned short usItemId, const unsigned char* pItemData, int iLength);
    bool nvRead(unsigned short usItemId, unsigned char* pItemData, int iLength);
    bool nvReadLogged(unsigned short usItemId, unsigned char* pItemData, int iLength);
    bool startLog(const char* pcLogFile);

    // --- mode change and box power (ModeChange.cpp, BootBoxPower.cpp) ---
    bool modeChangeResetMobile(unsigned char ucFtm);
    bool bootBoxSwitchMobileOn(unsigned short usBootBoxPort, unsigned char ucMode);
    bool bootBoxSwitchMobileOff(unsigned short usBootBoxPort);

    // --- phone model (PhoneModel.cpp) ---
    bool phoneModel(unsigned int* piHwId, unsigned int* piMsmModel, unsigned int* piPhoneModel);
    bool getPhoneModel(unsigned int iHwId, unsigned int iMsmModel, unsigned int* piPhoneModel);

    // --- register bits, keypad backlight and display switch (RegisterBits.cpp,
    // KeypadBacklight.cpp, DisplaySwitch.cpp) ---
    bool setBitState8Reg(unsigned int iAddress, unsigned char iMask, unsigned char bOnOff);
    bool setBitState32Reg(unsigned int iAddress, unsigned int iMask, unsigned char bOnOff);
    bool setKeyPadBackLightGpio(unsigned short rowNumber, unsigned char backLightOn);
    bool specialSwitchDisplay(unsigned char iOn);

    // --- audio, FM radio, transmitter, Bluetooth, charger, ADC averages,
    // software build and storage (AudioProcedures.cpp, FmRadioProcedures.cpp,
    // TxPowerProcedures.cpp, BluetoothProcedures.cpp, ChargerProcedures.cpp,
    // AdcAverages.cpp, SoftwareBuild.cpp, FlashAndCardTests.cpp) ---
    bool microphoneBiasVoltages(unsigned short iAudioDevice);
    bool audioTest(unsigned short iAudioDevice, unsigned char bLoopbackOn);
    bool testSpeaker(unsigned short iAudioDevice, unsigned char iVolume, unsigned short iHiFreq,
                     unsigned short iLoFreq);
    bool testMicrophone(unsigned short iNumBuffers, unsigned int iDataOffset, unsigned short iDataSize,
                        unsigned char* pBuffer, unsigned short iItemID, const unsigned char* pItemData, int iLength,
                        short iCodecTxGainAdjust);
    bool fmRadioTest(unsigned short iAudioDevice, unsigned short* piChip_Id, unsigned short iChannel,
                     unsigned short* piTuneStatus, unsigned char* piFmInfo);
    bool specialGetFmRadioInfo(unsigned char eFmData, unsigned char* piFmData);
    bool gsmPaOutputPower(unsigned short eMode, unsigned short iChannel, unsigned char iSlotNum, short iDataSource,
                          unsigned char iTSCindex, int iNumBursts, unsigned char bIsInfiniteDuration,
                          unsigned short iDACinput);
    bool setTxPowerOn(unsigned short eMode, unsigned short iChannel, unsigned char iPowerLevelID,
                      unsigned char iSlotNum, short iDataSource, unsigned char iTSCindex, int iNumBursts,
                      unsigned char bIsInfiniteDuration);
    bool wcdmaPaOutputPower(unsigned short eMode, unsigned short iChannel, unsigned short iPArange,
                            unsigned char bSelectCW, unsigned short iPDMtype, unsigned short iPDMvalue);
    bool afcDeviation(unsigned short eMode, unsigned short iChannel, unsigned short iPArange, unsigned char bSelectCW,
                      unsigned short iPDMtype, unsigned short iPDMvalue);
    bool setCwPowerBluetooth(unsigned char iChannel);
    bool bluetoothTestConnect(char* szAddr);
    bool bluetoothHwId(unsigned int* piModuleVersion, unsigned short* piStatus, unsigned char* piParam1,
                       unsigned char* piParam2, unsigned char* piParam3);
    bool ftmBtSetAddr(const char* szAddr);
    bool chargingTest(unsigned char iLowPowerMode, unsigned char iChgSwitch7Command, unsigned char eChgTransistor,
                      unsigned char bState, unsigned char iChgSwitch3Command, unsigned int iVoltage,
                      unsigned int iCurrent, unsigned char eChgTransistorRead, unsigned char* pbState);
    bool specialSetChargeFetState(unsigned char eChgTransistor, unsigned char bState);
    bool specialGetChargeFetState(unsigned char eChgTransistor, unsigned char* pbState);
    bool specialSetPmicChargeLimits(unsigned int iVoltage, unsigned int iCurrent);
    bool checkDacValues(unsigned short iAverageCount, double* pdAverage1, unsigned short iAverageCount2,
                        double* pdAverage2, double* pdAverage3);
    bool checkSwBuild(char* comp_date, char* comp_time, char* rel_date, char* rel_time, char* ver_dir,
                      unsigned char* scm, unsigned char* mob_cai_rev, unsigned char* mob_model,
                      unsigned short* mob_firm_rev, unsigned char* slot_cycle_index, unsigned char* voc_maj,
                      unsigned char* voc_min, unsigned int* msmHwVersion, unsigned int* mobileModel,
                      char* softwareRevision, char* modelText);
    bool flashTest(unsigned int* piFlashId);
    bool specialMmcTest();
    // --- RF adjustment (RxAdjustment.cpp) and its NV items (RxCalibrationItems.cpp) ---
    bool rxGsmAdjust(unsigned char* cBin3, unsigned short eNewMode, unsigned short iChannel, unsigned char iSlotNum,
                     short iRxFunction, unsigned char iLNArange, unsigned short* piRssiValue);
    bool rxWcdmaAdjust(unsigned char iLNArange, short iExpectedRX_AGC, short* piDVGAoffset, unsigned short iItemID,
                       const unsigned char* pItemData, int iLength, unsigned short* piNvStatus,
                       unsigned short eVgaNvBand, short iVgaOffset, const unsigned char* piVgaVsFreq,
                       unsigned short eFallNvBand, short* piFall1, short* piFall2, short* piFall3,
                       unsigned short iItemID2, unsigned char* pItemData2, int iLength2, unsigned short* piNvStatus2,
                       unsigned short eRiseNvBand, short* piRise1, short* piRise2, short* piRise3, int iLNAindex,
                       short iExpectedRX_AGC2, short* piLNAoffsetValue);
    bool writeRxAdjustmentValues(
        unsigned char bStartBatchMode,
        const unsigned char* pGsm900Range1, const unsigned char* pGsm900Range2, const unsigned char* pGsm900Range3,
        const unsigned char* pGsm900Range4, const unsigned char* pGsm1900Range1, const unsigned char* pGsm1900Range2,
        const unsigned char* pGsm1900Range3, const unsigned char* pGsm1900Range4, const unsigned char* pGsm1800Range1,
        const unsigned char* pGsm1800Range2, const unsigned char* pGsm1800Range3, const unsigned char* pGsm1800Range4,
        const unsigned char* pGsm850Range1, const unsigned char* pGsm850Range2, const unsigned char* pGsm850Range3,
        const unsigned char* pGsm850Range4,
        unsigned char eLnaNvBand, short iOffset1, const unsigned char* piVsFreq1, short iOffset2,
        const unsigned char* piVsFreq2, short iOffset3, const unsigned char* piVsFreq3, unsigned short eVgaNvBand,
        short iVgaOffset, const unsigned char* piVgaVsFreq);
    bool nvWriteWcdmaVgaGain(unsigned short eNvBand, short iOffset, const unsigned char* piVsFreq);
    bool nvReadWcdmaLnaRangeFall(unsigned short eNvBand, short* piFall1, short* piFall2, short* piFall3);
    bool nvReadWcdmaLnaRangeRise(unsigned short eNvBand, short* piRise1, short* piRise2, short* piRise3);
    // The sixteen GSM receive gain ranges: GSM 900, 1900, 1800 and 850, ranges 1 to 4 each.
    bool nvWriteGsmRxGainRange(
        const unsigned char* pGsm900Range1, const unsigned char* pGsm900Range2, const unsigned char* pGsm900Range3,
        const unsigned char* pGsm900Range4, const unsigned char* pGsm1900Range1, const unsigned char* pGsm1900Range2,
        const unsigned char* pGsm1900Range3, const unsigned char* pGsm1900Range4, const unsigned char* pGsm1800Range1,
        const unsigned char* pGsm1800Range2, const unsigned char* pGsm1800Range3, const unsigned char* pGsm1800Range4,
        const unsigned char* pGsm850Range1, const unsigned char* pGsm850Range2, const unsigned char* pGsm850Range3,
        const unsigned char* pGsm850Range4);
    bool nvWriteWcdmaLnaOffset(unsigned char eNvBand, short iOffset1, const unsigned char* piVsFreq1, short iOffset2,
                               const unsigned char* piVsFreq2, short iOffset3, const unsigned char* piVsFreq3);
    bool nvWriteFlushBatchQueue();

    // --- reduced signalling (ReducedSignalling.cpp, BerCalls.cpp) ---
    bool reducedSignallingGsm(unsigned char* piRxLev, unsigned char* piRxQual, unsigned short iHoChannel,
                              unsigned char iHoBand, unsigned char iTSC, unsigned char iHoSlot, unsigned char iHoMode,
                              unsigned char iPowerLevel, unsigned char iHoLoopbackType, unsigned char bInitSession,
                              unsigned short iChannel, unsigned char iBand, unsigned int iBCCH_TimeOut_ms,
                              unsigned short iLoopbackType, unsigned char iSlot, unsigned char iMode,
                              unsigned char bCloseControl);
    bool reducedSignallingWcdma(unsigned short iChannel, unsigned int iTimeOut_ms, unsigned char* pWCDMA_BER_State,
                                unsigned char iRMC_Type, unsigned char iUL_MaxTxPwr, unsigned int iUL_DPCH_ScrCode,
                                unsigned char iUL_PCA, unsigned char iUL_TPC_StepSize,
                                unsigned short iDL_PriCPICH_Scr_Code, unsigned short iDL_ChanCode);
    bool reducedSignallingHsdpa(unsigned char iReconfigBitmask, unsigned short iHS_PDSCH_RadioLink_PCS,
                                unsigned char iNumCodes, const unsigned char* aiCodes, unsigned short iH_RNTI,
                                unsigned char iNum_HARQ_Processes, unsigned char bMemPartitionValid,
                                const unsigned char* aiMemPartitionInfo, unsigned char iCPICH_PowerOffset,
                                unsigned char iCQI_FeedbackCycle, unsigned char iCQI_RepetitionFactor,
                                unsigned char iDeltaCQI, unsigned char iDeltaACK, unsigned char iDeltaNACK,
                                unsigned char iACK_NACK_RepetitionFactor, unsigned char* pHSDPA_BER_State);
    bool reducedSignallingEdge(unsigned char bInitSession, unsigned short iChannel, unsigned char iBand,
                               unsigned int iBCCH_TimeOut_ms, unsigned char iDL_TSC, unsigned char iDL_TFI,
                               unsigned short iUnusedChannel, unsigned char iUnusedBand,
                               unsigned char bFirstSlotActive, unsigned char iFirstSlotNum,
                               unsigned char bSecondSlotActive, unsigned char iSecondSlotNum, unsigned char iUL_TSC,
                               unsigned char iUSF, unsigned char iGamma, unsigned char bUnusedFirstSlotActive,
                               unsigned char iUnusedFirstSlotNum, unsigned char bUnusedSecondSlotActive,
                               unsigned char iUnusedSecondSlotNum, QMSL_EGPRS_BER_Status* pEGPRS_BER_State,
                               unsigned char* piRxLev_average);
    bool startCall(unsigned char iNumDigits, const unsigned char* aiIMSI);
    bool ftmGsmBerStartCall(unsigned char bInitSession, unsigned short iChannel, unsigned char iBand,
                            unsigned int iBCCH_TimeOut_ms);
    bool ftmEgprsBerStartCall(unsigned char bInitSession, unsigned short iChannel, unsigned char iBand,
                              unsigned int iBCCH_TimeOut_ms);
    bool ftmGsmBerStopCall(unsigned char bCloseControl);

    // --- network presets (NetworkPresets.cpp), IMEI (Imei.cpp), mode switching,
    // virtual SIM and clock (ModeSwitch.cpp) ---
    bool networkAndChannelPreselection(unsigned char eScanMode, unsigned char eNetwMode, unsigned short uiChannel);
    bool nvWriteNetworkScanMode(unsigned char eNetwMode);
    bool nvWriteLastGoodChannel(unsigned char eNetwMode, unsigned short uiChannel);
    bool nvSetRoamingListStatus(unsigned char bOn);
    bool nvSetAutoAnswerStatus(unsigned char bOn);
    bool nvReadImei(char* pcImei);
    bool nvWriteImei(const char* pcImei);
    bool onlineToFtm();
    bool ftmToOnline();
    bool virtualSim(const char* pcSpc, unsigned char* piSPC_Result);
    bool specialSetRtcActualTime();
    bool simSimulation();
    // --- peripheral procedures (SupplySwitches.cpp, FlipSensor.cpp,
    // CameraProcedures.cpp, ContrastPatterns.cpp, KeypadMapping.cpp) ---
    // Runs KAVOR_Phone_Model as a step with the line that shows the hardware
    // id, MSM model and phone-model code it returned.
    bool phoneModelStep(unsigned int* piPhoneModel);
    // Reads one bit of a 32-bit register: the register into *piReg, '1' or
    // '0' into *pcOnOff; a bit number above 31 fails.
    bool getBitState32Reg(unsigned int iAddress, unsigned short iBitNum, unsigned int* piReg, char* pcOnOff);
    bool supplyVoltageTest(unsigned char iCameraNum, unsigned char iBacklightLevel, unsigned char iSecondSupply,
                           unsigned char iAccSupply);
    bool specialSwitchAccSupplyVoltage(unsigned char iOn);
    bool testFlip(char* pcFlipState, unsigned char bSkipModelQuery);
    bool tarvCameraSwitch(unsigned char iCameraNum);
    bool i2cGetCameraId(unsigned char iCamNum, unsigned short* piCamId);
    bool drawContrastPattern(const char* sFileName, unsigned char uiDsplNum);
    bool drawContrastPattern24Bit(const char* sFileName, unsigned char uiDsplNum);
    bool specialSetKeypadMapping(unsigned char iMappingId);
    bool testKeypad(int* piQueueSize, unsigned short* piKeyId, unsigned char* piKeyEvent);

    // --- identity freeze check, uploads, factory byte and memory patch
    // (FreezeCheck.cpp, Uploads.cpp, FactoryPatch.cpp) ---
    bool diagFreezePhone(const unsigned char* pImei, const unsigned char* pBtAddress, const unsigned char* pSerialNumber,
                         const unsigned char* pRootKey);
    bool uploadCefsFile2(const char* sFileName, const char* sPartitionFileName);
    bool uploadCefsFile(const char* sFileName, const char* sPartitionFileName);
    bool uploadMultiImage(QMSL_MULTI_IMAGE_PARAMS);
    bool setFactoryTrackingByte(unsigned char iOperationType, unsigned short iDataAddress, unsigned char* piData);
    bool diagDisable48kHz();

    // Texts of one wait for the offline state (the two procedures that wait
    // word their lines differently).
    struct OfflineWaitTexts {
        const char* pcStart;       // information line before each poll, or null
        bool bShowState;           // status line with the state read
        const char* pcInOffline;   // information line once offline
        const char* pcNotOffline;  // failure line when the time is up
    };
    // Polls the status every 250 ms for up to 12 s until the phone is offline.
    bool waitForOffline(const OfflineWaitTexts& texts);

private:
    void writeStep(int iKind, const char* pcFormat, va_list args);
    QmslHandle handle_;
    ControlLineBox box_;
};

// The phone-model code of a (hardware id, MSM model) pair; 0 when unknown.
unsigned int phoneModelCode(unsigned int iHwId, unsigned int iMsmModel);
// The MSM model of a hardware version value; the build id's own value
// 0x120400E1 counts only when it came from the build id.
unsigned int msmModelOf(unsigned int iValue, bool bFromBuildId);

} // namespace kavor
