#!/usr/bin/env bash
# Back from the directory page: the welcome page returns with Back disabled,
# and Next shows the directory page again with the entry refilled from the
# proposal (a path typed and abandoned is lost). Cancel, Yes then ends the
# program without touching the disk.
source "$(dirname "$0")/lib.sh"
e2e_init back_from_directory

make_ledger_kit
start_wizard "$LEDGER_WELCOME"
back=$(text IDS_WIZARD_BACK)
to_directory_page
[ "$(control_field GtkButton "$back" 5)" = 1 ] || fail "Back disabled on the directory page"
proposal="$(default_dir)/"
entry_is "$proposal" || fail "proposal: $(text_of GtkEntry)"

replace_entry "/abandoned/path"

click "$back"
wait_until 10 shows_containing "$LEDGER_WELCOME"
shows "$(text IDS_TEMPLATE_CATALOG)" && fail "directory page still shown after Back"
[ "$(control_field GtkButton "$back" 5)" = 0 ] || fail "Back enabled again on the welcome page"
screenshot "$WIN" 1-welcome-after-back
# Back on the welcome page does nothing.
click "$back" 2>/dev/null || true
probe
shows_containing "$LEDGER_WELCOME" || fail "Back on the welcome page left it"

to_directory_page
entry_is "$proposal" || fail "entry not refilled from the proposal: $(text_of GtkEntry)"

click "$(text IDS_WIZARD_CANCEL)"
wait_until 10 has_message_box
click "$(text IDS_MSGBOX_YES)"
wait_exit_ok 10
[ ! -e "$(default_dir)" ] || fail "the template directory was created"
[ ! -e "$(launcher_file)" ] || fail "the launcher file was written"
no_leftovers
note "passed"
