// Temporary directory rules, exclusive temporary files, free space and the
// pause.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <set>

#include "fs/file_system.h"
#include "fs/free_space.h"
#include "fs_test_support.h"

using namespace fstest;

namespace {

class TemporaryFiles : public ::testing::Test {
  protected:
    Sandbox box;
};

TEST_F(TemporaryFiles, TempPathFallsBackUnlessTmpdirIsADirectory) {
#if defined(__APPLE__)
    const stdx::string16 fallback = u"/var/tmp/";
#else
    const stdx::string16 fallback = u"/tmp/";
#endif
    stdx::string16 dir;
    {
        ScopedEnv env("TMPDIR", nullptr);
        EXPECT_EQ(0u, FileSystem::GetTempPath(dir));
        EXPECT_EQ(fallback, dir);
    }
    box.write("file", "x");
    for (const std::string& bad : {box.at("file"), box.at("missing"), std::string()}) {
        ScopedEnv env("TMPDIR", bad.c_str());
        FileSystem::GetTempPath(dir);
        EXPECT_EQ(fallback, dir) << bad;
    }
    {
        ScopedEnv env("TMPDIR", box.path().c_str());
        FileSystem::GetTempPath(dir);
        EXPECT_EQ(u16(box.path() + "/"), dir);
    }
    {
        std::string withSlash = box.path() + "/";
        ScopedEnv env("TMPDIR", withSlash.c_str());
        FileSystem::GetTempPath(dir);
        EXPECT_EQ(u16(withSlash), dir);
    }
}

TEST_F(TemporaryFiles, TempFileIsNewEmptyAndOwnerOnly) {
    stdx::string16 name;
    ASSERT_EQ(0u, FileSystem::GetTempFileName(box.at16(""), u"edf", name));
    std::string path = utf8(name);
    EXPECT_EQ(0u, path.rfind(box.at("edf"), 0)) << path;
    struct stat st = StatOf(path);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(0, st.st_size);
    EXPECT_EQ(0600u, st.st_mode & 0777);
    // Without a trailing slash on the directory the name is the same shape.
    ASSERT_EQ(0u, FileSystem::GetTempFileName(u16(box.path()), u"KV", name));
    EXPECT_EQ(0u, utf8(name).rfind(box.at("KV"), 0));
}

TEST_F(TemporaryFiles, TempFileNamesAreDistinct) {
    std::set<std::string> names;
    for (int i = 0; i < 200; ++i) {
        stdx::string16 name;
        ASSERT_EQ(0u, FileSystem::GetTempFileName(box.at16(""), u"KV", name));
        names.insert(utf8(name));
    }
    EXPECT_EQ(200u, names.size());
}

TEST_F(TemporaryFiles, TempFileInTmpUnderDefaultDirectory) {
    ScopedEnv env("TMPDIR", nullptr);
    stdx::string16 dir;
    FileSystem::GetTempPath(dir);
    stdx::string16 name;
    ASSERT_EQ(0u, FileSystem::GetTempFileName(dir, u"edf", name));
    EXPECT_EQ(0u, utf8(name).rfind(utf8(dir) + "edf", 0));
    EXPECT_EQ(0, StatOf(utf8(name)).st_size);
    FileSystem::DeleteFile(name);
}

TEST_F(TemporaryFiles, TempFileStaysInTheGivenDirectory) {
    // Even with TMPDIR pointing elsewhere, the probe must test this directory.
    box.mkdirs("elsewhere");
    box.mkdirs("target");
    std::string elsewhere = box.at("elsewhere");
    ScopedEnv env("TMPDIR", elsewhere.c_str());
    stdx::string16 name;
    ASSERT_EQ(0u, FileSystem::GetTempFileName(box.at16("target/"), u"KV", name));
    EXPECT_EQ(0u, utf8(name).rfind(box.at("target/KV"), 0));
}

TEST_F(TemporaryFiles, TempFileFailureLeavesOutputAlone) {
    stdx::string16 name = u"unchanged";
    EXPECT_EQ(1013u, FileSystem::GetTempFileName(box.at16("missing/"), u"KV", name));
    EXPECT_EQ(u16("unchanged"), name);
    box.write("plain", "x");
    EXPECT_EQ(1013u, FileSystem::GetTempFileName(box.at16("plain/"), u"KV", name));
    EXPECT_EQ(1013u, FileSystem::GetTempFileName(u"", u"KV", name));
    EXPECT_EQ(u16("unchanged"), name);
    EXPECT_FALSE(Sandbox::exists(box.at("missing")));
}

TEST_F(TemporaryFiles, TempFileUnwritableDirectoryFails) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser writes anywhere";
    box.mkdirs("ro");
    ::chmod(box.at("ro").c_str(), 0555);
    stdx::string16 name;
    EXPECT_EQ(1013u, FileSystem::GetTempFileName(box.at16("ro/"), u"KV", name));
}

