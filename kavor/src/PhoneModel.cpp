// Phone identification: the MSM model from the build id (or the extension
// hardware version), the hardware id, and the phone-model code table.
#include "TestProcedures.h"

#include "InternalExports.h"
#include "qmsl_build.h"

#include <iterator>

namespace kavor {

namespace {

constexpr unsigned int kBuildIdMsmModel2 = 0x120400E1;

struct MsmRow {
    unsigned int iValue;
    unsigned int iMsmModel;
};
constexpr MsmRow kMsmModels[] = {
    {64, 1}, {1027, 1}, {1029, 2}, {8256, 2}, {96, 3}, {1537, 3}, {192, 4}, {3072, 4},
};

// First matching row wins; pairs that match no row give 0.
struct ModelRow {
    unsigned int iMsmModel;
    unsigned int iHwIdFirst;
    unsigned int iHwIdLast;
    unsigned int iCode;
};
constexpr unsigned int kAnyId = 0xFFFFFFFFu;
constexpr ModelRow kPhoneModels[] = {
    {1, 0, 1, 23},   {1, 2, 4, 24},   {1, 5, 6, 25},   {1, 8, 9, 13},   {1, 12, 12, 15}, {1, 15, 15, 15},
    {2, 0, 0, 52},   {2, 1, 1, 53},   {2, 2, 3, 3},    {2, 8, 8, 3},    {2, 7, 7, 2},    {2, 9, 9, 54},
    {2, 10, 10, 34}, {2, 11, 11, 35}, {2, 12, 12, 55}, {2, 13, 13, 36}, {2, 14, 14, 40},
    {3, 12, 12, 62}, {3, 0, kAnyId, 1},
    {4, 1, 1, 71},   {4, 2, 2, 72},   {4, 3, 3, 73},   {4, 4, 4, 74},   {4, 5, 5, 75},   {4, 6, 6, 76},
    {4, 7, 7, 77},   {4, 8, 8, 78},
};

} // namespace

unsigned int msmModelOf(unsigned int iValue, bool bFromBuildId) {
    if (bFromBuildId && iValue == kBuildIdMsmModel2) return 2;
    for (const MsmRow& r : kMsmModels)
        if (r.iValue == iValue) return r.iMsmModel;
    return 0;
}

unsigned int phoneModelCode(unsigned int iHwId, unsigned int iMsmModel) {
    for (const ModelRow& r : kPhoneModels)
        if (r.iMsmModel == iMsmModel && iHwId >= r.iHwIdFirst && iHwId <= r.iHwIdLast) return r.iCode;
    return 0;
}

bool TestProcedures::getPhoneModel(unsigned int iHwId, unsigned int iMsmModel, unsigned int* piPhoneModel) {
    if (piPhoneModel) *piPhoneModel = phoneModelCode(iHwId, iMsmModel);
    return true;
}

bool TestProcedures::phoneModel(unsigned int* piHwId, unsigned int* piMsmModel, unsigned int* piPhoneModel) {
    unsigned int iMsmHwVersion = 0, iMobileModel = 0, iHwVersion = 0;
    unsigned short usId = 0;
    char szRevision[QMSL_BUILD_TEXT_MAX] = {};
    char szModelText[QMSL_BUILD_TEXT_MAX] = {};
    // A caller that reads the fields after a failure finds "unknown", not
    // what was there before.
    for (unsigned int* p : {piHwId, piMsmModel, piPhoneModel})
        if (p) *p = 0;

    logStep(StepInfo, "QLIB_DIAG_EXT_BUILD_ID_F() start");
    // A failed build id is no end: the extension hardware version stands in.
    const bool bBuildId = logResult(
        QLIB_DIAG_EXT_BUILD_ID_F(handle_, &iMsmHwVersion, &iMobileModel, szRevision, szModelText) != 0,
        "QLIB_DIAG_EXT_BUILD_ID_F()");

    unsigned int iMsmModel = 0;
    if (!bBuildId || iMsmHwVersion == 0) {
        logStep(StepInfo, "KAVOR_FTM_GET_HARDWARE_VERSION() start");
        const bool bOk = KAVOR_FTM_GET_HARDWARE_VERSION(handle_, &iHwVersion) != 0;
        if (!logResult(bOk, "KAVOR_FTM_GET_HARDWARE_VERSION()")) return false;
        iMsmModel = msmModelOf((iHwVersion >> 12) & 0xFFFF, false);
    } else {
        iMsmModel = msmModelOf(iMsmHwVersion, true);
    }
    if (piMsmModel) *piMsmModel = iMsmModel;

    logStep(StepInfo, "\tKAVOR_FTM_GET_HW_ID() start");
    const bool bOk = KAVOR_FTM_GET_HW_ID(handle_, &usId) != 0;
    if (!logResult(bOk, "KAVOR_FTM_GET_HW_ID()")) return false;
    const unsigned int iHwId = usId & 0xFFFFu;
    if (piHwId) *piHwId = iHwId;

    logStep(StepInfo, "\tKAVOR_GetPhoneModel() start");
    return logResult(KAVOR_GetPhoneModel(handle_, iHwId, iMsmModel, piPhoneModel) != 0,
                     "KAVOR_GetPhoneModel(ver_number = %i, msm_model = %i)", static_cast<int>(iHwId),
                     static_cast<int>(iMsmModel));
}

} // namespace kavor
