// The kit writer: a small one-file kit byte for byte, trees in a stable order
// with their times, and refusals of what a kit cannot hold.
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstring>

#include "kit/kit_name.h"
#include "kit_fixture.h"

namespace kittest {
namespace {

using WriterTest = KitTest;

void SetMtime(const std::string& path, time_t seconds) {
    struct timeval times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(0, utimes(path.c_str(), times));
}

TEST_F(WriterTest, OneFileKitByteForByte) {
    kit::KitWriter writer;
    writer.AddProduct({u"en", u"", u"", u""});
    writer.AddFile(u"a.txt", kit::FileTimeFromUnix(1577836800), "abc");
    const unsigned char expected[] = {
        0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x18, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00,
        0x00, 0x65, 0x00, 0x6E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x22, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x61,
        0x00, 0x2E, 0x00, 0x74, 0x00, 0x78, 0x00, 0x74, 0x00, 0x00, 0x00, 0x05, 0x69, 0x36, 0xC0,
        0xD5, 0x01, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x61, 0x62, 0x63};
    std::string image = writer.ImageBytes();
    ASSERT_EQ(73u, image.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(expected), sizeof expected), image);

    std::string error;
    ASSERT_TRUE(writer.WriteImage(sandbox_.at("image"), &error)) << error;
    EXPECT_EQ(image, testing_support::Sandbox::read(sandbox_.at("image")));

