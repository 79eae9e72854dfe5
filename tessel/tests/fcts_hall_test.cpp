// The hall sensor over (phone type, sensor): the method of each pair, its
// state and its trace lines.
#include "TesselFctsFixture.h"
#include "qmsl_memory_sim.h"

namespace {

constexpr std::uint32_t kGpio18 = 0x40000;
constexpr std::uint32_t kFlipBit = 1u << 9;

struct HallCase {
    const char* name;
    int iPhoneType;
    int eSensor;
    std::uint32_t uiPins;       // register 0x84000168
    std::uint32_t uiFlipInput;  // register 0x48000064 (0x48000004 stays 0)
    std::uint16_t usSlider;     // the raw slider state the phone answers
    int iStatus;
    int eState;
    const char* plainLine;   // null: none
    const char* resultLine;  // null: none
};
void PrintTo(const HallCase& c, std::ostream* os) { *os << c.name; }

constexpr int kLib = TESSEL_ERROR_LIBRARY;
constexpr const char* kNotSupported = "[ERROR: Mobile type not supported.]";

// clang-format off
const HallCase kHallCases[] = {
    {"LurvinClamOpen",       4, 0, kGpio18, 0, 0, 0, 0, nullptr, "( GPIO18=1, *eSliderState=0(E_SLIDER_OPEN) ) = 0"},
    {"LurvinClamClosed",     4, 0, 0,       0, 0, 0, 1, nullptr, "( GPIO18=0, *eSliderState=1(E_SLIDER_CLOSE) ) = 0"},
    {"HubrelClamOpen",      10, 0, kGpio18, 0, 0, 0, 0, nullptr, "( GPIO18=1, *eSliderState=0(E_SLIDER_OPEN) ) = 0"},
    {"LurvinSliderInvalid",  4, 1, kGpio18, 0, 0, kLib, 4, "[ERROR: eHallSensor=1(E_HALL_SLIDER) invalid for this device]",
     "( GPIO18=0, *eSliderState=4(E_SLIDER_INVALID) ) = 0xbffc19f7"},
    {"TarvSliderClosed",     6, 1, 0, 0, 0, 0, 1, nullptr, "( *eSliderState=1(E_SLIDER_CLOSE) ) = 0"},
    {"TarvSliderOpen",       6, 1, 0, 0, 3, 0, 0, nullptr, "( *eSliderState=0(E_SLIDER_OPEN) ) = 0"},
    {"TarvSliderUndefined11", 6, 1, 0, 0, 1, 0, 2, nullptr, "( *eSliderState=2(E_SLIDER_UNDEFINED_11) ) = 0"},
    {"TarvSliderUndefined00", 6, 1, 0, 0, 2, 0, 3, nullptr, "( *eSliderState=3(E_SLIDER_UNDEFINED_00) ) = 0"},
    {"TarvClamInvalid",      6, 0, 0, 0, 0, kLib, 4, "[ERROR: eHallSensor=0(E_HALL_CLAM) invalid for this device]",
     "( *eSliderState=4(E_SLIDER_INVALID) ) = 0xbffc19f7"},
    {"PaldenFlipOpen",       9, 0, 0, kFlipBit, 0, 0, 0, nullptr, "(*eSliderState=0(E_SLIDER_OPEN) ) = 0"},
    {"PaldenFlipClosed",     9, 0, 0, 0,        0, 0, 1, nullptr, "(*eSliderState=1(E_SLIDER_CLOSE) ) = 0"},
    {"PaldenSliderOpen",     9, 1, 0, 0, 0, 0, 0, nullptr, "(*eSliderState=0(E_SLIDER_OPEN) ) = 0"},
    {"PaldenSliderClosed",   9, 1, 0, 0, 1, 0, 1, nullptr, "(*eSliderState=1(E_SLIDER_CLOSE) ) = 0"},
    {"PaldenSensor2Invalid", 9, 2, 0, 0, 0, kLib, 4, "[ERROR: eHallSensor=2(E_HALL_INVALID) invalid for this device]",
     "(*eSliderState=4(E_SLIDER_INVALID) ) = 0xbffc19f7"},
    {"SabbetNotSupported",   5, 0, 0, 0, 0, kLib, 4, kNotSupported, nullptr},
    {"Brenvel4NotSupported", 1, 1, 0, 0, 0, kLib, 4, kNotSupported, nullptr},
    {"UnknownNotSupported", 11, 0, 0, 0, 0, kLib, 4, kNotSupported, nullptr},
};
// clang-format on

class HallSensor : public TesselFcts, public ::testing::WithParamInterface<HallCase> {
protected:
    // The phone identifies to the extension library as its model: Palden as
    // model 3 (the flip and its slider map), the others as model 52.
    static void identify(int iPhoneType) { identifyAsModel(iPhoneType == 9 ? 3 : 52); }
};

TEST_P(HallSensor, StateByTypeAndSensor) {
    const HallCase& c = GetParam();
    identify(c.iPhoneType);
    const int s = connected();
    ASSERT_EQ(_Tessel_SetMobModel(s, c.iPhoneType, "t.c", 1), 0);
    tracer_test::clear_lines();
    qmsl_sim::memory(phone()).preset(0x84000168, c.uiPins);
    qmsl_sim::memory(phone()).preset(0x48000004, 0);
    qmsl_sim::memory(phone()).preset(0x48000064, c.uiFlipInput);
    qmsl_sim::ext_ftm(phone()).slider_state = c.usSlider;
    int eState = -1;
    EXPECT_EQ(_Tessel_SpecialGetHallSensorState(s, c.eSensor, &eState, "t.c", 1), c.iStatus);
    EXPECT_EQ(eState, c.eState);
    const char* cSensor = c.eSensor == 0 ? "E_HALL_CLAM" : c.eSensor == 1 ? "E_HALL_SLIDER" : "E_HALL_INVALID";
    EXPECT_TRUE(hasLine("_Tessel_SpecialGetHallSensorState( Handle=" + std::to_string(handleOf(s)) + " ) Sess=" +
                        std::to_string(s) + ", eHallSensor=" + std::to_string(c.eSensor) + "(" + cSensor + ")"));
    if (c.plainLine) {
        EXPECT_TRUE(hasLine(c.plainLine));
    }
    if (c.resultLine) {
        EXPECT_TRUE(hasLine(std::string("_Tessel_SpecialGetHallSensorState") + c.resultLine));
    } else {
        EXPECT_EQ(lines().size(), 2u);  // the call line and the plain line only
    }
}

INSTANTIATE_TEST_SUITE_P(Types, HallSensor, ::testing::ValuesIn(kHallCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TesselFcts, HallSensorPinReadFailing) {
    const int s = connected();
    ASSERT_EQ(_Tessel_SetMobModel(s, 4, "t.c", 1), 0);
    phone().inject("QLIB_DIAG_MEMORY_PEEK_DWORD_F", {});
    int eState = -1;
    EXPECT_EQ(_Tessel_SpecialGetHallSensorState(s, 0, &eState, "t.c", 1), kLib);
    EXPECT_EQ(eState, 4);
    EXPECT_TRUE(hasLine("[QLIB_DIAG_MEMORY_PEEK_DWORD_F failed.]"));
}

TEST_F(TesselFcts, HallSensorFlipOnAnotherModelFails) {
    // A Palden whose phone does not identify as the flip's model.
    identifyAsModel(52);
    const int s = connected();
    ASSERT_EQ(_Tessel_SetMobModel(s, 9, "t.c", 1), 0);
    int eState = -1;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(_Tessel_SpecialGetHallSensorState(s, 0, &eState, "t.c", 1), kLib);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(eState, 4);
}

TEST_F(TesselFcts, HallSensorNeedsItsOutput) {
    const int s = connected();
    EXPECT_EQ(_Tessel_SpecialGetHallSensorState(s, 0, nullptr, "t.c", 1), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(_Tessel_SpecialGetHallSensorState(13, 0, nullptr, "t.c", 1), TESSEL_ERROR_SESSION_INVALID);
}

} // namespace
