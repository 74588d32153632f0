// Copying files out of an opened kit: exact sizes across the 1 MiB buffer,
// times, truncation of older files, and images that end too early.
#include <sys/stat.h>
#include <unistd.h>

#include "kit_fixture.h"

namespace kittest {
namespace {

using ExtractTest = KitTest;

std::string Pattern(size_t size, unsigned seed) {
    std::string s(size, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        s[i] = char(x >> 23);
    }
    return s;
}

TEST_F(ExtractTest, CopiesEveryFileExactlyWithItsTime) {
    const size_t kMiB = 1 << 20;
    kit::KitWriter writer;
    writer.AddProduct({u"en", u"P", u"V", u""});
    std::vector<std::string> contents = {Pattern(kMiB + 17, 1), "", Pattern(3 * kMiB, 2), "tail"};
    for (size_t i = 0; i < contents.size(); ++i) {
        writer.AddFile(u"f" + string16(1, char16_t(u'0' + i)), kNewYear2020 + i * 10000000ULL,
                       contents[i]);
    }
    Kit kit;
    ASSERT_EQ(0u, kit.Open(WriteKit(writer)));
    ASSERT_EQ(contents.size(), kit.files.size());
    // Out of order too: every extraction seeks to its own offset.
    for (size_t i : {2u, 0u, 3u, 1u}) {
        SCOPED_TRACE(i);
        std::string target = sandbox_.at("out" + std::to_string(i));
        ASSERT_EQ(0u, kit.ExtractFile(uint32_t(i), testing_support::u16(target)));
        // Times first: reading the file back moves its access time to now
        // (relatime updates an access time older than the change time).
        struct stat st;
        ASSERT_EQ(0, stat(target.c_str(), &st));
        EXPECT_EQ(1577836800 + int64_t(i), int64_t(st.st_mtime));
        EXPECT_EQ(st.st_mtime, st.st_atime);
        EXPECT_EQ(contents[i], testing_support::Sandbox::read(target));
    }
}

TEST_F(ExtractTest, OlderLongerTargetLosesItsTail) {
    kit::KitWriter writer;
    writer.AddFile(u"a.txt", kNewYear2020, "new");
    Kit kit;
    ASSERT_EQ(0u, kit.Open(WriteKit(writer)));
    sandbox_.write("a.txt", "an old and much longer text");
    ASSERT_EQ(0u, kit.ExtractFile(0, sandbox_.at16("a.txt")));
    EXPECT_EQ("new", testing_support::Sandbox::read(sandbox_.at("a.txt")));
}

TEST_F(ExtractTest, ImageEndingBeforeTheFileFailsWithoutLooping) {
    // Offset past the end of the image.
    Bytes past = Bytes().u32(1).u32(0).u32(1);
    past.u32(26).counted(u"a").u64(kNewYear2020).u32(1000).u32(5).raw("abcde");
    Kit kit;
    ASSERT_EQ(0u, kit.Open(KitFromImage(past.str())));
    EXPECT_NE(0u, kit.ExtractFile(0, sandbox_.at16("a")));

    // Size running past the end: the available bytes are not enough.
    Bytes longer = Bytes().u32(1).u32(0).u32(1);
    longer.u32(26).counted(u"b").u64(kNewYear2020).u32(0).u32(3 << 20).raw("abcde");
    Kit kit2;
    ASSERT_EQ(0u, kit2.Open(KitFromImage(longer.str())));
    EXPECT_NE(0u, kit2.ExtractFile(0, sandbox_.at16("b")));

    // Offset 0xFFFFFFFF (data start wraps around) is a position, not a failed seek.
    Bytes wrap = Bytes().u32(1).u32(0).u32(1);
    wrap.u32(26).counted(u"c").u64(kNewYear2020).u32(0xFFFFFFFFu - 38).u32(1);
    Kit kit3;
    ASSERT_EQ(0u, kit3.Open(KitFromImage(wrap.str())));
    EXPECT_EQ(0xFFFFFFFFu, kit3.files[0].offset);
    EXPECT_EQ(13u, kit3.ExtractFile(0, sandbox_.at16("c")));

    // Data start 38 plus offset 0xFFFFFFF0 wraps round to position 22, inside
    // the tables: the kit is damaged rather than a file copied from the wrong
    // bytes. So is a file that merely ends past 4 GiB.
    Bytes wrapped = Bytes().u32(1).u32(0).u32(1);
    wrapped.u32(26).counted(u"d").u64(kNewYear2020).u32(0xFFFFFFF0u).u32(2);
    wrapped.raw(std::string(100, 'x'));
    Kit kit4;
    EXPECT_EQ(13u, kit4.Open(KitFromImage(wrapped.str())));
    EXPECT_TRUE(kit4.files.empty());
    Bytes beyond = Bytes().u32(1).u32(0).u32(1);
    beyond.u32(26).counted(u"e").u64(kNewYear2020).u32(0xFFFFFFFFu - 38).u32(2);
    Kit kit5;
    EXPECT_EQ(13u, kit5.Open(KitFromImage(beyond.str())));
}

TEST_F(ExtractTest, BadArgumentsAndTargets) {
    kit::KitWriter writer;
    writer.AddFile(u"a", kNewYear2020, "x");
    Kit kit;
    EXPECT_NE(0u, kit.ExtractFile(0, sandbox_.at16("never-opened")));
    ASSERT_EQ(0u, kit.Open(WriteKit(writer)));
    EXPECT_EQ(87u, kit.ExtractFile(1, sandbox_.at16("x")));
    EXPECT_EQ(2u, kit.ExtractFile(0, sandbox_.at16("no/such/dir/a")));
    // A full disk fails the copy rather than passing for success.
    if (access("/dev/full", W_OK) == 0) {
        EXPECT_NE(0u, kit.ExtractFile(0, u"/dev/full"));
    }
    EXPECT_FALSE(testing_support::Sandbox::exists(sandbox_.at("x")));
}

}  // namespace
}  // namespace kittest
