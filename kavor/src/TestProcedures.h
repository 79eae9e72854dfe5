// The composite test procedures of one connection: sequences of vendor
// calls, extension commands and control-line box actions that a station runs
// as one step. Each procedure writes a step log into the vendor text log of
// its handle. Procedures reach one another by handle, through the entry
// points of the export tables, never by object pointer.
#pragma once

#include "ControlLineBox.h"
#include "qmsl.h"

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
