#!/usr/bin/env bash
# Bounded fuzzing of the kit reader under AddressSanitizer and
# UndefinedBehaviorSanitizer: builds tests/fuzz/kit_reader_fuzz with clang in
# build-fuzz/, writes a seed corpus of small valid kits (made by our own kit
# writer) into build-fuzz/corpus, fuzzes for FUZZ_SECONDS (default 60) and
# prints the number of executions. Exits non-zero when the build fails or the
# fuzzer finds a crash, leak, undefined behaviour or broken promise; the
# failing input is kept in build-fuzz/artifacts/.
# Usage: scripts/fuzz-kit.sh [extra libFuzzer options]
set -uo pipefail
cd "$(dirname "$0")/.."
build=build-fuzz
seconds=${FUZZ_SECONDS:-60}
jobs=${JOBS:-2}

echo "fuzz-kit: building $build/tests/fuzz/kit_reader_fuzz with clang"
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSETUP_BUILD_GTK=OFF -DSETUP_BUILD_BENCH=OFF >"$build.configure.log" 2>&1 || {
  cat "$build.configure.log"; echo "fuzz-kit: configure failed"; exit 1; }
rm -f "$build.configure.log"
cmake --build "$build" --target kit_reader_fuzz -j"$jobs" >/dev/null || {
  cmake --build "$build" --target kit_reader_fuzz -j1; echo "fuzz-kit: build failed"; exit 1; }
fuzzer=$build/tests/fuzz/kit_reader_fuzz

# A fresh corpus each run, so that a run does not depend on earlier ones.
rm -rf "$build/corpus" "$build/artifacts"
mkdir -p "$build/corpus" "$build/artifacts"
KIT_FUZZ_WRITE_SEEDS="$build/corpus" "$fuzzer" || { echo "fuzz-kit: cannot write seeds"; exit 1; }
echo "fuzz-kit: $(ls "$build/corpus" | wc -l) seeds; fuzzing for ${seconds}s"

# Scratch files of every input, memory-backed where possible; removed even
# when the fuzzer dies.
scratch=$(mktemp -d /dev/shm/kitfuzz.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT

log=$build/fuzz.log
KIT_FUZZ_DIR=$scratch ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0} \
UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
  "$fuzzer" "$build/corpus" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
  -max_len=70000 -print_final_stats=1 -artifact_prefix="$build/artifacts/" "$@" >"$log" 2>&1
rc=$?

runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+).*/\1/p' "$log" | tail -1)
[ -n "$runs" ] || runs=$(sed -nE 's/^Done ([0-9]+) runs.*/\1/p' "$log" | tail -1)
corpus=$(ls "$build/corpus" | wc -l)
if [ "$rc" -ne 0 ]; then
  grep -E 'ERROR|SUMMARY|runtime error|kit_reader_fuzz:|Test unit written' "$log" | head -20
  echo "fuzz-kit: FAILED after ${runs:-?} executions (exit $rc); log $log, input in $build/artifacts/"
  exit 1
fi
echo "fuzz-kit: ${runs:-0} executions in ${seconds}s, corpus $corpus inputs, no crash"
