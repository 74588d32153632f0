#!/usr/bin/env bash
# Started from inside an application bundle (X.app/Contents/MacOS), with no
# "usecwd", the program finds the kit beside the bundle, from another working
# directory. The same program outside a bundle finds no kit beside the
# bundle's folder and says so.
source "$(dirname "$0")/lib.sh"
e2e_init bundle_layout

make_ledger_kit
volume="$WORK/Volumes/K"
macos="$volume/Setup.app/Contents/MacOS"
mkdir -p "$macos"
cp "$SETUP_MAC_BIN" "$macos/setup-mac"
mv "$WORK/kit/kelda.efd" "$volume/kelda.efd"

start_program "$WORK/home" "$macos/setup-mac"
await_wizard "$LEDGER_WELCOME"
key Escape
answer_alert Return
wait_exit_ok 10

# Outside a bundle the kit is looked for in the program's own folder only.
mkdir -p "$WORK/plain"
cp "$SETUP_MAC_BIN" "$WORK/plain/setup-mac"
start_program "$volume" "$WORK/plain/setup-mac"
wait_until 10 has_alert
shows_containing "$(text IDS_ERROR_NOSOURCE)" || fail "not the missing-kit text"
[ -z "$(main_window)" ] || fail "a wizard window without a kit"
focus "$(alert_window)"
key Return
wait_exit_ok 10
note "passed"
