// GPIO pins on the phone's registers: the mask table, pin set and get, the
// fixed supply and antenna pins and the slider per phone type.
#include "TesselFctsFixture.h"
#include "qmsl_memory_sim.h"

namespace {

class PeriphGpio : public TesselFcts {
protected:
    static qmsl_sim::MemoryMap& memory() { return qmsl_sim::memory(phone()); }
    static std::size_t pokes() {
        return phone().count("QLIB_DIAG_MEMORY_POKE_F") + phone().count("QLIB_DIAG_MEMORY_POKE_WORD_F") +
               phone().count("QLIB_DIAG_MEMORY_POKE_DWORD_F");
    }
};

struct GpioCase {
    const char* name;
    unsigned char ucGpio;
    std::uint32_t uiAddress;
    unsigned uWidth;  // bytes
    std::uint32_t uiMask;
};

// clang-format off
const GpioCase kGpios[] = {
    {"Gpio0",  0,  0x8400015C, 4, 0x1},        {"Gpio31", 31, 0x8400015C, 4, 0x80000000},
    {"Gpio32", 32, 0x84000160, 1, 0x1},        {"Gpio38", 38, 0x84000160, 1, 0x40},
    {"Gpio39", 39, 0x48000008, 2, 0x1},        {"Gpio40", 40, 0x48000008, 2, 0x2},
    {"Gpio54", 54, 0x48000008, 2, 0x8000},     {"Gpio55", 55, 0x4800000C, 2, 0x1},
    {"Gpio66", 66, 0x4800000C, 2, 0x800},      {"Gpio67", 67, 0x84000164, 4, 0x1},
    {"Gpio98", 98, 0x84000164, 4, 0x80000000},
};
// clang-format on

class GpioPin : public PeriphGpio, public ::testing::WithParamInterface<GpioCase> {};

TEST_P(GpioPin, MaskFollowsTheRange) {
    const int s = typed(0);
    unsigned int uiMask = 0;
    EXPECT_EQ(_Tessel_GetGpioMask(s, GetParam().ucGpio, &uiMask, "t.c", 1), 0);
    EXPECT_EQ(uiMask, GetParam().uiMask);
}

TEST_P(GpioPin, SetWritesTheRangesRegisterInItsWidth) {
    const GpioCase& c = GetParam();
    const int s = typed(0);
    memory().preset(c.uiAddress, 0x5A5A5A5A & ~c.uiMask, 4);
    ASSERT_EQ(_Tessel_SpecialSetGpioState(s, c.ucGpio, 1, "t.c", 1), 0);
    EXPECT_EQ(memory().read(c.uiAddress, c.uWidth), (0x5A5A5A5Au | c.uiMask) & (c.uWidth == 4 ? ~0u : (1u << 8 * c.uWidth) - 1));
    const char* poke = c.uWidth == 1 ? "QLIB_DIAG_MEMORY_POKE_F" : c.uWidth == 2 ? "QLIB_DIAG_MEMORY_POKE_WORD_F"
                                                                                 : "QLIB_DIAG_MEMORY_POKE_DWORD_F";
    EXPECT_EQ(phone().count(poke), 1u);
    ASSERT_EQ(_Tessel_SpecialSetGpioState(s, c.ucGpio, 0, "t.c", 1), 0);
    EXPECT_EQ(memory().read(c.uiAddress, c.uWidth) & c.uiMask, 0u);
}

TEST_P(GpioPin, GetReadsThePinsBit) {
    const GpioCase& c = GetParam();
    const int s = typed(0);
    short sState = 7;
    memory().preset(c.uiAddress, c.uiMask, 4);
    ASSERT_EQ(_Tessel_SpecialGetGpioState(s, c.ucGpio, &sState, "t.c", 1), 0);
    EXPECT_EQ(sState, 1);
    memory().preset(c.uiAddress, ~c.uiMask, 4);
    ASSERT_EQ(_Tessel_SpecialGetGpioState(s, c.ucGpio, &sState, "t.c", 1), 0);
    EXPECT_EQ(sState, 0);
}

INSTANTIATE_TEST_SUITE_P(Map, GpioPin, ::testing::ValuesIn(kGpios),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PeriphGpio, GpioAbove98IsOutOfRange) {
    const int s = typed(0);
    unsigned int uiMask = 7;
    short sState = 0;
    EXPECT_EQ(_Tessel_GetGpioMask(s, 99, &uiMask, "t.c", 1), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(uiMask, 0u);
    EXPECT_TRUE(hasLine("_Tessel_GetGpioMask(iGpio=99, iMask=0x00000000) = 0xbffc19f3"));
    EXPECT_EQ(_Tessel_SpecialSetGpioState(s, 99, 1, "t.c", 1), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(_Tessel_SpecialGetGpioState(s, 255, &sState, "t.c", 1), TESSEL_ERROR_PARAMETER2);
    EXPECT_EQ(phone().journal.size(), 0u);
}

TEST_F(PeriphGpio, PinThatDoesNotFollowFails) {
    const int s = typed(0);
    memory().ignore_pokes(0x48000008, 2);
    EXPECT_EQ(_Tessel_SpecialSetGpioState(s, 40, 1, "t.c", 1), kLib);
    EXPECT_TRUE(hasLine("[POKE->PEEK no match.]"));
}

TEST_F(PeriphGpio, UnconnectedPinFailsWithoutACall) {
    const int s = openSession();
    short sState = 0;
    EXPECT_EQ(_Tessel_SpecialSetGpioState(s, 3, 1, "t.c", 1), kLib);
    EXPECT_EQ(_Tessel_SpecialGetGpioState(s, 3, &sState, "t.c", 1), kLib);
}

// --- fixed pins -----------------------------------------------------------------

TEST_F(PeriphGpio, AccessorySupplyIsGpio86OfType0) {
    const int s = typed(0);
    ASSERT_EQ(_Tessel_SpecialSwitchAccSupplyVoltage(s, 1, "t.c", 1), 0);
    EXPECT_EQ(memory().read(0x84000164), 0x80000u);
    EXPECT_TRUE(hasLine("[GPIO86 -> HIGH]"));
    ASSERT_EQ(_Tessel_SpecialSwitchAccSupplyVoltage(s, 0, "t.c", 1), 0);
    EXPECT_EQ(memory().read(0x84000164), 0u);
    EXPECT_TRUE(hasLine("[GPIO86 -> LOW]"));
}

TEST_F(PeriphGpio, CameraSupplyIsABitOfType1) {
    const int s = typed(1);
    ASSERT_EQ(_Tessel_SpecialSwitchVregCamera(s, 1, "t.c", 1), 0);
    EXPECT_EQ(memory().read(0x8400015C), 0x2u);
}

TEST_F(PeriphGpio, AntennaSwitchIsGpio17OfType0) {
    const int s = typed(0);
    memory().preset(0x84000168, 0x20000);
    short sState = 0;
    ASSERT_EQ(_Tessel_SpecialReadAntennaSwitchState(s, &sState, "t.c", 1), 0);
    EXPECT_EQ(sState, 1);
    EXPECT_TRUE(hasLine("[read GPIO17]"));
    EXPECT_TRUE(hasLine("_Tessel_SpecialReadAntennaSwitchState( *bState=1 ) = 0"));
}

struct FixedPinCase {
    const char* name;
    int iPhoneType;
    std::function<int(int)> run;
};

const FixedPinCase kOtherTypes[] = {
    {"AccessorySupplyOnType1", 1, [](int s) { return _Tessel_SpecialSwitchAccSupplyVoltage(s, 1, "t.c", 1); }},
    {"CameraSupplyOnType0", 0, [](int s) { return _Tessel_SpecialSwitchVregCamera(s, 1, "t.c", 1); }},
    {"AntennaOnType9", 9, [](int s) {
         short b = 0;
         return _Tessel_SpecialReadAntennaSwitchState(s, &b, "t.c", 1);
     }},
};

class FixedPinOtherType : public PeriphGpio, public ::testing::WithParamInterface<FixedPinCase> {};

TEST_P(FixedPinOtherType, IsNotSupported) {
    const int s = typed(GetParam().iPhoneType);
    EXPECT_EQ(GetParam().run(s), kLib);
    EXPECT_TRUE(hasLine("[ERROR: Mobile type not supported.]"));
    EXPECT_EQ(phone().journal.size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Types, FixedPinOtherType, ::testing::ValuesIn(kOtherTypes),
                         [](const auto& info) { return std::string(info.param.name); });

// --- slider ----------------------------------------------------------------------

struct SliderCase {
    const char* name;
    int iPhoneType;
    std::uint32_t uiPins;      // register 0x84000168 (GPIO 2 = 0x4, GPIO 18 = 0x40000)
    std::uint16_t usRaw;       // the raw state the phone's command answers (type 6)
    int iStatus;
    int eState;
    const char* resultLine;
};

// clang-format off
const SliderCase kSliders[] = {
    {"Brenvel4Open",        1, 0x40000, 0, 0, 0, "( GPIO2=0:GPIO18=1, *eSliderState=0(E_SLIDER_OPEN) ) = 0"},
    {"Brenvel4Closed",      1, 0x4,     0, 0, 1, "( GPIO2=1:GPIO18=0, *eSliderState=1(E_SLIDER_CLOSE) ) = 0"},
    {"Brenvel4BothHigh",    1, 0x40004, 0, 0, 2, "( GPIO2=1:GPIO18=1, *eSliderState=2(E_SLIDER_UNDEFINED_11) ) = 0"},
    {"Brenvel4BothLow",     1, 0,       0, 0, 3, "( GPIO2=0:GPIO18=0, *eSliderState=3(E_SLIDER_UNDEFINED_00) ) = 0"},
    {"LurvinOpen",          4, 0x40000, 0, 0, 0, "( GPIO18=1, *eSliderState=0(E_SLIDER_OPEN) ) = 0"},
    {"HubrelClosed",        10, 0,      0, 0, 1, "( GPIO18=0, *eSliderState=1(E_SLIDER_CLOSE) ) = 0"},
    {"TarvClosed",          6, 0, 0, 0, 1, "( *eSliderState=1(E_SLIDER_CLOSE) ) = 0"},
    {"TarvOpen",            6, 0, 3, 0, 0, "( *eSliderState=0(E_SLIDER_OPEN) ) = 0"},
    {"TarvUndefined",       6, 0, 2, 0, 3, "( *eSliderState=3(E_SLIDER_UNDEFINED_00) ) = 0"},
    {"Brenvel5NoSlider",    0, 0, 0, TESSEL_ERROR_LIBRARY, 4, "( *eSliderState=4(E_SLIDER_INVALID) ) = 0xbffc19f7"},
};
// clang-format on

class Slider : public PeriphGpio, public ::testing::WithParamInterface<SliderCase> {};

TEST_P(Slider, StateFromPinsOrCommand) {
    const SliderCase& c = GetParam();
    // The command's phone answers as the extension library's model 52.
    identifyAsModel(52);
    qmsl_sim::ext_ftm(phone()).slider_state = c.usRaw;
    const int s = typed(c.iPhoneType);
    memory().preset(0x84000168, c.uiPins);
    int eState = -1;
    EXPECT_EQ(_Tessel_SpecialGetSliderState(s, &eState, "t.c", 1), c.iStatus);
    EXPECT_EQ(eState, c.eState);
    EXPECT_TRUE(hasLine(std::string("_Tessel_SpecialGetSliderState") + c.resultLine));
}

INSTANTIATE_TEST_SUITE_P(Types, Slider, ::testing::ValuesIn(kSliders),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PeriphGpio, SliderPinReadFailing) {
    const int s = typed(1);
    phone().inject("QLIB_DIAG_MEMORY_PEEK_DWORD_F", {});
    int eState = -1;
    EXPECT_EQ(_Tessel_SpecialGetSliderState(s, &eState, "t.c", 1), kLib);
    EXPECT_EQ(eState, 4);
}

} // namespace
