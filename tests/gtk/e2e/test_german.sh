#!/usr/bin/env bash
# -Lde: every page in German (captions, welcome with the German product
# record, directory page, success page). Finish with the box ticked opens the
# German description with the desktop's opener, the path given as one
# argument however odd the folder's name is.
source "$(dirname "$0")/lib.sh"
e2e_init german

make_tree "$WORK/tree"
cp "$WORK/tree/docs/readme.html" "$WORK/tree/docs/liesmich.html"
make_kit "$WORK/tree" --product "en|Ledger Templates|Example Ltd|docs/readme.html" \
    --product "de|Buchhaltungsvorlagen|Beispiel GmbH|docs/liesmich.html"
start_wizard "Buchhaltungsvorlagen (Beispiel GmbH)" -Lde
[ "$(window_title "$WIN")" = "$(text IDR_MAINFRAME de)" ] || fail "German window title"
shows_containing "$(text IDS_WELCOME_TITLE de)" || fail "German welcome text"
for caption in IDS_WIZARD_BACK IDS_WIZARD_NEXT IDS_WIZARD_CANCEL; do
    shows "$(text $caption de)" || fail "German caption of $caption"
done
all_inside_window || fail "a control runs past the window's edge"
screenshot "$WIN" 1-welcome

# The cancel question speaks German too, whatever the system locale, and
# belongs to the wizard window.
key "$WIN" Escape
wait_until 10 has_message_box
for caption in IDS_MSGBOX_YES IDS_MSGBOX_NO; do
    shows "$(text $caption de)" || fail "the box's $caption is not German"
done
xprop -id "$(message_box)" WM_TRANSIENT_FOR | grep -q "window id" ||
    fail "the message box is not transient for the wizard"
click "$(text IDS_MSGBOX_NO de)"
wait_until 10 no_message_box

to_directory_page de
shows "$(text IDS_DESTINATION_PROMPT de)" || fail "German prompt"

# The chooser: German title and buttons, transient for the wizard.
click "..."
wait_until 10 has_chooser
[ "$(window_title "$(chooser)")" = "$(text IDS_CHOOSEDIR_TITLE de)" ] ||
    fail "chooser title: $(window_title "$(chooser)")"
xprop -id "$(chooser)" WM_TRANSIENT_FOR | grep -q "window id" ||
    fail "the chooser is not transient for the wizard"
shows "$(text IDS_BROWSE_OK de)" || fail "the chooser's select button is not German"
click_in "$(chooser)" "$(text IDS_BROWSE_CANCEL de)"
wait_until 10 no_chooser
all_inside_window || fail "a control runs past the window's edge"
screenshot "$WIN" 2-directory

# Quotes, a dollar sign, a backquote and spaces: a shell would trip on them.
target="$WORK/home/Vorlagen \"neu\" \$HOME \`id\`"
replace_entry "$target"
click "$(text IDS_WIZARD_NEXT de)"

wait_until 30 shows "$(text IDS_SUCCESS_FINISH de)"
shows "$(text IDS_SUCCESS_OPENDESCR de)" || fail "German check box"
shows "$(text IDS_WIZARD_FINISH de)" || fail "German Finish caption"
all_inside_window || fail "a control runs past the window's edge"
screenshot "$WIN" 4-success
same_tree "$WORK/tree" "$target"

click "$(text IDS_WIZARD_FINISH de)"
wait_exit_ok 10
[ -f "$WORK/opened" ] || fail "the description was not opened"
[ "$(cat "$WORK/opened")" = "$target/docs/liesmich.html" ] ||
    fail "opener got: $(cat "$WORK/opened")"
note "passed"
