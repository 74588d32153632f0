// Starting a helper program without a shell: the program is found on PATH and
// receives each argument unchanged, so no path can be misread as shell syntax.
#pragma once
#include <sys/types.h>

namespace wizard {

// Starts `program` with the single argument `argument`, its standard error
// sent to /dev/null. Does not wait for it. Returns the child's process id, or
// -1 when it could not be started.
pid_t SpawnProgram(const char* program, const char* argument);

// The desktop opener of this platform: "open" on macOS, "xdg-open" elsewhere.
const char* DesktopOpener();

// Opens `path` with DesktopOpener() and returns what SpawnProgram returns;
// the front ends ignore the outcome. A relative path that starts with "-" is
// passed as "./-..." so the opener cannot read it as an option.
pid_t SpawnOpener(const char* path);

}  // namespace wizard
