// Handle operations of the file-system policy: open, read, write, seek,
// close, times, truncation and the size of a file by path.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>

#include "fs/file_system.h"
#include "fs/native_path.h"

using fsdetail::CodeFromErrno;
using fsdetail::SetLastError;

namespace {

std::uint32_t FailWith(std::uint32_t code) {
    SetLastError(code);
    return code;
}

int OpenModeFromAccess(std::uint32_t access) {
    if (access >= fsflag::kGenericReadWrite)
        return O_RDWR;
    return (access & fsflag::kGenericWrite) ? O_WRONLY : O_RDONLY;
}

int ExtraFlagsFromDisposition(int disposition) {
    if (disposition == fsflag::kTruncateExisting)
        return O_TRUNC;
    // Create without truncating: an existing file keeps its bytes until the
    // writer sets its end.
    if (disposition == fsflag::kCreateAlways)
        return O_CREAT;
    if (disposition == fsflag::kCreateEmpty)
        return O_CREAT | O_TRUNC;
    // Nothing may be there, not even a link to somewhere else.
    if (disposition == fsflag::kCreateNew)
        return O_CREAT | O_EXCL | O_NOFOLLOW;
    return 0;
}

}  // namespace

std::uint32_t FileSystem::CreateFile(const stdx::string16& path, std::uint32_t access,
                                     std::uint32_t /*share*/, int disposition, Handle* handle,
                                     std::uint32_t /*flags*/) {
    SetLastError(fserror::kSuccess);
    stdx::string8 native;
    if (!handle || !fsdetail::ToNativePath(path, native)) {
        return FailWith(fserror::kInvalidParameter);
    }
    // Close-on-exec: a document opener started later must not inherit the
    // kit image or a half-written template. Non-blocking: a FIFO or device
    // at the path (a kit, a target) must give an error, not wait for ever
    // for its other end; for regular files the flag changes nothing.
    int flags = OpenModeFromAccess(access) | ExtraFlagsFromDisposition(disposition) | O_CLOEXEC |
                O_NONBLOCK;
    int fd = ::open(native.c_str(), flags, 0660);
    if (fd < 0 && errno == EEXIST)
        return FailWith(fserror::kAlreadyExists);
    if (fd < 0)
        return FailWith(CodeFromErrno(errno));
    *handle = fd;
    return fserror::kSuccess;
}

std::uint32_t FileSystem::ReadFile(Handle handle, void* buffer, std::uint32_t count,
                                   std::uint32_t* bytesRead, void* overlapped) {
    SetLastError(fserror::kSuccess);
    if (!bytesRead && !overlapped)
        return FailWith(fserror::kInvalidParameter);
    if (!bytesRead)
        return fserror::kSuccess;
    *bytesRead = 0;
    char* out = static_cast<char*>(buffer);
    while (*bytesRead < count) {
        ssize_t n = ::read(int(handle), out + *bytesRead, count - *bytesRead);
        if (n < 0)
            return FailWith(CodeFromErrno(errno));
        if (n == 0)
            break;
        *bytesRead += std::uint32_t(n);
    }
    return fserror::kSuccess;
}

std::uint32_t FileSystem::WriteFile(Handle handle, const void* data, std::uint32_t count,
                                    std::int32_t* bytesWritten, void* overlapped) {
    SetLastError(fserror::kSuccess);
    if (!bytesWritten && !overlapped)
        return FailWith(fserror::kInvalidParameter);
    if (handle == kInvalidFileHandle)
        return FailWith(fserror::kInvalidHandle);
    if (!bytesWritten)
        return fserror::kSuccess;
    errno = 0;
    ssize_t n = ::write(int(handle), data, count);
    *bytesWritten = std::int32_t(n);
    if (n >= 0 && std::uint32_t(n) == count)
        return fserror::kSuccess;
    // A short write (a full disk) leaves errno as it was: 87.
    return FailWith(CodeFromErrno(errno));
}

std::int64_t FileSystem::SetFilePointer(Handle handle, std::int64_t offset, int method) {
    SetLastError(fserror::kSuccess);
    if (handle == kInvalidFileHandle) {
        SetLastError(fserror::kInvalidHandle);
        return -1;
    }
    int whence = SEEK_SET;
    if (method == fsflag::kFileCurrent)
        whence = SEEK_CUR;
    if (method == fsflag::kFileEnd)
        whence = SEEK_END;
    off_t position = ::lseek(int(handle), off_t(offset), whence);
    if (position < 0) {
        SetLastError(CodeFromErrno(errno));
        return -1;
    }
    return std::int64_t(position);
}

