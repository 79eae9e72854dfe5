// Cases for the case runner's own check (run_check.sh): some pass, some leak
// or crash on purpose. Not registered as tests of their own.
#include <gtest/gtest.h>

#include "case_runner.h"

#include <cstdlib>
#include <cstdint>
#include <unistd.h>

namespace {

// Each on a page of its own, so that a case touching one never makes the
// runner keep the other's page for another reason.
struct alignas(4096) Holder {
  int* pointer = nullptr;
};
Holder early;  // set before the runner forks: its page is the parent's
Holder late;   // set by the cases

// Allocates while the binary starts, before any case process exists.
const bool earlyAllocated = [] {
  early.pointer = new int[64]();
  return true;
}();

}  // namespace

// Each case sees the early allocation as the binary left it.
class Leaks : public ::testing::Test {};
PHONELINE_CASES_APART(Leaks);

TEST_F(Leaks, AFreshAllocationDroppedIsReported) {
  int* lost = new int[16]();
  lost[3] = 7;
  EXPECT_EQ(lost[3], 7);
}

TEST_F(Leaks, AFreshAllocationKeptInAGlobalIsNotReported) {
  late.pointer = new int[16]();
  EXPECT_NE(late.pointer, nullptr);
}

TEST_F(Leaks, AnEarlyAllocationStillReferencedIsNotReported) {
  EXPECT_TRUE(earlyAllocated);
}

TEST_F(Leaks, AnEarlyAllocationDroppedIsReported) {
  early.pointer = nullptr;
  EXPECT_EQ(early.pointer, nullptr);
}

// The global still points into the heap, but not at the first allocation.
Holder overwritten;
TEST_F(Leaks, AGlobalOverwrittenLosesItsFirstAllocation) {
  overwritten.pointer = new int[16]();
  overwritten.pointer = new int[16]();
  EXPECT_NE(overwritten.pointer, nullptr);
}

TEST_F(Leaks, AChainFromAnEarlyAllocationKeepsAFreshOneReachable) {
  reinterpret_cast<int**>(early.pointer)[0] = new int[16]();
  SUCCEED();
}

// A leak in a suite that runs in one process fails the suite's process; the
// case is then named by running each case apart.
TEST(LeaksTogether, ALeakingCase) {
  int* lost = new int[8]();
  lost[1] = 2;
  EXPECT_EQ(lost[1], 2);
}
TEST(LeaksTogether, ACleanCase) { SUCCEED(); }

// A cache that each call fills anew without freeing what it held: one call
// leaks nothing (the global holds it), the second loses the first's memory.
int* cache = nullptr;
void fillCache() { cache = new int[32](); }
TEST(TwoCalls, First) {
  fillCache();
  EXPECT_NE(cache, nullptr);
}
TEST(TwoCalls, Second) {
  fillCache();
  EXPECT_NE(cache, nullptr);
}

// Cases that pass alone but not after each other, in either order: the one
// that runs second sees what the first left behind.
int leftBehind = 0;
TEST(Shared, FirstLeavesAValue) {
  EXPECT_EQ(leftBehind, 0);
  leftBehind = 1;
}
TEST(Shared, SecondLeavesOneToo) {
  EXPECT_EQ(leftBehind, 0);
  leftBehind = 1;
}

// The same cases, declared as needing a process each.
int leftBehindApart = 0;
class Apart : public ::testing::Test {};
PHONELINE_CASES_APART(Apart);
TEST_F(Apart, FirstLeavesAValue) {
  EXPECT_EQ(leftBehindApart, 0);
  leftBehindApart = 1;
}
TEST_F(Apart, SecondExpectsNone) { EXPECT_EQ(leftBehindApart, 0); }

TEST(Ends, AnAbortIsNamed) { std::abort(); }

TEST(Ends, AFailedAssertionIsNamed) { EXPECT_EQ(1, 2); }

// Run by their own checks, not with the cases above.

// A case that passes only when the case declared before it ran first, in
// the same process: some orders turn the suite red.
bool flagLeft = false;
TEST(Order, LeavesAFlag) {
  flagLeft = true;
  SUCCEED();
}
TEST(Order, PassesOnlyAfterTheFlag) { EXPECT_TRUE(flagLeft); }

// Twenty cases, one of which never ends.
class Hang : public ::testing::TestWithParam<int> {};
TEST_P(Hang, Case) {
  if (GetParam() == 7)
    for (;;) pause();
  SUCCEED();
}
INSTANTIATE_TEST_SUITE_P(Twenty, Hang, ::testing::Range(0, 20));
