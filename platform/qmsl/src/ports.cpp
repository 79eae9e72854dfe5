// Port lists and aliases over the known phones, and the per-connection port
// settings. None of these needs the phone to answer; the connection calls are
// journaled and can be failed like any typed call.
#include "qmsl_port.h"

#include "library.h"

#include <algorithm>

using namespace qmsl_sim;

namespace {

unsigned char fillList(unsigned short* count, unsigned short* list, const std::vector<unsigned short>& ports) {
    if (!count) return 0;
    const std::size_t n = std::min<std::size_t>(*count, ports.size());
    if (n && !list) return 0;
    std::copy_n(ports.begin(), n, list);
    *count = static_cast<unsigned short>(n);
    return 1;
}

// A journaled call on a live connection that the phone need not answer.
unsigned char onConnection(QmslHandle h, const char* fn, std::vector<long long> args) {
    Phone* p = phone_for_handle(h);
    if (!p) return 0;
    p->record({fn, h, std::move(args), {}, {}, 0});
    if (auto f = p->take_fault(fn); f && f->kind != Fault::Delay) return 0;
    return 1;
}

} // namespace

unsigned char QLIB_GetAllPortList(unsigned short* count, unsigned short* list) {
    std::vector<unsigned short> ports;
    for (const auto& [port, p] : library().phones)
        if (p->present) ports.push_back(static_cast<unsigned short>(port));
    return fillList(count, list, ports);
}

unsigned char QLIB_GetAvailablePhonesPortList(unsigned short* count, unsigned short* list, unsigned short nIgnore,
                                              const unsigned short* ignore) {
    std::vector<unsigned short> ports;
    for (const auto& [port, p] : library().phones) {
        const bool ignored = ignore && std::find(ignore, ignore + nIgnore, port) != ignore + nIgnore;
        if (p->present && p->answers() && !ignored) ports.push_back(static_cast<unsigned short>(port));
    }
    return fillList(count, list, ports);
}

unsigned char QLIB_AddPortAliasEntry(unsigned short logical, unsigned short physical) {
    library().aliases[logical] = physical;
    return 1;
}

unsigned char QLIB_ClearPortAliasList(void) {
    library().aliases.clear();
    return 1;
}

unsigned char QLIB_GetComPortNumber(QmslHandle h, unsigned short* port) {
    Connection* c = connection(h);
    if (!c || !port || !onConnection(h, __func__, {})) return 0;
    *port = static_cast<unsigned short>(c->port);
    return 1;
}

unsigned char QLIB_ConfigureTimeOut(QmslHandle h, int ms) { return onConnection(h, __func__, {ms}); }
unsigned char QLIB_FlushRxBuffer(QmslHandle h) { return onConnection(h, __func__, {}); }
unsigned char QLIB_AbortSW_DownloadOperation(QmslHandle h) { return onConnection(h, __func__, {}); }
unsigned char QLIB_SetData2DiagSearch(QmslHandle h, unsigned char on) { return onConnection(h, __func__, {on}); }
