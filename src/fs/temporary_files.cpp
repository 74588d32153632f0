// The temporary directory, exclusive temporary files, free space and the
// worker's pause.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "fs/file_system.h"
#include "fs/free_space.h"
#include "fs/native_path.h"
#include "fs/random_name.h"
#include "text/string_util.h"

namespace {

#if defined(__APPLE__)
const char kDefaultTempDir[] = "/var/tmp/";
#else
const char kDefaultTempDir[] = "/tmp";
#endif

constexpr int kNameAttempts = 100;
constexpr std::size_t kRandomLength = 10;

bool IsDirectory(const char* path) {
    struct stat st;
    return ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::uint32_t FileSystem::GetTempPath(stdx::string16& directory) {
    const char* fromEnvironment = std::getenv("TMPDIR");
    stdx::string16 result;
    if (fromEnvironment && IsDirectory(fromEnvironment)) {
        const stdx::string8 native(fromEnvironment);
        // A value the locale cannot represent is as unusable as a missing
        // one: its decodable prefix would name some other directory.
        if (!stdx::widen_exact(native, result))
            result.clear();
    }
    if (result.empty())
        result = stdx::widen(stdx::string8(kDefaultTempDir));
    if (!result.empty() && result[result.size() - 1] != u'/')
        result.push_back(u'/');
    directory = result;
    return fserror::kSuccess;
}

std::uint32_t FileSystem::GetStatePath(stdx::string16& directory) {
    directory.clear();
    stdx::string8 native;
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    if (state != nullptr && state[0] == '/') {
        native = state;
    } else if (home != nullptr && home[0] == '/') {
        native = stdx::string8(home) + "/.local/state";
    }
    if (native.empty() || !stdx::widen_exact(native, directory)) {
        directory.clear();
        return fserror::kSuccess;
    }
    if (directory[directory.size() - 1] != u'/')
        directory.push_back(u'/');
    return fserror::kSuccess;
}

std::uint32_t FileSystem::GetTempFileName(const stdx::string16& directory,
                                          const stdx::string16& prefix, stdx::string16& path) {
    stdx::string8 base;
    stdx::string8 start;
    if (directory.empty() || !fsdetail::ToNativePath(directory, base) ||
        !fsdetail::ToNativePath(prefix, start)) {
        return fserror::kCannotWrite;
    }
    if (base[base.size() - 1] != '/')
        base += "/";
    base += start;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        stdx::string8 candidate = base + fsdetail::RandomNamePart(kRandomLength);
        // Exclusive and without following links: a name planted by someone
        // else in a shared directory is never opened, only skipped.
        int fd =
            ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return fserror::kCannotWrite;
        ::close(fd);
        path = stdx::widen(candidate);
        return fserror::kSuccess;
    }
    return fserror::kCannotWrite;
}

std::uint32_t FileSystem::GetDiskFreeSpace(std::uint32_t* bytes) {
    if (!bytes)
        return fserror::kInvalidParameter;
    *bytes = 0;
    stdx::string16 directory;
    GetTempPath(directory);
    stdx::string8 native;
    struct statvfs info;
    if (fsdetail::ToNativePath(directory, native) && ::statvfs(native.c_str(), &info) == 0) {
        *bytes = fsdetail::SaturatedProduct32(info.f_bfree, info.f_frsize);
    }
    return fserror::kSuccess;
}

std::uint32_t FileSystem::GetDiskFreeSpace64(std::uint64_t* bytes) {
    if (!bytes)
        return fserror::kInvalidParameter;
    stdx::string16 directory;
    GetTempPath(directory);
    return GetPathFreeSpace64(directory, bytes);
}

std::uint32_t FileSystem::GetPathFreeSpace64(const stdx::string16& path, std::uint64_t* bytes) {
    if (!bytes)
        return fserror::kInvalidParameter;
    *bytes = 0;
    stdx::string8 native;
    if (!fsdetail::ToNativePath(path, native) || native.empty()) {
        return fserror::kInvalidParameter;
    }
    for (;;) {
        struct statvfs info;
        if (::statvfs(native.c_str(), &info) == 0) {
            // f_bavail: what is left once the superuser's reserve is set aside.
            *bytes = fsdetail::SaturatedProduct64(info.f_bavail, info.f_frsize);
            return fserror::kSuccess;
        }
        if (errno != ENOENT)
            return fserror::kInvalidParameter;
        // Not there yet: measure the nearest existing parent.
        while (native.size() > 1 && native[native.size() - 1] == '/')
            native.erase(native.size() - 1);
        size_t slash = native.rfind('/');
        if (slash == stdx::string8::npos)
            return fserror::kFileNotFound;
        native = slash == 0 ? stdx::string8("/") : native.substr(0, slash);
    }
}

int FileSystem::SleepMilliseconds(int milliseconds) {
    if (milliseconds <= 0)
        return 0;
    // nanosleep rather than usleep: usleep may refuse a whole second or more.
    struct timespec remaining = {milliseconds / 1000, long(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&remaining, &remaining) != 0) {
        if (errno != EINTR)
            return -1;
    }
    return 0;
}
