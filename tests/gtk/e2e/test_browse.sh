#!/usr/bin/env bash
# The "..." button opens the folder chooser as a modal box of its own;
# cancelling it keeps the typed text in the entry, and the wizard goes on.
source "$(dirname "$0")/lib.sh"
e2e_init browse

make_ledger_kit
start_wizard "$LEDGER_WELCOME"
to_directory_page
target="$WORK/home/typed by hand"
replace_entry "$target"

click "..."
wait_until 10 has_chooser
screenshot "$(chooser)" 2-chooser
click_in "$(chooser)" "$(text IDS_BROWSE_CANCEL)"
wait_until 10 no_chooser
entry_is "$target" || fail "Cancel in the chooser changed the entry: $(text_of GtkEntry)"

click "$(text IDS_WIZARD_NEXT)"
wait_until 30 shows "$(text IDS_SUCCESS_FINISH)"
same_tree "$WORK/tree" "$target"
click_type GtkCheckButton
wait_until 5 value_is GtkCheckButton 0
click "$(text IDS_WIZARD_FINISH)"
wait_exit_ok 10
note "passed"
