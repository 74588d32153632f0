// Lookup in the message catalogue: the language list is built once from the
// constant per-language rows, then only read.
#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <utility>

#include "l10n/catalogue_tables.h"
#include "l10n/localization.h"
#include "text/utf8.h"

const CatalogueLanguage kCatalogueLanguages[kCatalogueLanguageCount] = {
    {1, "hy", &kCatalogueHy},  {2, "az", &kCatalogueAz},  {3, "bg", &kCatalogueBg},
    {4, "zh", &kCatalogueZh},  {5, "en", &kCatalogueEn},  {6, "fr", &kCatalogueFr},
    {7, "ka", &kCatalogueKa},  {8, "de", &kCatalogueDe},  {9, "es", &kCatalogueEs},
    {10, "hu", &kCatalogueHu}, {11, "it", &kCatalogueIt}, {12, "kk", &kCatalogueKk},
    {13, "lv", &kCatalogueLv}, {14, "lt", &kCatalogueLt}, {15, "pl", &kCataloguePl},
    {16, "ro", &kCatalogueRo}, {17, "ru", &kCatalogueRu}, {19, "tr", &kCatalogueTr},
    {20, "uk", &kCatalogueUk}, {21, "vi", &kCatalogueVi}, {22, "ar", &kCatalogueEn},
    {23, "tk", &kCatalogueTk},
};

namespace {

using TextTable = std::map<stdx::string8, stdx::string8>;
using LanguageList = std::map<int, std::pair<stdx::string8, TextTable>>;

TextTable BuildTable(const CatalogueRows& rows) {
    const std::deque<std::pair<const char*, const char*>> pairs = [&rows] {
        std::deque<std::pair<const char*, const char*>> list;
        for (const CatalogueRow& row : rows) {
            if (row.key != nullptr && row.text != nullptr) {
                list.emplace_back(row.key, row.text);
            }
        }
        return list;
    }();
    TextTable table;
    // emplace keeps the first text of a key that appears twice.
    for (const auto& pair : pairs) {
        table.emplace(stdx::string8(pair.first), stdx::string8(pair.second));
    }
    return table;
}

const LanguageList& Languages() {
    // Built on first use so that another static constructor may already ask
    // for a text; thread-safe by the language's rules for local statics.
    static const LanguageList list = [] {
        LanguageList built;
        for (const CatalogueLanguage& language : kCatalogueLanguages) {
            built.emplace(language.number,
                          std::make_pair(stdx::string8(language.code), BuildTable(*language.rows)));
        }
        return built;
    }();
    return list;
}

// Forces the list to exist before main, as every front end expects.
[[maybe_unused]] const LanguageList& gBuiltAtStart = Languages();

// Written once at start-up, read by both threads afterwards.
std::atomic<int> gCurrentLanguage{kDefaultLanguageNumber};

}  // namespace

stdx::string16 GetLocalizedString(const stdx::string8& key) {
    const LanguageList& languages = Languages();
    const auto language = languages.find(gCurrentLanguage.load(std::memory_order_relaxed));
    if (language == languages.end()) {
        return stdx::string16();
    }
    const TextTable& table = language->second.second;
    const auto text = table.find(key);
    if (text == table.end()) {
        return stdx::string16();
    }
    // The tables are UTF-8 whatever the user's locale is; the locale's decoder
    // would leave a Russian text empty in the "C" locale.
    stdx::string16 decoded;
    stdx::from_utf8(text->second, decoded);
    return decoded;
}

stdx::string16 GetLocalizedString(const char* key) {
    if (key == nullptr) {
        return stdx::string16();
    }
    return GetLocalizedString(stdx::string8(key));
}

stdx::string8 GetLocalizedUtf8(const char* key) {
    return stdx::to_utf8(GetLocalizedString(key));
}

int FindLanguage(const stdx::string8& code) {
    for (const auto& language : Languages()) {
        if (language.second.first == code) {
            return language.first;
        }
    }
    return 0;
}

void SetCurrentLanguage(int number) {
    gCurrentLanguage.store(number, std::memory_order_relaxed);
}

int GetCurrentLanguage() {
    return gCurrentLanguage.load(std::memory_order_relaxed);
}
