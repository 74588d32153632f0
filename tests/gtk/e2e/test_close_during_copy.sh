#!/usr/bin/env bash
# The window's close control while copying acts like Cancel: the question
# comes up and the window stays. No lets the copy run to its end and the
# success page appears in the same window; there the close control closes at
# once, without a question.
source "$(dirname "$0")/lib.sh"
e2e_init close_during_copy

make_large_kit 4000 4096

start_wizard "$LARGE_WELCOME"
to_directory_page
click "$(text IDS_WIZARD_NEXT)"
wait_until 10 shows "$(text IDS_PROGRESS_START)"
screenshot "$WIN" 3-copying

"$X11_CLOSE_BIN" "$WIN" || fail "could not send the close request"
wait_until 10 has_message_box
shows "$(text IDS_ACCEPT_CANCEL)" || fail "the close request asked nothing"
[ "$(main_window)" = "$WIN" ] || fail "the window went away while copying"
progress=$(value_of GtkProgressBar)
[ "${progress:-100}" -lt 100 ] ||
    fail "the copy ended before the close request; the kit is too small for this machine"
screenshot "$(message_box)" 3-close-question
click "$(text IDS_MSGBOX_NO)"

wait_until 60 shows "$(text IDS_SUCCESS_FINISH)"
[ "$(main_window)" = "$WIN" ] || fail "the success page is not in the same window"
large_kit_installed "$(default_dir)" 4000 4096
launcher_lists_first "$(default_dir)"

"$X11_CLOSE_BIN" "$WIN" || fail "could not send the close request"
wait_exit_ok 10
[ ! -e "$WORK/opened" ] || fail "the close control opened the description"
no_leftovers
note "passed (close request at $progress %)"
