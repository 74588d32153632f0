#!/usr/bin/env bash
# --help and --version with no display: stdout, status 0, every option and
# every exit status listed. The historical words still work next to the new
# options, and unknown words are ignored.
source "$(dirname "$0")/lib.sh"
console_init help

run_setup --help
expect_status 0 "of --help"
for option in usecwd -L '/L' -S --dir --console --status-fd --dry-run --help --version \
    kelda.efd "English only"; do
    out_has "$option"
done
for status in 0 1 2 3 4; do
    grep -qE "^  $status  " "$WORK/out" || fail "exit status $status not explained"
done
[ ! -s "$WORK/err" ] || fail "--help wrote to stderr: $(cat "$WORK/err")"
run_setup --version
expect_status 0 "of --version"
grep -qE '^setup [0-9]+\.[0-9]+' "$WORK/out" || fail "no version: $(cat "$WORK/out")"

# /S, -Lde and stray words with the new options: German texts, no question.
make_ledger_kit
SETUP_LANG=de_DE.UTF-8 run_setup /S -Lde --sync stray --console --dir "$WORK/t" </dev/null
expect_status 0 "with the historical words"
out_has "$(text IDS_SUCCESS_FINISH de)"
same_tree "$WORK/tree" "$WORK/t"

# A terminal that cannot show the language gets English, not mojibake.
SETUP_LANG=C run_setup -Lru --console --dry-run --dir "$WORK/t" </dev/null
expect_status 0 "under LANG=C"
SETUP_LANG=C run_setup -Lru --console --dir "$WORK/t" </dev/null
expect_status 3 "under LANG=C"
out_has "$(text IDS_TEMPLATE_CATALOG en)"
if LC_ALL=C grep -q $'[\x80-\xff]' "$WORK/out"; then fail "non-ASCII bytes under LANG=C"; fi
note "passed"
