#!/usr/bin/env bash
# -Lru on a terminal: the prompts and the yes/no choices are Russian, and
# "д" / "н" answer the cancel question (as do y and n). On an 80-column
# terminal the copy's line, measured in screen columns, still shows the
# file name "a.txt" after the Russian caption.
source "$(dirname "$0")/lib.sh"
console_init russian
mkdir -p "$WORK/tree"
echo "alpha" >"$WORK/tree/a.txt"
"$MKKIT_BIN" create --quiet -o "$WORK/kit/kelda.efd" -C "$WORK/tree" \
    --product "ru|Шаблоны|Пример|" >/dev/null || fail "mkkit could not build the kit"
export SETUP_LANG=ru_RU.UTF-8 PTY_COLUMNS=80
question="$(text IDS_ACCEPT_CANCEL ru) [д/н]"

# Ctrl-C at the prompt asks in Russian; "н" goes back to the prompt, "д"
# cancels.
run_on_pty "expect:$(text IDS_TEMPLATE_CATALOG ru);;int;;expect:$question;;send:н;;expect:$(text IDS_TEMPLATE_CATALOG ru);;int;;expect:$question;;send:д;;expect:$(text IDS_CANCEL_FINISH ru)" --console -Lru
expect_status 3 "after \"д\""
out_has "Шаблоны (Пример)"
nothing_installed

target="$WORK/target"
run_on_pty "expect:$(text IDS_TEMPLATE_CATALOG ru);;send:$target;;expect:$(text IDS_SUCCESS_FINISH ru)" --console -Lru
expect_status 0 "after the install"
out_has "$(text IDS_PROGRESS_START ru) ["
out_has "100%  a.txt"
[ "$(cat "$target/a.txt")" = alpha ] || fail "a.txt not installed"
note "passed"
