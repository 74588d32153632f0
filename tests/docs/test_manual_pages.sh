#!/usr/bin/env bash
# The manual pages as `man` shows them: not one warning from `groff -ww` or
# `man --warnings`, and every option that --help of setup and of each mkkit
# command lists is described in its page, so a new option cannot go
# undocumented.
set -euo pipefail
: "${SETUP_BIN:?}" "${MKKIT_BIN:?}"
pages=$(cd "$(dirname "$0")/../../docs/man" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/setup-manual-pages.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL [manual_pages]: $*" >&2
    exit 1
}

for page in setup mkkit; do
    groff -man -ww -z "$pages/$page.1" 2>"$work/groff"
    [ ! -s "$work/groff" ] || fail "groff -ww on $page.1: $(cat "$work/groff")"
    # Justified lines hold runs of blanks: one space each for the search.
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$pages/$page.1" 2>"$work/man" |
        tr -s ' \t' ' ' >"$work/$page.txt"
    [ ! -s "$work/man" ] || fail "man --warnings on $page.1: $(cat "$work/man")"
    grep -q "^SEE ALSO" "$work/$page.txt" || fail "$page.1 renders without its sections"
done

# long_options: the --words of a --help text on stdin, one a line.
long_options() {
    grep -oE -- '(^|[ ,])--[a-z][a-z-]*' | sed 's/^[ ,]//' | grep -vx -- '--help' | sort -u
}

# described PAGE OPTION...: each option appears in the rendered page.
described() {
    local page=$1 option
    shift
    for option in "$@"; do
        grep -qF -- "$option" "$work/$page.txt" || fail "$page.1 does not describe $option"
    done
}

"$SETUP_BIN" --help >"$work/help" || fail "setup --help failed"
mapfile -t options < <(long_options <"$work/help")
[ "${#options[@]}" -ge 5 ] || fail "setup --help lists too few options: ${options[*]}"
described setup "${options[@]}" usecwd -S -L
for command in create list keygen sign verify; do
    "$MKKIT_BIN" "$command" --help >"$work/help" || fail "mkkit $command --help failed"
    mapfile -t options < <(long_options <"$work/help")
    described mkkit "mkkit $command" "${options[@]}"
done
echo "[manual_pages] passed"
