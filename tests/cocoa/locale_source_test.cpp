// The locale source of setup-mac takes NSLocale's identifier and fills LANG
// only when it is unset or empty, so that a user's own LANG always wins and
// the text conversions otherwise run in UTF-8.
#include "cocoa/locale_source.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

class LocaleSource : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* lang = std::getenv("LANG");
        hadLang_ = lang != nullptr;
        if (hadLang_) {
            savedLang_ = lang;
        }
    }
    void TearDown() override {
        if (hadLang_) {
            setenv("LANG", savedLang_.c_str(), 1);
        } else {
            unsetenv("LANG");
        }
    }

  private:
    bool hadLang_ = false;
    std::string savedLang_;
};

TEST_F(LocaleSource, KeepsTheUsersLang) {
    setenv("LANG", "hu_HU.UTF-8", 1);
    stdx::string8 name;
    cocoa::CurrentLocaleName(name);
    EXPECT_STREQ(std::getenv("LANG"), "hu_HU.UTF-8");
}

TEST_F(LocaleSource, FillsAnEmptyLangFromTheIdentifier) {
    for (bool unset : {true, false}) {
        if (unset) {
            unsetenv("LANG");
        } else {
            setenv("LANG", "", 1);
        }
        stdx::string8 name;
        if (!cocoa::CurrentLocaleName(name)) {
            // No identifier: LANG must be left as it was.
            const char* lang = std::getenv("LANG");
            EXPECT_TRUE(lang == nullptr || lang[0] == '\0');
            continue;
        }
        ASSERT_FALSE(name.empty());
        const char* lang = std::getenv("LANG");
        ASSERT_NE(lang, nullptr);
        const std::string filled(lang);
        ASSERT_GT(filled.size(), 6u);
        EXPECT_EQ(filled.substr(filled.size() - 6), ".UTF-8") << filled;
        // The language part is the identifier's.
        EXPECT_EQ(filled.substr(0, 2), std::string(name.c_str()).substr(0, 2)) << filled;
    }
}

}  // namespace
