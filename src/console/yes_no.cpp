// Yes/no answers in the current language; see yes_no.h.
#include "console/yes_no.h"

#include <cwchar>

#include "l10n/localization.h"
#include "l10n/mnemonic.h"
#include "text/utf8.h"

namespace console {

namespace {

using Word = std::u32string;

// Lower-case characters of a UTF-8 text.
Word FoldedUtf8(const stdx::string8& utf8) {
    stdx::string16 text;
    stdx::from_utf8(utf8, text);
    Word word;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        word += l10n::FoldCase(c);
    }
    return word;
}

// Lower-case characters of a typed line, without blanks around it; empty
// when the line is not text of the locale's encoding.
Word FoldedTyped(const std::string& typed) {
    Word word;
    std::mbstate_t state{};
    const char* at = typed.data();
    size_t left = typed.size();
    while (left > 0) {
        wchar_t c = 0;
        const size_t n = std::mbrtowc(&c, at, left, &state);
        if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2)) {
            return Word();
        }
        const size_t used = n == 0 ? 1 : n;
        at += used;
        left -= used;
        word += l10n::FoldCase(static_cast<char32_t>(c));
    }
    const size_t first = word.find_first_not_of(U" \t");
    if (first == Word::npos) {
        return Word();
    }
    return word.substr(first, word.find_last_not_of(U" \t") - first + 1);
}

// The current language's word for `key` ("IDS_MSGBOX_YES"), without its
// mnemonic mark, in lower case.
Word LanguageWord(const char* key) {
    return FoldedUtf8(l10n::WithoutMnemonic(GetLocalizedUtf8(key)));
}

bool Matches(const Word& typed, const Word& word, char32_t latin) {
    if (typed.empty()) {
        return false;
    }
    if (typed.size() == 1 && typed[0] == latin) {
        return true;
    }
    return !word.empty() && (typed == word || (typed.size() == 1 && typed[0] == word[0]));
}

std::string FirstLetterUtf8(const Word& word, char32_t fallback) {
    const char32_t c = word.empty() ? fallback : word[0];
    stdx::string16 text;
    if (c >= 0x10000) {
        text += char16_t(0xD800 + ((c - 0x10000) >> 10));
        text += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        text += char16_t(c);
    }
    const stdx::string8 utf8 = stdx::to_utf8(text);
    return std::string(utf8.c_str(), utf8.size());
}

}  // namespace

YesNo ReadYesNo(const std::string& typed) {
    const Word answer = FoldedTyped(typed);
    // The words "yes" and "no" are understood in every language.
    if (Matches(answer, LanguageWord("IDS_MSGBOX_YES"), U'y') || answer == U"yes") {
        return YesNo::kYes;
    }
    if (Matches(answer, LanguageWord("IDS_MSGBOX_NO"), U'n') || answer == U"no") {
        return YesNo::kNo;
    }
    return YesNo::kUnclear;
}

std::string YesNoChoices() {
    return "[" + FirstLetterUtf8(LanguageWord("IDS_MSGBOX_YES"), U'y') + "/" +
           FirstLetterUtf8(LanguageWord("IDS_MSGBOX_NO"), U'n') + "]";
}

}  // namespace console
