// Handle operations: open dispositions, reads, writes, seeks, truncation,
// times and the last-error rules, on real files in a sandbox.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <vector>

#include "fs/file_system.h"
#include "fs_test_support.h"

using namespace fstest;

namespace {

class HandleOperations : public ::testing::Test {
  protected:
    Sandbox box;
};

TEST_F(HandleOperations, OpenExistingOnMissingFileFailsAndKeepsHandle) {
    FileHandle handle = 1234;
    EXPECT_EQ(2u, FileSystem::CreateFile(box.at16("missing"), fsflag::kGenericRead, 0,
                                         fsflag::kOpenExisting, &handle, 0x80));
    EXPECT_EQ(1234, handle);
    EXPECT_EQ(2u, FileSystem::GetLastError());
    EXPECT_FALSE(Sandbox::exists(box.at("missing")));

    // Truncate-existing does not create either.
    EXPECT_EQ(2u, FileSystem::CreateFile(box.at16("missing"), fsflag::kGenericWrite, 0,
                                         fsflag::kTruncateExisting, &handle, 0x80));
    EXPECT_FALSE(Sandbox::exists(box.at("missing")));
}

TEST_F(HandleOperations, CreateAlwaysMakesFileWithUmaskReducedMode) {
    mode_t old = ::umask(027);
    FileHandle handle = OpenOrFail(box.at16("new"), fsflag::kGenericWrite, fsflag::kCreateAlways);
    ::umask(old);
    ASSERT_NE(kInvalidFileHandle, handle);
    EXPECT_EQ(0u, FileSystem::GetLastError());
    EXPECT_EQ(0u, FileSystem::CloseHandle(handle));
    EXPECT_EQ(0640u, StatOf(box.at("new")).st_mode & 0777);
}

TEST_F(HandleOperations, OtherErrnoGives87AndNonPathsAreRefused) {
    box.write("plain", "x");
    FileHandle handle = kInvalidFileHandle;
    // ENOTDIR: a component of the path is a file.
    EXPECT_EQ(87u, FileSystem::CreateFile(box.at16("plain/child"), fsflag::kGenericRead, 0,
                                          fsflag::kOpenExisting, &handle, 0x80));
    EXPECT_EQ(87u, FileSystem::GetLastError());
    // A path with U+0000 would silently name "plain"; it is refused instead.
    stdx::string16 cut = box.at16("plain");
    cut.push_back(u'\0');
    cut.append(u"x");
    EXPECT_EQ(87u, FileSystem::CreateFile(cut, fsflag::kGenericRead, 0, fsflag::kOpenExisting,
                                          &handle, 0x80));
    EXPECT_EQ(kInvalidFileHandle, handle);
    // No output variable.
    EXPECT_EQ(87u, FileSystem::CreateFile(box.at16("plain"), fsflag::kGenericRead, 0,
                                          fsflag::kOpenExisting, nullptr, 0x80));
}

TEST_F(HandleOperations, CreateAlwaysKeepsContentUntilEndIsSet) {
    box.write("ten", "0123456789");
    FileHandle handle = OpenOrFail(box.at16("ten"), fsflag::kGenericWrite, fsflag::kCreateAlways);
    ASSERT_NE(kInvalidFileHandle, handle);
    EXPECT_EQ("0123456789", Sandbox::read(box.at("ten")));
    std::int32_t written = -5;
    EXPECT_EQ(0u, FileSystem::WriteFile(handle, "abcd", 4, &written, nullptr));
    EXPECT_EQ(4, written);
    EXPECT_EQ("abcd456789", Sandbox::read(box.at("ten")));
    EXPECT_EQ(0u, FileSystem::SetEndOfFile(handle));
    EXPECT_EQ(0u, FileSystem::CloseHandle(handle));
    EXPECT_EQ("abcd", Sandbox::read(box.at("ten")));
}

TEST_F(HandleOperations, CreateEmptyMakesOrEmptiesInOneOpen) {
    box.write("old", "older and longer");
    for (const char* name : {"old", "new"}) {
        SCOPED_TRACE(name);
        FileHandle handle = OpenOrFail(box.at16(name), fsflag::kGenericWrite, fsflag::kCreateEmpty);
        ASSERT_NE(kInvalidFileHandle, handle);
        EXPECT_EQ("", Sandbox::read(box.at(name)));
        std::int32_t written = 0;
        EXPECT_EQ(0u, FileSystem::WriteFile(handle, "kit", 3, &written, nullptr));
        FileSystem::CloseHandle(handle);
        EXPECT_EQ("kit", Sandbox::read(box.at(name)));
    }
}

// Both leave the source's position alone, stop short only at its end, and
// write at the target's position.
TEST_F(HandleOperations, PositionedReadAndKernelCopy) {
    box.write("src", "0123456789");
    box.write("dst", "");
    FileHandle src = OpenOrFail(box.at16("src"), fsflag::kGenericRead, fsflag::kOpenExisting);
    FileHandle dst = OpenOrFail(box.at16("dst"), fsflag::kGenericWrite, fsflag::kOpenExisting);
    ASSERT_EQ(2, FileSystem::SetFilePointer(src, 2, fsflag::kFileBegin));
    char buffer[16] = {};
    std::uint32_t got = 0;
    EXPECT_EQ(0u, FileSystem::ReadFileAt(src, 7, buffer, sizeof buffer, &got));
    EXPECT_EQ("789", std::string(buffer, got));
    std::uint32_t copied = 0;
    EXPECT_EQ(0u, FileSystem::CopyRange(src, 4, dst, 3, &copied));
    EXPECT_EQ(3u, copied);
    EXPECT_EQ(0u, FileSystem::CopyRange(src, 8, dst, 100, &copied));
    EXPECT_EQ(2u, copied);
    EXPECT_EQ(0u, FileSystem::CopyRange(src, 10, dst, 5, &copied));
    EXPECT_EQ(0u, copied);
    EXPECT_EQ(2, FileSystem::SetFilePointer(src, 0, fsflag::kFileCurrent));
    EXPECT_EQ(5, FileSystem::SetFilePointer(dst, 0, fsflag::kFileCurrent));
    EXPECT_EQ("45689", Sandbox::read(box.at("dst")));
    EXPECT_EQ(6u, FileSystem::ReadFileAt(kInvalidFileHandle, 0, buffer, 1, &got));
    EXPECT_EQ(6u, FileSystem::CopyRange(src, 0, kInvalidFileHandle, 1, &copied));

    // The kernel copies between regular files only: a pipe is refused with
    // nothing written, which sends callers to their buffered copy.
    int fds[2];
    ASSERT_EQ(0, ::pipe(fds));
    copied = 9;
    EXPECT_EQ(fserror::kNotSupported, FileSystem::CopyRange(src, 0, fds[1], 4, &copied));
    EXPECT_EQ(0u, copied);
    ::close(fds[1]);
    EXPECT_EQ(0, ::read(fds[0], buffer, sizeof buffer));
    ::close(fds[0]);
    FileSystem::CloseHandle(src);
    FileSystem::CloseHandle(dst);
}

TEST_F(HandleOperations, TruncateExistingEmptiesFile) {
    box.write("f", "content");
    FileHandle handle = OpenOrFail(box.at16("f"), fsflag::kGenericWrite, fsflag::kTruncateExisting);
    ASSERT_NE(kInvalidFileHandle, handle);
    FileSystem::CloseHandle(handle);
    EXPECT_EQ("", Sandbox::read(box.at("f")));
}

TEST_F(HandleOperations, AccessMaskSelectsOpenMode) {
    box.write("f", "abc");
    char buffer[4] = {};
    std::uint32_t got = 0;
    std::int32_t written = 0;

    FileHandle reader = OpenOrFail(box.at16("f"), fsflag::kGenericRead, fsflag::kOpenExisting);
    EXPECT_EQ(87u, FileSystem::WriteFile(reader, "x", 1, &written, nullptr));
    EXPECT_EQ(0u, FileSystem::ReadFile(reader, buffer, 3, &got, nullptr));
    EXPECT_EQ(3u, got);
    FileSystem::CloseHandle(reader);

    FileHandle writer = OpenOrFail(box.at16("f"), fsflag::kGenericWrite, fsflag::kOpenExisting);
    EXPECT_EQ(87u, FileSystem::ReadFile(writer, buffer, 3, &got, nullptr));
    FileSystem::CloseHandle(writer);

    FileHandle both = OpenOrFail(box.at16("f"), fsflag::kGenericReadWrite, fsflag::kOpenExisting);
    EXPECT_EQ(0u, FileSystem::WriteFile(both, "X", 1, &written, nullptr));
    EXPECT_EQ(0, FileSystem::SetFilePointer(both, 0, fsflag::kFileBegin));
    EXPECT_EQ(0u, FileSystem::ReadFile(both, buffer, 3, &got, nullptr));
    EXPECT_EQ(std::string("Xbc"), std::string(buffer, got));
    FileSystem::CloseHandle(both);
}

TEST_F(HandleOperations, LargeReadOfSmallFileStopsAtEnd) {
    box.write("small", std::string(300, 'q'));
    FileHandle handle = OpenOrFail(box.at16("small"), fsflag::kGenericRead, fsflag::kOpenExisting);
    std::vector<char> buffer(1 << 20);
    std::uint32_t got = 77;
    EXPECT_EQ(0u, FileSystem::ReadFile(handle, buffer.data(), 1 << 20, &got, nullptr));
    EXPECT_EQ(300u, got);
    EXPECT_EQ(0u, FileSystem::ReadFile(handle, buffer.data(), 1 << 20, &got, nullptr));
    EXPECT_EQ(0u, got);
    FileSystem::CloseHandle(handle);
}

TEST_F(HandleOperations, ReadLoopsOverShortPipeReads) {
    int fds[2];
    ASSERT_EQ(0, ::pipe(fds));
    ASSERT_EQ(3, ::write(fds[1], "abc", 3));
    ASSERT_EQ(2, ::write(fds[1], "de", 2));
    ::close(fds[1]);
    char buffer[16] = {};
    std::uint32_t got = 0;
    EXPECT_EQ(0u, FileSystem::ReadFile(fds[0], buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(std::string("abcde"), std::string(buffer, got));
    ::close(fds[0]);
}

TEST_F(HandleOperations, OpeningAFifoNeverWaits) {
    ASSERT_EQ(0, ::mkfifo(box.at("fifo").c_str(), 0600));
    ::alarm(30);  // a blocked open ends the test program instead of hanging it
    FileHandle handle = kInvalidFileHandle;
    ASSERT_EQ(0u, FileSystem::CreateFile(box.at16("fifo"), fsflag::kGenericRead, 0,
                                         fsflag::kOpenExisting, &handle, 0));
    char buffer[16];
    std::uint32_t got = 1;
    EXPECT_EQ(0u, FileSystem::ReadFile(handle, buffer, sizeof buffer, &got, nullptr));
    EXPECT_EQ(0u, got);
    FileSystem::CloseHandle(handle);
    handle = kInvalidFileHandle;
    EXPECT_EQ(87u, FileSystem::CreateFile(box.at16("fifo"), fsflag::kGenericWrite, 0,
                                          fsflag::kCreateAlways, &handle, 0));
    EXPECT_EQ(kInvalidFileHandle, handle);
    ::alarm(0);
}

TEST_F(HandleOperations, NullOutputsFollowTheirRules) {
    box.write("f", "abc");
    FileHandle handle = OpenOrFail(box.at16("f"), fsflag::kGenericReadWrite, fsflag::kOpenExisting);
    char buffer[4];
    int overlapped = 0;

    EXPECT_EQ(87u, FileSystem::ReadFile(handle, buffer, 3, nullptr, nullptr));
    EXPECT_EQ(87u, FileSystem::GetLastError());
    EXPECT_EQ(0u, FileSystem::ReadFile(handle, buffer, 3, nullptr, &overlapped));
    EXPECT_EQ(0u, FileSystem::GetLastError());
    EXPECT_EQ(0, FileSystem::SetFilePointer(handle, 0, fsflag::kFileCurrent));  // nothing read

    EXPECT_EQ(87u, FileSystem::WriteFile(handle, "zz", 2, nullptr, nullptr));
    EXPECT_EQ(0u, FileSystem::WriteFile(handle, "zz", 2, nullptr, &overlapped));
    FileSystem::CloseHandle(handle);
    EXPECT_EQ("abc", Sandbox::read(box.at("f")));
}

TEST_F(HandleOperations, InvalidHandleResults) {
    std::int32_t written = 0;
    FileTime t = 0;
    EXPECT_EQ(6u, FileSystem::WriteFile(kInvalidFileHandle, "a", 1, &written, nullptr));
    EXPECT_EQ(6u, FileSystem::GetLastError());
    EXPECT_EQ(-1, FileSystem::SetFilePointer(kInvalidFileHandle, 0, fsflag::kFileBegin));
    EXPECT_EQ(6u, FileSystem::GetLastError());
    EXPECT_EQ(6u, FileSystem::GetFileTime(kInvalidFileHandle, nullptr, nullptr, &t));
    EXPECT_EQ(6u, FileSystem::SetFileTime(kInvalidFileHandle, nullptr, nullptr, &t));
    EXPECT_EQ(6u, FileSystem::SetEndOfFile(kInvalidFileHandle));
    EXPECT_EQ(6u, FileSystem::GetLastError());
    EXPECT_EQ(87u, FileSystem::CloseHandle(kInvalidFileHandle));
    EXPECT_EQ(87u, FileSystem::GetLastError());
}

TEST_F(HandleOperations, SuccessClearsLastErrorExceptClose) {
    box.write("f", "abc");
    FileHandle handle = OpenOrFail(box.at16("f"), fsflag::kGenericRead, fsflag::kOpenExisting);
    FileSystem::CloseHandle(kInvalidFileHandle);
    ASSERT_EQ(87u, FileSystem::GetLastError());
    EXPECT_EQ(0u, FileSystem::CloseHandle(handle));
    EXPECT_EQ(87u, FileSystem::GetLastError());
    EXPECT_EQ(1u, FileSystem::GetFileSize(box.at16("f"), nullptr));
    EXPECT_EQ(87u, FileSystem::GetLastError());  // GetFileSize leaves it alone
}

TEST_F(HandleOperations, SeekMethodsAndFailure) {
    box.write("f", "0123456789");
    FileHandle handle = OpenOrFail(box.at16("f"), fsflag::kGenericRead, fsflag::kOpenExisting);
    EXPECT_EQ(10, FileSystem::SetFilePointer(handle, 0, fsflag::kFileEnd));
    EXPECT_EQ(4, FileSystem::SetFilePointer(handle, 4, fsflag::kFileBegin));
    EXPECT_EQ(6, FileSystem::SetFilePointer(handle, 2, fsflag::kFileCurrent));
    EXPECT_EQ(6, FileSystem::SetFilePointer(handle, 0, fsflag::kFileCurrent));
    EXPECT_EQ(3, FileSystem::SetFilePointer(handle, 3, 9));  // unknown method: from the start
    EXPECT_EQ(-1, FileSystem::SetFilePointer(handle, -20, fsflag::kFileBegin));
    EXPECT_EQ(87u, FileSystem::GetLastError());
    // Positions past 4 GiB are not cut to 32 bits.
    EXPECT_EQ(0x100000005ll, FileSystem::SetFilePointer(handle, 0x100000005ll, fsflag::kFileBegin));
    FileSystem::CloseHandle(handle);
}

TEST_F(HandleOperations, ShortWriteIsAFailure) {
    int fds[2];
    ASSERT_EQ(0, ::pipe(fds));
    ::close(fds[0]);
    std::int32_t written = 0;
    // Writing to a pipe without a reader fails (SIGPIPE ignored for the test).
    auto old = ::signal(SIGPIPE, SIG_IGN);
    EXPECT_EQ(87u, FileSystem::WriteFile(fds[1], "abc", 3, &written, nullptr));
    ::signal(SIGPIPE, old);
    EXPECT_EQ(-1, written);
    ::close(fds[1]);
}

TEST_F(HandleOperations, FileTimeRoundTripDropsSubSeconds) {
    box.write("f", "x");
    FileHandle handle = OpenOrFail(box.at16("f"), fsflag::kGenericWrite, fsflag::kOpenExisting);
    // 2000-01-01 00:00:00.5 UTC.
    const FileTime halfPast = 125911584000000000ull + 5000000ull;
    EXPECT_EQ(0u, FileSystem::SetFileTime(handle, nullptr, nullptr, &halfPast));
    FileTime creation = 0, access = 0, write = 0;
    EXPECT_EQ(0u, FileSystem::GetFileTime(handle, &creation, &access, &write));
    EXPECT_EQ(125911584000000000ull, write);
    EXPECT_EQ(125911584000000000ull, access);
    EXPECT_NE(0u, creation);
    EXPECT_EQ(0u, FileSystem::GetFileTime(handle, nullptr, nullptr, nullptr));
    FileSystem::CloseHandle(handle);
    struct stat st = StatOf(box.at("f"));
    EXPECT_EQ(946684800, st.st_mtime);
    EXPECT_EQ(946684800, st.st_atime);
}

TEST_F(HandleOperations, FileTimesAfter2038Survive) {
    box.write("f", "x");
    FileHandle handle = OpenOrFail(box.at16("f"), fsflag::kGenericWrite, fsflag::kOpenExisting);
    const FileTime in2100 = filetime::FromPosixSeconds(4102444800ll);
    EXPECT_EQ(0u, FileSystem::SetFileTime(handle, nullptr, nullptr, &in2100));
    FileTime back = 0;
    EXPECT_EQ(0u, FileSystem::GetFileTime(handle, nullptr, nullptr, &back));
    EXPECT_EQ(in2100, back);
    FileSystem::CloseHandle(handle);
}

TEST(FileTimeConversion, KnownInstantsAndClamp) {
    EXPECT_EQ(116444736000000000ull, filetime::FromPosixSeconds(0));
    EXPECT_EQ(0, filetime::ToPosixSeconds(116444736000000000ull + 9999999ull));
    EXPECT_EQ(-11644473600ll, filetime::ToPosixSeconds(0));
    EXPECT_EQ(0u, filetime::FromPosixSeconds(-11644473601ll));
}

TEST_F(HandleOperations, SetFileTimeWithoutLastWriteFails) {
    box.write("f", "x");
    FileHandle handle = OpenOrFail(box.at16("f"), fsflag::kGenericWrite, fsflag::kOpenExisting);
    errno = 0;
    EXPECT_EQ(87u, FileSystem::SetFileTime(handle, nullptr, nullptr, nullptr));
    EXPECT_EQ(87u, FileSystem::GetLastError());
    FileSystem::CloseHandle(handle);
}

TEST_F(HandleOperations, GetFileSizeByPath) {
    box.write("f", std::string(1234, 'a'));
    std::uint32_t size = 0;
    EXPECT_EQ(0u, FileSystem::GetFileSize(box.at16("f"), &size));
    EXPECT_EQ(1234u, size);
    EXPECT_EQ(1u, FileSystem::GetFileSize(box.at16("f"), nullptr));
    EXPECT_EQ(1u, FileSystem::GetFileSize(box.at16("missing"), &size));
}

TEST_F(HandleOperations, GetFileSizeKeepsLow32BitsOfHugeFile) {
    // A sparse file: 5 GiB + 7 bytes without using the space.
    int fd = ::open(box.at("big").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    if (::ftruncate(fd, (5ll << 30) + 7) != 0) {
        ::close(fd);
        GTEST_SKIP() << "file system refuses a 5 GiB sparse file";
    }
    ::close(fd);
    std::uint32_t size = 0;
    EXPECT_EQ(0u, FileSystem::GetFileSize(box.at16("big"), &size));
    EXPECT_EQ(std::uint32_t((1u << 30) + 7), size);
}

TEST_F(HandleOperations, HandlesAreNotInheritedByPrograms) {
    box.write("f", "x");
    FileHandle handle = OpenOrFail(box.at16("f"), fsflag::kGenericRead, fsflag::kOpenExisting);
    EXPECT_TRUE(::fcntl(int(handle), F_GETFD) & FD_CLOEXEC);
    FileSystem::CloseHandle(handle);
}

}  // namespace
