// Camera selection and the detection of the fitted camera sensor over the
// phone's I2C bus. The detection keeps, for the whole process, the list of
// addresses its last bus scan found and, per camera, the address at which
// its previous detection answered; both survive a failed call.
#include "TesselFctsPeriphOps.h"
#include "kavor.h"
#include "qmsl_camera.h"

#include <cstdint>
#include <vector>

using periph::hex;

namespace {

// --- camera selection ----------------------------------------------------------

enum class CameraWay { None, SensorId, Switch };
// By phone-type index 0..10.
constexpr CameraWay kCameraWays[] = {
    CameraWay::Switch, CameraWay::Switch, CameraWay::None,   CameraWay::None,     CameraWay::Switch, CameraWay::None,
    CameraWay::Switch, CameraWay::None,   CameraWay::Switch, CameraWay::SensorId, CameraWay::Switch,
};
constexpr unsigned char kCameraSwitch = 1;

// --- detection state --------------------------------------------------------------

constexpr int kBusAddresses = 128;

struct DeviceList {
    std::uint32_t auiAddress[kBusAddresses] = {};
    int iCount = 0;
    int iNext = 0;
};
DeviceList gDevices;
// The address at which camera 1's and every other camera's previous detection answered.
std::int32_t giLastCamera1 = -1;
std::int32_t giLastCameraOther = -1;

std::int32_t& lastAddressOf(unsigned char ucCamera) { return ucCamera == 1 ? giLastCamera1 : giLastCameraOther; }

// --- sensor probes ----------------------------------------------------------------------

enum class Access {
    Read,           // read the identity register
    WriteThenRead,  // write one zero byte to a register, then read the identity register
    Access2,        // read through the second I2C access with second byte 1
};

struct SensorId {
    unsigned char ucFirst;
    int iSecond;  // -1: the first byte alone decides
    int iModel;
};

struct Probe {
    unsigned char ucSlave;
    const char* cLine;
    Access eAccess;
    unsigned char ucRegLength;
    unsigned short usWriteRegister;
    unsigned short usIdRegister;
    bool bRecordOnFailure;  // a failed call is traced, identified and recorded all the same
    std::vector<SensorId> ids;
};

// clang-format off
const Probe kProbes[] = {
    {0x45, "[Probing Biomorphic...]", Access::Read, 2, 0, 0x2560, false, {{0x18, -1, 0}, {0x1D, -1, 2}, {0x27, -1, 7}, {0x24, -1, 8}}},
    {0x47, "[Probing Biomorphic...]", Access::Read, 2, 0, 0x2560, false, {{0x26, -1, 9}}},
    {0x51, "[Probing Agilent...]", Access::WriteThenRead, 1, 0xFE, 0x01, false, {{0x59, 0x00, 1}, {0x5A, 0x00, 3}}},
    {0x5D, "[Probing SEMCO...]", Access::WriteThenRead, 1, 0xF0, 0xFF, true, {{0x14, 0x3A, 6}}},
    {0x30, "[Probing Premier...]", Access::Access2, 1, 0, 0x0A, false, {{0x96, 0x51, 4}, {0x96, 0x52, 5}, {0x96, 0x57, 10}}},
    {0x21, "[Probing OMNIVISION...]", Access::Access2, 1, 0, 0x0A, false, {{0x76, 0x73, 11}}},
};
// clang-format on

const Probe* probeAt(std::uint32_t uiAddress) {
    for (const Probe& p : kProbes)
        if (p.ucSlave == uiAddress) return &p;
    return nullptr;
}

// One byte at register-address length 0: whether a device answers there.
bool readOneByte(QmslHandle h, std::uint32_t uiAddress, unsigned char* pucByte) {
    return KAVOR_FTM_I2C_DATA_ACCESS(h, 0, static_cast<unsigned char>(uiAddress), 0, 0, 1, pucByte) != 0;
}

// Empties the device list and fills it with every address of the bus that answers.
void ProbeI2CBus(int iSession, QmslHandle h) {
    gDevices.iCount = 0;
    gDevices.iNext = 0;
    for (std::uint32_t uiAddress = 0; uiAddress < kBusAddresses; ++uiAddress) {
        unsigned char ucByte = 0;
        if (!readOneByte(h, uiAddress, &ucByte)) continue;
        Tessel_TracePlain_m(iSession, "*** Device found at 0x%02X :: %02X", uiAddress, ucByte);
        gDevices.auiAddress[gDevices.iCount++] = uiAddress;
    }
}

// The next address of the list; false when none is left.
bool GetNextDev(std::uint32_t* puiAddress) {
    if (gDevices.iNext >= gDevices.iCount) return false;
    *puiAddress = gDevices.auiAddress[gDevices.iNext++];
    return true;
}

// Probes the sensor expected at an address: the identity bytes go to
// ucId (as read, kept from earlier probes when a read fails); a recognised
// sensor sets *piModel; an identification read that worked (or a sensor
// whose failures are recorded anyway) records the address for the camera.
void probeSensor(int iSession, QmslHandle h, std::uint32_t uiAddress, unsigned char ucCamera, unsigned char ucId[2],
                 int* piModel) {
    const Probe* p = probeAt(uiAddress);
    if (!p) return;
    Tessel_TracePlain_m(iSession, "%s", p->cLine);
    auto failed = [&] { Tessel_TracePlain_m(iSession, "[I2C call failed.]"); };
    bool bRead = false;
    switch (p->eAccess) {
    case Access::Read:
        bRead = KAVOR_FTM_I2C_DATA_ACCESS(h, 0, p->ucSlave, p->ucRegLength, p->usIdRegister, 2, ucId) != 0;
        break;
    case Access::WriteThenRead: {
        unsigned char ucZero = 0;
        if (!KAVOR_FTM_I2C_DATA_ACCESS(h, 1, p->ucSlave, p->ucRegLength, p->usWriteRegister, 1, &ucZero)) {
            failed();
            if (!p->bRecordOnFailure) return;
        }
        bRead = KAVOR_FTM_I2C_DATA_ACCESS(h, 0, p->ucSlave, p->ucRegLength, p->usIdRegister, 2, ucId) != 0;
        break;
    }
    case Access::Access2:
        bRead = KAVOR_FTM_I2C_DATA_ACCESS2(h, 0, 1, p->ucSlave, p->ucRegLength, p->usIdRegister, 2, ucId) != 0;
        break;
    }
    if (!bRead) {
        failed();
        if (!p->bRecordOnFailure) return;
    }
    for (const SensorId& id : p->ids)
        if (ucId[0] == id.ucFirst && (id.iSecond < 0 || ucId[1] == id.iSecond)) *piModel = id.iModel;
    lastAddressOf(ucCamera) = static_cast<std::int32_t>(uiAddress);
}

} // namespace

