// Display switch: selects one of the two displays of the phone models that
// have two, through a raw extension-FTM request whose reply is not examined.
#include "TestProcedures.h"

#include "InternalExports.h"

#include <cinttypes>
#include <cstdint>

namespace kavor {

namespace {

constexpr unsigned short kRequestSize = 11;
constexpr unsigned long kTimeoutMs = 2000;
constexpr unsigned short kReplyRoom = 256;

// The reply room the models give the send; 0 for a model without a second display.
unsigned short replyRoomOf(unsigned int iPhoneModel) {
    if (iPhoneModel == 3) return kReplyRoom;
    if ((iPhoneModel >= 32 && iPhoneModel <= 36) || iPhoneModel == 40) return 12;
    return 0;
}

} // namespace

bool TestProcedures::specialSwitchDisplay(unsigned char iOn) {
    if (!KAVOR_CheckHandle(handle_)) return false;

    unsigned int iVerNumber = 0, iMsmModel = 0, iPhoneModel = 0;
    logStep(StepInfo, "\tKAVOR_Phone_Model() start");
    // The call runs before its line is formatted: the line shows what it returned.
    const bool bModel = KAVOR_Phone_Model(handle_, &iVerNumber, &iMsmModel, &iPhoneModel) != 0;
    if (!logResult(bModel, "KAVOR_Phone_Model(piVerNumber = %i, piMobModel = %i)", static_cast<int>(iVerNumber),
                   static_cast<int>(iPhoneModel)))
        return false;

    unsigned short usResponseSize = replyRoomOf(iPhoneModel);
    if (usResponseSize == 0) {
        // Display 0 is the only one such a phone has: nothing to switch.
        if (iOn == 0) return true;
        logStep(StepFailed, "ERROR: Mobile not supported");
        return false;
    }

    // Extension-FTM header: group 0x8000, command 200, data length 1, reply size 12.
    const unsigned char request[kRequestSize] = {0x4B, 0x0B, 0x00, 0x80, 0xC8, 0x00, 0x01, 0x00, 0x0C, 0x00, iOn};
    unsigned char reply[kReplyRoom];
    logStep(StepInfo, "\tQLIB_SendSync() start");
    const bool bOk = QLIB_SendSync(handle_, kRequestSize, request, &usResponseSize, reply, kTimeoutMs) != 0;
    return logResult(bOk, "QLIB_SendSync(iRequestSize = %i, piRequestBytes = 0x%" PRIxPTR ", piResponseSize = %i, iTimeout = %i)",
                     kRequestSize, reinterpret_cast<std::uintptr_t>(request), usResponseSize,
                     static_cast<int>(kTimeoutMs));
}

} // namespace kavor
