// Typed Bluetooth and audio commands: recorded in the journal, with the
// results and outputs a test sets (faults, set_outputs, handlers).
#include "qmsl_bt_audio_calls.h"

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

unsigned char QLIB_FTM_AUDIO_SET_PATH(QmslHandle h, unsigned short d) { return typed_call(h, __func__, {d}, {}); }
unsigned char QLIB_FTM_AUDIO_PCM_LOOPBACK(QmslHandle h, unsigned char on) { return typed_call(h, __func__, {on}, {}); }
unsigned char QLIB_FTM_AUDIO_SET_VOLUME(QmslHandle h, unsigned char v) { return typed_call(h, __func__, {v}, {}); }
unsigned char QLIB_FTM_AUDIO_TONES_PLAY(QmslHandle h, unsigned short hi, unsigned short lo, unsigned short m) {
    return typed_call(h, __func__, {hi, lo, m}, {});
}
unsigned char QLIB_FTM_AUDIO_TONES_STOP(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_AUDIO_PCM_CAPTURE(QmslHandle h, unsigned short n, unsigned short delay) {
    return typed_call(h, __func__, {n, delay}, {});
}
unsigned char QLIB_FTM_AUDIO_GET_PCM_CAPTURE_DATA(QmslHandle h, unsigned int offset, unsigned short size,
                                                  unsigned char* buffer) {
    return typed_call(h, __func__, {static_cast<long long>(offset), size}, {out_bytes(buffer, buffer ? size : 0)});
}
unsigned char QLIB_FTM_AUDIO_PCM_STOP_CAPTURE(QmslHandle h) { return typed_call(h, __func__, {}, {}); }
unsigned char QLIB_FTM_AUDIO_SET_CODECTXGAIN_ADJUST(QmslHandle h, short g) { return typed_call(h, __func__, {g}, {}); }
