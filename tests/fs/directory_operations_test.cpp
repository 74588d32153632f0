// Directory creation, moves on one file system, tree removal and file
// deletion, including paths a shell would have misread.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "fs/file_system.h"
#include "fs_test_support.h"

using namespace fstest;

namespace {

class DirectoryOperations : public ::testing::Test {
  protected:
    Sandbox box;
};

TEST_F(DirectoryOperations, CreateDirectoryMakesEveryMissingParent) {
    box.mkdirs("a");
    EXPECT_EQ(0u, FileSystem::CreateDirectory(box.at16("a/b/c")));
    EXPECT_TRUE(IsDir(box.at("a/b/c")));
    EXPECT_EQ(183u, FileSystem::CreateDirectory(box.at16("a/b/c")));
    EXPECT_EQ(183u, FileSystem::CreateDirectory(box.at16("a/b/c/")));  // trailing slash
    EXPECT_EQ(0u, FileSystem::CreateDirectory(box.at16("x//y/")));
    EXPECT_TRUE(IsDir(box.at("x/y")));
}

TEST_F(DirectoryOperations, CreateDirectoryModeFollowsUmask) {
    mode_t old = ::umask(022);
    EXPECT_EQ(0u, FileSystem::CreateDirectory(box.at16("m/n")));
    ::umask(old);
    EXPECT_EQ(0755u, StatOf(box.at("m")).st_mode & 0777);
    EXPECT_EQ(0755u, StatOf(box.at("m/n")).st_mode & 0777);
}

TEST_F(DirectoryOperations, CreateDirectoryOnExistingLeavesItUntouched) {
    box.write("keep/file", "data");
    ::chmod(box.at("keep").c_str(), 0700);
    struct stat before = StatOf(box.at("keep"));
    EXPECT_EQ(183u, FileSystem::CreateDirectory(box.at16("keep")));
    struct stat after = StatOf(box.at("keep"));
    EXPECT_EQ(before.st_mode, after.st_mode);
    EXPECT_EQ("data", Sandbox::read(box.at("keep/file")));
}

TEST_F(DirectoryOperations, CreateDirectoryFailsWhereAFileIsInTheWay) {
    box.write("plain", "x");
    EXPECT_EQ(2u, FileSystem::CreateDirectory(box.at16("plain")));
    EXPECT_EQ(2u, FileSystem::CreateDirectory(box.at16("plain/sub")));
    EXPECT_EQ("x", Sandbox::read(box.at("plain")));
    EXPECT_EQ(2u, FileSystem::CreateDirectory(u""));
    stdx::string16 withNul = box.at16("n");
    withNul.push_back(u'\0');
    EXPECT_EQ(87u, FileSystem::CreateDirectory(withNul));
}

TEST_F(DirectoryOperations, CreateDirectoryGoesThroughLinkedParents) {
    box.mkdirs("real");
    ASSERT_EQ(0, ::symlink(box.at("real").c_str(), box.at("alias").c_str()));
    EXPECT_EQ(0u, FileSystem::CreateDirectory(box.at16("alias/inner")));
    EXPECT_TRUE(IsDir(box.at("real/inner")));
}

TEST_F(DirectoryOperations, MoveFileRenamesAndReplaces) {
    box.write("src", "new");
    box.write("dst", "old");
    EXPECT_EQ(0u, FileSystem::MoveFile(box.at16("src"), box.at16("dst")));
    EXPECT_FALSE(Sandbox::exists(box.at("src")));
    EXPECT_EQ("new", Sandbox::read(box.at("dst")));
}

TEST_F(DirectoryOperations, MoveFileMissingSourceOrDestinationDirectory) {
    EXPECT_EQ(2u, FileSystem::MoveFile(box.at16("missing"), box.at16("dst")));
    EXPECT_FALSE(Sandbox::exists(box.at("dst")));
    box.write("src", "x");
    EXPECT_EQ(2u, FileSystem::MoveFile(box.at16("src"), box.at16("no/such/dir/dst")));
    EXPECT_EQ("x", Sandbox::read(box.at("src")));
}

TEST_F(DirectoryOperations, MoveFileMovesDirectoriesAndLinksAsThemselves) {
    box.write("tree/inner/f", "x");
    EXPECT_EQ(0u, FileSystem::MoveFile(box.at16("tree"), box.at16("moved")));
    EXPECT_EQ("x", Sandbox::read(box.at("moved/inner/f")));
    ASSERT_EQ(0, ::symlink("moved", box.at("link").c_str()));
    EXPECT_EQ(0u, FileSystem::MoveFile(box.at16("link"), box.at16("link2")));
    EXPECT_TRUE(IsLink(box.at("link2")));
    EXPECT_TRUE(IsDir(box.at("moved")));
}

TEST_F(DirectoryOperations, DeleteFileUnlinksAndIgnoresFailures) {
    box.write("f", "x");
    EXPECT_EQ(0u, FileSystem::DeleteFile(box.at16("f")));
    EXPECT_FALSE(Sandbox::exists(box.at("f")));
    EXPECT_EQ(0u, FileSystem::DeleteFile(box.at16("f")));
    box.write("d/keep", "x");
    EXPECT_EQ(0u, FileSystem::DeleteFile(box.at16("d")));  // a directory is not deleted
    EXPECT_EQ("x", Sandbox::read(box.at("d/keep")));
    // A link is deleted, not its target.
    ASSERT_EQ(0, ::symlink(box.at("d/keep").c_str(), box.at("l").c_str()));
    EXPECT_EQ(0u, FileSystem::DeleteFile(box.at16("l")));
    EXPECT_FALSE(Sandbox::exists(box.at("l")));
    EXPECT_EQ("x", Sandbox::read(box.at("d/keep")));
}

TEST_F(DirectoryOperations, RemoveDirectoryRemovesWholeTree) {
    box.write("t/a/b/c/file", "x");
    box.write("t/.hidden", "x");
    box.write("t/a/ro", "x");
    ::chmod(box.at("t/a/ro").c_str(), 0400);
    EXPECT_EQ(0u, FileSystem::RemoveDirectory(box.at16("t/")));
    EXPECT_FALSE(Sandbox::exists(box.at("t")));
    EXPECT_EQ(0u, FileSystem::RemoveDirectory(box.at16("t")));  // already gone
    box.write("single", "x");
    EXPECT_EQ(0u, FileSystem::RemoveDirectory(box.at16("single")));
    EXPECT_FALSE(Sandbox::exists(box.at("single")));
}

TEST_F(DirectoryOperations, RemoveDirectoryRefusesDotNames) {
    box.write("d/sub/f", "x");
    EXPECT_EQ(0u, FileSystem::RemoveDirectory(box.at16("d/sub/.")));
    EXPECT_EQ(0u, FileSystem::RemoveDirectory(box.at16("d/sub/..")));
    EXPECT_EQ(0u, FileSystem::RemoveDirectory(box.at16("d/sub/./")));
    EXPECT_EQ("x", Sandbox::read(box.at("d/sub/f")));
}

TEST_F(DirectoryOperations, RemoveDirectoryNeverFollowsLinks) {
    box.write("outside/precious", "keep me");
    box.write("outside/sub/deep", "keep me too");
    box.write("tree/own", "x");
    box.mkdirs("tree/nested");
    ASSERT_EQ(0, ::symlink(box.at("outside").c_str(), box.at("tree/nested/dirlink").c_str()));
    ASSERT_EQ(0, ::symlink(box.at("outside/precious").c_str(), box.at("tree/filelink").c_str()));
    EXPECT_EQ(0u, FileSystem::RemoveDirectory(box.at16("tree")));
    EXPECT_FALSE(Sandbox::exists(box.at("tree")));
    EXPECT_EQ("keep me", Sandbox::read(box.at("outside/precious")));
    EXPECT_EQ("keep me too", Sandbox::read(box.at("outside/sub/deep")));

    // The path itself a link to a directory, with or without a trailing "/":
    // the link goes, the directory stays.
    ASSERT_EQ(0, ::symlink(box.at("outside").c_str(), box.at("toplink").c_str()));
    EXPECT_EQ(0u, FileSystem::RemoveDirectory(box.at16("toplink/")));
    EXPECT_FALSE(Sandbox::exists(box.at("toplink")));
    EXPECT_EQ("keep me", Sandbox::read(box.at("outside/precious")));
}

// Names that a command line would split, expand or execute.
const std::vector<std::string> kHostileNames = {
    "with space",  "q\"uote",          "d$(touch pwned)",  "b`touch pwned`q",
    "back\\slash", "semi;touch pwned", "new\nline",        "$HOME",
    "-rf",         "'single'",         "amp&touch pwned&", "star*",
};

class HostilePaths : public DirectoryOperations {
  protected:
    void SetUp() override {
        // Planted commands: if anything reaches a shell, one of these runs
        // and leaves a marker.
        box.mkdirs("bin");
        box.mkdirs("work");
        for (const char* tool : {"touch", "mv", "rm", "mkdir", "sh", "cp"}) {
            std::string script = "#!/bin/sh\necho ran >> '" + box.at("marker") + "'\n";
            box.write(std::string("bin/") + tool, script);
            ::chmod(box.at(std::string("bin/") + tool).c_str(), 0755);
        }
        std::string path = box.at("bin") + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "");
        pathEnv_.reset(new ScopedEnv("PATH", path.c_str()));
        char cwd[4096];
        ASSERT_NE(nullptr, ::getcwd(cwd, sizeof cwd));
        oldCwd_ = cwd;
        ASSERT_EQ(0, ::chdir(box.at("work").c_str()));
    }
    void TearDown() override {
        ASSERT_EQ(0, ::chdir(oldCwd_.c_str()));
        pathEnv_.reset();
        EXPECT_FALSE(Sandbox::exists(box.at("marker"))) << "a planted command ran";
        EXPECT_FALSE(Sandbox::exists(box.at("work/pwned"))) << "a command substitution ran";
    }

