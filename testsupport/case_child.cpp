#include "case_child.h"

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

namespace case_runner {
namespace {

long long nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// What the child is doing and until when, in memory shared with the parent.
// The child bumps `version` to an odd number before it writes and to an even
// one after, so that the parent never takes half of one note and half of
// the next.
struct Step {
  std::atomic<unsigned> version;
  long long deadlineMs;
  bool inCase;
  char what[480];
};

Step& shared() {
  static Step* step = [] {
    void* p = mmap(nullptr, sizeof(Step), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) {
      std::perror("mmap");
      std::abort();
    }
    return new (p) Step{};
  }();
  return *step;
}

long g_deadlineSeconds = 120;

// Child side: notes the step it starts now.
void note(const std::string& what, bool inCase) {
  Step& s = shared();
  s.version.fetch_add(1, std::memory_order_acq_rel);
  s.deadlineMs = nowMs() + g_deadlineSeconds * 1000;
  s.inCase = inCase;
  std::snprintf(s.what, sizeof s.what, "%s", what.c_str());
  s.version.fetch_add(1, std::memory_order_acq_rel);
}

// Parent side: a whole note.
struct Noted {
  long long deadlineMs;
  bool inCase;
  std::string what;
};
Noted read() {
  Step& s = shared();
  for (;;) {
    const unsigned before = s.version.load(std::memory_order_acquire);
    Noted n{s.deadlineMs, s.inCase, std::string(s.what, strnlen(s.what, sizeof s.what))};
    std::atomic_thread_fence(std::memory_order_acquire);
    if (before % 2 == 0 && s.version.load(std::memory_order_relaxed) == before) return n;
  }
}

// Notes each case as it starts and the gap after it as it ends.
class StepNotes : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo& info) override {
    note(std::string(info.test_suite_name()) + "." + info.name(), true);
  }
  void OnTestEnd(const testing::TestInfo& info) override {
    note(std::string("the tear-down or set-up after ") + info.test_suite_name() + "." + info.name(),
         false);
  }
};

// Ends a child without running static destructors: they would free the
// parent's whole registry of cases, touching (and so copying) every page of
// it. The leak check that would run at exit runs here instead.
[[noreturn]] void endChild(int code) {
  note("the leak check after the cases", false);
  std::fflush(stdout);
  std::fflush(stderr);
#if defined(__SANITIZE_ADDRESS__)
  if (code == 0 && __lsan_do_recoverable_leak_check() != 0) code = kLeaksFound;
#endif
  _exit(code);
}

std::string describeEnd(int status) {
  if (WIFEXITED(status)) {
    if (WEXITSTATUS(status) == kLeaksFound) return "leaks found: LeakSanitizer's report is above";
    return "exit status " + std::to_string(WEXITSTATUS(status));
  }
  if (WIFSIGNALED(status)) {
    const int sig = WTERMSIG(status);
    return std::string("killed by signal ") + std::to_string(sig) + " (" + strsignal(sig) + ")";
  }
  return "ended abnormally";
}

// Waits for the child's end; kills it once the step it is in runs past its
// deadline. Returns the wait status, and in `overdue` the step that hung.
int awaitChild(pid_t pid, Noted& overdue) {
  const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  int status = 0;
  for (;;) {
    const pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid || (r < 0 && errno != EINTR)) break;
    const Noted now = read();
    const long long left = now.deadlineMs - nowMs();
    if (left <= 0) {
      kill(pid, SIGKILL);
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      overdue = now;
      break;
    }
    // The pidfd turns readable when the child ends; without one, look again
    // every 20 ms.
    const int wait = static_cast<int>(std::min<long long>(left, pidfd >= 0 ? INT_MAX : 20));
    if (pidfd >= 0) {
      pollfd p{pidfd, POLLIN, 0};
      poll(&p, 1, wait);
    } else {
      poll(nullptr, 0, wait);
    }
  }
  if (pidfd >= 0) close(pidfd);
  return status;
}

}  // namespace

Outcome runInChild(const std::string& filter, int seed, long deadlineSeconds) {
  g_deadlineSeconds = deadlineSeconds;
  note("the start of the process, before its first case", false);
  std::fflush(stdout);
  std::fflush(stderr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) {
    std::perror("fork");
    return {false, false, 0, "not started", {}};
  }
  if (pid == 0) {
    GTEST_FLAG_SET(filter, filter);
    if (seed != 0) {
      GTEST_FLAG_SET(shuffle, true);
      GTEST_FLAG_SET(random_seed, seed);
    }
    testing::UnitTest::GetInstance()->listeners().Append(new StepNotes);
    endChild(RUN_ALL_TESTS());
  }
  Noted overdue{0, false, {}};
  const int status = awaitChild(pid, overdue);
  Outcome o;
  o.ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
             .count();
  if (!overdue.what.empty()) {
    o.end = overdue.what + " ran past its deadline of " + std::to_string(deadlineSeconds) +
            " s and was ended";
    if (overdue.inCase) o.overdue = overdue.what;
    return o;
  }
  o.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  o.leaked = WIFEXITED(status) && WEXITSTATUS(status) == kLeaksFound;
  if (!o.ok) o.end = describeEnd(status);
  return o;
}

}  // namespace case_runner
