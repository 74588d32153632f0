#!/usr/bin/env bash
# The wizard never hangs and never ends half-way: a signal while a question
# is open during the copy ends the question and rolls the run back; a signal
# at the summary question quits with nothing changed; the X server killed in
# the middle of the copy rolls the run back before the program ends, with
# an honest status and a word on standard error. One case a row, each with
# an empty template directory holding one older file the kit replaces.
source "$(dirname "$0")/lib.sh"
e2e_init never_hang

CASES=(
    signal_at_cancel_question
    signal_at_summary_question
    display_lost_during_copy
)

COUNT=20000
make_large_kit "$COUNT" 256
target=$(default_dir)

# prepare: the template directory with one older file; its snapshot in
# $before.
prepare() {
    rm -rf "$target" "$(launcher_file)"
    mkdir -p "$target/set0"
    echo "old copy" >"$target/set0/file00000000"
    touch -d '2020-01-01 00:00:00 UTC' "$target/set0/file00000000"
    before=$(snapshot "$target")
}

copied_some() {
    [ "$(find "$target" -type f -name 'file*' | wc -l)" -ge 200 ]
}

# rolled_back: the directory as before, no launcher file, nothing in TMPDIR
# (no staging folder, no run record, no kit image).
rolled_back() {
    [ "$(snapshot "$target")" = "$before" ] || fail "the template directory is not as before"
    [ ! -e "$(launcher_file)" ] || fail "the launcher file was written"
    no_leftovers
}

# SIGTERM while the cancel question is open (the worker waits for the
# answer): the question ends unanswered, the run is rolled back, 128 + 15.
signal_at_cancel_question() {
    start_setup -S
    wait_until 10 shows "$(text IDS_PROGRESS_START)"
    click "$(text IDS_WIZARD_CANCEL)"
    wait_until 10 has_message_box
    shows "$(text IDS_ACCEPT_CANCEL)" || fail "the cancel question's text"
    kill -TERM "$SETUP_PID"
    wait_exit 60
    [ "$SETUP_STATUS" = 143 ] || fail "exit status $SETUP_STATUS after SIGTERM at the question"
    rolled_back
}

# SIGHUP at the summary question, before anything is copied: the program
# quits and nothing changes.
signal_at_summary_question() {
    start_wizard "$LARGE_WELCOME"
    click "$(text IDS_WIZARD_NEXT)"
    wait_until 10 entry_is "$target/"
    click "$(text IDS_WIZARD_NEXT)"
    wait_until 10 has_message_box
    shows_containing "$(text IDS_SETUP_EXISTEDTARGET)" || fail "no summary question"
    kill -HUP "$SETUP_PID"
    wait_exit 10
    [ "$SETUP_STATUS" != 0 ] || fail "status 0 after SIGHUP at the summary question"
    rolled_back
}

# The X server goes away mid-copy: the worker rolls the run back before the
# program ends with 3 (cancelled, restored), saying so on standard error.
display_lost_during_copy() {
    start_setup -S
    local end=$((SECONDS + $(scaled 60)))
    until copied_some; do
        kill -0 "$SETUP_PID" 2>/dev/null || fail "the run ended before the X server was killed"
        [ "$SECONDS" -lt "$end" ] || fail "timed out waiting for the copy to be under way"
        sleep 0.02
    done
    kill -KILL "$XVFB_PID"
    wait_exit 60
    [ "$SETUP_STATUS" = 3 ] || fail "exit status $SETUP_STATUS after the display was lost"
    grep -qF "$(text IDS_ERROR_DISPLAYLOST)" "$WORK/setup.log" || fail "nothing said on stderr"
    grep -qF "$(text IDS_CANCEL_FINISH)" "$WORK/setup.log" || fail "the rollback not reported"
    rolled_back
    # The next case (if any) needs a display again.
    start_xvfb
}

# E2E_CASES may name a few rows to run alone.
read -r -a CASES <<<"${E2E_CASES:-${CASES[*]}}"
for case in "${CASES[@]}"; do
    prepare
    E2E_NAME="never_hang/$case"
    "$case"
    note "passed"
done