  private:
    std::unique_ptr<ScopedEnv> pathEnv_;
    std::string oldCwd_;
};

TEST_F(HostilePaths, EveryOperationTakesTheNameLiterally) {
    for (const std::string& name : kHostileNames) {
        SCOPED_TRACE(name);
        std::string dir = box.at("work/" + name);
        EXPECT_EQ(0u, FileSystem::CreateDirectory(u16(dir + "/sub")));
        ASSERT_TRUE(IsDir(dir + "/sub"));

        stdx::string16 temp;
        ASSERT_EQ(0u, FileSystem::GetTempFileName(u16(dir + "/"), u16(name), temp));
        EXPECT_EQ(0u, utf8(temp).rfind(dir + "/" + name, 0));
        EXPECT_TRUE(Sandbox::exists(utf8(temp)));

        std::string moved = dir + "/sub/" + name;
        EXPECT_EQ(0u, FileSystem::MoveFile(temp, u16(moved)));
        EXPECT_TRUE(Sandbox::exists(moved));
        EXPECT_FALSE(Sandbox::exists(utf8(temp)));

        EXPECT_EQ(0u, FileSystem::DeleteFile(u16(moved)));
        EXPECT_FALSE(Sandbox::exists(moved));

        box.write("work/" + name + "/sub/f", "x");
        EXPECT_EQ(0u, FileSystem::RemoveDirectory(u16(dir)));
        EXPECT_FALSE(Sandbox::exists(dir));
    }
    // Nothing but what the test made is left in the working directory.
    FileFind find;
    int entries = 0;
    for (bool more = FileSystem::FindFirstFile(find, box.at16("work/*")); more;
         more = FileSystem::FindNextFile(find)) {
        ++entries;
    }
    FileSystem::FindClose(find);
    EXPECT_EQ(2, entries);  // "." and ".."
}

}  // namespace
