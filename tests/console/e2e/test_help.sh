#!/usr/bin/env bash
# --help and --version with no display: stdout, status 0, every option and
# every exit status listed, the manual page named; --version says whether the
# build requires signed kits, and whose. The historical words still work next
# to the new options, and unknown words without "--" are ignored; a long
# option's value is never read as a historical word; a mistyped long option
# or a missing value is a usage error (status 2) that changes nothing.
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
[ "$(tail -n1 "$WORK/out")" = "More in the manual page: man setup" ] ||
    fail "--help does not end with the manual page: $(tail -n1 "$WORK/out")"
run_setup --version
expect_status 0 "of --version"
grep -qE '^setup [0-9]+\.[0-9]+' "$WORK/out" || fail "no version: $(cat "$WORK/out")"
out_has "Kits: no signature required"
# The build that requires signed kits says so, and whose key.
SETUP_BIN=$SIGNED_SETUP_BIN run_setup --version
expect_status 0 "of the signed build's --version"
grep -qE '^Kits: must be signed by Example Test Signer \(key [0-9a-f]{16}\)$' "$WORK/out" ||
    fail "the signed build's --version: $(cat "$WORK/out")"

# /S, -Lde and stray words with the new options: German texts, no question.
make_ledger_kit
SETUP_LANG=de_DE.UTF-8 run_setup /S -Lde --sync stray --console --dir "$WORK/t" </dev/null
expect_status 0 "with the historical words"
out_has "$(text IDS_SUCCESS_FINISH de)"
same_tree "$WORK/tree" "$WORK/t"

# Values that look like historical words: /srv-like is not -S, /l-like does
# not end the scan, so the -S after it still counts.
mkdir -p "$WORK/srv" "$WORK/lang"
run_setup --console --dir "$WORK/srv" </dev/null
expect_status 3 "with --dir /.../srv and no -S (a question was asked)"
[ -z "$(ls -A "$WORK/srv")" ] || fail "--dir .../srv started the copy unasked"
run_setup --console --dir "/${WORK#/}/lang" -S </dev/null
expect_status 0 "with -S after a --dir value starting like /l"
same_tree "$WORK/tree" "$WORK/lang"

# Usage errors: nothing is installed, the message names the word.
rm -rf "$WORK/u"
while IFS='|' read -r words message; do
    # shellcheck disable=SC2086
    run_setup --console $words --dir "$WORK/u" </dev/null
    expect_status 2 "of: $words"
    err_has "$message"
    [ ! -e "$WORK/u" ] || fail "something was installed with: $words"
done <<'CASES'
--dryrun|unknown option '--dryrun'; did you mean '--dry-run'?
-S --consol|did you mean '--console'?
-S --frobnicate|unknown option '--frobnicate'
-S --dir=|'--dir' needs a directory
-S --kit|'--kit' needs a kit file
-S --console=yes|'--console' takes no value
-S kelda.efd|name a kit file with --kit FILE
CASES
run_setup --console -S --dir </dev/null
expect_status 2 "of a --dir without its value"
err_has "'--dir' needs a directory"

# A terminal that cannot show the language gets English, not mojibake.
SETUP_LANG=C run_setup -Lru --console --dry-run --dir "$WORK/t" </dev/null
expect_status 0 "under LANG=C"
SETUP_LANG=C run_setup -Lru --console --dir "$WORK/t" </dev/null
expect_status 3 "under LANG=C"
out_has "$(text IDS_TEMPLATE_CATALOG en)"
if LC_ALL=C grep -q $'[\x80-\xff]' "$WORK/out"; then fail "non-ASCII bytes under LANG=C"; fi
note "passed"
