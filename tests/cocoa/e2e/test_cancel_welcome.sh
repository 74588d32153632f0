#!/usr/bin/env bash
# Escape on the welcome page asks whether to cancel (Yes/No alert with the
# question text). No, or Escape in the alert, keeps the wizard on the welcome
# page; Escape again and Return (Yes) end the program with 0, with nothing
# installed. Return on the page itself does nothing.
source "$(dirname "$0")/lib.sh"
e2e_init cancel_welcome

make_tree "$WORK/tree"
make_kit "$WORK/tree" --product "en|Ledger Templates|Example Ltd|docs/readme.html"
start_setup

wait_until 10 shows_containing "Ledger Templates (Example Ltd)"
win=$(main_window)
[ -n "$win" ] || fail "no wizard window"
focus "$win"

# No button is the default one: Return does not press Next.
key Return
sleep 0.5
shows_containing "$(text IDS_WELCOME_TITLE)" || fail "Return left the welcome page"
no_alert || fail "Return opened an alert"

key Escape
wait_until 10 has_alert
alert=$(alert_window)
shows_containing "$(text IDS_ACCEPT_CANCEL)" || fail "not the cancel question"
shows "Yes" && shows "No" || fail "no Yes and No buttons"
screenshot "$alert" 1-question
click "No"
wait_until 10 no_alert
shows_containing "$(text IDS_WELCOME_TITLE)" || fail "left the welcome page after No"
[ "$(main_window)" = "$win" ] || fail "the wizard window went away after No"

# Escape in the alert is its No.
focus "$win"
key Escape
wait_until 10 has_alert
focus "$(alert_window)"
key Escape
wait_until 10 no_alert
shows_containing "$(text IDS_WELCOME_TITLE)" || fail "left the welcome page after Escape"

# Escape again; this time the alert's own key equivalent Return says Yes.
focus "$win"
key Escape
wait_until 10 has_alert
focus "$(alert_window)"
key Return
wait_exit 10
[ "$SETUP_STATUS" = 0 ] || fail "exit status $SETUP_STATUS"
[ ! -e "$WORK/home/.kelda" ] || fail "the template directory was created"
[ ! -e "$(launcher_file)" ] || fail "the launcher file was written"
[ -z "$(ls -A "$WORK/tmp")" ] || fail "left behind in TMPDIR: $(ls -A "$WORK/tmp")"
note "passed"
