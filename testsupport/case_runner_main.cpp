// Test main of every GoogleTest binary: runs each selected test suite in a
// child process of its own.
//
// The libraries keep process-wide module state (registries, sessions, the
// simulated phones, the clock), so every suite starts in a fresh process: the
// parent registers everything once (loading, sanitizer set-up, registering
// thousands of parameterised cases), then forks one child per suite, which
// runs the suite's cases one after another, in an order shuffled by a seed
// chosen for the run, and exits (case_child.h). A suite marked with
// PHONELINE_CASES_APART (case_runner.h) gets a child per case instead. When a
// suite's child fails, each of its cases runs again in a child of its own, so
// that the failing cases are named; cases that pass apart but failed
// together share state (a case that passes only after another, say), and
// the run fails saying so; cases that leak only together fail it as a leak.
//
//   <binary> [gtest flags] [--suite=NAME]
//
// --suite=NAME selects the cases of one test suite (the name as
// --gtest_list_tests prints it, "Prefix/Suite" for parameterised suites);
// --gtest_filter (or GTEST_FILTER) narrows the selection further. The parent
// prints the seed, one line per suite (per case where cases run apart) and a
// summary naming every failed case. PHONELINE_SEED=N orders the cases as
// seed N did. A child that crashes, leaks, or spends longer than
// PHONELINE_CASE_TIMEOUT seconds (default 120) in one case (or in the set-up
// before, the gap between or the leak check after the cases) fails; a case
// that hung is named and the suite's other cases run apart.
// PHONELINE_IN_PROCESS=1 runs the selection in one process, in the order
// declared, as plain GoogleTest would (useful under a debugger).
#include <gtest/gtest.h>

#include "case_child.h"
#include "case_runner.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Glob match with '*' and '?', as GoogleTest's filters use.
bool globMatches(std::string_view pattern, std::string_view name) {
  size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool anyMatches(std::string_view patterns, std::string_view name) {
  while (true) {
    size_t colon = patterns.find(':');
    if (globMatches(patterns.substr(0, colon), name)) return true;
    if (colon == std::string_view::npos) return false;
    patterns.remove_prefix(colon + 1);
  }
}

// GoogleTest's filter: "POSITIVE[-NEGATIVE]", each a ':'-separated list.
bool filterSelects(const std::string& filter, const std::string& name) {
  std::string_view f = filter;
  size_t dash = f.find('-');
  std::string_view positive = f.substr(0, dash);
  std::string_view negative =
      dash == std::string_view::npos ? std::string_view{} : f.substr(dash + 1);
  if (positive.empty()) positive = "*";
  return anyMatches(positive, name) && (negative.empty() || !anyMatches(negative, name));
}

// Removes "--suite=NAME" from argv and returns NAME ("" when absent).
std::string takeSuiteArgument(int& argc, char** argv) {
  std::string suite;
  int out = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--suite=", 8) == 0)
      suite = argv[i] + 8;
    else
      argv[out++] = argv[i];
  }
  argc = out;
  argv[argc] = nullptr;
  return suite;
}

std::vector<std::string> selectedCases(const std::string& suite) {
  const std::string filter = GTEST_FLAG_GET(filter);
  const bool withDisabled = GTEST_FLAG_GET(also_run_disabled_tests);
  std::vector<std::string> names;
  const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
  for (int s = 0; s < unit.total_test_suite_count(); ++s) {
    const testing::TestSuite& ts = *unit.GetTestSuite(s);
    if (!suite.empty() && suite != ts.name()) continue;
    for (int t = 0; t < ts.total_test_count(); ++t) {
      const testing::TestInfo& info = *ts.GetTestInfo(t);
      std::string name = std::string(ts.name()) + "." + info.name();
      bool disabled = std::strncmp(ts.name(), "DISABLED_", 9) == 0 ||
                      std::strncmp(info.name(), "DISABLED_", 9) == 0;
      if (disabled && !withDisabled) continue;
      if (filterSelects(filter, name)) names.push_back(std::move(name));
    }
  }
  return names;
}

std::vector<std::string>& fixturesApart() {
  static std::vector<std::string> fixtures;
  return fixtures;
}

bool casesApart(std::string_view suite) {
  for (const std::string& fixture : fixturesApart()) {
    if (suite == fixture) return true;
    if (suite.size() > fixture.size() && suite.ends_with(fixture) &&
        suite[suite.size() - fixture.size() - 1] == '/')
      return true;
  }
  return false;
}

std::string_view suiteOf(const std::string& name) {
  return std::string_view(name).substr(0, name.find('.'));
}

// The seed that orders the cases of each suite: PHONELINE_SEED, or a new one
// for every run (GoogleTest takes seeds from 1 to 99999).
int chooseSeed() {
  if (const char* text = std::getenv("PHONELINE_SEED"); text && *text) {
    const long seed = std::atol(text);
    if (seed >= 1 && seed <= 99999) return static_cast<int>(seed);
    std::fprintf(stderr, "PHONELINE_SEED must be a number from 1 to 99999, not '%s'\n", text);
    std::exit(1);
  }
  return static_cast<int>(std::random_device{}() % 99999) + 1;
}

