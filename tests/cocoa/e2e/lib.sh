# Steps of the end-to-end tests of setup-mac (GNUstep): the GNUstep
# environment of a test, the program started with the screen reporter
# preloaded, and helpers that click controls with xdotool and take
# screenshots. The sandbox, Xvfb, kits, waiting and disk checks are in
# tests/support/e2e_common.sh. Sourced by every test_*.sh;
# scripts/test-mac.sh passes the paths of the programs in the environment.
set -euo pipefail

: "${SETUP_MAC_BIN:?}" "${PROBE_LIB:?}"
E2E_SCREENSHOTS=${E2E_SCREENSHOTS:-${TMPDIR:-/tmp}/setup-mac-screenshots}
E2E_PROGRAM=setup-mac
# GNUstep's complaint about a layout it cannot work out, on every start.
E2E_LOG_NOISE='Failed to determine offsets'
source "$(dirname "${BASH_SOURCE[0]}")/../../support/e2e_common.sh"

GDNC_PID=""
GPBS_PID=""

# GNUstep reads its user settings below the account's home directory (not
# $HOME) and keeps its message ports below $TMP (not $TMPDIR). A configuration
# file of the sandbox points both into $WORK, so that nothing of a test
# touches the real account and parallel runs do not meet.
gnustep_sandbox() {
    local gs=$WORK/gnustep
    mkdir -p "$gs/Defaults" "$gs/Library" "$gs/tmp"
    cat >"$gs/GNUstep.conf" <<CONF
GNUSTEP_USER_CONFIG_FILE=$gs/user.conf
GNUSTEP_USER_DEFAULTS_DIR=$gs/Defaults
GNUSTEP_USER_DIR_LIBRARY=$gs/Library
GNUSTEP_USER_DIR_APPS=$gs/Applications
GNUSTEP_USER_DIR_TOOLS=$gs/Tools
CONF
    # No window manager runs: GNUstep draws the title bars itself. The free
    # application icon window of GNUstep is not wanted either.
    cat >"$gs/Defaults/NSGlobalDomain.plist" <<'PLIST'
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
    <key>GSX11HandlesWindowDecorations</key>
    <string>NO</string>
    <key>GSSuppressAppIcon</key>
    <string>YES</string>
</dict>
</plist>
PLIST
    export GNUSTEP_CONFIG_FILE=$gs/GNUstep.conf TMP=$gs/tmp TEMP=$gs/tmp
    # The notification and pasteboard daemons that GNUstep programs contact
    # (and would otherwise start as detached daemons of their own): started
    # here so that they can be stopped by their ids.
    gdnc --no-fork >"$WORK/gdnc.log" 2>&1 &
    GDNC_PID=$!
    track_pid "$GDNC_PID"
    gpbs --no-fork >"$WORK/gpbs.log" 2>&1 &
    GPBS_PID=$!
    track_pid "$GPBS_PID"
    local i names=$gs/tmp/GNUstepSecure$(id -u)/NSMessagePort/names
    for i in $(seq 200); do
        [ "$(ls "$names" 2>/dev/null | wc -l)" -ge 2 ] && return 0
        kill -0 "$GDNC_PID" 2>/dev/null || fail "gdnc did not start: $(cat "$WORK/gdnc.log")"
        kill -0 "$GPBS_PID" 2>/dev/null || fail "gpbs did not start: $(cat "$WORK/gpbs.log")"
        sleep 0.05
    done
    fail "gdnc and gpbs did not register"
}

# e2e_init NAME: the sandbox and X server, and the GNUstep environment.
e2e_init() {
    e2e_sandbox "$1" setup-mac
    gnustep_sandbox
}

