#!/usr/bin/env bash
# A damaged kit: the start-up checks show one error alert (the program's own
# error icon, a single OK) before any wizard window, Return answers it, and
# the program ends with 0 without touching HOME or leaving files in TMPDIR.
source "$(dirname "$0")/lib.sh"
e2e_init damaged_kit

make_ledger_kit
# Keep the kit's length (the free-space check stays the same) but spoil the
# deflate stream after its first bytes.
size=$(stat -c %s "$WORK/kit/kelda.efd")
head -c 16 "$WORK/kit/kelda.efd" >"$WORK/kit/spoilt"
head -c $((size - 16)) /dev/zero | tr '\0' '\377' >>"$WORK/kit/spoilt"
mv "$WORK/kit/spoilt" "$WORK/kit/kelda.efd"
start_setup

wait_until 10 has_alert
alert=$(alert_window)
[ -z "$(main_window)" ] || fail "the wizard window opened for a damaged kit"
shows_containing "$(text IDS_ERROR_DAMAGEDSOURCE)" || fail "not the damaged-kit text"
shows "OK" || fail "no OK button"
! shows "Yes" || fail "a Yes button on an error alert"
screenshot "$alert" 1-alert

focus "$alert"
key Return
wait_exit_ok 10
no_leftovers
[ -z "$(ls -A "$WORK/home")" ] || fail "HOME changed: $(ls -A "$WORK/home")"
note "passed"
