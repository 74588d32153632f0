// Full path of the running executable, from the system: proc_pidpath on
// macOS, the link "/proc/self/exe" on the GNUstep stand-in (Linux). Read in
// full whatever its length; empty when the system cannot tell.
#pragma once
#include <string>

namespace cocoa {

std::string ReadExecutablePath();

}  // namespace cocoa
