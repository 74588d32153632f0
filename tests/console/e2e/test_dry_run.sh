#!/usr/bin/env bash
# --dry-run with no display against a directory holding an older, a newer
# and a missing kit file: one line per kit file with the right word, a
# summary with the counts and the bytes that would be written, status 0, and
# nothing changed (the tree, TMPDIR, no launcher file); a blocked file, with
# the status the real run then ends with.
source "$(dirname "$0")/lib.sh"
console_init dry_run
make_ledger_kit

target="$WORK/target"
mkdir -p "$target/accounting/reports" "$target/trade"
echo "older" >"$target/accounting/template.cfg"
touch -d '2020-01-01 00:00:00 UTC' "$target/accounting/template.cfg"
echo "newer" >"$target/trade/template.cfg"
touch -d '2030-01-01 00:00:00 UTC' "$target/trade/template.cfg"
echo "same age" >"$target/trade/prices.csv"
touch -d '2024-03-01 12:00:00 UTC' "$target/trade/prices.csv"
before=$(snapshot "$target")

run_setup --dry-run --dir "$target" </dev/null
expect_status 0
word_for() {
    awk -v p="$1" '$2 == p {print $1}' "$WORK/out"
}
[ "$(word_for accounting/template.cfg)" = update ] || fail "older file: $(word_for accounting/template.cfg)"
[ "$(word_for trade/template.cfg)" = keep ] || fail "newer file: $(word_for trade/template.cfg)"
[ "$(word_for trade/prices.csv)" = keep ] || fail "equally old file"
[ "$(word_for accounting/reports/balance.rpt)" = new ] || fail "missing file"
[ "$(word_for docs/readme.html)" = new ] || fail "missing file"
bytes=$(($(stat -c %s "$WORK/tree/accounting/template.cfg") +
    $(stat -c %s "$WORK/tree/accounting/reports/balance.rpt") +
    $(stat -c %s "$WORK/tree/docs/readme.html")))
out_has "New: 2, to update: 1, kept: 2, blocked: 0; $bytes bytes would be written."
[ "$(snapshot "$target")" = "$before" ] || fail "the dry run changed the directory"
[ ! -e "$(launcher_file)" ] || fail "the dry run wrote the launcher file"
no_leftovers

# A directory where the kit has a file: the line says why, and the status is
# the one the real run ends with.
mkdir -p "$WORK/blocked/docs/readme.html"
before=$(snapshot "$WORK/blocked")
run_setup --dry-run --dir "$WORK/blocked" </dev/null
expect_status 1 "with a blocked file"
out_has "blocked docs/readme.html: a directory is in the way"
out_has "New: 4, to update: 0, kept: 0, blocked: 1;"
[ "$(snapshot "$WORK/blocked")" = "$before" ] || fail "the dry run changed the blocked directory"
run_setup --console -S --dir "$WORK/blocked" </dev/null
expect_status 1 "of the real run into the blocked directory"
[ "$(snapshot "$WORK/blocked")" = "$before" ] || fail "the failed run left changes"
rm -f "$(launcher_file)"

# Into the proposal, which does not exist: everything is new, nothing made.
run_setup --dry-run </dev/null
expect_status 0 "into the proposal"
[ "$(grep -c '^new ' "$WORK/out")" = 5 ] || fail "not five new files"
nothing_installed
note "passed"
