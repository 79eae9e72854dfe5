// Typed diagnostic commands of the keys, version, error log, security, GSM
// call control, display, SPC and flash device; the version and the SPC come
// from the phone, the others give back the outputs a test set.
#include "qmsl_diag_sim.h"

#include "library.h"

#include <cstring>

using namespace qmsl_sim;

unsigned char QLIB_DIAG_HS_KEY_F(QmslHandle h, int k, unsigned char hold) {
    return typed_call(h, __func__, {k, hold}, {});
}
unsigned char QLIB_DIAG_VERNO_F(QmslHandle h, char* cd, char* ct, char* rd, char* rt, char* vd, unsigned char* scm,
                                unsigned char* cai, unsigned char* model, unsigned short* firm, unsigned char* slot,
                                unsigned char* vmaj, unsigned char* vmin) {
    const std::size_t n = QMSL_VERNO_TEXT_MAX;
    return typed_call(h, __func__, {},
                      {out_bytes(cd, n), out_bytes(ct, n), out_bytes(rd, n), out_bytes(rt, n), out_bytes(vd, n),
                       out(scm), out(cai), out(model), out(firm), out(slot), out(vmaj), out(vmin)});
}
unsigned char QLIB_DIAG_ERR_READ_F(QmslHandle h, QMSL_ErrorLog* log) {
    return typed_call(h, __func__, {}, {out_bytes(log, log ? sizeof *log : 0)});
}
unsigned char QLIB_DIAG_ERR_CLEAR_F(QmslHandle h, int rec) { return typed_call(h, __func__, {rec}, {}); }
unsigned char QLIB_DIAG_SECURITY_FREEZE_F(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_DIAG_GSM_STATUS_F(QmslHandle h, int* a, int* b, int* c, int* d, int* e, int* f, int* g) {
    return typed_call(h, __func__, {}, {out(a), out(b), out(c), out(d), out(e), out(f), out(g)});
}
unsigned char QLIB_DIAG_GSM_CALL_ORIG_F(QmslHandle h, unsigned char n, const unsigned char* digits) {
    return typed_call(h, __func__, {n, In(digits, digits ? n : 0)}, {});
}
unsigned char QLIB_DIAG_GSM_CALL_END_F(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_DIAG_HS_DISPLAY_GET_PARAMS_CMD(QmslHandle h, int id, unsigned short* ht, unsigned short* w,
                                                  unsigned short* d, unsigned short* o) {
    return typed_call(h, __func__, {id}, {out(ht), out(w), out(d), out(o)});
}
unsigned char QLIB_DIAG_SPC_F(QmslHandle h, const char* spc, unsigned char* result) {
    return typed_call(h, __func__, {In(spc, spc ? 6 : 0)}, {out(result)});
}
unsigned char QLIB_EFS2_DIAG_DEV_INFO(QmslHandle h, unsigned int* a, unsigned int* b, unsigned int* c,
                                      unsigned int* d, unsigned int* e, unsigned int* maker, unsigned int* device,
                                      unsigned int* f, char* name) {
    return typed_call(h, __func__, {},
                      {out(a), out(b), out(c), out(d), out(e), out(maker), out(device), out(f),
                       out_bytes(name, QMSL_EFS_DEVICE_NAME_MAX)});
}

namespace qmsl_sim {

DiagInfo& diag_info(Phone& phone) {
    return family_state_of<DiagInfo>(phone, "diag_info");
}

} // namespace qmsl_sim

namespace {

const bool registered = [] {
    set_default_handler("QLIB_DIAG_VERNO_F", [](Phone& p, const Call& c) {
        const DiagInfo& d = diag_info(p);
        c.set_text(0, d.comp_date);
        c.set_text(1, d.comp_time);
        c.set_text(2, d.rel_date);
        c.set_text(3, d.rel_time);
        c.set_text(4, d.ver_dir);
        c.set(5, d.scm);
        c.set(6, d.mob_cai_rev);
        c.set(7, p.profile.model);
        c.set(8, d.mob_firm_rev);
        c.set(9, d.slot_cycle_index);
        c.set(10, d.voc_maj);
        c.set(11, d.voc_min);
        return true;
    });
    set_default_handler("QLIB_DIAG_SPC_F", [](Phone& p, const Call& c) {
        const std::vector<std::uint8_t>& code = c.in[0].bytes;
        const std::string& want = diag_info(p).spc;
        const bool ok = code.size() == 6 && want.size() == 6 && std::memcmp(code.data(), want.data(), 6) == 0;
        c.set(0, ok ? 1 : 0);
        return true;
    });
    return true;
}();

} // namespace
