// Moves between two file systems: a small tmpfs is mounted inside the
// sandbox (needs root; skipped otherwise), so rename() fails with EXDEV and
// the copy-then-remove path runs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include "fs/file_system.h"
#include "fs_test_support.h"

using namespace fstest;

namespace {

class CrossFileSystemMove : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "mounting a tmpfs needs root";
        box.mkdirs("mnt");
        if (::mount("tmpfs", box.at("mnt").c_str(), "tmpfs", 0, "size=4m,mode=0755") != 0) {
            GTEST_SKIP() << "tmpfs cannot be mounted here";
        }
        mounted_ = true;
        struct stat a = StatOf(box.at("mnt"));
        struct stat b = StatOf(box.path());
        ASSERT_NE(a.st_dev, b.st_dev);
    }
    void TearDown() override {
        if (mounted_)
            ::umount2(box.at("mnt").c_str(), MNT_DETACH);
    }

    void SetTimes(const std::string& path, time_t seconds) {
        struct timeval times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(0, ::lutimes(path.c_str(), times));
    }

    Sandbox box;
    bool mounted_ = false;
};

TEST_F(CrossFileSystemMove, FileKeepsContentModeAndTime) {
    box.write("mnt/staged", std::string(100000, 'z') + "end");
    ::chmod(box.at("mnt/staged").c_str(), 0751);
    SetTimes(box.at("mnt/staged"), 946684800);
    box.mkdirs("home");
    EXPECT_EQ(0u, FileSystem::MoveFile(box.at16("mnt/staged"), box.at16("home/restored")));
    EXPECT_FALSE(Sandbox::exists(box.at("mnt/staged")));
    EXPECT_EQ(std::string(100000, 'z') + "end", Sandbox::read(box.at("home/restored")));
    struct stat st = StatOf(box.at("home/restored"));
    EXPECT_EQ(0751u, st.st_mode & 07777);
    EXPECT_EQ(946684800, st.st_mtime);
    // No hidden copy is left beside the destination.
    FileFind find;
    int entries = 0;
    for (bool more = FileSystem::FindFirstFile(find, box.at16("home/*")); more;
         more = FileSystem::FindNextFile(find)) {
        ++entries;
    }
    FileSystem::FindClose(find);
    EXPECT_EQ(3, entries);
}

TEST_F(CrossFileSystemMove, ReplacesExistingDestinationFile) {
    box.write("template", "old and longer content");
    box.write("mnt/backup", "new");
    EXPECT_EQ(0u, FileSystem::MoveFile(box.at16("mnt/backup"), box.at16("template")));
    EXPECT_EQ("new", Sandbox::read(box.at("template")));
    EXPECT_FALSE(Sandbox::exists(box.at("mnt/backup")));
}

TEST_F(CrossFileSystemMove, DirectoryTreeWithLinkMovesWhole) {
    box.write("tree/a/f", "f");
    box.write("outside/keep", "k");
    ::chmod(box.at("tree/a").c_str(), 0711);
    ASSERT_EQ(0, ::symlink(box.at("outside").c_str(), box.at("tree/link").c_str()));
    SetTimes(box.at("tree/a/f"), 1000000000);
    SetTimes(box.at("tree/a"), 1000000000);
    EXPECT_EQ(0u, FileSystem::MoveFile(box.at16("tree"), box.at16("mnt/tree")));
    EXPECT_FALSE(Sandbox::exists(box.at("tree")));
    EXPECT_EQ("f", Sandbox::read(box.at("mnt/tree/a/f")));
    EXPECT_EQ(0711u, StatOf(box.at("mnt/tree/a")).st_mode & 07777);
    EXPECT_EQ(1000000000, StatOf(box.at("mnt/tree/a")).st_mtime);
    EXPECT_EQ(1000000000, StatOf(box.at("mnt/tree/a/f")).st_mtime);
    EXPECT_TRUE(IsLink(box.at("mnt/tree/link")));
    EXPECT_EQ("k", Sandbox::read(box.at("outside/keep")));  // copied as a link, not followed
}

TEST_F(CrossFileSystemMove, FailedCopyLeavesBothSidesAsTheyWere) {
    // 4 MiB of tmpfs cannot hold 6 MiB: the copy fails part way.
    box.write("big", std::string(6 << 20, 'b'));
    box.write("mnt/dst", "previous");
    EXPECT_EQ(2u, FileSystem::MoveFile(box.at16("big"), box.at16("mnt/dst")));
    EXPECT_EQ(std::string(6 << 20, 'b'), Sandbox::read(box.at("big")));
    EXPECT_EQ("previous", Sandbox::read(box.at("mnt/dst")));
    FileFind find;
    int entries = 0;
    for (bool more = FileSystem::FindFirstFile(find, box.at16("mnt/*")); more;
         more = FileSystem::FindNextFile(find)) {
        ++entries;
    }
    FileSystem::FindClose(find);
    EXPECT_EQ(3, entries);  // ".", ".." and dst: no partial copy left
}

TEST_F(CrossFileSystemMove, MissingDestinationDirectoryGives2) {
    box.write("mnt/f", "x");
    EXPECT_EQ(2u, FileSystem::MoveFile(box.at16("mnt/f"), box.at16("no/dir/f")));
    EXPECT_EQ("x", Sandbox::read(box.at("mnt/f")));
}

// A file whose directory does not let it go (read-only for an ordinary
// user; immutable here, which binds the superuser too) is copied and then
// cannot be removed: the copy is taken back, so the file stays in one place
// and nothing is left in the staging tree.
TEST_F(CrossFileSystemMove, SourceThatCannotBeRemovedLeavesNoCopy) {
    box.write("home/locked/f", "the only copy");
    const std::string locked = box.at("home/locked");
    int fd = ::open(locked.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0 ||
        ::ioctl(fd, FS_IOC_SETFLAGS, &(flags |= FS_IMMUTABLE_FL)) != 0) {
        ::close(fd);
        GTEST_SKIP() << "the sandbox's file system has no immutable flag";
    }
    const uint32_t result = FileSystem::MoveFile(box.at16("home/locked/f"), box.at16("mnt/staged"));
    flags &= ~FS_IMMUTABLE_FL;
    ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    ::close(fd);
    EXPECT_EQ(2u, result);
    EXPECT_EQ("the only copy", Sandbox::read(box.at("home/locked/f")));
    FileFind find;
    int entries = 0;
    for (bool more = FileSystem::FindFirstFile(find, box.at16("mnt/*")); more;
         more = FileSystem::FindNextFile(find)) {
        ++entries;
    }
    FileSystem::FindClose(find);
    EXPECT_EQ(2, entries);  // "." and ".." only
}

}  // namespace
