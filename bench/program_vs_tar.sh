#!/usr/bin/env bash
# The whole program against tar: `setup -S` (start-up checks, kit inflation,
# window, copy run, launcher file) on a kit of 5,000 files under a private
# Xvfb, and `tar -xzf` of the same tree, in the same run. Each is timed
# REPEAT times into an empty folder; the medians, the fastest runs and their
# ratios are printed.
# Usage: bench/program_vs_tar.sh [BUILD-DIR]   (default build; needs setup
# and mkkit built there, and Xvfb)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
setup_bin=$build/src/gtk/setup
mkkit_bin=$build/tools/mkkit/mkkit
files=${FILES:-5000}  # a multiple of 100
repeat=${REPEAT:-3}
[ -x "$setup_bin" ] && [ -x "$mkkit_bin" ] || {
    echo "build setup and mkkit first: cmake --build $build --target setup mkkit" >&2
    exit 2
}

work=$(mktemp -d "${TMPDIR:-/tmp}/program-vs-tar.XXXXXX")
xvfb_pid=""
cleanup() {
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Template-like files: text of 1, 2, 4 and 8 KiB, 25 of each to a folder.
echo "making a tree of $files files"
mkdir -p "$work/tree" "$work/kit" "$work/home" "$work/tmp"
for d in $(seq 0 $((files / 100 - 1))); do
    mkdir -p "$work/tree/group$d"
    # 375 KiB of fresh text per folder, cut into the folder's 100 files.
    head -c 290000 /dev/urandom | base64 -w 76 >"$work/text"
    skip=0
    for size in 1024 2048 4096 8192; do
        dd if="$work/text" bs=1024 skip="$skip" count=$((25 * size / 1024)) status=none |
            split -b "$size" -a 2 -d - "$work/tree/group$d/t$size-"
        skip=$((skip + 25 * size / 1024))
    done
done
count=$(find "$work/tree" -type f | wc -l)
"$mkkit_bin" create -o "$work/kit/kelda.efd" -C "$work/tree" \
    --product "en|Benchmark templates|Example Ltd|group0/t1024-00" >/dev/null
tar -czf "$work/tree.tar.gz" -C "$work/tree" .
echo "kit $(stat -c %s "$work/kit/kelda.efd") bytes, tar.gz $(stat -c %s "$work/tree.tar.gz") bytes, $count files"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
export DISPLAY=":$(head -n1 "$work/display")"

now() { date +%s.%N; }
median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
fastest() { sort -g | head -n 1; }
target=$work/home/.kelda/KV/kelda/tmplts

program_times=()
tar_times=()
for i in $(seq "$repeat"); do
    rm -rf "$work/home" "$work/tmp" "$work/untar"
    mkdir -p "$work/home" "$work/tmp" "$work/untar"
    start=$(now)
    (cd "$work/kit" && HOME="$work/home" TMPDIR="$work/tmp" "$setup_bin" usecwd -S >/dev/null 2>&1)
    program_times+=("$(awk -v a="$start" -v b="$(now)" 'BEGIN {printf "%.3f", b - a}')")
    [ "$(find "$target" -type f | wc -l)" = "$count" ] || { echo "setup did not install every file" >&2; exit 1; }

    start=$(now)
    tar -xzf "$work/tree.tar.gz" -C "$work/untar"
    tar_times+=("$(awk -v a="$start" -v b="$(now)" 'BEGIN {printf "%.3f", b - a}')")
    echo "run $i: setup -S ${program_times[-1]} s, tar -xzf ${tar_times[-1]} s"
done

# The fastest runs are the least disturbed by other work on the machine.
for summary in median fastest; do
    p=$(printf '%s\n' "${program_times[@]}" | $summary)
    t=$(printf '%s\n' "${tar_times[@]}" | $summary)
    echo "$summary of $repeat: setup -S $p s, tar -xzf $t s," \
        "ratio $(awk -v p="$p" -v t="$t" 'BEGIN {printf "%.2f", p / t}')"
done
