// The one C entry point of a windowed front-end module (setup-gtk3.so,
// setup-gtk2.so). The program loads a module with dlopen, looks up
// `kFrontEndEntry` and calls it with the interface version it was built
// with; the module answers with a new front end, or null when it was built
// for another version (a module left over from another installation).
// The module's code calls back into the program's core (the controller's
// helpers), which the program exports for it.
#pragma once
#include "wizard/program.h"

namespace loader {

// Raised whenever WindowedFrontEnd, Toolkit or what they pass changes shape.
constexpr int kFrontEndInterfaceVersion = 1;

constexpr char kFrontEndEntry[] = "setup_windowed_front_end";

extern "C" {
// Returns a front end owned by the caller (deleted through its virtual
// destructor), or null for a version this module does not speak.
typedef wizard::WindowedFrontEnd* (*FrontEndFactory)(int interfaceVersion);
}

}  // namespace loader

// Defines the entry point of a module that makes front ends of type T.
#define SETUP_FRONT_END_MODULE(T)                                                       \
    extern "C" __attribute__((visibility("default"))) wizard::WindowedFrontEnd*         \
    setup_windowed_front_end(int interfaceVersion) {                                    \
        return interfaceVersion == loader::kFrontEndInterfaceVersion ? new T : nullptr; \
    }
