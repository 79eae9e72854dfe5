// quorl_write, quorl_read and quorl_getstatus: forwarding lines to the client.
#include "quorl_state.h"

#include "cvi_tcp.h"
#include "cvi_util.h"

#include <cstdio>
#include <cstring>

namespace {

// Buffer size the station's address and host name are fetched with.
constexpr int kHostTextSize = 50;

int32_t CheckSession(uint32_t session) {
    if (session != kSession) return QUORL_ERROR_CONFIG;
    if (gObjectType != kObjectServer && gObjectType != kObjectClient) return QUORL_ERROR_OBJECT_TYPE;
    return QUORL_SUCCESS;
}

// Sends the text with its NUL; only a send that succeeded is followed by
// the send delay. A client that took nothing within the time-out (it
// stopped reading) or has gone is dropped, so that the station never waits
// on it again; a client that connects later is served as before.
void Send(const char* cText) {
    if (gHandle == 0) return;
    if (ServerTCPWrite(gHandle, cText, std::strlen(cText) + 1, kTcpTimeoutMs) >= 0) {
        Delay(gTxDelay);
        return;
    }
    DisconnectTCPClient(gHandle);
    gHandle = 0;
}

} // namespace

int32_t quorl_write(uint32_t session, int32_t kind, const char* text) {
    if (!gActive) return QUORL_SUCCESS;
    int32_t status = CheckSession(session);
    if (status != QUORL_SUCCESS) return status;
    if ((gMode == kModeTrace || gMode == kModeResult) && kind == gMode) {
        if (text != nullptr) Send(text);
    } else if (gMode == kModeAddress && kind == QUORL_KIND_ADDRESS) {
        char cAddr[kHostTextSize] = "";
        char cName[kHostTextSize] = "";
        GetTCPHostAddr(cAddr, kHostTextSize);
        GetTCPHostName(cName, kHostTextSize);
        // Room for the longest address and name that fit their buffers.
        char cReply[sizeof "IP::Name:" + 2 * (kHostTextSize - 1)];
        std::snprintf(cReply, sizeof cReply, "IP:%s:Name:%s", cAddr, cName);
        Send(cReply);
    }
    return QUORL_SUCCESS;
}

int32_t quorl_read(uint32_t session, int32_t, int32_t) {
    if (!gActive) return QUORL_SUCCESS;
    return CheckSession(session);
}

int32_t quorl_getstatus(uint32_t, int32_t which, int32_t* value) {
    if (value == nullptr) return QUORL_SUCCESS;
    switch (which) {
    case QUORL_STATUS_REGISTERED: *value = gRegistered; break;
    case QUORL_STATUS_FILECHECK: *value = gFileCheck; break;
    case QUORL_STATUS_MODE: *value = gMode; break;
    default: break;
    }
    return QUORL_SUCCESS;
}
