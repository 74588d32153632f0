#!/usr/bin/env bash
# The README's demo run leaves the user's home untouched: with HOME set to an
# empty folder, run-demo.sh (with -S, so it ends by itself) installs into the
# demo's own home under the build directory, and HOME stays empty. The demo
# kit carries product names in every language.
source "$(dirname "$0")/lib.sh"
e2e_init demo_home

: "${DEMO_KIT:?}"
[ -f "$DEMO_KIT" ] || fail "the demo kit is not built: cmake --build <build> --target demo_kit"
demo=$(dirname "$DEMO_KIT")
repo=$(cd "$(dirname "$0")/../../.." && pwd)
mine="$WORK/my home"
mkdir -p "$mine"

BUILD_DIR=$(dirname "$demo") HOME="$mine" \
    bash "$repo/scripts/run-demo.sh" --no-build -S --ui "$SETUP_UI" >"$WORK/demo.out" 2>&1 ||
    fail "run-demo failed: $(cat "$WORK/demo.out")"
grep -q "a home of its own" "$WORK/demo.out" || fail "the demo did not say where it installs"
[ -z "$(ls -A "$mine")" ] || fail "the demo touched HOME: $(ls -A "$mine")"
[ -f "$demo/home/.kelda/KV/kelda/tmplts/docs/readme.html" ] ||
    fail "nothing was installed into the demo's home"
[ -f "$demo/home/.KV/kvlaunch/kvlaunch.cfg" ] || fail "no launcher file in the demo's home"

# The demo kit names its product and provider in every language the
# installer speaks, so no language greets with placeholders.
listing=$("$MKKIT_BIN" list "$DEMO_KIT") || fail "mkkit cannot list the demo kit"
for code in hy az bg zh en fr ka de es hu it kk lv lt pl ro ru tr uk vi ar tk; do
    grep -qE "^description $code: product \"[^<\"][^\"]*\", provider \"[^<\"]" <<<"$listing" ||
        fail "the demo kit has no product and provider for $code"
done
note "passed"
