// Typed Bluetooth commands and the phone's Bluetooth module behind them.
#include "qmsl_bt.h"
#include "qmsl_bt_sim.h"

#include "library.h"

using namespace qmsl_sim;

unsigned char QLIB_FTM_BT_Enable_Bluetooth(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_BT_SetCW(QmslHandle h, unsigned char ch) { return typed_call(h, __func__, {ch}, {}); }
unsigned char QLIB_FTM_BT_SetAddr(QmslHandle h, const unsigned char* addr) {
    if (!addr) return 0;
    return typed_call(h, __func__, {In(addr, QMSL_BT_ADDRESS_SIZE)}, {});
}
unsigned char QLIB_FTM_BT_HCI_USER_CMD(QmslHandle h, const unsigned char* buffer, unsigned char length) {
    if (!buffer && length) return 0;
    return typed_call(h, __func__, {In(buffer, length)}, {});
}
unsigned char QLIB_BT_GetModuleVersion(QmslHandle h, unsigned int* version) {
    return typed_call(h, __func__, {}, {out(version)});
}

namespace qmsl_sim {

Bluetooth& bluetooth(Phone& phone) {
    return family_state_of<Bluetooth>(phone, "bluetooth");
}

} // namespace qmsl_sim

namespace {

const bool registered = [] {
    set_default_handler("QLIB_FTM_BT_Enable_Bluetooth", [](Phone& p, const Call&) {
        bluetooth(p).enabled = true;
        return true;
    });
    set_default_handler("QLIB_FTM_BT_SetCW", [](Phone& p, const Call& c) {
        bluetooth(p).cw_channel = static_cast<std::uint8_t>(c.in[0].value);
        return true;
    });
    set_default_handler("QLIB_FTM_BT_SetAddr", [](Phone& p, const Call& c) {
        bluetooth(p).address = c.in[0].bytes;
        return true;
    });
    set_default_handler("QLIB_FTM_BT_HCI_USER_CMD", [](Phone& p, const Call& c) {
        bluetooth(p).hci_commands.push_back(c.in[0].bytes);
        return true;
    });
    set_default_handler("QLIB_BT_GetModuleVersion", [](Phone& p, const Call& c) {
        c.set(0, bluetooth(p).module_version);
        return true;
    });
    return true;
}();

} // namespace
