// The connection, mode, version and progress call-back exports.
#include "LibraryContext.h"

#include <cstring>

using namespace kavor;

namespace {

// Compares the vendor's version text with the supported one up to the first
// NUL or ',' of the reported text, or 50 characters. The mode word after the
// comma is never compared. The supported text sits in a zero-padded buffer,
// so a long reported text never reads past it.
bool versionGatePasses(const char* reported, const char* supported) {
    char padded[64] = {};
    std::strncpy(padded, supported, sizeof padded - 1);
    bool match = true;
    for (int i = 0; i < 50 && reported[i] != '\0' && reported[i] != ','; ++i)
        if (reported[i] != padded[i]) match = false;
    return match;
}

template <typename Connect>
QmslHandle connectChecked(std::uint32_t port, Connect vendorConnect) {
    LibraryContext& ctx = context();
    char reported[QMSL_VERSION_TEXT_MAX + 1] = {};
    QLIB_GetLibraryVersion(reported);
    if (!versionGatePasses(reported, supportedQLibVersionText(ctx.mode()))) return 0;
    QmslHandle h = vendorConnect();
    if (h != 0) ctx.addConnection(h, port);
    return h;
}

} // namespace

QmslHandle KAVOR_ConnectServer(unsigned int iComPort) {
    return connectChecked(iComPort, [&] { return QLIB_ConnectServer(iComPort); });
}

QmslHandle KAVOR_ConnectServerWithWait(unsigned int iComPort, unsigned int iWait_ms) {
    return connectChecked(iComPort, [&] { return QLIB_ConnectServerWithWait(iComPort, iWait_ms); });
}

QmslHandle KAVOR_ConnectServer_LogicalPort(unsigned int iLogicalPort) {
    return connectChecked(iLogicalPort, [&] { return QLIB_ConnectServer_LogicalPort(iLogicalPort); });
}

void KAVOR_DisconnectServer(QmslHandle hResourceContext) {
    context().releaseConnection(hResourceContext);
    QLIB_DisconnectServer(hResourceContext);
}

void KAVOR_DisconnectAllServers(void) {
    context().disconnectAll();
    QLIB_DisconnectAllServers();
}

void KAVOR_SetLibraryMode(unsigned char ucMode) {
    const bool qpst = ucMode == 1;
    QLIB_SetLibraryMode(qpst);
    context().setMode(qpst ? QPST : QPHONEMS);
}

unsigned char KAVOR_GetLibraryMode(void) {
    context();
    char reported[QMSL_VERSION_TEXT_MAX + 1] = {};
    QLIB_GetLibraryVersion(reported);
    return std::strstr(reported, "QPST") != nullptr;
}

unsigned int KAVOR_GetExtensionVersion(char* pcVersion) {
    const char* text = extensionVersionText(context().mode());
    const std::size_t n = std::strlen(text) + 1;
    std::memcpy(pcVersion, text, n);
    return static_cast<unsigned int>(n);
}

void KAVOR_GetSupportedQLibVersion(char* pcVersion) {
    const char* text = supportedQLibVersionText(context().mode());
    std::memcpy(pcVersion, text, std::strlen(text) + 1);
}

void KAVOR_SetCallback(QmslHandle, KavorProgressCallback pCallback) { context().progressCallback = pCallback; }
