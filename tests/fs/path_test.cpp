// Path helpers on both forms: "\" ends a directory only in the system's
// 16-bit paths, the root is never trimmed away, and a parent or join never
// invents or loses a separator.
#include "fs/path.h"

#include <gtest/gtest.h>

#include <string>

#include "fs_test_support.h"

using fstest::u16;
using fstest::utf8;

namespace {

TEST(PathTest, TrailingSeparatorsOfBothForms) {
    struct Case {
        const char* path;
        const char* without16;  // 16-bit: "/" and "\" both trimmed
        const char* without8;   // native: only "/"
        const char* with16;
    };
    const Case cases[] = {
        {"", "", "", ""},
        {"/", "/", "/", "/"},
        {"///", "/", "/", "///"},
        {"a", "a", "a", "a/"},
        {"/a/b/", "/a/b", "/a/b", "/a/b/"},
        {"/a/b//", "/a/b", "/a/b", "/a/b//"},
        {"/a/b\\", "/a/b", "/a/b\\", "/a/b\\"},
        {"/a/b\\/", "/a/b", "/a/b\\", "/a/b\\/"},
        {"\\", "\\", "\\", "\\"},
    };
    for (const Case& c : cases) {
        const stdx::string16 path = u16(c.path);
        EXPECT_EQ(c.without16, utf8(fspath::WithoutTrailingSeparators(path))) << c.path;
        EXPECT_EQ(c.without8, fspath::WithoutTrailingSeparators(std::string(c.path))) << c.path;
        EXPECT_EQ(c.with16, utf8(fspath::WithTrailingSeparator(path))) << c.path;
        const bool appended = std::string(c.with16) != c.path;
        EXPECT_EQ(!appended && !path.empty(), fspath::EndsWithSeparator(path)) << c.path;
    }
    EXPECT_FALSE(fspath::EndsWithSeparator(std::string("a\\")));
}

TEST(PathTest, JoinParentAndName) {
    struct Case {
        const char* path;
        const char* parent;
        const char* name;
    };
    const Case cases[] = {
        {"/a/b/c", "/a/b", "c"}, {"/a", "/", "a"}, {"/", "/", ""},         {"a/b/", "a/b", ""},
        {"name", "", "name"},    {"", "", ""},     {"/a\\b", "/", "a\\b"}, {"C:/x", "C:", "x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.parent, utf8(fspath::Parent(u16(c.path)))) << c.path;
        EXPECT_EQ(c.name, utf8(fspath::Name(u16(c.path)))) << c.path;
    }
    EXPECT_EQ("/a/b", utf8(fspath::Join(u16("/a"), u16("b"))));
    EXPECT_EQ("/a/b", utf8(fspath::Join(u16("/a/"), u16("b"))));
    EXPECT_EQ("/a\\b", utf8(fspath::Join(u16("/a\\"), u16("b"))));
    EXPECT_EQ("b", utf8(fspath::Join(u16(""), u16("b"))));
    EXPECT_EQ("/b", fspath::Join(std::string("/"), std::string("b")));
    EXPECT_EQ("/a\\/b", fspath::Join(std::string("/a\\"), std::string("b")));
}

TEST(PathTest, SameOrAncestorStopsAtWholeNames) {
    EXPECT_TRUE(fspath::IsSameOrAncestor(u16("/t/kvtmp1"), u16("/t/kvtmp1")));
    EXPECT_TRUE(fspath::IsSameOrAncestor(u16("/t/kvtmp1"), u16("/t/kvtmp1/a/")));
    EXPECT_FALSE(fspath::IsSameOrAncestor(u16("/t/kvtmp1"), u16("/t/kvtmp10/a")));
    EXPECT_FALSE(fspath::IsSameOrAncestor(u16("/t/kvtmp1"), u16("/t/")));
}

}  // namespace
