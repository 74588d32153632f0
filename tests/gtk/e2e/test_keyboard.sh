#!/usr/bin/env bash
# The wizard by keyboard alone, in English and German: Escape asks to cancel
# and the box's No answers to Alt and its letter; Return goes on from the
# welcome page and from the directory entry; Tab moves through the directory
# page in reading order; the empty-entry box closes with its OK letter; the
# copy ends on the success page. English ends with Escape and the Yes
# letter; German with Return on Finish, where no opener is installed, so the
# page names the description it could not open and the next Return closes.
source "$(dirname "$0")/lib.sh"
e2e_init keyboard

make_tree "$WORK/tree"
make_kit "$WORK/tree" --product "$LEDGER_PRODUCT" \
    --product "de|Buchhaltungsvorlagen|Beispiel GmbH|docs/readme.html"

# press_in_box KEY: waits for a box and presses Alt with the letter of KEY.
press_in_box() {
    wait_until 10 has_message_box
    key "$(message_box)" "alt+$(mnemonic "$1" "$code")"
}

# answer_box KEY: press_in_box, and the box goes while the wizard stays.
answer_box() {
    press_in_box "$1"
    wait_until 10 no_message_box
}

for code in en de; do
    welcome=$LEDGER_WELCOME
    [ "$code" = en ] || welcome="Buchhaltungsvorlagen (Beispiel GmbH)"
    start_wizard "$welcome" "-L$code"

    key "$WIN" Escape
    wait_until 10 shows "$(text IDS_ACCEPT_CANCEL "$code")"
    answer_box IDS_MSGBOX_NO
    shows_containing "$welcome" || fail "welcome page gone after No ($code)"

    key "$WIN" Return
    wait_until 10 shows "$(text IDS_TEMPLATE_CATALOG "$code")"

    # Tab reaches the entry, then goes on in reading order.
    for _ in $(seq 8); do
        refresh_report
        focus_is GtkEntry && break
        key "$WIN" Tab
    done
    focus_is GtkEntry || fail "Tab never reached the entry ($code): $(focused)"
    for caption in "..." "$(text IDS_WIZARD_BACK "$code")" "$(text IDS_WIZARD_NEXT "$code")" \
        "$(text IDS_WIZARD_CANCEL "$code")"; do
        key "$WIN" Tab
        wait_until 5 focus_is GtkButton "$caption"
    done
    key "$WIN" Tab
    wait_until 5 focus_is GtkEntry

    # Return in an emptied entry: the box says why; its OK letter closes it.
    key "$WIN" ctrl+a BackSpace Return
    wait_until 10 shows "$(text IDS_SETUP_EMPTYTARGET "$code")"
    answer_box IDS_MSGBOX_OK
    target="$WORK/target-$code"
    type_into "$WIN" "$target"
    wait_until 5 entry_is "$target"

    # Escape in the entry asks too; No keeps what was typed.
    key "$WIN" Escape
    answer_box IDS_MSGBOX_NO
    entry_is "$target" || fail "the typed path changed ($code)"

    key "$WIN" Return
    wait_until 20 shows "$(text IDS_SUCCESS_FINISH "$code")"
    same_tree "$WORK/tree" "$target"
    if [ "$code" = en ]; then
        key "$WIN" Escape
        press_in_box IDS_MSGBOX_YES
        wait_exit_ok 10 "after Yes ($code)"
        [ ! -s "$WORK/opened" ] || fail "the description was opened after cancelling"
        continue
    fi
    rm "$WORK/bin/xdg-open"
    key "$WIN" Return
    wait_until 10 shows_containing "$target/docs/readme.html"
    screenshot "$WIN" "$code-no-opener"
    key "$WIN" Return
    wait_exit_ok 10 "after Finish ($code)"
done
note "passed"
