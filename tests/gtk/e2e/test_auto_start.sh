#!/usr/bin/env bash
# Auto-start (-S): no question and no click; the kit is installed into the
# proposed directory, the launcher file lists it first, and the program ends
# by itself after the success page without opening the description.
source "$(dirname "$0")/lib.sh"
e2e_init auto_start

make_ledger_kit
start_setup -S

wait_exit_ok 30
same_tree "$WORK/tree" "$(default_dir)"
launcher_lists_first "$(default_dir)"
[ ! -e "$WORK/opened" ] || fail "the description was opened: $(cat "$WORK/opened")"
no_leftovers

# A second run finds every file as new as the kit's and changes nothing.
before=$(snapshot "$(default_dir)")
start_setup -S
wait_exit_ok 30 "of the second run"
[ "$(snapshot "$(default_dir)")" = "$before" ] || fail "the second run changed files"
no_leftovers
note "passed"
