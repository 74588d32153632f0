// Texts for the terminal: characters the locale's encoding cannot hold, and
// the fall-back to English when the chosen language cannot be shown.
#include "console/console_text.h"

#include <gtest/gtest.h>

#include "console/yes_no.h"
#include "l10n/localization.h"
#include "support/locale_environment.h"

namespace {

using testing_support::ScopedLocaleEnvironment;

TEST(ConsoleText, UnrepresentableCharactersBecomeQuestionMarks) {
    {
        ScopedLocaleEnvironment c("C");
        EXPECT_EQ(console::ToTerminal("Gr\xC3\xBC\xC3\x9F"
                                      "e /tmp/\xE6\x97\xA5"),
                  "Gr??e /tmp/?");
        EXPECT_FALSE(
            console::FitsTerminal("Gr\xC3\xBC\xC3\x9F"
                                  "e"));
        EXPECT_TRUE(console::FitsTerminal("plain ASCII"));
    }
    ScopedLocaleEnvironment utf8("en_US.UTF-8");
    EXPECT_EQ(console::ToTerminal("Gr\xC3\xBC\xC3\x9F"
                                  "e \xF0\x9F\x93\x81"),
              "Gr\xC3\xBC\xC3\x9F"
              "e \xF0\x9F\x93\x81");
}

TEST(ConsoleText, ALanguageTheTerminalCannotShowFallsBackToEnglish) {
    const struct {
        const char* lang;
        const char* code;
        bool fallsBack;
    } cases[] = {
        {"C", "ru", true},
        {"C", "de", true},
        {"C", "en", false},
        {"de_DE.UTF-8", "ru", false},
        {"ru_RU.UTF-8", "zh", false},
    };
    for (const auto& c : cases) {
        ScopedLocaleEnvironment locale(c.lang);
        SetCurrentLanguage(FindLanguage(stdx::string8(c.code)));
        StartupOptions options;
        options.dialogLanguage = stdx::string16(u"xx");
        EXPECT_EQ(console::FallBackToEnglishIfNeeded(options), c.fallsBack) << c.lang << c.code;
        const int expected =
            c.fallsBack ? kDefaultLanguageNumber : FindLanguage(stdx::string8(c.code));
        EXPECT_EQ(GetCurrentLanguage(), expected) << c.lang << c.code;
        EXPECT_EQ(options.dialogLanguage == stdx::string16(u"en"), c.fallsBack);
    }
    SetCurrentLanguage(kDefaultLanguageNumber);
}

// The progress line is measured in screen columns: a Chinese caption takes
// twice its characters, and the file name keeps whole characters.
TEST(ConsoleText, WidthsAreScreenColumns) {
    ScopedLocaleEnvironment utf8("en_US.UTF-8");
    EXPECT_EQ(console::DisplayColumns("a.txt"), 5u);
    EXPECT_EQ(console::DisplayColumns("\xD0\x94\xD0\xB0"), 2u);          // "Да"
    EXPECT_EQ(console::DisplayColumns("\xE6\x96\x87\xE4\xBB\xB6"), 4u);  // "文件"
    EXPECT_EQ(console::DisplayColumns("e\xCC\x81"), 1u);                 // e + accent
    EXPECT_EQ(console::FitTail("a.txt", 5), "a.txt");
    EXPECT_EQ(console::FitTail("dir/a.txt", 8), "...a.txt");
    EXPECT_EQ(console::FitTail("ab", 1), ".");
    // "文件文件.txt" is 12 columns; 9 leave room for one wide character.
    EXPECT_EQ(console::FitTail("\xE6\x96\x87\xE4\xBB\xB6\xE6\x96\x87\xE4\xBB\xB6.txt", 9),
              "...\xE4\xBB\xB6.txt");
    EXPECT_EQ(console::FitTail("\xE6\x96\x87\xE4\xBB\xB6\xE6\x96\x87\xE4\xBB\xB6.txt", 8),
              "....txt");
}

// A yes/no question takes y/n in every language and the language's own
// words, whole or by their first letter.
TEST(ConsoleText, YesAndNoInTheChosenLanguage) {
    ScopedLocaleEnvironment utf8("ru_RU.UTF-8");
    const struct {
        const char* code;
        const char* typed;
        console::YesNo answer;
    } cases[] = {
        {"ru", "\xD0\xB4", console::YesNo::kYes},                 // "д"
        {"ru", "\xD0\x94\xD0\xB0", console::YesNo::kYes},         // "Да"
        {"ru", " \xD0\xBD ", console::YesNo::kNo},                // " н "
        {"ru", "\xD0\xBD\xD0\xB5\xD1\x82", console::YesNo::kNo},  // "нет"
        {"ru", "y", console::YesNo::kYes},
        {"ru", "N", console::YesNo::kNo},
        {"ru", "\xD0\xB6", console::YesNo::kUnclear},  // "ж"
        {"de", "j", console::YesNo::kYes},
        {"de", "Nein", console::YesNo::kNo},
        {"de", "YES", console::YesNo::kYes},
        {"en", "yes", console::YesNo::kYes},
        {"en", "j", console::YesNo::kUnclear},
        {"en", "", console::YesNo::kUnclear},
        {"en", "\xFF", console::YesNo::kUnclear},
        {"zh", "\xE6\x98\xAF", console::YesNo::kYes},  // "是"
        {"tr", "h", console::YesNo::kNo},
        {"tr", "e", console::YesNo::kYes},
    };
    for (const auto& c : cases) {
        SetCurrentLanguage(FindLanguage(stdx::string8(c.code)));
        EXPECT_EQ(console::ReadYesNo(c.typed), c.answer) << c.code << " \"" << c.typed << '"';
    }
    SetCurrentLanguage(FindLanguage(stdx::string8("ru")));
    EXPECT_EQ(console::YesNoChoices(), "[\xD0\xB4/\xD0\xBD]");
    SetCurrentLanguage(kDefaultLanguageNumber);
    EXPECT_EQ(console::YesNoChoices(), "[y/n]");
}

}  // namespace
