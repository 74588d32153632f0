// Operations that change the directory tree: create with parents, create one
// private directory, move (across file systems too), remove a tree, delete a
// file. Direct system calls only: paths from a kit or a user are never parsed
// by a shell.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "fs/file_system.h"
#include "fs/native_path.h"
#include "fs/tree_operations.h"

namespace {

bool IsDirectory(const char* path) {
    struct stat st;
    return ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

// Makes `path` and every missing parent, as "mkdir -p" does: existing
// directories (or links to directories) on the way are fine, anything else
// in the way fails.
bool MakeDirectories(const stdx::string8& path) {
    size_t end = 0;
    while (end < path.size()) {
        end = path.find('/', end + 1);
        if (end == stdx::string8::npos)
            end = path.size();
        stdx::string8 prefix = path.substr(0, end);
        if (prefix.empty() || prefix[prefix.size() - 1] == '/')
            continue;
        if (IsDirectory(prefix.c_str()))
            continue;
        if (::mkdir(prefix.c_str(), 0777) == 0)
            continue;
        // Someone else may have made it in between.
        if (errno == EEXIST && IsDirectory(prefix.c_str()))
            continue;
        return false;
    }
    return true;
}

}  // namespace

std::uint32_t FileSystem::CreateDirectory(const stdx::string16& path) {
    stdx::string8 native;
    if (!fsdetail::ToNativePath(path, native))
        return fserror::kInvalidParameter;
    if (IsDirectory(native.c_str()))
        return fserror::kAlreadyExists;
    if (native.empty())
        return fserror::kFileNotFound;
    return MakeDirectories(native) ? fserror::kSuccess : fserror::kFileNotFound;
}

std::uint32_t FileSystem::CreateSingleDirectory(const stdx::string16& path) {
    stdx::string8 native;
    if (!fsdetail::ToNativePath(path, native))
        return fserror::kInvalidParameter;
    if (native.empty())
        return fserror::kFileNotFound;
    if (::mkdir(native.c_str(), 0777) == 0)
        return fserror::kSuccess;
    if (errno == EEXIST && IsDirectory(native.c_str()))
        return fserror::kAlreadyExists;
    return fserror::kFileNotFound;
}

std::uint32_t FileSystem::MoveFile(const stdx::string16& source,
                                   const stdx::string16& destination) {
    stdx::string8 from;
    stdx::string8 to;
    if (!fsdetail::ToNativePath(source, from) || !fsdetail::ToNativePath(destination, to)) {
        return fserror::kInvalidParameter;
    }
    if (::rename(from.c_str(), to.c_str()) == 0)
        return fserror::kSuccess;
    if (errno != EXDEV)
        return fserror::kFileNotFound;
    // Different file systems (the staging directory usually lies on another
    // one than the user's home): copy, then remove the source. A failed copy
    // leaves the source and the destination as they were.
    struct stat before;
    const bool wasThere = ::lstat(to.c_str(), &before) == 0;
    const bool singleEntry = ::lstat(from.c_str(), &before) == 0 && !S_ISDIR(before.st_mode);
    if (!fsdetail::CopyTree(from.c_str(), to.c_str()))
        return fserror::kFileNotFound;
    if (fsdetail::RemoveTree(from.c_str()))
        return fserror::kSuccess;
    // The source stays (its directory may be read-only): take the new copy
    // back, so that the file is in one place only and the move failed as a
    // whole. A directory may be half removed by now, and a replaced
    // destination is gone; both keep what they have.
    if (singleEntry && !wasThere)
        fsdetail::RemoveTree(to.c_str());
    return fserror::kFileNotFound;
}

std::uint32_t FileSystem::MoveFileNoReplace(const stdx::string16& source,
                                            const stdx::string16& destination) {
    stdx::string8 from;
    stdx::string8 to;
    if (!fsdetail::ToNativePath(source, from) || !fsdetail::ToNativePath(destination, to)) {
        return fserror::kInvalidParameter;
    }
#if defined(__APPLE__)
    int rc = ::renamex_np(from.c_str(), to.c_str(), RENAME_EXCL);
#else
    int rc = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
#endif
    if (rc != 0 && (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP)) {
        // A file system without the exclusive rename: a second name made
        // exclusively, then the first removed.
        rc = ::link(from.c_str(), to.c_str());
        if (rc == 0)
            ::unlink(from.c_str());
    }
    if (rc == 0)
        return fserror::kSuccess;
    if (errno == EEXIST)
        return fserror::kAlreadyExists;
    return errno == EXDEV ? fserror::kNotSameDevice : fserror::kFileNotFound;
}

std::uint32_t FileSystem::RemoveDirectory(const stdx::string16& path) {
    stdx::string8 native;
    if (fsdetail::ToNativePath(path, native))
        fsdetail::RemoveTree(native.c_str());
    return fserror::kSuccess;
}

std::uint32_t FileSystem::DeleteFile(const stdx::string16& path) {
    stdx::string8 native;
    if (fsdetail::ToNativePath(path, native) && !native.empty()) {
        ::unlink(native.c_str());
    }
    return fserror::kSuccess;
}

std::uint32_t FileSystem::CreatePrivateDirectory(const stdx::string16& path) {
    stdx::string8 native;
    if (!fsdetail::ToNativePath(path, native) || native.empty())
        return fserror::kInvalidParameter;
    // mkdir fails with EEXIST on any existing entry, a dangling link
    // included, so the directory is ours alone once this succeeds.
    if (::mkdir(native.c_str(), 0700) == 0) {
        // The umask may have taken bits away, never added; make the mode exact.
        ::chmod(native.c_str(), 0700);
        return fserror::kSuccess;
    }
    if (errno == EEXIST)
        return fserror::kAlreadyExists;
    return errno == ENOENT ? fserror::kFileNotFound : fserror::kInvalidParameter;
}
