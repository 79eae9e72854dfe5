// The identity freeze check at the end of the line: the phone's IMEI,
// Bluetooth address and serial number against the production data, then its
// public root key written and read back, then its secure device information.
#include "TestProcedures.h"

#include "InternalExports.h"
#include "qmsl_gsdi.h"

#include <cstring>
#include <iterator>

namespace kavor {

namespace {

constexpr unsigned short kRootKeySize = 260;

// An NV item the phone must hold exactly as the production data says.
struct IdentityItem {
    unsigned short iItem;
    int iLength;
    const char* pcLabel;
};
constexpr IdentityItem kIdentity[] = {
    {550, 9, "IMEI"},
    {447, 6, "BT Address"},
    {2824, 16, "Device Serial Number"},
};

bool identityMatches(TestProcedures& p, const IdentityItem& item, const unsigned char* pExpected) {
    unsigned char buffer[16] = {};
    if (!KAVOR_DIAG_NV_READ_F(p.handle(), item.iItem, buffer, item.iLength)) {
        p.logStep(TestProcedures::StepInfo, "\tKAVOR_DIAG_NV_READ_F() - read %s Failure\n", item.pcLabel);
        return false;
    }
    p.logStep(TestProcedures::StepInfo, "\tKAVOR_DIAG_NV_READ_F() - read %s Completed successfully\n", item.pcLabel);
    const bool bSame = std::memcmp(buffer, pExpected, static_cast<std::size_t>(item.iLength)) == 0;
    p.logStep(TestProcedures::StepInfo, bSame ? "\t%s Correct\n" : "\t%s Mismatch\n", item.pcLabel);
    return bSame;
}

} // namespace

bool TestProcedures::diagFreezePhone(const unsigned char* pImei, const unsigned char* pBtAddress,
                                     const unsigned char* pSerialNumber, const unsigned char* pRootKey) {
    if (!pImei || !pBtAddress || !pSerialNumber || !pRootKey) return false;
    logStep(StepInfo, "%s", "\nKAVOR_DIAG_FREEZE_PHONE() - Started\n");
    const unsigned char* expected[] = {pImei, pBtAddress, pSerialNumber};
    for (std::size_t i = 0; i < std::size(kIdentity); ++i)
        if (!identityMatches(*this, kIdentity[i], expected[i])) return false;

    // Slot 0 and no application id for all three commands.
    unsigned int iCommandStatus = 0, iStatus = 0;
    bool bOk = QLIB_GSDIDIAG_ROOT_KEY_WRITE_CMD(handle_, 0, 0, nullptr, kRootKeySize, pRootKey, &iCommandStatus, &iStatus) != 0 &&
               iCommandStatus == 0;
    logStep(StepInfo, bOk ? "\tRoot Key Write PASS, status: %d\n" : "\tRoot Key Write FAILED status: %d\n",
            static_cast<int>(iCommandStatus));
    if (!bOk) return false;

    unsigned char readKey[QMSL_ROOT_KEY_MAX] = {};
    unsigned short iKeyLength = 0;
    iCommandStatus = 0;
    bOk = QLIB_GSDIDIAG_ROOT_KEY_READ_CMD(handle_, 0, 0, nullptr, &iKeyLength, readKey, &iCommandStatus, &iStatus) != 0 &&
          iCommandStatus == 0;
    logStep(StepInfo, bOk ? "\tRoot Key Read PASS, status: %d\n" : "\tRoot Key Read FAILED, status: %d\n",
            static_cast<int>(iCommandStatus));
    if (!bOk) return false;
    const bool bSameKey = std::memcmp(readKey, pRootKey, kRootKeySize) == 0;
    logStep(StepInfo, "%s", bSameKey ? "\tPublic Key Correct\n" : "\tPublic Key Mismatch\n");
    if (!bSameKey) return false;

    iCommandStatus = 0;
    bOk = QLIB_GSDIDIAG_SECURE_DEVICE_INFO_CMD(handle_, 0, 0, nullptr, &iCommandStatus, &iStatus) != 0 && iCommandStatus == 0;
    logStep(StepInfo, bOk ? "\tSecure Device Info PASS, status: %d\n" : "\t\tSecure Device Info FAILED, status: %d\n",
            static_cast<int>(iCommandStatus));
    if (!bOk) return false;
    logStep(StepInfo, "\nKAVOR_DIAG_FREEZE_PHONE() - Finished, Result = %d\n", bOk ? 1 : 0);
    return true;
}

} // namespace kavor
