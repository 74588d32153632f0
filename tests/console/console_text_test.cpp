// Texts for the terminal: characters the locale's encoding cannot hold, and
// the fall-back to English when the chosen language cannot be shown.
#include "console/console_text.h"

#include <gtest/gtest.h>

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

}  // namespace
