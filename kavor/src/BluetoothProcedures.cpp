// Bluetooth procedures: the carrier test, the test connection with the
// phone's own device address, the module's identity, and the address set
// from its text form.
#include "ProcedureSteps.h"

#include "InternalExports.h"
#include "qmsl_bt.h"

#include <cctype>
#include <cstring>

namespace kavor {

namespace {

constexpr unsigned short kNvBdAddr = 447;
constexpr int kAddressSize = QMSL_BT_ADDRESS_SIZE;
constexpr std::size_t kAddressDigits = 2 * kAddressSize;

// HCI commands: reset, and write-scan-enable with the scans off.
constexpr unsigned char kHciReset[] = {0x01, 0x03, 0x0C};
constexpr unsigned char kHciScansOff[] = {0x01, 0x1A, 0x0C, 0x01, 0x00};

Step hciCommand(QmslHandle h, const unsigned char* pBuffer, unsigned char iLength) {
    return step("QLIB_FTM_BT_HCI_USER_CMD", [=] { return QLIB_FTM_BT_HCI_USER_CMD(h, pBuffer, iLength) != 0; },
                "QLIB_FTM_BT_HCI_USER_CMD(pBuffer = %s, iLength = %c)", shownBytes(pBuffer, iLength), iLength);
}

const char kHexDigits[] = "0123456789ABCDEF";

// One hexadecimal digit of either case (the caller has checked it is one).
unsigned char digitValue(char c) {
    const int u = std::toupper(static_cast<unsigned char>(c));
    return static_cast<unsigned char>(u <= '9' ? u - '0' : u - 'A' + 10);
}

} // namespace

// The address text holds the last address byte first, two digits per byte;
// only its first twelve characters are read, so a longer text (a scanned
// label's line end, for one) is taken as well.
bool TestProcedures::ftmBtSetAddr(const char* szAddr) {
    if (!szAddr || strnlen(szAddr, kAddressDigits) < kAddressDigits) {
        logStep(StepFailed, "QLIB_FTM_BT_SetAddr(strlen(szAddr) < 12)");
        return false;
    }
    for (std::size_t i = 0; i < kAddressDigits; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(szAddr[i]))) {
            logStep(StepFailed, "QLIB_FTM_BT_SetAddr(!isxdigit(szAddr[%d]))", static_cast<int>(i));
            return false;
        }
    if (!KAVOR_CheckHandle(handle_)) return false;
    unsigned char iAddr[kAddressSize];
    for (int i = 0; i < kAddressSize; ++i) {
        const char* pair = szAddr + kAddressDigits - 2 - 2 * i;
        iAddr[i] = static_cast<unsigned char>((digitValue(pair[0]) << 4) | digitValue(pair[1]));
    }
    const QmslHandle h = handle_;
    return runStep(*this, step("QLIB_FTM_BT_SetAddr", [&] { return QLIB_FTM_BT_SetAddr(h, iAddr) != 0; },
                               "QLIB_FTM_BT_SetAddr(iAddr=%s)", szAddr));
}

bool TestProcedures::setCwPowerBluetooth(unsigned char iChannel) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    return runSteps(*this, {step("QLIB_FTM_BT_SetCW", [=] { return QLIB_FTM_BT_SetCW(h, iChannel) != 0; },
                                 "QLIB_FTM_BT_SetCW(iChannel = %c)", iChannel),
                            hciCommand(h, kHciReset, sizeof kHciReset)});
}

bool TestProcedures::bluetoothTestConnect(char* szAddr) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    unsigned char iAddr[kAddressSize] = {};
    const Step read{"KAVOR_DIAG_NV_READ_F",
                    [&] { return KAVOR_DIAG_NV_READ_F(h, kNvBdAddr, iAddr, kAddressSize) != 0; },
                    [&] {
                        return stepText("KAVOR_DIAG_NV_READ_F(iItemID = %d, pItemData = %s, iLength = 6)", kNvBdAddr,
                                        shownBytes(iAddr, sizeof iAddr).c_str());
                    }};
    if (!runStep(*this, read)) return false;

    // Last NV byte first, high nibble first; the text the set-address step reads back.
    char szText[kAddressDigits + 1];
    for (int i = 0; i < kAddressSize; ++i) {
        const unsigned char b = iAddr[kAddressSize - 1 - i];
        szText[2 * i] = kHexDigits[b >> 4];
        szText[2 * i + 1] = kHexDigits[b & 0x0F];
    }
    szText[kAddressDigits] = 0;
    if (szAddr) std::memcpy(szAddr, szText, sizeof szText);

    return runSteps(*this, {step("KAVOR_FtmBtSetAddr", [&] { return KAVOR_FtmBtSetAddr(h, szText) != 0; },
                                 "KAVOR_FtmBtSetAddr(szAddr = %s)", std::string(szText)),
                            step("QLIB_FTM_BT_Enable_Bluetooth", [=] { return QLIB_FTM_BT_Enable_Bluetooth(h) != 0; },
                                 "QLIB_FTM_BT_Enable_Bluetooth()"),
                            hciCommand(h, kHciScansOff, sizeof kHciScansOff)});
}

bool TestProcedures::bluetoothHwId(unsigned int* piModuleVersion, unsigned short* piStatus, unsigned char* piParam1,
                                   unsigned char* piParam2, unsigned char* piParam3) {
    if (!KAVOR_CheckHandle(handle_)) return false;
    const QmslHandle h = handle_;
    return runSteps(
        *this, {step("QLIB_BT_GetModuleVersion", [=] { return QLIB_BT_GetModuleVersion(h, piModuleVersion) != 0; },
                     "QLIB_BT_GetModuleVersion()"),
                step("KAVOR_FTM_GET_BT_PARAM",
                     [=] { return KAVOR_FTM_GET_BT_PARAM(h, piStatus, piParam1, piParam2, piParam3) != 0; },
                     "KAVOR_FTM_GET_BT_PARAM()")});
}

} // namespace kavor
