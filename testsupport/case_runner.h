// What a test file tells the case runner (case_runner_main.cpp).
//
// The runner runs the cases of a test suite one after another in one process
// of their own, a fork of the test binary, so that every suite starts from
// the binary's clean state. A suite whose cases each need that clean state
// (the libraries' process-wide sessions, registries, simulated phones,
// signal handlers or clock) says so next to its fixture:
//
//   PHONELINE_CASES_APART(FixtureName);   // why, in a comment
//
// and the runner gives each of its cases a process of its own. The name is
// the fixture's (the suite's name without an instantiation prefix).
#pragma once

namespace case_runner {
bool markCasesApart(const char* fixture);
}  // namespace case_runner

#define PHONELINE_CASES_APART(Fixture)                          \
  [[maybe_unused]] static const bool phonelineCasesApart_##Fixture = \
      ::case_runner::markCasesApart(#Fixture)
