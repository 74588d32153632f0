#!/usr/bin/env bash
# The console program never hangs and never ends half-way, whatever happens
# around it: a reader of stdout that goes away (| head), stdout closed from
# the start, a status reader that never reads, SIGKILL in the middle of the
# launcher file's write, SIGTERM at the summary question; and hostile names:
# line breaks in a directory name, terminal escapes in kit names, a name
# longer than the file system allows, an unusable temporary directory.
# One case a row; each starts from an empty home, TMPDIR and kit folder.
source "$(dirname "$0")/lib.sh"
console_init never_hang

CASES=(
    head_closes_stdout
    stdout_closed
    status_reader_never_reads
    killed_in_launcher_write
    signal_at_summary_question
    line_break_in_directory
    escapes_in_kit_names
    impossible_directory
    unusable_temp_directory
)

fresh() {
    rm -rf "$WORK/home" "$WORK/tmp" "$WORK/kit" "$WORK/tree" "$WORK"/target*
    mkdir -p "$WORK/home" "$WORK/tmp" "$WORK/kit"
}

# in_kit_folder COMMAND...: COMMAND in the kit folder with the sandbox's
# environment (for runs that need their own redirections).
in_kit_folder() {
    (cd "$WORK/kit" && exec env -u LANGUAGE -u LC_ALL LANG="${SETUP_LANG:-en_US.UTF-8}" \
        HOME="$WORK/home" TMPDIR="$WORK/tmp" "$@")
}

files_in() {
    find "$1" -type f | wc -l
}

# The reader leaves after three lines; the copy goes on to its end.
head_closes_stdout() {
    make_large_kit 3000 256
    local target="$WORK/target"
    { in_kit_folder "$SETUP_BIN" usecwd --console -S --dir "$target" 2>"$WORK/err" &&
          echo 0 >"$WORK/status" || echo $? >"$WORK/status"; } | head -n 3 >"$WORK/out"
    SETUP_STATUS=$(cat "$WORK/status")
    expect_status 0 "with stdout read by head -3"
    [ "$(files_in "$target")" = 3000 ] || fail "not all files installed after head left"
    launcher_lists_first "$target"
    no_leftovers
}

# No stdout at all: nothing meant for it lands in an installed file.
stdout_closed() {
    make_ledger_kit
    local target="$WORK/target"
    SETUP_STATUS=0
    in_kit_folder "$SETUP_BIN" usecwd --console -S --dir "$target" >&- 2>"$WORK/err" ||
        SETUP_STATUS=$?
    expect_status 0 "with stdout closed"
    same_tree "$WORK/tree" "$target"
    launcher_lists_first "$target"
}

# A status reader that stays but never reads, on a small pipe: the run ends
# all the same, and what it did write is whole JSON lines.
status_reader_never_reads() {
    make_large_kit 10000 64
    local target="$WORK/target"
    mkfifo "$WORK/fifo"
    "$PYTHON" - "$WORK/fifo" "$WORK/reader.ready" "$WORK/reader.go" >"$WORK/events" <<'PY' &
import fcntl, os, sys, time
fifo, ready, go = sys.argv[1:4]
fd = os.open(fifo, os.O_RDONLY | os.O_NONBLOCK)
fcntl.fcntl(fd, 1031, 4096)  # F_SETPIPE_SZ: a few dozen lines fill it
open(ready, "w").close()
while not os.path.exists(go):
    time.sleep(0.05)
data = b""
while True:
    try:
        chunk = os.read(fd, 65536)
    except BlockingIOError:
        break
    if not chunk:
        break
    data += chunk
sys.stdout.buffer.write(data)
PY
    local reader=$!
    track_pid "$reader"
    wait_file 10 "$WORK/reader.ready"
    start_setup_bg --console -S --dir "$target" --status-fd 3 3>"$WORK/fifo" </dev/null
    wait_exit 60
    expect_status 0 "with a status reader that never reads"
    [ "$(files_in "$target")" = 10000 ] || fail "not all files installed"
    launcher_lists_first "$target"
    touch "$WORK/reader.go"
    wait "$reader" || fail "the reader failed"
    "$PYTHON" - "$WORK/events" <<'PY' || fail "events not whole lines: $(head -c 600 "$WORK/events")"
import json, sys
text = open(sys.argv[1], encoding="utf-8").read()
assert text.endswith("\n"), "a line cut short"
events = [json.loads(line) for line in text.splitlines()]
assert events[0]["event"] == "start", events[0]
assert len(events) > 5, len(events)
PY
    rm -f "$WORK/fifo" "$WORK/reader.ready" "$WORK/reader.go"
}

