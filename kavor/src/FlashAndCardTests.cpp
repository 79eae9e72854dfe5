// Storage tests: the flash device's identity and a write and read-back of a
// file on the memory card.
#include "ProcedureSteps.h"

#include "InternalExports.h"
#include "qmsl_diag_misc.h"

#include <cstdlib>

namespace kavor {

namespace {

constexpr unsigned char kMmcRead = 0;
constexpr unsigned char kMmcWrite = 1;
constexpr unsigned short kMmcTestSize = 16;
constexpr const char* kMmcTestFile = "\\Test.bin";

} // namespace

bool TestProcedures::flashTest(unsigned int* piFlashId) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    unsigned int iBlocks = 0, iPagesPerBlock = 0, iPageSize = 0, iTotalPageSize = 0, iDeviceType = 0, iMakerId = 0,
                 iDeviceId = 0, iDeviceFlags = 0;
    char sDeviceName[QMSL_EFS_DEVICE_NAME_MAX] = {};
    if (!runStep(*this, step("QLIB_EFS2_DIAG_DEV_INFO",
                             [&] {
                                 return QLIB_EFS2_DIAG_DEV_INFO(h, &iBlocks, &iPagesPerBlock, &iPageSize,
                                                                &iTotalPageSize, &iDeviceType, &iMakerId, &iDeviceId,
                                                                &iDeviceFlags, sDeviceName) != 0;
                             },
                             "QLIB_EFS2_DIAG_DEV_INFO()")))
        return false;
    if (piFlashId) *piFlashId = (iMakerId << 8) + iDeviceId;
    return true;
}

bool TestProcedures::specialMmcTest() {
    logStep(StepInfo, "\tKAVOR_SpecialMmcTest - start");
    if (!KAVOR_CheckHandle(handle_)) return false;
    unsigned char cOutData[kMmcTestSize];
    unsigned char cInData[kMmcTestSize] = {};
    for (unsigned char& c : cOutData) c = static_cast<unsigned char>(0x40 + std::rand() % 56);
    // The channel writes its own lines for the two accesses.
    if (!KAVOR_FTM_MMC_FILE_ACCESS(handle_, kMmcWrite, kMmcTestSize, kMmcTestFile, cOutData)) return false;
    if (!KAVOR_FTM_MMC_FILE_ACCESS(handle_, kMmcRead, kMmcTestSize, kMmcTestFile, cInData)) return false;
    for (int i = 0; i < kMmcTestSize; ++i) {
        if (cOutData[i] != cInData[i]) {
            logStep(StepInfo, "\tcOutData[%i] != cInData[%i]", i, i);
            return false;
        }
    }
    logStep(StepInfo, "\tKAVOR_SpecialMmcTest - finish");
    return true;
}

} // namespace kavor
