#!/usr/bin/env bash
# How much of a processor setup-mac's user-interface thread takes while the
# worker copies: its event passes wait for events (at most 10 ms each)
# instead of spinning. setup-mac (against GNUstep, under a private Xvfb)
# copies a kit of FILES small files; over MEASURE seconds of the copy the
# main thread's share and the worker's are read from /proc. Then the whole
# copy is timed against `tar -xzf` of the same tree, in the same run.
# Usage: bench/mac_poll_cpu.sh [BUILD-DIR]   (default build-mac, made by
# scripts/build-mac.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-mac}" && pwd)
files=${FILES:-20000}  # a multiple of 100
measure=${MEASURE:-1}
export SETUP_MAC_BIN=$build/src/cocoa/setup-mac
export PROBE_LIB=$build/tests/cocoa/libsetup_mac_probe.so
export CATALOGUE_TEXT_BIN=$build/tests/cocoa/catalogue_text_mac
export MKKIT_BIN=$build/tools/mkkit/mkkit
export E2E_SCREENSHOTS=$build/bench-screenshots
for program in "$SETUP_MAC_BIN" "$PROBE_LIB" "$CATALOGUE_TEXT_BIN" "$MKKIT_BIN"; do
    [ -e "$program" ] || { echo "build setup-mac first: bash scripts/build-mac.sh" >&2; exit 2; }
done

# The end-to-end steps start the program in its sandbox and read its screen.
source "$root/tests/cocoa/e2e/lib.sh"
e2e_init poll_cpu

echo "making a tree of $files files"
make_large_tree "$WORK/tree" "$files"
make_kit "$WORK/tree" --level 1 --product "en|Benchmark templates|Example Ltd|"
tar -czf "$WORK/tree.tar.gz" -C "$WORK/tree" .

now() { date +%s.%N; }
# process_ticks PID: user plus system clock ticks of the whole process.
process_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

start_wizard "Benchmark templates"
to_directory_page
click "$(text IDS_WIZARD_NEXT)"
copy_start=$(now)
wait_until 10 eval '[ -n "$(value_of NSProgressIndicator)" ]'

main_before=$(cpu_ticks "$SETUP_PID" "$SETUP_PID")
all_before=$(process_ticks "$SETUP_PID")
window_start=$(now)
sleep "$measure"
main_after=$(cpu_ticks "$SETUP_PID" "$SETUP_PID")
all_after=$(process_ticks "$SETUP_PID")
window_end=$(now)
progress=$(value_of NSProgressIndicator)
hz=$(getconf CLK_TCK)
awk -v m=$((main_after - main_before)) -v a=$((all_after - all_before)) -v hz="$hz" \
    -v s="$window_start" -v e="$window_end" -v p="${progress:-?}" 'BEGIN {
        t = e - s
        printf "over %.2f s of copying (at %s%%): user-interface thread %.1f%% of a processor, " \
               "rest of the process %.1f%%\n", t, p, 100 * m / hz / t, 100 * (a - m) / hz / t
    }'
[ -n "$progress" ] && [ "$progress" -lt 100 ] ||
    echo "note: the copy ended within the measuring; raise FILES for a fair figure"

wait_until 600 shows "$(text IDS_SUCCESS_FINISH)"
copy_time=$(awk -v a="$copy_start" -v b="$(now)" 'BEGIN {printf "%.2f", b - a}')
click "$(text IDS_WIZARD_FINISH)"
wait_exit_ok 30

mkdir -p "$WORK/untar"
tar_start=$(now)
tar -xzf "$WORK/tree.tar.gz" -C "$WORK/untar"
tar_time=$(awk -v a="$tar_start" -v b="$(now)" 'BEGIN {printf "%.2f", b - a}')
echo "copy of $files files: setup-mac ${copy_time} s, tar -xzf ${tar_time} s," \
    "ratio $(awk -v p="$copy_time" -v t="$tar_time" 'BEGIN {printf "%.2f", p / t}')"