# SIGKILL at the rename that ends the launcher file's write leaves the new
# file behind; the next write removes it (only a dead writer's, only the
# program's own pattern) and lists its directory.
killed_in_launcher_write() {
    if ! strace -f -qq -o /dev/null true 2>/dev/null; then
        note "strace cannot trace here: case skipped"
        return 0
    fi
    make_ledger_kit
    run_setup --console -S --dir "$WORK/target1" </dev/null
    expect_status 0 "of the first run"
    local file
    file=$(launcher_file)
    SETUP_STATUS=0
    # Into a new directory the launcher's write is the run's one rename(2).
    in_kit_folder strace -f -qq -o /dev/null -e trace=rename -e inject=rename:signal=SIGKILL \
        "$SETUP_BIN" usecwd --console -S --dir "$WORK/target2" </dev/null >"$WORK/out" \
        2>"$WORK/err" || SETUP_STATUS=$?
    [ "$SETUP_STATUS" = 137 ] || fail "status $SETUP_STATUS, not killed at the launcher write"
    local left
    left=$(find "$(dirname "$file")" -name 'kvlaunch.cfg.new-*' | head -n 1)
    [ -n "$left" ] || fail "the killed write left no new file: the kill came elsewhere"
    launcher_lists_first "$WORK/target1"
    # A running writer's file and a file of another pattern stay.
    local live="$file.new-$$-1" other="$file.new-x-1"
    echo "ConfigurationTemplatesLocation=/live" >"$live"
    echo "not ours" >"$other"
    run_setup --console -S --dir "$WORK/target3" </dev/null
    expect_status 0 "of the run after the killed write"
    launcher_lists_first "$WORK/target3"
    [ ! -e "$left" ] || fail "the killed write's file $left is still there"
    [ -e "$live" ] && [ -e "$other" ] || fail "a file that is not a dead writer's was removed"
    rm -f "$live" "$other"
}

# SIGTERM while the summary question waits for its answer: quit, nothing
# changed.
signal_at_summary_question() {
    make_ledger_kit
    local target="$WORK/target"
    mkdir -p "$target/trade"
    echo "old prices" >"$target/trade/prices.csv"
    touch -d '2020-01-01 00:00:00 UTC' "$target/trade/prices.csv"
    local before
    before=$(snapshot "$target")
    mkfifo "$WORK/answers"
    # Held open read-write first: opening it for reading then does not wait.
    exec 7<>"$WORK/answers"
    (cd "$WORK/kit" && exec env -u LANGUAGE -u LC_ALL LANG=en_US.UTF-8 HOME="$WORK/home" \
        TMPDIR="$WORK/tmp" "$SETUP_BIN" usecwd --console) <"$WORK/answers" >"$WORK/out" \
        2>"$WORK/err" &
    SETUP_PID=$!
    printf '%s\n' "$target" >&7
    local end=$((SECONDS + $(scaled 10)))
    until grep -qF "[y/n]" "$WORK/out" 2>/dev/null; do
        kill -0 "$SETUP_PID" 2>/dev/null || fail "setup ended before the summary question"
        [ "$SECONDS" -lt "$end" ] || fail "no summary question: $(cat "$WORK/out")"
        sleep 0.05
    done
    kill -TERM "$SETUP_PID"
    wait_exit 10
    exec 7>&-
    rm -f "$WORK/answers"
    expect_status 3 "after SIGTERM at the summary question"
    [ "$(snapshot "$target")" = "$before" ] || fail "the directory changed"
    [ ! -e "$(launcher_file)" ] || fail "the launcher file was written"
    no_leftovers
}

