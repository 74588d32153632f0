// The statuses the program ends with. The console front end always reports
// them; the windowed wizards report them when started with -S and otherwise
// end with 0 whatever happened.
#pragma once

namespace wizard {

enum ExitStatus : int {
    kExitInstalled = 0,    // installed, or nothing needed copying
    kExitCopyFailed = 1,   // the copy failed; the directory was restored
    kExitStartFailed = 2,  // usage error or a start-up check failed; nothing changed
    kExitCancelled = 3,    // cancelled by the user or a signal; the directory was restored
    kExitNotRestored = 4,  // the copy failed and the directory could not be fully restored
};

}  // namespace wizard
