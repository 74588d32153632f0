// Captions with a mnemonic. In the catalogue, "&" marks the character that
// presses a button together with Alt ("&Yes", "是(&Y)"); "&&" stands for a
// plain "&". Each toolkit spells the mark its own way, and the console shows
// the caption without it.
#pragma once

#include "text/basic_string.h"

namespace l10n {

// The marked character of a UTF-8 caption, 0 when the caption has none.
char32_t MnemonicOf(const stdx::string8& caption);

// The caption without its mark ("&Yes" -> "Yes", "&&" -> "&").
stdx::string8 WithoutMnemonic(const stdx::string8& caption);

// The caption in GTK's spelling: the mark becomes "_", a plain "_" is doubled.
stdx::string8 UnderlineMnemonic(const stdx::string8& caption);

// The first character of a UTF-8 text, 0 when it is empty or not UTF-8.
char32_t FirstCharacter(const stdx::string8& text);

// `c` in lower case by the process locale's rules (Cyrillic "Д" -> "д" in any
// UTF-8 locale); mnemonics and typed answers are compared this way.
char32_t FoldCase(char32_t c);

}  // namespace l10n
