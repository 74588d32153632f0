// The start-up scan shared by both front ends: reads the command line
// ("usecwd", -L<code>, -S, also with "/"), falls back to the user's locale,
// then to "en", and sets the catalogue's current language.
//
// Usage from main (after nothing else has touched the locale):
//   StartupOptions opts = ScanStartupOptions(argc, argv);           // Linux
//   StartupOptions opts = ScanStartupOptions(argc, argv, MyNSLocaleName);
// then fetch the title with GetLocalizedString("IDR_MAINFRAME") and hand
// opts.autoStart, opts.dialogLanguage and opts.useCwd to the dialog.
#pragma once

#include "text/basic_string.h"

struct StartupOptions {
    // Code the dialog uses to pick the kit's product description ("en", "de", ...).
    stdx::string16 dialogLanguage;
    // Catalogue language number that was made current.
    int languageNumber = 0;
    // An S option was given: copy at once, without the wizard.
    bool autoStart = false;
    // The first argument was exactly "usecwd": look for the kit in the working directory.
    bool useCwd = false;
};

// Supplies the user's locale name (e.g. "ru_RU.UTF-8" or "de_DE"). Returns
// false when there is none. Called exactly once per scan, even when an L
// option chose the language, so that a source which prepares the process
// locale (the macOS one fills LANG) always does; its name only matters when
// no L option chose.
using LocaleNameSource = bool (*)(stdx::string8& name);

// Linux source: setlocale(LC_ALL, ""), which also puts the environment's
// locale into effect for the whole process.
bool ProcessLocaleName(stdx::string8& name);

// For the macOS source: given the platform's locale identifier (e.g. "de_DE"),
// sets LANG to "<identifier>.UTF-8" when LANG is unset or empty, so that the
// text conversions run in a UTF-8 locale. Script subtags and "@" keywords
// are left out of LANG ("zh-Hans_CN" gives "zh_CN.UTF-8"); an empty
// identifier leaves LANG alone. The source then returns the identifier
// itself as the locale name.
void FillLangFromLocaleIdentifier(const stdx::string8& identifier);

// The POSIX locale name ("language_REGION") of a platform locale identifier.
stdx::string8 PosixLocaleFromIdentifier(const stdx::string8& identifier);

// Scans argv (argv[0] is the program name), chooses the language, selects
// the environment's locale for the text conversions (after the locale source
// had its say), calls SetCurrentLanguage and returns what the dialog needs.
StartupOptions ScanStartupOptions(int argc, const char* const* argv,
                                  LocaleNameSource localeSource = ProcessLocaleName);
