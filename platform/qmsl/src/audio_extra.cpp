// DSP and speaker-amplifier audio commands: recorded, with the results a
// test sets.
#include "qmsl_audio_extra.h"

#include "library.h"

using namespace qmsl_sim;

unsigned char QLIB_FTM_AUDIO_DSP_LOOPBACK(QmslHandle h, unsigned char on) { return typed_call(h, __func__, {on}, {}); }
unsigned char QLIB_FTM_AUDIO_NS_CONTROL(QmslHandle h, unsigned char on) { return typed_call(h, __func__, {on}, {}); }
unsigned char QLIB_FTM_AUDIO_CapturePCMandTransferData(QmslHandle h, unsigned short n, unsigned short delay,
                                                       unsigned int target, unsigned short xfer, unsigned char wav) {
    return typed_call(h, __func__, {n, delay, target, xfer, wav}, {});
}
unsigned char QLIB_FTM_PMIC_SPKR_CONFIG(QmslHandle h, unsigned char cmd, unsigned char gain, unsigned char delay) {
    return typed_call(h, __func__, {cmd, gain, delay}, {});
}
