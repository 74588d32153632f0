#!/usr/bin/env bash
# Start-up failures with no display: a damaged kit, a missing kit and an
# unusable --dir each end with status 2 and the reason on stderr, before
# anything is written.
source "$(dirname "$0")/lib.sh"
console_init damaged_kit
make_ledger_kit

size=$(stat -c %s "$WORK/kit/kelda.efd")
truncate -s $((size / 2)) "$WORK/kit/kelda.efd"
run_setup --console -S </dev/null
expect_status 2 "with a damaged kit"
err_has "$(text IDS_ERROR_DAMAGEDSOURCE)"
nothing_installed

# The same without --console, answers or not.
printf '\n\n' | run_setup
expect_status 2 "with a damaged kit, no --console"
err_has "$(text IDS_ERROR_DAMAGEDSOURCE)"
nothing_installed

rm "$WORK/kit/kelda.efd"
run_setup --console </dev/null
expect_status 2 "without a kit"
err_has "$(text IDS_ERROR_NOSOURCE)"
nothing_installed

make_kit "$WORK/tree" --product "$LEDGER_PRODUCT"
: >"$WORK/plain-file"
run_setup --console -S --dir "$WORK/plain-file" </dev/null
expect_status 2 "with a file as --dir"
err_has "$(text IDS_ERROR_NOTWRITABLE)"
run_setup --console -S --dir "" </dev/null
expect_status 2 "with an empty --dir"
err_has "'--dir' needs a directory"
run_setup --console -S --dir "$WORK/kit" </dev/null
expect_status 2 "with the working directory as --dir"
err_has "$(text IDS_ERROR_NOTARGET)"
nothing_installed
[ "$(find "$WORK/kit" -mindepth 1 | wc -l)" = 1 ] || fail "something was written beside the kit"
note "passed"
