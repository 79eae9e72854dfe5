// quorl_setmode and the TCP server callback: the marker file switches the
// server on and off, the callback takes connections and command texts.
#include "quorl_state.h"

#include "cvi_files.h"
#include "cvi_tcp.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* kMarkerName = "activate_quorl";

// True when the marker file exists in the station's temporary directory.
bool MarkerPresent() {
    const char* cDir = std::getenv("TMPDIR");
    if (cDir == nullptr || *cDir == '\0') cDir = "/tmp";
    char cPath[PATH_MAX];
    int n = std::snprintf(cPath, sizeof cPath, "%s/%s", cDir, kMarkerName);
    if (n < 0 || static_cast<size_t>(n) >= sizeof cPath) return false;
    long lSize = 0;
    return GetFileInfo(cPath, &lSize) != 0;
}

bool PortAccepted(int32_t port) { return port == 11111 || port == 22222; }

void Unregister() {
    UnregisterTCPServer(static_cast<unsigned>(gRegisteredPort));
    gRegistered = 0;
}

} // namespace

int32_t quorl_setmode(uint32_t session) {
    if (session != kSession) return QUORL_ERROR_CONFIG;
    if (gObjectType != kObjectServer && gObjectType != kObjectClient) return QUORL_ERROR_OBJECT_TYPE;
    if (gFileCheck == 0) gActive = MarkerPresent() ? 1 : 0;
    if (gObjectType != kObjectServer) return QUORL_SUCCESS;

    // A new configuration moved the server to another port: stop the old one.
    if (gRegistered && gRegisteredPort != gPortNr) Unregister();
    if (gActive && !gRegistered) {
        // A port that quorl_init rejected is never listened on.
        if (PortAccepted(gPortNr) &&
            RegisterTCPServer(static_cast<unsigned>(gPortNr), ServerCallback, nullptr) >= 0) {
            gRegistered = 1;
            gRegisteredPort = gPortNr;
        }
    } else if (!gActive && gRegistered) {
        Unregister();
    }
    return QUORL_SUCCESS;
}

int ServerCallback(unsigned handle, int event, int error, void* callbackData) {
    switch (event) {
    case TCP_CONNECT:
        gHandle = handle;  // a newer client replaces the older one
        break;
    case TCP_DISCONNECT:
        if (handle == gHandle) gHandle = 0;
        break;
    case TCP_DATAREADY: {
        // One read is one command text; it is terminated before it is searched.
        char cText[kCommandMax + 1];
        int n = ServerTCPRead(handle, cText, kCommandMax, kTcpTimeoutMs);
        if (n == TCP_ERR_CONNECTION_CLOSED) break;
        cText[n > 0 ? n : 0] = '\0';
        ServerDoCommand(cText);
        break;
    }
    default:
        break;
    }
    return 0;
}
