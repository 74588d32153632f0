#include "text/string_util.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <thread>
#include <vector>

#include "text/utf8.h"

using stdx::string16;
using stdx::string8;

TEST(FormatInt, Bases) {
    EXPECT_EQ(stdx::format_int(8, 10), string16(u"8"));
    EXPECT_EQ(stdx::format_int(-5, 10), string16(u"-5"));
    EXPECT_EQ(stdx::format_int(-1, 16), string16(u"ffffffff"));
    EXPECT_EQ(stdx::format_int(0, 2), string16(u"0"));
    EXPECT_EQ(stdx::format_int(INT32_MIN, 10), string16(u"-2147483648"));
    EXPECT_EQ(stdx::format_int(255, 36), string16(u"73"));
}

// Names from a kit or a user shown as text: control characters (C0, DEL,
// C1) become \xHH, everything else stays, surrogate pairs included.
TEST(EscapeControls, WritesControlCharactersAsHexAndKeepsTheRest) {
    EXPECT_EQ(stdx::escape_controls(u"plain/\u00E4\u65E5\U0001F600 name"),
              stdx::string16(u"plain/\u00E4\u65E5\U0001F600 name"));
    EXPECT_EQ(stdx::escape_controls(u"evil\x1B[31mred\nInjected=1\r\t\x7F\u009B"),
              stdx::string16(u"evil\\x1B[31mred\\x0AInjected=1\\x0D\\x09\\x7F\\x9B"));
    stdx::string16 nul(u"a");
    nul.push_back(u'\0');
    nul += u"b";
    EXPECT_EQ(stdx::escape_controls(nul), stdx::string16(u"a\\x00b"));
    EXPECT_TRUE(stdx::escape_controls(stdx::string16()).empty());
}

TEST(ReplaceAll, SameAndDifferentLengths) {
    string16 path(u"a\\b\\c");
    EXPECT_EQ(stdx::replace_all(path, u"\\", u"/"), 2u);
    EXPECT_EQ(path, string16(u"a/b/c"));
    EXPECT_EQ(stdx::replace_all(path, string16(), u"x"), 0u);
    string16 empty;
    EXPECT_EQ(stdx::replace_all(empty, u"a", u"b"), 0u);

    string16 t(u"aaa");
    EXPECT_EQ(stdx::replace_all(t, u"aa", u"b"), 1u) << "non-overlapping, left to right";
    EXPECT_EQ(t, string16(u"ba"));
    string16 grow(u"x.y.z and a long tail that lives on the heap");
    EXPECT_EQ(stdx::replace_all(grow, u".", u"::"), 2u);
    EXPECT_EQ(grow, string16(u"x::y::z and a long tail that lives on the heap"));
    string16 self(u"abab");
    EXPECT_EQ(stdx::replace_all(self, u"ab", u"abab"), 2u) << "replacement text is not rescanned";
    EXPECT_EQ(self, string16(u"abababab"));
}

class Conversions : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = getenv("LC_ALL") ? getenv("LC_ALL") : "";
        had_ = getenv("LC_ALL") != nullptr;
    }
    void TearDown() override {
        if (had_)
            setenv("LC_ALL", saved_.c_str(), 1);
        else
            unsetenv("LC_ALL");
        stdx::select_environment_locale();
    }
    void use(const char* locale) {
        setenv("LC_ALL", locale, 1);
        stdx::select_environment_locale();
    }
    std::string saved_;
    bool had_ = false;
};

TEST_F(Conversions, Utf8RoundTripOfEveryNonSurrogateUnit) {
    use("C.UTF-8");
    string16 all;
    for (uint32_t u = 1; u < 0x10000; ++u) {
        if (u >= 0xd800 && u < 0xe000)
            continue;
        all.push_back(char16_t(u));
    }
    string8 bytes = stdx::narrow(all);
    EXPECT_EQ(stdx::widen(bytes), all);
    EXPECT_EQ(stdx::narrow(string16(u"Vorlagen für Ärzte")),
              string8("Vorlagen f\xc3\xbcr \xc3\x84rzte"));
    EXPECT_EQ(
        stdx::compare_nocase(u"ConfigurationTemplatesLocation", u"configurationtemplateslocation"),
        0);
    EXPECT_LT(stdx::compare_nocase(u"a", u"B"), 0);
}

