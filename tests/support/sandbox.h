// A private scratch directory per test: created empty under $TMPDIR (or /tmp),
// removed with everything in it when the test ends. Helpers read and write
// real files in it; nothing is faked. While it lasts, the user's state
// directory (XDG_STATE_HOME) is its "state" folder.
#pragma once
#include <string>
#include <vector>

#include "text/basic_string.h"

namespace testing_support {

class Sandbox {
  public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    // Absolute path of the sandbox, without a trailing slash.
    const std::string& path() const { return root_; }
    // Absolute path of `rel` inside the sandbox.
    std::string at(const std::string& rel) const { return root_ + "/" + rel; }
    // The same as a 16-bit string (UTF-8 decoded), for the system's own APIs.
    stdx::basic_string<char16_t> at16(const std::string& rel) const;

    // Writes `content` to `rel`, creating missing parent directories.
    void write(const std::string& rel, const std::string& content) const;
    void mkdirs(const std::string& rel) const;
    static std::string read(const std::string& absPath);
    static bool exists(const std::string& absPath);

  private:
    std::string root_;
    bool hadState_ = false;
    std::string oldState_;
};

// Removes a tree without following symbolic links.
void remove_tree(const std::string& path);
// UTF-8 <-> 16-bit conversion for test data, independent of the locale.
stdx::basic_string<char16_t> u16(const std::string& utf8);
std::string utf8(const stdx::basic_string<char16_t>& text);

}  // namespace testing_support
