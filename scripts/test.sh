#!/usr/bin/env bash
# Builds everything and runs every test: unit and end-to-end tests (ctest),
# the thread tests under ThreadSanitizer, a bounded fuzzing run of the kit
# reader, and the smoke test of the Cocoa build against GNUstep.
# Usage: scripts/test.sh            (from a fresh Debian 12 machine too)
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${JOBS:-2}

bash scripts/setup-deps.sh || { echo "dependency installation failed"; exit 1; }

passed=0
failed=0
failures=()

# Adds the counts of a ctest log to the totals.
count_ctest() {
  local log=$1 line total bad
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [ -z "$line" ]; then
    failed=$((failed + 1))
    return
  fi
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

stage() { echo; echo "=== $*"; }

stage "build (build/)"
cmake --preset default >/dev/null &&
  cmake --build build -j"$jobs" || { echo "build failed"; echo "total: $passed passed, $((failed + 1)) failed"; exit 1; }

stage "unit and end-to-end tests"
ctest --test-dir build --output-on-failure -j"$jobs" 2>&1 | tee build/ctest.log
count_ctest build/ctest.log
grep -q ' 0 tests failed' build/ctest.log || failures+=("ctest")

stage "thread tests under ThreadSanitizer (build-tsan/)"
tsan_targets=()
for t in text install; do
  ls tests/$t/*_test.cpp >/dev/null 2>&1 && tsan_targets+=("test_$t")
done
if cmake --preset tsan >/dev/null &&
   cmake --build build-tsan -j"$jobs" --target "${tsan_targets[@]}"; then
  for t in "${tsan_targets[@]}"; do
    log=build-tsan/$t.log
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" build-tsan/tests/$t 2>&1 | tee "$log" | grep -E '^\[  (PASSED|FAILED) |WARNING: ThreadSanitizer'
    rc=${PIPESTATUS[0]}
    p=$(sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?.*/\1/p' "$log" | tail -1)
    f=$(sed -nE 's/^\[  FAILED  \] ([0-9]+) tests?, listed below.*/\1/p' "$log" | tail -1)
    passed=$((passed + ${p:-0})); failed=$((failed + ${f:-0}))
    if [ "$rc" -ne 0 ]; then failures+=("tsan $t"); [ -n "$f" ] || failed=$((failed + 1)); fi
  done
else
  failed=$((failed + 1)); failures+=("tsan build")
fi

stage "fuzzing the kit reader (bounded)"
if [ -x scripts/fuzz-kit.sh ] || [ -f scripts/fuzz-kit.sh ]; then
  if bash scripts/fuzz-kit.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); failures+=("fuzz"); fi
else
  echo "scripts/fuzz-kit.sh missing"; failed=$((failed + 1)); failures+=("fuzz")
fi

stage "setup-mac against GNUstep (build-mac/)"
if [ -f scripts/test-mac.sh ]; then
  bash scripts/test-mac.sh 2>&1 | tee build-mac-test.log
  rc=${PIPESTATUS[0]}
  line=$(grep -E '^([A-Za-z-]+: )?[0-9]+ passed, [0-9]+ failed' build-mac-test.log | tail -1)
  if [ -n "$line" ]; then
    p=$(sed -E 's/^([A-Za-z-]+: )?([0-9]+) passed, ([0-9]+) failed.*/\2/' <<<"$line")
    f=$(sed -E 's/^([A-Za-z-]+: )?([0-9]+) passed, ([0-9]+) failed.*/\3/' <<<"$line")
    passed=$((passed + p)); failed=$((failed + f))
  fi
  if [ "$rc" -ne 0 ]; then failures+=("setup-mac"); [ -n "$line" ] || failed=$((failed + 1)); fi
  rm -f build-mac-test.log
else
  echo "scripts/test-mac.sh missing"; failed=$((failed + 1)); failures+=("setup-mac")
fi

echo
[ "${#failures[@]}" -eq 0 ] || echo "failed stages: ${failures[*]}"
echo "total: $passed passed, $failed failed"
[ "${#failures[@]}" -eq 0 ] && [ "$failed" -eq 0 ]
