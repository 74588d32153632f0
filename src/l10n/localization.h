// The built-in message catalogue: every text the installer shows, looked up
// by key ("IDS_..." / "IDR_...") in the language chosen once at start-up.
//
// Languages are numbered; the numbers and two-letter codes are fixed:
//    1 hy   2 az   3 bg   4 zh   5 en   6 fr   7 ka   8 de
//    9 es  10 hu  11 it  12 kk  13 lv  14 lt  15 pl  16 ro
//   17 ru  19 tr  20 uk  21 vi  22 ar  23 tk      (18 is unused)
// "ar" carries the English texts. Every table holds the same keys.
//
// The catalogue is read-only after start-up; the user-interface thread and
// the installation worker may both call GetLocalizedString without a lock.
#pragma once

#include <initializer_list>

#include "text/basic_string.h"

// Number of the language used until start-up chooses another ("en").
constexpr int kDefaultLanguageNumber = 5;

// Text of `key` in the current language, widened from UTF-8. Empty when the
// key is unknown or the current language has no table; there is no fallback
// to English or to the key itself.
stdx::string16 GetLocalizedString(const stdx::string8& key);
stdx::string16 GetLocalizedString(const char* key);

// The same text as UTF-8, the encoding every toolkit takes, whatever the
// user's locale.
stdx::string8 GetLocalizedUtf8(const char* key);

// `pattern` with "%1" ... "%9" replaced by the matching entry of `args`, in
// one pass: an argument that itself holds "%2" (a path, say) stays as it is.
// A placeholder without an argument is left in place.
stdx::string16 FormatText(const stdx::string16& pattern,
                          std::initializer_list<stdx::string16> args);
// The text of `key` in the current language, filled in the same way.
stdx::string16 FormatLocalized(const char* key, std::initializer_list<stdx::string16> args);

// Number of the language whose code equals `code` byte for byte
// (case-sensitive, same length); 0 when there is none.
int FindLanguage(const stdx::string8& code);

// Selects the language for every later GetLocalizedString. Meant to be called
// once, before the worker thread exists.
void SetCurrentLanguage(int number);
int GetCurrentLanguage();
