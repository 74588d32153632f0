#!/usr/bin/env bash
# Started from inside an application bundle (X.app/Contents/MacOS), with no
# "usecwd", the program finds the kit beside the bundle, from another working
# directory. The same program outside a bundle finds no kit beside the
# bundle's folder and says so.
source "$(dirname "$0")/lib.sh"
e2e_init bundle_layout

make_tree "$WORK/tree"
make_kit "$WORK/tree" --product "en|Ledger Templates|Example Ltd|docs/readme.html"
volume="$WORK/Volumes/K"
macos="$volume/Setup.app/Contents/MacOS"
mkdir -p "$macos"
cp "$SETUP_MAC_BIN" "$macos/setup-mac"
mv "$WORK/kit/kelda.efd" "$volume/kelda.efd"

start_program "$WORK/home" "$macos/setup-mac"
wait_until 10 shows_containing "Ledger Templates (Example Ltd)"
win=$(main_window)
[ -n "$win" ] || fail "no wizard window"
focus "$win"
key Escape
wait_until 10 has_alert
focus "$(alert_window)"
key Return
wait_exit 10
[ "$SETUP_STATUS" = 0 ] || fail "exit status $SETUP_STATUS"

# Outside a bundle the kit is looked for in the program's own folder only.
mkdir -p "$WORK/plain"
cp "$SETUP_MAC_BIN" "$WORK/plain/setup-mac"
start_program "$volume" "$WORK/plain/setup-mac"
wait_until 10 has_alert
shows_containing "$(text IDS_ERROR_NOSOURCE)" || fail "not the missing-kit text"
[ -z "$(main_window)" ] || fail "a wizard window without a kit"
focus "$(alert_window)"
key Return
wait_exit 10
[ "$SETUP_STATUS" = 0 ] || fail "exit status $SETUP_STATUS"
note "passed"
