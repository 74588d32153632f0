// lstat-based existence and type of a path (see entry_status.h).
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

bool IsSafeToOpen(const stdx::string16& path) {
    stdx::string8 native;
    struct stat status;
    if (!fsdetail::ToNativePath(path, native) || stat(native.c_str(), &status) != 0) {
        return false;
    }
    return S_ISREG(status.st_mode) || S_ISDIR(status.st_mode);
}

}  // namespace install
