# Shared steps of the end-to-end tests: a private Xvfb, HOME and TMPDIR per
# test, the real `setup` started with the probe module, and helpers that wait
# for what the probe reports, click controls with xdotool and take
# screenshots. Sourced by every test_*.sh; the paths of the programs come from
# CTest's environment (see CMakeLists.txt).
set -euo pipefail

: "${SETUP_BIN:?}" "${MKKIT_BIN:?}" "${PROBE_MODULE:?}" "${X11_CLOSE_BIN:?}"
: "${CATALOGUE_TEXT_BIN:?}" "${LARGE_KIT_BIN:?}"
E2E_SCREENSHOTS=${E2E_SCREENSHOTS:-${TMPDIR:-/tmp}/setup-e2e-screenshots}

E2E_NAME=""
WORK=""
XVFB_PID=""
SETUP_PID=""
SETUP_STATUS=""
DUMP=""

fail() {
    echo "FAIL [$E2E_NAME]: $*" >&2
    if [ -n "$DUMP" ] && [ -f "$DUMP" ]; then
        echo "--- last screen report:" >&2
        cat "$DUMP" >&2
    fi
    if [ -f "$WORK/setup.log" ]; then
        echo "--- program output:" >&2
        cat "$WORK/setup.log" >&2
    fi
    exit 1
}

note() {
    echo "[$E2E_NAME] $*"
}

e2e_cleanup() {
    if [ -n "$SETUP_PID" ] && kill -0 "$SETUP_PID" 2>/dev/null; then
        kill "$SETUP_PID" 2>/dev/null || true
        sleep 0.2
        kill -9 "$SETUP_PID" 2>/dev/null || true
    fi
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    if [ -n "$WORK" ] && [ -z "${E2E_KEEP:-}" ]; then
        chmod -R u+rwx "$WORK" 2>/dev/null || true
        rm -rf "$WORK"
    fi
}

# e2e_init NAME: sandbox with home/, tmp/ and kit/, and a private X server.
e2e_init() {
    E2E_NAME=$1
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/setup-e2e-$E2E_NAME.XXXXXX")
    trap e2e_cleanup EXIT
    mkdir -p "$WORK/home" "$WORK/tmp" "$WORK/kit" "$WORK/bin"
    # A stand-in for the desktop's opener: records its arguments, one a line.
    cat >"$WORK/bin/xdg-open" <<EOS
#!/bin/sh
for a in "\$@"; do printf '%s\n' "\$a"; done >>"$WORK/opened"
EOS
    chmod +x "$WORK/bin/xdg-open"
    SHOTS="$E2E_SCREENSHOTS/$E2E_NAME"
    rm -rf "$SHOTS"
    mkdir -p "$SHOTS"
    DUMP="$WORK/screen"
    # Xvfb picks a free display itself and reports it once it accepts clients.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" \
        >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 100); do
        [ -s "$WORK/display" ] && break
        kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
        sleep 0.05
    done
    [ -s "$WORK/display" ] || fail "Xvfb reported no display"
    export DISPLAY=":$(head -n1 "$WORK/display")"
}

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

# make_large_kit COUNT SIZE: the kit kelda.efd in $WORK/kit with COUNT files
# of SIZE bytes (product "Large Templates"), so that a copy run lasts long
# enough to be interrupted; see make_large_kit.cpp for the names and bytes.
make_large_kit() {
    "$LARGE_KIT_BIN" "$WORK/kit/kelda.efd" "$1" "$2" || fail "could not build the large kit"
}

# large_kit_installed DIR COUNT SIZE: DIR holds exactly the files of such a
# kit, with their sizes, bytes and time.
large_kit_installed() {
    local dir=$1 count=$2 size=$3 n last
    [ "$(find "$dir" -type f | wc -l)" = "$count" ] || fail "not $count files in $dir"
    [ -z "$(find "$dir" -type f ! -size "${size}c" | head -n 1)" ] || fail "a file of another size"
    [ -z "$(find "$dir" -type f ! -newermt '2024-03-01 11:59:59 UTC' | head -n 1)" ] &&
        [ -z "$(find "$dir" -type f -newermt '2024-03-01 12:00:00 UTC' | head -n 1)" ] ||
        fail "a file with another modification time"
    last=$((count - 1))
    for n in 0 "$last"; do
        [ "$(head -c 8 "$dir/set$((n / 100))/file$(printf '%08d' "$n")")" = "$(printf '%08d' "$n")" ] ||
            fail "file $n has other bytes"
    done
}

