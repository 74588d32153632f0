#!/usr/bin/env bash
# With LANG empty the language comes from NSLocale (de_DE here, set in the
# sandbox's GNUstep defaults): the pages are German, and LANG is filled in as
# de_DE.UTF-8 for the process and what it starts. Finish with the box ticked
# opens the installed description document with the desktop's opener,
# started directly with the path as its only argument.
source "$(dirname "$0")/lib.sh"
e2e_init locale_and_open

make_ledger_kit --product "de|Vorlagen|Beispiel GmbH|docs/readme.html"
sed -i 's|<dict>|<dict>\n    <key>Locale</key>\n    <string>de_DE</string>|' \
    "$WORK/gnustep/Defaults/NSGlobalDomain.plist"
# A stand-in for the opener that notes how it was started.
mkdir -p "$WORK/bin"
cat >"$WORK/bin/xdg-open" <<SCRIPT
#!/bin/sh
printf '%s\n%s\n%s\n' "\$#" "\$1" "\$LANG" >"$WORK/opened"
SCRIPT
chmod +x "$WORK/bin/xdg-open"

SETUP_LANG="" SETUP_PATH="$WORK/bin:$PATH" start_wizard "Vorlagen (Beispiel GmbH)"
shows_containing "$(text IDS_WELCOME_TITLE de)" || fail "the welcome page is not German"
to_directory_page de
target=$(text_of NSTextField 1)
click "$(text IDS_WIZARD_NEXT de)"
wait_until 20 shows "$(text IDS_SUCCESS_FINISH de)"
[ "$(control_field NSButton "$(text IDS_SUCCESS_OPENDESCR de)" 10)" = 1 ] ||
    fail "open-description box not ticked"
click "$(text IDS_WIZARD_FINISH de)"
wait_exit_ok 10

wait_file 10 "$WORK/opened"
{
    read -r count
    read -r path
    read -r lang
} <"$WORK/opened"
[ "$count" = 1 ] || fail "the opener got $count arguments"
[ "$path" -ef "$target/docs/readme.html" ] || fail "the opener got \"$path\""
[ "$lang" = "de_DE.UTF-8" ] || fail "LANG is \"$lang\", not de_DE.UTF-8"
note "passed"
