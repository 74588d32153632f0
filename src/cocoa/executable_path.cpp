// See executable_path.h.
#include "cocoa/executable_path.h"

#include <unistd.h>

#include <vector>

#ifdef __APPLE__
#include <libproc.h>
#endif

namespace cocoa {

#ifdef __APPLE__

std::string ReadExecutablePath() {
    // PROC_PIDPATHINFO_MAXSIZE is 4 * MAXPATHLEN: every path the system hands out fits.
    std::vector<char> buffer(PROC_PIDPATHINFO_MAXSIZE, '\0');
    const int length = proc_pidpath(getpid(), buffer.data(), static_cast<uint32_t>(buffer.size()));
    if (length <= 0) {
        return std::string();
    }
    return std::string(buffer.data(), static_cast<size_t>(length));
}

#else

std::string ReadExecutablePath() {
    // readlink does not say whether it truncated: grow until the answer is
    // shorter than the buffer.
    std::vector<char> buffer(4096, '\0');
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length <= 0) {
            return std::string();
        }
        if (static_cast<size_t>(length) < buffer.size()) {
            return std::string(buffer.data(), static_cast<size_t>(length));
        }
        buffer.assign(buffer.size() * 2, '\0');
    }
}

#endif

}  // namespace cocoa
