#!/usr/bin/env bash
# setup where no GTK library can be loaded, as on a distribution without
# GTK 2 (or without either GTK): both libraries are hidden in a private
# mount namespace, so dlopen of either front-end module fails. The program
# still starts: --console and --help work, without --console the console
# takes over silently (with --verbose it says why), the exit statuses are
# those of any console run, and a front end forced with --ui is status 2
# with the loader's reason, before anything is changed. Needs root for the
# namespace; skipped (77) where it cannot be made.
source "$(dirname "$0")/lib.sh"

if [ "${SETUP_GTK_HIDDEN:-}" != 1 ]; then
    if [ "$(id -u)" != 0 ] || ! unshare -m true 2>/dev/null; then
        echo "SKIP [without_gtk]: a private mount namespace needs root"
        exit 77
    fi
    exec unshare -m env SETUP_GTK_HIDDEN=1 bash "$0"
fi
mount --make-rprivate /
hidden=0
for lib in libgtk-3.so.0 libgtk-x11-2.0.so.0; do
    while read -r path; do
        mount --bind /dev/null "$(readlink -f "$path")"
        hidden=$((hidden + 1))
    done < <(ldconfig -p | awk -v lib="$lib" '$1 == lib { print $NF }')
done
[ "$hidden" -ge 2 ] || fail "found only $hidden GTK libraries to hide"

console_init without_gtk
make_ledger_kit

run_setup --console --help </dev/null
expect_status 0 "for --console --help"
out_has "--ui NAME"

target="$WORK/console"
run_setup --console -S --dir "$target" </dev/null
expect_status 0 "with --console"
same_tree "$WORK/tree" "$target"

# No --console: the modules fail to load, the console installs, silently.
rm -rf "$target"
run_setup -S --dir "$target" </dev/null
expect_status 0 "without --console"
same_tree "$WORK/tree" "$target"
if grep -q "GTK" "$WORK/err"; then
    fail "without --verbose the passed-over front ends were told: $(cat "$WORK/err")"
fi

# --verbose names each module and why it could not be loaded.
rm -rf "$target"
run_setup --verbose -S --dir "$target" </dev/null
expect_status 0 "with --verbose"
err_has "GTK 3: "
err_has "GTK 2: "
err_has "file too short"
err_has "the console takes over"

# Statuses are unchanged: no kit is 2, and a cancelled run 3.
run_setup -S --kit "$WORK/none.efd" --dir "$WORK/other" </dev/null
expect_status 2 "without a kit"
run_setup --dir "$WORK/other" </dev/null
expect_status 3 "at end of input"
[ ! -e "$WORK/other" ] || fail "a cancelled run left $WORK/other"

# A forced front end that cannot be loaded: status 2, the loader's reason.
rm -rf "$(default_dir)" "$(launcher_file)"
for ui in gtk3 gtk2; do
    run_setup --ui "$ui" -S </dev/null
    expect_status 2 "with --ui $ui"
    err_has "the $ui front end cannot start: "
    err_has "file too short"
    nothing_installed
done
note "passed"
