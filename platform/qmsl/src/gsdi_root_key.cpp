// Root key and secure device information: the phone keeps the root key a
// write gave it and reads it back, with the command statuses a test set.
#include "qmsl_gsdi_sim.h"

#include "library.h"

using namespace qmsl_sim;

namespace qmsl_sim {

RootKeyStore& root_key(Phone& phone) {
    return family_state_of<RootKeyStore>(phone, "root_key");
}

} // namespace qmsl_sim

namespace {

// Inputs: slot, application id, then the key for a write. Outputs of a
// write and of the device information: command status, status; of a read:
// key length, key, command status, status.
const bool registered = [] {
    set_default_handler("QLIB_GSDIDIAG_ROOT_KEY_WRITE_CMD", [](Phone& p, const Call& c) {
        if (p.outputs(c.name)) return give_outputs(p, c);
        RootKeyStore& store = root_key(p);
        c.set(0, store.write_status);
        c.set(1, 0);
        if (store.write_status == 0) store.key = c.in[2].bytes;
        return true;
    });
    set_default_handler("QLIB_GSDIDIAG_ROOT_KEY_READ_CMD", [](Phone& p, const Call& c) {
        if (p.outputs(c.name)) return give_outputs(p, c);
        const RootKeyStore& store = root_key(p);
        const std::vector<std::uint8_t>& key = store.read_back ? *store.read_back : store.key;
        const bool ok = store.read_status == 0;
        c.set(0, ok ? static_cast<long long>(key.size()) : 0);
        if (ok) c.set_bytes(1, key);
        c.set(2, store.read_status);
        c.set(3, 0);
        return true;
    });
    set_default_handler("QLIB_GSDIDIAG_SECURE_DEVICE_INFO_CMD", [](Phone& p, const Call& c) {
        if (p.outputs(c.name)) return give_outputs(p, c);
        c.set(0, root_key(p).device_info_status);
        c.set(1, 0);
        return true;
    });
    return true;
}();

} // namespace
