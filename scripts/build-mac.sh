#!/usr/bin/env bash
# Configures and builds setup-mac (the Cocoa front end) and its unit tests
# into build-mac/. On Linux it builds against GNUstep with clang.
# Usage: scripts/build-mac.sh [build directory]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-mac}
jobs=${SETUP_MAC_JOBS:-2}

cmake -S "$root/src/cocoa" -B "$build" \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_OBJCXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
  >/dev/null
cmake --build "$build" -j"$jobs"
echo "build-mac: $build/setup-mac"
