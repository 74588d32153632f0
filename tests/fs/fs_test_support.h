// Helpers shared by the file-system tests: raw file inspection with plain
// system calls (independent of the code under test) and scoped environment
// changes.
#pragma once
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "fs/file_system.h"
#include "support/sandbox.h"

namespace fstest {

using testing_support::Sandbox;
using testing_support::u16;
using testing_support::utf8;

inline struct stat StatOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

inline bool IsDir(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

inline bool IsLink(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Sets (or, with nullptr, unsets) an environment variable for one scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        hadOld_ = old != nullptr;
        if (hadOld_)
            old_ = old;
        if (value) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (hadOld_) {
            ::setenv(name_.c_str(), old_.c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::string old_;
    bool hadOld_ = false;
};

// Opens `path` through the policy and fails the test when it cannot.
inline FileHandle OpenOrFail(const stdx::string16& path, std::uint32_t access, int disposition) {
    FileHandle handle = kInvalidFileHandle;
    std::uint32_t rc =
        FileSystem::CreateFile(path, access, 0, disposition, &handle, fsflag::kAttributeNormal);
    return rc == 0 ? handle : kInvalidFileHandle;
}

}  // namespace fstest
