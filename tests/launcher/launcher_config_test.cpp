#include "launcher/launcher_config.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "launcher/launcher_paths.h"
#include "launcher_test_support.h"
#include "text/key_value_file.h"

using launcher_test::ScopedEnv;
using testing_support::Sandbox;
using testing_support::u16;
using testing_support::utf8;

namespace {

const char kPrimary[] = ".KV/kvlaunch/kvlaunch.cfg";
const char kSecondary[] = ".KV/kvlauncht/kvlaunch.cfg";
const char kProduct[] = ".kelda/.KV/kvlaunch/kvlaunch.cfg";

// A sandbox that is the home directory, in a UTF-8 locale.
struct Home {
    Sandbox box;
    ScopedEnv home{"HOME", box.path()};
    launcher_test::Utf8Locale locale;
};

std::string Joined(const std::vector<stdx::string16>& dirs) {
    std::string out;
    for (const stdx::string16& dir : dirs) out += utf8(dir) + "|";
    return out;
}

std::string ReadDirs(LauncherMode mode) {
    return Joined(LauncherConfig::ReadTemplateDirs(mode));
}

int WriteCode(const std::vector<stdx::string16>& dirs, LauncherMode mode) {
    try {
        LauncherConfig::WriteTemplateDirs(dirs, mode);
        return 0;
    } catch (const KeyValueWriteError& e) {
        return e.code();
    }
}

}  // namespace

TEST(LauncherPaths, BuiltFromHome) {
    ScopedEnv home("HOME", "/home/u");
    EXPECT_EQ(utf8(HomeDirectory()), "/home/u");
    EXPECT_EQ(utf8(PrimaryLauncherFile()), "/home/u/.KV/kvlaunch/kvlaunch.cfg");
    EXPECT_EQ(utf8(SecondaryLauncherFile()), "/home/u/.KV/kvlauncht/kvlaunch.cfg");
    EXPECT_EQ(utf8(ProductLauncherFile()), "/home/u/.kelda/.KV/kvlaunch/kvlaunch.cfg");
    EXPECT_EQ(utf8(DefaultTemplateDirectory()), "/home/u/.kelda/KV/kelda/tmplts/");
    EXPECT_EQ(utf8(DirectoryOfFile(u"C:\\a\\b.cfg")), "C:\\a");

    // The expansion is taken whole: no splitting, no further expansion.
    ScopedEnv odd("HOME", "/home/a b/$x;`y`");
    EXPECT_EQ(utf8(PrimaryLauncherFile()), "/home/a b/$x;`y`/.KV/kvlaunch/kvlaunch.cfg");
    EXPECT_EQ(utf8(DirectoryOfFile(u"b.cfg")), "");
}

// An empty HOME is no home: the user's entry in the password database names
// it, as for an unset HOME, and nothing is placed under the root directory.
TEST(LauncherPaths, EmptyHomeIsLookedUpInThePasswordDatabase) {
    const struct passwd* user = getpwuid(getuid());
    ASSERT_NE(user, nullptr);
    ASSERT_NE(std::string(user->pw_dir), "");
    ScopedEnv home("HOME", "");
    EXPECT_EQ(utf8(HomeDirectory()), user->pw_dir);
    EXPECT_EQ(utf8(PrimaryLauncherFile()), std::string(user->pw_dir) + "/" + kPrimary);
}

// In the "C" locale "/home/j\u00E9" has no 16-bit form; its decodable
// prefix "/home/j" would be someone else's home.
TEST(LauncherPaths, HomeTheLocaleCannotHoldCountsAsNoHome) {
    ScopedEnv locale("LC_ALL", "C");
    ScopedEnv home("HOME", "/home/j\xC3\xA9");
    EXPECT_EQ(utf8(HomeDirectory()), "");
    EXPECT_EQ(utf8(PrimaryLauncherFile()), "/.KV/kvlaunch/kvlaunch.cfg");
}

TEST(LauncherConfig, NoFilesGivesNothingAndTheFirstWriteCreatesThePrimaryFile) {
    Home h;
    EXPECT_EQ(ReadDirs(LauncherMode::kPrimary), "");
    EXPECT_EQ(ReadDirs(LauncherMode::kSecondary), "");

    LauncherConfig::WriteTemplateDirs({DefaultTemplateDirectory()}, LauncherMode::kPrimary);
    EXPECT_EQ(Sandbox::read(h.box.at(kPrimary)),
              "ConfigurationTemplatesLocation=" + h.box.path() + "/.kelda/KV/kelda/tmplts/\n");
    EXPECT_FALSE(Sandbox::exists(h.box.at(kSecondary)));
    EXPECT_FALSE(Sandbox::exists(h.box.at(kProduct)));
}

