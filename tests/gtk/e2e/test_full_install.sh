#!/usr/bin/env bash
# The whole wizard: welcome, directory (a folder typed under HOME), copying,
# success, Finish. The kit's files land in the folder with the kit's times,
# and the launcher file is created with that folder first.
source "$(dirname "$0")/lib.sh"
e2e_init full_install

make_ledger_kit
start_wizard "$LEDGER_WELCOME"
[ "$(window_title "$WIN")" = "$(text IDR_MAINFRAME)" ] || fail "window title"
shows_containing "$(text IDS_WELCOME_TITLE)" || fail "welcome text"
[ "$(control_field GtkButton "$(text IDS_WIZARD_BACK)" 5)" = 0 ] || fail "Back enabled on welcome"
screenshot "$WIN" 1-welcome

to_directory_page
shows "$(text IDS_DESTINATION_PROMPT)" || fail "directory prompt"
[ "$(text_of GtkEntry)" = "$WORK/home/.kelda/KV/kelda/tmplts/" ] ||
    fail "proposal is not the default template directory: $(text_of GtkEntry)"
screenshot "$WIN" 2-directory

# Type another folder into the entry, as a user would.
target="$WORK/home/My Templates/ledger"
replace_entry "$target"
click "$(text IDS_WIZARD_NEXT)"

# The launcher file is written only after the poll loop has seen the end of
# the copy, so waiting for it on disk (without asking the program anything)
# also shows that the worker's last post woke the loop.
wait_file 20 "$(launcher_file)"
wait_until 10 shows "$(text IDS_SUCCESS_FINISH)"
shows "$(text IDS_WIZARD_FINISH)" || fail "Finish button"
[ "$(value_of GtkCheckButton)" = 1 ] || fail "open-description box not ticked"
screenshot "$WIN" 4-success

same_tree "$WORK/tree" "$target"
launcher_lists_first "$target"

# Untick the box so that Finish opens nothing, then finish.
click_type GtkCheckButton
wait_until 5 value_is GtkCheckButton 0
click "$(text IDS_WIZARD_FINISH)"
wait_exit_ok 10
note "passed"
