// The extended build id, answered from the phone's profile.
#include "qmsl_diag_ext.h"

#include "library.h"

using namespace qmsl_sim;

unsigned char QLIB_DIAG_EXT_BUILD_ID_F(QmslHandle h, unsigned int* msmHwVersion, unsigned int* mobileModel,
                                       char* softwareRevision, char* modelText) {
    return typed_call(h, __func__, {},
                      {out(msmHwVersion), out(mobileModel), out_bytes(softwareRevision, QMSL_BUILD_ID_TEXT_MAX),
                       out_bytes(modelText, QMSL_BUILD_ID_TEXT_MAX)});
}

namespace {

const bool registered = [] {
    set_default_handler("QLIB_DIAG_EXT_BUILD_ID_F", [](Phone& p, const Call& c) {
        c.set(0, p.profile.msm_version);
        c.set(1, p.profile.model);
        c.set_text(2, p.profile.build_id);
        c.set_text(3, p.profile.model_text);
        return true;
    });
    return true;
}();

} // namespace
