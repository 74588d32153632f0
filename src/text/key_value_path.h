// The 8-bit form of a key=value file's path, shared by the reader and the
// writer of key_value_file.h.
#pragma once

#include "text/basic_string.h"
#include "text/string_util.h"

namespace keyvalue_detail {

// False when `path` is empty, holds U+0000 or has characters the locale
// cannot represent: stdx::narrow would yield a prefix of it, which names
// another file (often a directory above it).
inline bool NativePath(const stdx::string16& path, stdx::string8& out) {
    if (path.empty())
        return false;
    return stdx::narrow_exact(path, out);
}

}  // namespace keyvalue_detail
