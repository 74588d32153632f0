// The start-up scan: which language, dialog code and flags a command line and
// a locale yield, run against the real catalogue and real installed locales.
#include "l10n/startup_options.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "l10n/localization.h"
#include "support/locale_environment.h"

namespace {

using testing_support::ScopedLocaleEnvironment;

StartupOptions Scan(std::vector<const char*> args, LocaleNameSource source = ProcessLocaleName) {
    args.insert(args.begin(), "setup");
    return ScanStartupOptions(static_cast<int>(args.size()), args.data(), source);
}

std::string Lang() {
    const char* lang = std::getenv("LANG");
    return lang != nullptr ? lang : "<unset>";
}

// Locale sources standing in for the macOS one: a fixed identifier, passed
// through the same LANG filling that the real source uses.
int gSourceCalls = 0;
bool GermanIdentifier(stdx::string8& name) {
    ++gSourceCalls;
    name = stdx::string8("de_DE");
    FillLangFromLocaleIdentifier(name);
    return true;
}
bool TwoLetterIdentifier(stdx::string8& name) {
    name = stdx::string8("uk");
    return true;
}
bool OneLetterIdentifier(stdx::string8& name) {
    name = stdx::string8("d");
    return true;
}
bool NoLocale(stdx::string8&) {
    return false;
}

TEST(StartupScan, LanguageOptionChoosesCatalogueAndDialogLanguage) {
    ScopedLocaleEnvironment env("en_US.UTF-8");
    const StartupOptions opts = Scan({"-Lde"});
    EXPECT_EQ(8, opts.languageNumber);
    EXPECT_EQ(8, GetCurrentLanguage());
    EXPECT_EQ(stdx::string16(u"de"), opts.dialogLanguage);
    EXPECT_EQ(stdx::string16(u"< Zurück"), GetLocalizedString("IDS_WIZARD_BACK"));
    EXPECT_FALSE(opts.autoStart);
    EXPECT_FALSE(opts.useCwd);
}

TEST(StartupScan, CodesAreCaseSensitiveSoTheLocaleDecides) {
    ScopedLocaleEnvironment env("fr_FR.UTF-8");
    const StartupOptions opts = Scan({"/lDE"});
    EXPECT_EQ(6, opts.languageNumber);
    EXPECT_EQ(stdx::string16(u"fr"), opts.dialogLanguage);
}

TEST(StartupScan, OnlyTheFirstLanguageOptionIsExamined) {
    ScopedLocaleEnvironment env("ru_RU.UTF-8");
    const StartupOptions opts = Scan({"-Lxx", "-Lde"});
    EXPECT_EQ(17, opts.languageNumber);
    EXPECT_EQ(stdx::string16(u"ru"), opts.dialogLanguage);
    EXPECT_EQ(stdx::string16(u"Далее >"), GetLocalizedString("IDS_WIZARD_NEXT"));
}

TEST(StartupScan, UsecwdCountsOnlyAsTheFirstArgument) {
    ScopedLocaleEnvironment env("en_US.UTF-8");
    StartupOptions opts = Scan({"usecwd", "-Lfr"});
    EXPECT_TRUE(opts.useCwd);
    EXPECT_EQ(stdx::string16(u"fr"), opts.dialogLanguage);
    EXPECT_EQ(stdx::string16(u"Suivant >"), GetLocalizedString("IDS_WIZARD_NEXT"));

    opts = Scan({"-Lfr", "usecwd"});
    EXPECT_FALSE(opts.useCwd);
    EXPECT_EQ(stdx::string16(u"fr"), opts.dialogLanguage);
    EXPECT_EQ(6, GetCurrentLanguage());

    // Exact match only.
    EXPECT_FALSE(Scan({"USECWD"}).useCwd);
    EXPECT_FALSE(Scan({"usecwd2"}).useCwd);
    EXPECT_FALSE(Scan({"-S", "usecwd"}).useCwd);
}

TEST(StartupScan, EmptyLanguageOptionMatchesNothing) {
    ScopedLocaleEnvironment env("hu_HU.UTF-8");
    const StartupOptions opts = Scan({"-L", "-Lde"});
    EXPECT_EQ(10, opts.languageNumber);
    EXPECT_EQ(stdx::string16(u"hu"), opts.dialogLanguage);
}

TEST(StartupScan, AutoStartOptionContinuesTheScanUntilTheLanguageOption) {
    ScopedLocaleEnvironment env("en_US.UTF-8");
    StartupOptions opts = Scan({"-S", "stray", "/lit"});
    EXPECT_TRUE(opts.autoStart);
    EXPECT_EQ(stdx::string16(u"it"), opts.dialogLanguage);

    EXPECT_TRUE(Scan({"/s"}).autoStart);
    EXPECT_TRUE(Scan({"usecwd", "-sfoo"}).autoStart);
    // The scan ends at the language option, so a later S is never seen.
    opts = Scan({"-Lxx", "-S"});
    EXPECT_FALSE(opts.autoStart);
    // Not options: no leading "-" or "/", or a different letter.
    EXPECT_FALSE(Scan({"S", "s", "+S", "-X", "-", "/", ""}).autoStart);
}

TEST(StartupScan, LocaleChoosesWhenNoOptionDoes) {
    {
        ScopedLocaleEnvironment env("hu_HU.UTF-8");
        const StartupOptions opts = Scan({});
        EXPECT_EQ(10, opts.languageNumber);
        EXPECT_EQ(stdx::string16(u"hu"), opts.dialogLanguage);
        EXPECT_EQ(stdx::string16(u"Következő>"), GetLocalizedString("IDS_WIZARD_NEXT"));
        EXPECT_EQ(stdx::string16(u"Kész"), GetLocalizedString("IDS_WIZARD_FINISH"));
    }
    {
        // Portuguese has no table: English, and the dialog asks for "en".
        ScopedLocaleEnvironment env("pt_BR.UTF-8");
        const StartupOptions opts = Scan({});
        EXPECT_EQ(5, opts.languageNumber);
        EXPECT_EQ(stdx::string16(u"en"), opts.dialogLanguage);
        EXPECT_EQ(stdx::string16(u"Next >"), GetLocalizedString("IDS_WIZARD_NEXT"));
    }
}

TEST(StartupScan, UnmatchedLocalesFallBackToEnglish) {
    for (const char* lang : {"ja_JP.UTF-8", "C", "POSIX", "C.UTF-8"}) {
        ScopedLocaleEnvironment env(lang);
        SetCurrentLanguage(8);
        const StartupOptions opts = Scan({"-Lzz"});
        EXPECT_EQ(5, opts.languageNumber) << lang;
        EXPECT_EQ(5, GetCurrentLanguage()) << lang;
        EXPECT_EQ(stdx::string16(u"en"), opts.dialogLanguage) << lang;
    }
}

TEST(StartupScan, MixedLocaleCategoriesGiveACompositeNameAndEnglish) {
    ScopedLocaleEnvironment env("de_DE.UTF-8");
    env.Set("LC_TIME", "fr_FR.UTF-8");
    EXPECT_EQ(stdx::string16(u"en"), Scan({}).dialogLanguage);
}

TEST(StartupScan, LocaleSourceOnlyDecidesWhenNoOptionChose) {
    ScopedLocaleEnvironment env("en_US.UTF-8");
    EXPECT_EQ(stdx::string16(u"uk"), Scan({}, TwoLetterIdentifier).dialogLanguage);
    EXPECT_EQ(20, GetCurrentLanguage());
    EXPECT_EQ(stdx::string16(u"en"), Scan({}, OneLetterIdentifier).dialogLanguage);
    EXPECT_EQ(stdx::string16(u"en"), Scan({}, NoLocale).dialogLanguage);
    EXPECT_EQ(stdx::string16(u"en"), Scan({}, nullptr).dialogLanguage);
    EXPECT_EQ(stdx::string16(u"pl"), Scan({"-Lpl"}, TwoLetterIdentifier).dialogLanguage);
}

TEST(StartupScan, IdentifierSourceFillsAnEmptyLangWithAUtf8Locale) {
    {
        ScopedLocaleEnvironment env(nullptr);
        gSourceCalls = 0;
        const StartupOptions opts = Scan({}, GermanIdentifier);
        EXPECT_EQ(1, gSourceCalls);
        EXPECT_EQ("de_DE.UTF-8", Lang());
        EXPECT_EQ(stdx::string16(u"de"), opts.dialogLanguage);
        // Non-ASCII texts survive: the conversions run in the filled-in locale.
        EXPECT_EQ(stdx::string16(u"< Zurück"), GetLocalizedString("IDS_WIZARD_BACK"));
    }
    {
        ScopedLocaleEnvironment env("");
        Scan({}, GermanIdentifier);
        EXPECT_EQ("de_DE.UTF-8", Lang());
    }
    {
        ScopedLocaleEnvironment env("fr_FR.UTF-8");
        const StartupOptions opts = Scan({}, GermanIdentifier);
        EXPECT_EQ("fr_FR.UTF-8", Lang());
        // The identifier, not LANG, names the language.
        EXPECT_EQ(stdx::string16(u"de"), opts.dialogLanguage);
    }
}

TEST(StartupScan, IdentifierSourceStillPreparesTheLocaleWhenAnOptionChose) {
    // With LANG empty and -Lru, Cyrillic texts need the UTF-8 locale that
    // only the source provides.
    ScopedLocaleEnvironment env(nullptr);
    gSourceCalls = 0;
    const StartupOptions opts = Scan({"-Lru"}, GermanIdentifier);
    EXPECT_EQ(1, gSourceCalls);
    EXPECT_EQ("de_DE.UTF-8", Lang());
    EXPECT_EQ(stdx::string16(u"ru"), opts.dialogLanguage);
    EXPECT_EQ(stdx::string16(u"< Назад"), GetLocalizedString("IDS_WIZARD_BACK"));
}

TEST(StartupScan, ToleratesAShortOrTruncatedArgumentVector) {
    ScopedLocaleEnvironment env("en_US.UTF-8");
    const char* only[] = {"setup"};
    EXPECT_EQ(5, ScanStartupOptions(1, only).languageNumber);
    EXPECT_EQ(5, ScanStartupOptions(0, nullptr).languageNumber);
    const char* ended[] = {"setup", nullptr, "-Lde"};
    EXPECT_EQ(5, ScanStartupOptions(3, ended).languageNumber);
}

}  // namespace

