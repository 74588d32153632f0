#!/usr/bin/env bash
# Escape asks "Do you really want to cancel installation?". No, or closing
# the question with Escape, leaves the wizard as it was, on the welcome and
# on the directory page; Yes ends the program with status 0 and nothing
# written.
source "$(dirname "$0")/lib.sh"
e2e_init escape_no

make_ledger_kit
start_wizard "$LEDGER_WELCOME"
question=$(text IDS_ACCEPT_CANCEL)

key "$WIN" Escape
wait_until 10 has_message_box
box=$(message_box)
shows "$question" || fail "the question's text"
[ "$(window_title "$box")" = "$(text IDR_MAINFRAME)" ] || fail "the question's title"
screenshot "$box" 1-question
click "$(text IDS_MSGBOX_NO)"
wait_until 10 no_message_box
shows_containing "$LEDGER_WELCOME" || fail "welcome page gone after No"
[ -n "$(main_window)" ] || fail "the window went away after No"

to_directory_page
replace_entry "/kept/as/typed"

# Escape in the question box closes it without an answer: a refusal.
key "$WIN" Escape
wait_until 10 has_message_box
key "$(message_box)" Escape
wait_until 10 no_message_box
shows "$(text IDS_TEMPLATE_CATALOG)" || fail "directory page gone after closing the question"
entry_is "/kept/as/typed" || fail "the typed path changed: $(text_of GtkEntry)"

key "$WIN" Escape
wait_until 10 has_message_box
click "$(text IDS_MSGBOX_YES)"
wait_exit_ok 10
[ ! -e "$(default_dir)" ] || fail "the template directory was created"
[ ! -e /kept ] || fail "the typed directory was created"
[ ! -e "$(launcher_file)" ] || fail "the launcher file was written"
no_leftovers
note "passed"
