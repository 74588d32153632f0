#!/usr/bin/env bash
# Configures and builds setup-mac (the Cocoa front end), mkkit and the tests
# that scripts/test-mac.sh runs, with the preset "gnustep" (clang; against
# GNUstep on Linux) into build-mac/. Quiet when it succeeds: the compiler's
# output goes to build.log in the build directory, and only its end is shown
# when the build fails.
# Usage: scripts/build-mac.sh [build directory [cmake options...]]
#   e.g. scripts/build-mac.sh build-mac -DSETUP_KIT_PUBLIC_KEY=release.pub
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-mac}
jobs=${SETUP_MAC_JOBS:-2}

mkdir -p "$build"
# A build directory configured by an older layout, in which setup-mac was a
# project of its own below src/cocoa, cannot be reconfigured from the top.
if grep -qs "^CMAKE_HOME_DIRECTORY:INTERNAL=$root/src/cocoa\$" "$build/CMakeCache.txt"; then
    rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
fi
log=$build/build.log
if ! {
    cmake -S "$root" --preset gnustep -B "$build" "${@:2}" &&
        cmake --build "$build" -j"$jobs" --target setup-mac mkkit test_cocoa test_platform \
            setup_mac_probe catalogue_text_mac
} >"$log" 2>&1; then
    echo "build-mac: build failed; the last lines of $log:" >&2
    tail -n 60 "$log" >&2
    exit 1
fi
echo "build-mac: $build/src/cocoa/setup-mac"
