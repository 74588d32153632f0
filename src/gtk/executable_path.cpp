// Reads the executable link with a buffer that grows until the whole target
// fits: readlink gives no terminating zero and silently truncates, so a
// result that fills the buffer means "try again with more room".
#include "executable_path.h"

#include <unistd.h>

#include <vector>

namespace gtkfront {

stdx::string8 ReadExecutablePath(const char* link) {
    // The kernel reports this link only up to PATH_MAX (4096) and fails with
    // ENAMETOOLONG beyond; the cap only bounds the loop for other links.
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

}  // namespace gtkfront
