// Directory enumeration with a wildcard mask, and the existence test of a
// plain path, for the file-system policy.
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "fs/file_system.h"
#include "fs/native_path.h"
#include "fs/path.h"
#include "text/string_util.h"

namespace {

bool HasWildcard(const stdx::string16& mask) {
    return mask.find(u'*') != stdx::string16::npos;
}

// The directory part of a wildcard pattern: everything before its last "/",
// "/" itself for a pattern directly under the root, or the whole pattern
// when it has no "/".
stdx::string16 DirectoryOf(const stdx::string16& pattern) {
    const stdx::string16 parent = fspath::Parent(pattern);
    return parent.empty() ? pattern : parent;
}

}  // namespace

bool FileSystem::FindFirstFile(FileFind& find, const stdx::string16& pattern) {
    find.pattern = pattern;
    find.mask = fspath::Name(pattern);
    std::memset(&find.status, 0, sizeof find.status);
    if (find.directory) {
        closedir(find.directory);
        find.directory = nullptr;
    }

    if (HasWildcard(find.mask)) {
        find.currentName.clear();
        stdx::string8 directory;
        if (!fsdetail::ToNativePath(DirectoryOf(pattern), directory))
            return false;
        find.directory = ::opendir(directory.c_str());
        if (!find.directory)
            return false;
        return FindNextFile(find);
    }

    find.currentName = find.mask;
    stdx::string8 path;
    if (!fsdetail::ToNativePath(pattern, path))
        return false;
    if (::stat(path.c_str(), &find.status) == 0)
        return true;
    // A dangling link still occupies the name.
    return ::lstat(path.c_str(), &find.status) == 0;
}

bool FileSystem::FindNextFile(FileFind& find) {
    if (!find.directory)
        return false;
    stdx::string8 mask;
    stdx::string8 directory;
    if (!fsdetail::ToNativePath(find.mask, mask) ||
        !fsdetail::ToNativePath(DirectoryOf(find.pattern), directory)) {
        return false;
    }
    for (;;) {
        struct dirent* entry = ::readdir(find.directory);
        if (!entry) {
            closedir(find.directory);
            find.directory = nullptr;
            return false;
        }
        int match = ::fnmatch(mask.c_str(), entry->d_name, FNM_PATHNAME);
        if (match == FNM_NOMATCH)
            continue;
        if (match != 0)
            return false;

        const stdx::string8 native(entry->d_name);
        stdx::string16 name;
        // A name the locale cannot represent comes back as its decodable
        // prefix ("a" for "a\xE9", nothing at all for "\xE9"): a caller that
        // joins it to the directory would act on another entry, or on the
        // directory itself. Such entries are skipped.
        if (!stdx::widen_exact(native, name) || name.empty())
            continue;
        find.currentName = name;
        const stdx::string8 full = fspath::Join(directory, native);
        // lstat: a link is reported as itself, so walks never leave the tree.
        if (::lstat(full.c_str(), &find.status) == 0)
            return true;
        // An entry removed since it was listed is simply gone; ending here
        // would hide the entries after it from a restore or clean-up walk.
        if (errno == ENOENT)
            continue;
        return false;
    }
}

stdx::string16 FileSystem::GetFindFileName(const FileFind& find) {
    return find.currentName;
}

std::uint32_t FileSystem::GetFileAttributes(const FileFind& find) {
    // S_ISDIR rather than a single mode bit: sockets and block devices share
    // that bit and are not directories.
    return S_ISDIR(find.status.st_mode) ? fsflag::kAttributeDirectory : 0u;
}

void FileSystem::FindClose(FileFind& find) {
    if (find.directory) {
        closedir(find.directory);
        find.directory = nullptr;
    }
    find.mask.clear();
    find.pattern.clear();
    find.currentName.clear();
}
