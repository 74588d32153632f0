#!/usr/bin/env bash
# Cancel during the copy of a large kit (after the summary's question, since
# one file would be replaced): Escape, then the Cancel button, ask
# while the worker goes on; No changes nothing, Yes stops the run after the
# current file, the window stays until the rollback is complete, and the
# cancel page follows. The template directory (with an older file the run
# replaces, a newer one it keeps and a file of its own) is then exactly as
# before, and no launcher file exists.
source "$(dirname "$0")/lib.sh"
e2e_init cancel_copy

# Many small files: the run takes far longer than pressing Cancel and Yes,
# however busy the machine, and is never waited for to its end.
make_large_kit 20000 256

target=$(default_dir)
mkdir -p "$target/set0"
echo "old copy" >"$target/set0/file00000000"
touch -d '2020-01-01 00:00:00 UTC' "$target/set0/file00000000"
echo "newer copy" >"$target/set0/file00000001"
touch -d '2030-01-01 00:00:00 UTC' "$target/set0/file00000001"
echo "the user's own file" >"$target/notes.txt"
before=$(snapshot "$target")

start_wizard "$LARGE_WELCOME"
click "$(text IDS_WIZARD_NEXT)"
wait_until 10 entry_is "$target/"
click "$(text IDS_WIZARD_NEXT)"

# One older file would be replaced: the summary asks first, with the counts.
wait_until 10 has_message_box
shows_containing "$(text IDS_SETUP_EXISTEDTARGET)" || fail "no question before replacing files"
shows_containing "Files to be replaced: 1." || fail "the summary's counts"
click "$(text IDS_MSGBOX_YES)"
wait_until 10 no_message_box

wait_until 10 shows "$(text IDS_PROGRESS_START)"
[ "$(control_field GtkButton "$(text IDS_WIZARD_NEXT)" 5)" = 0 ] || fail "Next enabled while copying"
[ "$(control_field GtkButton "$(text IDS_WIZARD_BACK)" 5)" = 0 ] || fail "Back enabled while copying"
# Escape asks too; No lets the copy go on.
key "$WIN" Escape
wait_until 10 has_message_box
shows "$(text IDS_ACCEPT_CANCEL)" || fail "Escape while copying asked nothing"
click "$(text IDS_MSGBOX_NO)"
wait_until 10 no_message_box
shows "$(text IDS_PROGRESS_START)" || fail "the progress page went away after No"

click "$(text IDS_WIZARD_CANCEL)"
wait_until 10 has_message_box
shows "$(text IDS_ACCEPT_CANCEL)" || fail "the cancel question's text"
progress=$(value_of GtkProgressBar)
[ "${progress:-100}" -lt 100 ] ||
    fail "the copy ended before Cancel was pressed; the kit is too small for this machine"
click "$(text IDS_MSGBOX_YES)"

wait_until 60 has_final_page
shows "$(text IDS_CANCEL_FINISH)" || fail "not the cancel page (cancel asked at $progress %)"
[ -n "$(main_window)" ] || fail "the window went away"
shows "$(text IDS_WIZARD_FINISH)" || fail "no Finish button on the cancel page"
[ "$(control_field GtkButton "$(text IDS_WIZARD_CANCEL)" 5)" = 0 ] || fail "Cancel still enabled"
screenshot "$WIN" 5-canceled

[ "$(snapshot "$target")" = "$before" ] || fail "the template directory changed"
no_leftovers
[ ! -e "$(launcher_file)" ] || fail "the launcher file was written"

click "$(text IDS_WIZARD_FINISH)"
wait_exit_ok 10
[ ! -e "$WORK/opened" ] || fail "something was opened after a cancelled run"
no_leftovers
note "passed (cancelled at $progress %)"
