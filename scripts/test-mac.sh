#!/usr/bin/env bash
# Builds setup-mac against GNUstep (scripts/build-mac.sh) and tests it: the
# front end's and the platform services' unit tests, then end-to-end runs of the real program under a
# private Xvfb, driven by xdotool (tests/cocoa/e2e/test_*.sh).
# Last line: "setup-mac: N passed, M failed"; the exit status is non-zero
# when anything failed.
# Usage: scripts/test-mac.sh
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SETUP_MAC_BUILD:-$root/build-mac}
jobs=${SETUP_MAC_JOBS:-2}

passed=0
failed=0
finish() {
    echo "setup-mac: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit
}

echo "--- building setup-mac"
if ! bash "$root/scripts/build-mac.sh" "$build"; then
    failed=$((failed + 1))
    finish
fi

# GNUstep keeps user defaults below the account's home directory (not $HOME)
# and its message ports below $TMP: both go to a scratch directory.
scratch=$(mktemp -d)
printf 'GNUSTEP_USER_CONFIG_FILE=%s\nGNUSTEP_USER_DEFAULTS_DIR=%s\nGNUSTEP_USER_DIR_LIBRARY=%s\n' \
    "$scratch/user.conf" "$scratch/Defaults" "$scratch/Library" >"$scratch/GNUstep.conf"
mkdir -p "$scratch/tmp"
for program in tests/cocoa/test_cocoa tests/test_platform; do
    echo "--- unit tests ($(basename "$program"))"
    log=$scratch/$(basename "$program").log
    GNUSTEP_CONFIG_FILE=$scratch/GNUstep.conf TMP=$scratch/tmp TEMP=$scratch/tmp \
        "$build/$program" 2>&1 | tee "$log" | grep -E '^\[  (PASSED|FAILED) |^\[  FAILED  \]'
    rc=${PIPESTATUS[0]}
    p=$(sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?.*/\1/p' "$log" | tail -1)
    f=$(sed -nE 's/^\[  FAILED  \] ([0-9]+) tests?, listed below.*/\1/p' "$log" | tail -1)
    passed=$((passed + ${p:-0}))
    failed=$((failed + ${f:-0}))
    if [ "$rc" -ne 0 ] && [ -z "$f" ]; then failed=$((failed + 1)); fi
done
rm -rf "$scratch"

echo "--- end-to-end tests under Xvfb"
export SETUP_MAC_BIN=$build/src/cocoa/setup-mac
export PROBE_LIB=$build/tests/cocoa/libsetup_mac_probe.so
export CATALOGUE_TEXT_BIN=$build/tests/cocoa/catalogue_text_mac
export MKKIT_BIN=$build/tools/mkkit/mkkit
export E2E_SCREENSHOTS=$build/e2e-screenshots
for case in "$root"/tests/cocoa/e2e/test_*.sh; do
    name=$(basename "$case" .sh)
    if timeout 120 bash "$case"; then
        echo "ok   $name"
        passed=$((passed + 1))
    else
        echo "FAIL $name"
        failed=$((failed + 1))
    fi
done
finish
