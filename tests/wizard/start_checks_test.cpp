// The pure rules behind the start-up checks: where the kit is looked for,
// the 64-bit space test and the clean-up of the proposed directory.
#include "wizard/start_checks.h"

#include <gtest/gtest.h>

#include "support/sandbox.h"

namespace {

using platform::ExecutableLayout;
using testing_support::u16;
using testing_support::utf8;

std::string KitFor(const char* exe, ExecutableLayout layout) {
    return wizard::KitPathBesideExecutable(stdx::string8(exe), layout).c_str();
}

std::string Clean(const std::string& dir) {
    return utf8(wizard::CleanProposedDirectory(u16(dir)));
}

TEST(KitLocation, LiesBesideThePlainExecutable) {
    EXPECT_EQ(KitFor("/opt/kit/setup", ExecutableLayout::kPlainDirectory), "/opt/kit/kelda.efd");
    EXPECT_EQ(KitFor("/setup", ExecutableLayout::kPlainDirectory), "/kelda.efd");
    EXPECT_EQ(KitFor("setup", ExecutableLayout::kPlainDirectory), "setup/kelda.efd");
    EXPECT_EQ(KitFor("", ExecutableLayout::kPlainDirectory), "");
}

TEST(KitLocation, LiesBesideTheApplicationBundle) {
    EXPECT_EQ(KitFor("/Volumes/Kit/Setup.app/Contents/MacOS/setup-mac",
                     ExecutableLayout::kApplicationBundle),
              "/Volumes/Kit/kelda.efd");
    // The last bundle marker counts.
    EXPECT_EQ(KitFor("/a/Outer.app/Contents/MacOS/b/Inner.app/Contents/MacOS/x",
                     ExecutableLayout::kApplicationBundle),
              "/a/Outer.app/Contents/MacOS/b/kelda.efd");
    // Outside a bundle, the executable's own directory.
    EXPECT_EQ(KitFor("/usr/local/bin/setup-mac", ExecutableLayout::kApplicationBundle),
              "/usr/local/bin/kelda.efd");
    // The marker means nothing to the plain layout.
    EXPECT_EQ(KitFor("/V/Setup.app/Contents/MacOS/setup", ExecutableLayout::kPlainDirectory),
              "/V/Setup.app/Contents/MacOS/kelda.efd");
}

TEST(KitLocation, KeepsTheWorkingDirectoryUnchanged) {
    EXPECT_EQ(std::string(wizard::KitPathInDirectory(stdx::string8("/w d/$x")).c_str()),
              "/w d/$x/kelda.efd");
}

TEST(TempSpace, ComparesThreeTimesTheKitIn64Bits) {
    EXPECT_TRUE(wizard::EnoughTempSpace(0, 0));
    EXPECT_TRUE(wizard::EnoughTempSpace(100, 300));
    EXPECT_FALSE(wizard::EnoughTempSpace(100, 299));
    // A 1.5 GB kit with 50 GB free: refused by any 32-bit comparison.
    EXPECT_TRUE(wizard::EnoughTempSpace(1500000000ull, 50000000000ull));
    EXPECT_FALSE(wizard::EnoughTempSpace(20000000000ull, 50000000000ull));
    // Three times the size would overflow: never enough.
    EXPECT_FALSE(wizard::EnoughTempSpace(UINT64_MAX / 2, UINT64_MAX));
    EXPECT_TRUE(wizard::EnoughTempSpace(UINT64_MAX / 3, UINT64_MAX));
}

TEST(ProposalCleanUp, EmptiesUrlLikeValues) {
    EXPECT_EQ(Clean("http://example.com/t"), "");
    EXPECT_EQ(Clean("/home/u/https://x"), "");
    EXPECT_EQ(Clean("ftp://host/t/"), "");
    // Case-sensitive: these are ordinary names.
    EXPECT_EQ(Clean("/home/HTTP://t"), "/home/HTTP://t");
    EXPECT_EQ(Clean("/home/u/http:/t"), "/home/u/http:/t");
}

TEST(ProposalCleanUp, CutsTheFirstFileSchemeAndLineBreaks) {
    EXPECT_EQ(Clean("file:///home/u/tmplts"), "/home/u/tmplts");
    EXPECT_EQ(Clean("file://file:///x"), "file:///x");
    EXPECT_EQ(Clean("/home/u/\r\ntmplts\n/"), "/home/u/tmplts/");
    EXPECT_EQ(Clean("fi\nle:///x"), "file:///x");  // the scheme is cut before the breaks go
    EXPECT_EQ(Clean(""), "");
}

}  // namespace