# A line feed, a carriage return or a NUL cannot be in a launcher line:
# refused at the directory check, given or typed.
line_break_in_directory() {
    make_ledger_kit
    local refusal
    refusal=$(text IDS_ERROR_LINEBREAK)
    run_setup --console -S --dir "$WORK/target"$'\nInjected=1' </dev/null
    expect_status 2 "with a line feed in --dir"
    err_has "$refusal"
    run_setup --console -S --dir "$WORK/target"$'\r' </dev/null
    expect_status 2 "with a carriage return in --dir"
    err_has "$refusal"
    run_setup --console < <(printf '%s\rx\n' "$WORK/target")
    expect_status 3 "after a typed carriage return and the end of input"
    err_has "$refusal"
    run_setup --console < <(printf '%s\0x\n' "$WORK/target")
    expect_status 3 "after a typed NUL and the end of input"
    err_has "$refusal"
    nothing_installed
    [ -z "$(find "$WORK" -maxdepth 1 -name 'target*' | head -n 1)" ] || fail "a directory was made"
}

# Escape sequences and line breaks in kit names are shown escaped, never
# sent to the terminal as they are.
escapes_in_kit_names() {
    make_tree "$WORK/tree"
    printf 'red\n' >"$WORK/tree/trade/"$'evil\e[31mred'
    touch -d '2024-03-01 12:00:00 UTC' "$WORK/tree/trade/"$'evil\e[31mred'
    make_kit "$WORK/tree" --product $'en|Evil\e]0;owned\aTemplates|Example Ltd|docs/readme.html'
    local target="$WORK/target"
    run_setup --console --dry-run --dir "$target" </dev/null
    expect_status 0 "of the dry run"
    out_has 'evil\x1B[31mred'
    run_setup --console --dir "$target" < <(printf '\n')
    expect_status 0 "of the install"
    out_has 'Evil\x1B]0;owned\x07Templates'
    if grep -q $'[\e\a]' "$WORK/out" "$WORK/err"; then
        fail "a control character reached the terminal: $(grep -a $'[\e\a]' "$WORK/out" | cat -v)"
    fi
    [ -f "$target/trade/"$'evil\e[31mred' ] || fail "the file itself was not installed"
}

# A name no file system here can hold is a start-up failure, status 2.
impossible_directory() {
    make_ledger_kit
    run_setup --console -S --dir "$WORK/target/$(printf 'n%.0s' $(seq 300))" </dev/null
    expect_status 2 "with a 300-character name"
    err_has "$(text IDS_ERROR_NOTWRITABLE)"
    nothing_installed
}

# A temporary directory where no file can be made is named as what it is,
# not as a lack of space.
unusable_temp_directory() {
    make_ledger_kit
    local reason
    if [ "$(id -u)" = 0 ]; then
        mount -t tmpfs -o ro,size=1m tmpfs "$WORK/tmp" 2>/dev/null || {
            note "no read-only tmpfs can be mounted here: case skipped"
            return 0
        }
        reason="Read-only file system"
    else
        chmod 555 "$WORK/tmp"
        reason="Permission denied"
    fi
    run_setup --console -S --dir "$WORK/target" </dev/null
    if [ "$(id -u)" = 0 ]; then umount "$WORK/tmp"; else chmod 755 "$WORK/tmp"; fi
    expect_status 2 "with an unusable TMPDIR"
    err_has "$(text IDS_ERROR_TEMPUNUSABLE)"
    err_has "$reason"
    ! grep -qF "$(text IDS_ERROR_NOSPACE)" "$WORK/err" || fail "space was blamed: $(cat "$WORK/err")"
    [ ! -e "$WORK/target" ] || fail "the template directory was made"
}

# E2E_CASES may name a few rows to run alone.
read -r -a CASES <<<"${E2E_CASES:-${CASES[*]}}"
for case in "${CASES[@]}"; do
    fresh
    E2E_NAME="never_hang/$case"
    "$case"
    note "passed"
done
