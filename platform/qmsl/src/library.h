// Process-wide state of the stand-in: phones per port, live connections and
// the library-wide settings.
#pragma once

#include "qmsl_sim.h"
#include "qmsl_efs_sim.h"

#include <memory>

namespace qmsl_sim {

struct Connection {
    QmslHandle handle = 0;
    unsigned port = 0;
    int count = 0;
    void* download_cb = nullptr;
    void* efs_cb = nullptr;
    std::string log_file;
    unsigned log_flags = 2;
};

struct Library {
    bool qpst = false;
    std::optional<std::string> version_override;
    std::map<unsigned, std::unique_ptr<Phone>> phones;
    std::map<QmslHandle, Connection> connections;
    QmslHandle next_handle = 0x1000;
    std::map<unsigned, unsigned> aliases;  // logical port -> COM port
    std::vector<Responder> default_responders[2];
    std::map<std::string, Handler> default_handlers;
    LibraryCapabilities capabilities;
};

Library& library();
// The live connection of a handle, or null.
Connection* connection(QmslHandle handle);

// The state a family keeps on a phone under its name, made on first use.
template <class State>
State& family_state_of(Phone& phone, const char* name) {
    std::shared_ptr<void>& slot = phone.family_state[name];
    if (!slot) slot = std::make_shared<State>();
    return *static_cast<State*>(slot.get());
}

} // namespace qmsl_sim
