#!/usr/bin/env bash
# The whole wizard: welcome, directory (a folder typed under HOME), copying,
# success, Finish. The kit's files land in the folder with the kit's times,
# the launcher file lists that folder first, and the program ends with 0.
source "$(dirname "$0")/lib.sh"
e2e_init full_install

make_tree "$WORK/tree"
make_kit "$WORK/tree" --product "en|Ledger Templates|Example Ltd|docs/readme.html"
start_setup

wait_until 10 shows_containing "Ledger Templates (Example Ltd)"
win=$(main_window)
[ -n "$win" ] || fail "no wizard window"
focus "$win"
[ "$(window_field "$win" 4)" = "$(text IDR_MAINFRAME)" ] || fail "window title"
shows_containing "$(text IDS_WELCOME_TITLE)" || fail "welcome text"
[ "$(control_field ExtNSButton "$(text IDS_WIZARD_BACK)" 5)" = 0 ] || fail "Back enabled on welcome"
[ "$(control_field NSImageView "" 8)" = 158 ] || fail "side picture missing"
screenshot "$win" 1-welcome

click "$(text IDS_WIZARD_NEXT)"
wait_until 10 shows "$(text IDS_TEMPLATE_CATALOG)"
shows "$(text IDS_DESTINATION_PROMPT)" || fail "directory prompt"
[ "$(text_of NSTextField 1)" = "$WORK/home/.kelda/KV/kelda/tmplts/" ] ||
    fail "proposal is not the default template directory: $(text_of NSTextField 1)"
shows "..." || fail "no browse button"
screenshot "$win" 2-directory

# Type another folder into the entry, as a user would.
target="$WORK/home/My Templates/ledger"
replace_entry "$target"
wait_until 10 eval '[ "$(text_of NSTextField 1)" = "$target" ]'
click "$(text IDS_WIZARD_NEXT)"

# The launcher file is written only after the poll loop has seen the end of
# the copy.
wait_file 20 "$(launcher_file)"
wait_until 10 shows "$(text IDS_SUCCESS_FINISH)"
shows "$(text IDS_WIZARD_FINISH)" || fail "Finish button"
[ "$(control_field NSButton "$(text IDS_SUCCESS_OPENDESCR)" 10)" = 1 ] ||
    fail "open-description box not ticked"
screenshot "$win" 4-success

same_tree "$WORK/tree" "$target"
first=$(grep -m1 '^ConfigurationTemplatesLocation=' "$(launcher_file)" | cut -d= -f2-)
[ "$first" = "$target" ] || fail "launcher file lists \"$first\" first"

# Untick the box so that Finish opens nothing, then finish.
click "$(text IDS_SUCCESS_OPENDESCR)"
wait_until 5 eval '[ "$(control_field NSButton "$(text IDS_SUCCESS_OPENDESCR)" 10)" = 0 ]'
click "$(text IDS_WIZARD_FINISH)"
wait_exit 10
[ "$SETUP_STATUS" = 0 ] || fail "exit status $SETUP_STATUS"
[ -z "$(ls -A "$WORK/tmp")" ] || fail "left behind in TMPDIR: $(ls -A "$WORK/tmp")"
note "passed"
