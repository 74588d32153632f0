// The run-time lookup of ISA-L: one dlopen by soname per process.
#include "kit/isal_library.h"

#include <dlfcn.h>

#include <cstdlib>

namespace kit {

namespace {

IsalFunctions* Load() {
#if SETUP_HAVE_ISAL
    const char* named = std::getenv("SETUP_ISAL_LIBRARY");
    const char* soname = named != nullptr && *named != '\0' ? named : kIsalSoname;
    // Never unloaded: inflaters of any thread may hold its functions.
    void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return nullptr;
    }
    auto* functions = new IsalFunctions;
    functions->isalInflateInit =
        reinterpret_cast<void (*)(inflate_state*)>(dlsym(library, "isal_inflate_init"));
    functions->isalInflate =
        reinterpret_cast<int (*)(inflate_state*)>(dlsym(library, "isal_inflate"));
    if (functions->isalInflateInit == nullptr || functions->isalInflate == nullptr) {
        delete functions;
        dlclose(library);
        return nullptr;
    }
    return functions;
#else
    return nullptr;
#endif
}

}  // namespace

const IsalFunctions* IsalLibrary() {
    static const IsalFunctions* const functions = Load();
    return functions;
}

}  // namespace kit
