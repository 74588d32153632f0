// ISA-L's inflate functions, found when the program runs rather than when it
// is linked: a machine without ISA-L still starts, and inflates with zlib.
//
// The library is looked up once, by the soname in the environment variable
// SETUP_ISAL_LIBRARY when it is set (a name that cannot be loaded hides
// ISA-L, as on a machine without it), else by kIsalSoname. Only the inflate
// entry points are used; the state's layout comes from the header of the
// same major version, which is what the soname promises.
#pragma once

struct inflate_state;

namespace kit {

#if defined(__APPLE__)
constexpr const char* kIsalSoname = "libisal.2.dylib";
#else
constexpr const char* kIsalSoname = "libisal.so.2";
#endif

struct IsalFunctions {
    void (*isalInflateInit)(inflate_state* state) = nullptr;
    int (*isalInflate)(inflate_state* state) = nullptr;
};

// The functions of the process's ISA-L, loaded on first use; null when the
// build has no ISA-L header, or the library or one of its functions is
// missing.
const IsalFunctions* IsalLibrary();

}  // namespace kit
