#!/usr/bin/env bash
# Escape while copying asks whether to cancel; Yes really cancels: the run
# rolls back, the cancel page appears, and the template directory is as
# before. The window's close button while copying is the same question, and
# Yes the same cancel. (How little of a processor the user-interface thread
# takes meanwhile is measured by bench/mac_poll_cpu.sh.)
source "$(dirname "$0")/lib.sh"
e2e_init cancel_copying

# Many small files: the run takes far longer than Escape and Yes, however
# idle the machine, and is never waited for to its end.
make_large_tree "$WORK/tree" 60000
make_kit "$WORK/tree" --level 1 --product "en|Ledger Templates|Example Ltd|"

# start_copy: a fresh start, on to the copying page with the proposed
# folder, which is $target.
start_copy() {
    start_wizard "$LEDGER_WELCOME"
    to_directory_page
    target=$(text_of NSTextField 1)
    click "$(text IDS_WIZARD_NEXT)"
    wait_until 10 eval '[ -n "$(value_of NSProgressIndicator)" ]'
}

start_copy
note "copying started at $SECONDS s"
expect_frame NSProgressIndicator "" "10 150 480 20"

screenshot "$WIN" 1-copying

key Escape
wait_until 10 has_alert
shows_containing "$(text IDS_ACCEPT_CANCEL)" || fail "not the cancel question"
progress=$(value_of NSProgressIndicator)
note "asked at $progress% copied"
[ "${progress:-100}" -lt 100 ] ||
    fail "the copy ended before Escape was pressed; the kit is too small for this machine"
click "Yes"
note "cancel confirmed at $SECONDS s"
wait_until 30 shows "$(text IDS_CANCEL_FINISH)"
note "cancel page at $SECONDS s"
[ "$(value_of NSProgressIndicator)" = "" ] || fail "the progress page is still shown"
screenshot "$WIN" 2-canceled
[ -z "$(find "$target" -type f 2>/dev/null)" ] || fail "files left in the template directory"
[ ! -e "$(launcher_file)" ] || fail "the launcher file was written"

click "$(text IDS_WIZARD_FINISH)"
wait_exit_ok 10
no_leftovers

# Again, with the title bar's close button (drawn by GNUstep at the right
# end of the title bar) while copying.
start_copy
x=$(window_field "$WIN" 6) y=$(window_field "$WIN" 7) w=$(window_field "$WIN" 8)
xdotool mousemove $((x + w - 12)) $((y + 11)) sleep 0.15 mousedown 1 sleep 0.1 mouseup 1
wait_until 10 has_alert
shows_containing "$(text IDS_ACCEPT_CANCEL)" || fail "close button: not the cancel question"
[ "$(main_window)" = "$WIN" ] || fail "the window closed while copying"
click "Yes"
wait_until 30 shows "$(text IDS_CANCEL_FINISH)"
[ -z "$(find "$target" -type f 2>/dev/null)" ] || fail "close button: files left behind"
click "$(text IDS_WIZARD_FINISH)"
wait_exit_ok 10
no_leftovers
note "passed"
