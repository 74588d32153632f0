// The type of whatever occupies a path, the path's own entry: a symbolic
// link is reported as a link, never as what it points to. The installation
// uses it to decide what it may move aside and what it must not descend into,
// and which entries it may open for the freshness test without blocking.
#pragma once
#include <sys/types.h>

#include "text/basic_string.h"

namespace install {

// True when something (a dangling link included) exists at `path`; its mode
// (type and permission bits) goes to *mode when mode is not null.
bool EntryStatus(const stdx::string16& path, mode_t* mode);

// Whether opening `path` for reading can neither block nor touch a device:
// true for a regular file or a directory, reached directly or through
// symbolic links. False for a FIFO, socket or device, a dangling link, or
// nothing at all.
bool IsSafeToOpen(const stdx::string16& path);

}  // namespace install
