// Assisted-GPS commands: recorded, with the results and the self-test byte a
// test sets (set_outputs; 0 = passed when none).
#include "qmsl_agps.h"

#include "library.h"

using namespace qmsl_sim;

unsigned char QLIB_FTM_AGPS_SET_TEST_MODE(QmslHandle h, unsigned char on) { return typed_call(h, __func__, {on}, {}); }
unsigned char QLIB_FTM_AGPS_SELF_TEST(QmslHandle h, unsigned char* result) {
    return typed_call(h, __func__, {}, {out(result)});
}
unsigned char QLIB_FTM_AGPS_STANDALONE_TEST_MODE(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_AGPS_SV_TRACKING(QmslHandle h, unsigned char sv) { return typed_call(h, __func__, {sv}, {}); }
unsigned char QLIB_FTM_AGPS_IQ_CAPTURE(QmslHandle h, int centre, int sample, unsigned short delay,
                                       unsigned char autoCentre, unsigned short maxRecord) {
    return typed_call(h, __func__, {centre, sample, delay, autoCentre, maxRecord}, {});
}
unsigned char QLIB_FTM_AGPS_GET_IQ_DATA(QmslHandle h, unsigned int a, unsigned int b) {
    return typed_call(h, __func__, {a, b}, {});
}
unsigned char QLIB_FTM_AGPS_IDLE_MODE(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
