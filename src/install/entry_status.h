// The type of whatever occupies a path, the path's own entry: a symbolic
// link is reported as a link, never as what it points to. The installation
// uses it to decide what it may move aside and what it must not descend into.
#pragma once
#include <sys/types.h>

#include "text/basic_string.h"

namespace install {

// True when something (a dangling link included) exists at `path`; its mode
// (type and permission bits) goes to *mode when mode is not null.
bool EntryStatus(const stdx::string16& path, mode_t* mode);

}  // namespace install
