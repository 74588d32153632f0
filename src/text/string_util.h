// PROVISIONAL: free operations on the string types (final signatures).
#pragma once
#include <cstdint>
#include "text/basic_string.h"

namespace stdx {

// Replaces every non-overlapping occurrence of `from` by `to`; returns the count.
size_t replace_all(string16& text, const string16& from, const string16& to);
// strcasecmp of both texts in the environment's multibyte encoding.
int compare_nocase(const string16& a, const string16& b);
string16 format_int(int32_t value, int base = 10);
string8 narrow(const string16& text);
string16 widen(const string8& text);

}  // namespace stdx
