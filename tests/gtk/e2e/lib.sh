# Steps of the end-to-end tests of `setup`'s windowed wizard: the program
# started with the probe module, which writes a screen report on SIGUSR1, and
# helpers that click controls with xdotool and take screenshots. The sandbox,
# Xvfb, kits, waiting and disk checks are in tests/support/e2e_common.sh.
# Sourced by every test_*.sh; the paths of the programs come from CTest's
# environment (see CMakeLists.txt).
#
# SETUP_UI names the front end under test, gtk2 (the default) or gtk3: the
# program is started with --ui SETUP_UI and that GTK's build of the probe
# (a GTK module of the other GTK would abort the program).
set -euo pipefail

: "${SETUP_BIN:?}" "${PROBE_MODULE:?}" "${X11_CLOSE_BIN:?}" "${LARGE_KIT_BIN:?}"
SETUP_UI=${SETUP_UI:-gtk2}
case "$SETUP_UI" in
    gtk2) ;;
    gtk3) PROBE_MODULE=${PROBE_MODULE_GTK3:?} ;;
    *) echo "SETUP_UI=$SETUP_UI: gtk2 or gtk3" >&2; exit 1 ;;
esac
E2E_SCREENSHOTS=${E2E_SCREENSHOTS:-${TMPDIR:-/tmp}/setup-e2e-screenshots}/$SETUP_UI
E2E_PROGRAM="setup ($SETUP_UI)"
source "$(dirname "${BASH_SOURCE[0]}")/../../support/e2e_common.sh"

# e2e_init NAME: the sandbox and X server, and a stand-in for the desktop's
# opener in $WORK/bin that records its arguments, one a line.
e2e_init() {
    e2e_sandbox "$1" setup-e2e
    mkdir -p "$WORK/bin"
    cat >"$WORK/bin/xdg-open" <<EOS
#!/bin/sh
for a in "\$@"; do printf '%s\n' "\$a"; done >>"$WORK/opened"
EOS
    chmod +x "$WORK/bin/xdg-open"
}

# accessibility_bus SCRIPT ARGS...: runs the test again inside a D-Bus session
# of its own, with GTK's accessibility bridge loaded into the program, so that
# atspi_walk.py can read it (/usr/bin/python3: the system's Python holds
# pyatspi). The session's accessibility bus gets a runtime folder of its own:
# in the shared one, the buses of two such tests run at once would take each
# other's socket. Returns only inside that session.
accessibility_bus() {
    if [ -z "${E2E_IN_SESSION:-}" ]; then
        local runtime status=0
        runtime=$(mktemp -d "${TMPDIR:-/tmp}/setup-e2e-runtime.XXXXXX")
        XDG_RUNTIME_DIR=$runtime dbus-run-session -- env E2E_IN_SESSION=1 bash "$@" || status=$?
        rm -rf "$runtime"
        exit "$status"
    fi
    # GTK 3 carries its bridge itself; GTK 2 loads it as modules.
    [ "$SETUP_UI" = gtk3 ] || E2E_GTK_MODULES=gail:atk-bridge
    ATSPI_PYTHON=${ATSPI_PYTHON:-/usr/bin/python3}
    "$ATSPI_PYTHON" -c 'import pyatspi' 2>/dev/null ||
        fail "pyatspi is missing (scripts/setup-deps.sh installs python3-pyatspi)"
    unset NO_AT_BRIDGE
    export GTK_A11Y=atk
}

# atspi_walk TARGET [LANGUAGE] [WELCOME]: atspi_walk.py on the running
# program; its report in $WORK/walk.
atspi_walk() {
    SETUP_CODE=${2:-en} WELCOME=${3:-$LEDGER_WELCOME} \
        "$ATSPI_PYTHON" "$(dirname "${BASH_SOURCE[0]}")/atspi_walk.py" "$SETUP_PID" "$1" \
        >"$WORK/walk" 2>&1 || fail "the walk through the accessibility bus:
$(cat "$WORK/walk")"
    cat "$WORK/walk"
}

# make_large_kit COUNT SIZE: the kit kelda.efd in $WORK/kit with COUNT files
# of SIZE bytes (product "Large Templates"), so that a copy run lasts long
# enough to be interrupted; see make_large_kit.cpp for the names and bytes.
LARGE_WELCOME="Large Templates (Example Ltd)"
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

