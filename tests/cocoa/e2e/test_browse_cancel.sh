#!/usr/bin/env bash
# The "..." button opens the directory panel on the directory page. A
# cancelled panel changes nothing: the entry keeps its text and the wizard
# stays on the directory page.
source "$(dirname "$0")/lib.sh"
e2e_init browse_cancel

make_ledger_kit
start_wizard "$LEDGER_WELCOME"
to_directory_page
proposal=$(text_of NSTextField 1)

click "..."
wait_until 10 eval '[ -n "$(awk -F"\t" "\$1==\"W\" && \$3==\"NSOpenPanel\" {print \$2}" "$DUMP")" ]'
panel=$(awk -F'\t' '$1=="W" && $3=="NSOpenPanel" {print $2; exit}' "$DUMP")
screenshot "$panel" 1-panel
focus "$panel"
click "Cancel" "$panel"
wait_until 10 eval '[ -z "$(awk -F"\t" "\$1==\"W\" && \$3==\"NSOpenPanel\"" "$DUMP")" ]'
[ "$(text_of NSTextField 1)" = "$proposal" ] || fail "the entry changed: $(text_of NSTextField 1)"
shows "$(text IDS_TEMPLATE_CATALOG)" || fail "left the directory page"
note "passed"
