#!/usr/bin/env bash
# Checks what the case runner reports for the fixture's cases: a suite's cases
# in one process, or each in its own where the suite says so; a failed suite's
# cases run again apart so that the failing ones are named; cases that fail
# only together fail the run; leaks found in case processes (allocated before
# or after the fork, held by an overwritten global, or lost only by a second
# call) are reported as leaks; no leak reported for memory still referenced
# from module data; every failed case named in the summary; an order-dependent
# pass turned red by some seed and replayed by it; a hung case named within
# its deadline while the other cases of its suite still run.
set -uo pipefail
fixture=$1
failures=0

fail() {
  echo "FAILED: $1"
  failures=$((failures + 1))
}
expect() {  # expect <pattern> <output> <what>
  grep -qE -- "$1" <<<"$2" || fail "missing ($3): $1"
}
refuse() {  # refuse <pattern> <output> <what>
  if grep -qE -- "$1" <<<"$2"; then fail "present ($3): $1"; fi
}

# --- the cases that pass, fail, leak and crash ---------------------------------
apart='-Order.*:Twenty/Hang.*'
output=$("$fixture" --gtest_filter="$apart" 2>&1)
status=$?
[ "$status" -ne 0 ] || fail "the fixture's run should fail"
for ok in AFreshAllocationKeptInAGlobalIsNotReported AnEarlyAllocationStillReferencedIsNotReported \
          AChainFromAnEarlyAllocationKeepsAFreshOneReachable; do
  expect "^\[       OK \] Leaks\.$ok \(" "$output" "passes"
done
for leak in Leaks.AFreshAllocationDroppedIsReported Leaks.AnEarlyAllocationDroppedIsReported \
            Leaks.AGlobalOverwrittenLosesItsFirstAllocation LeaksTogether.ALeakingCase; do
  expect "^\[  FAILED  \] $leak \([0-9]+ ms, leaks found" "$output" "fails as a leak"
  expect "^\[  FAILED  \] $leak \(leak\)\$" "$output" "named in the summary as a leak"
done
for failed in Ends.AnAbortIsNamed Ends.AFailedAssertionIsNamed; do
  expect "^\[  FAILED  \] $failed \([0-9]+ ms, " "$output" "fails"
  expect "^\[  FAILED  \] $failed \(failed\)\$" "$output" "named in the summary"
done
expect "Ends\.AnAbortIsNamed \(.*killed by signal 6" "$output" "abort"
for suite in LeaksTogether Shared Ends TwoCalls; do
  expect "^\[  FAILED  \] $suite: [0-9]+ cases in one process \(.*\); each case again" "$output" \
    "a failed suite runs again apart"
done
for ok in LeaksTogether.ACleanCase Shared.FirstLeavesAValue Shared.SecondLeavesOneToo \
          Apart.FirstLeavesAValue Apart.SecondExpectsNone TwoCalls.First TwoCalls.Second; do
  expect "^\[       OK \] $ok \(" "$output" "passes apart"
done
if grep -qE "(Apart|Leaks): .* in one process" <<<"$output"; then
  fail "a suite marked apart ran in one process"
fi
expect "^\[  FAILED  \] Shared: its cases pass each in a process of its own but fail in one process together in the order of seed [0-9]+" \
  "$output" "shared state named"
expect "^\[  FAILED  \] TwoCalls: leak: its cases leak in one process together though none leaks alone" \
  "$output" "a leak of two calls named a leak"
refuse "TwoCalls: its cases pass .* share state" "$output" "a leak of two calls taken for shared state"
expect "^\[==========\] 16 case\(s\), each suite's in the order of seed [0-9]+ \(PHONELINE_SEED=[0-9]+" \
  "$output" "the seed"
expect "16 case\(s\): 10 passed, 6 failed" "$output" "summary"
leaks=$(grep -c "ERROR: LeakSanitizer: detected memory leaks" <<<"$output")
# Three for the leaking cases apart; for LeaksTogether one for its process and
# one for its leaking case apart; one for TwoCalls' process.
[ "$leaks" -eq 6 ] || fail "expected 6 leak reports, found $leaks"
first_output=$output

# In one process the whole module data is the root set: nothing still
# referenced is reported at exit.
output=$(PHONELINE_IN_PROCESS=1 "$fixture" --gtest_filter='Leaks.*Not*:Leaks.AChain*' 2>&1)
status=$?
[ "$status" -eq 0 ] || { fail "in one process: exit status $status"; echo "$output"; }

# --- order -------------------------------------------------------------------
# Some seed runs the case that needs the flag first; that seed replays it.
red="" green=""
for seed in $(seq 1 40); do
  if PHONELINE_SEED=$seed "$fixture" --suite=Order >/dev/null 2>&1; then green=${green:-$seed}; else red=${red:-$seed}; fi
  [ -n "$red" ] && [ -n "$green" ] && break
done
if [ -z "$red" ] || [ -z "$green" ]; then
  fail "seeds 1 to 40 did not give both orders (red: '$red', green: '$green')"
else
  for run in 1 2; do
    output=$(PHONELINE_SEED=$red "$fixture" --suite=Order 2>&1) && fail "seed $red did not turn the suite red again"
    expect "in the order of seed $red " "$output" "the seed replayed"
    expect "^\[  FAILED  \] Order.PassesOnlyAfterTheFlag \(failed\)\$" "$output" "the case that needs the flag named"
    expect "^\[       OK \] Order.LeavesAFlag \(" "$output" "the other case passes apart"
  done
fi
PHONELINE_SEED=0 "$fixture" --suite=Order >/dev/null 2>&1 && fail "a seed out of range was taken"

# --- a hang --------------------------------------------------------------------
started=$(date +%s)
output=$(PHONELINE_CASE_TIMEOUT=2 "$fixture" --suite=Twenty/Hang 2>&1)
status=$?
took=$(($(date +%s) - started))
[ "$status" -ne 0 ] || fail "a hung case should fail its suite"
expect "^\[  FAILED  \] Twenty/Hang: 20 cases in one process \(.*Twenty/Hang\.Case/7 ran past its deadline of 2 s.*\); each other case again" \
  "$output" "the hung case named"
expect "^\[  FAILED  \] Twenty/Hang\.Case/7 \(hung\)\$" "$output" "the hung case in the summary"
expect "20 case\(s\): 19 passed, 1 failed" "$output" "the other cases run apart"
refuse "^\[       OK \] Twenty/Hang\.Case/7 " "$output" "the hung case run again"
[ "$took" -lt 60 ] || fail "a hang with a deadline of 2 s took $took s"

if [ "$failures" -ne 0 ]; then
  echo "---- fixture output ----"
  echo "$first_output"
  exit 1
fi
echo "case runner: all checks passed"
