#include "LibraryContext.h"
#include "kavor.h"
#include "qmsl_sim.h"

#include "kavor_test_support.h"
#include "pclock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using kavor::context;

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        kavortest::freshLibrary();
        qmsl_sim::phone(3).clear_journal();
    }
    void TearDown() override {
        KAVOR_DisconnectAllServers();
        qmsl_sim::reset();
        pclock::use_real_time();
    }
};

TEST_F(Registry, SameHandleTwiceIsCountedAndTheVendorDisconnectRunsEachTime) {
    QmslHandle a = KAVOR_ConnectServer(3);
    QmslHandle b = KAVOR_ConnectServer(3);
    ASSERT_NE(a, 0);
    ASSERT_EQ(a, b);
    EXPECT_EQ(context().recordCount(), 1u);
    EXPECT_EQ(context().findConnection(a)->referenceCount, 2);
    EXPECT_EQ(context().findConnection(a)->port, 3u);

    KAVOR_DisconnectServer(a);
    ASSERT_NE(context().findConnection(a), nullptr);
    EXPECT_EQ(context().findConnection(a)->referenceCount, 1);
    EXPECT_EQ(qmsl_sim::phone(3).count("QLIB_DisconnectServer"), 1u);

    KAVOR_DisconnectServer(a);
    EXPECT_EQ(context().findConnection(a), nullptr);
    EXPECT_EQ(context().recordCount(), 0u);
    EXPECT_EQ(qmsl_sim::phone(3).count("QLIB_DisconnectServer"), 2u);
}

TEST_F(Registry, DifferentHandlesGetRecordsInOrderAndUnknownDisconnectStillReachesTheVendor) {
    QmslHandle a = KAVOR_ConnectServer(3);
    QmslHandle b = KAVOR_ConnectServerWithWait(4, 100);
    QmslHandle c = KAVOR_ConnectServer_LogicalPort(5);
    ASSERT_NE(a, b);
    ASSERT_NE(b, c);
    EXPECT_EQ(context().recordCount(), 3u);
    EXPECT_EQ(qmsl_sim::phone(4).calls("QLIB_ConnectServerWithWait")[0].args, (std::vector<long long>{4, 100}));
    EXPECT_EQ(qmsl_sim::phone(5).count("QLIB_ConnectServer_LogicalPort"), 1u);

    KAVOR_DisconnectServer(777);  // unknown: registry unchanged
    EXPECT_EQ(context().recordCount(), 3u);
}

TEST_F(Registry, FailedVendorConnectMakesNoRecord) {
    qmsl_sim::phone(6).present = false;
    EXPECT_EQ(KAVOR_ConnectServer(6), 0);
    EXPECT_EQ(context().recordCount(), 0u);
}

TEST_F(Registry, DisconnectAllDestroysRecordsWhateverTheirCount) {
    for (int i = 0; i < 3; ++i) {
        KAVOR_ConnectServer(3);
        KAVOR_ConnectServer(4);
    }
    ASSERT_EQ(context().recordCount(), 2u);
    KAVOR_DisconnectAllServers();
    EXPECT_EQ(context().recordCount(), 0u);
    EXPECT_EQ(qmsl_sim::phone(3).count("QLIB_DisconnectAllServers"), 1u);
    EXPECT_FALSE(qmsl_sim::is_connected(1));
}

struct GateCase {
    const char* name;
    std::string reported;
    unsigned char mode;
    bool passes;
};

class VersionGate : public Registry, public ::testing::WithParamInterface<GateCase> {};

