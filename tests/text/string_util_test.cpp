#include "text/string_util.h"

#include <gtest/gtest.h>

TEST(FormatInt, Bases) {
    EXPECT_EQ(stdx::format_int(8, 10), stdx::string16(u"8"));
    EXPECT_EQ(stdx::format_int(-5, 10), stdx::string16(u"-5"));
    EXPECT_EQ(stdx::format_int(-1, 16), stdx::string16(u"ffffffff"));
    EXPECT_EQ(stdx::format_int(0, 2), stdx::string16(u"0"));
}
