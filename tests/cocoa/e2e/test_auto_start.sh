#!/usr/bin/env bash
# With the S option the copy starts at once, without the wizard's pages and
# without AppKit's main loop: the poll loop alone serves the window. The
# program installs the kit into the proposed folder, writes the launcher
# file and ends by itself with 0. Before that, --dry-run with -S changes
# nothing: it lists the plan on the console and ends with 0.
source "$(dirname "$0")/lib.sh"
e2e_init auto_start

make_ledger_kit
target=$(default_dir)
mkdir -p "$target/accounting"
echo "older" >"$target/accounting/template.cfg"
touch -d '2020-01-01 00:00:00 UTC' "$target/accounting/template.cfg"
before=$(snapshot "$target")
launch_program "$WORK/kit" "$SETUP_MAC_BIN" usecwd --dry-run -S
wait_exit_ok 30
[ "$(snapshot "$target")" = "$before" ] || fail "--dry-run -S changed the template directory"
grep -q '^update  accounting/template.cfg' "$WORK/setup.log" ||
    fail "no plan on the console: $(cat "$WORK/setup.log")"
[ ! -e "$(launcher_file)" ] && [ -z "$(ls -A "$WORK/tmp")" ] ||
    fail "--dry-run left a launcher file or something in the temporary directory"

launch_program "$WORK/kit" "$SETUP_MAC_BIN" usecwd -S
wait_exit_ok 30
same_tree "$WORK/tree" "$target"
launcher_lists_first "$target"
no_leftovers
note "passed"
