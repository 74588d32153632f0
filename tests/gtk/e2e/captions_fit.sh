# Shared by test_captions_fit_*.sh: for each language given, the wizard is
# run from the welcome page to the success page, and on each page every shown
# label's text must fit the width it was given (no clipped caption) and end
# 10 pixels or more before the window's right edge. Sourced after lib.sh.

# clipped_labels: the shown labels whose text is wider than their room, or
# that run into the window's right margin, one a line.
clipped_labels() {
    awk -F'\t' -v w="$WIN" '$1=="R" && $2==w && $3==1 && ($4 > $5 || $6 > 490) {print $4 ">" $5 " edge " $6 ": " $7}' "$DUMP"
}

# check_fit LANGUAGE PAGE: fails naming every clipped label of the page.
# A page just shown may not be laid out yet: it gets a few fresh reports.
check_fit() {
    local clipped end=$((SECONDS + $(scaled 2)))
    while :; do
        refresh_report
        clipped=$(clipped_labels)
        [ -z "$clipped" ] && return 0
        [ "$SECONDS" -lt "$end" ] || break
        sleep 0.1
    done
    fail "-L$1, $2 page: clipped or without margin: $clipped"
}

# fit_languages CODE...: the whole walk for each language.
fit_languages() {
    local code
    # Product records of their own for the languages whose pages are
    # photographed; the others show the placeholders, which must fit too.
    make_ledger_kit --product "zh|账簿模板|示例有限公司|docs/readme.html" \
        --product "hy|Հաշվապահական ձևանմուշներ|Օրինակ ՍՊԸ|docs/readme.html" \
        --product "ka|საბუღალტრო შაბლონები|მაგალითი შპს|docs/readme.html"
    for code in "$@"; do
        rm -rf "$WORK/home/.kelda" "$WORK/home/.KV"
        start_wizard "$(text IDS_WELCOME_TITLE "$code")" "-L$code"
        check_fit "$code" welcome
        case "$code" in zh | hy | ka) screenshot "$WIN" "welcome-$code" ;; esac
        to_directory_page "$code"
        check_fit "$code" directory
        click "$(text IDS_WIZARD_NEXT "$code")"
        wait_until 30 shows "$(text IDS_WIZARD_FINISH "$code")"
        check_fit "$code" success
        click "$(text IDS_WIZARD_FINISH "$code")"
        wait_exit_ok 10 "with -L$code"
    done
}
