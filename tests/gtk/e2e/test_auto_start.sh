#!/usr/bin/env bash
# Auto-start (-S): no question and no click; the kit is installed into the
# proposed directory, the launcher file lists it first, and the program ends
# by itself after the success page without opening the description.
source "$(dirname "$0")/lib.sh"
e2e_init auto_start

make_tree "$WORK/tree"
make_kit "$WORK/tree" --product "en|Ledger Templates|Example Ltd|docs/readme.html"
start_setup -S

wait_exit 30
[ "$SETUP_STATUS" = 0 ] || fail "exit status $SETUP_STATUS"
same_tree "$WORK/tree" "$(default_dir)"
first=$(grep -m1 '^ConfigurationTemplatesLocation=' "$(launcher_file)" | cut -d= -f2-)
[ "$first" = "$(default_dir)" ] || fail "launcher file lists \"$first\" first"
[ ! -e "$WORK/opened" ] || fail "the description was opened: $(cat "$WORK/opened")"
no_leftovers

# A second run finds every file as new as the kit's and changes nothing.
before=$(snapshot "$(default_dir)")
start_setup -S
wait_exit 30
[ "$SETUP_STATUS" = 0 ] || fail "exit status $SETUP_STATUS of the second run"
[ "$(snapshot "$(default_dir)")" = "$before" ] || fail "the second run changed files"
no_leftovers
note "passed"
