// Mnemonic marks in captions; see mnemonic.h.
#include "l10n/mnemonic.h"

#include <cwctype>

#include "text/utf8.h"

namespace l10n {

namespace {

// Length of the UTF-8 sequence that starts with `lead` (1 for a stray byte,
// so a damaged caption is still walked to its end).
size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0) {
        return 4;
    }
    if (lead >= 0xE0) {
        return 3;
    }
    if (lead >= 0xC0) {
        return 2;
    }
    return 1;
}

}  // namespace

char32_t FirstCharacter(const stdx::string8& text) {
    if (text.empty()) {
        return 0;
    }
    const size_t length = SequenceLength(static_cast<unsigned char>(text[0]));
    stdx::string16 decoded;
    if (!stdx::from_utf8(text.substr(0, length), decoded) || decoded.empty()) {
        return 0;
    }
    char32_t c = decoded[0];
    if (c >= 0xD800 && c < 0xDC00 && decoded.size() > 1) {
        c = 0x10000 + ((c - 0xD800) << 10) + (decoded[1] - 0xDC00);
    }
    return c;
}

char32_t MnemonicOf(const stdx::string8& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') {
            continue;
        }
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return FirstCharacter(caption.substr(i + 1));
    }
    return 0;
}

stdx::string8 WithoutMnemonic(const stdx::string8& caption) {
    stdx::string8 plain;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
        }
        plain += caption[i];
    }
    return plain;
}

stdx::string8 UnderlineMnemonic(const stdx::string8& caption) {
    stdx::string8 gtk;
    for (size_t i = 0; i < caption.size(); ++i) {
        const char c = caption[i];
        if (c == '_') {
            gtk += "__";
            continue;
        }
        if (c == '&' && i + 1 < caption.size()) {
            ++i;
            if (caption[i] == '&') {
                gtk += '&';
                continue;
            }
            gtk += '_';
        }
        gtk += caption[i];
    }
    return gtk;
}

char32_t FoldCase(char32_t c) {
    return static_cast<char32_t>(std::towlower(static_cast<wint_t>(c)));
}

}  // namespace l10n