TEST(LauncherConfig, ReadMergesNormalisesAndDropsDuplicates) {
    Home h;
    h.box.write(kPrimary,
                "ConfigurationTemplatesLocation=/a/t\nDefaultVersion=8.3\n"
                "configurationtemplateslocation=/a/t/\nConfigurationTemplatesLocation=/A/T\n"
                "ConfigurationTemplatesLocation=C:\\Templates\\\n"
                "ConfigurationTemplatesLocation=/p/\n");
    h.box.write(
        kProduct,
        "ConfigurationTemplatesLocation=/product/t\n"
        "ConfigurationTemplatesLocation=/P/\nConfigurationTemplatesLocation=C:/templates\n");
    h.box.write(kSecondary, "ConfigurationTemplatesLocation=/second\n");

    EXPECT_EQ(ReadDirs(LauncherMode::kPrimary), "/a/t|C:/Templates/|/p/|/product/t|");
    EXPECT_EQ(ReadDirs(LauncherMode::kSecondary), "/second|/a/t|C:/Templates/|/p/|");
}

TEST(LauncherConfig, WriteReplacesTheListInPlaceAndKeepsOtherKeys) {
    Home h;
    h.box.write(kPrimary,
                "DefaultVersion=8.3\nConfigurationTemplatesLocation=/a/t\n"
                "InstalledLocation=/opt/x\nconfigurationTemplatesLocation=/old\n"
                "CommonCfgLocation=/c\n");
    LauncherConfig::WriteTemplateDirs({u"/new/t", u"/a/t", u"/NEW/T/"}, LauncherMode::kPrimary);
    EXPECT_EQ(Sandbox::read(h.box.at(kPrimary)),
              "DefaultVersion=8.3\nConfigurationTemplatesLocation=/new/t\n"
              "ConfigurationTemplatesLocation=/a/t\nInstalledLocation=/opt/x\n"
              "CommonCfgLocation=/c\n");
}

// A launcher file an editor saved with CR LF line ends and a comment line:
// the directory is read without the carriage return and the file comes back
// in its own form.
TEST(LauncherConfig, CarriageReturnLineEndsAndCommentLinesSurviveARoundTrip) {
    Home h;
    h.box.write(kPrimary, "# my templates\r\nConfigurationTemplatesLocation=/a/t\r\n");
    EXPECT_EQ(ReadDirs(LauncherMode::kPrimary), "/a/t|");
    LauncherConfig::WriteTemplateDirs({u"/new", u"/a/t"}, LauncherMode::kPrimary);
    EXPECT_EQ(Sandbox::read(h.box.at(kPrimary)),
              "# my templates\r\nConfigurationTemplatesLocation=/new\r\n"
              "ConfigurationTemplatesLocation=/a/t\r\n");
}

TEST(LauncherConfig, SecondaryModeWritesOnlyTheSecondaryFile) {
    Home h;
    const std::string primary = "ConfigurationTemplatesLocation=/p\n";
    h.box.write(kPrimary, primary);
    LauncherConfig::WriteTemplateDirs({u"/s"}, LauncherMode::kSecondary);
    EXPECT_EQ(Sandbox::read(h.box.at(kSecondary)), "ConfigurationTemplatesLocation=/s\n");
    EXPECT_EQ(Sandbox::read(h.box.at(kPrimary)), primary);
    EXPECT_EQ(ReadDirs(LauncherMode::kSecondary), "/s|/p|");
}

TEST(LauncherConfig, FailedWritesThrowAndChangeNothing) {
    Home h;
    // The launcher directory's parent is a file: neither attempt can succeed.
    h.box.write(".KV", "not a directory");
    EXPECT_EQ(WriteCode({u"/x"}, LauncherMode::kPrimary), 1);
    EXPECT_EQ(Sandbox::read(h.box.at(".KV")), "not a directory");

    // A file we could not decode would lose text if written back.
    const std::string undecodable = "Other=\xFF\xFE\nConfigurationTemplatesLocation=/a\n";
    Sandbox other;
    ScopedEnv home("HOME", other.path());
    other.write(kPrimary, undecodable);
    EXPECT_EQ(WriteCode({u"/x"}, LauncherMode::kPrimary), 2);
    EXPECT_EQ(Sandbox::read(other.at(kPrimary)), undecodable);

    // A FIFO in the file's place is neither waited on nor replaced.
    Sandbox fifo;
    ScopedEnv fifoHome("HOME", fifo.path());
    fifo.mkdirs(".KV/kvlaunch");
    ASSERT_EQ(0, mkfifo(fifo.at(kPrimary).c_str(), 0600));
    alarm(30);  // a blocked open ends the test program instead of hanging it
    EXPECT_EQ(ReadDirs(LauncherMode::kPrimary), "");
    EXPECT_EQ(WriteCode({u"/x"}, LauncherMode::kPrimary), 2);
    alarm(0);
    struct stat st;
    ASSERT_EQ(0, lstat(fifo.at(kPrimary).c_str(), &st));
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    // So would a character the 16-bit text cannot hold (U+1F600).
    const std::string beyond = "Other=\xF0\x9F\x98\x80\nConfigurationTemplatesLocation=/a\n";
    Sandbox third;
    ScopedEnv thirdHome("HOME", third.path());
    third.write(kPrimary, beyond);
    EXPECT_EQ(WriteCode({u"/x"}, LauncherMode::kPrimary), 2);
    EXPECT_EQ(Sandbox::read(third.at(kPrimary)), beyond);
}
