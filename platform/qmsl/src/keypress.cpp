// Key presses: the phone keeps the key map and key detection the calls set
// and hands out the key events a test queued.
#include "qmsl_keypress.h"
#include "qmsl_keypress_sim.h"

#include "library.h"

#include <cstring>

using namespace qmsl_sim;

namespace {
In text(const char* s) { return In(s, s ? std::strlen(s) : 0); }
} // namespace

unsigned char QLIB_DIAG_KeyPress_ClearMap(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_DIAG_KeyPress_AddMapEntry(QmslHandle h, unsigned short iHW_ID, unsigned char iKeyPressSW_ID) {
    return typed_call(h, __func__, {iHW_ID, iKeyPressSW_ID}, {});
}
unsigned char QLIB_DIAG_KeyPress_ConfigureKeyDetect(QmslHandle h, const char* sKeyUpString, const char* sKeyDownString,
                                                    unsigned short iSSID, unsigned int iRT_MASK) {
    if (!sKeyUpString || !sKeyDownString) return 0;
    return typed_call(h, __func__, {text(sKeyUpString), text(sKeyDownString), iSSID, iRT_MASK}, {});
}
unsigned char QLIB_DIAG_KeyPress_StartCapture(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_DIAG_KeyPress_StopCapture(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_DIAG_KeyPress_ClearQueue(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_DIAG_KeyPress_GetQueueSize(QmslHandle h, int* piKeypressQueueSize) {
    return typed_call(h, __func__, {}, {out(piKeypressQueueSize)});
}
unsigned char QLIB_DIAG_KeyPress_GetNextKeyEvent(QmslHandle h, unsigned short* piKeyPressID,
                                                 unsigned char* piKeyPressEvent) {
    return typed_call(h, __func__, {}, {out(piKeyPressID), out(piKeyPressEvent)});
}

namespace qmsl_sim {

Keypad& keypad(Phone& phone) {
    return family_state_of<Keypad>(phone, "keypad");
}

} // namespace qmsl_sim

namespace {

std::string textOf(const Arg& a) { return std::string(a.bytes.begin(), a.bytes.end()); }

const bool registered = [] {
    set_default_handler("QLIB_DIAG_KeyPress_ClearMap", [](Phone& p, const Call&) {
        keypad(p).map.clear();
        return true;
    });
    set_default_handler("QLIB_DIAG_KeyPress_AddMapEntry", [](Phone& p, const Call& c) {
        keypad(p).map.emplace_back(static_cast<std::uint16_t>(c.in[0].value), static_cast<std::uint8_t>(c.in[1].value));
        return true;
    });
    set_default_handler("QLIB_DIAG_KeyPress_ConfigureKeyDetect", [](Phone& p, const Call& c) {
        keypad(p).detect = KeyDetect{textOf(c.in[0]), textOf(c.in[1]), static_cast<std::uint16_t>(c.in[2].value),
                                     static_cast<std::uint32_t>(c.in[3].value)};
        return true;
    });
    set_default_handler("QLIB_DIAG_KeyPress_StartCapture", [](Phone& p, const Call&) {
        keypad(p).capturing = true;
        return true;
    });
    set_default_handler("QLIB_DIAG_KeyPress_StopCapture", [](Phone& p, const Call&) {
        keypad(p).capturing = false;
        return true;
    });
    set_default_handler("QLIB_DIAG_KeyPress_ClearQueue", [](Phone& p, const Call&) {
        keypad(p).queue.clear();
        return true;
    });
    set_default_handler("QLIB_DIAG_KeyPress_GetQueueSize", [](Phone& p, const Call& c) {
        c.set(0, static_cast<long long>(keypad(p).queue.size()));
        return true;
    });
    set_default_handler("QLIB_DIAG_KeyPress_GetNextKeyEvent", [](Phone& p, const Call& c) {
        auto& queue = keypad(p).queue;
        if (queue.empty()) return false;
        c.set(0, queue.front().key_id);
        c.set(1, queue.front().event);
        queue.pop_front();
        return true;
    });
    return true;
}();

} // namespace
