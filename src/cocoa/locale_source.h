// The user's locale for the language choice at start-up, from NSLocale.
#pragma once
#include "text/basic_string.h"

namespace cocoa {

// Locale source for ScanStartupOptions: the identifier of NSLocale's current
// locale (e.g. "de_DE"). When LANG is unset or empty it is set to the
// identifier followed by ".UTF-8", so that the text conversions run in UTF-8.
// Returns false, and leaves LANG alone, when the locale has no identifier.
bool CurrentLocaleName(stdx::string8& name);

}  // namespace cocoa
