#!/usr/bin/env bash
# The whole program against tar: `setup usecwd -S` (start-up checks, kit
# inflation, window, copy run, launcher file) under a private Xvfb, and
# `tar -xzf` of the same tree, each into an empty folder, in turn, REPEAT
# times (paired runs, so that other work on the machine hits both alike).
# Prints the medians of wall time, of wall time less the fixed pause that the
# wizard makes after its finish post (PAUSE, 1.0 s), of CPU time (user +
# system of the whole process tree) and of peak memory, with the ratios.
#
# Cases (CASES, default "small large scale"):
#   small  5,000 files of about 400 bytes in 100 folders
#   large  20 files, about 190 MB of text (a kit of about 150 MB)
#   scale  100,000 small files against the 5,000-file run: the time per
#          file must not grow with the count
#   memory peak memory of setup with a 10 MB and a 1 GB kit (MEMORY_MB)
# Both sides use compression level 6 (tar's gzip default).
#
# Usage: bench/program_vs_tar.sh [BUILD-DIR]   (default build; needs setup
# and mkkit built there, Xvfb and GNU time)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
setup_bin=$build/bin/setup
mkkit_bin=$build/tools/mkkit/mkkit
repeat=${REPEAT:-5}
cases=${CASES:-small large scale}
pause=${PAUSE:-1.0}
memory_mb=${MEMORY_MB:-10 1000}
[ -x "$setup_bin" ] && [ -x "$mkkit_bin" ] || {
    echo "build setup and mkkit first: cmake --build $build --target setup mkkit" >&2
    exit 2
}
[ -x /usr/bin/time ] || { echo "needs GNU time (/usr/bin/time)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/program-vs-tar.XXXXXX")
xvfb_pid=""
cleanup() {
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 200); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
export DISPLAY=":$(head -n1 "$work/display")"

median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
minus() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.3f", a - b}'; }

# FILES small files of about 400 bytes (base64 text) in folders of 50.
make_small_tree() {
    local dir=$1 files=$2 folders=$(($2 / 50))
    mkdir -p "$dir"
    for d in $(seq 0 $((folders - 1))); do
        mkdir -p "$dir/group$d"
        head -c 15000 /dev/urandom | base64 -w 76 | head -c 20000 >"$work/text"
        split -b 400 -a 2 -d "$work/text" "$dir/group$d/t"
    done
}

# COUNT text files of MB megabytes each.
make_large_tree() {
    local dir=$1 count=$2 mb=$3
    mkdir -p "$dir"
    for i in $(seq 0 $((count - 1))); do
        head -c $((mb * 1024 * 768)) /dev/urandom | base64 -w 76 >"$dir/file$i.txt"
    done
}