# make_large_tree DIR COUNT: COUNT files of 4 KiB, a hundred to a directory
# (COUNT a multiple of 100), enough for a copy run that lasts several
# seconds even on an idle machine: the time goes per file, not per byte.
# The files are hard links of one, which the kit stores as files of their
# own; linking is far quicker than writing that many files.
make_large_tree() {
    local dir=$1 count=$2 d
    mkdir -p "$dir/set0"
    head -c 409600 /dev/zero | split -b 4096 -a 2 -d --additional-suffix=.dat - "$dir/set0/file"
    touch -d '2024-03-01 12:00:00 UTC' "$dir/set0"/*
    for d in $(seq 1 $((count / 100 - 1))); do
        cp -al "$dir/set0" "$dir/set$d"
    done
}

# cpu_ticks PID TID: user plus system clock ticks one thread has used.
cpu_ticks() {
    awk '{print $14 + $15}' "/proc/$1/task/$2/stat"
}

# launch_program DIR PROGRAM ARGS...: PROGRAM started in DIR with ARGS, its
# own HOME and TMPDIR, the screen reporter preloaded.
launch_program() {
    local dir=$1 program=$2
    shift 2
    rm -f "$DUMP" "$DUMP.ready"
    pushd "$dir" >/dev/null
    env -u LANGUAGE -u LC_ALL -u XDG_STATE_HOME LANG="${SETUP_LANG-en_US.UTF-8}" PATH="${SETUP_PATH:-$PATH}" \
        HOME="$WORK/home" TMPDIR="$WORK/tmp" \
        LD_PRELOAD="$PROBE_LIB" SETUP_PROBE_OUT="$DUMP" \
        "$program" "$@" >"$WORK/setup.log" 2>&1 &
    SETUP_PID=$!
    popd >/dev/null
}

# start_program DIR PROGRAM ARGS...: launch_program, then waits until the
# screen reporter runs.
start_program() {
    launch_program "$@"
    local i
    for i in $(seq 300); do
        [ -e "$DUMP.ready" ] && return 0
        kill -0 "$SETUP_PID" 2>/dev/null || fail "setup-mac ended before it launched"
        sleep 0.05
    done
    import -window root "$SHOTS/no-reporter.png" 2>/dev/null || true
    fail "the screen reporter did not start"
}

# start_setup ARGS...: the program in the kit folder with "usecwd" and ARGS.
start_setup() {
    start_program "$WORK/kit" "$SETUP_MAC_BIN" usecwd "$@"
}

# The reporter rewrites $DUMP by itself; an empty one is not written yet.
refresh_report() {
    [ -s "$DUMP" ]
}

# With no window manager, a new window has no keyboard until it is clicked.
wizard_shown() {
    focus "$1"
}

# --- Reading the screen report --------------------------------------------
# Window lines: 2 number, 3 class, 4 title, 5 key, 6 x, 7 y, 8 width, 9 height.
# Control lines: 2 window number, 3 class, 4 shown, 5 enabled, 6 x, 7 y,
# 8 width, 9 height, 10 value, 11 text.

# The wizard window: its content is 500 x 360 below the title bar.
main_window() {
    awk -F'\t' '$1=="W" && $3=="ExtNSWindow" {print $2; exit}' "$DUMP"
}

# The shown alert, if any.
alert_window() {
    awk -F'\t' '$1=="W" && $3 ~ /Alert/ {print $2; exit}' "$DUMP"
}

window_field() {
    awk -F'\t' -v n="$1" -v f="$2" '$1=="W" && $2==n {print $f; exit}' "$DUMP"
}

# control_field CLASS TEXT FIELD: a field of the first shown control of CLASS
# whose text is TEXT.
control_field() {
    awk -F'\t' -v c="$1" -v t="$2" -v f="$3" \
        '$1=="C" && $4==1 && $3==c && $11==t {print $f; exit}' "$DUMP"
}

# entry_is TEXT: the editable text field holds TEXT (a check for wait_until).
entry_is() {
    [ "$(text_of NSTextField 1)" = "$1" ]
}

# frame_of CLASS TEXT: "x y width height" of the first shown control of CLASS
# with that text, relative to the wizard window's content view.
frame_of() {
    awk -F'\t' -v c="$1" -v t="$2" '
        $1=="C" && $3=="NSView" && ox=="" {ox=$6; oy=$7}
        $1=="C" && $4==1 && $3==c && $11==t {print $6-ox, $7-oy, $8, $9; exit}' "$DUMP"
}

# expect_frame CLASS TEXT "X Y W H": fails unless the control sits there.
expect_frame() {
    local got
    got=$(frame_of "$1" "$2")
    [ "$got" = "$3" ] || fail "$1 \"$2\" at ($got), not ($3)"
}

has_alert() {
    [ -n "$(alert_window)" ]
}

no_alert() {
    [ -z "$(alert_window)" ]
}

no_window() {
    ! grep -q '^W' "$DUMP"
}

# --- Acting ----------------------------------------------------------------

click_line() {
    local line=$1 x y w h
    IFS=$'\t' read -r _ _ _ _ _ x y w h _ <<<"$line"
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) sleep 0.15 mousedown 1 sleep 0.1 mouseup 1
}

# focus WINDOW-NO: with no window manager nothing gives a new window the
# keyboard, and GNUstep takes the first click on a window that is not key
# for making it key. A click on a spot without a control (the left edge of
# the content, below the title bar) does that, as a user would.
focus() {
    local x y
    [ "$(window_field "$1" 5)" = 1 ] && return 0
    x=$(window_field "$1" 6) y=$(window_field "$1" 7)
    xdotool mousemove $((x + 4)) $((y + 40)) sleep 0.1 mousedown 1 sleep 0.1 mouseup 1
    FOCUS_WINDOW=$1
    wait_until 5 eval '[ "$(window_field "$FOCUS_WINDOW" 5)" = 1 ]'
    sleep 0.3
}

# click CAPTION [WINDOW-NO]: clicks the shown, enabled button with that
# caption (in that window, if given).
click() {
    local line
    line=$(awk -F'\t' -v t="$1" -v n="${2:-}" '$1=="C" && $4==1 && $5==1 && $11==t &&
        $3 ~ /Button$/ && (n=="" || $2==n) {print; exit}' "$DUMP")
    [ -n "$line" ] || fail "no shown button \"$1\""
    click_line "$line"
}

# click_class CLASS [VALUE]: clicks the first shown control of that class
# (with that value field, if given).
click_class() {
    local line
    line=$(awk -F'\t' -v c="$1" -v v="${2:-}" \
        '$1=="C" && $4==1 && $3==c && (v=="" || $10==v) {print; exit}' "$DUMP")
    [ -n "$line" ] || fail "no shown $1"
    click_line "$line"
}

# replace_entry TEXT: clicks into the shown editable text field, replaces
# its text by typing, as a user would (End, then BackSpace over every
# character: the stand-in has no Control-A for "select all"), and waits until
# the field holds TEXT.
replace_entry() {
    local old
    old=$(text_of NSTextField 1)
    click_class NSTextField 1
    sleep 0.2
    xdotool key End
    [ -z "$old" ] || xdotool key --delay 2 --repeat "${#old}" BackSpace
    xdotool type --delay 5 "$1"
    wait_until 10 entry_is "$1"
}

# answer_alert KEYSYM: waits for an alert, gives it the keyboard and presses
# KEYSYM there.
answer_alert() {
    wait_until 10 has_alert
    focus "$(alert_window)"
    key "$1"
}

# key KEYSYM: one key press to the window that has the keyboard focus.
key() {
    xdotool key "$1"
}

# screenshot WINDOW-NO NAME: saves that window as $SHOTS/NAME.png.
screenshot() {
    local x y w h
    x=$(window_field "$1" 6) y=$(window_field "$1" 7)
    w=$(window_field "$1" 8) h=$(window_field "$1" 9)
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$SHOTS/$2.png" 2>/dev/null ||
        note "could not save screenshot $2"
}
