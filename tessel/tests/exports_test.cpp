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
        // IrDA loop test, IrDA high current and hall sensor
        "_Tessel_SpecialIrdaTest", "_Tessel_FtmIrdaHighCurrentTest", "_Tessel_SpecialGetHallSensorState",
    };
    EXPECT_EQ(testsupport::exported_symbols(TESSEL_LIBRARY_PATH), expected);
}

} // namespace
