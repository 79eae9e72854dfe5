// Polar transmitter calibration commands: recorded, with the results and
// outputs a test sets; and the phone's answer to the raw GSM TX sweep
// request (its header echoed and a status of 0).
#include "qmsl_polar_tx.h"

#include "library.h"

using namespace qmsl_sim;

unsigned char QLIB_FTM_SET_TWOTONE_FREQ_OFFSET(QmslHandle h, unsigned short v) { return typed_call(h, __func__, {v}, {}); }
unsigned char QLIB_FTM_SET_OPLL_BW(QmslHandle h, unsigned char v) { return typed_call(h, __func__, {v}, {}); }
unsigned char QLIB_FTM_SET_TX_FRAME_MATRIX(QmslHandle h, unsigned char slot, unsigned char on, unsigned short level,
                                           unsigned char mod) {
    return typed_call(h, __func__, {slot, on, level, mod}, {});
}
unsigned char QLIB_FTM_ENABLE_POLAR_REF_CAL(QmslHandle h, unsigned char v) { return typed_call(h, __func__, {v}, {}); }
unsigned char QLIB_FTM_BASEBAND_BW_CAL(QmslHandle h, unsigned char v) { return typed_call(h, __func__, {v}, {}); }
unsigned char QLIB_FTM_SET_PATH_DELAY(QmslHandle h, short* delay) { return typed_call(h, __func__, {}, {out(delay)}); }
unsigned char QLIB_FTM_SET_TX_SWEEP_STEP_SIZE(QmslHandle h, unsigned char v) { return typed_call(h, __func__, {v}, {}); }
unsigned char QLIB_FTM_TX_RSB_DC_SWEEP(QmslHandle h, unsigned char n, unsigned int l1, unsigned int l2, unsigned int l3,
                                       unsigned int l4, unsigned int l5, unsigned short* status) {
    return typed_call(h, __func__, {n, l1, l2, l3, l4, l5}, {out(status)});
}

namespace {

constexpr std::uint8_t kSubsystemCommand = 0x4B, kFtmSubsystem = 0x0B;
constexpr std::uint16_t kTxSweepGroup = 0x11, kTxSweepCommand = 300;

const bool registered = [] {
    add_default_responder(Channel::Sync, [](Phone&, const std::vector<std::uint8_t>& req)
                                             -> std::optional<std::vector<std::uint8_t>> {
        if (req.size() < 10 || req[0] != kSubsystemCommand || req[1] != kFtmSubsystem ||
            (req[2] | (req[3] << 8)) != kTxSweepGroup || (req[4] | (req[5] << 8)) != kTxSweepCommand)
            return std::nullopt;
        std::vector<std::uint8_t> reply(req.begin(), req.begin() + 10);
        reply.resize(12, 0);
        return reply;
    });
    return true;
}();

} // namespace
