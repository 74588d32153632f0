// The type of whatever occupies a path, the path's own entry: a symbolic
// link is reported as a link, never as what it points to. The installation
// uses it to decide what it may move aside and what it must not descend into.
// Also the last-write time of what a path leads to, for the freshness test.
#pragma once
#include <sys/types.h>

#include "fs/file_time.h"
#include "text/basic_string.h"

namespace install {

// True when something (a dangling link included) exists at `path`; its mode
// (type and permission bits) goes to *mode when mode is not null.
bool EntryStatus(const stdx::string16& path, mode_t* mode);

// The last-write time, in whole seconds, of the regular file or directory
// that `path` leads to (symbolic links followed), read from its status: the
// entry is never opened, so a FIFO cannot block and a file without read
// permission still has its time. False for a FIFO, socket or device, a
// dangling link, or nothing at all.
bool LastWriteTime(const stdx::string16& path, FileTime* time);

}  // namespace install
