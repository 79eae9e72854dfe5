#!/usr/bin/env bash
# Checks what the case runner reports for the fixture's cases: a suite's cases
# in one process, or each in its own where the suite says so; a failed suite's
# cases run again apart so that the failing ones are named; cases that fail
# only together fail the run; leaks found in case processes (allocated before
# or after the fork); no leak reported for memory still referenced from module
# data; and every failed case named in the summary.
set -uo pipefail
fixture=$1
failures=0

expect() {  # expect <pattern> <output> <what>
  if ! grep -qE -- "$1" <<<"$2"; then
    echo "MISSING ($3): $1"
    failures=$((failures + 1))
  fi
}

output=$("$fixture" 2>&1)
status=$?
[ "$status" -ne 0 ] || { echo "the fixture's run should fail"; failures=$((failures + 1)); }
for ok in AFreshAllocationKeptInAGlobalIsNotReported AnEarlyAllocationStillReferencedIsNotReported \
          AChainFromAnEarlyAllocationKeepsAFreshOneReachable; do
  expect "^\[       OK \] Leaks\.$ok \(" "$output" "passes"
done
for failed in Leaks.AFreshAllocationDroppedIsReported Leaks.AnEarlyAllocationDroppedIsReported \
              LeaksTogether.ALeakingCase Ends.AnAbortIsNamed Ends.AFailedAssertionIsNamed; do
  expect "^\[  FAILED  \] $failed \(" "$output" "fails"
  expect "^\[  FAILED  \] $failed\$" "$output" "named in the summary"
done
expect "Ends\.AnAbortIsNamed \(.*killed by signal 6" "$output" "abort"
for suite in LeaksTogether Shared Ends; do
  expect "^\[  FAILED  \] $suite: [0-9]+ cases in one process \(.*\); each case again" "$output" \
    "a failed suite runs again apart"
done
for ok in LeaksTogether.ACleanCase Shared.FirstLeavesAValue Shared.SecondExpectsNone Apart.FirstLeavesAValue Apart.SecondExpectsNone; do
  expect "^\[       OK \] $ok \(" "$output" "passes apart"
done
if grep -qE "(Apart|Leaks): .* in one process" <<<"$output"; then
  echo "a suite marked apart ran in one process"
  failures=$((failures + 1))
fi
expect "^\[  FAILED  \] Shared: its cases pass each in a process of its own but fail in one process together" \
  "$output" "shared state named"
expect "13 case\(s\): 8 passed, 5 failed" "$output" "summary"
leaks=$(grep -c "ERROR: LeakSanitizer: detected memory leaks" <<<"$output")
# Two for the cases apart; for the suite in one process, one for its process
# and one for its leaking case apart.
[ "$leaks" -eq 4 ] || { echo "expected 4 leak reports, found $leaks"; failures=$((failures + 1)); }

# In one process the whole module data is the root set: nothing still
# referenced is reported at exit.
output=$(PHONELINE_IN_PROCESS=1 "$fixture" --gtest_filter='Leaks.*Not*:Leaks.AChain*' 2>&1)
status=$?
[ "$status" -eq 0 ] || { echo "in one process: exit status $status"; echo "$output"; failures=$((failures + 1)); }

if [ "$failures" -ne 0 ]; then
  echo "---- fixture output ----"
  "$fixture" 2>&1
  exit 1
fi
echo "case runner: all checks passed"
