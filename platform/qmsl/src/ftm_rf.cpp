// Typed FTM RF commands. The phone has no behaviour of its own for them: each
// succeeds while it answers and gives back the outputs a test set.
#include "qmsl_ftm.h"

#include "library.h"

using namespace qmsl_sim;

unsigned char QLIB_FTM_SET_MODE(QmslHandle h, int m) { return typed_call(h, __func__, {m}, {}); }
unsigned char QLIB_FTM_SET_PDM(QmslHandle h, int t, int v) { return typed_call(h, __func__, {t, v}, {}); }
unsigned char QLIB_FTM_SET_PDM_signed(QmslHandle h, int t, int v) { return typed_call(h, __func__, {t, v}, {}); }
unsigned char QLIB_FTM_SET_TX_ON(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_SET_TX_OFF(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_SET_LNA_RANGE(QmslHandle h, int r) { return typed_call(h, __func__, {r}, {}); }
unsigned char QLIB_FTM_SET_CHAN(QmslHandle h, int c) { return typed_call(h, __func__, {c}, {}); }
unsigned char QLIB_FTM_GET_ADC_VAL(QmslHandle h, unsigned short t, unsigned short* v) {
    return typed_call(h, __func__, {t}, {out(v)});
}
unsigned char QLIB_FTM_GET_RX_AGC(QmslHandle h, short* v) { return typed_call(h, __func__, {}, {out(v)}); }
unsigned char QLIB_FTM_GET_SYNTH_STATE(QmslHandle h, unsigned char* v) { return typed_call(h, __func__, {}, {out(v)}); }
unsigned char QLIB_FTM_CDMA_CW_WAVEFORM(QmslHandle h, int b) { return typed_call(h, __func__, {b}, {}); }
unsigned char QLIB_FTM_SET_LNA_OFFSET(QmslHandle h, int i, int o) { return typed_call(h, __func__, {i, o}, {}); }
unsigned char QLIB_FTM_SET_PA_RANGE(QmslHandle h, int r) { return typed_call(h, __func__, {r}, {}); }
unsigned char QLIB_FTM_GET_CDMA_IM2(QmslHandle h, unsigned char* i, unsigned char* q, unsigned short* t) {
    return typed_call(h, __func__, {}, {out(i), out(q), out(t)});
}
unsigned char QLIB_FTM_SET_DVGA_OFFSET(QmslHandle h, int o) { return typed_call(h, __func__, {o}, {}); }
unsigned char QLIB_FTM_TX_SWEEP_CAL(QmslHandle h, int b) { return typed_call(h, __func__, {b}, {}); }
unsigned char QLIB_FTM_GET_DVGA_OFFSET(QmslHandle h, int e, short* o) { return typed_call(h, __func__, {e}, {out(o)}); }
unsigned char QLIB_FTM_GET_LNA_OFFSET(QmslHandle h, int i, int e, short* o) {
    return typed_call(h, __func__, {i, e}, {out(o)});
}
unsigned char QLIB_FTM_GET_HDET_FROM_TX_SWEEP_CAL(QmslHandle h, int i, unsigned short* v) {
    return typed_call(h, __func__, {i}, {out(v)});
}
unsigned char QLIB_FTM_SET_HDET_TRACKING(QmslHandle h, int o, int v) { return typed_call(h, __func__, {o, v}, {}); }
unsigned char QLIB_FTM_CONFIGURE_TX_SWEEP_CAL(QmslHandle h, int t, int n) { return typed_call(h, __func__, {t, n}, {}); }
unsigned char QLIB_FTM_GET_ALL_HDET_FROM_TX_SWEEP_CAL(QmslHandle h, unsigned short* v) {
    return typed_call(h, __func__, {}, {out_bytes(v, QMSL_TX_SWEEP_HDET_MAX * sizeof(unsigned short))});
}
unsigned char QLIB_FTM_SET_PA_PROFILE(QmslHandle h, const unsigned short* ramp, const unsigned short* pa,
                                      unsigned char nRamp, unsigned char nPa) {
    return typed_call(h, __func__, {In(ramp, nRamp * sizeof *ramp), In(pa, nPa * sizeof *pa), nRamp, nPa}, {});
}
unsigned char QLIB_FTM_SET_TRANSMIT_CONT(QmslHandle h, int s, int d, int t, int n, int i) {
    return typed_call(h, __func__, {s, d, t, n, i}, {});
}
unsigned char QLIB_FTM_SET_TRANSMIT_BURST(QmslHandle h, int s, int d, int t, int n, int i) {
    return typed_call(h, __func__, {s, d, t, n, i}, {});
}
unsigned char QLIB_FTM_SET_RX_BURST(QmslHandle h, int s, int f) { return typed_call(h, __func__, {s, f}, {}); }
unsigned char QLIB_FTM_SET_RX_CONTINUOUS(QmslHandle h, int s, int f) { return typed_call(h, __func__, {s, f}, {}); }
unsigned char QLIB_FTM_SET_TX_POWER_LEVEL(QmslHandle h, int l) { return typed_call(h, __func__, {l}, {}); }
unsigned char QLIB_FTM_GET_RSSI(QmslHandle h, unsigned short* v) { return typed_call(h, __func__, {}, {out(v)}); }
unsigned char QLIB_FTM_SET_PA_DAC_INPUT(QmslHandle h, int d) { return typed_call(h, __func__, {d}, {}); }
unsigned char QLIB_FTM_SET_TX_CAL_SWEEP(QmslHandle h, int a, int b, int c) {
    return typed_call(h, __func__, {a, b, c}, {});
}
unsigned char QLIB_FTM_LOAD_RF_NV(QmslHandle h, unsigned short* s) { return typed_call(h, __func__, {}, {out(s)}); }
