// Connections, library mode and version text.
#include "library.h"

#include "pclock.h"

#include <cstdio>
#include <cstring>

using namespace qmsl_sim;

namespace {

QmslHandle connect_port(const char* fn, unsigned port, long long wait_ms) {
    Library& lib = library();
    Phone& p = phone(port);
    p.record({fn, 0, {static_cast<long long>(port), wait_ms}, {}, {}, 0});
    if (auto f = p.take_fault(fn)) {
        if (f->kind == Fault::Delay) pclock::sleep_ms(f->delay_ms);
        else return 0;
    }
    if (!p.present) return 0;
    if (wait_ms > 0) {
        const long long start = pclock::now_ms();
        while (!p.answers() && pclock::now_ms() - start < wait_ms) pclock::sleep_ms(100);
    }
    for (auto& [h, c] : lib.connections) {
        if (c.port == port) {
            ++c.count;
            return h;
        }
    }
    QmslHandle h = lib.next_handle++;
    if (lib.next_handle == -1 || lib.next_handle == 0) lib.next_handle = 0x1000;
    lib.connections[h] = Connection{h, port, 1};
    return h;
}

} // namespace

QmslHandle QLIB_ConnectServer(unsigned int port) { return connect_port(__func__, port, 0); }

QmslHandle QLIB_ConnectServerWithWait(unsigned int port, unsigned int waitMs) {
    return connect_port(__func__, port, waitMs);
}

QmslHandle QLIB_ConnectServer_LogicalPort(unsigned int logicalPort) {
    auto& aliases = library().aliases;
    auto it = aliases.find(logicalPort);
    return connect_port(__func__, it == aliases.end() ? logicalPort : it->second, 0);
}

void QLIB_DisconnectServer(QmslHandle handle) {
    Connection* c = connection(handle);
    if (!c) return;
    phone(c->port).record({__func__, handle, {}, {}, {}, 0});
    if (--c->count <= 0) library().connections.erase(handle);
}

void QLIB_DisconnectAllServers(void) {
    for (auto& [h, c] : library().connections) phone(c.port).record({__func__, h, {}, {}, {}, 0});
    library().connections.clear();
}

unsigned char QLIB_IsPhoneConnected(QmslHandle handle) {
    Phone* p = phone_for_handle(handle);
    if (!p) return 0;
    p->record({__func__, handle, {}, {}, {}, 0});
    pclock::run_due();
    if (auto f = p->take_fault(__func__)) {
        if (f->kind != Fault::Delay) return 0;
        pclock::sleep_ms(f->delay_ms);
    }
    return p->answers() ? 1 : 0;
}

void QLIB_SetLibraryMode(unsigned char useQpst) { library().qpst = useQpst != 0; }

void QLIB_GetLibraryVersion(char* text) {
    if (!text) return;
    const Library& lib = library();
    std::string v = lib.version_override ? *lib.version_override
                                         : std::string("QLIB V5.0.40,") + (lib.qpst ? "QPST" : "QPHONEMS");
    std::snprintf(text, QMSL_VERSION_TEXT_MAX, "%s", v.c_str());
}

unsigned char QLIB_ConfigureCallBacks(QmslHandle handle, void* efsDirectory, void* downloadProgress, void*) {
    Connection* c = connection(handle);
    if (!c) return 0;
    phone(c->port).record({__func__, handle, {efsDirectory != nullptr, downloadProgress != nullptr}, {}, {}, 0});
    c->download_cb = downloadProgress;
    c->efs_cb = efsDirectory;
    return 1;
}
