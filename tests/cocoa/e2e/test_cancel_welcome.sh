#!/usr/bin/env bash
# Escape on the welcome page asks whether to cancel (Yes/No alert with the
# question text). No, or Escape in the alert, keeps the wizard on the welcome
# page; Escape again and Return (Yes) end the program with 0, with nothing
# installed. Return on the page itself does nothing.
source "$(dirname "$0")/lib.sh"
e2e_init cancel_welcome

make_ledger_kit
start_wizard "$LEDGER_WELCOME"

# No button is the default one: Return does not press Next. The Escape
# after it is handled after it, so once the cancel question is up, Return
# has been handled too, and the welcome page must still be behind it.
key Return
key Escape
wait_until 10 has_alert
alert=$(alert_window)
shows_containing "$(text IDS_ACCEPT_CANCEL)" || fail "not the cancel question (Return opened an alert?)"
shows_containing "$(text IDS_WELCOME_TITLE)" || fail "Return left the welcome page"
shows "Yes" && shows "No" || fail "no Yes and No buttons"
screenshot "$alert" 1-question
click "No"
wait_until 10 no_alert
shows_containing "$(text IDS_WELCOME_TITLE)" || fail "left the welcome page after No"
[ "$(main_window)" = "$WIN" ] || fail "the wizard window went away after No"

# Escape in the alert is its No.
focus "$WIN"
key Escape
answer_alert Escape
wait_until 10 no_alert
shows_containing "$(text IDS_WELCOME_TITLE)" || fail "left the welcome page after Escape"

# Escape again; this time the alert's own key equivalent Return says Yes.
focus "$WIN"
key Escape
answer_alert Return
wait_exit_ok 10
[ ! -e "$WORK/home/.kelda" ] || fail "the template directory was created"
[ ! -e "$(launcher_file)" ] || fail "the launcher file was written"
no_leftovers
note "passed"
