#!/usr/bin/env bash
# Two copy runs at once into one template directory (two starts with -S):
# the first holds the directory for its whole run; the second is told, in a
# box, that another installation into it is running, and changes nothing.
# Afterwards every file is the user's own or the kit's, the kit is complete,
# and nothing is left in TMPDIR.
source "$(dirname "$0")/lib.sh"
e2e_init two_runs

# Many small files: the first run lasts well beyond the second one's start.
make_large_kit 20000 256

target=$(default_dir)
mkdir -p "$target/set0"
echo "old copy" >"$target/set0/file00000000"
touch -d '2020-01-01 00:00:00 UTC' "$target/set0/file00000000"
echo "the user's own file" >"$target/notes.txt"

start_setup -S
first=$SETUP_PID
first_dump=$DUMP
# The staging folder is made after the lock is taken.
wait_file 30 "$(state_place)/kvtmp0"

DUMP="$WORK/screen-second"
start_setup -S
wait_until 30 has_message_box
shows "$(text IDS_INSTALL_BUSY)" || fail "the second run's box does not say another one is running"
kill -0 "$first" 2>/dev/null ||
    fail "the first run ended before the second one started; the kit is too small for this machine"
screenshot "$(message_box)" 1-busy
click "$(text IDS_MSGBOX_OK)"
# With -S the refused run reports a failed copy that changed nothing (status 1).
wait_exit 10
[ "$SETUP_STATUS" = 1 ] || fail "exit status $SETUP_STATUS of the second run, not 1"

SETUP_PID=$first
DUMP=$first_dump
wait_exit_ok 120 "of the first run"
[ "$(cat "$target/notes.txt")" = "the user's own file" ] || fail "the user's own file changed"
[ "$(find "$target" -type f | wc -l)" = 20001 ] || fail "not the kit's 20000 files and the user's one"
[ "$(head -c 8 "$target/set0/file00000000")" = 00000000 ] || fail "the older file was not replaced"
[ -z "$(find "$target" -type f ! -name notes.txt \( ! -size 256c -o ! -newermt '2024-03-01 11:59:59 UTC' \
    -o -newermt '2024-03-01 12:00:00 UTC' \) | head -n 1)" ] ||
    fail "a file that is neither the kit's nor the user's"
no_leftovers
note "passed"
