// Path conversion and the process-wide last error of the file-system policy.
#include "fs/native_path.h"

#include <atomic>
#include <cerrno>

#include "fs/file_system.h"
#include "fs/fs_codes.h"
#include "text/string_util.h"

namespace fsdetail {
namespace {
// One value for the whole process, not one per thread; atomic only so that
// concurrent use is not undefined behaviour.
std::atomic<std::uint32_t> g_lastError{0};
}  // namespace

bool ToNativePath(const stdx::string16& path, stdx::string8& out) {
    // A cut-short path names another file (often a parent directory).
    return stdx::narrow_exact(path, out);
}

std::uint32_t CodeFromErrno(int error) {
    return error == ENOENT ? fserror::kFileNotFound : fserror::kInvalidParameter;
}

void SetLastError(std::uint32_t code) {
    g_lastError.store(code, std::memory_order_relaxed);
}

}  // namespace fsdetail

std::uint32_t FileSystem::GetLastError() {
    return fsdetail::g_lastError.load(std::memory_order_relaxed);
}
