// Replaces a key=value file without ever leaving it half written.
//
// Disk states during WriteKeyValueFile:
//   1. a new file "<name>.new-<pid>-<n>" is created exclusively beside the
//      old one (code 1 when that is impossible); the old file is untouched;
//   2. every line goes into the new file, which is then flushed, synced and
//      given the old file's owner and permission bits;
//   3. the new file is renamed over the old one: readers see either the whole
//      old content or the whole new content.
// Any failure in 2 or 3 removes the new file and throws code 2. A process
// killed between 1 and 3 leaves its new file behind: before step 1, such
// files of this user whose writer no longer runs are removed.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "text/key_value_file.h"
#include "text/key_value_path.h"
#include "text/string_util.h"

namespace {

constexpr int kOpenFailed = 1;
constexpr int kWriteFailed = 2;
constexpr int kNameAttempts = 100;

stdx::string8 NumberText(unsigned long value) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%lu", value);
    return stdx::string8(digits);
}

// A symbolic link stays a link: the file it points to is replaced.
stdx::string8 ResolveTarget(const stdx::string8& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return path;
    stdx::string8 target(resolved);
    std::free(resolved);
    return target;
}

// Creates the new file beside `target`; -1 when that is impossible.
int CreateSibling(const stdx::string8& target, stdx::string8& name) {
    static std::atomic<unsigned long> counter{0};
    const stdx::string8 stem =
        target + stdx::string8(".new-") + NumberText(getpid()) + stdx::string8("-");
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const unsigned long n = ++counter ^ static_cast<unsigned long>(std::time(nullptr));
        name = stem + NumberText(n);
        // 0666 reduced by the umask: what creating the file in place would give.
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

// The writer's process id when `name` is "<base>.new-<pid>-<n>", else 0.
long LeftoverWriter(const char* name, const stdx::string8& base) {
    const stdx::string8 stem = base + stdx::string8(".new-");
    if (std::strncmp(name, stem.c_str(), stem.size()) != 0) {
        return 0;
    }
    const char* digits = name + stem.size();
    char* end = nullptr;
    const long pid = std::strtol(digits, &end, 10);
    if (end == digits || *end != '-' || pid <= 0 || !std::isdigit((unsigned char)end[1])) {
        return 0;
    }
    for (const char* rest = end + 1; *rest != '\0'; ++rest) {
        if (!std::isdigit((unsigned char)*rest)) {
            return 0;
        }
    }
    return pid;
}

// Removes the new files of killed writes beside `target`: only this
// program's pattern, only regular files of this user, only when the
// process that made one is gone (a running writer keeps its file).
void RemoveLeftovers(const stdx::string8& target) {
    const size_t slash = target.rfind('/');
    const stdx::string8 dir =
        slash == stdx::string8::npos ? stdx::string8(".") : target.substr(0, slash + 1);
    const stdx::string8 base = slash == stdx::string8::npos ? target : target.substr(slash + 1);
    DIR* listing = opendir(dir.c_str());
    if (listing == nullptr) {
        return;
    }
    while (const struct dirent* entry = readdir(listing)) {
        const long pid = LeftoverWriter(entry->d_name, base);
        if (pid == 0 || pid == long(getpid())) {
            continue;
        }
        const stdx::string8 path = dir + stdx::string8(entry->d_name);
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
            continue;
        }
        if (kill(pid_t(pid), 0) == 0 || errno != ESRCH) {
            continue;
        }
        unlink(path.c_str());
    }
    closedir(listing);
}

bool WriteLines(FILE* file, const KeyValueStore& store) {
    const char* lineEnd =
        store.LineEnd() == KeyValueLineEnd::kCarriageReturnLineFeed ? "\r\n" : "\n";
    stdx::string8 key;
    stdx::string8 value;
    for (const KeyValueEntry& entry : store.Entries()) {
        if (!entry.values.empty() && !stdx::narrow_exact(entry.key, key))
            return false;
        for (const stdx::string16& v : entry.values) {
            if (!stdx::narrow_exact(v, value))
                return false;
            const char* separator = entry.keyOnly && v.empty() ? "" : "=";
            if (std::fprintf(file, "%s%s%s%s", key.c_str(), separator, value.c_str(), lineEnd) < 0)
                return false;
        }
    }
    return true;
}

// Gives the new file the old one's owner and permission bits (owner first:
// changing it may clear set-id bits). An owner change that is not permitted
// is not an error; the file then belongs to the writing user.
bool CopyOwnerAndMode(int fd, const struct stat& old) {
    if (fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Not permitted for an unprivileged user who is not the owner.
    }
    return fchmod(fd, old.st_mode & 07777) == 0;
}

void SyncDirectoryOf(const stdx::string8& target) {
    const size_t slash = target.rfind('/');
    const stdx::string8 dir =
        slash == stdx::string8::npos ? stdx::string8(".") : target.substr(0, slash + 1);
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}

[[noreturn]] void Fail(const stdx::string8& tempName, int code) {
    unlink(tempName.c_str());
    throw KeyValueWriteError(code);
}

}  // namespace

const char* KeyValueWriteError::what() const noexcept {
    return code_ == kOpenFailed ? "key/value file: cannot create" : "key/value file: write failed";
}

void WriteKeyValueFile(const stdx::string16& path, const KeyValueStore& store) {
    stdx::string8 native;
    if (!keyvalue_detail::NativePath(path, native))
        throw KeyValueWriteError(kOpenFailed);
    const stdx::string8 target = ResolveTarget(native);
    struct stat old;
    const bool hadOld = stat(target.c_str(), &old) == 0;
    // What opening the file itself for writing would refuse, we refuse too.
    if (hadOld && (!S_ISREG(old.st_mode) || access(target.c_str(), W_OK) != 0)) {
        throw KeyValueWriteError(kOpenFailed);
    }

    RemoveLeftovers(target);
    stdx::string8 tempName;
    const int fd = CreateSibling(target, tempName);
    if (fd < 0)
        throw KeyValueWriteError(kOpenFailed);
    FILE* file = fdopen(fd, "w");
    if (file == nullptr) {
        close(fd);
        Fail(tempName, kOpenFailed);
    }

    bool ok = WriteLines(file, store) && std::fflush(file) == 0;
    ok = ok && (!hadOld || CopyOwnerAndMode(fd, old));
    ok = ok && fsync(fd) == 0;
    // fclose closes the descriptor whatever it reports.
    ok = (std::fclose(file) == 0) && ok;
    if (!ok)
        Fail(tempName, kWriteFailed);
    if (std::rename(tempName.c_str(), target.c_str()) != 0)
        Fail(tempName, kWriteFailed);
    SyncDirectoryOf(target);
}
