// Prints the executable path as the installer reads it; the tests copy this
// program into awkward and very long directory paths and run it there.
#include <cstdio>

#include "platform/executable_path.h"

int main() {
    stdx::string8 path = platform::ExecutablePath();
    std::fwrite(path.data(), 1, path.size(), stdout);
    return path.empty() ? 1 : 0;
}
