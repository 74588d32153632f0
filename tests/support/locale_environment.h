// Test helper: runs a test under a chosen locale environment (LANG, with every
// LC_* variable cleared) and puts the previous environment, process locale,
// conversion locale and catalogue language back afterwards. The start-up tests
// leave selecting the locale to the code under test.
#pragma once

#include <locale.h>

#include <clocale>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "l10n/localization.h"
#include "text/string_util.h"

namespace testing_support {

enum class LocaleSelection { kNow, kLeftToCodeUnderTest };

class ScopedLocaleEnvironment {
  public:
    // `lang` may be null (LANG unset) or empty (LANG set to "").
    explicit ScopedLocaleEnvironment(const char* lang,
                                     LocaleSelection selection = LocaleSelection::kNow) {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value != nullptr, value != nullptr ? value : "");
            unsetenv(name);
        }
        if (lang != nullptr) {
            setenv("LANG", lang, 1);
        }
        if (selection == LocaleSelection::kNow) {
            stdx::select_environment_locale();
        }
    }

    ~ScopedLocaleEnvironment() {
        for (const Saved& saved : saved_) {
            if (saved.present) {
                setenv(saved.name, saved.value.c_str(), 1);
            } else {
                unsetenv(saved.name);
            }
        }
        stdx::select_environment_locale();
        SetCurrentLanguage(kDefaultLanguageNumber);
    }

    ScopedLocaleEnvironment(const ScopedLocaleEnvironment&) = delete;
    ScopedLocaleEnvironment& operator=(const ScopedLocaleEnvironment&) = delete;

    static bool Installed(const char* name) {
        locale_t loc = newlocale(LC_ALL_MASK, name, locale_t(0));
        if (loc == locale_t(0)) {
            return false;
        }
        freelocale(loc);
        return true;
    }

    // Sets one more variable (e.g. LC_TIME) inside the scope.
    void Set(const char* name, const char* value) { setenv(name, value, 1); }

  private:
    struct Saved {
        Saved(const char* n, bool p, std::string v) : name(n), present(p), value(std::move(v)) {}
        const char* name;
        bool present;
        std::string value;
    };

    static constexpr const char* kNames[] = {
        "LANG",    "LANGUAGE",   "LC_ALL",       "LC_CTYPE",       "LC_NUMERIC",
        "LC_TIME", "LC_COLLATE", "LC_MONETARY",  "LC_MESSAGES",    "LC_PAPER",
        "LC_NAME", "LC_ADDRESS", "LC_TELEPHONE", "LC_MEASUREMENT", "LC_IDENTIFICATION"};

    std::vector<Saved> saved_;
};

}  // namespace testing_support
