#!/usr/bin/env bash
# The exit statuses of the wizard with -S: 0 after an install, 2 after a
# start-up error box (damaged kit), 1 after a copy that failed and was
# rolled back (a directory where the kit has a file). The status events of
# the failed run end with an error event.
source "$(dirname "$0")/lib.sh"
e2e_init auto_start_status

make_ledger_kit
start_setup -S
wait_exit 30
[ "$SETUP_STATUS" = 0 ] || fail "status $SETUP_STATUS after an install"
same_tree "$WORK/tree" "$(default_dir)"

# A copy that fails: an older directory stands where the kit has a file.
rm -rf "$(default_dir)" "$(launcher_file)"
mkdir -p "$(default_dir)/trade/prices.csv"
touch -d '2020-01-01 00:00:00 UTC' "$(default_dir)/trade/prices.csv"
before=$(snapshot "$(default_dir)")
start_setup -S --status-fd 3 3>"$WORK/events"
wait_until 30 has_message_box
shows_containing "$(text IDS_INSTALL_ERROR)" || fail "not the installation error box"
click "$(text IDS_MSGBOX_OK)"
wait_exit 30
[ "$SETUP_STATUS" = 1 ] || fail "status $SETUP_STATUS after a failed copy"
[ "$(snapshot "$(default_dir)")" = "$before" ] || fail "the failed copy changed the directory"
tail -n 1 "$WORK/events" | grep -q '"event":"error"' || fail "no error event: $(cat "$WORK/events")"
[ ! -e "$(launcher_file)" ] || fail "the launcher file was written"
no_leftovers

# A damaged kit: the start-up error box, then status 2.
size=$(stat -c %s "$WORK/kit/kelda.efd")
truncate -s $((size / 2)) "$WORK/kit/kelda.efd"
start_setup -S
wait_until 10 has_message_box
shows_containing "$(text IDS_ERROR_DAMAGEDSOURCE)" || fail "not the damaged-kit box"
click "$(text IDS_MSGBOX_OK)"
wait_exit 10
[ "$SETUP_STATUS" = 2 ] || fail "status $SETUP_STATUS after a damaged kit"
no_leftovers
note "passed"