TEST_P(VersionGate, DecidesWhetherTheVendorConnectRuns) {
    const GateCase& c = GetParam();
    KAVOR_SetLibraryMode(c.mode);
    qmsl_sim::set_version_text(c.reported);
    QmslHandle h = KAVOR_ConnectServer(3);
    EXPECT_EQ(h != 0, c.passes);
    EXPECT_EQ(qmsl_sim::phone(3).count("QLIB_ConnectServer"), c.passes ? 1u : 0u);
    EXPECT_EQ(context().recordCount(), c.passes ? 1u : 0u);
    EXPECT_TRUE(qmsl_sim::phone(3).text_log.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, VersionGate,
    ::testing::Values(GateCase{"exact_qphonems", "QLIB V5.0.40,QPHONEMS", 0, true},
                      GateCase{"exact_qpst", "QLIB V5.0.40,QPST", 1, true},
                      GateCase{"mode_word_not_compared", "QLIB V5.0.40,QPST", 0, true},
                      GateCase{"other_mode_word_in_qpst", "QLIB V5.0.40,QPHONEMS", 1, true},
                      GateCase{"newer_version", "QLIB V5.0.41", 0, false},
                      GateCase{"truncated_passes", "QLIB V5.0.4", 0, true},
                      GateCase{"empty_passes", "", 0, true},
                      GateCase{"sixty_without_comma", std::string("QLIB V5.0.40") + std::string(48, 'X'), 0, false},
                      GateCase{"no_comma_same_prefix", "QLIB V5.0.40", 0, true},
                      GateCase{"other_library", "XLIB V5.0.40,QPST", 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Registry, ModeDecidesAtAndObexLookupsOnALiveHandle) {
    QmslHandle h = KAVOR_ConnectServer(3);
    ASSERT_NE(context().atChannelFor(h), nullptr);
    ASSERT_NE(context().obexChannelFor(h), nullptr);
    KAVOR_SetLibraryMode(1);
    EXPECT_TRUE(qmsl_sim::library_mode_qpst());
    EXPECT_EQ(context().atChannelFor(h), nullptr);
    EXPECT_EQ(context().obexChannelFor(h), nullptr);
    EXPECT_NE(context().ftmChannelFor(h), nullptr);
    EXPECT_NE(context().testProceduresFor(h), nullptr);
    KAVOR_SetLibraryMode(0);
    EXPECT_NE(context().atChannelFor(h), nullptr);
    EXPECT_NE(context().obexChannelFor(h), nullptr);
    EXPECT_EQ(context().ftmChannelFor(h + 1), nullptr);
}

TEST_F(Registry, ModeTwoIsStoredAsDirectModeAndPassesFalse) {
    KAVOR_SetLibraryMode(1);
    KAVOR_SetLibraryMode(2);
    EXPECT_EQ(context().mode(), kavor::QPHONEMS);
    EXPECT_FALSE(qmsl_sim::library_mode_qpst());
    EXPECT_EQ(KAVOR_GetLibraryMode(), 0);
    KAVOR_SetLibraryMode(1);
    EXPECT_EQ(KAVOR_GetLibraryMode(), 1);
}

TEST_F(Registry, GetLibraryModeReadsTheVendorTextNotTheStoredMode) {
    qmsl_sim::set_version_text("something QPST somewhere");
    EXPECT_EQ(context().mode(), kavor::QPHONEMS);
    EXPECT_EQ(KAVOR_GetLibraryMode(), 1);
}

TEST_F(Registry, VersionTextsFollowTheStoredMode) {
    char text[KAVOR_VERSION_TEXT_MAX];
    EXPECT_EQ(KAVOR_GetExtensionVersion(text), 24u);
    EXPECT_STREQ(text, "KAVOR V02.4.15,QPHONEMS");
    KAVOR_GetSupportedQLibVersion(text);
    EXPECT_STREQ(text, "QLIB V5.0.40,QPHONEMS");
    KAVOR_SetLibraryMode(1);
    EXPECT_EQ(KAVOR_GetExtensionVersion(text), 20u);
    EXPECT_STREQ(text, "KAVOR V02.4.15,QPST");
    KAVOR_GetSupportedQLibVersion(text);
    EXPECT_STREQ(text, "QLIB V5.0.40,QPST");
}

void progressA(int, int) {}
void progressB(int, int) {}

TEST_F(Registry, CallbackIsProcessWideAndReplacedThroughAnyHandle) {
    QmslHandle h = KAVOR_ConnectServer(3);
    KAVOR_SetCallback(h, progressA);
    EXPECT_EQ(context().progressCallback, &progressA);
    KAVOR_SetCallback(424242, progressB);  // never connected
    EXPECT_EQ(context().progressCallback, &progressB);
    KAVOR_SetCallback(h, nullptr);
    EXPECT_EQ(context().progressCallback, nullptr);
}

} // namespace
