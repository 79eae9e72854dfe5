// One child process of the case runner (case_runner_main.cpp): a fork of the
// test binary that runs the cases a filter names, one after another, in the
// order GoogleTest's shuffle gives for a seed, and exits.
//
// Every step of the child has a deadline of its own: the start (the suite's
// set-up), each case, the gap after each case (its suite's tear-down, the
// next case's set-up) and the leak check at the end. The child notes in
// memory it shares with the parent what it is doing and until when; the
// parent waits for the child's end or for that deadline, whichever comes
// first, and kills a child past it, naming the step that hung.
#pragma once

#include <string>

namespace case_runner {

// LeakSanitizer found leaks in a child whose cases all passed.
constexpr int kLeaksFound = 23;

struct Outcome {
  bool ok = false;
  bool leaked = false;  // the cases passed, the leak check found leaks
  long long ms = 0;
  std::string end;      // how the process ended, when it failed
  std::string overdue;  // the case that ran past its deadline, if one did
};

// Runs the cases `filter` names in a child; `seed` orders them (0: in the
// order they were declared), each step may take `deadlineSeconds`.
Outcome runInChild(const std::string& filter, int seed, long deadlineSeconds);

}  // namespace case_runner
