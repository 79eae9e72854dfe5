#include "qmsl_diag.h"
#include "qmsl_efs.h"
#include "qmsl_efs_sim.h"

#include "sim_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr unsigned kPort = 7;
constexpr const char* kApps = "apps/unpack/pending";
constexpr const char* kGames = "apps/unpack/games";

struct Seen {
    std::string folder, name;
    bool directory;
    bool operator==(const Seen&) const = default;
};
std::vector<Seen> g_seen;

int record(const char* folder, const char* name, unsigned char isDirectory) {
    g_seen.push_back({folder, name, isDirectory != 0});
    return static_cast<int>(g_seen.size());
}

class Efs : public qmsl_test::ConnectedTest<kPort> {
protected:
    void SetUp() override {
        g_seen.clear();
        ASSERT_NO_FATAL_FAILURE(start());
        ASSERT_EQ(QLIB_ConfigureCallBacks(h, reinterpret_cast<void*>(&record), nullptr, nullptr), 1);
    }
    qmsl_sim::Efs& fs() { return qmsl_sim::efs(phone()); }
    // Number of entries one listing reports.
    int listed(const char* path) {
        g_seen.clear();
        EXPECT_EQ(QLIB_EfsDirectory(h, path), 1);
        return static_cast<int>(g_seen.size());
    }
};

TEST_F(Efs, ReportsEachRealEntryInOrderThroughTheCallBack) {
    fs().add_entry(kApps, ".", true);
    fs().add_entry(kApps, "..", true);
    fs().add_entry(kApps, "game.jar");
    fs().add_entry(kApps, "sub", true);
    fs().add_entry("other", "x");
    ASSERT_EQ(QLIB_EfsDirectory(h, kApps), 1);
    EXPECT_EQ(g_seen, (std::vector<Seen>{{kApps, "game.jar", false}, {kApps, "sub", true}}));
    auto calls = phone().calls("QLIB_EfsDirectory");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(std::string(calls[0].bytes.begin(), calls[0].bytes.end()), kApps);
}

TEST_F(Efs, EmptyFolderReportsNothing) {
    fs().make_folder(kGames);
    EXPECT_EQ(listed(kGames), 0);
}

TEST_F(Efs, SlashesAroundThePathDoNotMatter) {
    fs().add_entry("/a/b/", "f");
    EXPECT_EQ(listed("a/b"), 1);
    EXPECT_EQ(listed("/a/b/"), 1);
    EXPECT_EQ(g_seen[0].folder, "/a/b/");  // the folder as the caller gave it
}

TEST_F(Efs, MissingFolderFails) {
    EXPECT_EQ(QLIB_EfsDirectory(h, kApps), 0);
    EXPECT_EQ(QLIB_EfsDirectory(h, nullptr), 0);
    EXPECT_TRUE(g_seen.empty());
}

TEST_F(Efs, ScriptedCountsChangeFromListingToListingThenStay) {
    fs().script_counts(kApps, {3, 1, 0});
    fs().script_counts(kGames, {2, 0});
    EXPECT_EQ(listed(kApps), 3);
    EXPECT_EQ(g_seen[2].name, "file3");
    EXPECT_EQ(listed(kGames), 2);
    EXPECT_EQ(listed(kApps), 1);
    EXPECT_EQ(listed(kApps), 0);
    EXPECT_EQ(listed(kApps), 0);  // script used up: the folder stays as last shown
    EXPECT_EQ(listed(kGames), 0);
    EXPECT_EQ(listed(kGames), 0);
}

TEST_F(Efs, WithoutACallBackTheListingStillSucceeds) {
    fs().add_entry(kApps, "f");
    ASSERT_EQ(QLIB_ConfigureCallBacks(h, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(QLIB_EfsDirectory(h, kApps), 1);
    EXPECT_TRUE(g_seen.empty());
}

TEST_F(Efs, InjectedFalseResultFailsAndReportsNothing) {
    fs().add_entry(kApps, "f");
    phone().inject("QLIB_EfsDirectory", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(QLIB_EfsDirectory(h, kApps), 0);
    EXPECT_TRUE(g_seen.empty());
    EXPECT_EQ(listed(kApps), 1);
}

TEST_F(Efs, ScriptIsNotConsumedByAFailedCall) {
    fs().script_counts(kApps, {2, 0});
    phone().inject("QLIB_EfsDirectory", {qmsl_sim::Fault::FalseResult, 0, {}, 0, 1});
    EXPECT_EQ(QLIB_EfsDirectory(h, kApps), 0);
    EXPECT_EQ(listed(kApps), 2);
}

TEST_F(Efs, PhoneThatStopsAnsweringFailsListingAndConnectionCheck) {
    fs().add_entry(kApps, "f");
    EXPECT_EQ(QLIB_IsPhoneConnected(h), 1);
    phone().set_power(qmsl_sim::Power::Off);
    EXPECT_EQ(QLIB_IsPhoneConnected(h), 0);
    EXPECT_EQ(QLIB_EfsDirectory(h, kApps), 0);
    EXPECT_TRUE(g_seen.empty());
}

TEST_F(Efs, EachPhoneHasItsOwnFileSystem) {
    fs().add_entry(kApps, "f");
    QmslHandle other = QLIB_ConnectServer(kPort + 1);
    ASSERT_NE(other, 0);
    EXPECT_EQ(QLIB_EfsDirectory(other, kApps), 0);
}

TEST(LibraryCapabilities, DefaultsSayEverythingIsSupported) {
    qmsl_sim::reset();
    unsigned char diag = 9, fs = 9, dl = 9;
    ASSERT_EQ(QLIB_GetLibraryCapabilities(&diag, &fs, &dl), 1);
    EXPECT_EQ(diag, 1);
    EXPECT_EQ(fs, 1);
    EXPECT_EQ(dl, 1);
    EXPECT_EQ(qmsl_sim::library_capabilities().calls, 1u);
}

TEST(LibraryCapabilities, TestSetsTheFileSystemCapabilityAndFailures) {
    qmsl_sim::reset();
    qmsl_sim::library_capabilities().efs = false;
    qmsl_sim::library_capabilities().fail_calls = 1;
    unsigned char diag = 9, fs = 9, dl = 9;
    EXPECT_EQ(QLIB_GetLibraryCapabilities(&diag, &fs, &dl), 0);
    EXPECT_EQ(fs, 9);  // untouched by the failed call
    ASSERT_EQ(QLIB_GetLibraryCapabilities(&diag, &fs, &dl), 1);
    EXPECT_EQ(diag, 1);
    EXPECT_EQ(fs, 0);
    EXPECT_EQ(QLIB_GetLibraryCapabilities(nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(qmsl_sim::library_capabilities().calls, 3u);
    qmsl_sim::reset();
    EXPECT_TRUE(qmsl_sim::library_capabilities().efs);
}

} // namespace
