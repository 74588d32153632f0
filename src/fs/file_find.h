// State of one directory enumeration or existence test (FileSystem::
// FindFirstFile / FindNextFile / FindClose). Owned by the caller, normally as
// a local variable; belongs to one thread.
#pragma once
#include <dirent.h>
#include <sys/stat.h>

#include <cstring>

#include "text/basic_string.h"

struct FileFind {
    stdx::string16 mask;         // last path component of the pattern
    stdx::string16 pattern;      // the whole pattern as passed in
    stdx::string16 currentName;  // name of the current entry
    DIR* directory = nullptr;    // open only while a wildcard enumeration has entries left
    struct stat status;          // status of the current entry (links are not followed)

    FileFind() { std::memset(&status, 0, sizeof status); }
    // FindClose is the documented clean-up; this only keeps a forgotten
    // stream from leaking.
    ~FileFind() {
        if (directory)
            closedir(directory);
    }
    FileFind(const FileFind&) = delete;
    FileFind& operator=(const FileFind&) = delete;
};
