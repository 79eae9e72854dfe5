// Typed diagnostic commands and the phone's behaviour behind them.
#include "qmsl_diag.h"

#include "library.h"
#include "qmsl_nv_batch_sim.h"

#include <algorithm>

using namespace qmsl_sim;

unsigned char QLIB_DIAG_CONTROL_F(QmslHandle h, int mode) { return typed_call(h, __func__, {mode}, {}); }
unsigned char QLIB_DIAG_STATUS_F(QmslHandle h, unsigned char* state) {
    return typed_call(h, __func__, {}, {out(state)});
}
unsigned char QLIB_IsFTM_Mode(QmslHandle h, unsigned char* isFtm) { return typed_call(h, __func__, {}, {out(isFtm)}); }
unsigned char QLIB_DIAG_NV_READ_F(QmslHandle h, unsigned short item, unsigned char* data, int length,
                                  unsigned short* nvStatus) {
    return typed_call(h, __func__, {item, length},
                      {out_bytes(data, length > 0 ? static_cast<std::size_t>(length) : 0), out(nvStatus)});
}
unsigned char QLIB_DIAG_NV_WRITE_F(QmslHandle h, unsigned short item, const unsigned char* data, int length,
                                   unsigned short* nvStatus) {
    return typed_call(h, __func__, {item, In(data, length > 0 ? static_cast<std::size_t>(length) : 0)},
                      {out(nvStatus)});
}
unsigned char QLIB_SetDTR_State(QmslHandle h, unsigned char high) {
    // DTR is wired to the power key, which works while the phone is silent
    // too, so this does not go through the "phone answers" check.
    Phone* p = phone_for_handle(h);
    if (!p) return 0;
    p->record({__func__, h, {high}, {}, {}, 0});
    if (auto f = p->take_fault(__func__); f && f->kind != Fault::Delay) return 0;
    p->power_key_line(high != 0);
    return 1;
}

namespace {

constexpr std::uint16_t kNvSecCode = 85;

// A locked phone refuses the service programming code as a failed call.
bool refused(const Phone& p, std::uint16_t item) { return p.locked && item == kNvSecCode; }

const bool registered = [] {
    set_default_handler("QLIB_DIAG_CONTROL_F", [](Phone& p, const Call& c) { return p.control(int(c.in[0].value)); });
    set_default_handler("QLIB_DIAG_STATUS_F", [](Phone& p, const Call& c) {
        c.set(0, p.power() == Power::Online ? 1 : 0);
        return true;
    });
    set_default_handler("QLIB_IsFTM_Mode", [](Phone& p, const Call& c) {
        c.set(0, p.power() == Power::Ftm ? 1 : 0);
        return true;
    });
    set_default_handler("QLIB_DIAG_NV_READ_F", [](Phone& p, const Call& c) {
        auto item = static_cast<std::uint16_t>(c.in[0].value);
        if (refused(p, item)) return false;
        auto it = p.nv.find(item);
        if (it == p.nv.end()) {
            c.set(1, p.nv_missing_status);
            return true;
        }
        if (it->second.status == 0) c.set_bytes(0, it->second.data);
        c.set(1, it->second.status);
        return true;
    });
    set_default_handler("QLIB_DIAG_NV_WRITE_F", [](Phone& p, const Call& c) {
        auto item = static_cast<std::uint16_t>(c.in[0].value);
        if (refused(p, item)) return false;
        if (nv_batch_queue(p, item, c.in[1].bytes)) {
            c.set(0, 0);
            return true;
        }
        NvItem& nv = p.nv[item];
        if (nv.status == 0) nv.data = c.in[1].bytes;
        c.set(0, nv.status);
        return true;
    });
    return true;
}();

} // namespace
