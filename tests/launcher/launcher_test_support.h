// Test helpers: set an environment variable for the life of a scope, and the
// usual environment of these tests (a UTF-8 locale and HOME in a sandbox).
#pragma once

#include <cstdlib>
#include <string>

#include "support/sandbox.h"
#include "text/key_value_store.h"
#include "text/string_util.h"

namespace launcher_test {

class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        const char* old = std::getenv(name);
        hadOld_ = old != nullptr;
        if (hadOld_)
            old_ = old;
        setenv(name, value.c_str(), 1);
        stdx::select_environment_locale();
    }
    ~ScopedEnv() {
        if (hadOld_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
        stdx::select_environment_locale();
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::string old_;
    bool hadOld_ = false;
};

// The conversions follow the environment's locale only when told to select
// it again, which ScopedEnv does on every change.
struct Utf8Locale {
    ScopedEnv all{"LC_ALL", "en_US.UTF-8"};
};

// The store as "key=value" lines (the key alone for a line read without
// "="), each ended by a line feed, in UTF-8.
inline std::string Dump(const KeyValueStore& store) {
    std::string out;
    for (const KeyValueEntry& entry : store.Entries()) {
        for (const stdx::string16& value : entry.values) {
            const char* separator = entry.keyOnly && value.empty() ? "" : "=";
            out +=
                testing_support::utf8(entry.key) + separator + testing_support::utf8(value) + "\n";
        }
    }
    return out;
}

}  // namespace launcher_test
