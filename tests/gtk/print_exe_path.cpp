// Prints what the front end reads as its own executable path; the tests copy
// this program into very long directory paths and run it there.
#include <cstdio>

#include "executable_path.h"

int main() {
    stdx::string8 path = gtkfront::ReadExecutablePath();
    std::fwrite(path.data(), 1, path.size(), stdout);
    return path.empty() ? 1 : 0;
}
