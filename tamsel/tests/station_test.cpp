// The station's simulated phones, as the program prepares them at start:
// the FTM-mode button switches one on, and it has every light of the LED
// test.
#include "TamselFixture.h"
#include "TamselSimPhones.h"

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
