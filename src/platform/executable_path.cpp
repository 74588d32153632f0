// readlink gives no terminating zero and silently truncates, so a result
// that fills the buffer means "try again with more room".
#include "platform/executable_path.h"

#include <unistd.h>

#include <vector>

#ifdef __APPLE__
#include <libproc.h>
#endif

namespace platform {

ExecutableLayout ProgramLayout() {
#if defined(__APPLE__) || defined(SETUP_APPLICATION_BUNDLE)
    return ExecutableLayout::kApplicationBundle;
#else
    return ExecutableLayout::kPlainDirectory;
#endif
}

stdx::string8 ReadLinkInFull(const char* link) {
    // The kernel reports "/proc/self/exe" only up to PATH_MAX (4096) and
    // fails with ENAMETOOLONG beyond; the cap only bounds the loop for other
    // links.
    constexpr size_t kStart = 260;
    constexpr size_t kLimit = size_t{1} << 20;
    for (size_t size = kStart; size <= kLimit; size *= 2) {
        std::vector<char> buffer(size, '\0');
        ssize_t length = readlink(link, buffer.data(), buffer.size());
        if (length < 1) {
            return stdx::string8();
        }
        if (static_cast<size_t>(length) < buffer.size()) {
            return stdx::string8(buffer.data(), static_cast<size_t>(length));
        }
    }
    return stdx::string8();
}

#ifdef __APPLE__

stdx::string8 ExecutablePath() {
    // PROC_PIDPATHINFO_MAXSIZE is 4 * MAXPATHLEN: every path the system
    // hands out fits.
    std::vector<char> buffer(PROC_PIDPATHINFO_MAXSIZE, '\0');
    const int length = proc_pidpath(getpid(), buffer.data(), static_cast<uint32_t>(buffer.size()));
    if (length <= 0) {
        return stdx::string8();
    }
    return stdx::string8(buffer.data(), static_cast<size_t>(length));
}

#else

stdx::string8 ExecutablePath() {
    return ReadLinkInFull("/proc/self/exe");
}

#endif

}  // namespace platform
