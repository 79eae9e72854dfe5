#include "library.h"

namespace qmsl_sim {

Library& library() {
    static Library lib;
    return lib;
}

Connection* connection(QmslHandle handle) {
    auto& conns = library().connections;
    auto it = conns.find(handle);
    return it == conns.end() ? nullptr : &it->second;
}

Phone& phone(unsigned port) {
    auto& phones = library().phones;
    auto it = phones.find(port);
    if (it == phones.end()) it = phones.emplace(port, std::make_unique<Phone>(port)).first;
    return *it->second;
}

Phone* phone_for_handle(QmslHandle handle) {
    Connection* c = connection(handle);
    return c ? &phone(c->port) : nullptr;
}

bool is_connected(QmslHandle handle) { return connection(handle) != nullptr; }

void reset() {
    Library& lib = library();
    lib.qpst = false;
    lib.version_override.reset();
    lib.connections.clear();
    lib.aliases.clear();
    lib.phones.clear();
    lib.capabilities = {};
    keep_journal(true);
}

bool library_mode_qpst() { return library().qpst; }

void set_version_text(std::optional<std::string> text) { library().version_override = std::move(text); }

std::pair<void*, void*> callbacks(QmslHandle handle) {
    Connection* c = connection(handle);
    return c ? std::make_pair(c->download_cb, c->efs_cb) : std::make_pair<void*, void*>(nullptr, nullptr);
}

void add_default_responder(Channel channel, Responder r) {
    library().default_responders[static_cast<int>(channel)].push_back(std::move(r));
}

void set_default_handler(const std::string& fn, Handler h) { library().default_handlers[fn] = std::move(h); }

} // namespace qmsl_sim
