// The microphone-bias check with its raw request, the FM receiver's state
// read over I2C, and what the audio procedures leave in the phone.
#include "procedure_calls_support.h"
#include "qmsl_audio_sim.h"
#include "qmsl_ext_ftm.h"

namespace {

using callstest::Bytes;
using callstest::SequenceTest;

const Bytes kMicBiasRequest = {0x4B, 0x0B, 0x01, 0x80, 0x70, 0x04, 0x0E, 0x00, 0x0E, 0x00, 0x00, 0x0B, 0x01, 0x00};
// The request shown as text: its bytes up to the first zero.
const std::string kMicBiasSendLine = "QLIB_SendSync(iRequestSize = 14, piRequestBytes = K\x0B\x01\x80p\x04\x0E, "
                                     "piResponseSize = 14, iTimeout = 2000)";

// --- microphone bias ------------------------------------------------------------

struct MicBiasCase {
    const char* name;
    unsigned short device;
    std::uint8_t result;    // byte 10 of the phone's reply
    std::size_t cutTo;      // reply cut to this many bytes (0: whole)
    bool silent;            // no reply at all
    unsigned char expected;
    std::vector<std::string> lines;  // the procedure's lines after the audio path
};
void PrintTo(const MicBiasCase& c, std::ostream* os) { *os << c.name; }

const MicBiasCase kMicBiasCases[] = {
    {"HeadsetInOrder", 15, 0, 0, false, 1,
     {"\t\tQLIB_SendSync() start", "\t" + kMicBiasSendLine + " - Completed successfully\n"}},
    {"HeadsetOutOfOrder", 15, 1, 0, false, 0,
     {"\t\tQLIB_SendSync() start", "\t" + kMicBiasSendLine + " - Completed successfully\n",
      "\tQLIB_SendSync <cResponse[10] != 0> - Failure\n"}},
    {"HeadsetShortReply", 15, 0, 10, false, 0,
     {"\t\tQLIB_SendSync() start",
      "\tQLIB_SendSync(iRequestSize = 14, piRequestBytes = K\x0B\x01\x80p\x04\x0E, piResponseSize = 10, "
      "iTimeout = 2000) - Completed successfully\n",
      "\tQLIB_SendSync <piResponseSize < 11> - Failure\n"}},
    {"HeadsetNoReply", 15, 0, 0, true, 0,
     {"\t\tQLIB_SendSync() start",
      "\tQLIB_SendSync(iRequestSize = 14, piRequestBytes = K\x0B\x01\x80p\x04\x0E, piResponseSize = 0, "
      "iTimeout = 2000) - Failure\n"}},
    {"OtherDeviceSendsNothing", 3, 1, 0, false, 1, {}},
};

class MicBias : public SequenceTest, public ::testing::WithParamInterface<MicBiasCase> {};

TEST_P(MicBias, ChecksByteTenOfAWholeReply) {
    const MicBiasCase& c = GetParam();
    qmsl_sim::audio(phone()).mic_bias_result = c.result;
    if (c.cutTo) phone().inject("QLIB_SendSync", {qmsl_sim::Fault::ShortReply, c.cutTo, {}, 0, 1});
    if (c.silent) phone().inject("QLIB_SendSync", {qmsl_sim::Fault::NoReply, 0, {}, 0, 1});
    phone().clear_journal();

    EXPECT_EQ(KAVOR_MicrophoneBiasVoltages(h, c.device), c.expected);
    EXPECT_EQ(qmsl_sim::audio(phone()).path, c.device);
    std::vector<std::string> want = {"\t\tQLIB_FTM_AUDIO_SET_PATH() start",
                                     "\tQLIB_FTM_AUDIO_SET_PATH(iAudioDevice = " + std::to_string(c.device) +
                                         ") - Completed successfully\n"};
    want.insert(want.end(), c.lines.begin(), c.lines.end());
    EXPECT_EQ(log(), want);

    const auto sends = phone().calls("QLIB_SendSync");
    if (c.device != 15) {
        EXPECT_TRUE(sends.empty());
        return;
    }
    ASSERT_EQ(sends.size(), 1u);
    EXPECT_EQ(sends[0].bytes, kMicBiasRequest);
    EXPECT_EQ(sends[0].args, (std::vector<long long>{14, 2000}));
}

INSTANTIATE_TEST_SUITE_P(Replies, MicBias, ::testing::ValuesIn(kMicBiasCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SequenceTest, FailedAudioPathEndsTheBiasCheckBeforeTheRequest) {
    phone().inject("QLIB_FTM_AUDIO_SET_PATH", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    phone().clear_journal();
    EXPECT_EQ(KAVOR_MicrophoneBiasVoltages(h, 15), 0);
    EXPECT_EQ(phone().count("QLIB_SendSync"), 0u);
    EXPECT_EQ(log().back(), "\tQLIB_FTM_AUDIO_SET_PATH(iAudioDevice = 15) - Failure\n");
}

// --- FM receiver state --------------------------------------------------------------

struct FmInfoCase {
    const char* name;
    unsigned char kind;
    std::uint8_t state;  // register byte 9
    unsigned char expected;
    unsigned char value;
};
void PrintTo(const FmInfoCase& c, std::ostream* os) { *os << c.name; }

const FmInfoCase kFmInfoCases[] = {
    {"Kind0HighNibble", 0, 0xA7, 1, 0x0A},
    {"Kind1Bit3Set", 1, 0x08, 1, 1},
    {"Kind1Bit3Clear", 1, 0xF7, 1, 0},
    {"Kind2Bit2Set", 2, 0x04, 1, 1},
    {"Kind2Bit2Clear", 2, 0xFB, 1, 0},
    {"Kind3Refused", 3, 0xFF, 0, 0xFF},
};

class FmInfo : public SequenceTest, public ::testing::WithParamInterface<FmInfoCase> {};

TEST_P(FmInfo, TakesItsPartOfTheStateByte) {
    const FmInfoCase& c = GetParam();
    Bytes registers(28, 0);
    registers[9] = c.state;
    qmsl_sim::ext_ftm(phone()).i2c[{0x10, 0}] = registers;
    phone().clear_journal();

    unsigned char value = 0x55;
    EXPECT_EQ(KAVOR_SpecialGetFmRadioInfo(h, c.kind, &value), c.expected);
    EXPECT_EQ(value, c.value);
    // The registers are read for every kind, the refused one included.
    const auto sends = phone().calls("QLIB_SendSync");
    ASSERT_EQ(sends.size(), 1u);
    const Bytes read = {0x4B, 0x0B, 0x00, 0x80, 15, 0, 7, 0, 40, 0, 0, 0, 0x10, 0, 0, 0, 28};
    EXPECT_EQ(sends[0].bytes, read);
    // (read raw: the fixture's log shows every 0x... number as an address)
    EXPECT_EQ(phone().log_texts(h).back(), "\tKAVOR_FTM_I2C_DATA_ACCESS(iI2C_AccessType = 0, iI2C_SlaveAddr = 0x10, iI2C_RegAddrLen = "
                            "0, iI2C_RegAddr = 0x00, iI2C_DataLen = 28) - Completed successfully\n");
}

INSTANTIATE_TEST_SUITE_P(Kinds, FmInfo, ::testing::ValuesIn(kFmInfoCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SequenceTest, FmInfoLeavesTheByteUnsetWhenTheReadFails) {
    qmsl_sim::ext_ftm(phone()).statuses[{qmsl_sim::kExtFtmGroup, 15}] = 2;
    unsigned char value = 0;
    EXPECT_EQ(KAVOR_SpecialGetFmRadioInfo(h, 0, &value), 0);
    EXPECT_EQ(value, 0xFF);
}

TEST_F(SequenceTest, FmRadioTestKeepsTheKindTwoReadingInItsOneByte) {
    Bytes registers(28, 0);
    registers[9] = 0x74;  // kind 0: 7, kind 2: 1
    qmsl_sim::ext_ftm(phone()).i2c[{0x10, 0}] = registers;
    qmsl_sim::ext_ftm(phone()).bodies[{qmsl_sim::kExtFtmGroup, 22}] = {0, 0, 0x34, 0x12};
    qmsl_sim::ext_ftm(phone()).statuses[{qmsl_sim::kExtFtmGroup, 28}] = 3;  // tuned: a pass as well
    unsigned short id = 0, tune = 0;
    unsigned char info = 0;
    EXPECT_EQ(KAVOR_FM_RadioTest(h, 15, &id, 1017, &tune, &info), 1);
    EXPECT_EQ(id, 0x1234);
    EXPECT_EQ(tune, 3);
    EXPECT_EQ(info, 1);
}

// --- what the audio sequences leave in the phone ---------------------------------

TEST_F(SequenceTest, SpeakerTestStopsItsTonesAgain) {
    EXPECT_EQ(KAVOR_TestSpeaker(h, 15, 5, 1209, 697), 1);
    const qmsl_sim::Audio& a = qmsl_sim::audio(phone());
    EXPECT_EQ(a.volume, 5);
    EXPECT_EQ(a.tone_hi, 1209);
    EXPECT_EQ(a.tone_lo, 697);
    EXPECT_FALSE(a.tones_playing);
}

TEST_F(SequenceTest, MicrophoneTestCopiesTheSamplesAndWritesTheCallersItem) {
    qmsl_sim::audio(phone()).pcm = {9, 8, 7, 6, 5, 4, 3, 2};
    unsigned char buffer[4] = {};
    const unsigned char item[2] = {0x11, 0x22};
    EXPECT_EQ(KAVOR_TestMicrophone(h, 1, 2, 4, buffer, 4321, item, 2, 6), 1);
    EXPECT_EQ(Bytes(buffer, buffer + 4), (Bytes{7, 6, 5, 4}));
    EXPECT_EQ(phone().nv[4321].data, (Bytes{0x11, 0x22}));
    EXPECT_FALSE(qmsl_sim::audio(phone()).capturing);
    EXPECT_EQ(qmsl_sim::audio(phone()).codec_tx_gain, 6);
}

TEST_F(SequenceTest, AudioLineShowsABinaryBufferOnlyUpToItsLength) {
    // No zero in the samples and none after the caller's buffer: the line
    // still ends at the buffer's size.
    qmsl_sim::audio(phone()).pcm = Bytes(8, 'S');
    struct {
        unsigned char buffer[3];
        unsigned char after[5] = {'X', 'X', 'X', 'X', 'X'};
    } room{};
    const unsigned char item[1] = {'i'};
    EXPECT_EQ(KAVOR_TestMicrophone(h, 1, 0, 3, room.buffer, 4321, item, 1, 0), 1);
    EXPECT_TRUE(logged("\tQLIB_FTM_AUDIO_GET_PCM_CAPTURE_DATA(iDataOffset = 0, iDataSize = 3, pBuffer = SSS) - "
                       "Completed successfully\n"));
}

TEST_F(SequenceTest, LoopbackOffEndsItsLineAtTheZeroByte) {
    EXPECT_EQ(KAVOR_AudioTest(h, 3, 0), 1);
    EXPECT_EQ(log().back(), "\tQLIB_FTM_AUDIO_PCM_LOOPBACK(bLoopbackOn =  - Completed successfully\n");
    EXPECT_FALSE(qmsl_sim::audio(phone()).loopback);
}

} // namespace
