// Failure details: a path and the system's reason for the failure.
#include "install/failure_detail.h"

#include <cstring>
#include <mutex>

#include "text/string_util.h"

namespace install {

stdx::string16 DescribeFailure(const stdx::string16& path, int errnum) {
    if (path.empty()) {
        return stdx::string16();
    }
    stdx::string16 out = path;
    if (errnum == 0) {
        return out;
    }
    stdx::string8 reason;
    {
        // strerror's buffer is shared; both threads may report at once.
        static std::mutex lock;
        std::lock_guard<std::mutex> hold(lock);
        reason = stdx::string8(std::strerror(errnum));
    }
    out += u": ";
    out += stdx::widen(reason);
    return out;
}

}  // namespace install
