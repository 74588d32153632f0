// Paths the locale cannot represent: in the "C" locale a path with a
// non-ASCII character has no 8-bit form. Its convertible prefix names
// another file (for "dir/aé" the file "dir/a"), so every operation must
// refuse such a path instead of acting on the prefix.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fs/file_system.h"
#include "fs_test_support.h"
#include "text/string_util.h"

using namespace fstest;

namespace {

// Selects the environment's locale again when it goes out of scope.
struct ReselectLocale {
    ~ReselectLocale() { stdx::select_environment_locale(); }
};

// Runs the conversions in the "C" locale for one scope. Members go in
// reverse order: LC_ALL is restored first, then the locale selected again.
class CLocale {
  public:
    CLocale() { stdx::select_environment_locale(); }

  private:
    ReselectLocale reselect_;
    ScopedEnv all_{"LC_ALL", "C"};
};

class UnrepresentablePath : public ::testing::Test {
  protected:
    void SetUp() override {
        box.write("a", "prefix file");
        box.write("d/keep", "in the prefix directory");
    }
    // box/<prefix> followed by U+00E9, which ASCII cannot hold.
    stdx::string16 Accented(const std::string& prefix) {
        stdx::string16 path = box.at16(prefix);
        path.push_back(u'\u00E9');
        return path;
    }

    Sandbox box;
};

TEST_F(UnrepresentablePath, TreeOperationsRefuseAndLeaveThePrefixAlone) {
    CLocale locale;
    EXPECT_EQ(87u, FileSystem::CreateDirectory(Accented("n")));
    EXPECT_FALSE(Sandbox::exists(box.at("n")));
    EXPECT_EQ(87u, FileSystem::MoveFile(box.at16("a"), Accented("b")));
    EXPECT_EQ(87u, FileSystem::MoveFile(Accented("a"), box.at16("moved")));
    EXPECT_FALSE(Sandbox::exists(box.at("moved")));
    EXPECT_EQ(0u, FileSystem::DeleteFile(Accented("a")));
    // "d/" + U+00E9 would otherwise be "d/" itself.
    EXPECT_EQ(0u, FileSystem::RemoveDirectory(box.at16("d/") + stdx::string16(u"\u00E9")));
    EXPECT_EQ("prefix file", Sandbox::read(box.at("a")));
    EXPECT_EQ("in the prefix directory", Sandbox::read(box.at("d/keep")));
}

TEST_F(UnrepresentablePath, HandleAndLookupOperationsRefuse) {
    CLocale locale;
    FileHandle handle = kInvalidFileHandle;
    EXPECT_EQ(87u, FileSystem::CreateFile(Accented("a"), fsflag::kGenericWrite, 0,
                                          fsflag::kTruncateExisting, &handle, 0));
    EXPECT_EQ(kInvalidFileHandle, handle);
    EXPECT_EQ("prefix file", Sandbox::read(box.at("a")));
    std::uint32_t size = 0;
    EXPECT_EQ(1u, FileSystem::GetFileSize(Accented("a"), &size));
    FileFind find;
    EXPECT_FALSE(FileSystem::FindFirstFile(find, Accented("a")));
    FileSystem::FindClose(find);
    stdx::string16 temp = u"unchanged";
    EXPECT_EQ(1013u, FileSystem::GetTempFileName(Accented("d"), u"KV", temp));
    EXPECT_EQ(stdx::string16(u"unchanged"), temp);
}

TEST_F(UnrepresentablePath, EnumerationSkipsNamesItCannotRepresent) {
    box.write("d/a\xC3\xA9", "accented");
    box.write("d/\xC3\xA9", "accented only");
    CLocale locale;
    std::vector<std::string> names;
    FileFind find;
    for (bool more = FileSystem::FindFirstFile(find, box.at16("d/*")); more;
         more = FileSystem::FindNextFile(find)) {
        names.push_back(utf8(FileSystem::GetFindFileName(find)));
    }
    FileSystem::FindClose(find);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{".", "..", "keep"}), names);
}

TEST_F(UnrepresentablePath, TmpdirTheLocaleCannotHoldFallsBack) {
    box.mkdirs("t\xC3\xA9");
    std::string tmpdir = box.at("t\xC3\xA9");
    ScopedEnv env("TMPDIR", tmpdir.c_str());
    CLocale locale;
    stdx::string16 dir;
    EXPECT_EQ(0u, FileSystem::GetTempPath(dir));
#if defined(__APPLE__)
    EXPECT_EQ(stdx::string16(u"/var/tmp/"), dir);
#else
    EXPECT_EQ(stdx::string16(u"/tmp/"), dir);
#endif
}

}  // namespace
