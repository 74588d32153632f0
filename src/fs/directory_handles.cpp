// Directory handles, identities and the directory lock: the operations that
// let a run work inside the directories it chose, one level at a time,
// without following a link someone put in their place.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "fs/file_system.h"
#include "fs/native_path.h"
#include "text/string_util.h"

namespace {

FileIdentity IdentityOf(const struct stat& status) {
    FileIdentity identity;
    identity.device = std::uint64_t(status.st_dev);
    identity.inode = std::uint64_t(status.st_ino);
    return identity;
}

}  // namespace

std::uint32_t FileSystem::OpenDirectory(const stdx::string16& path, Handle* directory) {
    stdx::string8 native;
    if (directory == nullptr || !fsdetail::ToNativePath(path, native) || native.empty())
        return fserror::kInvalidParameter;
    const int fd = ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return fserror::kFileNotFound;
    *directory = fd;
    return fserror::kSuccess;
}

std::uint32_t FileSystem::MakeSubdirectory(Handle parent, const stdx::string16& name,
                                           Handle* child) {
    stdx::string8 native;
    if (child == nullptr || !fsdetail::ToNativePath(name, native) || native.empty() ||
        native.find('/') != stdx::string8::npos) {
        return fserror::kInvalidParameter;
    }
    int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    std::uint32_t result = fserror::kSuccess;
    if (::mkdirat(int(parent), native.c_str(), 0777) != 0) {
        if (errno != EEXIST)
            return fserror::kFileNotFound;
        // What was there already is entered as the user set it up: a link
        // to a directory leads into that directory.
        flags &= ~O_NOFOLLOW;
        result = fserror::kAlreadyExists;
    }
    const int fd = ::openat(int(parent), native.c_str(), flags);
    if (fd < 0)
        return fserror::kFileNotFound;
    *child = fd;
    return result;
}

std::uint32_t FileSystem::GetIdentity(Handle handle, FileIdentity* identity) {
    struct stat status;
    if (identity == nullptr || ::fstat(int(handle), &status) != 0)
        return fserror::kInvalidHandle;
    *identity = IdentityOf(status);
    return fserror::kSuccess;
}

std::uint32_t FileSystem::GetPathIdentity(const stdx::string16& path, FileIdentity* identity,
                                          Links links) {
    stdx::string8 native;
    struct stat status;
    if (identity == nullptr || !fsdetail::ToNativePath(path, native))
        return fserror::kFileNotFound;
    const int rc = links == Links::kFollowed ? ::stat(native.c_str(), &status)
                                             : ::lstat(native.c_str(), &status);
    if (rc != 0)
        return fserror::kFileNotFound;
    *identity = IdentityOf(status);
    return fserror::kSuccess;
}

stdx::string16 FileSystem::PathInDirectory(Handle directory, const stdx::string16& name) {
#if defined(__APPLE__)
    // No per-descriptor directory in the file system: the directory's path
    // as the system knows it now (renames followed).
    char path[PATH_MAX];
    stdx::string16 wide;
    if (::fcntl(int(directory), F_GETPATH, path) != 0 || !stdx::widen_exact(path, wide))
        return stdx::string16();
    return wide + stdx::string16(u"/") + name;
#else
    // The kernel resolves the descriptor's entry to the open directory.
    return stdx::string16(u"/proc/self/fd/") + stdx::format_int(int(directory)) +
           stdx::string16(u"/") + name;
#endif
}

std::uint32_t FileSystem::TryLock(Handle handle) {
    if (::flock(int(handle), LOCK_EX | LOCK_NB) == 0)
        return fserror::kSuccess;
    return errno == EWOULDBLOCK ? fserror::kLockedByOther : fserror::kInvalidHandle;
}

std::uint32_t FileSystem::OpenSubdirectory(Handle parent, const stdx::string16& name,
                                           Handle* child) {
    stdx::string8 native;
    if (child == nullptr || !fsdetail::ToNativePath(name, native) || native.empty() ||
        native.find('/') != stdx::string8::npos || native == "..") {
        return fserror::kInvalidParameter;
    }
    const int fd = ::openat(int(parent), native.c_str(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? fserror::kFileNotFound : fserror::kInvalidParameter;
    *child = fd;
    return fserror::kSuccess;
}

std::uint32_t FileSystem::TryLockShared(Handle handle) {
    if (::flock(int(handle), LOCK_SH | LOCK_NB) == 0)
        return fserror::kSuccess;
    return errno == EWOULDBLOCK ? fserror::kLockedByOther : fserror::kInvalidHandle;
}