# make_kit TREE [--product SPEC]...: the kit kelda.efd in $WORK/kit.
make_kit() {
    local tree=$1
    shift
    "$MKKIT_BIN" create -o "$WORK/kit/kelda.efd" -C "$tree" "$@" >/dev/null ||
        fail "mkkit could not build the kit"
}

# start_setup ARGS...: the program in the kit folder with "usecwd" and ARGS,
# its own HOME and TMPDIR, the probe module loaded.
start_setup() {
    rm -f "$DUMP.ready"
    pushd "$WORK/kit" >/dev/null
    env -u LANGUAGE -u LC_ALL LANG="${SETUP_LANG:-en_US.UTF-8}" \
        HOME="$WORK/home" TMPDIR="$WORK/tmp" PATH="$WORK/bin:$PATH" \
        GTK_MODULES="$PROBE_MODULE" SETUP_PROBE_OUT="$DUMP" \
        "$SETUP_BIN" usecwd "$@" >"$WORK/setup.log" 2>&1 &
    SETUP_PID=$!
    popd >/dev/null
    local i
    for i in $(seq 200); do
        [ -e "$DUMP.ready" ] && return 0
        kill -0 "$SETUP_PID" 2>/dev/null || fail "setup ended before GTK started"
        sleep 0.05
    done
    fail "the probe module did not load"
}

# probe: asks the program for a fresh screen report in $DUMP.
probe() {
    rm -f "$DUMP"
    kill -USR1 "$SETUP_PID" 2>/dev/null || fail "setup is not running"
    local i
    for i in $(seq 100); do
        [ -s "$DUMP" ] && return 0
        sleep 0.02
    done
    fail "no screen report from setup"
}

# wait_until SECONDS COMMAND...: probes until COMMAND succeeds on the report.
wait_until() {
    local limit=$1
    shift
    local end=$((SECONDS + limit))
    while :; do
        probe
        if "$@"; then
            return 0
        fi
        [ "$SECONDS" -lt "$end" ] || fail "timed out waiting for: $*"
        sleep 0.1
    done
}

# wait_file SECONDS PATH: waits for a file to appear, without probing.
wait_file() {
    local end=$(($1 * 10)) i
    for i in $(seq "$end"); do
        [ -e "$2" ] && return 0
        sleep 0.1
    done
    fail "timed out waiting for $2"
}

# wait_exit SECONDS: waits for the program to end; sets SETUP_STATUS.
wait_exit() {
    local end=$(($1 * 10)) i
    for i in $(seq "$end"); do
        if ! kill -0 "$SETUP_PID" 2>/dev/null; then
            SETUP_STATUS=0
            wait "$SETUP_PID" || SETUP_STATUS=$?
            SETUP_PID=""
            return 0
        fi
        sleep 0.1
    done
    fail "setup did not end within $1 s"
}

# --- Reading the screen report --------------------------------------------
# Fields of control lines: 2 xid, 3 type, 4 mapped, 5 sensitive, 6 x, 7 y,
# 8 width, 9 height, 10 value, 11 text.

# The wizard window (500 x 360, shown).
main_window() {
    awk -F'\t' '$1=="W" && $4==1 && $5==500 && $6==360 {print $2; exit}' "$DUMP"
}

# The shown message box, if any.
message_box() {
    awk -F'\t' '$1=="W" && $3=="GtkMessageDialog" && $4==1 {print $2; exit}' "$DUMP"
}

window_title() {
    awk -F'\t' -v x="$1" '$1=="W" && $2==x {print $7; exit}' "$DUMP"
}

# shows TEXT: a shown control displays exactly TEXT.
shows() {
    awk -F'\t' -v t="$1" '$1=="C" && $4==1 && $11==t {found=1} END {exit !found}' "$DUMP"
}

# shows_containing TEXT: a shown control's text contains TEXT.
shows_containing() {
    awk -F'\t' -v t="$1" '$1=="C" && $4==1 && index($11, t) {found=1} END {exit !found}' "$DUMP"
}

