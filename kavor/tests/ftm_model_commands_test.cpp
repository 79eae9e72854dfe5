// The keypad backlight and slider commands: per phone model, row and hint.
#include "ftm_test_support.h"
#include "phone_model_support.h"
#include "qmsl_memory_sim.h"

#include <algorithm>
#include <optional>
#include <string>

namespace {

using namespace ftmtest;

class FtmModelCommands : public FtmFixture {
protected:
    // The extension-FTM requests of one command id.
    std::vector<Bytes> requestsOf(unsigned id) {
        std::vector<Bytes> r;
        for (const Bytes& b : requests())
            if (b.size() >= 6 && b[0] == 0x4B && b[1] == 0x0B && (b[4] | (b[5] << 8)) == static_cast<int>(id))
                r.push_back(b);
        return r;
    }
    bool logged(const std::string& line) {
        auto l = log();
        return std::find(l.begin(), l.end(), line) != l.end();
    }
    std::string modelLine(unsigned code, const char* suffix = " - Completed successfully\n") {
        return "KAVOR_Phone_Model(piVerNumber = " + std::to_string(modeltest::hwIdOf(code)) +
               ", piMSMModel = 2, piPhoneModel = " + std::to_string(code) + ")" + suffix;
    }
};

Bytes u32le(unsigned v) { return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)}; }

// --- keypad backlight ---------------------------------------------------------

struct BacklightCase {
    const char* name;
    unsigned model;
    unsigned short row;
    unsigned char on;
    bool ok;
    std::optional<unsigned> value;  // the value command 245 carries, when it is sent
    const char* last;               // the last log line
    const char* notice;             // what standard output shows
};
void PrintTo(const BacklightCase& c, std::ostream* os) { *os << c.name; }

class KeyPadBackLight : public FtmModelCommands, public ::testing::WithParamInterface<BacklightCase> {};

constexpr const char* kPalden = "\nPALDEN not support, only row 5 and 7! ";

TEST_P(KeyPadBackLight, FollowsModelAndRow) {
    const BacklightCase& c = GetParam();
    modeltest::usePhoneModel(phone(), c.model);
    ::testing::internal::CaptureStdout();
    const unsigned char ok = KAVOR_FTM_SetKeyPadBackLight(h, c.row, c.on);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), c.notice);
    EXPECT_EQ(ok, c.ok ? 1 : 0);

    auto sent = requestsOf(245);
    if (c.value) {
        EXPECT_EQ(sent, std::vector<Bytes>{req(245, 4, 12, u32le(*c.value))});
        EXPECT_EQ(ftm().keypad_backlight[c.row], c.on);
    } else {
        EXPECT_TRUE(sent.empty());
    }
    auto lines = log();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "KAVOR_FTM_SetKeyPadBackLight()");
    EXPECT_EQ(lines[1], "\tKAVOR_Phone_Model() start");
    EXPECT_TRUE(logged(modelLine(c.model)));
    EXPECT_EQ(lines.back(), c.last);
}

const char* kRowRange = "\tParameter RowNumber over the range (1-7).";

INSTANTIATE_TEST_SUITE_P(
    Rows, KeyPadBackLight,
    ::testing::Values(
        BacklightCase{"Model52Row1On", 52, 1, 1, true, 11,
                      "\tKAVOR_FTM_SetKeyPadBackLight(rowNumber = 1, backLightOn = 1) - Completed successfully\n", ""},
        BacklightCase{"Model52Row7Off", 52, 7, 0, true, 70,
                      "\tKAVOR_FTM_SetKeyPadBackLight(rowNumber = 7, backLightOn = 0) - Completed successfully\n", ""},
        BacklightCase{"Model52Row0", 52, 0, 1, false, std::nullopt, kRowRange, ""},
        BacklightCase{"Model52Row8", 52, 8, 1, false, std::nullopt, kRowRange, ""},
        BacklightCase{"Model52On2", 52, 3, 2, false, std::nullopt, "\tParameter BackLightOn over the range (0-1).", ""},
        BacklightCase{"UnknownModelUsesTheCommand", 0, 4, 1, true, 41,
                      "\tKAVOR_FTM_SetKeyPadBackLight(rowNumber = 4, backLightOn = 1) - Completed successfully\n", ""},
        BacklightCase{"Model3Row2On", 3, 2, 1, true, 21,
                      "\tKAVOR_FTM_SetKeyPadBackLight(rowNumber = 2, backLightOn = 1) - Completed successfully\n", kPalden},
        BacklightCase{"Model3Row2Off", 3, 2, 0, true, 20,
                      "\tKAVOR_FTM_SetKeyPadBackLight(rowNumber = 2, backLightOn = 0) - Completed successfully\n", kPalden},
        BacklightCase{"Model3Row8", 3, 8, 1, false, std::nullopt, kRowRange, kPalden},
        BacklightCase{"Model3Row0", 3, 0, 0, false, std::nullopt, kRowRange, kPalden}),
    [](const auto& info) { return std::string(info.param.name); });

