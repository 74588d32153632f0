// Symlink-safe removal and copying of whole trees, on 8-bit paths.
// Removal works relative to open directory descriptors (openat/unlinkat with
// O_NOFOLLOW), so a link swapped in while the walk runs is removed as a link
// and never entered.
#include "fs/tree_operations.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "fs/path.h"
#include "fs/random_name.h"

namespace fsdetail {
namespace {

std::vector<std::string> ChildNames(DIR* dir) {
    std::vector<std::string> names;
    while (struct dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    return names;
}

bool RemoveEntryAt(int parent, const char* name);

// Empties the directory open as `fd` and closes it.
bool RemoveChildren(int fd) {
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    bool ok = true;
    for (const std::string& name : ChildNames(dir)) {
        if (!RemoveEntryAt(::dirfd(dir), name.c_str()))
            ok = false;
    }
    ::closedir(dir);
    return ok;
}

bool RemoveEntryAt(int parent, const char* name) {
    struct stat st;
    if (::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(st.st_mode))
        return ::unlinkat(parent, name, 0) == 0 || errno == ENOENT;
    int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    bool ok = fd >= 0 && RemoveChildren(fd);
    if (::unlinkat(parent, name, AT_REMOVEDIR) != 0 && errno != ENOENT)
        ok = false;
    return ok;
}

// ---- copying ---------------------------------------------------------------

struct timespec AccessTime(const struct stat& st) {
#if defined(__APPLE__)
    return st.st_atimespec;
#else
    return st.st_atim;
#endif
}

struct timespec ModifyTime(const struct stat& st) {
#if defined(__APPLE__)
    return st.st_mtimespec;
#else
    return st.st_mtim;
#endif
}

bool WriteAll(int fd, const char* data, size_t count) {
    while (count > 0) {
        ssize_t n = ::write(fd, data, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        count -= size_t(n);
    }
    return true;
}

bool CopyContent(int from, int to) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
        ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!WriteAll(to, buffer.data(), size_t(n)))
            return false;
    }
}

// Owner and group carry over only for the superuser; others keep their own.
void CopyOwner(int fd, const struct stat& st) {
    if (::geteuid() == 0)
        (void)::fchown(fd, st.st_uid, st.st_gid);
}

bool CopyRegularFile(const char* source, const struct stat& st, const char* destination) {
    int from = ::open(source, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (from < 0)
        return false;
    int to = ::open(destination, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (to < 0) {
        ::close(from);
        return false;
    }
    bool ok = CopyContent(from, to);
    CopyOwner(to, st);
    // Permission bits after the owner: fchown clears set-id bits.
    if (ok)
        ok = ::fchmod(to, st.st_mode & 07777) == 0;
    struct timespec times[2] = {AccessTime(st), ModifyTime(st)};
    if (ok)
        ok = ::futimens(to, times) == 0;
    ::close(from);
    if (::close(to) != 0)
        ok = false;
    if (!ok)
        ::unlink(destination);
    return ok;
}

bool CopyEntry(const char* source, const char* destination);

bool CopyDirectory(const char* source, const struct stat& st, const char* destination) {
    if (::mkdir(destination, 0700) != 0)
        return false;
    int fd = ::open(source, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    bool ok = dir != nullptr;
    if (!dir && fd >= 0)
        ::close(fd);
    if (dir) {
        for (const std::string& name : ChildNames(dir)) {
            const std::string from = fspath::Join(std::string(source), name);
            const std::string to = fspath::Join(std::string(destination), name);
            if (!CopyEntry(from.c_str(), to.c_str())) {
                ok = false;
                break;
            }
        }
        ::closedir(dir);
    }
    // Times last: adding the children changed the directory's own.
    struct timespec times[2] = {AccessTime(st), ModifyTime(st)};
    if (ok && ::geteuid() == 0)
        ok = ::lchown(destination, st.st_uid, st.st_gid) == 0;
    if (ok)
        ok = ::chmod(destination, st.st_mode & 07777) == 0;
    if (ok)
        ok = ::utimensat(AT_FDCWD, destination, times, AT_SYMLINK_NOFOLLOW) == 0;
    if (!ok)
        RemoveTree(destination);
    return ok;
}

bool CopyLink(const char* source, const struct stat& st, const char* destination) {
    std::vector<char> target(size_t(st.st_size > 0 ? st.st_size : 255) + 1);
    for (;;) {
        ssize_t n = ::readlink(source, target.data(), target.size());
        if (n < 0)
            return false;
        if (size_t(n) < target.size()) {
            target[size_t(n)] = '\0';
            break;
        }
        target.resize(target.size() * 2);
    }
    if (::symlink(target.data(), destination) != 0)
        return false;
    struct timespec times[2] = {AccessTime(st), ModifyTime(st)};
    (void)::utimensat(AT_FDCWD, destination, times, AT_SYMLINK_NOFOLLOW);
    return true;
}

bool CopyEntry(const char* source, const char* destination) {
    struct stat st;
    if (::lstat(source, &st) != 0)
        return false;
    if (S_ISREG(st.st_mode))
        return CopyRegularFile(source, st, destination);
    if (S_ISDIR(st.st_mode))
        return CopyDirectory(source, st, destination);
    if (S_ISLNK(st.st_mode))
        return CopyLink(source, st, destination);
    if (S_ISFIFO(st.st_mode))
        return ::mkfifo(destination, st.st_mode & 07777) == 0;
    // Sockets and device nodes cannot be recreated by an ordinary user.
    return false;
}

// A hidden sibling name of `path` that nothing occupies right now.
std::string HiddenSibling(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string directory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string candidate;
    for (int attempt = 0; attempt < 100; ++attempt) {
        candidate = directory + "." + base + "." + RandomNamePart(8).c_str();
        struct stat st;
        // Any failure ends the search; creating under that name then fails
        // cleanly if the directory itself is the problem.
        if (::lstat(candidate.c_str(), &st) != 0)
            break;
    }
    return candidate;
}

bool IsDotOrDotDot(const std::string& path) {
    const std::string last = fspath::Name(path);
    return last == "." || last == "..";
}

}  // namespace

bool RemoveTree(const char* path) {
    std::string p = fspath::WithoutTrailingSeparators(std::string(path));
    // The root, "." and ".." are never removed (removing the contents of
    // the working directory or its parent is never what a caller meant).
    if (p.empty() || p == "/" || IsDotOrDotDot(p))
        return false;
    struct stat st;
    if (::lstat(p.c_str(), &st) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(st.st_mode))
        return ::unlink(p.c_str()) == 0 || errno == ENOENT;
    int fd = ::open(p.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    bool ok = fd >= 0 && RemoveChildren(fd);
    if (::rmdir(p.c_str()) != 0 && errno != ENOENT)
        ok = false;
    return ok;
}

bool CopyTree(const char* source, const char* destination) {
    std::string from = fspath::WithoutTrailingSeparators(std::string(source));
    std::string to = fspath::WithoutTrailingSeparators(std::string(destination));
    // Copy beside the destination first, then rename into place: a failed
    // copy never leaves a half-written destination behind, and an existing
    // destination file is replaced in one step.
    std::string hidden = HiddenSibling(to);
    if (!CopyEntry(from.c_str(), hidden.c_str()))
        return false;
    if (::rename(hidden.c_str(), to.c_str()) == 0)
        return true;
    RemoveTree(hidden.c_str());
    return false;
}

}  // namespace fsdetail
