// The status of a path for the file-system policy (see file_status.h).
#include "fs/file_status.h"

#include <sys/stat.h>

#include "fs/file_system.h"
#include "fs/native_path.h"

namespace {

FileKind KindOf(mode_t mode) {
    if (S_ISREG(mode))
        return FileKind::kFile;
    if (S_ISDIR(mode))
        return FileKind::kDirectory;
    if (S_ISLNK(mode))
        return FileKind::kLink;
    return FileKind::kOther;
}

FileStatus FromStat(const struct stat& st) {
    FileStatus result;
    result.exists = true;
    result.kind = KindOf(st.st_mode);
    result.size = std::uint64_t(st.st_size);
    result.lastWrite = filetime::FromPosixSeconds(st.st_mtime);
    result.mode = std::uint32_t(st.st_mode & 07777);
    result.owner = std::uint32_t(st.st_uid);
    result.group = std::uint32_t(st.st_gid);
    result.device = std::uint64_t(st.st_dev);
    result.inode = std::uint64_t(st.st_ino);
    return result;
}

}  // namespace

FileStatus FileSystem::Status(const stdx::string16& path, Links links) {
    stdx::string8 native;
    if (!fsdetail::ToNativePath(path, native))
        return FileStatus();
    struct stat st;
    const int rc =
        links == Links::kFollowed ? ::stat(native.c_str(), &st) : ::lstat(native.c_str(), &st);
    if (rc != 0)
        return FileStatus();
    return FromStat(st);
}

FileStatus FileSystem::HandleStatus(Handle handle) {
    struct stat st;
    if (handle < 0 || ::fstat(int(handle), &st) != 0)
        return FileStatus();
    return FromStat(st);
}

bool FileSystem::Exists(const stdx::string16& path) {
    return Status(path).exists;
}
