// Texts for the terminal: the catalogue and the kit hold UTF-8, the terminal
// takes the locale's encoding. A language the terminal cannot show is
// replaced by English before anything is printed, rather than printing
// characters the terminal would garble.
#pragma once
#include <string>

#include "l10n/startup_options.h"

namespace console {

// `utf8` in the locale's encoding; a character the encoding cannot hold
// becomes "?" (only names from a kit or a user can still have one once the
// language fits).
std::string ToTerminal(const std::string& utf8);

// Screen columns of `text` (in the locale's encoding): a wide character
// (Chinese, say) counts two, a combining one none, an unreadable byte one.
size_t DisplayColumns(const std::string& text);

// The end of `text` (in the locale's encoding) that fits in `columns`, with
// "..." in front where it was cut; never starts inside a character.
std::string FitTail(const std::string& text, size_t columns);

// True when every character of `utf8` has a form in the locale's encoding.
bool FitsTerminal(const std::string& utf8);

// True when every text the console shows has a form in the locale's
// encoding in the current language.
bool CatalogueFitsTerminal();

// When the current language does not fit the terminal, makes English the
// current language and the dialog's language. Returns true when it did.
bool FallBackToEnglishIfNeeded(StartupOptions& options);

}  // namespace console
