// Unpredictable name parts for temporary files and for the hidden names a
// cross-file-system move copies to before it renames into place.
#pragma once
#include <cstddef>

#include "text/basic_string.h"

namespace fsdetail {

// `length` characters from [A-Za-z0-9], from the system's entropy source.
stdx::string8 RandomNamePart(std::size_t length);

}  // namespace fsdetail
