#include "text/utf8.h"

#include <gtest/gtest.h>

using stdx::string16;
using stdx::string8;

TEST(Utf8, RoundTripsEveryUnitClassWhateverTheLocale) {
    string16 text(u"a\u00e9\u0416\u4e2d");
    text.push_back(char16_t(0xD83D));  // U+1F600 as a surrogate pair
    text.push_back(char16_t(0xDE00));
    const string8 bytes = stdx::to_utf8(text);
    EXPECT_EQ(bytes, string8("a\xC3\xA9\xD0\x96\xE4\xB8\xAD\xF0\x9F\x98\x80"));
    string16 back;
    ASSERT_TRUE(stdx::from_utf8(bytes, back));
    EXPECT_EQ(back, text);
}

TEST(Utf8, LoneSurrogateIsReplacedNotDropped) {
    string16 text(u"x");
    text.push_back(char16_t(0xDC00));
    text.push_back(u'y');
    EXPECT_EQ(stdx::to_utf8(text), string8("x\xEF\xBF\xBDy"));
}

TEST(Utf8, RefusesMalformedInputAndKeepsThePrefix) {
    const char* bad[] = {"ok\xC3",          // cut short
                         "ok\xC0\xAF",      // overlong "/"
                         "ok\xED\xA0\x80",  // surrogate
                         "ok\xF4\x90\x80\x80",
                         "ok\xFF",
                         "ok\xC3("};
    for (const char* b : bad) {
        string16 out;
        EXPECT_FALSE(stdx::from_utf8(string8(b), out)) << b;
        EXPECT_EQ(out, string16(u"ok")) << b;
    }
}
