#include "cvi_events.h"
#include "pclock.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

namespace {

struct Pipe {
    int rd = -1, wr = -1;
    Pipe() {
        int fds[2];
        if (::pipe(fds) == 0) {
            rd = fds[0];
            wr = fds[1];
        }
    }
    ~Pipe() {
        ::close(rd);
        ::close(wr);
    }
    void put() { ASSERT_EQ(::write(wr, "x", 1), 1); }
};

} // namespace

TEST(CviEvents, ProcessSystemEventsCallsTheHandlerOfAReadyDescriptorOnly) {
    Pipe ready, idle;
    int ready_calls = 0, idle_calls = 0;
    cvi::WatchId a = cvi::watch_fd(ready.rd, POLLIN, [&](short ev) {
        EXPECT_TRUE(ev & POLLIN);
        ++ready_calls;
    });
    cvi::WatchId b = cvi::watch_fd(idle.rd, POLLIN, [&](short) { ++idle_calls; });
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    ProcessSystemEvents();
    EXPECT_EQ(ready_calls, 0);
    ready.put();
    ProcessSystemEvents();
    EXPECT_EQ(ready_calls, 1);
    EXPECT_EQ(idle_calls, 0);
    cvi::unwatch(a);
    ProcessSystemEvents();
    EXPECT_EQ(ready_calls, 1);
    cvi::unwatch(b);
    EXPECT_EQ(cvi::watch_count(), 0u);
}

TEST(CviEvents, AWatchRemovedByAnEarlierHandlerOfThePassIsNotCalled) {
    Pipe p1, p2;
    p1.put();
    p2.put();
    int calls = 0;
    cvi::WatchId first = 0, second = 0;
    // Whichever runs first removes both; the other must not run.
    first = cvi::watch_fd(p1.rd, POLLIN, [&](short) {
        ++calls;
        cvi::unwatch(first);
        cvi::unwatch(second);
    });
    second = cvi::watch_fd(p2.rd, POLLIN, [&](short) {
        ++calls;
        cvi::unwatch(first);
        cvi::unwatch(second);
    });
    ProcessSystemEvents();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(cvi::watch_count(), 0u);
}

TEST(CviEvents, WatchRefusesANegativeOrAlreadyWatchedDescriptor) {
    Pipe p;
    EXPECT_EQ(cvi::watch_fd(-1, POLLIN, [](short) {}), 0u);
    cvi::WatchId id = cvi::watch_fd(p.rd, POLLIN, [](short) {});
    EXPECT_NE(id, 0u);
    EXPECT_EQ(cvi::watch_fd(p.rd, POLLIN, [](short) {}), 0u);
    cvi::unwatch(id);
    cvi::unwatch(id);  // unknown now: ignored
}

TEST(CviEvents, RunUserInterfaceReturnsTheCodeGivenToQuitUserInterface) {
    Pipe p;
    p.put();
    cvi::WatchId id = cvi::watch_fd(p.rd, POLLIN, [](short) { QuitUserInterface(7); });
    EXPECT_EQ(RunUserInterface(), 7);
    cvi::unwatch(id);
}

TEST(CviEvents, QuitOutsideRunUserInterfaceHasNoEffectOnTheNextRun) {
    QuitUserInterface(3);
    Pipe p;
    p.put();
    int passes = 0;
    cvi::WatchId id = cvi::watch_fd(p.rd, POLLIN, [&](short) {
        if (++passes == 2) QuitUserInterface(5);
    });
    EXPECT_EQ(RunUserInterface(), 5);
    EXPECT_EQ(passes, 2);
    cvi::unwatch(id);
}

TEST(CviEvents, APassRunsTheCallbacksDueOnTheClock) {
    pclock::use_virtual_time(0);
    int fired = 0;
    pclock::schedule_at(0, [&] { ++fired; });
    ProcessSystemEvents();
    EXPECT_EQ(fired, 1);
    pclock::use_real_time();
}
