// The start-up scan: command-line options first, then the locale, then "en".
#include "l10n/startup_options.h"

#include <clocale>
#include <cstdlib>
#include <cstring>

#include "l10n/localization.h"
#include "text/string_util.h"

namespace {

bool IsOption(const char* arg) {
    return arg[0] == '-' || arg[0] == '/';
}

bool OptionLetterIs(const char* arg, char upper) {
    return IsOption(arg) && (arg[1] == upper || arg[1] == upper - 'A' + 'a');
}

// Tries the first two characters of the locale name; 0 when they name no language.
int LanguageFromLocale(const stdx::string8& localeName, stdx::string8& code) {
    code = localeName.size() > 2 ? localeName.substr(0, 2) : localeName;
    return FindLanguage(code);
}

}  // namespace

stdx::string8 PosixLocaleFromIdentifier(const stdx::string8& identifier) {
    // "de_DE@rg=chzzzz" and "zh-Hans_CN" name no POSIX locale; with such a
    // LANG every non-ASCII text would be cut off in the conversions.
    stdx::string8 result;
    bool inScript = false;
    for (const char c : identifier) {
        if (c == '@' || c == '.') {
            break;
        }
        if (c == '-') {
            inScript = true;
            continue;
        }
        if (c == '_') {
            inScript = false;
        }
        if (!inScript) {
            result.push_back(c);
        }
    }
    return result;
}

bool ProcessLocaleName(stdx::string8& name) {
    const char* selected = std::setlocale(LC_ALL, "");
    if (selected == nullptr) {
        return false;
    }
    name = stdx::string8(selected);
    return true;
}

void FillLangFromLocaleIdentifier(const stdx::string8& identifier) {
    const char* lang = std::getenv("LANG");
    if (lang != nullptr && lang[0] != '\0') {
        return;
    }
    stdx::string8 value = PosixLocaleFromIdentifier(identifier);
    if (value.empty()) {
        return;
    }
    value += ".UTF-8";
    setenv("LANG", value.c_str(), 1);
}

StartupOptions ScanStartupOptions(int argc, const char* const* argv,
                                  LocaleNameSource localeSource) {
    StartupOptions options;
    stdx::string8 dialogLanguage("en");
    int number = 0;

    int first = 1;
    if (argc > 1 && argv[1] != nullptr && std::strcmp(argv[1], "usecwd") == 0) {
        options.useCwd = true;
        first = 2;
    }

    for (int i = first; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg == nullptr) {
            break;
        }
        if (OptionLetterIs(arg, 'S')) {
            options.autoStart = true;
            continue;
        }
        if (!OptionLetterIs(arg, 'L')) {
            continue;
        }
        // Only the first L option counts, whether its code is known or not.
        const stdx::string8 code(arg + 2);
        const int found = FindLanguage(code);
        if (found != 0) {
            number = found;
            dialogLanguage = code;
        }
        break;
    }

    // Consulted even when an L option chose: the macOS source fills LANG,
    // and German texts need a UTF-8 locale whichever way German was chosen.
    stdx::string8 localeName;
    const bool haveLocale = localeSource != nullptr && localeSource(localeName);
    stdx::select_environment_locale();
    if (number == 0 && haveLocale) {
        stdx::string8 code;
        const int found = LanguageFromLocale(localeName, code);
        if (found != 0) {
            number = found;
            dialogLanguage = code;
        }
    }

    if (number == 0) {
        number = kDefaultLanguageNumber;
    }
    SetCurrentLanguage(number);
    options.languageNumber = number;
    options.dialogLanguage = stdx::widen(dialogLanguage);
    return options;
}
