// Owner-only files that the installation keeps for itself: the run record
// beside the staging directory (exclusive creation, a lock that tells a live
// run from a dead one, the flush to disk) and the unnamed kit image.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "fs/file_system.h"
#include "fs/native_path.h"
#include "fs/random_name.h"

namespace {

constexpr int kNameAttempts = 100;

std::uint32_t CreateCode(int error) {
    if (error == EEXIST) {
        return fserror::kAlreadyExists;
    }
    return fsdetail::CodeFromErrno(error);
}

}  // namespace

std::uint32_t FileSystem::CreatePrivateFile(const stdx::string16& path, Handle* handle) {
    stdx::string8 native;
    if (handle == nullptr || !fsdetail::ToNativePath(path, native) || native.empty()) {
        return fserror::kInvalidParameter;
    }
    const int fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return CreateCode(errno);
    }
    // The umask may have taken bits away, never added; make the mode exact.
    ::fchmod(fd, 0600);
    *handle = fd;
    return fserror::kSuccess;
}

std::uint32_t FileSystem::OpenPrivateFile(const stdx::string16& path, Handle* handle) {
    stdx::string8 native;
    if (handle == nullptr || !fsdetail::ToNativePath(path, native) || native.empty()) {
        return fserror::kInvalidParameter;
    }
    // O_NONBLOCK: a FIFO planted under the name must not make us wait.
    const int fd = ::open(native.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return fsdetail::CodeFromErrno(errno);
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
        (st.st_mode & 077) != 0) {
        ::close(fd);
        return fserror::kInvalidParameter;
    }
    *handle = fd;
    return fserror::kSuccess;
}

std::uint32_t FileSystem::CreateLockedPrivateFile(const stdx::string16& path, Handle* handle) {
    stdx::string8 native;
    if (handle == nullptr || !fsdetail::ToNativePath(path, native) || native.empty() ||
        native[native.size() - 1] == '/') {
        return fserror::kInvalidParameter;
    }
    const std::size_t slash = native.rfind('/');
    const stdx::string8 parent =
        slash == stdx::string8::npos ? stdx::string8(".") : native.substr(0, slash + 1);
#if defined(O_TMPFILE) && defined(__linux__)
    int fd = ::open(parent.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::fchmod(fd, 0600);
        ::flock(fd, LOCK_EX | LOCK_NB);
        const stdx::string8 self = "/proc/self/fd/" + stdx::string8(std::to_string(fd).c_str());
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, native.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            *handle = fd;
            return fserror::kSuccess;
        }
        const int error = errno;
        ::close(fd);
        if (error != ENOENT && error != EPERM && error != EOPNOTSUPP)
            return CreateCode(error);
        // No /proc to link from: the named way below.
    }
#endif
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const stdx::string8 temp = parent + ".kvnew" + fsdetail::RandomNamePart(10);
        const int fd =
            ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return CreateCode(errno);
        ::fchmod(fd, 0600);
        ::flock(fd, LOCK_EX | LOCK_NB);
        // link() never replaces: the name is taken exclusively, and locked.
        const int linked = ::link(temp.c_str(), native.c_str());
        const int error = errno;
        ::unlink(temp.c_str());
        if (linked != 0) {
            ::close(fd);
            return CreateCode(error);
        }
        *handle = fd;
        return fserror::kSuccess;
    }
    return fserror::kInvalidParameter;
}

std::uint32_t FileSystem::OpenPrivateDirectory(const stdx::string16& path, Handle* directory) {
    stdx::string8 native;
    if (directory == nullptr || !fsdetail::ToNativePath(path, native) || native.empty())
        return fserror::kInvalidParameter;
    while (native.size() > 1 && native[native.size() - 1] == '/') native.erase(native.size() - 1);
    const int fd = ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return fsdetail::CodeFromErrno(errno);
    if (CheckPrivate(fd) != 0) {
        ::close(fd);
        return fserror::kInvalidParameter;
    }
    *directory = fd;
    return fserror::kSuccess;
}

std::uint32_t FileSystem::CheckPrivate(Handle handle) {
    struct stat st;
    if (handle < 0 || ::fstat(int(handle), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != ::geteuid() || (st.st_mode & 077) != 0) {
        return fserror::kInvalidParameter;
    }
    return fserror::kSuccess;
}

std::uint32_t FileSystem::SyncFileData(Handle handle) {
#if defined(__APPLE__)
    const int rc = ::fsync(int(handle));
#else
    const int rc = ::fdatasync(int(handle));
#endif
    return rc == 0 ? fserror::kSuccess : fserror::kInvalidParameter;
}

std::uint32_t FileSystem::TryLockFile(Handle handle) {
    if (handle < 0) {
        return fserror::kInvalidHandle;
    }
    while (::flock(int(handle), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            return fserror::kSharingViolation;
        }
        if (errno != EINTR) {
            return fserror::kInvalidHandle;
        }
    }
    return fserror::kSuccess;
}

std::uint32_t FileSystem::SyncFileSystem(const stdx::string16& path) {
    stdx::string8 native;
    if (!fsdetail::ToNativePath(path, native) || native.empty()) {
        return fserror::kInvalidParameter;
    }
    const int fd = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return fsdetail::CodeFromErrno(errno);
    }
#if defined(__linux__)
    const int result = ::syncfs(fd);
#else
    const int result = ::fsync(fd);
#endif
    ::close(fd);
    return result == 0 ? fserror::kSuccess : fserror::kInvalidParameter;
}

std::uint32_t FileSystem::RemoveEmptyDirectory(const stdx::string16& path) {
    stdx::string8 native;
    if (!fsdetail::ToNativePath(path, native) || native.empty()) {
        return fserror::kInvalidParameter;
    }
    // rmdir never follows a link in the last component: a link is ENOTDIR.
    if (::rmdir(native.c_str()) == 0) {
        return fserror::kSuccess;
    }
    return fsdetail::CodeFromErrno(errno);
}

std::uint32_t FileSystem::CreateUnnamedFile(const stdx::string16& directory, Handle* handle) {
    stdx::string8 base;
    if (handle == nullptr || directory.empty() || !fsdetail::ToNativePath(directory, base)) {
        return fserror::kCannotWrite;
    }
#if defined(O_TMPFILE)
    int fd = ::open(base.c_str(), O_TMPFILE | O_RDWR | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        *handle = fd;
        return fserror::kSuccess;
    }
    // EOPNOTSUPP or EISDIR (an older kernel): fall back to a named file.
#endif
    if (base[base.size() - 1] != '/') {
        base += "/";
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const stdx::string8 candidate = base + "edf" + fsdetail::RandomNamePart(10);
        const int fd =
            ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd < 0) {
            return fserror::kCannotWrite;
        }
        // The name lives only between these two calls.
        ::unlink(candidate.c_str());
        *handle = fd;
        return fserror::kSuccess;
    }
    return fserror::kCannotWrite;
}
