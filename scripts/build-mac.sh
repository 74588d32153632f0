#!/usr/bin/env bash
# Configures and builds setup-mac (the Cocoa front end) and its unit tests
# into build-mac/. On Linux it builds against GNUstep with clang. Quiet when
# it succeeds: the compiler's output goes to build.log in the build
# directory, and only its end is shown when the build fails.
# Usage: scripts/build-mac.sh [build directory [cmake options...]]
#   e.g. scripts/build-mac.sh build-mac -DSETUP_KIT_PUBLIC_KEY=release.pub
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-mac}
jobs=${SETUP_MAC_JOBS:-2}

mkdir -p "$build"
log=$build/build.log
if ! {
    cmake -S "$root/src/cocoa" -B "$build" \
        -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_OBJCXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
        "${@:2}" &&
        cmake --build "$build" -j"$jobs"
} >"$log" 2>&1; then
    echo "build-mac: build failed; the last lines of $log:" >&2
    tail -n 60 "$log" >&2
    exit 1
fi
echo "build-mac: $build/setup-mac"
