# Steps the end-to-end tests of both front ends share: the sandbox of a test
# (HOME, TMPDIR and kit folder below $WORK), a private Xvfb on a free display,
# test kits built with mkkit, waiting for files, windows and the program's
# end, reading the screen report, and checks of what landed on disk.
#
# Sourced by tests/gtk/e2e/lib.sh and tests/cocoa/e2e/lib.sh, which set
# E2E_PROGRAM (the name used in messages) and define what differs between
# the toolkits:
#   start_setup ARGS...   starts the program in the kit folder with "usecwd"
#   refresh_report        makes $DUMP current (fails if the program is gone)
#   main_window           the wizard window's id in the report, if shown
#   wizard_shown WINDOW   whatever a test needs before acting on the window
#   shows, click          reading and acting on the report
# E2E_LOG_NOISE may hold a pattern of program output lines that fail() skips.
set -euo pipefail

: "${MKKIT_BIN:?}" "${CATALOGUE_TEXT_BIN:?}"

E2E_PROGRAM=${E2E_PROGRAM:-setup}
E2E_LOG_NOISE=${E2E_LOG_NOISE:-}
E2E_NAME=""
WORK=""
SHOTS=""
DUMP=""
XVFB_PID=""
SETUP_PID=""
SETUP_STATUS=""
WIN=""
# Helper processes (X server, daemons) in start order; stopped in reverse.
E2E_HELPER_PIDS=()
# Every limit of a wait is a safety net for a machine under full load, not
# a speed test: the waits end on their condition, and the limits the tests
# name are multiplied by this.
E2E_WAIT_SCALE=${E2E_WAIT_SCALE:-5}

# scaled SECONDS: a wait's limit on this machine.
scaled() {
    echo $(($1 * E2E_WAIT_SCALE))
}

# The product record of the small demo kit and its welcome-page line.
LEDGER_PRODUCT="en|Ledger Templates|Example Ltd|docs/readme.html"
LEDGER_WELCOME="Ledger Templates (Example Ltd)"

fail() {
    echo "FAIL [$E2E_NAME]: $*" >&2
    if [ -n "$DUMP" ] && [ -f "$DUMP" ]; then
        echo "--- last screen report:" >&2
        cat "$DUMP" >&2
    fi
    if [ -n "$WORK" ] && [ -f "$WORK/setup.log" ]; then
        echo "--- program output:" >&2
        if [ -n "$E2E_LOG_NOISE" ]; then
            grep -v -e "$E2E_LOG_NOISE" "$WORK/setup.log" >&2 || true
        else
            cat "$WORK/setup.log" >&2
        fi
    fi
    exit 1
}

note() {
    echo "[$E2E_NAME] $*"
}

