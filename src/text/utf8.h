// UTF-8 <-> 16-bit text, independent of the user's locale. The toolkits take
// and give UTF-8, the catalogue tables and kit tools hold UTF-8; going through
// the locale's encoding instead would cut those texts short in a "C" locale.
#pragma once

#include "text/basic_string.h"

namespace stdx {

// Characters beyond 16 bits become surrogate pairs; a lone surrogate, which
// UTF-8 cannot carry, becomes U+FFFD.
string8 to_utf8(const string16& text);

// Strict decoding: overlong forms, surrogates, values past U+10FFFF and cut
// sequences are refused. Returns false on the first such fault, with `out`
// holding the text decoded before it.
bool from_utf8(const string8& text, string16& out);

}  // namespace stdx
