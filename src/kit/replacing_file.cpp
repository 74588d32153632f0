// The temporary file beside the output and its final rename.
#include "kit/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kit {

std::string DescribeErrno(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

namespace {

void Fail(std::string* error, const std::string& message) {
    if (error)
        *error = message;
}

}  // namespace

ReplacingFile::~ReplacingFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !temp_.empty())
        ::unlink(temp_.c_str());
}

bool ReplacingFile::Open(const std::string& path, std::string* error, mode_t mode) {
    std::string temp = path + ".partXXXXXX";
    fd_ = ::mkostemp(&temp[0], O_CLOEXEC);
    if (fd_ < 0) {
        Fail(error, DescribeErrno("cannot create", path));
        return false;
    }
    temp_ = temp;
    path_ = path;
    // mkostemp makes the file private; a kit is an ordinary file.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, mode & ~mask);
    return true;
}

bool ReplacingFile::Write(const char* data, size_t size, std::string* error) {
    while (size > 0) {
        ssize_t n = ::write(fd_, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            Fail(error, DescribeErrno("cannot write", path_));
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

bool ReplacingFile::Commit(std::string* error) {
    int rc = ::close(fd_);
    fd_ = -1;
    if (rc != 0) {
        Fail(error, DescribeErrno("cannot write", path_));
        return false;
    }
    if (::rename(temp_.c_str(), path_.c_str()) != 0) {
        Fail(error, DescribeErrno("cannot replace", path_));
        return false;
    }
    committed_ = true;
    return true;
}

}  // namespace kit
