// Where the running program lies and how it is packaged: the kit is looked
// for beside it. Linux reads the link "/proc/self/exe", macOS asks
// proc_pidpath; both give the whole path, however long, or nothing.
#pragma once
#include "text/basic_string.h"

namespace platform {

// Where the executable lies, which decides where the kit is looked for.
enum class ExecutableLayout {
    kPlainDirectory,     // the kit lies in the executable's own directory
    kApplicationBundle,  // X.app/Contents/MacOS/exe: the kit lies beside X.app
};

// The layout this program was built for: an application bundle on macOS,
// and wherever the build asks for one (SETUP_APPLICATION_BUNDLE, set for
// setup-mac on the GNUstep stand-in); a plain directory otherwise.
ExecutableLayout ProgramLayout();

// Full path of the running executable; empty when the system cannot tell.
stdx::string8 ExecutablePath();

// Target of the symbolic link `link` as bytes, read in full whatever its
// length; empty when the link cannot be read or is empty.
stdx::string8 ReadLinkInFull(const char* link);

}  // namespace platform
