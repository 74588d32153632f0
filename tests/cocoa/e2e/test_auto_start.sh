#!/usr/bin/env bash
# With the S option the copy starts at once, without the wizard's pages and
# without AppKit's main loop: the poll loop alone serves the window. The
# program installs the kit into the proposed folder, writes the launcher
# file and ends by itself with 0.
source "$(dirname "$0")/lib.sh"
e2e_init auto_start

make_ledger_kit
launch_program "$WORK/kit" "$SETUP_MAC_BIN" usecwd -S
wait_exit_ok 30
target=$(default_dir)
same_tree "$WORK/tree" "$target"
launcher_lists_first "$target"
no_leftovers
note "passed"
