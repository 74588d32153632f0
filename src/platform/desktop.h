// Starting helper programs without a shell, and the desktop's opener: the
// program is found on PATH and receives each argument unchanged, so no path
// can be misread as shell syntax.
#pragma once
#include <sys/types.h>

namespace platform {

// Starts `program` with the single argument `argument`, its standard error
// sent to /dev/null. Does not wait for it. Returns the child's process id, or
// -1 when it could not be started.
pid_t SpawnProgram(const char* program, const char* argument);

// The desktop opener of this system: "open" on macOS, "xdg-open" elsewhere.
const char* DesktopOpener();

// Opens `path` with DesktopOpener() and returns what SpawnProgram returns.
// A relative path that starts with "-" is passed as "./-..." so the opener
// cannot read it as an option.
pid_t SpawnOpener(const char* path);

// Waits a short while for a started opener: false when it ended with a
// failure (no application for the document, say), true when it succeeded or
// is still running after that while (some openers run the application in
// the foreground, which then has the document).
bool OpenerSucceeded(pid_t pid);

}  // namespace platform
