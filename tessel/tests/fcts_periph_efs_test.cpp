// The file-system unpack poll on virtual time: folders that empty, a poll
// that times out, a phone that stops answering.
#include "TesselFctsFixture.h"
#include "qmsl_efs_sim.h"

namespace {

constexpr const char* kApps = "brew/mod/java_ams/config/apps";
constexpr const char* kGames = "brew/mod/java_ams/config/games";

class PeriphEfs : public TesselFcts {
protected:
    static qmsl_sim::Efs& efs() { return qmsl_sim::efs(phone()); }
    struct Outcome {
        int iStatus;
        short sCompleted, sTimeout;
        pclock::Millis elapsed;
    };
    Outcome poll(int s, unsigned short usTimoSec) {
        short sCompleted = 7, sTimeout = 7;
        const pclock::Millis start = pclock::now_ms();
        const int st = _Tessel_SpecialGetEfsUnpackStatus(s, &sCompleted, &sTimeout, usTimoSec, "t.c", 1);
        return {st, sCompleted, sTimeout, pclock::now_ms() - start};
    }
};

TEST_F(PeriphEfs, BothFoldersEmptyCompletesAtOnce) {
    efs().make_folder(kApps);
    efs().make_folder(kGames);
    const int s = connected();
    const Outcome o = poll(s, 0);
    EXPECT_EQ(o.iStatus, 0);
    EXPECT_EQ(o.sCompleted, 1);
    EXPECT_EQ(o.sTimeout, 0);
    EXPECT_EQ(o.elapsed, 0);
    EXPECT_EQ(phone().count("QLIB_EfsDirectory"), 2u);
    EXPECT_TRUE(hasLine("( *bCompleted=1(YES), *bTimeout=0(NO) ) = 0"));
    // Registered for the poll, removed after it.
    const auto reg = phone().calls("QLIB_ConfigureCallBacks");
    ASSERT_EQ(reg.size(), 2u);
    EXPECT_EQ(reg[0].args, (std::vector<long long>{1, 0}));
    EXPECT_EQ(reg[1].args, (std::vector<long long>{0, 0}));
}

TEST_F(PeriphEfs, PollsEveryTwoSecondsUntilBothFoldersEmpty) {
    efs().script_counts(kApps, {3, 1, 0});
    efs().script_counts(kGames, {2, 0});
    const int s = connected();
    const Outcome o = poll(s, 0);
    EXPECT_EQ(o.iStatus, 0);
    EXPECT_EQ(o.sCompleted, 1);
    EXPECT_EQ(o.elapsed, 6000);
    EXPECT_TRUE(hasLine("[brew/mod/java_ams/config/apps -> 3 entries]"));
    EXPECT_TRUE(hasLine("[brew/mod/java_ams/config/apps -> 1 entries]"));
    EXPECT_TRUE(hasLine("[brew/mod/java_ams/config/games -> 2 entries]"));
}

TEST_F(PeriphEfs, TimesOutWhileAppsRemain) {
    efs().add_entry(kApps, "game.jar");
    efs().make_folder(kGames);
    const int s = connected();
    const Outcome o = poll(s, 10);
    EXPECT_EQ(o.iStatus, 0);
    EXPECT_EQ(o.sCompleted, 0);
    EXPECT_EQ(o.sTimeout, 1);
    EXPECT_GT(o.elapsed, 10000);
    EXPECT_LE(o.elapsed, 12000);
    EXPECT_TRUE(hasLine("[TIMEOUT.]"));
}

TEST_F(PeriphEfs, DefaultTimeoutIs300Seconds) {
    efs().add_entry(kApps, "a");
    efs().make_folder(kGames);
    const int s = connected();
    const Outcome o = poll(s, 0);
    EXPECT_EQ(o.sTimeout, 1);
    EXPECT_GT(o.elapsed, 300000);
    EXPECT_LE(o.elapsed, 302000);
}

TEST_F(PeriphEfs, LostPhoneBailsOut) {
    efs().add_entry(kApps, "a");
    efs().make_folder(kGames);
    const int s = connected();
    pclock::schedule_after(3000, [] { phone().set_power(qmsl_sim::Power::Off); });
    const Outcome o = poll(s, 0);
    EXPECT_EQ(o.iStatus, kLib);
    EXPECT_EQ(o.sCompleted, 0);
    EXPECT_EQ(o.sTimeout, 0);
    EXPECT_EQ(o.elapsed, 4000);
    EXPECT_TRUE(hasLine("[No response from phone. Bailing out.]"));
    EXPECT_EQ(phone().calls("QLIB_ConfigureCallBacks").back().args, (std::vector<long long>{0, 0}));
}

TEST_F(PeriphEfs, MissingFolderFails) {
    efs().make_folder(kApps);
    const int s = connected();
    const Outcome o = poll(s, 0);
    EXPECT_EQ(o.iStatus, kLib);
    EXPECT_EQ(o.sCompleted, 0);
}

TEST_F(PeriphEfs, LibraryWithoutFileSystemFailsButStillPolls) {
    qmsl_sim::library_capabilities().efs = false;
    efs().make_folder(kApps);
    efs().make_folder(kGames);
    const int s = connected();
    const Outcome o = poll(s, 0);
    EXPECT_EQ(o.iStatus, kLib);
    EXPECT_EQ(o.sCompleted, 1);
    EXPECT_TRUE(hasLine("[Library does not support EFS functions.]"));
}

TEST_F(PeriphEfs, UnconnectedFailsWithoutAPoll) {
    const int s = openSession();
    const Outcome o = poll(s, 0);
    EXPECT_EQ(o.iStatus, kLib);
    EXPECT_EQ(o.sCompleted, 0);
    EXPECT_EQ(o.sTimeout, 0);
}

} // namespace
