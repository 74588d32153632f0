// Prints the catalogue text of a key in a language, so the end-to-end tests
// of setup-mac compare the screen with the program's own texts.
// A mnemonic mark ("&Yes") is left out, as on the screen.
// Usage: catalogue_text <language-code> <KEY>
#include <cstdio>

#include "l10n/localization.h"
#include "l10n/mnemonic.h"
#include "support/sandbox.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: catalogue_text <language-code> <KEY>\n");
        return 2;
    }
    const int language = FindLanguage(stdx::string8(argv[1]));
    if (language == 0) {
        std::fprintf(stderr, "catalogue_text: unknown language %s\n", argv[1]);
        return 1;
    }
    SetCurrentLanguage(language);
    const stdx::string16 text = GetLocalizedString(argv[2]);
    if (text.empty()) {
        std::fprintf(stderr, "catalogue_text: no text for %s\n", argv[2]);
        return 1;
    }
    const stdx::string8 caption(testing_support::utf8(text).c_str());
    std::printf("%s\n", l10n::WithoutMnemonic(caption).c_str());
    return 0;
}
