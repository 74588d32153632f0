// What occupies a path, as one value: whether anything is there, its kind,
// size, last-write time and permission bits. The installation engine decides
// from it what it may move aside, what it must not descend into and whether
// a file on disk is at least as new as the kit's copy, without opening it.
#pragma once
#include <cstdint>

#include "fs/file_time.h"

enum class FileKind {
    kNone,       // nothing at the path (or its status cannot be read)
    kFile,       // a regular file
    kDirectory,  // a directory
    kLink,       // a symbolic link, reported only when links are not followed
    kOther,      // a FIFO, socket or device
};

// Whether FileSystem::Status reports a symbolic link itself or what it leads to.
enum class Links {
    kNotFollowed,  // the path's own entry: a dangling link still exists
    kFollowed,     // what the link leads to: a dangling link is nothing
};

struct FileStatus {
    bool exists = false;
    FileKind kind = FileKind::kNone;
    std::uint64_t size = 0;
    FileTime lastWrite = 0;   // whole seconds
    std::uint32_t mode = 0;   // permission bits (07777), without the type
    std::uint32_t owner = 0;  // user id
    std::uint32_t group = 0;  // group id
    // Which file it is, whatever its name (see FileIdentity).
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};
