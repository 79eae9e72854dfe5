// Typed audio commands, the phone's audio state behind them, and its answer
// to the raw microphone-bias request.
#include "qmsl_audio.h"
#include "qmsl_audio_sim.h"

#include "library.h"

using namespace qmsl_sim;

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

namespace qmsl_sim {

Audio& audio(Phone& phone) {
    return family_state_of<Audio>(phone, "audio");
}

} // namespace qmsl_sim

namespace {

using Bytes = std::vector<std::uint8_t>;

// Keeps one value of the audio state and succeeds.
template <typename F>
Handler keeps(F f) {
    return [f](Phone& p, const Call& c) {
        f(audio(p), c);
        return true;
    };
}

std::optional<Bytes> micBias(Phone& p, const Bytes& req) {
    if (req.size() < 10 || req[0] != 0x4B || req[1] != 0x0B) return std::nullopt;
    const unsigned group = req[2] | (req[3] << 8), id = req[4] | (req[5] << 8);
    if (group != 0x8001 || id != kMicBiasCommand) return std::nullopt;
    Bytes reply(req.begin(), req.begin() + 10);
    reply.resize(14, 0);
    reply[10] = audio(p).mic_bias_result;
    return reply;
}

const bool registered = [] {
    set_default_handler("QLIB_FTM_AUDIO_SET_PATH", keeps([](Audio& a, const Call& c) { a.path = int(c.in[0].value); }));
    set_default_handler("QLIB_FTM_AUDIO_PCM_LOOPBACK",
                        keeps([](Audio& a, const Call& c) { a.loopback = c.in[0].value != 0; }));
    set_default_handler("QLIB_FTM_AUDIO_SET_VOLUME",
                        keeps([](Audio& a, const Call& c) { a.volume = int(c.in[0].value); }));
    set_default_handler("QLIB_FTM_AUDIO_TONES_PLAY", keeps([](Audio& a, const Call& c) {
                            a.tones_playing = true;
                            a.tone_hi = static_cast<std::uint16_t>(c.in[0].value);
                            a.tone_lo = static_cast<std::uint16_t>(c.in[1].value);
                        }));
    set_default_handler("QLIB_FTM_AUDIO_TONES_STOP", keeps([](Audio& a, const Call&) { a.tones_playing = false; }));
    set_default_handler("QLIB_FTM_AUDIO_PCM_CAPTURE", keeps([](Audio& a, const Call& c) {
                            a.capturing = true;
                            a.capture_buffers = static_cast<std::uint16_t>(c.in[0].value);
                        }));
    set_default_handler("QLIB_FTM_AUDIO_GET_PCM_CAPTURE_DATA", keeps([](Audio& a, const Call& c) {
                            const auto from = static_cast<std::size_t>(c.in[0].value);
                            const auto n = static_cast<std::size_t>(c.in[1].value);
                            Bytes data(n, 0);
                            for (std::size_t i = 0; i < n && from + i < a.pcm.size(); ++i) data[i] = a.pcm[from + i];
                            c.set_bytes(0, data);
                        }));
    set_default_handler("QLIB_FTM_AUDIO_PCM_STOP_CAPTURE", keeps([](Audio& a, const Call&) { a.capturing = false; }));
    set_default_handler("QLIB_FTM_AUDIO_SET_CODECTXGAIN_ADJUST",
                        keeps([](Audio& a, const Call& c) { a.codec_tx_gain = int(c.in[0].value); }));
    add_default_responder(Channel::Sync, micBias);
    return true;
}();

} // namespace
