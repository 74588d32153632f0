#!/usr/bin/env bash
# A copy run killed with SIGKILL (no chance to roll back) at several points:
# when its staging folder appears, at half the files, and after the last
# file. The temporary directory is emptied before the next start, as a
# restart would. The next start undoes the run before anything else and says
# so in one box; the template directory is then exactly as before (or fully
# installed when the run had finished), and nothing is left: no staging
# folder, no run record, no kit image.
source "$(dirname "$0")/lib.sh"
e2e_init killed_copy

COUNT=4000
make_large_kit "$COUNT" 256
target=$(default_dir)

prepare_target() {
    rm -rf "$target"
    mkdir -p "$target/set0"
    echo "old copy" >"$target/set0/file00000000"
    touch -d '2020-01-01 00:00:00 UTC' "$target/set0/file00000000"
    echo "the user's own file" >"$target/notes.txt"
}

installed_count() {
    find "$target" -type f -name 'file*' | wc -l
}

# The next start, without -S: the notice first, then the wizard, which is
# left with Escape and Yes.
restart_and_expect_notice() {
    start_setup
    wait_until 20 has_message_box
    shows_containing "$1" || fail "the notice is not about the interrupted run"
    click "$(text IDS_MSGBOX_OK)"
    wait_until 10 no_message_box
    await_wizard "$LARGE_WELCOME"
    stop_pid "$SETUP_PID"
    SETUP_PID=""
}

# kill_when WHAT CONDITION...: starts an auto-start run, kills it with
# SIGKILL once CONDITION holds, checks the next start.
kill_when() {
    local what=$1
    shift
    prepare_target
    local before
    before=$(snapshot "$target")
    start_setup -S
    local end=$((SECONDS + 60))
    until "$@"; do
        kill -0 "$SETUP_PID" 2>/dev/null || fail "the run ended before: $what"
        [ "$SECONDS" -lt "$end" ] || fail "timed out waiting for: $what"
        sleep 0.02
    done
    kill -KILL "$SETUP_PID"
    wait "$SETUP_PID" 2>/dev/null || true
    SETUP_PID=""
    ls "$(state_place)" | grep -q '^kvtmp[0-9]*\.journal$' || fail "no run record after the kill ($what)"
    rm -rf "${WORK:?}/tmp/"*
    restart_and_expect_notice "$(dirname "$target/x")"
    [ "$(snapshot "$target")" = "$before" ] || fail "the directory is not as before ($what)"
    no_leftovers
    note "killed $what: undone"
}

staging_appeared() { [ -d "$(state_place)/kvtmp0" ]; }
half_copied() { [ "$(installed_count)" -ge $((COUNT / 2)) ]; }

kill_when "when the staging folder appeared" staging_appeared
kill_when "at half the files" half_copied

# Killed once every file is in place and the record is gone (the finish
# pause): the next start finds nothing to undo and asks nothing.
all_done() {
    [ "$(installed_count)" = "$COUNT" ] && ! ls "$(state_place)" | grep -q 'journal$'
}
prepare_target
start_setup -S
end=$((SECONDS + 120))
until all_done; do
    [ "$SECONDS" -lt "$end" ] || fail "timed out waiting for the end of the full run"
    sleep 0.02
done
kill -KILL "$SETUP_PID" 2>/dev/null
wait "$SETUP_PID" 2>/dev/null || true
SETUP_PID=""
start_setup
await_wizard "$LARGE_WELCOME"
has_message_box && fail "a notice after a finished run"
stop_pid "$SETUP_PID"
SETUP_PID=""
[ "$(installed_count)" = "$COUNT" ] || fail "the finished run's files are not all there"
no_leftovers
note "passed"
