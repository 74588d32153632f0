// Exclusive, owner-only directory creation (see private_directory.h).
#include "install/private_directory.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>

#include "fs/fs_codes.h"
#include "fs/native_path.h"

namespace install {

std::uint32_t MakePrivateDirectory(const stdx::string16& path) {
    stdx::string8 native;
    if (!fsdetail::ToNativePath(path, native) || native.empty()) {
        return fserror::kInvalidParameter;
    }
    // mkdir fails with EEXIST on any existing entry, a dangling link
    // included, so the directory is ours alone once this succeeds.
    if (mkdir(native.c_str(), 0700) == 0) {
        // The umask may have taken bits away, never added; make the mode exact.
        chmod(native.c_str(), 0700);
        return fserror::kSuccess;
    }
    if (errno == EEXIST) {
        return fserror::kAlreadyExists;
    }
    return errno == ENOENT ? fserror::kFileNotFound : fserror::kInvalidParameter;
}

}  // namespace install
