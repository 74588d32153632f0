// Permission bits and owner carried over from an earlier version of a file to
// the one that replaces it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "fs/file_system.h"
#include "fs/native_path.h"

std::uint32_t FileSystem::CopyPermissions(const stdx::string16& path, const FileStatus& like) {
    stdx::string8 native;
    if (!fsdetail::ToNativePath(path, native)) {
        fsdetail::SetLastError(87);
        return 87;
    }
    // Owner first: changing it may clear set-id bits, which the chmod after
    // puts back.
    if (::lchown(native.c_str(), uid_t(like.owner), gid_t(like.group)) != 0) {
        // Not ours to give away, or only the group may change.
        if (::lchown(native.c_str(), uid_t(-1), gid_t(like.group)) != 0) {
            errno = 0;
        }
    }
    if (::fchmodat(AT_FDCWD, native.c_str(), mode_t(like.mode & 07777), 0) != 0) {
        const std::uint32_t code = fsdetail::CodeFromErrno(errno);
        fsdetail::SetLastError(code);
        return code;
    }
    return 0;
}
