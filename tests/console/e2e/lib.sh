# Steps of the end-to-end tests of the console front end: the real `setup`
# run with no DISPLAY, in a sandbox of its own (HOME, TMPDIR, kit folder),
# its answers from a pipe, /dev/null or a pseudo-terminal (pty_run.py). The
# kits, disk checks and catalogue texts are those of
# tests/support/e2e_common.sh; no X server is started.
set -euo pipefail

: "${SETUP_BIN:?}" "${LARGE_KIT_BIN:?}" "${PYTHON:?}"
E2E_SCREENSHOTS=${TMPDIR:-/tmp}/setup-console-e2e
E2E_PROGRAM="setup (console)"
source "$(dirname "${BASH_SOURCE[0]}")/../../support/e2e_common.sh"
PTY_RUN="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/pty_run.py"
unset DISPLAY WAYLAND_DISPLAY

# console_init NAME: $WORK with home/, tmp/ and kit/; no display.
console_init() {
    E2E_NAME=$1
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/setup-console-$E2E_NAME.XXXXXX")
    trap e2e_cleanup EXIT
    trap 'exit 1' TERM INT
    mkdir -p "$WORK/home" "$WORK/tmp" "$WORK/kit"
}

# make_large_kit COUNT SIZE: the kit kelda.efd in $WORK/kit with COUNT files
# of SIZE bytes, so that a copy run lasts long enough to be interrupted.
make_large_kit() {
    "$LARGE_KIT_BIN" "$WORK/kit/kelda.efd" "$1" "$2" || fail "could not build the large kit"
}

# run_setup ARGS...: the program in the kit folder with "usecwd" and ARGS,
# stdin as given by the caller, stdout to $WORK/out, stderr to $WORK/err;
# its status in SETUP_STATUS.
run_setup() {
    SETUP_STATUS=0
    (cd "$WORK/kit" && env -u LANGUAGE -u LC_ALL LANG="${SETUP_LANG:-en_US.UTF-8}" \
        HOME="$WORK/home" TMPDIR="$WORK/tmp" "$SETUP_BIN" usecwd "$@") \
        >"$WORK/out" 2>"$WORK/err" || SETUP_STATUS=$?
}

# start_setup_bg ARGS...: the same in the background; the pid in SETUP_PID.
start_setup_bg() {
    (cd "$WORK/kit" && exec env -u LANGUAGE -u LC_ALL LANG="${SETUP_LANG:-en_US.UTF-8}" \
        HOME="$WORK/home" TMPDIR="$WORK/tmp" "$SETUP_BIN" usecwd "$@") \
        >"$WORK/out" 2>"$WORK/err" &
    SETUP_PID=$!
}

# run_on_pty SCRIPT ARGS...: the program on a pseudo-terminal, answering as
# the pty_run.py script SCRIPT says; the terminal's output in $WORK/out.
run_on_pty() {
    local script=$1
    shift
    SETUP_STATUS=0
    (cd "$WORK/kit" && env -u LANGUAGE -u LC_ALL LANG="${SETUP_LANG:-en_US.UTF-8}" \
        HOME="$WORK/home" TMPDIR="$WORK/tmp" \
        "$PYTHON" "$PTY_RUN" "$script" "$SETUP_BIN" usecwd "$@") \
        >"$WORK/out" 2>"$WORK/err" || SETUP_STATUS=$?
}

# expect_status N [WHAT]: the last run ended with status N.
expect_status() {
    [ "$SETUP_STATUS" = "$1" ] || fail "exit status $SETUP_STATUS, not $1${2:+ $2}
--- stdout:
$(cat "$WORK/out")
--- stderr:
$(cat "$WORK/err")"
}

# out_has TEXT / err_has TEXT: the last run printed TEXT (a whole line's part).
out_has() {
    grep -qF -- "$1" "$WORK/out" || fail "stdout lacks \"$1\":
$(cat "$WORK/out")"
}

err_has() {
    grep -qF -- "$1" "$WORK/err" || fail "stderr lacks \"$1\":
$(cat "$WORK/err")"
}

# nothing_installed: no template directory, no launcher file, nothing left
# in TMPDIR.
nothing_installed() {
    [ ! -e "$(default_dir)" ] || fail "the template directory was created"
    [ ! -e "$(launcher_file)" ] || fail "the launcher file was written"
    no_leftovers
}