void Tessel_ResetCameraState_m() {
    gDevices = DeviceList{};
    giLastCamera1 = -1;
    giLastCameraOther = -1;
}

int _Tessel_SpecialSwitchCamera(int iSession, int iCamNum, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    const auto ucCamera = static_cast<unsigned char>(iCamNum);
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iCamNum=%d, PhoneModel=%d ) Sess=%d", __func__, rec.hHandle,
                  ucCamera, rec.sPhoneType, iSession);
    periph::Status status;
    const CameraWay eWay =
        rec.sPhoneType >= 0 && rec.sPhoneType <= 10 ? kCameraWays[rec.sPhoneType] : CameraWay::None;
    const auto ucChoice = static_cast<unsigned char>(ucCamera - 1);  // 0 for camera 1, 1 for camera 2
    if (eWay == CameraWay::None) {
        periph::notSupported(iSession, status);
    } else if (ucCamera != 1 && ucCamera != 2) {
        Tessel_TracePlain_m(iSession, "[ERROR: Camera number not supported.]");
        status.fail();
    } else if (eWay == CameraWay::SensorId) {
        Tessel_TracePlain_m(iSession, "[QLIB_FTM_CAMERA_SET_SENSOR_ID(%d)]", ucChoice);
        unsigned short usCameraStatus = 0;
        if (rec.hHandle == -1) status.fail();
        else status.ok(QLIB_FTM_CAMERA_SET_SENSOR_ID(rec.hHandle, ucChoice, &usCameraStatus) && usCameraStatus == 0);
    } else {
        Tessel_TracePlain_m(iSession, "[QLIB_FTM_CONFIGURE_SWITCH(%d,%d)]", kCameraSwitch, ucChoice);
        if (rec.hHandle == -1) status.fail();
        else status.ok(KAVOR_FTM_CONFIGURE_SWITCH(rec.hHandle, kCameraSwitch, ucChoice));
    }
    Mob_TraceResult(iSession, status.get(), "%s( ) = %#x", __func__, hex(status.get()));
    return status.get();
}