TEST(FreeSpace, ThirtyTwoBitResultSaturates) {
    EXPECT_EQ(0xFFFFFFFFu, fsdetail::SaturatedProduct32(2000000, 4096));
    EXPECT_EQ(4096000u, fsdetail::SaturatedProduct32(1000, 4096));
    EXPECT_EQ(0xFFFFFFFFu, fsdetail::SaturatedProduct32(UINT64_MAX, 4096));
    EXPECT_EQ(0u, fsdetail::SaturatedProduct32(0, 4096));
    EXPECT_EQ(8192000000ull, fsdetail::SaturatedProduct64(2000000, 4096));
    EXPECT_EQ(UINT64_MAX, fsdetail::SaturatedProduct64(UINT64_MAX / 2, 4096));
}

TEST(FreeSpace, QueriesAgreeWithEachOther) {
    EXPECT_EQ(87u, FileSystem::GetDiskFreeSpace(nullptr));
    EXPECT_EQ(87u, FileSystem::GetDiskFreeSpace64(nullptr));
    std::uint32_t small = 0;
    std::uint64_t large = 0;
    EXPECT_EQ(0u, FileSystem::GetDiskFreeSpace(&small));
    EXPECT_EQ(0u, FileSystem::GetDiskFreeSpace64(&large));
    EXPECT_GT(large, 0u);
    // The 32-bit value counts the reserve too, so it is never below the
    // unprivileged amount unless it saturated.
    EXPECT_TRUE(small == 0xFFFFFFFFu || std::uint64_t(small) >= large);
}

TEST_F(TemporaryFiles, PathFreeSpaceMeasuresNearestExistingParent) {
    std::uint64_t here = 0;
    std::uint64_t below = 0;
    EXPECT_EQ(0u, FileSystem::GetPathFreeSpace64(box.at16(""), &here));
    EXPECT_EQ(0u, FileSystem::GetPathFreeSpace64(box.at16("not/yet/made/"), &below));
    EXPECT_GT(below, 0u);
    // Same file system; allow for other writers in between.
    std::uint64_t diff = here > below ? here - below : below - here;
    EXPECT_LT(diff, std::uint64_t(256) << 20);
    EXPECT_FALSE(Sandbox::exists(box.at("not")));
    EXPECT_EQ(87u, FileSystem::GetPathFreeSpace64(u"", &here));
    EXPECT_EQ(87u, FileSystem::GetPathFreeSpace64(box.at16(""), nullptr));
}

TEST_F(TemporaryFiles, FreeSpaceOfTmpdirFileSystem) {
    std::string dir = box.path();
    ScopedEnv env("TMPDIR", dir.c_str());
    std::uint64_t viaTemp = 0;
    std::uint64_t viaPath = 0;
    EXPECT_EQ(0u, FileSystem::GetDiskFreeSpace64(&viaTemp));
    EXPECT_EQ(0u, FileSystem::GetPathFreeSpace64(box.at16(""), &viaPath));
    std::uint64_t diff = viaTemp > viaPath ? viaTemp - viaPath : viaPath - viaTemp;
    EXPECT_LT(diff, std::uint64_t(256) << 20);
}

TEST(Sleep, PausesForAtLeastTheGivenTime) {
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(0, SleepMilliseconds(30));
    EXPECT_EQ(0, FileSystem::SleepMilliseconds(0));
    EXPECT_EQ(0, FileSystem::SleepMilliseconds(-5));
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(30));
}

}  // namespace
