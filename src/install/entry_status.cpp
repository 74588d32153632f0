// Status of a path: its own entry (lstat) and the last-write time of what it
// leads to (stat); see entry_status.h.
#include "install/entry_status.h"

#include <sys/stat.h>

#include "fs/native_path.h"

namespace install {

bool EntryStatus(const stdx::string16& path, mode_t* mode) {
    stdx::string8 native;
    struct stat status;
    if (!fsdetail::ToNativePath(path, native) || lstat(native.c_str(), &status) != 0) {
        return false;
    }
    if (mode != nullptr) {
        *mode = status.st_mode;
    }
    return true;
}

bool LastWriteTime(const stdx::string16& path, FileTime* time) {
    stdx::string8 native;
    struct stat status;
    if (!fsdetail::ToNativePath(path, native) || stat(native.c_str(), &status) != 0) {
        return false;
    }
    if (!S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode)) {
        return false;
    }
    *time = filetime::FromPosixSeconds(status.st_mtime);
    return true;
}

}  // namespace install