namespace {

// Platform identifiers carry script subtags and "@" keywords that no POSIX
// locale name has; LANG built from them would name no locale at all.
TEST(LocaleIdentifier, BecomesAPosixNameForLang) {
    EXPECT_EQ(PosixLocaleFromIdentifier(stdx::string8("de_DE")), stdx::string8("de_DE"));
    EXPECT_EQ(PosixLocaleFromIdentifier(stdx::string8("zh-Hans_CN")), stdx::string8("zh_CN"));
    EXPECT_EQ(PosixLocaleFromIdentifier(stdx::string8("de_DE@rg=chzzzz")), stdx::string8("de_DE"));
    EXPECT_EQ(PosixLocaleFromIdentifier(stdx::string8("sr-Latn")), stdx::string8("sr"));
    EXPECT_EQ(PosixLocaleFromIdentifier(stdx::string8("")), stdx::string8(""));

    ScopedLocaleEnvironment env(nullptr);
    FillLangFromLocaleIdentifier(stdx::string8("zh-Hans_CN"));
    EXPECT_EQ(Lang(), "zh_CN.UTF-8");
}

TEST(LocaleIdentifier, EmptyIdentifierOrSetLangLeavesLangAlone) {
    ScopedLocaleEnvironment unset(nullptr);
    FillLangFromLocaleIdentifier(stdx::string8("@rg=chzzzz"));
    EXPECT_EQ(Lang(), "<unset>");
    setenv("LANG", "fr_FR.UTF-8", 1);
    FillLangFromLocaleIdentifier(stdx::string8("de_DE"));
    EXPECT_EQ(Lang(), "fr_FR.UTF-8");
}

}  // namespace