std::uint32_t FileSystem::CloseHandle(Handle handle) {
    if (::close(int(handle)) == 0)
        return fserror::kSuccess;
    return FailWith(CodeFromErrno(errno));
}

std::uint32_t FileSystem::GetFileTime(Handle handle, FileTime* creation, FileTime* lastAccess,
                                      FileTime* lastWrite) {
    SetLastError(fserror::kSuccess);
    struct stat st;
    if (handle == kInvalidFileHandle || ::fstat(int(handle), &st) != 0) {
        return FailWith(fserror::kInvalidHandle);
    }
    if (creation)
        *creation = filetime::FromPosixSeconds(st.st_ctime);
    if (lastAccess)
        *lastAccess = filetime::FromPosixSeconds(st.st_atime);
    if (lastWrite)
        *lastWrite = filetime::FromPosixSeconds(st.st_mtime);
    return fserror::kSuccess;
}

std::uint32_t FileSystem::SetFileTime(Handle handle, const FileTime* /*creation*/,
                                      const FileTime* /*lastAccess*/, const FileTime* lastWrite) {
    SetLastError(fserror::kSuccess);
    if (handle == kInvalidFileHandle)
        return FailWith(fserror::kInvalidHandle);
    if (!lastWrite)
        return FailWith(CodeFromErrno(errno));
    struct timeval times[2];
    times[0].tv_sec = time_t(filetime::ToPosixSeconds(*lastWrite));
    times[0].tv_usec = 0;
    times[1] = times[0];
    // The outcome is not reported: a file system without settable times still
    // holds the right bytes, and the next run merely copies the file again.
    (void)::futimes(int(handle), times);
    return fserror::kSuccess;
}

std::uint32_t FileSystem::SetEndOfFile(Handle handle) {
    SetLastError(fserror::kSuccess);
    if (handle == kInvalidFileHandle)
        return FailWith(fserror::kInvalidHandle);
    off_t position = ::lseek(int(handle), 0, SEEK_CUR);
    if (position < 0 || ::ftruncate(int(handle), position) != 0) {
        return FailWith(CodeFromErrno(errno));
    }
    return fserror::kSuccess;
}

std::uint32_t FileSystem::ReadFileAt(Handle handle, std::uint64_t offset, void* buffer,
                                     std::uint32_t count, std::uint32_t* bytesRead) {
    SetLastError(fserror::kSuccess);
    if (!bytesRead)
        return FailWith(fserror::kInvalidParameter);
    if (handle == kInvalidFileHandle)
        return FailWith(fserror::kInvalidHandle);
    *bytesRead = 0;
    char* out = static_cast<char*>(buffer);
    while (*bytesRead < count) {
        ssize_t n =
            ::pread(int(handle), out + *bytesRead, count - *bytesRead, off_t(offset + *bytesRead));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return FailWith(CodeFromErrno(errno));
        if (n == 0)
            break;
        *bytesRead += std::uint32_t(n);
    }
    return fserror::kSuccess;
}

namespace {

// The kernel cannot copy between these two files at all; anything else
// (ENOSPC, EIO) is a real failure of the copy.
bool RefusedPair(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ||
           error == EBADF || error == EPERM;
}

}  // namespace

std::uint32_t FileSystem::CopyRange(Handle source, std::uint64_t offset, Handle target,
                                    std::uint32_t count, std::uint32_t* copied) {
    SetLastError(fserror::kSuccess);
    if (!copied)
        return FailWith(fserror::kInvalidParameter);
    *copied = 0;
    if (source == kInvalidFileHandle || target == kInvalidFileHandle)
        return FailWith(fserror::kInvalidHandle);
#ifdef __linux__
    off64_t in = off64_t(offset);
    while (*copied < count) {
        ssize_t n = ::copy_file_range(int(source), &in, int(target), nullptr, count - *copied, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && *copied == 0 && RefusedPair(errno))
            return FailWith(fserror::kNotSupported);
        if (n < 0)
            return FailWith(CodeFromErrno(errno));
        if (n == 0)
            break;
        *copied += std::uint32_t(n);
    }
    return fserror::kSuccess;
#else
    (void)offset;
    (void)count;
    return FailWith(fserror::kNotSupported);
#endif
}

std::uint32_t FileSystem::GetFileSize(const stdx::string16& path, std::uint32_t* size) {
    if (!size)
        return fserror::kFailure;
    stdx::string8 native;
    struct stat st;
    if (!fsdetail::ToNativePath(path, native) || ::stat(native.c_str(), &st) != 0) {
        return fserror::kFailure;
    }
    *size = std::uint32_t(std::uint64_t(st.st_size) & 0xFFFFFFFFu);
    return fserror::kSuccess;
}
