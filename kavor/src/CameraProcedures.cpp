// Camera procedures: switching between the two cameras through the
// processor's pins, and reading a camera sensor's identity over I2C.
#include "TestProcedures.h"

#include "InternalExports.h"
#include "qmsl_camera.h"

#include <cstddef>
#include <cstdint>

namespace kavor {

namespace {

constexpr std::uint32_t bit(unsigned n) { return 1u << n; }

// One pin of a camera switch: output enabled, then the output driven.
struct PinStep {
    std::uint32_t iOutputEnable;
    std::uint32_t iOutput;
    std::uint32_t iMask;
    unsigned char bLevel;
};
// The power-down of one camera and the power-up of the other, per camera.
constexpr PinStep kCameraSequences[2][4] = {
    {{0x48000000, 0x48000008, bit(2), 0},
     {0x48000004, 0x4800000C, bit(10), 0},
     {0x84000158, 0x84000164, bit(20), 1},
     {0x48000000, 0x48000008, bit(5), 1}},
    {{0x84000158, 0x84000164, bit(20), 0},
     {0x48000000, 0x48000008, bit(5), 0},
     {0x48000000, 0x48000008, bit(2), 1},
     {0x48000004, 0x4800000C, bit(10), 1}},
};
// Phone model 54 has its cameras wired the other way round.
constexpr unsigned int kSwappedCameraModel = 54;

bool hasCameraPins(unsigned int iCode) { return iCode >= 52 && iCode <= 55; }

// Where a camera's sensor answers its identity: I2C slave address, register
// and the register address's length in bytes.
struct Sensor {
    unsigned char iSlave;
    unsigned short iRegister;
    unsigned char iRegisterLength;
};
constexpr Sensor kCamera0Sensor{0x45, 0x222F, 2};
struct CameraOneSensor {
    unsigned int iFirstModel, iLastModel;
    Sensor sensor;
};
constexpr CameraOneSensor kCamera1Sensors[] = {
    {12, 25, {0x51, 0x0000, 1}},
    {52, 55, {0x47, 0x2560, 2}},
    {3, 3, {0x21, 0x0B, 1}},
};

const Sensor* sensorOf(unsigned char iCamNum, unsigned int iPhoneModel) {
    if (iCamNum == 0) return &kCamera0Sensor;
    for (const CameraOneSensor& s : kCamera1Sensors)
        if (iPhoneModel >= s.iFirstModel && iPhoneModel <= s.iLastModel) return &s.sensor;
    return nullptr;
}

// A camera call that must succeed and answer status 0.
bool cameraStep(TestProcedures& p, const char* pcStart, bool bCall, unsigned short usStatus, const char* pcLine,
                int iCamNum = -1) {
    const bool bOk = bCall && usStatus == 0;
    p.logStep(TestProcedures::StepInfo, "%s", pcStart);
    if (iCamNum >= 0) return p.logResult(bOk, pcLine, iCamNum, usStatus);
    return p.logResult(bOk, pcLine, usStatus);
}

} // namespace

bool TestProcedures::tarvCameraSwitch(unsigned char iCameraNum) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    unsigned int iPhoneModel = 0;
    if (!phoneModelStep(&iPhoneModel)) return false;
    if (!hasCameraPins(iPhoneModel)) {
        logStep(StepInfo, "\tWrong mobile model");
        return false;
    }
    if (iCameraNum > 1) {
        logStep(StepInfo, "\tWrong camera number (%d)", iCameraNum);
        return false;
    }
    const unsigned char iCamera = iPhoneModel == kSwappedCameraModel ? static_cast<unsigned char>(1 - iCameraNum) : iCameraNum;
    for (const PinStep& pin : kCameraSequences[iCamera]) {
        logStep(StepInfo, "\tKX_SetBitState_32_Reg() start");
        if (!logResult(KAVOR_SetBitState_32_Reg(handle_, pin.iOutputEnable, pin.iMask, 1) != 0,
                       "KX_SetBitState_32_Reg(Address = %u,  mask = %u, bOnOff = 1)", pin.iOutputEnable, pin.iMask))
            return false;
        logStep(StepInfo, "\tKX_SetBitState_32_Reg() start");
        if (!logResult(KAVOR_SetBitState_32_Reg(handle_, pin.iOutput, pin.iMask, pin.bLevel) != 0,
                       pin.bLevel ? "KX_SetBitState_32_Reg(Address = %u,  mask = %u, bOnOff = 1)"
                                  : "KX_SetBitState_32_Reg(Address = %u,  mask = %u, bOnOff = 0)",
                       pin.iOutput, pin.iMask))
            return false;
    }
    logStep(StepDone, "KAVOR_FTM_TARV_CAMERA_SWITCH(iCameraNum = %d)", iCamera);
    return true;
}

bool TestProcedures::i2cGetCameraId(unsigned char iCamNum, unsigned short* piCamId) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    if (iCamNum > 1) {
        logStep(StepInfo, "Parameter iCamId over the range (0-1).");
        return false;
    }
    unsigned int iPhoneModel = 0;
    if (!phoneModelStep(&iPhoneModel)) return false;
    const Sensor* sensor = sensorOf(iCamNum, iPhoneModel);
    if (!sensor) {
        logStep(StepInfo, "\tWrong mobile model");
        return false;
    }

    unsigned short usStatus = 0;
    bool bCall = QLIB_FTM_CAMERA_SET_SENSOR_ID(handle_, iCamNum, &usStatus) != 0;
    if (!cameraStep(*this, "\tQLIB_FTM_CAMERA_SET_SENSOR_ID() start", bCall, usStatus,
                    "QLIB_FTM_CAMERA_SET_SENSOR_ID(iCamNum = %d, piCameraStatus = %d)", iCamNum))
        return false;
    usStatus = 0;
    bCall = QLIB_FTM_CAMERA_START(handle_, &usStatus) != 0;
    if (!cameraStep(*this, "\tQLIB_FTM_CAMERA_START() start", bCall, usStatus, "QLIB_FTM_CAMERA_START(piCameraStatus = %d)"))
        return false;

    unsigned char iId = 0;
    logStep(StepInfo, "\tKAVOR_FTM_I2C_DATA_ACCESS2() start");
    const bool bRead = logResult(KAVOR_FTM_I2C_DATA_ACCESS2(handle_, 0, 0, sensor->iSlave, sensor->iRegisterLength,
                                                            sensor->iRegister, 1, &iId) != 0,
                                 "KAVOR_FTM_I2C_DATA_ACCESS2(iI2C_SlaveAddr = 0x%X, iI2C_RegAddr = 0x%X)", sensor->iSlave,
                                 sensor->iRegister);

    // The camera is stopped whether the read worked or not.
    usStatus = 0;
    bCall = QLIB_FTM_CAMERA_STOP(handle_, &usStatus) != 0;
    const bool bStopped =
        cameraStep(*this, "\tQLIB_FTM_CAMERA_STOP() start", bCall, usStatus, "QLIB_FTM_CAMERA_STOP(piCameraStatus = %d)");
    if (!bRead) {
        logStep(StepFailed, "KAVOR_FTM_I2C_GetCameraId(iCamNum = %d)", iCamNum);
        logStep(StepInfo, "\tKAVOR_FTM_I2C_GetCameraId - finish");
        return false;
    }
    if (!bStopped) return false;
    if (piCamId) *piCamId = iId;
    logStep(StepDone, "KAVOR_FTM_I2C_GetCameraId(iCamNum = %d, iCamId = %d)", iCamNum, iId);
    logStep(StepInfo, "\tKAVOR_FTM_I2C_GetCameraId - finish");
    return true;
}

} // namespace kavor