// Rows 5 and 7 of phone model 3 go through the GPIO procedure.
class KeyPadBackLightGpio : public FtmModelCommands {
protected:
    std::string gpioLine(unsigned row, unsigned on, const char* suffix) {
        return "KAVOR_FTM_SetKeyPadBackLightGPIO(hResourceContext = " + std::to_string(h) + ", rowNumber = " +
               std::to_string(row) + ", backLightOn= " + std::to_string(on) + ")" + suffix;
    }
};

TEST_F(KeyPadBackLightGpio, Model3Row5DrivesThePmicAndRow7ThePin) {
    modeltest::usePhoneModel(phone(), 3);
    EXPECT_EQ(KAVOR_FTM_SetKeyPadBackLight(h, 5, 1), 1);
    EXPECT_EQ(log().back(), gpioLine(5, 1, " - Completed successfully\n"));
    auto pmic = phone().calls("QLIB_FTM_SET_PMIC_DRIVE_LEVEL");
    ASSERT_EQ(pmic.size(), 1u);
    EXPECT_EQ(pmic[0].args, (std::vector<long long>{1, 15}));

    EXPECT_EQ(KAVOR_FTM_SetKeyPadBackLight(h, 7, 1), 1);
    EXPECT_EQ(log().back(), gpioLine(7, 1, " - Completed successfully\n"));
    EXPECT_EQ(qmsl_sim::memory(phone()).read(0x8400015C), 1u << 13);
    EXPECT_TRUE(requestsOf(245).empty());
}

TEST_F(KeyPadBackLightGpio, AFailedPinGivesTheFailureLine) {
    modeltest::usePhoneModel(phone(), 3);
    qmsl_sim::memory(phone()).ignore_pokes(0x8400015C);
    EXPECT_EQ(KAVOR_FTM_SetKeyPadBackLight(h, 7, 1), 0);
    EXPECT_EQ(log().back(), gpioLine(7, 1, " - Failure"));
    EXPECT_TRUE(requestsOf(245).empty());
}

TEST_F(FtmModelCommands, KeyPadBackLightStopsWhenThePhoneModelFails) {
    modeltest::usePhoneModel(phone(), 52);
    ftm().statuses[{0x8000, 29}] = 1;
    EXPECT_EQ(KAVOR_FTM_SetKeyPadBackLight(h, 1, 1), 0);
    EXPECT_TRUE(requestsOf(245).empty());
    EXPECT_EQ(log().back(), "KAVOR_Phone_Model(piVerNumber = 0, piMSMModel = 2, piPhoneModel = 0) - Failure");
}

TEST_F(FtmModelCommands, KeyPadBackLightReportsTheStatus) {
    modeltest::usePhoneModel(phone(), 53);
    ftm().statuses[{0x8000, 245}] = 3;
    EXPECT_EQ(KAVOR_FTM_SetKeyPadBackLight(h, 2, 1), 0);
    EXPECT_EQ(log().back(), "\tKAVOR_FTM_SetKeyPadBackLight(rowNumber = 2, backLightOn = 1) - error code = 3");
    EXPECT_TRUE(ftm().keypad_backlight.empty());
}

// --- slider --------------------------------------------------------------------

struct SliderCase {
    const char* name;
    unsigned char hint;
    unsigned model;  // what the phone identifies as
    std::uint16_t raw;
    unsigned char state;
    bool ok;
    bool asksModel;
};
void PrintTo(const SliderCase& c, std::ostream* os) { *os << c.name; }

class SliderState : public FtmModelCommands, public ::testing::WithParamInterface<SliderCase> {};

