// Test side of the simulated phone's audio: what the audio commands left
// there, the samples a capture gives back, and the answer to the raw
// microphone-bias request.
//
// The microphone-bias request is an extension-FTM packet of group 0x8001,
// command 1136 (sent through QLIB_SendSync). The phone answers 14 bytes: the
// request's 10-byte header, then four bytes of which the first (byte 10) is
// the bias check's result, 0 when the bias voltages are in order.
#pragma once

#include "qmsl_sim.h"

#include <cstdint>
#include <vector>

#pragma GCC visibility push(default)
namespace qmsl_sim {

constexpr std::uint16_t kMicBiasCommand = 1136;  // in the LTM group 0x8001

struct Audio {
    int path = -1;                 // device last selected; -1 before any
    bool loopback = false;
    int volume = -1;               // last volume set; -1 before any
    bool tones_playing = false;
    std::uint16_t tone_hi = 0, tone_lo = 0;
    bool capturing = false;
    std::uint16_t capture_buffers = 0;
    int codec_tx_gain = 0;
    // The captured samples; a read past their end gives zeros.
    std::vector<std::uint8_t> pcm;
    // Byte 10 of the microphone-bias reply.
    std::uint8_t mic_bias_result = 0;
};

// The phone's audio (created on first use, goes with the phone).
QMSL_API Audio& audio(Phone& phone);

} // namespace qmsl_sim
#pragma GCC visibility pop
