// Prints the catalogue text of a key in a language, so the end-to-end tests
// compare the screen with the program's own texts rather than copies of them.
// A mnemonic mark ("&Yes") is left out, as on the screen.
// Usage: catalogue_text <language-code> <KEY>
//        catalogue_text --mnemonic <language-code> <KEY>   the marked letter
#include <cstdio>
#include <cstring>

#include "l10n/localization.h"
#include "l10n/mnemonic.h"
#include "support/sandbox.h"

int main(int argc, char** argv) {
    const bool mnemonic = argc == 4 && std::strcmp(argv[1], "--mnemonic") == 0;
    if (mnemonic) {
        --argc;
        ++argv;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: catalogue_text <language-code> <KEY>\n");
        return 2;
    }
    int language = FindLanguage(stdx::string8(argv[1]));
    if (language == 0) {
        std::fprintf(stderr, "catalogue_text: unknown language %s\n", argv[1]);
        return 1;
    }
    SetCurrentLanguage(language);
    stdx::string16 text = GetLocalizedString(argv[2]);
    if (text.empty()) {
        std::fprintf(stderr, "catalogue_text: no text for %s\n", argv[2]);
        return 1;
    }
    const stdx::string8 caption(testing_support::utf8(text).c_str());
    if (mnemonic) {
        const char32_t mark = l10n::MnemonicOf(caption);
        if (mark == 0 || mark > 0x7F) {
            std::fprintf(stderr, "catalogue_text: no Latin mnemonic in %s\n", argv[2]);
            return 1;
        }
        std::printf("%c\n", static_cast<char>(mark));
        return 0;
    }
    std::printf("%s\n", l10n::WithoutMnemonic(caption).c_str());
    return 0;
}