TEST_F(Conversions, CLocaleKeepsAsciiAndStopsAtTheUnconvertible) {
    use("C");
    EXPECT_EQ(stdx::narrow(string16(u"plain/path.cfg")), string8("plain/path.cfg"));
    EXPECT_EQ(stdx::narrow(string16(u"ab\u00e9cd")), string8("ab")) << "convertible prefix";
    EXPECT_EQ(stdx::widen(string8("ascii")), string16(u"ascii"));
    string16 with_zero(u"ab");
    with_zero.push_back(0);
    with_zero.append(u"cd");
    EXPECT_EQ(stdx::narrow(with_zero), string8("ab")) << "stops at the first zero unit";
    // Unconvertible texts must not compare equal by their common prefix: the
    // launcher list would merge two different directories.
    EXPECT_NE(stdx::compare_nocase(u"/home/\u00e9", u"/home/\u00fc"), 0);
    EXPECT_EQ(stdx::compare_nocase(u"/HOME/\u00e9/T", u"/home/\u00e9/t"), 0);
    EXPECT_LT(stdx::compare_nocase(u"/home/a", u"/home/\u00e9"), 0);
    // The exact forms refuse what the plain ones would cut short.
    string8 narrowed;
    string16 widened;
    EXPECT_FALSE(stdx::narrow_exact(string16(u"d/a\u00e9"), narrowed));
    EXPECT_FALSE(stdx::narrow_exact(with_zero, narrowed));
    EXPECT_FALSE(stdx::widen_exact(string8("d/a\xc3\xa9"), widened));
    EXPECT_TRUE(stdx::narrow_exact(string16(u"d/a"), narrowed));
    EXPECT_EQ(narrowed, string8("d/a"));
    EXPECT_TRUE(stdx::widen_exact(string8("d/a"), widened));
    EXPECT_EQ(widened, string16(u"d/a"));
}

// The folded key is what hash sets of the launcher list rely on: two texts
// share it exactly when compare_nocase finds them equal, in either locale,
// convertible or not.
TEST_F(Conversions, FoldedKeyAgreesWithTheCaseInsensitiveCompare) {
    string16 with_zero(u"ab");
    with_zero.push_back(0);
    with_zero.append(u"cd");
    const std::vector<string16> texts = {u"",
                                         u"/home/a",
                                         u"/HOME/A",
                                         u"/home/a/",
                                         u"/home/\u00e9",
                                         u"/HOME/\u00e9",
                                         u"/home/\u00c9",
                                         u"/home/\u00fc",
                                         u"ab",
                                         with_zero,
                                         u"AB",
                                         u"ConfigurationTemplatesLocation",
                                         u"configurationtemplateslocation"};
    for (const char* locale : {"C.UTF-8", "C"}) {
        use(locale);
        for (const string16& a : texts) {
            for (const string16& b : texts) {
                EXPECT_EQ(stdx::compare_nocase(a, b) == 0,
                          stdx::fold_nocase(a) == stdx::fold_nocase(b))
                    << locale << ": " << stdx::to_utf8(a).c_str() << " / "
                    << stdx::to_utf8(b).c_str();
            }
        }
    }
}

TEST_F(Conversions, InvalidUtf8GivesThePrefix) {
    use("C.UTF-8");
    EXPECT_EQ(stdx::widen(string8("ok\xff\xfe")), string16(u"ok"));
}

// Run under ThreadSanitizer in CI: conversions on two threads at once must not
// touch process-wide locale state.
TEST_F(Conversions, TwoThreadsConvertAtOnce) {
    use("C.UTF-8");
    auto work = [] {
        for (int i = 0; i < 3000; ++i) {
            string16 text(u"Sablonkönyvtár/Вложенная папка/ファイル.cfg");
            ASSERT_EQ(stdx::widen(stdx::narrow(text)), text);
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
}
