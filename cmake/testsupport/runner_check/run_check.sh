#!/usr/bin/env bash
# Checks what the case runner reports for the fixture's cases: each case in a
# process of its own, leaks found in case processes (allocated before or after
# the fork), no leak reported for memory still referenced from module data,
# and every failed case named in the summary.
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
              Ends.AnAbortIsNamed Ends.AFailedAssertionIsNamed; do
  expect "^\[  FAILED  \] $failed \(" "$output" "fails"
  expect "^\[  FAILED  \] $failed\$" "$output" "named in the summary"
done
expect "Ends\.AnAbortIsNamed \(.*killed by signal 6" "$output" "abort"
expect "7 case\(s\), each in its own process: 3 passed, 4 failed" "$output" "summary"
leaks=$(grep -c "ERROR: LeakSanitizer: detected memory leaks" <<<"$output")
[ "$leaks" -eq 2 ] || { echo "expected 2 leak reports, found $leaks"; failures=$((failures + 1)); }

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
