// The shared library exports exactly the operations of its public header.
#include "export_check.h"

#include <gtest/gtest.h>

namespace {

TEST(TesselExports, AreExactlyThePublicOperations) {
    const std::set<std::string> expected = {
        // sessions, init, close, revision and status texts
        "_Tessel_init", "_Tessel_close", "_Tessel_errorMessage", "_Tessel_revisionQuery", "_Tessel_PutDtrState",
        "_Tessel_GetDtrState", "_Tessel_PutUserDefinedTimeoutInitial", "_Tessel_GetUserDefinedTimeoutInitial",
        // tracing and code texts
        "_Tessel_TraceDelay", "_Tessel_KlfGet_cEHwProject", "_Tessel_KlfGet_cFlashID", "_Tessel_KlfGet_cMobileType",
        "_Tessel_KlfGet_cKeyID", "_Tessel_KlfGet_cCamID",
        // connection, diagnostic and FTM operations with rules of their own, light levels, keypad switch
        "_Tessel_ConnectServer", "_Tessel_DisonnectServer", "_Tessel_IsPhoneConnected", "_Tessel_GetMobModel",
        "_Tessel_SetMobModel", "_Tessel_DiagNvReadF", "_Tessel_DiagNvWriteF", "_Tessel_DiagControlF",
        "_Tessel_DiagSpcF", "_Tessel_FtmReadWriteFactoryData", "_Tessel_DiagVernoF", "_Tessel_LoadRfNv",
        "_Tessel_FtmSetLowPowerMode", "_Tessel_FtmGetNandFlashId", "_Tessel_FtmTestFtmPmicUsb",
        "_Tessel_SimSimulation", "_Tessel_GsdidiagSimSecureStoreCmd", "_Tessel_GsdidiagSimSecureReadCmd",
        "_Tessel_GsdidiagSecureDeviceInfoCmd", "_Tessel_GsdidiagRootKeyWriteCmd", "_Tessel_GsdidiagRootKeyReadCmd",
        "_Tessel_GetAllPortList", "_Tessel_GetAvailablePhonesPortList", "_Tessel_AddPortAliasEntry",
        "_Tessel_ClearPortAliasList",
        "_Tessel_FtmSetBacklightLevel", "_Tessel_FtmSetPwmLightLevel", "_Tessel_SpecialSwitchKeypad",
        // the plain operations
        "_Tessel_AbortSwDownloadOperation", "_Tessel_DiagHsKeyF", "_Tessel_FtmSetMode", "_Tessel_FtmSetPdm",
        "_Tessel_FtmSetPdmSigned", "_Tessel_FtmSetTxOn", "_Tessel_FtmSetTxOff", "_Tessel_FtmSetLnaRange",
        "_Tessel_FtmSetChan", "_Tessel_FtmGetAdcVal", "_Tessel_FtmGetRxAgc", "_Tessel_FtmGetSynthState",
        "_Tessel_FtmCdmaCwWaveform", "_Tessel_FtmSetLnaOffset", "_Tessel_FtmSetPaRange", "_Tessel_FtmGetCdmaIm2",
        "_Tessel_FtmSetDvgaOffset", "_Tessel_FtmTxSweepCal", "_Tessel_FtmGetDvgaOffset", "_Tessel_FtmGetLnaOffset",
        "_Tessel_FtmGetHdetFromTxSweepCal", "_Tessel_FtmSetHdetTracking", "_Tessel_FtmConfigureTxSweepCal",
        "_Tessel_FtmGetAllHdetFromTxSweepCal", "_Tessel_FtmSetFlashLightLevel", "_Tessel_FtmSetPaProfile",
        "_Tessel_FtmSetTransmitCont", "_Tessel_FtmSetTransmitBurst", "_Tessel_FtmSetRxBurst",
        "_Tessel_FtmSetRxContinuous", "_Tessel_FtmSetTxPowerLevel", "_Tessel_FtmGetRssi", "_Tessel_FtmSetPaDacInput",
        "_Tessel_FtmSetTxCalSweep", "_Tessel_FtmWriteGsmTxLinearizer", "_Tessel_FtmGetHardwareVersion",
        "_Tessel_FtmGetFuelGaugeVersion", "_Tessel_FtmSimReadImsi", "_Tessel_FtmMmcFileAccess",
        "_Tessel_FtmTestIrdaTxRx", "_Tessel_SetDTR_State", "_Tessel_FtmIrdaOnOff", "_Tessel_FtmDisplayImage",
        "_Tessel_FtmConfigureSwitch", "_Tessel_FtmGetHwId", "_Tessel_DiagExtBuildIdF", "_Tessel_DiagStatusF",
        "_Tessel_DiagErrReadF", "_Tessel_DiagErrClearF", "_Tessel_DiagSecurityFreeze", "_Tessel_GetComPortNumber",
        "_Tessel_DiagGsmStatusF", "_Tessel_DiagGsmCallOrigF", "_Tessel_DiagGsmCallEndF",
        "_Tessel_DiagHsDisplayGetParamsCmd", "_Tessel_FtmTestCameraFlash", "_Tessel_ConfigureSwDownloadTimeOut",
        "_Tessel_FlushRxBuffer",
        // software download, phone logging and keypad
        "_Tessel_ConfigureCallBacks", "_Tessel_UploadHexFile", "_Tessel_GetLastSoftwareDownloadErrorInfo",
        "_Tessel_DownloadQcnFile", "_Tessel_UploadQcnFile", "_Tessel_UploadMultiImage", "_Tessel_UploadCEFS_File",
        "_Tessel_DiagNvCnvDiagBackupF", "_Tessel_DiagSetPhoneLoggingState", "_Tessel_DiagClearPhoneLogQueue",
        "_Tessel_DiagGetNextPhoneLog", "_Tessel_DiagSetExtendedLogCode", "_Tessel_StartLogging",
        "_Tessel_StartLoggingExt", "_Tessel_SetLogFlags", "_Tessel_StartExtLogging", "_Tessel_DumpAsyncMsg",
        "_Tessel_DiagFindDebugMessage", "_Tessel_DiagKeyPressStartCapture", "_Tessel_DiagKeyPressClearQueue",
        "_Tessel_DiagKeyPressGetQueueSize", "_Tessel_DiagKeyPressGetNextKeyEvent", "_Tessel_DiagKeyPressStopCapture",
        "_Tessel_SpecialSetKeypadMapping",
        // boot box, library type and connection handle
        "_Tessel_SpecialMZ4BootBoxInit", "_Tessel_SpecialMZ4BootBoxClose", "_Tessel_SpecialMZ4BootBoxSetLinkMode",
        "_Tessel_GetQLibType", "_Tessel_GetComHandle",
        // NV items
        "_Tessel_NvReadImei", "_Tessel_NvWriteImei", "_Tessel_NvReadBDAddr", "_Tessel_NvWriteBDAddr",
        "_Tessel_NvWriteRawBDAddr", "_Tessel_NvReadDSN", "_Tessel_NvWriteDSN", "_Tessel_NvSetFtmFlag",
        "_Tessel_NvSetBatteryFakeFlag", "_Tessel_NvGetBatteryFakeFlag", "_Tessel_NvSetAirSecurityFlag",
        "_Tessel_NvGetAirSecurityFlag", "_Tessel_NvSetAutoAnswerStatus", "_Tessel_NvReadFactNBytes",
        "_Tessel_NvWriteFactNBytes", "_Tessel_NvWriteNetworkScanMode", "_Tessel_NvWriteLastGoodChannel",
        "_Tessel_NvDeleteNetworkInformation", "_Tessel_NvSetRoamingListStatus", "_Tessel_NvResetVcoTuningTable",
        "_Tessel_NvResetIqLineResistorCal", "_Tessel_NvWriteMicGainAdjust", "_Tessel_NvWriteVcoValues",
        "_Tessel_SetDefaultVco", "_Tessel_DiagNvWriteSetBatchMode", "_Tessel_DiagNvWriteFlushBatchQueue",
        "_Tessel_NvWriteWcdmaVgaGain", "_Tessel_NvWriteWcdmaLnaOffset", "_Tessel_NvReadWcdmaLnaRangeRise",
        "_Tessel_NvReadWcdmaLnaRangeFall", "_Tessel_NvWriteTxLinMaster", "_Tessel_NvWriteTxVsFreq",
        "_Tessel_NvWriteTxVsFreqSelectBias", "_Tessel_NvReadWcdmaTxFreqCompAntRel",
        "_Tessel_NvWriteWcdmaTxLimVsFreq", "_Tessel_NvWritePaGainSlope", "_Tessel_NvWriteHdetVsAgc",
        "_Tessel_NvReadHdetForPower", "_Tessel_NvWriteHdetOfsAndSpn", "_Tessel_NvReadWcdmaTxCalChan",
        "_Tessel_NvReadWcdmaTxPdmLin", "_Tessel_NvReadWcdmaTxPaRangeThreshold", "_Tessel_NvReadGsmRxRelOffsets",
        "_Tessel_NvWriteGsmRxGainRange", "_Tessel_NvWriteGsmTxCalData", "_Tessel_NvWriteGsmIm2CalData",
        "_Tessel_NvWriteGsmTxRsbCalData", "_Tessel_NvWriteOpllBandwidthValue", "_Tessel_NvWriteGsmPathDelay",
        "_Tessel_NvWriteGsmTxCalPath", "_Tessel_NvReadAMAMDynamicRange",
        // peripheral special procedures
        "_Tessel_SpecialSwitchLCD", "_Tessel_SpecialSwitchVibra", "_Tessel_SpecialSwitchSimSupply",
        "_Tessel_SpecialBluetoothPwrCycle", "_Tessel_SpecialSetChargeFetState", "_Tessel_SpecialSetChargeAppState",
        "_Tessel_SpecialSetVCollapseProtectionState", "_Tessel_SpecialGetChargeFetState", "_Tessel_SpecialSwitchUart",
        "_Tessel_SpecialSwitchFuelGauge", "_Tessel_SpecialSetAudioMuting", "_Tessel_SpecialSetRtcActualTime",
        "_Tessel_SpecialSetPmicChargeLimits", "_Tessel_SpecialReadBattVoltage", "_Tessel_SpecialReadThermistors",
        "_Tessel_SpecialReadHdet", "_Tessel_SpecialSetDisplayPattern", "_Tessel_SpecialSwitchDisplay",
        "_Tessel_SpecialMmcTest", "_Tessel_SpecialGetQpstVersion", "_Tessel_SpecialGetUsbVersion",
        "_Tessel_SpecialGetSliderState", "_Tessel_SpecialSwitchAccSupplyVoltage",
        "_Tessel_SpecialReadAntennaSwitchState", "_Tessel_SpecialSwitchVregCamera", "_Tessel_GetGpioMask",
        "_Tessel_SpecialSetGpioState", "_Tessel_SpecialGetGpioState", "_Tessel_SpecialCheckFakeSecurity",
        "_Tessel_SpecialDisableFakeSecurity", "_Tessel_SpecialGetEfsUnpackStatus", "_Tessel_SpecialGetLockState",
        "_Tessel_SpecialGetSVN", "_Tessel_SpecialGetSwVerForMero",
        // power-up, reset, power-off and DTR
        "_Tessel_SpecialMobileOnFtm", "_Tessel_SpecialMobileOnOnline", "_Tessel_SpecialPhoneReset",
        "_Tessel_SpecialPhoneOff", "_Tessel_SpecialSetDtrState",
        // FTM bit-error-rate tests
        "_Tessel_FtmGsmBerStartCall", "_Tessel_FtmGsmBerAssignTraffic", "_Tessel_FtmGsmBerClearStatus",
        "_Tessel_FtmGsmBerGetStatus", "_Tessel_FtmGsmBerStopCall", "_Tessel_FtmGsmBerGetRxMetrics",
        "_Tessel_FtmGsmBerHandover", "_Tessel_FtmGsmConfigLoopbackType", "_Tessel_FtmWcdmaBerStartSession",
        "_Tessel_FtmWcdmaBerAcquirePilot", "_Tessel_FtmWcdmaBerSetupRMC_DCH", "_Tessel_FtmWcdmaBerSetupDefaultRMC_DCH",
        "_Tessel_FtmWcdmaBerClearStatus", "_Tessel_FtmWcdmaBerGetStatus", "_Tessel_FtmWcdmaBerStopSession",
        "_Tessel_FtmWcdmaBerHandover", "_Tessel_FtmWcdmaAgcStartLog", "_Tessel_FtmWcdmaAgcWaitForNextLog",
        "_Tessel_FtmWcdmaAgcStopLog", "_Tessel_FtmEgprsBerStartCall", "_Tessel_FtmEgprsBerStartIdleMode",
        "_Tessel_FtmEgprsBerConfigureDlTbf", "_Tessel_FtmEgprsBerConfigureUlTbf",
        "_Tessel_FtmEgprsBerEstablishSrbLoopback", "_Tessel_FtmEgprsBerReleaseAllTbf", "_Tessel_FtmEgprsBerClearStatus",
        "_Tessel_FtmEgprsBerGetStatus", "_Tessel_FtmEgprsBerGetRxMetrics", "_Tessel_FtmHsdpaConfigurePDSCH",
        "_Tessel_FtmHsdpaConfigureHS_SCCH", "_Tessel_FtmHsdpaConfigureHS_DSCH", "_Tessel_FtmHsdpaConfigureHS_DPCCH",
        "_Tessel_FtmHsdpaBerStopSession", "_Tessel_FtmHsdpaBerStartSession",
        // FM radio, camera, Bluetooth, audio, assisted GPS and polar transmitter
        "_Tessel_GetFmRadioId", "_Tessel_FtmTuneFmRadio", "_Tessel_SpecialGetFmRadioInfo", "_Tessel_FtmFmRadioRdsTest",
        "_Tessel_FtmCameraStart", "_Tessel_FtmCameraStop", "_Tessel_FtmCameraSetParm", "_Tessel_FtmCameraSetDimensions",
        "_Tessel_FtmCameraStartPreview", "_Tessel_FtmCameraStopPreview", "_Tessel_FtmCameraTakePictureAndEncode",
        "_Tessel_FtmCameraGetPicture", "_Tessel_FtmCameraGetParm", "_Tessel_FtmCameraGetInfo",
        "_Tessel_FtmCameraPerformTakePictureSequence", "_Tessel_FtmCameraPerformTakePictureSequenceEx",
        "_Tessel_FtmCameraGetEntirePicture", "_Tessel_FtmCameraSetSensorId", "_Tessel_FtmCameraSetFocus",
        "_Tessel_SpecialSwitchCamera", "_Tessel_SpecialGetCameraID", "_Tessel_SpecialExtGetCameraId",
        "_Tessel_FtmBtEnableBluetooth", "_Tessel_FtmBtSetCW", "_Tessel_FtmBtSetAddr", "_Tessel_SpecialBtReset",
        "_Tessel_SpecialScanDisable", "_Tessel_FtmGetBtParam", "_Tessel_FtmSendBtHciCommand",
        "_Tessel_FtmAudioSetPath", "_Tessel_FtmAudioSetVolume", "_Tessel_FtmAudioDspLoopback",
        "_Tessel_FtmAudioPcmLoopback", "_Tessel_FtmAudioTonesPlay", "_Tessel_FtmAudioTonesStop",
        "_Tessel_FtmAudioNsControl", "_Tessel_FtmAudioPcmCapture", "_Tessel_FtmAudioPcmStopCapture",
        "_Tessel_FtmAudioGetPcmCaptureData", "_Tessel_FtmAudioCapturePCMandTransferData", "_Tessel_FtmPmicSpkrConfig",
        "_Tessel_FtmAudioSetCodecTxGainAdjust",
        "_Tessel_FtmAgpsSetTestMode", "_Tessel_FtmAgpsSelfTest", "_Tessel_FtmAgpsStandaloneTestMode",
        "_Tessel_FtmAgpsSvTracking", "_Tessel_FtmAgpsIqCapture", "_Tessel_FtmAgpsGetIqData", "_Tessel_FtmAgpsIdleMode",
        "_Tessel_FtmAgpsStartCtoNMeas", "_Tessel_FtmAgpsGetCToNMeas",
        "_Tessel_FtmNvWritePolarTxCal", "_Tessel_FtmGsmTxSweepCal", "_Tessel_FtmSetTwoToneFreqOffset",
        "_Tessel_FtmSetOpllBw", "_Tessel_FtmSetTxFrameMatrix", "_Tessel_FtmEnablePolarRefCal", "_Tessel_FtmBasebandBwCal",
        "_Tessel_FtmSetPathDelay", "_Tessel_FtmWcdmaTxSweepCalStep", "_Tessel_FtmGsmTxRsbDcSweep",
        // IrDA loop test, IrDA high current and hall sensor
        "_Tessel_SpecialIrdaTest", "_Tessel_FtmIrdaHighCurrentTest", "_Tessel_SpecialGetHallSensorState",
    };
    EXPECT_EQ(testsupport::exported_symbols(TESSEL_LIBRARY_PATH), expected);
}

} // namespace