# control_field TYPE TEXT FIELD: a field of the first control of TYPE whose
# text is TEXT (shown or not).
control_field() {
    awk -F'\t' -v ty="$1" -v t="$2" -v f="$3" \
        '$1=="C" && $3==ty && $11==t {print $f; exit}' "$DUMP"
}

# value_of TYPE: value field of the first shown control of TYPE.
value_of() {
    awk -F'\t' -v ty="$1" '$1=="C" && $3==ty && $4==1 {print $10; exit}' "$DUMP"
}

# text_of TYPE: text of the first shown control of TYPE.
text_of() {
    awk -F'\t' -v ty="$1" '$1=="C" && $3==ty && $4==1 {print $11; exit}' "$DUMP"
}

# entry_is TEXT / value_is TYPE VALUE: checks on a fresh report, for wait_until
# (a $(...) in its arguments would be read once, before the first probe).
entry_is() {
    [ "$(text_of GtkEntry)" = "$1" ]
}

value_is() {
    [ "$(value_of "$1")" = "$2" ]
}

# all_inside_window: every shown control of the wizard window lies inside
# its 500 x 360 area (long translations must wrap, not run off the edge).
all_inside_window() {
    local win
    win=$(main_window)
    awk -F'\t' -v w="$win" '$1=="C" && $2==w && $4==1 && ($6+$8>500 || $7+$9>360) {print; bad=1}
        END {exit bad}' "$DUMP"
}

# The Finish button is shown: one of the two final pages.
has_final_page() {
    shows "$(text IDS_WIZARD_FINISH)"
}

no_message_box() {
    [ -z "$(message_box)" ]
}

has_message_box() {
    [ -n "$(message_box)" ]
}

# --- Acting ----------------------------------------------------------------

# click CAPTION: clicks the shown button with that caption (a stock id such
# as gtk-yes for message boxes) in the centre.
click() {
    local line
    line=$(awk -F'\t' -v t="$1" '$1=="C" && $4==1 && $11==t && $3 ~ /Button$/ {print; exit}' \
        "$DUMP")
    [ -n "$line" ] || fail "no shown button \"$1\""
    local xid x y w h
    IFS=$'\t' read -r _ xid _ _ _ x y w h _ _ <<<"$line"
    xdotool mousemove --window "$xid" $((x + w / 2)) $((y + h / 2)) click 1
}

# click_type CONTROL-TYPE: clicks the first shown control of that type.
click_type() {
    local line
    line=$(awk -F'\t' -v ty="$1" '$1=="C" && $4==1 && $3==ty {print; exit}' "$DUMP")
    [ -n "$line" ] || fail "no shown $1"
    local xid x y w h
    IFS=$'\t' read -r _ xid _ _ _ x y w h _ _ <<<"$line"
    xdotool mousemove --window "$xid" $((x + w / 2)) $((y + h / 2)) click 1
}

# focus XID: gives a window the keyboard focus (there is no window manager),
# so that keys go through the X server like a user's (XTEST), not as
# synthetic events sent to one window.
focus() {
    xdotool windowfocus --sync "$1" 2>/dev/null || fail "could not focus window $1"
}

# key XID KEYSYM...: presses keys in a window.
key() {
    focus "$1"
    shift
    xdotool key --clearmodifiers "$@"
}

# type_into XID TEXT: types text into the focused control of a window.
type_into() {
    focus "$1"
    xdotool type --delay 5 "$2"
}

# screenshot XID NAME: saves the window as $SHOTS/NAME.png.
screenshot() {
    import -window "$1" "$SHOTS/$2.png" 2>/dev/null || note "could not save screenshot $2"
}

# text KEY [LANGUAGE]: the program's catalogue text of KEY.
text() {
    "$CATALOGUE_TEXT_BIN" "${2:-en}" "$1" || fail "no catalogue text for $1"
}

# --- Checks on disk --------------------------------------------------------

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

# The template directory proposed when no launcher file lists one.
default_dir() {
    echo "$WORK/home/.kelda/KV/kelda/tmplts"
}

# no_leftovers: the program left no kit image and no staging folder behind.
no_leftovers() {
    local left
    left=$(find "$WORK/tmp" -mindepth 1 -maxdepth 1 | head -n 5)
    [ -z "$left" ] || fail "left in TMPDIR: $left"
}

launcher_file() {
    echo "$WORK/home/.KV/kvlaunch/kvlaunch.cfg"
}
