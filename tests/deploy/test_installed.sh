#!/usr/bin/env bash
# `cmake --install` into a fresh prefix gives a setup a user can run: the
# programs in bin, the front-end modules in lib, their manual pages in share/man/man1 where `man` finds
# them, and the installed `setup --kit` installs the demo kit unattended.
# Without --kit the installed program looks beside itself and says where.
set -euo pipefail
: "${BUILD_DIR:?}" "${DEMO_KIT:?}" "${CMAKE_COMMAND:?}"
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/setup-installed.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL [installed]: $*" >&2
    [ -f "$work/err" ] && { echo "--- stderr:"; cat "$work/err"; } >&2
    exit 1
}
unset DISPLAY WAYLAND_DISPLAY
prefix="$work/prefix"
mkdir -p "$work/home" "$work/tmp"

"$CMAKE_COMMAND" --install "$BUILD_DIR" --prefix "$prefix" >"$work/install.log" ||
    fail "cmake --install: $(cat "$work/install.log")"
for file in bin/setup bin/mkkit share/man/man1/setup.1 share/man/man1/mkkit.1; do
    [ -f "$prefix/$file" ] || fail "$file was not installed"
done
# man finds the pages through PATH, as for ~/.local/bin.
[ "$(env -u MANPATH PATH="$prefix/bin:$PATH" man -w setup mkkit | tr '\n' ' ')" = \
    "$prefix/share/man/man1/setup.1 $prefix/share/man/man1/mkkit.1 " ] ||
    fail "man does not find the installed pages through PATH"

# installed ARGS...: the installed setup in a home of its own, no terminal.
installed() {
    STATUS=0
    env HOME="$work/home" TMPDIR="$work/tmp" LANG=C.UTF-8 "$prefix/bin/setup" "$@" \
        </dev/null >"$work/out" 2>"$work/err" || STATUS=$?
}

installed --console -S --kit "$DEMO_KIT" --dir "$work/templates"
[ "$STATUS" = 0 ] || fail "the installed setup --kit ended with $STATUS"
diff -r "$repo/examples/templates" "$work/templates" >/dev/null ||
    fail "the template directory differs from the demo kit's tree"
grep -qx "ConfigurationTemplatesLocation=$work/templates/\{0,1\}" \
    "$work/home/.KV/kvlaunch/kvlaunch.cfg" || fail "the launcher file does not list the directory"

# No kit beside the installed program: the message names where it looked.
installed --console -S --dir "$work/other"
[ "$STATUS" = 2 ] || fail "without a kit: status $STATUS"
grep -qF "$prefix/bin/kelda.efd" "$work/err" || fail "the message does not name $prefix/bin/kelda.efd"
# A kit named without --kit is refused with the hint.
installed --console -S "$DEMO_KIT" --dir "$work/other"
[ "$STATUS" = 2 ] || fail "a positional kit path: status $STATUS"
grep -qF -- "--kit" "$work/err" || fail "a positional kit path gets no hint to use --kit"
[ ! -e "$work/other" ] || fail "a refused run created its directory"

# The front-end modules are installed where the installed program finds
# them: forced without a display, each is loaded and only the display fails.
for ui in gtk3 gtk2; do
    installed --ui "$ui" --kit "$DEMO_KIT" --dir "$work/other"
    [ "$STATUS" = 2 ] || fail "--ui $ui without a display: status $STATUS"
    grep -q "the $ui front end cannot start: .*cannot open the display" "$work/err" ||
        fail "--ui $ui: the installed module was not loaded"
done
# The program's own folder is looked in first: a damaged module there is
# reported by the loader, a missing one by name, and the console takes over.
mkdir -p "$work/copy"
cp "$prefix/bin/setup" "$work/copy/"
echo "not a module" >"$work/copy/setup-gtk3.so"
env HOME="$work/home" TMPDIR="$work/tmp" LANG=C.UTF-8 "$work/copy/setup" --ui gtk3 \
    --kit "$DEMO_KIT" --dir "$work/other" </dev/null >"$work/out" 2>"$work/err" && STATUS=0 ||
    STATUS=$?
[ "$STATUS" = 2 ] || fail "a damaged forced module: status $STATUS"
grep -q "the gtk3 front end cannot start: GTK 3: .*setup-gtk3.so: " "$work/err" ||
    fail "a damaged module is not reported by the loader"
env HOME="$work/home" TMPDIR="$work/tmp" LANG=C.UTF-8 "$work/copy/setup" --verbose -S \
    --kit "$DEMO_KIT" --dir "$work/copied" </dev/null >"$work/out" 2>"$work/err" ||
    fail "the copied program did not install on the console"
grep -q "GTK 3: .*setup-gtk3.so: .*; GTK 2: setup-gtk2.so is not installed beside the program; the console takes over" \
    "$work/err" || fail "--verbose does not say why each front end was passed over"
echo "[installed] passed"