# stop_pid PID: ends one process that this test started, by its id; asks
# first, and forces it after a second.
stop_pid() {
    local pid=$1 i
    [ -n "$pid" ] || return 0
    kill "$pid" 2>/dev/null || return 0
    for i in $(seq 20); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# track_pid PID: a helper process that the cleanup stops.
track_pid() {
    E2E_HELPER_PIDS+=("$1")
}

e2e_cleanup() {
    local i
    stop_pid "$SETUP_PID"
    for ((i = ${#E2E_HELPER_PIDS[@]} - 1; i >= 0; i--)); do
        stop_pid "${E2E_HELPER_PIDS[i]}"
    done
    if [ -n "$WORK" ] && [ -z "${E2E_KEEP:-}" ]; then
        chmod -R u+rwx "$WORK" 2>/dev/null || true
        rm -rf "$WORK"
    fi
}

# e2e_sandbox NAME PREFIX: $WORK with home/, tmp/ and kit/, a fresh
# screenshot folder $SHOTS, and a private X server as $DISPLAY. E2E_KEEP=1
# keeps $WORK for a look after the test.
e2e_sandbox() {
    E2E_NAME=$1
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/$2-$E2E_NAME.XXXXXX")
    trap e2e_cleanup EXIT
    # A timeout's TERM still stops what the test started.
    trap 'exit 1' TERM INT
    mkdir -p "$WORK/home" "$WORK/tmp" "$WORK/kit"
    SHOTS="$E2E_SCREENSHOTS/$E2E_NAME"
    rm -rf "$SHOTS"
    mkdir -p "$SHOTS"
    DUMP="$WORK/screen"
    start_xvfb
}

# start_xvfb: Xvfb picks a free display itself and reports it once it
# accepts clients, so parallel tests never race for a display number.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" \
        >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    track_pid "$XVFB_PID"
    local end=$((SECONDS + $(scaled 10)))
    while [ "$SECONDS" -lt "$end" ]; do
        [ -s "$WORK/display" ] && break
        kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
        sleep 0.05
    done
    [ -s "$WORK/display" ] || fail "Xvfb reported no display"
    export DISPLAY=":$(head -n1 "$WORK/display")"
}

# --- Kits ------------------------------------------------------------------

# make_tree DIR: a small template tree with nested directories and a
# description document, file times in the past.
make_tree() {
    local dir=$1
    mkdir -p "$dir/docs" "$dir/accounting/reports" "$dir/trade"
    printf '<html><body>Demo templates</body></html>\n' >"$dir/docs/readme.html"
    printf 'name=General Ledger\nkind=accounting\n' >"$dir/accounting/template.cfg"
    printf 'title=Balance sheet\n' >"$dir/accounting/reports/balance.rpt"
    printf 'name=Retail Trade\nkind=trade\n' >"$dir/trade/template.cfg"
    printf 'article;price\nA-100;2.40\n' >"$dir/trade/prices.csv"
    find "$dir" -type f -exec touch -d '2024-03-01 12:00:00 UTC' {} +
}

# make_kit TREE [--product RECORD]...: the kit kelda.efd in $WORK/kit.
make_kit() {
    local tree=$1
    shift
    "$MKKIT_BIN" create --quiet -o "$WORK/kit/kelda.efd" -C "$tree" "$@" >/dev/null ||
        fail "mkkit could not build the kit"
}

# make_ledger_kit [--product RECORD]...: the demo tree in $WORK/tree as the
# kit, with the English ledger product record and any further records.
make_ledger_kit() {
    make_tree "$WORK/tree"
    make_kit "$WORK/tree" --product "$LEDGER_PRODUCT" "$@"
}

# --- Waiting ---------------------------------------------------------------

# wait_until SECONDS COMMAND...: re-reads the screen report until COMMAND
# succeeds on it. COMMAND runs on each fresh report, so a check with $(...)
# in it must be a function or an eval'd string.
wait_until() {
    local limit=$1
    shift
    local end=$((SECONDS + $(scaled "$limit")))
    while :; do
        if refresh_report && "$@"; then
            return 0
        fi
        kill -0 "$SETUP_PID" 2>/dev/null || fail "$E2E_PROGRAM ended while waiting for: $*"
        [ "$SECONDS" -lt "$end" ] || fail "timed out waiting for: $*"
        sleep 0.1
    done
}

# wait_file SECONDS PATH: waits for a file to appear, without asking the
# program anything.
wait_file() {
    local end=$((SECONDS + $(scaled "$1")))
    while [ "$SECONDS" -lt "$end" ]; do
        [ -e "$2" ] && return 0
        sleep 0.1
    done
    [ -e "$2" ] || fail "timed out waiting for $2"
}

# wait_exit SECONDS: waits for the program to end; sets SETUP_STATUS.
wait_exit() {
    local end=$((SECONDS + $(scaled "$1")))
    while [ "$SECONDS" -le "$end" ]; do
        if ! kill -0 "$SETUP_PID" 2>/dev/null; then
            SETUP_STATUS=0
            wait "$SETUP_PID" || SETUP_STATUS=$?
            SETUP_PID=""
            return 0
        fi
        sleep 0.1
    done
    fail "$E2E_PROGRAM did not end within $(scaled "$1") s"
}

# wait_exit_ok SECONDS [WHAT]: wait_exit, and the program ended with 0.
wait_exit_ok() {
    wait_exit "$1"
    [ "$SETUP_STATUS" = 0 ] || fail "exit status $SETUP_STATUS${2:+ $2}"
}

# await_wizard WELCOME: waits for the welcome page showing WELCOME; the
# wizard window is $WIN.
await_wizard() {
    wait_until 10 shows_containing "$1"
    WIN=$(main_window)
    [ -n "$WIN" ] || fail "no wizard window"
    wizard_shown "$WIN"
}

# start_wizard WELCOME [ARGS...]: start_setup with ARGS, then await_wizard.
start_wizard() {
    local welcome=$1
    shift
    start_setup "$@"
    await_wizard "$welcome"
}

# to_directory_page [LANGUAGE]: Next on the welcome page, then waits for the
# directory page.
to_directory_page() {
    click "$(text IDS_WIZARD_NEXT "${1:-en}")"
    wait_until 10 shows "$(text IDS_TEMPLATE_CATALOG "${1:-en}")"
}

# --- Reading the screen report ---------------------------------------------
# Control lines of both reporters: 1 "C", 2 window, 3 class, 4 shown,
# 5 enabled, 6 x, 7 y, 8 width, 9 height, 10 value, 11 text.

# shows TEXT: a shown control displays exactly TEXT.
shows() {
    awk -F'\t' -v t="$1" '$1=="C" && $4==1 && $11==t {found=1} END {exit !found}' "$DUMP"
}

# shows_containing TEXT: a shown control's text contains TEXT.
shows_containing() {
    awk -F'\t' -v t="$1" '$1=="C" && $4==1 && index($11, t) {found=1} END {exit !found}' "$DUMP"
}

# value_of CLASS: value field of the first shown control of CLASS.
value_of() {
    awk -F'\t' -v c="$1" '$1=="C" && $3==c && $4==1 {print $10; exit}' "$DUMP"
}

# text_of CLASS [VALUE]: text of the first shown control of CLASS (with that
# value field, if given).
text_of() {
    awk -F'\t' -v c="$1" -v v="${2:-}" \
        '$1=="C" && $3==c && $4==1 && (v=="" || $10==v) {print $11; exit}' "$DUMP"
}

# text KEY [LANGUAGE]: the program's catalogue text of KEY.
text() {
    "$CATALOGUE_TEXT_BIN" "${2:-en}" "$1" || fail "no catalogue text for $1"
}

# --- Checks on disk --------------------------------------------------------

# The template directory proposed when no launcher file lists one.
default_dir() {
    echo "$WORK/home/.kelda/KV/kelda/tmplts"
}

launcher_file() {
    echo "$WORK/home/.KV/kvlaunch/kvlaunch.cfg"
}

# launcher_lists_first DIR: the launcher file exists and names DIR as its
# first template location.
launcher_lists_first() {
    local file first
    file=$(launcher_file)
    [ -f "$file" ] || fail "no launcher file $file"
    first=$(grep -m1 '^ConfigurationTemplatesLocation=' "$file" | cut -d= -f2-) || true
    [ "$first" = "$1" ] || fail "launcher file lists \"$first\" first, not \"$1\""
}

# same_tree FROM TO: every file of FROM is in TO with equal bytes and
# modification time (whole seconds, as the kit keeps them). TO may hold more.
# A few processes for the whole tree, not several per file.
same_tree() {
    local from=$1 to=$2 missing
    [ -d "$to" ] || fail "no installed folder $to"
    missing=$(comm -23 <(cd "$from" && find . -type f -printf '%P %Ts\n' | sort) \
        <(cd "$to" && find . -type f -printf '%P %Ts\n' | sort) | head -n 3)
    [ -z "$missing" ] || fail "missing, or another modification time, in $to: $missing"
    missing=$(comm -23 <(cd "$from" && find . -type f -print0 | xargs -0 md5sum | sort) \
        <(cd "$to" && find . -type f -print0 | xargs -0 md5sum | sort) | head -n 3)
    [ -z "$missing" ] || fail "installed files differ from the kit: $missing"
}

# snapshot DIR: every directory, and every other entry with its type, size,
# time and checksum (directory times change with any rollback, so not those).
snapshot() {
    (cd "$1" && find . -type d -printf 'd %p\n' | sort &&
        find . ! -type d -printf '%y %s %T@ %p\n' | sort &&
        find . -type f -exec md5sum {} + | sort)
}

# no_leftovers: the program left nothing in its TMPDIR (no kit image, no
# staging folder).
no_leftovers() {
    local left
    left=$(find "$WORK/tmp" -mindepth 1 -maxdepth 1 | head -n 5)
    [ -z "$left" ] || fail "left in TMPDIR: $left"
}
