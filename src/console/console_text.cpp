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
    "IDS_WELCOME_TITLE",       "IDS_DEFPRODUCT",
    "IDS_DEFPROVIDER",         "IDS_DESTINATION_PROMPT",
    "IDS_TEMPLATE_CATALOG",    "IDS_ACCEPT_CANCEL",
    "IDS_PROGRESS_START",      "IDS_INSTALL_FINISH",
    "IDS_INSTALL_ERROR",       "IDS_SUCCESS_FINISH",
    "IDS_ERROR_FINISH",        "IDS_CANCEL_FINISH",
    "IDS_SETUP_EMPTYTARGET",   "IDS_ERROR_NOTARGET",
    "IDS_ERROR_NOTWRITABLE",   "IDS_ERROR_NOSOURCE",
    "IDS_ERROR_NOSPACE",       "IDS_ERROR_DAMAGEDSOURCE",
    "IDS_WELCOME_LINE",        "IDS_WARN_LAUNCHERFILE",
    "IDS_ERROR_SPACEDETAIL",   "IDS_ERROR_NOTSIGNED",
    "IDS_ERROR_NOTRESTORED",   "IDS_RECOVERY_DONE",
    "IDS_RECOVERY_CHANGED",    "IDS_RECOVERY_NOTRESTORED",
    "IDS_RECOVERY_UNREADABLE", "IDS_MSGBOX_YES",
    "IDS_MSGBOX_NO",           "IDS_PLAN_NEW",
    "IDS_PLAN_UPDATE",         "IDS_PLAN_KEEP",
    "IDS_PLAN_BLOCKED",        "IDS_PLAN_SUMMARY",
    "IDS_ERROR_LINEBREAK",     "IDS_ERROR_DISPLAYLOST",
    "IDS_ERROR_TEMPUNUSABLE",
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

// Calls `emit` with the byte length and screen columns of each character of
// `text` in the locale's encoding.
template <class Emit>
void ForEachColumn(const std::string& text, Emit emit) {
    std::mbstate_t state{};
    size_t at = 0;
    while (at < text.size()) {
        wchar_t c = 0;
        size_t n = std::mbrtowc(&c, text.data() + at, text.size() - at, &state);
        int width = 1;
        if (n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2)) {
            state = std::mbstate_t{};
            n = 1;
        } else {
            n = n == 0 ? 1 : n;
            width = wcwidth(c);
            width = width < 0 ? 1 : width;
        }
        emit(at, n, size_t(width));
        at += n;
    }
}

}  // namespace

size_t DisplayColumns(const std::string& text) {
    size_t columns = 0;
    ForEachColumn(text, [&columns](size_t, size_t, size_t width) { columns += width; });
    return columns;
}

std::string FitTail(const std::string& text, size_t columns) {
    const size_t total = DisplayColumns(text);
    if (total <= columns) {
        return text;
    }
    if (columns <= 3) {
        return std::string(columns, '.');
    }
    // Drop whole characters from the front until the rest and "..." fit.
    size_t cut = text.size();
    size_t dropped = 0;
    ForEachColumn(text, [&](size_t at, size_t length, size_t width) {
        if (cut == text.size() && total - dropped <= columns - 3) {
            cut = at;
        }
        dropped += width;
        (void)length;
    });
    return "..." + text.substr(cut);
}

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