int _Tessel_SpecialGetCameraID(int iSession, int* peCamera, int iCameraNo, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!peCamera) return TESSEL_ERROR_PARAMETER2;
    const auto ucCamera = static_cast<unsigned char>(iCameraNo);
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iCameraNo=%d, PhoneModel=%d ) Sess=%d", __func__,
                  rec.hHandle, ucCamera, rec.sPhoneType, iSession);
    int iModel = TESSEL_CAMERA_MODEL_INVALID;
    unsigned char ucId[2] = {0, 0};
    periph::Status status;
    if (rec.hHandle == -1) status.fail();
    const std::int32_t iStart = lastAddressOf(ucCamera);
    for (int iPass = 0; status.good() && iModel == TESSEL_CAMERA_MODEL_INVALID; ++iPass) {
        std::uint32_t uiAddress = 0;
        if (iPass == 0) {
            // The address of the previous detection first.
            Tessel_TracePlain_m(iSession, "*** First Addr found at %d", iStart);
            unsigned char ucByte = 0;
            if (iStart == -1 || !readOneByte(rec.hHandle, static_cast<std::uint32_t>(iStart), &ucByte)) continue;
            Tessel_TracePlain_m(iSession, "*** Device found at 0x%02X :: %02X", static_cast<unsigned>(iStart), ucByte);
            uiAddress = static_cast<std::uint32_t>(iStart);
        } else {
            if (iPass == 1) ProbeI2CBus(iSession, rec.hHandle);
            if (!GetNextDev(&uiAddress)) break;
        }
        probeSensor(iSession, rec.hHandle, uiAddress, ucCamera, ucId, &iModel);
    }
    *peCamera = iModel;
    if (iModel == TESSEL_CAMERA_MODEL_INVALID) status.fail();
    Mob_TraceResult(iSession, status.get(), "%s( cID[]=%02X%02X, *eCamera=%d(%s) ) = %#x", __func__, ucId[0], ucId[1],
                    iModel, Get_cCameraModel(iModel), hex(status.get()));
    return status.get();
}

int _Tessel_SpecialExtGetCameraId(int iSession, int* peCamera, int iCamNum, const char* cFile, int iLine) {
    constexpr unsigned short kSupportedId = 0x0018;
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    if (!peCamera) return TESSEL_ERROR_PARAMETER2;
    const auto ucCamera = static_cast<unsigned char>(iCamNum);
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, iCamNum=%d ) Sess=%d", __func__, rec.hHandle, ucCamera,
                  iSession);
    periph::Status status;
    if (rec.hHandle == -1) {
        status.fail();
    } else {
        unsigned short usId = 0;
        if (!KAVOR_FTM_I2C_GetCameraId(rec.hHandle, ucCamera, &usId)) {
            status.fail();
            usId = 0;
        }
        if (usId == kSupportedId) *peCamera = 0;
        else periph::notSupported(iSession, status);
    }
    Mob_TraceResult(iSession, status.get(), "%s( ) = %#x", __func__, hex(status.get()));
    return status.get();
}
