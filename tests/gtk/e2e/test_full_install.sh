#!/usr/bin/env bash
# The whole wizard: welcome, directory (a folder typed under HOME), copying,
# success, Finish. The kit's files land in the folder with the kit's times,
# and the launcher file is created with that folder first.
source "$(dirname "$0")/lib.sh"
e2e_init full_install

make_tree "$WORK/tree"
make_kit "$WORK/tree" --product "en|Ledger Templates|Example Ltd|docs/readme.html"
start_setup

wait_until 10 shows_containing "Ledger Templates (Example Ltd)"
win=$(main_window)
[ -n "$win" ] || fail "no wizard window"
[ "$(window_title "$win")" = "$(text IDR_MAINFRAME)" ] || fail "window title"
shows_containing "$(text IDS_WELCOME_TITLE)" || fail "welcome text"
[ "$(control_field GtkButton "$(text IDS_WIZARD_BACK)" 5)" = 0 ] || fail "Back enabled on welcome"
screenshot "$win" 1-welcome

click "$(text IDS_WIZARD_NEXT)"
wait_until 10 shows "$(text IDS_TEMPLATE_CATALOG)"
shows "$(text IDS_DESTINATION_PROMPT)" || fail "directory prompt"
[ "$(text_of GtkEntry)" = "$WORK/home/.kelda/KV/kelda/tmplts/" ] ||
    fail "proposal is not the default template directory: $(text_of GtkEntry)"
screenshot "$win" 2-directory

# Type another folder into the entry, as a user would.
target="$WORK/home/My Templates/ledger"
click_type GtkEntry
key "$win" ctrl+a BackSpace
type_into "$win" "$target"
wait_until 5 entry_is "$target"
click "$(text IDS_WIZARD_NEXT)"

# The launcher file is written only after the poll loop has seen the end of
# the copy, so waiting for it on disk (without asking the program anything)
# also shows that the worker's last post woke the loop.
wait_file 20 "$(launcher_file)"
wait_until 10 shows "$(text IDS_SUCCESS_FINISH)"
shows "$(text IDS_WIZARD_FINISH)" || fail "Finish button"
[ "$(value_of GtkCheckButton)" = 1 ] || fail "open-description box not ticked"
screenshot "$win" 4-success

same_tree "$WORK/tree" "$target"
first=$(grep -m1 '^ConfigurationTemplatesLocation=' "$(launcher_file)" | cut -d= -f2-)
[ "$first" = "$target" ] || fail "launcher file lists \"$first\" first"

# Untick the box so that Finish opens nothing, then finish.
click_type GtkCheckButton
wait_until 5 value_is GtkCheckButton 0
click "$(text IDS_WIZARD_FINISH)"
wait_exit 10
[ "$SETUP_STATUS" = 0 ] || fail "exit status $SETUP_STATUS"
note "passed"
