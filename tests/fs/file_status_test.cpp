// The status of a path as one value, and exclusive private directories:
// every kind of entry with links followed and not, and the names a private
// directory must never reuse.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <string>

#include "fs/file_system.h"
#include "fs_test_support.h"

using namespace fstest;

namespace {

class FileStatusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        box.write("file", "12345");
        ::chmod(box.at("file").c_str(), 0640);
        struct timeval times[2] = {{946684800, 0}, {946684800, 0}};
        ::utimes(box.at("file").c_str(), times);
        box.mkdirs("dir");
        ASSERT_EQ(0, ::mkfifo(box.at("fifo").c_str(), 0600));
        ASSERT_EQ(0, ::symlink("file", box.at("to-file").c_str()));
        ASSERT_EQ(0, ::symlink("dir", box.at("to-dir").c_str()));
        ASSERT_EQ(0, ::symlink("nowhere", box.at("dangling").c_str()));
    }
    Sandbox box;
};

TEST_F(FileStatusTest, KindOfEveryEntryWithLinksFollowedAndNot) {
    struct Case {
        const char* name;
        FileKind own;
        FileKind followed;
    };
    const Case cases[] = {
        {"file", FileKind::kFile, FileKind::kFile},
        {"dir", FileKind::kDirectory, FileKind::kDirectory},
        {"fifo", FileKind::kOther, FileKind::kOther},
        {"to-file", FileKind::kLink, FileKind::kFile},
        {"to-dir", FileKind::kLink, FileKind::kDirectory},
        {"dangling", FileKind::kLink, FileKind::kNone},
        {"missing", FileKind::kNone, FileKind::kNone},
        {"file/below", FileKind::kNone, FileKind::kNone},
    };
    for (const Case& c : cases) {
        const FileStatus own = FileSystem::Status(box.at16(c.name));
        const FileStatus followed = FileSystem::Status(box.at16(c.name), Links::kFollowed);
        EXPECT_EQ(c.own, own.kind) << c.name;
        EXPECT_EQ(c.own != FileKind::kNone, own.exists) << c.name;
        EXPECT_EQ(c.followed, followed.kind) << c.name;
        EXPECT_EQ(c.followed != FileKind::kNone, followed.exists) << c.name;
    }
}

TEST_F(FileStatusTest, SizeTimeAndPermissionBitsOfTheFileALinkLeadsTo) {
    for (const char* name : {"file", "to-file"}) {
        const FileStatus st = FileSystem::Status(box.at16(name), Links::kFollowed);
        EXPECT_EQ(5u, st.size) << name;
        EXPECT_EQ(filetime::FromPosixSeconds(946684800), st.lastWrite) << name;
        EXPECT_EQ(0640u, st.mode) << name;
    }
}

TEST_F(FileStatusTest, PathsThatCannotReachTheSystemAreNothing) {
    stdx::string16 withNul = box.at16("file");
    withNul.push_back(u'\0');
    EXPECT_FALSE(FileSystem::Status(withNul).exists);
    EXPECT_FALSE(FileSystem::Status(u"").exists);
}

TEST_F(FileStatusTest, PrivateDirectoryIsOwnerOnlyAndNeverReusesAName) {
    // A umask that takes even the owner's bits away does not make it unusable.
    const mode_t old = ::umask(0277);
    EXPECT_EQ(0u, FileSystem::CreatePrivateDirectory(box.at16("mine")));
    ::umask(old);
    EXPECT_EQ(0700u, StatOf(box.at("mine")).st_mode & 07777);

    // Whatever already holds the name, even a link to nowhere, is refused
    // and left as it was.
    for (const char* taken : {"mine", "file", "dir", "to-dir", "dangling", "fifo"}) {
        EXPECT_EQ(183u, FileSystem::CreatePrivateDirectory(box.at16(taken))) << taken;
    }
    EXPECT_TRUE(IsLink(box.at("dangling")));
    EXPECT_FALSE(Sandbox::exists(box.at("nowhere")));
    EXPECT_EQ(2u, FileSystem::CreatePrivateDirectory(box.at16("absent/child")));
    EXPECT_EQ(87u, FileSystem::CreatePrivateDirectory(u""));
}

}  // namespace