struct Failed {
  std::string name;
  std::string why;
};

int runSelection(const std::vector<std::string>& names) {
  const char* deadlineText = std::getenv("PHONELINE_CASE_TIMEOUT");
  const long deadline = deadlineText && std::atol(deadlineText) > 0 ? std::atol(deadlineText) : 120;
  const int seed = chooseSeed();
  std::vector<Failed> failed;            // cases
  std::vector<std::string> sharedState;  // suites whose cases fail only together
  std::vector<std::string> leakTogether; // suites whose cases leak only together
  std::printf("[==========] %zu case(s), each suite's in the order of seed %d "
              "(PHONELINE_SEED=%d runs them in it again)\n",
              names.size(), seed, seed);

  auto runApart = [&](const std::string& name) {
    const case_runner::Outcome o = case_runner::runInChild(name, 0, deadline);
    if (o.ok) {
      std::printf("[       OK ] %s (%lld ms)\n", name.c_str(), o.ms);
    } else {
      std::printf("[  FAILED  ] %s (%lld ms, %s)\n", name.c_str(), o.ms, o.end.c_str());
      failed.push_back({name, o.leaked ? "leak" : o.overdue.empty() ? "failed" : "hung"});
    }
  };

  for (size_t first = 0; first < names.size();) {
    const std::string suite(suiteOf(names[first]));
    size_t last = first;
    while (last < names.size() && suiteOf(names[last]) == suite) ++last;
    const size_t count = last - first;
    if (count == 1 || casesApart(suite)) {
      for (size_t i = first; i < last; ++i) runApart(names[i]);
      first = last;
      continue;
    }
    std::string filter;
    for (size_t i = first; i < last; ++i) filter += (i == first ? "" : ":") + names[i];
    const case_runner::Outcome o = case_runner::runInChild(filter, seed, deadline);
    if (o.ok) {
      std::printf("[       OK ] %s: %zu cases in one process (%lld ms)\n", suite.c_str(), count, o.ms);
      first = last;
      continue;
    }
    // Each case again in a process of its own names the failing ones; a
    // case that hung is not run again.
    std::printf("[  FAILED  ] %s: %zu cases in one process (%lld ms, %s); %s again in a process "
                "of its own:\n",
                suite.c_str(), count, o.ms, o.end.c_str(),
                o.overdue.empty() ? "each case" : "each other case");
    const size_t failedBefore = failed.size();
    if (!o.overdue.empty()) failed.push_back({o.overdue, "hung"});
    for (size_t i = first; i < last; ++i)
      if (names[i] != o.overdue) runApart(names[i]);
    if (failed.size() == failedBefore) (o.leaked ? leakTogether : sharedState).push_back(suite);
    first = last;
  }

  std::printf("[==========] %zu case(s): %zu passed, %zu failed\n", names.size(),
              names.size() - failed.size(), failed.size());
  for (const Failed& f : failed) std::printf("[  FAILED  ] %s (%s)\n", f.name.c_str(), f.why.c_str());
  for (const std::string& suite : sharedState)
    std::printf("[  FAILED  ] %s: its cases pass each in a process of its own but fail in one "
                "process together in the order of seed %d, so they share state; run them in it "
                "again with PHONELINE_SEED=%d, then make them clean up or mark the suite with "
                "PHONELINE_CASES_APART\n",
                suite.c_str(), seed, seed);
  for (const std::string& suite : leakTogether)
    std::printf("[  FAILED  ] %s: leak: its cases leak in one process together though none leaks "
                "alone (a leak that takes two calls, say); LeakSanitizer's report above shows "
                "where the lost memory was allocated\n",
                suite.c_str());
  std::fflush(stdout);
  return failed.empty() && sharedState.empty() && leakTogether.empty() ? 0 : 1;
}

}  // namespace

bool case_runner::markCasesApart(const char* fixture) {
  fixturesApart().emplace_back(fixture);
  return true;
}

int main(int argc, char** argv) {
  std::string suite = takeSuiteArgument(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();

  std::vector<std::string> names = selectedCases(suite);
  if (!suite.empty() && names.empty() && GTEST_FLAG_GET(filter) == "*") {
    std::fprintf(stderr, "no test suite named '%s'\n", suite.c_str());
    return 1;
  }
  const char* inProcess = std::getenv("PHONELINE_IN_PROCESS");
  if (inProcess && std::strcmp(inProcess, "1") == 0) {
    std::string joined;
    for (const std::string& n : names) joined += (joined.empty() ? "" : ":") + n;
    GTEST_FLAG_SET(filter, joined.empty() ? "-*" : joined);
    return RUN_ALL_TESTS();
  }
#if defined(__SANITIZE_ADDRESS__)
  // The first leak check of a process sets itself up (a few hundred
  // milliseconds in a large binary); done once here, every child inherits it.
  __lsan_do_recoverable_leak_check();
#endif
  return runSelection(names);
}
