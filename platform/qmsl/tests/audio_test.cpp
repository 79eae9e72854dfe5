#include "qmsl_audio.h"
#include "qmsl_audio_sim.h"

#include "sim_test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr unsigned kPort = 8;

// The microphone-bias request: group 0x8001, command 1136, lengths 14 and 14, data 00 0B 01 00.
const unsigned char kMicBiasRequest[14] = {0x4B, 0x0B, 0x01, 0x80, 0x70, 0x04, 0x0E,
                                           0x00, 0x0E, 0x00, 0x00, 0x0B, 0x01, 0x00};

// A test on the phone of kPort; Base ::testing::TestWithParam<Row> for a table.
template <class Base>
class AudioTest : public qmsl_test::ConnectedTest<kPort, Base> {
protected:
    qmsl_sim::Audio& state() { return qmsl_sim::audio(this->phone()); }
};

using Audio = AudioTest<::testing::Test>;

// One row per command: how to call it once, what the journal must show and
// what the phone's audio holds afterwards.
struct CommandCase {
    const char* label;
    const char* fn;
    std::function<unsigned char(QmslHandle)> call;
    std::vector<long long> args;
    std::function<bool(const qmsl_sim::Audio&)> changed;
};
void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.label; }

const CommandCase kCommands[] = {
    {"SetPath", "QLIB_FTM_AUDIO_SET_PATH", [](QmslHandle h) { return QLIB_FTM_AUDIO_SET_PATH(h, 15); }, {15},
     [](const qmsl_sim::Audio& a) { return a.path == 15; }},
    {"Loopback", "QLIB_FTM_AUDIO_PCM_LOOPBACK", [](QmslHandle h) { return QLIB_FTM_AUDIO_PCM_LOOPBACK(h, 1); }, {1},
     [](const qmsl_sim::Audio& a) { return a.loopback; }},
    {"Volume", "QLIB_FTM_AUDIO_SET_VOLUME", [](QmslHandle h) { return QLIB_FTM_AUDIO_SET_VOLUME(h, 4); }, {4},
     [](const qmsl_sim::Audio& a) { return a.volume == 4; }},
    {"TonesPlay", "QLIB_FTM_AUDIO_TONES_PLAY", [](QmslHandle h) { return QLIB_FTM_AUDIO_TONES_PLAY(h, 1209, 697, 0); },
     {1209, 697, 0}, [](const qmsl_sim::Audio& a) { return a.tones_playing && a.tone_hi == 1209 && a.tone_lo == 697; }},
    {"Capture", "QLIB_FTM_AUDIO_PCM_CAPTURE", [](QmslHandle h) { return QLIB_FTM_AUDIO_PCM_CAPTURE(h, 3, 1000); },
     {3, 1000}, [](const qmsl_sim::Audio& a) { return a.capturing && a.capture_buffers == 3; }},
    {"CodecGain", "QLIB_FTM_AUDIO_SET_CODECTXGAIN_ADJUST",
     [](QmslHandle h) { return QLIB_FTM_AUDIO_SET_CODECTXGAIN_ADJUST(h, -12); }, {-12},
     [](const qmsl_sim::Audio& a) { return a.codec_tx_gain == -12; }},
};

using AudioCommand = AudioTest<::testing::TestWithParam<CommandCase>>;

TEST_P(AudioCommand, IsJournalledAndKeptByThePhone) {
    const CommandCase& c = GetParam();
    EXPECT_EQ(c.call(h), 1);
    auto calls = phone().calls(c.fn);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args, c.args);
    EXPECT_TRUE(c.changed(state()));
}

TEST_P(AudioCommand, InjectedFalseResultFailsWithoutEffect) {
    const CommandCase& c = GetParam();
    phone().inject(c.fn, {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(c.call(h), 0);
    EXPECT_FALSE(c.changed(state()));
    EXPECT_EQ(c.call(h), 1);
}

TEST_P(AudioCommand, FailsOnASilentPhoneAndAnUnknownHandle) {
    EXPECT_EQ(GetParam().call(-1), 0);
    phone().set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(GetParam().call(h), 0);
}

INSTANTIATE_TEST_SUITE_P(Commands, AudioCommand, ::testing::ValuesIn(kCommands),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(Audio, StopsEndTonesAndCapture) {
    ASSERT_EQ(QLIB_FTM_AUDIO_TONES_PLAY(h, 1000, 500, 0), 1);
    ASSERT_EQ(QLIB_FTM_AUDIO_PCM_CAPTURE(h, 1, 1000), 1);
    EXPECT_EQ(QLIB_FTM_AUDIO_TONES_STOP(h), 1);
    EXPECT_EQ(QLIB_FTM_AUDIO_PCM_STOP_CAPTURE(h), 1);
    EXPECT_FALSE(state().tones_playing);
    EXPECT_FALSE(state().capturing);
}

TEST_F(Audio, CaptureDataIsTheSlicePastItsEndZero) {
    state().pcm = {1, 2, 3, 4, 5};
    std::vector<unsigned char> buffer(4, 0xAA);
    EXPECT_EQ(QLIB_FTM_AUDIO_GET_PCM_CAPTURE_DATA(h, 3, 4, buffer.data()), 1);
    EXPECT_EQ(buffer, (std::vector<unsigned char>{4, 5, 0, 0}));
    EXPECT_EQ(phone().calls("QLIB_FTM_AUDIO_GET_PCM_CAPTURE_DATA")[0].args, (std::vector<long long>{3, 4}));
}

// The raw microphone-bias request: the header comes back with the result in byte 10.
TEST_F(Audio, MicBiasRequestAnswersFourteenBytesWithTheChosenResult) {
    for (std::uint8_t result : {0, 1, 0x5A}) {
        state().mic_bias_result = result;
        unsigned char reply[14] = {};
        unsigned short n = sizeof reply;
        ASSERT_EQ(QLIB_SendSync(h, sizeof kMicBiasRequest, kMicBiasRequest, &n, reply, 2000), 1);
        ASSERT_EQ(n, 14);
        EXPECT_EQ(std::vector<unsigned char>(reply, reply + 10), std::vector<unsigned char>(kMicBiasRequest, kMicBiasRequest + 10));
        EXPECT_EQ(reply[10], result);
    }
}

TEST_F(Audio, MicBiasReplyCanBeCutShort) {
    phone().inject("QLIB_SendSync", {qmsl_sim::Fault::ShortReply, 10, {}, 0, 1});
    unsigned char reply[14] = {};
    unsigned short n = sizeof reply;
    ASSERT_EQ(QLIB_SendSync(h, sizeof kMicBiasRequest, kMicBiasRequest, &n, reply, 2000), 1);
    EXPECT_EQ(n, 10);
}

} // namespace
