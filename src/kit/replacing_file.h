// An output file that replaces its path only once it is complete: bytes go to
// a temporary file beside it, renamed over the path on Commit. A run that
// fails or is abandoned leaves an earlier file at the path as it was and no
// partial file behind. Used by the kit writer and the kit sealer.
#pragma once
#include <sys/types.h>

#include <cstddef>
#include <string>

namespace kit {

class ReplacingFile {
  public:
    ReplacingFile() = default;
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // `mode` is the new file's permission bits before the umask.
    bool Open(const std::string& path, std::string* error, mode_t mode = 0666);
    bool Write(const char* data, size_t size, std::string* error);
    // Closes the temporary file and renames it over the path.
    bool Commit(std::string* error);

  private:
    int fd_ = -1;
    std::string path_;
    std::string temp_;
    bool committed_ = false;
};

// "what path: strerror(errno)", the writers' message for a failed call.
std::string DescribeErrno(const std::string& what, const std::string& path);

}  // namespace kit
