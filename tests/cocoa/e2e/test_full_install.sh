#!/usr/bin/env bash
# The whole wizard: welcome, directory (a folder typed under HOME, Return in
# the entry), copying, success, Finish. The kit's files land in the folder with the kit's times,
# the launcher file lists that folder first, and the program ends with 0.
source "$(dirname "$0")/lib.sh"
e2e_init full_install

make_ledger_kit
start_wizard "$LEDGER_WELCOME"
[ "$(window_field "$WIN" 4)" = "$(text IDR_MAINFRAME)" ] || fail "window title"
shows_containing "$(text IDS_WELCOME_TITLE)" || fail "welcome text"
[ "$(control_field ExtNSButton "$(text IDS_WIZARD_BACK)" 5)" = 0 ] || fail "Back enabled on welcome"
# The window's content is 500 x 360 below the title bar drawn by GNUstep.
[ "$(window_field "$WIN" 8)" -ge 500 ] && [ "$(window_field "$WIN" 9)" -ge 360 ] ||
    fail "window of $(window_field "$WIN" 8) x $(window_field "$WIN" 9)"
expect_frame FlippedNSView "" "0 0 500 360"
expect_frame NSBox "" "10 310 480 5"
expect_frame ExtNSButton "$(text IDS_WIZARD_BACK)" "230 320 80 30"
expect_frame ExtNSButton "$(text IDS_WIZARD_NEXT)" "310 320 80 30"
expect_frame ExtNSButton "$(text IDS_WIZARD_CANCEL)" "410 320 80 30"
expect_frame NSImageView "" "0 0 158 286"
expect_frame NSTextField "$(text_of NSTextField 0)" "170 10 318 286"
screenshot "$WIN" 1-welcome

to_directory_page
shows "$(text IDS_DESTINATION_PROMPT)" || fail "directory prompt"
[ "$(text_of NSTextField 1)" = "$WORK/home/.kelda/KV/kelda/tmplts/" ] ||
    fail "proposal is not the default template directory: $(text_of NSTextField 1)"
expect_frame NSTextField "$(text IDS_TEMPLATE_CATALOG)" "170 255 320 20"
expect_frame NSTextField "$WORK/home/.kelda/KV/kelda/tmplts/" "170 275 280 30"
expect_frame ExtNSButton "..." "460 275 30 30"
screenshot "$WIN" 2-directory

# Type another folder into the entry, as a user would; Return there goes
# on as Next does.
target="$WORK/home/My Templates/ledger"
replace_entry "$target"
# Escape in the entry asks too; the alert's Escape (No) keeps what was typed.
key Escape
wait_until 10 has_alert
shows_containing "$(text IDS_ACCEPT_CANCEL)" || fail "Escape in the entry did not ask"
answer_alert Escape
wait_until 10 no_alert
[ "$(text_of NSTextField 1)" = "$target" ] || fail "the typed path changed: $(text_of NSTextField 1)"
focus "$WIN"
key Return

# The launcher file is written only after the poll loop has seen the end of
# the copy.
wait_file 20 "$(launcher_file)"
wait_until 10 shows "$(text IDS_SUCCESS_FINISH)"
shows "$(text IDS_WIZARD_FINISH)" || fail "Finish button"
[ "$(control_field NSButton "$(text IDS_SUCCESS_OPENDESCR)" 10)" = 1 ] ||
    fail "open-description box not ticked"
expect_frame NSButton "$(text IDS_SUCCESS_OPENDESCR)" "170 170 318 20"
screenshot "$WIN" 4-success

same_tree "$WORK/tree" "$target"
launcher_lists_first "$target"

# Untick the box so that Finish opens nothing, then finish.
click "$(text IDS_SUCCESS_OPENDESCR)"
wait_until 5 eval '[ "$(control_field NSButton "$(text IDS_SUCCESS_OPENDESCR)" 10)" = 0 ]'
click "$(text IDS_WIZARD_FINISH)"
wait_exit_ok 10
no_leftovers
note "passed"
