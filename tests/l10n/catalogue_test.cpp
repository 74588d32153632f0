// The message catalogue: the language list, the English reference texts, the
// fixed button rows, and the shape every translated table must have.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "l10n/catalogue_tables.h"
#include "l10n/localization.h"
#include "l10n/mnemonic.h"
#include "support/locale_environment.h"
#include "support/sandbox.h"

namespace {

using testing_support::ScopedLocaleEnvironment;
using testing_support::u16;
using testing_support::utf8;

struct Language {
    int number;
    const char* code;
};

const Language kLanguages[] = {
    {1, "hy"},  {2, "az"},  {3, "bg"},  {4, "zh"},  {5, "en"},  {6, "fr"},  {7, "ka"},  {8, "de"},
    {9, "es"},  {10, "hu"}, {11, "it"}, {12, "kk"}, {13, "lv"}, {14, "lt"}, {15, "pl"}, {16, "ro"},
    {17, "ru"}, {19, "tr"}, {20, "uk"}, {21, "vi"}, {22, "ar"}, {23, "tk"},
};

struct Text {
    const char* key;
    const char* english;
};

const Text kEnglish[] = {
    {"IDS_WIZARD_BACK", "< Back"},
    {"IDS_WIZARD_NEXT", "Next >"},
    {"IDS_WIZARD_FINISH", "Finish"},
    {"IDS_WIZARD_CANCEL", "Cancel"},
    {"IDS_ACCEPT_CANCEL", "Do you really want to cancel installation?"},
    {"IDS_TITLE_INSTALLER", "Installing configuration"},
    {"IDS_PREPARECOPY", "Preparing to copy..."},
    {"IDS_INSTALL_ERROR", "Installation error"},
    {"IDS_ERROR_NOSOURCE", "Distribution kit file kelda.efd not found."},
    {"IDS_ERROR_NOTARGET", "Installation of templates to the current directory is not supported."},
    {"IDS_ERROR_NOSPACE", "Insufficient space available in the directory Temp."},
    {"IDS_CHOOSEDIR_FOLDER", "&Folder:"},
    {"IDS_CHOOSEDIR_TITLE", "Choose Directory"},
    {"IDR_MAINFRAME", "Installing configuration"},
    {"IDS_SETUP_EMPTYTARGET", "Specify correct path to template directory."},
    {"IDS_INSTALL_FINISH", "Copying complete..."},
    {"IDS_ERROR_DAMAGEDSOURCE",
     "Distribution kit file kelda.efd corrupted or not designed for this installation program."},
    {"IDS_DEFPRODUCT", "<Product>"},
    {"IDS_DEFPROVIDER", "<Vendor>"},
    {"IDS_SUCCESS_FINISH", "Configuration installed successfully."},
    {"IDS_SUCCESS_OPENDESCR", "Open description of distribution package"},
    {"IDS_PROGRESS_START", "Files being copied..."},
    {"IDS_ERROR_FINISH",
     "An error occurred during the installation process. Installation canceled. Template "
     "directory has not been changed."},
    {"IDS_CANCEL_FINISH", "Installation canceled. Template directory has not been changed."},
    {"IDS_BROWSE_SELDIR", "Directory selected:"},
    {"IDS_BROWSE_OK", "Select"},
    {"IDS_BROWSE_CANCEL", "Cancel"},
    {"IDS_WELCOME_TITLE", "Welcome to the product installation program"},
    {"IDS_SETUP_EXISTEDTARGET",
     "The installation directory contains files that may be changed during the installation "
     "process. Do you want to continue?"},
    {"IDS_DESTINATION_PROMPT",
     "Specify path to template directory. The installation program will install templates and "
     "configuration files to the specified directory."},
    {"IDS_TEMPLATE_CATALOG", "Template directory:"},
    {"IDS_MSGBOX_YES", "&Yes"},
    {"IDS_MSGBOX_NO", "&No"},
    {"IDS_MSGBOX_OK", "&OK"},
    {"IDS_WELCOME_LINE", "%1 %2 (%3)."},
    {"IDS_WARN_LAUNCHERFILE",
     "The templates are installed, but the launcher settings file %1 could not be written: the "
     "launcher will not find this template directory."},
    {"IDS_SETUP_COUNTS",
     "New files: %1. Files to be replaced: %2. Files kept (newer or the same): %3."},
    {"IDS_ERROR_SPACEDETAIL", "Temporary directory %1: %2 MB needed, %3 MB available."},
    {"IDS_ERROR_NOTSIGNED",
     "Distribution kit file kelda.efd is not signed by %1 and cannot be installed."},
    {"IDS_ERROR_NOTRESTORED",
     "Installation canceled. The template directory could not be fully restored: the earlier "
     "versions of some files are kept in the folder %1."},
    {"IDS_RECOVERY_DONE", "An interrupted installation into %1 was undone."},
    {"IDS_RECOVERY_CHANGED",
     "An interrupted installation into %1 was undone, except for files changed since then; they "
     "were left as they are."},
    {"IDS_RECOVERY_NOTRESTORED",
     "An interrupted installation into %1 could not be fully undone: the earlier versions of some "
     "files are kept in the folder %2."},
    {"IDS_RECOVERY_UNREADABLE",
     "The record of an interrupted installation, %1, could not be read and was left alone."},
    {"IDS_INSTALL_BUSY",
     "Another installation into this template directory is running. Try again when it has "
     "finished."},
    {"IDS_ERROR_NOTWRITABLE",
     "The template directory cannot be created or written to. Specify another directory."},
    {"IDS_BROWSE_BUTTON", "Browse"},
    {"IDS_OPEN_FAILED", "The description could not be opened: %1"},
    {"IDS_PLAN_NEW", "new"},
    {"IDS_PLAN_UPDATE", "update"},
    {"IDS_PLAN_KEEP", "keep"},
    {"IDS_PLAN_BLOCKED", "blocked"},
    {"IDS_PLAN_SUMMARY",
     "New: %1, to update: %2, kept: %3, blocked: %4; %5 bytes would be written."},
    {"IDS_ERROR_LINEBREAK",
     "The template directory name contains a line break, a carriage return or a NUL "
     "character, which the launcher settings file cannot hold. Specify another directory."},
    {"IDS_ERROR_DISPLAYLOST", "The connection to the display was lost."},
    {"IDS_ERROR_TEMPUNUSABLE", "The temporary directory cannot be used."},
};

// The captions that carry a mnemonic marker.
const char* const kMnemonicKeys[] = {"IDS_CHOOSEDIR_FOLDER", "IDS_MSGBOX_YES", "IDS_MSGBOX_NO",
                                     "IDS_MSGBOX_OK"};

// Every test reads texts through the real conversion, in a UTF-8 locale.
class Catalogue : public ::testing::Test {
  protected:
    ScopedLocaleEnvironment env_{"C.UTF-8"};
};

const CatalogueRows& RowsOf(const char* code) {
    for (const CatalogueLanguage& language : kCatalogueLanguages) {
        if (std::strcmp(language.code, code) == 0) {
            return *language.rows;
        }
    }
    ADD_FAILURE() << "no rows for " << code;
    return kCatalogueEn;
}

std::string Utf8Text(const char* code, const char* key) {
    for (const CatalogueRow& row : RowsOf(code)) {
        if (row.key != nullptr && std::strcmp(row.key, key) == 0) {
            return row.text != nullptr ? row.text : "";
        }
    }
    return "";
}

bool IsValidUtf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t extra = c < 0x80           ? 0
                       : (c >> 5) == 0x6  ? 1
                       : (c >> 4) == 0xE  ? 2
                       : (c >> 3) == 0x1E ? 3
                                          : 9;
        if (extra == 9 || (extra == 1 && c < 0xC2) || i + extra >= s.size()) {
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

TEST_F(Catalogue, NumbersAndCodesAreFixed) {
    for (const Language& language : kLanguages) {
        EXPECT_EQ(language.number, FindLanguage(stdx::string8(language.code))) << language.code;
    }
    ASSERT_EQ(sizeof kLanguages / sizeof kLanguages[0], kCatalogueLanguageCount);
    for (size_t i = 0; i < kCatalogueLanguageCount; ++i) {
        EXPECT_EQ(kLanguages[i].number, kCatalogueLanguages[i].number);
        EXPECT_STREQ(kLanguages[i].code, kCatalogueLanguages[i].code);
    }
}

TEST_F(Catalogue, FindLanguageComparesWholeCodesByteForByte) {
    for (const char* code : {"", "DE", "De", "d", "deu", "de ", " de", "el", "pt", "18"}) {
        EXPECT_EQ(0, FindLanguage(stdx::string8(code))) << '"' << code << '"';
    }
    EXPECT_EQ(0, FindLanguage(stdx::string8("d\0e", 3)));
}

TEST_F(Catalogue, EnglishTextsAreExact) {
    SetCurrentLanguage(5);
    for (const Text& text : kEnglish) {
        EXPECT_EQ(u16(text.english), GetLocalizedString(text.key)) << text.key;
        EXPECT_EQ(u16(text.english), GetLocalizedString(stdx::string8(text.key))) << text.key;
    }
}

TEST_F(Catalogue, EveryTableHasTheEnglishKeysInOrderWithNonEmptyUtf8Texts) {
    for (const CatalogueLanguage& language : kCatalogueLanguages) {
        const CatalogueRows& rows = *language.rows;
        for (size_t i = 0; i < kCatalogueKeyCount; ++i) {
            SCOPED_TRACE(std::string(language.code) + " row " + std::to_string(i));
            ASSERT_NE(nullptr, rows[i].key);
            ASSERT_NE(nullptr, rows[i].text);
            EXPECT_STREQ(kEnglish[i].key, rows[i].key);
            const std::string text = rows[i].text;
            EXPECT_FALSE(text.empty());
            EXPECT_TRUE(IsValidUtf8(text));
            EXPECT_EQ(std::string::npos, text.find_first_of("\r\n\t"));
            EXPECT_NE(' ', text.front());
            EXPECT_NE(' ', text.back());
        }
    }
}

TEST_F(Catalogue, EveryLanguageAnswersEveryKeyThroughTheConversion) {
    for (const Language& language : kLanguages) {
        SetCurrentLanguage(language.number);
        for (const Text& text : kEnglish) {
            const stdx::string16 got = GetLocalizedString(text.key);
            EXPECT_FALSE(got.empty()) << language.code << ' ' << text.key;
            EXPECT_EQ(u16(Utf8Text(language.code, text.key)), got)
                << language.code << ' ' << text.key;
        }
        EXPECT_TRUE(GetLocalizedString("IDS_NO_SUCH_KEY").empty()) << language.code;
        EXPECT_TRUE(GetLocalizedString("ids_wizard_next").empty()) << language.code;
        EXPECT_TRUE(GetLocalizedString(static_cast<const char*>(nullptr)).empty());
    }
}

TEST_F(Catalogue, OnlyArabicCarriesTheEnglishTexts) {
    for (const Language& language : kLanguages) {
        if (std::strcmp(language.code, "en") == 0) {
            continue;
        }
        for (const Text& text : kEnglish) {
            const std::string translated = Utf8Text(language.code, text.key);
            if (std::strcmp(language.code, "ar") == 0) {
                EXPECT_EQ(text.english, translated) << text.key;
            } else if (std::strcmp(text.key, "IDS_MSGBOX_OK") != 0 &&
                       std::strcmp(text.key, "IDS_MSGBOX_NO") != 0 &&
                       std::strcmp(text.key, "IDS_WELCOME_LINE") != 0) {
                // A user who picked this language meets no English text ("OK",
                // "No" and the bare punctuation pattern are shared by many).
                EXPECT_NE(text.english, translated) << language.code << ' ' << text.key;
            }
        }
    }
}

// The rows every language must show exactly as given; a rewording is no
// reason to change them.
TEST_F(Catalogue, FixedButtonRows) {
    struct Row {
        const char* code;
        const char* back;
        const char* next;
        const char* finish;
        const char* cancel;
        const char* product;
        const char* provider;
    };
    const Row rows[] = {
        {"de", "< Zurück", "Weiter >", "Fertig", "Abbrechen", "<Produkt>", "<Lieferant>"},
        {"fr", "< Retour", "Suivant >", "OK", "Annuler", "<Produit>", "<Fournisseur>"},
        {"ru", "< Назад", "Далее >", "Готово", "Отмена", "<Продукт>", "<Поставщик>"},
        {"hu", "< Vissza", "Következő>", "Kész", "Mégsem", "<Termék>", "<Beszállító>"},
        {"zh", "<退回", "继续>", "完成", "取消", "<软件>", "<供应者>"},
        {"en", "< Back", "Next >", "Finish", "Cancel", "<Product>", "<Vendor>"},
        {"ar", "< Back", "Next >", "Finish", "Cancel", "<Product>", "<Vendor>"},
    };
    for (const Row& row : rows) {
        SetCurrentLanguage(FindLanguage(stdx::string8(row.code)));
        EXPECT_EQ(u16(row.back), GetLocalizedString("IDS_WIZARD_BACK")) << row.code;
        EXPECT_EQ(u16(row.next), GetLocalizedString("IDS_WIZARD_NEXT")) << row.code;
        EXPECT_EQ(u16(row.finish), GetLocalizedString("IDS_WIZARD_FINISH")) << row.code;
        EXPECT_EQ(u16(row.cancel), GetLocalizedString("IDS_WIZARD_CANCEL")) << row.code;
        EXPECT_EQ(u16(row.product), GetLocalizedString("IDS_DEFPRODUCT")) << row.code;
        EXPECT_EQ(u16(row.provider), GetLocalizedString("IDS_DEFPROVIDER")) << row.code;
    }
}

TEST_F(Catalogue, TranslationsKeepTheMarkersOfTheEnglishTexts) {
    for (const Language& language : kLanguages) {
        SCOPED_TRACE(language.code);
        auto text = [&](const char* key) { return Utf8Text(language.code, key); };
        EXPECT_NE(std::string::npos, text("IDS_ERROR_NOSOURCE").find("kelda.efd"));
        EXPECT_NE(std::string::npos, text("IDS_ERROR_DAMAGEDSOURCE").find("kelda.efd"));
        EXPECT_NE(std::string::npos, text("IDS_ERROR_NOTSIGNED").find("kelda.efd"));
        EXPECT_NE(std::string::npos, text("IDS_ERROR_NOSPACE").find("Temp"));
        // Each placeholder of a text with filled-in parts appears exactly once.
        const struct {
            const char* key;
            int count;
        } filled[] = {{"IDS_WELCOME_LINE", 3},   {"IDS_OPEN_FAILED", 1},
                      {"IDS_PLAN_SUMMARY", 5},   {"IDS_WARN_LAUNCHERFILE", 1},
                      {"IDS_SETUP_COUNTS", 3},   {"IDS_ERROR_SPACEDETAIL", 3},
                      {"IDS_ERROR_NOTSIGNED", 1}};
        for (const auto& f : filled) {
            const std::string t = text(f.key);
            for (int n = 1; n <= 5; ++n) {
                const std::string mark = "%" + std::to_string(n);
                const size_t at = t.find(mark);
                EXPECT_EQ(n <= f.count, at != std::string::npos) << f.key << " " << mark;
                if (at != std::string::npos) {
                    EXPECT_EQ(std::string::npos, t.find(mark, at + 1)) << f.key << " " << mark;
                }
            }
        }
        // One mnemonic marker, in front of a letter.
        for (const char* key : kMnemonicKeys) {
            const std::string caption = text(key);
            const size_t amp = caption.find('&');
            ASSERT_NE(std::string::npos, amp) << key;
            EXPECT_EQ(std::string::npos, caption.find('&', amp + 1)) << key;
            EXPECT_TRUE(std::iswalpha(l10n::MnemonicOf(stdx::string8(caption.c_str())))) << key;
        }
        EXPECT_EQ('<', text("IDS_WIZARD_BACK").front());
        EXPECT_EQ('>', text("IDS_WIZARD_NEXT").back());
        for (const char* key : {"IDS_DEFPRODUCT", "IDS_DEFPROVIDER"}) {
            EXPECT_EQ('<', text(key).front()) << key;
            EXPECT_EQ('>', text(key).back()) << key;
        }
        for (const char* key : {"IDS_PREPARECOPY", "IDS_INSTALL_FINISH", "IDS_PROGRESS_START"}) {
            const std::string t = text(key);
            ASSERT_GE(t.size(), 3u);
            // Three full stops, or the language's own ellipsis (zh "……").
            EXPECT_TRUE(t.substr(t.size() - 3) == "..." || t.substr(t.size() - 3) == "…") << key;
        }
        // No other text carries "&", which a toolkit would read as a mnemonic.
        for (const Text& english : kEnglish) {
            if (std::find_if(std::begin(kMnemonicKeys), std::end(kMnemonicKeys),
                             [&](const char* key) { return std::strcmp(key, english.key) == 0; }) ==
                std::end(kMnemonicKeys)) {
                EXPECT_EQ(std::string::npos, text(english.key).find('&')) << english.key;
            }
        }
    }
}

// The two buttons of a question box answer to different keys in every
// language: Alt with the marked letter in a window, the first letter of the
// word on the console (beside y and n, which every language accepts).
TEST_F(Catalogue, YesAndNoNeverShareAKey) {
    for (const Language& language : kLanguages) {
        SCOPED_TRACE(language.code);
        const stdx::string8 yes(Utf8Text(language.code, "IDS_MSGBOX_YES").c_str());
        const stdx::string8 no(Utf8Text(language.code, "IDS_MSGBOX_NO").c_str());
        const char32_t yesMark = l10n::FoldCase(l10n::MnemonicOf(yes));
        const char32_t noMark = l10n::FoldCase(l10n::MnemonicOf(no));
        ASSERT_NE(0u, yesMark);
        ASSERT_NE(0u, noMark);
        EXPECT_NE(yesMark, noMark);
        const char32_t yesFirst = l10n::FoldCase(l10n::FirstCharacter(l10n::WithoutMnemonic(yes)));
        const char32_t noFirst = l10n::FoldCase(l10n::FirstCharacter(l10n::WithoutMnemonic(no)));
        EXPECT_NE(yesFirst, noFirst);
        EXPECT_NE(U'n', yesFirst);
        EXPECT_NE(U'y', noFirst);
    }
}

// The tables are UTF-8 whatever the user's locale: "setup -Lru" started in
// the "C" locale (or a Latin-1 one) still gets whole Russian texts, not the
// part before the first non-ASCII byte or a misread of the bytes.
TEST_F(Catalogue, TextsDoNotDependOnTheLocaleEncoding) {
    for (const char* lang : {"C", "POSIX", "de_DE.ISO-8859-1"}) {
        ScopedLocaleEnvironment env(lang);
        for (const Language& language : kLanguages) {
            SetCurrentLanguage(language.number);
            for (const Text& text : kEnglish) {
                EXPECT_EQ(u16(Utf8Text(language.code, text.key)), GetLocalizedString(text.key))
                    << lang << ' ' << language.code << ' ' << text.key;
            }
        }
    }
}

TEST_F(Catalogue, UnknownCurrentLanguageYieldsEmptyTexts) {
    for (int number : {0, 18, 24, -5}) {
        SetCurrentLanguage(number);
        EXPECT_EQ(number, GetCurrentLanguage());
        EXPECT_TRUE(GetLocalizedString("IDR_MAINFRAME").empty()) << number;
    }
}

TEST_F(Catalogue, TwoThreadsReadTextsAtOnce) {
    SetCurrentLanguage(FindLanguage(stdx::string8("uk")));
    const stdx::string16 expected = u16(Utf8Text("uk", "IDS_INSTALL_FINISH"));
    auto reader = [&expected](bool* ok) {
        for (int i = 0; i < 2000; ++i) {
            if (GetLocalizedString("IDS_INSTALL_FINISH") != expected) {
                *ok = false;
            }
        }
    };
    bool firstOk = true;
    bool secondOk = true;
    std::thread worker(reader, &secondOk);
    reader(&firstOk);
    worker.join();
    EXPECT_TRUE(firstOk);
    EXPECT_TRUE(secondOk);
}

}  // namespace

namespace {

TEST(FormatText, FillsEachPlaceholderOnceInOnePass) {
    const struct {
        const char16_t* pattern;
        const char* expected;
    } cases[] = {
        {u"%1 %2 (%3).", "A %2 (C)."},  // an argument holding "%2" stays as it is
        {u"%3-%1", "C-A"},
        {u"100% %1", "100% A"},
        {u"%4 %", "%4 %"},  // no fourth argument: left in place
        {u"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8(FormatText(c.pattern, {u"A", u"%2", u"C"})), c.expected);
    }
}

}  // namespace

namespace {

TEST(Mnemonic, MarksReadAndSpelledForEachToolkit) {
    const struct {
        const char* caption;
        char32_t mark;
        const char* plain;
        const char* gtk;
    } cases[] = {
        {"&Yes", U'Y', "Yes", "_Yes"},
        {"是(&Y)", U'Y', "是(Y)", "是(_Y)"},
        {"&Да", U'Д', "Да", "_Да"},
        {"Save && &quit", U'q', "Save & quit", "Save & _quit"},
        {"my_file", 0, "my_file", "my__file"},
        {"plain", 0, "plain", "plain"},
        {"end&", 0, "end&", "end&"},
        {"", 0, "", ""},
    };
    for (const auto& c : cases) {
        const stdx::string8 caption(c.caption);
        EXPECT_EQ(c.mark, l10n::MnemonicOf(caption)) << c.caption;
        EXPECT_STREQ(c.plain, l10n::WithoutMnemonic(caption).c_str()) << c.caption;
        EXPECT_STREQ(c.gtk, l10n::UnderlineMnemonic(caption).c_str()) << c.caption;
    }
}

}  // namespace
