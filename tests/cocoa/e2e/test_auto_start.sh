#!/usr/bin/env bash
# With the S option the copy starts at once, without the wizard's pages and
# without AppKit's main loop: the poll loop alone serves the window. The
# program installs the kit into the proposed folder, writes the launcher
# file and ends by itself with 0.
source "$(dirname "$0")/lib.sh"
e2e_init auto_start

make_tree "$WORK/tree"
make_kit "$WORK/tree" --product "en|Ledger Templates|Example Ltd|docs/readme.html"
launch_program "$WORK/kit" "$SETUP_MAC_BIN" usecwd -S
wait_exit 30
[ "$SETUP_STATUS" = 0 ] || fail "exit status $SETUP_STATUS"
target="$WORK/home/.kelda/KV/kelda/tmplts"
same_tree "$WORK/tree" "$target"
first=$(grep -m1 '^ConfigurationTemplatesLocation=' "$(launcher_file)" | cut -d= -f2-)
[ "$first" = "$target" ] || fail "launcher file lists \"$first\" first"
[ -z "$(ls -A "$WORK/tmp")" ] || fail "left behind in TMPDIR: $(ls -A "$WORK/tmp")"
note "passed"