TEST_P(SliderState, MapsTheRawStateByModel) {
    const SliderCase& c = GetParam();
    modeltest::usePhoneModel(phone(), c.model);
    ftm().slider_state = c.raw;
    unsigned char state = 'x';
    EXPECT_EQ(KAVOR_FTM_GetSliderState(h, &state, c.hint), c.ok ? 1 : 0);
    EXPECT_EQ(state, c.state);
    EXPECT_EQ(requestsOf(246), std::vector<Bytes>{req(246, 0, 12)});
    auto lines = log();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "PX_GetSliderState() start");
    EXPECT_EQ(logged("\tKAVOR_Phone_Model() start"), c.asksModel);
    EXPECT_EQ(phone().count("QLIB_DIAG_EXT_BUILD_ID_F") != 0, c.asksModel);
    EXPECT_TRUE(logged("KAVOR_FTM_GetSliderState()"));
    EXPECT_TRUE(logged("\tKAVOR_FTM_GetSliderState() - Completed successfully\n"));
    if (!c.ok) {
        EXPECT_EQ(lines.back(), "\tKAVOR_FTM_GetSliderState(sState = x)");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Models, SliderState,
    ::testing::Values(SliderCase{"Hint52Raw1", 52, 0, 1, 2, true, false},
                      SliderCase{"Hint52Raw2", 52, 0, 2, 3, true, false},
                      SliderCase{"Hint53Raw0", 53, 0, 0, 3, true, false},
                      SliderCase{"Hint55Raw3", 55, 0, 3, 2, true, false},
                      SliderCase{"Hint54RawOther", 54, 0, 9, 3, true, false},
                      SliderCase{"Model3Raw0", 0, 3, 0, 1, true, true},
                      SliderCase{"Model3Raw1", 0, 3, 1, 0, true, true},
                      SliderCase{"Model3RawOther", 0, 3, 7, 0, true, true},
                      SliderCase{"Hint51AsksModel52Raw3", 51, 52, 3, 1, true, true},
                      SliderCase{"Hint56AsksModel52RawOther", 56, 52, 4, 3, true, true},
                      SliderCase{"Model53Raw1", 0, 53, 1, 1, true, true},
                      SliderCase{"Model54Raw2", 0, 54, 2, 0, true, true},
                      SliderCase{"Model55Raw0", 0, 55, 0, 3, true, true},
                      SliderCase{"UnknownModelLeavesTheState", 0, 34, 1, 'x', false, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct SliderFault {
    const char* name;
    qmsl_sim::Fault fault;
    const char* line;
};
void PrintTo(const SliderFault& c, std::ostream* os) { *os << c.name; }

class SliderStateFault : public FtmModelCommands, public ::testing::WithParamInterface<SliderFault> {};

TEST_P(SliderStateFault, FailsAndMapsNoReplyBytes) {
    ftm().slider_state = 1;
    phone().inject("QLIB_SendSync", GetParam().fault);
    unsigned char state = 'x';
    EXPECT_EQ(KAVOR_FTM_GetSliderState(h, &state, 52), 0);
    EXPECT_EQ(state, 0);  // raw state 0 of model 52, not the phone's 1
    EXPECT_EQ(log().back(), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SliderStateFault,
    ::testing::Values(SliderFault{"NoReply", {qmsl_sim::Fault::NoReply, 0, {}, 0, 1},
                                  "\tKAVOR_FTM_GetSliderState() - SendSync() fail (error code = 187)"},
                      SliderFault{"ShortReply", {qmsl_sim::Fault::ShortReply, 11, {}, 0, 1},
                                  "\tKAVOR_FTM_GetSliderState() - error code = 0"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FtmModelCommands, SliderStopsWhenThePhoneModelFails) {
    modeltest::usePhoneModel(phone(), 52);
    ftm().statuses[{0x8000, 29}] = 1;
    unsigned char state = 'x';
    EXPECT_EQ(KAVOR_FTM_GetSliderState(h, &state, 0), 0);
    EXPECT_EQ(state, 'x');
    EXPECT_TRUE(requestsOf(246).empty());
}

TEST_F(FtmModelCommands, SliderToleratesNoStateOutput) {
    EXPECT_EQ(KAVOR_FTM_GetSliderState(h, nullptr, 52), 1);
    EXPECT_EQ(KAVOR_FTM_GetSliderState(h, nullptr, 0), 0);  // the default phone has no known model
}

} // namespace
