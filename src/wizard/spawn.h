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

// Opens `path` with DesktopOpener(); the outcome is ignored.
void SpawnOpener(const char* path);

}  // namespace wizard
