// The station's simulated phones, as the program prepares them at start:
// the FTM-mode button switches one on, and it has every light of the LED
// test.
#include "TamselFixture.h"
#include "TamselSimPhones.h"

#include "qmsl_spc_sim.h"

TEST_F(TamselTest, TheStationsPhonesSwitchOnIntoFtmModeWithEveryLight) {
    TamselPrepareSimulatedPhones();
    for (unsigned port : {1u, 16u}) EXPECT_EQ(qmsl_sim::phone(port).power(), qmsl_sim::Power::Off) << port;
    const pclock::Millis start = pclock::now_ms();
    ASSERT_EQ(press(kFtmMode), 0) << statusLine();
    EXPECT_LT(pclock::now_ms() - start, 5000);  // quick enough in real time
    EXPECT_EQ(phone().power(), qmsl_sim::Power::Ftm);
    EXPECT_TRUE(traced("[=== Mobile Hardware Detection : 9,"));
    EXPECT_EQ(press(kLed), 0) << statusLine();
    EXPECT_EQ(cvi_test::popups().size(), 9u);
}

// The read-variant button shows the variant name the station's phones hold.
TEST_F(TamselTest, TheStationsPhonesHoldAVariantName) {
    TamselPrepareSimulatedPhones();
    ASSERT_EQ(press(kFtmMode), 0) << statusLine();
    cvi_test::clear_popups();
    ASSERT_EQ(press(kReadVariant), 0) << statusLine();
    EXPECT_EQ(statusLine(), "Read variant: done");
    EXPECT_EQ(popupTexts(), std::vector<std::string>{"Variant Name: " TAMSEL_SIM_VARIANT_NAME});
}

// The service-code button on a station's phone, which comes locked with the
// unlock tries of a new phone: its code opens it and the button stores the
// new code; a wrong code is refused, costs a try and the button fails, the
// lock state it reads showing the tries left.
struct UnlockCase {
    const char* name;
    const char* code;
    int result;
    const char* status;  // the start of the status line
    int tries;           // left afterwards
    const char* lockState;
    const char* nv85;    // the code the phone holds afterwards
};

void PrintTo(const UnlockCase& c, std::ostream* os) { *os << c.name; }

class TamselStationUnlock : public TamselTest, public ::testing::WithParamInterface<UnlockCase> {};

TEST_P(TamselStationUnlock, TheServiceCodeButtonOnAStationPhone) {
    const UnlockCase& c = GetParam();
    TamselPrepareSimulatedPhones();
    const int fresh = qmsl_sim::spc_tries(phone());
    ASSERT_GT(fresh, 1);
    ASSERT_TRUE(phone().locked);
    ASSERT_EQ(press(kFtmMode), 0) << statusLine();
    tracer_test::clear_lines();
    cvi_test::push_prompt_answer(c.code);
    EXPECT_EQ(press(kServiceCode), c.result) << statusLine();
    EXPECT_EQ(statusLine().rfind(c.status, 0), 0u) << statusLine();
    EXPECT_EQ(qmsl_sim::spc_tries(phone()), fresh + c.tries) << statusLine();
    EXPECT_TRUE(traced("[UNLOCK_TTL:OK(" + std::to_string(fresh + c.tries) + "):SEC_CODE:" + c.lockState + "]"));
    const auto& held = phone().nv[85].data;
    EXPECT_EQ(std::string(held.begin(), held.end()), c.nv85);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, TamselStationUnlock,
    ::testing::Values(UnlockCase{"ItsCodeOpensIt", TAMSEL_SIM_SERVICE_CODE, 0, "Service code: done", 0, "OK", "716843"},
                      UnlockCase{"AWrongCodeCostsATry", "123456", -1, "Service code: FAILED - bLockState != 0 [1]", -1,
                                 "E", TAMSEL_SIM_SERVICE_CODE}),
    [](const ::testing::TestParamInfo<UnlockCase>& info) { return info.param.name; });
