// Terminal texts; see console_text.h.
#include "console/console_text.h"

#include <climits>
#include <cwchar>

#include "l10n/localization.h"
#include "text/string_util.h"
#include "text/utf8.h"

namespace console {

namespace {

// Every key the console may print.
constexpr const char* kShownKeys[] = {
    "IDS_WELCOME_TITLE",      "IDS_DEFPRODUCT",           "IDS_DEFPROVIDER",
    "IDS_DESTINATION_PROMPT", "IDS_TEMPLATE_CATALOG",     "IDS_ACCEPT_CANCEL",
    "IDS_PROGRESS_START",     "IDS_INSTALL_FINISH",       "IDS_INSTALL_ERROR",
    "IDS_SUCCESS_FINISH",     "IDS_ERROR_FINISH",         "IDS_CANCEL_FINISH",
    "IDS_SETUP_EMPTYTARGET",  "IDS_ERROR_NOTARGET",       "IDS_ERROR_NOTWRITABLE",
    "IDS_ERROR_NOSOURCE",     "IDS_ERROR_NOSPACE",        "IDS_ERROR_DAMAGEDSOURCE",
    "IDS_WELCOME_LINE",       "IDS_WARN_LAUNCHERFILE",    "IDS_ERROR_SPACEDETAIL",
    "IDS_ERROR_NOTSIGNED",    "IDS_ERROR_NOTRESTORED",    "IDS_RECOVERY_DONE",
    "IDS_RECOVERY_CHANGED",   "IDS_RECOVERY_NOTRESTORED", "IDS_RECOVERY_UNREADABLE",
    "IDS_ERROR_LINEBREAK",    "IDS_ERROR_DISPLAYLOST",    "IDS_ERROR_TEMPUNUSABLE",
};

// Calls `emit` with each character's multibyte form, or with an empty
// string for a character the encoding cannot hold. Surrogate pairs are
// joined where wchar_t holds 32 bits.
template <class Emit>
void ForEachCharacter(const std::string& utf8, Emit emit) {
    stdx::string16 text;
    stdx::from_utf8(stdx::string8(utf8.c_str(), utf8.size()), text);
    std::mbstate_t state{};
    char bytes[MB_LEN_MAX];
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        const size_t n = std::wcrtomb(bytes, static_cast<wchar_t>(c), &state);
        if (n == static_cast<size_t>(-1)) {
            state = std::mbstate_t{};
            emit(std::string());
            continue;
        }
        emit(std::string(bytes, n));
    }
}

}  // namespace

std::string ToTerminal(const std::string& utf8) {
    std::string out;
    ForEachCharacter(utf8, [&out](const std::string& bytes) {
        out += bytes.empty() ? std::string("?") : bytes;
    });
    return out;
}

bool FitsTerminal(const std::string& utf8) {
    bool fits = true;
    ForEachCharacter(utf8, [&fits](const std::string& bytes) { fits = fits && !bytes.empty(); });
    return fits;
}

bool CatalogueFitsTerminal() {
    for (const char* key : kShownKeys) {
        const stdx::string8 text = GetLocalizedUtf8(key);
        if (!FitsTerminal(std::string(text.c_str(), text.size()))) {
            return false;
        }
    }
    return true;
}

bool FallBackToEnglishIfNeeded(StartupOptions& options) {
    if (CatalogueFitsTerminal()) {
        return false;
    }
    SetCurrentLanguage(kDefaultLanguageNumber);
    options.languageNumber = kDefaultLanguageNumber;
    options.dialogLanguage = stdx::string16(u"en");
    return true;
}

}  // namespace console
