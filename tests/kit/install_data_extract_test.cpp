// Copying files out of an opened kit: exact sizes across the 1 MiB buffer,
// times, truncation of older files, images that end too early and a full
// disk. Every case runs on both copy paths: in the kernel, and through the
// buffer as where the kernel refuses (another file system, an old kernel).
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <type_traits>

#include "kit_fixture.h"

namespace kittest {
namespace {

// The real policy with in-kernel copies refused.
class BufferCopyFileSystem : public FileSystem {
  public:
    static std::uint32_t CopyRange(Handle, std::uint64_t, Handle, std::uint32_t,
                                   std::uint32_t* copied) {
        *copied = 0;
        return fserror::kNotSupported;
    }
};

template <class FS>
class ExtractTest : public KitTest {
  protected:
    using Kit = InstallData<LZCompressor, FS>;
};

using CopyPolicies = ::testing::Types<FileSystem, BufferCopyFileSystem>;
struct CopyPolicyName {
    template <class T>
    static std::string GetName(int) {
        return std::is_same<T, FileSystem>::value ? "kernel" : "buffer";
    }
};
TYPED_TEST_SUITE(ExtractTest, CopyPolicies, CopyPolicyName);

std::string Pattern(size_t size, unsigned seed) {
    std::string s(size, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        s[i] = char(x >> 23);
    }
    return s;
}

TYPED_TEST(ExtractTest, CopiesEveryFileExactlyWithItsTime) {
    const size_t kMiB = 1 << 20;
    kit::KitWriter writer;
    writer.AddProduct({u"en", u"P", u"V", u""});
    std::vector<std::string> contents = {Pattern(kMiB + 17, 1), "", Pattern(3 * kMiB, 2), "tail"};
    for (size_t i = 0; i < contents.size(); ++i) {
        writer.AddFile(u"f" + string16(1, char16_t(u'0' + i)), kNewYear2020 + i * 10000000ULL,
                       contents[i]);
    }
    typename TestFixture::Kit kit;
    ASSERT_EQ(0u, kit.Open(this->WriteKit(writer)));
    ASSERT_EQ(contents.size(), kit.files.size());
    // Out of order too: every extraction seeks to its own offset.
    for (size_t i : {2u, 0u, 3u, 1u}) {
        SCOPED_TRACE(i);
        std::string target = this->sandbox_.at("out" + std::to_string(i));
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

// The target is always new: whatever appeared there since the caller moved
// the earlier version aside (a file, a link to elsewhere) is an error and
// is left exactly as it is.
TYPED_TEST(ExtractTest, AnythingAlreadyAtTheTargetIsAnErrorNeverOverwritten) {
    kit::KitWriter writer;
    writer.AddFile(u"a.txt", kNewYear2020, "new");
    typename TestFixture::Kit kit;
    ASSERT_EQ(0u, kit.Open(this->WriteKit(writer)));
    this->sandbox_.write("a.txt", "someone else's text");
    EXPECT_EQ(183u, kit.ExtractFile(0, this->sandbox_.at16("a.txt")));
    EXPECT_EQ("someone else's text", testing_support::Sandbox::read(this->sandbox_.at("a.txt")));
    this->sandbox_.write("elsewhere.txt", "outside");
    ASSERT_EQ(0, symlink("elsewhere.txt", this->sandbox_.at("link.txt").c_str()));
    EXPECT_EQ(183u, kit.ExtractFile(0, this->sandbox_.at16("link.txt")));
    EXPECT_EQ("outside", testing_support::Sandbox::read(this->sandbox_.at("elsewhere.txt")));
}

TYPED_TEST(ExtractTest, ImageEndingBeforeTheFileFailsWithoutLooping) {
    // Offset past the end of the image.
    Bytes past = Bytes().u32(1).u32(0).u32(1);
    past.u32(26).counted(u"a").u64(kNewYear2020).u32(1000).u32(5).raw("abcde");
    typename TestFixture::Kit kit;
    ASSERT_EQ(0u, kit.Open(this->KitFromImage(past.str())));
    EXPECT_NE(0u, kit.ExtractFile(0, this->sandbox_.at16("a")));

    // Size running past the end: the available bytes are not enough.
    Bytes longer = Bytes().u32(1).u32(0).u32(1);
    longer.u32(26).counted(u"b").u64(kNewYear2020).u32(0).u32(3 << 20).raw("abcde");
    typename TestFixture::Kit kit2;
    ASSERT_EQ(0u, kit2.Open(this->KitFromImage(longer.str())));
    EXPECT_NE(0u, kit2.ExtractFile(0, this->sandbox_.at16("b")));

    // Offset 0xFFFFFFFF (data start wraps around) is a position, not a failed seek.
    Bytes wrap = Bytes().u32(1).u32(0).u32(1);
    wrap.u32(26).counted(u"c").u64(kNewYear2020).u32(0xFFFFFFFFu - 38).u32(1);
    typename TestFixture::Kit kit3;
    ASSERT_EQ(0u, kit3.Open(this->KitFromImage(wrap.str())));
    EXPECT_EQ(0xFFFFFFFFu, kit3.files[0].offset);
    EXPECT_EQ(13u, kit3.ExtractFile(0, this->sandbox_.at16("c")));

    // Data start 38 plus offset 0xFFFFFFF0 wraps round to position 22, inside
    // the tables: the kit is damaged rather than a file copied from the wrong
    // bytes. So is a file that merely ends past 4 GiB.
    Bytes wrapped = Bytes().u32(1).u32(0).u32(1);
    wrapped.u32(26).counted(u"d").u64(kNewYear2020).u32(0xFFFFFFF0u).u32(2);
    wrapped.raw(std::string(100, 'x'));
    typename TestFixture::Kit kit4;
    EXPECT_EQ(13u, kit4.Open(this->KitFromImage(wrapped.str())));
    EXPECT_TRUE(kit4.files.empty());
    Bytes beyond = Bytes().u32(1).u32(0).u32(1);
    beyond.u32(26).counted(u"e").u64(kNewYear2020).u32(0xFFFFFFFFu - 38).u32(2);
    typename TestFixture::Kit kit5;
    EXPECT_EQ(13u, kit5.Open(this->KitFromImage(beyond.str())));
}

TYPED_TEST(ExtractTest, BadArgumentsAndTargets) {
    kit::KitWriter writer;
    writer.AddFile(u"a", kNewYear2020, "x");
    typename TestFixture::Kit kit;
    EXPECT_NE(0u, kit.ExtractFile(0, this->sandbox_.at16("never-opened")));
    ASSERT_EQ(0u, kit.Open(this->WriteKit(writer)));
    EXPECT_EQ(87u, kit.ExtractFile(1, this->sandbox_.at16("x")));
    EXPECT_EQ(2u, kit.ExtractFile(0, this->sandbox_.at16("no/such/dir/a")));
    // A full disk fails the copy rather than passing for success.
    if (access("/dev/full", W_OK) == 0) {
        EXPECT_NE(0u, kit.ExtractFile(0, u"/dev/full"));
    }
    EXPECT_FALSE(testing_support::Sandbox::exists(this->sandbox_.at("x")));
}

// A real full disk: a small tmpfs (another file system than the image's, so
// the kernel refuses its copy and the buffer takes over). A file that fits is
// exact; one that does not fails rather than passing for success.
TYPED_TEST(ExtractTest, FullDiskFailsAndWhatFitsIsExact) {
    kit::KitWriter writer;
    const std::string small = Pattern(10000, 3);
    writer.AddFile(u"small", kNewYear2020, small);
    writer.AddFile(u"large", kNewYear2020, Pattern(300000, 4));
    typename TestFixture::Kit kit;
    ASSERT_EQ(0u, kit.Open(this->WriteKit(writer)));
    this->sandbox_.mkdirs("full");
    const std::string dir = this->sandbox_.at("full");
    if (mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs (needs root)";
    }
    struct Unmount {
        std::string dir;
        ~Unmount() { umount(dir.c_str()); }
    } unmount{dir};
    EXPECT_EQ(0u, kit.ExtractFile(0, testing_support::u16(dir + "/small")));
    EXPECT_EQ(small, testing_support::Sandbox::read(dir + "/small"));
    EXPECT_NE(0u, kit.ExtractFile(1, testing_support::u16(dir + "/large")));
    // The disk is full; the kit's copy path still works elsewhere.
    EXPECT_EQ(0u, kit.ExtractFile(0, this->sandbox_.at16("small-again")));
    EXPECT_EQ(small, testing_support::Sandbox::read(this->sandbox_.at("small-again")));
}

}  // namespace
}  // namespace kittest
