// Checks of a chosen template directory; see target_checks.h.
#include "wizard/target_checks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "fs/file_system.h"
#include "fs/path.h"
#include "text/string_util.h"

namespace wizard {

namespace {

// The nearest ancestor of `path` that exists (the path itself included),
// with its status; false when not even "/" or "." answers.
bool NearestExisting(stdx::string8 path, stdx::string8& found, struct stat& status) {
    for (;;) {
        if (stat(path.c_str(), &status) == 0) {
            found = path;
            return true;
        }
        while (path.size() > 1 && path.back() == '/') {
            path.erase(path.size() - 1);
        }
        const size_t slash = path.rfind('/');
        if (slash == stdx::string8::npos) {
            return stat(".", &status) == 0 && (found = stdx::string8("."), true);
        }
        if (slash == 0) {
            return stat("/", &status) == 0 && (found = stdx::string8("/"), true);
        }
        path = path.substr(0, slash);
    }
}

// Whether every level of `path` is short enough for a file system here,
// and the whole path for the system: a name no parent can take is refused
// before the run, not met by it.
bool FitsFileSystem(const stdx::string8& path) {
    // PATH_MAX counts the terminating NUL.
    if (path.size() >= size_t(PATH_MAX)) {
        return false;
    }
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == stdx::string8::npos) {
            end = path.size();
        }
        if (end - start > size_t(NAME_MAX)) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

bool IsWorkingDirectory(const struct stat& status) {
    struct stat cwd;
    return stat(".", &cwd) == 0 && cwd.st_dev == status.st_dev && cwd.st_ino == status.st_ino;
}

}  // namespace

bool IsWritableDirectory(const stdx::string16& dir, DiskAccess disk) {
    if (dir.empty()) {
        return false;
    }
    if (disk == DiskAccess::kLookOnly) {
        stdx::string8 native;
        struct stat status;
        return stdx::narrow_exact(dir, native) && stat(native.c_str(), &status) == 0 &&
               S_ISDIR(status.st_mode) && access(native.c_str(), W_OK | X_OK) == 0;
    }
    stdx::string16 probe;
    if (FileSystem::GetTempFileName(fspath::WithTrailingSeparator(dir), stdx::string16(u"KV"), probe) != 0) {
        return false;
    }
    FileSystem::DeleteFile(probe);
    return true;
}

template <class String>
bool HasLineBreakIn(const String& name) {
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\n' || name[i] == '\r' || name[i] == 0) {
            return true;
        }
    }
    return false;
}

bool HasLineBreak(const stdx::string16& name) {
    return HasLineBreakIn(name);
}

bool HasLineBreak(const stdx::string8& name) {
    return HasLineBreakIn(name);
}

const char* RefuseTargetDirectory(const stdx::string16& dir, DiskAccess disk) {
    if (dir.empty()) {
        return "IDS_SETUP_EMPTYTARGET";
    }
    if (HasLineBreak(dir)) {
        return "IDS_ERROR_LINEBREAK";
    }
    stdx::string8 native;
    if (!stdx::narrow_exact(dir, native)) {
        return "IDS_ERROR_NOTWRITABLE";
    }
    if (!FitsFileSystem(native)) {
        return "IDS_ERROR_NOTWRITABLE";
    }
    struct stat status;
    if (stat(native.c_str(), &status) == 0) {
        if (!S_ISDIR(status.st_mode)) {
            return "IDS_ERROR_NOTWRITABLE";
        }
        if (IsWorkingDirectory(status)) {
            return "IDS_ERROR_NOTARGET";
        }
        return IsWritableDirectory(dir, disk) ? nullptr : "IDS_ERROR_NOTWRITABLE";
    }
    // The run creates the missing levels below the nearest existing one.
    stdx::string8 existing;
    if (!NearestExisting(native, existing, status) || !S_ISDIR(status.st_mode) ||
        access(existing.c_str(), W_OK | X_OK) != 0) {
        return "IDS_ERROR_NOTWRITABLE";
    }
    return nullptr;
}

}  // namespace wizard
