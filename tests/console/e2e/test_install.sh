#!/usr/bin/env bash
# A full console install with no display: on a pseudo-terminal (the welcome
# text, the prompt with the proposal, a typed directory whose name holds
# spaces and shell characters, the progress line redrawn in place, the
# outcome), and with answers piped in (an empty line accepts the proposal,
# plain percentage lines). Both install the kit exactly and list the chosen
# directory first in the launcher file.
source "$(dirname "$0")/lib.sh"
console_init install
make_ledger_kit

# On a terminal: a path that a shell would split or expand is used as typed.
target="$WORK/my templates; \$(touch x) 'q'"
run_on_pty "expect:$(text IDS_TEMPLATE_CATALOG) [$(default_dir)/];;send:$target;;expect:$(text IDS_SUCCESS_FINISH)"
expect_status 0 "of the terminal run"
out_has "$LEDGER_WELCOME"
out_has "$(text IDS_DESTINATION_PROMPT)"
grep -q $'\r'"$(text IDS_PROGRESS_START) \[" "$WORK/out" || fail "no progress line redrawn in place"
out_has "100%"
same_tree "$WORK/tree" "$target"
launcher_lists_first "$target"
[ ! -e "$WORK/kit/x" ] || fail "the typed name was run by a shell"
[ ! -e "$(default_dir)" ] || fail "the proposal was used instead of the typed directory"
no_leftovers

# Piped: an empty answer accepts the proposal, which is now the directory
# just installed; every file is as new as the kit's and is kept.
before=$(snapshot "$target")
printf '\n' | run_setup
expect_status 0 "of the piped run"
out_has "$(text IDS_TEMPLATE_CATALOG) [$target]"
grep -qx "100%" "$WORK/out" || fail "no plain percentage line"
if grep -q $'\r' "$WORK/out"; then fail "a redrawn line on a pipe"; fi
out_has "$(text IDS_SUCCESS_FINISH)"
[ "$(snapshot "$target")" = "$before" ] || fail "the second run changed files"
[ ! -s "$WORK/err" ] || fail "errors printed: $(cat "$WORK/err")"

# Refused answers are asked again: empty proposal aside, a file in the
# directory's place, then a directory that cannot be written.
: >"$WORK/a file"
mkdir "$WORK/locked" && chmod 555 "$WORK/locked"
answers="$WORK/a file"$'\n'
[ "$(id -u)" = 0 ] || answers+="$WORK/locked/sub"$'\n'
answers+="$WORK/third"$'\n'
printf '%s' "$answers" | run_setup
expect_status 0 "after refused answers"
err_has "$(text IDS_ERROR_NOTWRITABLE)"
same_tree "$WORK/tree" "$WORK/third"
[ ! -e "$WORK/locked/sub" ] || fail "the locked directory got a subdirectory"
launcher_lists_first "$WORK/third"
note "passed"
