// Free operations on the string types: replace-all, case-insensitive compare,
// number formatting, and the conversions between the 16-bit text type and the
// environment's multibyte encoding.
#pragma once
#include <cstdint>
#include <string>

#include "text/basic_string.h"

namespace stdx {

// Replaces every non-overlapping occurrence of `from` by `to`, left to right;
// returns the number of replacements (0 when `from` or `text` is empty).
size_t replace_all(string16& text, const string16& from, const string16& to);

// Compares both texts in the environment's encoding with strcasecmp rules
// (with UTF-8 text, ASCII letters fold).
int compare_nocase(const string16& a, const string16& b);
// A key that two texts share exactly when compare_nocase finds them equal:
// for hash sets and maps, so that a long list is checked in linear time.
std::string fold_nocase(const string16& text);

// Digits of `value` in `base` (2..36), lowercase, no prefix; base 10 writes a
// sign, other bases the 32-bit two's-complement pattern.
string16 format_int(int32_t value, int base = 10);

// `text` with every control character (U+0000..U+001F, U+007F..U+009F)
// written as "\xHH": a name from a kit or a user shown as text, so that a
// line break or a terminal's escape sequence in it shows instead of acting.
string16 escape_controls(const string16& text);

// 16-bit text to the environment's multibyte encoding; each unit is one wide
// character (surrogates are not combined). Stops at the first zero unit. Text
// the encoding cannot represent yields its convertible prefix.
string8 narrow(const string16& text);

// Multibyte text to 16-bit units; characters beyond 16 bits are truncated to
// their low 16 bits. An invalid sequence yields the convertible prefix.
string16 widen(const string8& text);

// narrow and widen that refuse to lose anything: false when the result does
// not convert back to exactly `text` (a character the locale cannot represent,
// a zero unit, an invalid sequence). The cut-short result would name another
// file, key or directory, so callers that touch the disk use these.
bool narrow_exact(const string16& text, string8& out);
bool widen_exact(const string8& text, string16& out);

// Selects the environment's locale for the process (setlocale(LC_ALL, ""))
// and for every later conversion. Call once at start-up, before other threads
// exist; conversions that run earlier select it themselves on first use.
void select_environment_locale();

}  // namespace stdx
