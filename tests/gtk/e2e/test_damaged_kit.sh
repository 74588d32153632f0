#!/usr/bin/env bash
# Start-up failures: a damaged kit, a kit of garbage and a missing kit each
# give one error box with the program's title and no wizard window; OK ends
# the program with status 0, leaving nothing in TMPDIR and nothing installed.
# Each box names the kit's path below its text.
source "$(dirname "$0")/lib.sh"
e2e_init damaged_kit

# expect_start_error KEY SHOT: the program shows only the error box of KEY.
expect_start_error() {
    local key=$1 shot=$2
    start_setup
    wait_until 10 has_message_box
    local box
    box=$(message_box)
    shows_containing "$(text "$key")" || fail "the box does not read $key"
    # Below the text: the kit's path, where it was looked for.
    shows_containing "$WORK/kit/kelda.efd" || fail "the box does not name the kit's path"
    [ "$(window_title "$box")" = "$(text IDR_MAINFRAME)" ] || fail "the box's title"
    [ -z "$(main_window)" ] || fail "a wizard window next to the start-up error"
    [ -n "$shot" ] && screenshot "$box" "$shot"
    click "$(text IDS_MSGBOX_OK)"
    wait_exit_ok 10 "after $key"
    [ ! -e "$(default_dir)" ] || fail "the template directory was created"
    [ ! -e "$(launcher_file)" ] || fail "the launcher file was written"
    no_leftovers
}

make_ledger_kit

# A kit cut short in the middle of its deflate stream.
size=$(stat -c %s "$WORK/kit/kelda.efd")
truncate -s $((size / 2)) "$WORK/kit/kelda.efd"
expect_start_error IDS_ERROR_DAMAGEDSOURCE 1-damaged

# A kit file that is no deflate stream at all.
head -c 5000 /dev/urandom >"$WORK/kit/kelda.efd"
expect_start_error IDS_ERROR_DAMAGEDSOURCE ""

# No kit beside the program.
rm "$WORK/kit/kelda.efd"
expect_start_error IDS_ERROR_NOSOURCE 2-missing
note "passed"
