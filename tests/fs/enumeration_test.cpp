// Directory enumeration with "*" masks and the plain-path existence test.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <map>
#include <string>

#include "fs/file_system.h"
#include "fs_test_support.h"

using namespace fstest;

namespace {

// Every name the enumeration of `pattern` yields, with its attribute word.
std::map<std::string, std::uint32_t> Enumerate(const stdx::string16& pattern) {
    std::map<std::string, std::uint32_t> seen;
    FileFind find;
    for (bool more = FileSystem::FindFirstFile(find, pattern); more;
         more = FileSystem::FindNextFile(find)) {
        seen[utf8(FileSystem::GetFindFileName(find))] = FileSystem::GetFileAttributes(find);
    }
    FileSystem::FindClose(find);
    return seen;
}

class Enumeration : public ::testing::Test {
  protected:
    Sandbox box;
};

TEST_F(Enumeration, StarListsDotEntriesFilesAndDirectories) {
    box.write("d/f", "x");
    box.mkdirs("d/s");
    auto seen = Enumerate(box.at16("d/*"));
    std::map<std::string, std::uint32_t> expected = {
        {".", 0x10}, {"..", 0x10}, {"f", 0}, {"s", 0x10}};
    EXPECT_EQ(expected, seen);
}

TEST_F(Enumeration, MaskFiltersNamesAndStreamClosesAtEnd) {
    box.write("d/a.txt", "");
    box.write("d/b.txt", "");
    box.write("d/c.bin", "");
    auto seen = Enumerate(box.at16("d/*.txt"));
    EXPECT_EQ(2u, seen.size());
    EXPECT_TRUE(seen.count("a.txt") && seen.count("b.txt"));

    FileFind find;
    ASSERT_TRUE(FileSystem::FindFirstFile(find, box.at16("d/c*")));
    EXPECT_NE(nullptr, find.directory);
    EXPECT_FALSE(FileSystem::FindNextFile(find));
    EXPECT_EQ(nullptr, find.directory);
    EXPECT_FALSE(FileSystem::FindNextFile(find));  // exhausted stays exhausted
    FileSystem::FindClose(find);
    FileSystem::FindClose(find);  // safe twice
    EXPECT_TRUE(find.pattern.empty());
}

TEST_F(Enumeration, MissingDirectoryOrNoMatchGivesFalse) {
    FileFind find;
    EXPECT_FALSE(FileSystem::FindFirstFile(find, box.at16("nowhere/*")));
    box.mkdirs("empty");
    EXPECT_FALSE(FileSystem::FindFirstFile(find, box.at16("empty/*.none")));
    EXPECT_EQ(nullptr, find.directory);
    FileSystem::FindClose(find);
}

TEST_F(Enumeration, PlainPathIsAnExistenceTest) {
    box.write("dir/file name", "x");
    FileFind find;
    EXPECT_TRUE(FileSystem::FindFirstFile(find, box.at16("dir/file name")));
    EXPECT_EQ(u16("file name"), FileSystem::GetFindFileName(find));
    EXPECT_EQ(0u, FileSystem::GetFileAttributes(find));
    EXPECT_EQ(nullptr, find.directory);
    EXPECT_FALSE(FileSystem::FindNextFile(find));
    FileSystem::FindClose(find);

    EXPECT_TRUE(FileSystem::FindFirstFile(find, box.at16("dir")));
    EXPECT_EQ(0x10u, FileSystem::GetFileAttributes(find));
    EXPECT_FALSE(FileSystem::FindFirstFile(find, box.at16("dir/other")));
    // "?" is not a wildcard: only a file literally named "fil?" would match.
    EXPECT_FALSE(FileSystem::FindFirstFile(find, box.at16("dir/fil?")));
    FileSystem::FindClose(find);
}

TEST_F(Enumeration, DanglingLinkStillOccupiesItsName) {
    ASSERT_EQ(0, ::symlink(box.at("gone").c_str(), box.at("link").c_str()));
    FileFind find;
    EXPECT_TRUE(FileSystem::FindFirstFile(find, box.at16("link")));
    FileSystem::FindClose(find);
}

TEST_F(Enumeration, LinksAreReportedAsPlainEntries) {
    box.mkdirs("outside/keep");
    box.mkdirs("tree");
    ASSERT_EQ(0, ::symlink(box.at("outside").c_str(), box.at("tree/link").c_str()));
    auto seen = Enumerate(box.at16("tree/*"));
    ASSERT_TRUE(seen.count("link"));
    // A walk that trusts the directory bit must not descend into "outside".
    EXPECT_EQ(0u, seen["link"]);
}

TEST_F(Enumeration, SocketsAreNotDirectories) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    struct sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    std::string path = box.at("s/sock");
    box.mkdirs("s");
    if (path.size() >= sizeof addr.sun_path)
        GTEST_SKIP() << "sandbox path too long for a socket";
    path.copy(addr.sun_path, path.size());
    ASSERT_EQ(0, ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr));
    auto seen = Enumerate(box.at16("s/*"));
    ::close(fd);
    EXPECT_EQ(0u, seen["sock"]);
}

TEST_F(Enumeration, FreshAndReusedStateIsSafe) {
    FileFind find;
    EXPECT_FALSE(FileSystem::FindNextFile(find));
    EXPECT_TRUE(FileSystem::GetFindFileName(find).empty());
    EXPECT_EQ(0u, FileSystem::GetFileAttributes(find));
    box.write("d/a", "");
    // Starting again while a stream is open closes the old one first.
    ASSERT_TRUE(FileSystem::FindFirstFile(find, box.at16("d/*")));
    ASSERT_TRUE(FileSystem::FindFirstFile(find, box.at16("d/*")));
    FileSystem::FindClose(find);
}

}  // namespace
