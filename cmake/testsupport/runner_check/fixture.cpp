// Cases for the case runner's own check (run_check.sh): some pass, some leak
// or crash on purpose. Not registered as tests of their own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstdint>

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

TEST(Leaks, AFreshAllocationDroppedIsReported) {
  int* lost = new int[16]();
  lost[3] = 7;
  EXPECT_EQ(lost[3], 7);
}

TEST(Leaks, AFreshAllocationKeptInAGlobalIsNotReported) {
  late.pointer = new int[16]();
  EXPECT_NE(late.pointer, nullptr);
}

TEST(Leaks, AnEarlyAllocationStillReferencedIsNotReported) {
  EXPECT_TRUE(earlyAllocated);
}

TEST(Leaks, AnEarlyAllocationDroppedIsReported) {
  early.pointer = nullptr;
  EXPECT_EQ(early.pointer, nullptr);
}

TEST(Leaks, AChainFromAnEarlyAllocationKeepsAFreshOneReachable) {
  reinterpret_cast<int**>(early.pointer)[0] = new int[16]();
  SUCCEED();
}

TEST(Ends, AnAbortIsNamed) { std::abort(); }

TEST(Ends, AFailedAssertionIsNamed) { EXPECT_EQ(1, 2); }