# start_setup ARGS...: the program in the kit folder with "usecwd" and ARGS,
# its own HOME and TMPDIR, the probe module loaded.
start_setup() {
    rm -f "$DUMP.ready"
    pushd "$WORK/kit" >/dev/null
    env -u LANGUAGE -u LC_ALL -u XDG_STATE_HOME LANG="${SETUP_LANG:-en_US.UTF-8}" \
        HOME="$WORK/home" TMPDIR="$WORK/tmp" PATH="$WORK/bin:$PATH" \
        GTK_MODULES="$PROBE_MODULE${E2E_GTK_MODULES:+:$E2E_GTK_MODULES}" SETUP_PROBE_OUT="$DUMP" \
        "$SETUP_BIN" --ui "$SETUP_UI" usecwd "$@" >"$WORK/setup.log" 2>&1 &
    SETUP_PID=$!
    popd >/dev/null
    local end=$((SECONDS + $(scaled 10)))
    while [ "$SECONDS" -lt "$end" ]; do
        [ -e "$DUMP.ready" ] && return 0
        kill -0 "$SETUP_PID" 2>/dev/null || fail "setup ended before GTK started"
        sleep 0.05
    done
    [ -e "$DUMP.ready" ] || fail "the probe module did not load"
}

# probe: asks the program for a fresh screen report in $DUMP.
probe() {
    rm -f "$DUMP"
    kill -USR1 "$SETUP_PID" 2>/dev/null || fail "setup is not running"
    local end=$((SECONDS + $(scaled 4)))
    while [ "$SECONDS" -lt "$end" ]; do
        [ -s "$DUMP" ] && return 0
        sleep 0.02
    done
    [ -s "$DUMP" ] || fail "no screen report from setup"
}

refresh_report() {
    probe
}

# GTK takes keys and clicks without a window manager's focus: nothing to do.
wizard_shown() {
    :
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

# control_field TYPE TEXT FIELD: a field of the first control of TYPE whose
# text is TEXT (shown or not).
control_field() {
    awk -F'\t' -v ty="$1" -v t="$2" -v f="$3" \
        '$1=="C" && $3==ty && $11==t {print $f; exit}' "$DUMP"
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

# focused: "TYPE<tab>TEXT" of the wizard window's keyboard focus.
focused() {
    awk -F'\t' -v w="$WIN" '$1=="F" && $2==w {print $3 "\t" $4; exit}' "$DUMP"
}

# focus_is TYPE [TEXT]: the wizard's focus is on such a control.
focus_is() {
    local f
    f=$(focused)
    [ "${f%%$'\t'*}" = "$1" ] && { [ $# -lt 2 ] || [ "${f#*$'\t'}" = "$2" ]; }
}

# mnemonic KEY [LANGUAGE]: the key that, with Alt, presses the caption KEY.
mnemonic() {
    "$CATALOGUE_TEXT_BIN" --mnemonic "${2:-en}" "$1" | tr 'A-Z' 'a-z' ||
        fail "no mnemonic for $1"
}

# --- Acting ----------------------------------------------------------------

# click_line LINE: clicks the centre of the control of a report line.
click_line() {
    local xid x y w h
    IFS=$'\t' read -r _ xid _ _ _ x y w h _ _ <<<"$1"
    xdotool mousemove --window "$xid" $((x + w / 2)) $((y + h / 2)) click 1
}

# click CAPTION: clicks the shown button with that caption (message boxes
# and the chooser carry the catalogue's captions too).
click() {
    local line
    line=$(awk -F'\t' -v t="$1" '$1=="C" && $4==1 && $11==t && $3 ~ /Button$/ {print; exit}' \
        "$DUMP")
    [ -n "$line" ] || fail "no shown button \"$1\""
    click_line "$line"
}

# click_in XID CAPTION: the same, in the top-level window XID only.
click_in() {
    local line
    line=$(awk -F'\t' -v w="$1" -v t="$2" \
        '$1=="C" && $2==w && $4==1 && $11==t && $3 ~ /Button$/ {print; exit}' "$DUMP")
    [ -n "$line" ] || fail "no shown button \"$2\" in window $1"
    click_line "$line"
}

# The folder chooser's window, while it is shown.
chooser() {
    awk -F'\t' '$1=="W" && $3=="GtkFileChooserDialog" && $4==1 {print $2; exit}' "$DUMP"
}
has_chooser() { [ -n "$(chooser)" ]; }
no_chooser() { [ -z "$(chooser)" ]; }

# click_type CONTROL-TYPE: clicks the first shown control of that type.
click_type() {
    local line
    line=$(awk -F'\t' -v ty="$1" '$1=="C" && $4==1 && $3==ty {print; exit}' "$DUMP")
    [ -n "$line" ] || fail "no shown $1"
    click_line "$line"
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

# replace_entry TEXT: clicks into the wizard's entry, replaces its text by
# typing, as a user would, and waits until the entry holds TEXT.
replace_entry() {
    click_type GtkEntry
    key "$WIN" ctrl+a BackSpace
    type_into "$WIN" "$1"
    wait_until 5 entry_is "$1"
}
