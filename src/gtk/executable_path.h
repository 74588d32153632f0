// The full path of the running executable on Linux, from the link
// "/proc/self/exe", however long the path is.
#pragma once
#include "text/basic_string.h"

namespace gtkfront {

// Target of "/proc/self/exe" (or of `link`, for tests) as bytes; empty when
// the link cannot be read or is empty.
stdx::string8 ReadExecutablePath(const char* link = "/proc/self/exe");

}  // namespace gtkfront
