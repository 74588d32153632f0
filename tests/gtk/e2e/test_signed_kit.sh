#!/usr/bin/env bash
# A setup built to require signed kits (SIGNED_SETUP_BIN, built with the test
# key of tests/gtk/CMakeLists.txt): an unsigned kit, a kit signed by another
# key and a kit whose signature was tampered with each give the "not signed
# by" box and leave nothing behind; a damaged signed kit gives the damaged-kit
# box; the kit signed by the test key opens the wizard. The ordinary setup
# opens a kit signed by a key it does not know.
source "$(dirname "$0")/lib.sh"
: "${SIGNED_SETUP_BIN:?}"
e2e_init signed_kit

# The secret half of the test key that SIGNED_SETUP_BIN requires.
printf 'kit-secret-key ed25519 %s\n' \
    b1a09ed91600e8301b90538e08f1770a9fdcae4347488e7d435e591ef65f7529 >"$WORK/test.sec"
chmod 600 "$WORK/test.sec"
"$MKKIT_BIN" keygen "$WORK/stranger" >/dev/null || fail "mkkit keygen"
not_signed=$(text IDS_ERROR_NOTSIGNED)
not_signed=${not_signed//%1/Example Test Signer}

# expect_refusal TEXT SHOT: the signed build shows only a box reading TEXT.
expect_refusal() {
    local message=$1 shot=$2
    SETUP_BIN=$SIGNED_SETUP_BIN start_setup
    wait_until 10 has_message_box
    local box
    box=$(message_box)
    shows_containing "$message" || fail "the box does not read: $message"
    shows_containing "$WORK/kit/kelda.efd" || fail "the box does not name the kit's path"
    [ -z "$(main_window)" ] || fail "a wizard window next to the refusal"
    [ -n "$shot" ] && screenshot "$box" "$shot"
    click "$(text IDS_MSGBOX_OK)"
    wait_exit_ok 10 "after the refusal"
    [ ! -e "$(default_dir)" ] || fail "the template directory was created"
    no_leftovers
}

make_ledger_kit
expect_refusal "$not_signed" 1-unsigned

"$MKKIT_BIN" sign "$WORK/kit/kelda.efd" "$WORK/stranger.sec" >/dev/null || fail "mkkit sign"
expect_refusal "$not_signed" ""

# The ordinary build ignores a signature by a key it does not know.
start_wizard "$LEDGER_WELCOME"
stop_pid "$SETUP_PID"
rm -rf "$WORK/tmp"/*

"$MKKIT_BIN" sign "$WORK/kit/kelda.efd" "$WORK/test.sec" >/dev/null || fail "mkkit sign"
cp "$WORK/kit/kelda.efd" "$WORK/signed.efd"
# A flipped bit in the signature (the trailer's last 76 bytes hold it and
# the footer) is a forgery, not damage.
size=$(stat -c %s "$WORK/signed.efd")
printf '\x55' | dd of="$WORK/kit/kelda.efd" bs=1 seek=$((size - 40)) conv=notrunc status=none
expect_refusal "$not_signed" ""
# A flipped byte in the stream is damage.
cp "$WORK/signed.efd" "$WORK/kit/kelda.efd"
printf '\x55' | dd of="$WORK/kit/kelda.efd" bs=1 seek=$((size / 3)) conv=notrunc status=none
expect_refusal "$(text IDS_ERROR_DAMAGEDSOURCE)" ""

cp "$WORK/signed.efd" "$WORK/kit/kelda.efd"
SETUP_BIN=$SIGNED_SETUP_BIN start_wizard "$LEDGER_WELCOME"
note "passed"
