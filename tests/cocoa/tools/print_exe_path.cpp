// Prints the executable path as setup-mac reads it, for the path tests.
#include <cstdio>

#include "cocoa/executable_path.h"

int main() {
    const std::string path = cocoa::ReadExecutablePath();
    std::fwrite(path.data(), 1, path.size(), stdout);
    return path.empty() ? 1 : 0;
}