    Kit kit;
    ASSERT_EQ(0u, kit.Open(WriteKit(writer)));
    EXPECT_EQ(70u, kit.files.at(0).offset);
}

TEST_F(WriterTest, TreeIsStoredInStableOrderWithTimesAndBackslashes) {
    sandbox_.write("tree/b.txt", "bee");
    sandbox_.write("tree/a/z.txt", "zed");
    sandbox_.write("tree/a/y/deep.txt", "deep");
    sandbox_.write("tree/\xC3\xA9t\xC3\xA9.txt", "summer");  // non-ASCII (UTF-8) name
    sandbox_.mkdirs("tree/empty");
    SetMtime(sandbox_.at("tree/b.txt"), 1577836800);
    SetMtime(sandbox_.at("tree/a/y/deep.txt"), 1600000000);
    ASSERT_EQ(0, symlink(sandbox_.at("tree/b.txt").c_str(), sandbox_.at("tree/c-link").c_str()));

    kit::KitWriter writer;
    std::string error;
    ASSERT_TRUE(writer.AddTree(sandbox_.at("tree") + "/", &error)) << error;
    Kit kit;
    ASSERT_EQ(0u, kit.Open(WriteKit(writer)));
    std::vector<string16> names;
    for (const auto& f : kit.files) names.push_back(f.name);
    std::vector<string16> expected = {u"a\\y\\deep.txt", u"a\\z.txt", u"b.txt", u"c-link",
                                      u"\u00E9t\u00E9.txt"};
    EXPECT_EQ(expected, names);
    EXPECT_EQ(kNewYear2020, kit.files.at(2).time);
    EXPECT_EQ(kit::FileTimeFromUnix(1600000000), kit.files.at(0).time);
    ASSERT_EQ(0u, kit.ExtractFile(0, sandbox_.at16("deep")));
    EXPECT_EQ("deep", testing_support::Sandbox::read(sandbox_.at("deep")));
    ASSERT_EQ(0u, kit.ExtractFile(3, sandbox_.at16("link")));
    EXPECT_EQ("bee", testing_support::Sandbox::read(sandbox_.at("link")));

    // The same tree gives the same kit.
    kit::KitWriter again;
    ASSERT_TRUE(again.AddTree(sandbox_.at("tree"), &error)) << error;
    EXPECT_EQ(writer.ImageBytes(), again.ImageBytes());
}

TEST_F(WriterTest, RefusesWhatAKitCannotHold) {
    std::string error;
    kit::KitWriter missing;
    EXPECT_FALSE(missing.AddTree(sandbox_.at("nope"), &error));
    EXPECT_NE(std::string::npos, error.find("nope"));

    sandbox_.write("bs/a\\b.txt", "x");
    kit::KitWriter backslash;
    EXPECT_FALSE(backslash.AddTree(sandbox_.at("bs"), &error));

    sandbox_.mkdirs("loop/sub");
    ASSERT_EQ(0, symlink(sandbox_.at("loop").c_str(), sandbox_.at("loop/sub/up").c_str()));
    kit::KitWriter loop;
    EXPECT_FALSE(loop.AddTree(sandbox_.at("loop"), &error));

    if (geteuid() != 0) {
        sandbox_.write("locked/in/secret.txt", "x");
        chmod(sandbox_.at("locked/in").c_str(), 0);
        kit::KitWriter locked;
        EXPECT_FALSE(locked.AddTree(sandbox_.at("locked"), &error));
        chmod(sandbox_.at("locked/in").c_str(), 0700);
    }

    kit::KitWriter unsafe;
    unsafe.AddFile(u"..\\x", 0, "x");
    EXPECT_FALSE(unsafe.WriteKit(sandbox_.at("unsafe.efd"), &error));
    EXPECT_FALSE(testing_support::Sandbox::exists(sandbox_.at("unsafe.efd")));
    // A failed run over an earlier kit keeps that kit.
    sandbox_.write("kelda.efd", "the earlier kit");
    EXPECT_FALSE(unsafe.WriteKit(sandbox_.at("kelda.efd"), &error));
    EXPECT_EQ("the earlier kit", testing_support::Sandbox::read(sandbox_.at("kelda.efd")));

    kit::KitWriter twoSingles;
    twoSingles.SetLayout(kit::Layout::SingleDescription);
    twoSingles.AddProduct({u"en", u"a", u"b", u""});
    twoSingles.AddProduct({u"de", u"a", u"b", u""});
    EXPECT_FALSE(twoSingles.WriteKit(sandbox_.at("two.efd"), &error));

    // A file that changes size between listing and writing is not silently cut.
    sandbox_.write("grow/f", "short");
    kit::KitWriter grow;
    ASSERT_TRUE(grow.AddTree(sandbox_.at("grow"), &error)) << error;
    sandbox_.write("grow/f", "much longer now");
    EXPECT_FALSE(grow.WriteKit(sandbox_.at("grow.efd"), &error));
    EXPECT_FALSE(testing_support::Sandbox::exists(sandbox_.at("grow.efd")));
    EXPECT_FALSE(grow.WriteKit(sandbox_.at("kelda.efd"), &error));
    EXPECT_EQ("the earlier kit", testing_support::Sandbox::read(sandbox_.at("kelda.efd")));
    // Nothing half-written is left beside the outputs either.
    DIR* dir = opendir(sandbox_.path().c_str());
    ASSERT_NE(nullptr, dir);
    while (dirent* e = readdir(dir)) EXPECT_EQ(nullptr, std::strstr(e->d_name, ".part"));
    closedir(dir);
}

TEST(KitNameTest, SafeNamesAndUtf8) {
    EXPECT_TRUE(kit::IsSafeKitName(u""));
    EXPECT_TRUE(kit::IsSafeKitName(u"a\\b/c.txt"));
    EXPECT_TRUE(kit::IsSafeKitName(u"...\\..a"));
    EXPECT_FALSE(kit::IsSafeKitName(u"a\\..\\b"));
    EXPECT_FALSE(kit::IsSafeKitName(u"a/.."));
    EXPECT_FALSE(kit::IsSafeKitName(u"\\a"));

    string16 out;
    ASSERT_TRUE(kit::Utf8ToUtf16("a\xC3\xA9\xF0\x9F\x98\x80", &out));
    EXPECT_EQ(string16(u"a\u00E9\U0001F600"), out);
    EXPECT_EQ("a\xC3\xA9\xF0\x9F\x98\x80", kit::Utf16ToUtf8(out));
    EXPECT_FALSE(kit::Utf8ToUtf16("\xC3", &out));          // cut short
    EXPECT_FALSE(kit::Utf8ToUtf16("\xC0\xAF", &out));      // overlong "/"
    EXPECT_FALSE(kit::Utf8ToUtf16("\xED\xA0\x80", &out));  // surrogate
}

}  // namespace
}  // namespace kittest
