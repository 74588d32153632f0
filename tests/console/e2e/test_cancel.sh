#!/usr/bin/env bash
# Cancelling with no display: end of input at the prompt, and at the cancel
# question that Ctrl-C at the prompt asks; then SIGINT during the copy of a
# large kit, and Ctrl-C on a terminal during the copy. Each ends with status
# 3 (a signal during the copy: 128 + its number) and the template directory
# byte-identical to before, with no staging folder, kit image or launcher
# file left.
source "$(dirname "$0")/lib.sh"
console_init cancel
make_ledger_kit

run_setup --console </dev/null
expect_status 3 "at end of input"
out_has "$(text IDS_CANCEL_FINISH)"
nothing_installed

# Ctrl-C at the prompt asks; "n" goes back to the prompt, end of input there
# cancels.
run_on_pty "expect:$(text IDS_TEMPLATE_CATALOG);;int;;expect:$(text IDS_ACCEPT_CANCEL) [y/n];;send:n;;expect:$(text IDS_TEMPLATE_CATALOG);;eof;;expect:$(text IDS_CANCEL_FINISH)"
expect_status 3 "after Ctrl-C at the prompt"
nothing_installed

# A large kit into a directory with an older file the run replaces, a newer
# one it keeps and a file of its own.
make_large_kit 20000 256
target="$WORK/target"
mkdir -p "$target/set0"
echo "old copy" >"$target/set0/file00000000"
touch -d '2020-01-01 00:00:00 UTC' "$target/set0/file00000000"
echo "newer copy" >"$target/set0/file00000001"
touch -d '2030-01-01 00:00:00 UTC' "$target/set0/file00000001"
echo "the user's own file" >"$target/notes.txt"
before=$(snapshot "$target")

# wait_progress FILE: waits for a progress event past 0 % in FILE.
wait_progress() {
    local i
    for i in $(seq 600); do
        grep -q '"percent":[1-9]' "$1" 2>/dev/null && return 0
        kill -0 "$SETUP_PID" 2>/dev/null || fail "setup ended before the copy was under way"
        sleep 0.05
    done
    fail "no progress event"
}

start_setup_bg --console -S --dir "$target" --status-fd 3 3>"$WORK/events" </dev/null
wait_progress "$WORK/events"
kill -INT "$SETUP_PID"
SETUP_STATUS=0
wait "$SETUP_PID" || SETUP_STATUS=$?
SETUP_PID=""
expect_status 130 "after SIGINT during the copy"
grep -q '"event":"cancelled"' "$WORK/events" || fail "no cancelled event"
out_has "$(text IDS_CANCEL_FINISH)"
[ "$(snapshot "$target")" = "$before" ] || fail "the directory changed after SIGINT"
[ ! -e "$(launcher_file)" ] || fail "the launcher file was written"
no_leftovers

# The question the wizard asks before replacing files, with the counts: "n"
# goes back to the prompt; "y" copies. Ctrl-C typed on the terminal during
# that copy.
run_on_pty "expect:$(text IDS_TEMPLATE_CATALOG);;send:$target;;expect:New files: 19998. Files to be replaced: 1. Files kept (newer or the same): 1.;;expect:[y/n];;send:n;;expect:$(text IDS_TEMPLATE_CATALOG);;send:$target;;expect:[y/n];;send:y;;expect:% ;;int;;expect:$(text IDS_CANCEL_FINISH)" --console
expect_status 130 "after Ctrl-C during the copy"
[ "$(snapshot "$target")" = "$before" ] || fail "the directory changed after Ctrl-C"
no_leftovers
note "passed"