# Packs tree $1 as kit $2/kelda.efd and as tarball $3.
pack() {
    mkdir -p "$2"
    local first
    first=$(cd "$1" && find . -type f -print -quit)
    first=${first#./}
    "$mkkit_bin" create -l 6 -o "$2/kelda.efd" -C "$1" --product "en|Benchmark|Example Ltd|$first" \
        >/dev/null
    [ -z "$3" ] || tar -czf "$3" -C "$1" .
}

# One timed run of setup on kit folder $1; prints "wall cpu maxrss_kib".
run_setup() {
    rm -rf "$work/home" "$work/tmp"
    mkdir -p "$work/home" "$work/tmp"
    (cd "$1" && HOME="$work/home" TMPDIR="$work/tmp" /usr/bin/time -f "%e %U %S %M" \
        -o "$work/time" "$setup_bin" usecwd -S >/dev/null 2>&1)
    local files
    files=$(find "$work/home/.kelda/KV/kelda/tmplts" -type f | wc -l)
    [ "$files" = "$2" ] || { echo "setup installed $files files, not $2" >&2; exit 1; }
    awk '{printf "%s %.3f %s\n", $1, $2 + $3, $4}' "$work/time"
}

# One timed run of tar on tarball $1; prints "wall cpu maxrss_kib".
run_tar() {
    rm -rf "$work/untar"
    mkdir -p "$work/untar"
    /usr/bin/time -f "%e %U %S %M" -o "$work/time" tar -xzf "$1" -C "$work/untar"
    awk '{printf "%s %.3f %s\n", $1, $2 + $3, $4}' "$work/time"
}

# Paired runs of setup and tar; prints the table rows.
compare() {
    local name=$1 kit=$2 tarball=$3 count=$4 w c m
    local -a sw=() sc=() sm=() tw=() tc=()
    for i in $(seq "$repeat"); do
        read -r w c m < <(run_setup "$kit" "$count")
        sw+=("$w") sc+=("$c") sm+=("$m")
        read -r w c m < <(run_tar "$tarball")
        tw+=("$w") tc+=("$c")
    done
    local s_wall s_cpu s_mem t_wall t_cpu s_net
    s_wall=$(printf '%s\n' "${sw[@]}" | median)
    s_cpu=$(printf '%s\n' "${sc[@]}" | median)
    s_mem=$(printf '%s\n' "${sm[@]}" | median)
    t_wall=$(printf '%s\n' "${tw[@]}" | median)
    t_cpu=$(printf '%s\n' "${tc[@]}" | median)
    s_net=$(minus "$s_wall" "$pause")
    printf '%-28s %10s %10s %7s\n' "$name (median of $repeat)" "setup -S" "tar -xzf" "ratio"
    printf '%-28s %9ss %9ss %7s\n' "  wall" "$s_wall" "$t_wall" "$(ratio "$s_wall" "$t_wall")"
    printf '%-28s %9ss %9ss %7s\n' "  wall less the ${pause} s pause" "$s_net" "$t_wall" \
        "$(ratio "$s_net" "$t_wall")"
    printf '%-28s %9ss %9ss %7s\n' "  CPU (user + system)" "$s_cpu" "$t_cpu" "$(ratio "$s_cpu" "$t_cpu")"
    printf '%-28s %8s KiB\n' "  setup's peak memory" "$s_mem"
    last_net=$s_net
}

echo "machine: $(nproc) cores, $(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo)," \
    "load $(cut -d' ' -f1-3 /proc/loadavg), $(df -T "$work" | awk 'NR == 2 {print $2}') under $work"

for case_name in $cases; do
    case $case_name in
    small | scale)
        if [ ! -d "$work/small" ]; then
            make_small_tree "$work/small/tree" 5000
            pack "$work/small/tree" "$work/small/kit" "$work/small/tree.tar.gz"
        fi
        compare "5,000 small files" "$work/small/kit" "$work/small/tree.tar.gz" 5000
        small_net=$last_net
        if [ "$case_name" = scale ]; then
            make_small_tree "$work/scale/tree" 100000
            pack "$work/scale/tree" "$work/scale/kit" "$work/scale/tree.tar.gz"
            rm -rf "$work/scale/tree"
            compare "100,000 small files" "$work/scale/kit" "$work/scale/tree.tar.gz" 100000
            echo "  time per file, 100,000 against 5,000 (less the pause):" \
                "$(awk -v a="$last_net" -v b="$small_net" 'BEGIN {printf "%.2f", (a / 100000) / (b / 5000)}')"
            rm -rf "$work/scale"
        fi
        ;;
    large)
        make_large_tree "$work/large/tree" 20 10
        pack "$work/large/tree" "$work/large/kit" "$work/large/tree.tar.gz"
        echo "large: $(du -sm "$work/large/tree" | cut -f1) MB of text, kit" \
            "$(($(stat -c %s "$work/large/kit/kelda.efd") / 1000000)) MB"
        rm -rf "$work/large/tree"
        compare "20 large text files" "$work/large/kit" "$work/large/tree.tar.gz" 20
        rm -rf "$work/large"
        ;;
    memory)
        for mb in $memory_mb; do
            count=$(((mb + 49) / 50))
            each=$(((mb + count - 1) / count))
            make_large_tree "$work/mem/tree" "$count" "$each"
            pack "$work/mem/tree" "$work/mem/kit" ""
            rm -rf "$work/mem/tree"
            read -r wall cpu peak < <(run_setup "$work/mem/kit" "$count")
            echo "memory: ${mb} MB of content (kit $(($(stat -c %s "$work/mem/kit/kelda.efd") / 1000000)) MB):" \
                "setup's peak ${peak} KiB, wall ${wall} s, CPU ${cpu} s"
            rm -rf "$work/mem" "$work/home" "$work/tmp"
        done
        ;;
    *)
        echo "unknown case $case_name" >&2
        exit 2
        ;;
    esac
done
