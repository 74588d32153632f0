#!/usr/bin/env bash
# The whole wizard through the accessibility bus only, in English and in
# German: names, caption relations, the decorative picture, only the current
# page's controls, the progress value, the boxes' texts and buttons, and the
# window's own properties (500 x 360, not resizable, modal, Next the
# default button). The X server's view of the size hints is read too.
source "$(dirname "$0")/lib.sh"
accessibility_bus "$0" "$@"
e2e_init accessibility

make_large_kit 3000 4096
for code in en de; do
    target="$WORK/target-$code"
    # The large kit names its product in English only.
    welcome=$LARGE_WELCOME
    [ "$code" = en ] || welcome="$(text IDS_DEFPRODUCT "$code") ($(text IDS_DEFPROVIDER "$code"))"
    start_wizard "$welcome" "-L$code"
    hints=$(xprop -id "$WIN" WM_NORMAL_HINTS)
    grep -q "minimum size: 500 by 360" <<<"$hints" &&
        grep -q "maximum size: 500 by 360" <<<"$hints" || fail "size hints: $hints"
    atspi_walk "$target" "$code" "$welcome"
    wait_exit_ok 30 "after Finish ($code)"
    large_kit_installed "$target" 3000 4096
    [ ! -s "$WORK/opened" ] || fail "the description was opened with the box cleared"
done
note "passed"
