// Typed directories: "~" and relative paths become absolute before they are
// used or written to the launcher file.
#include "launcher/user_path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "launcher/launcher_test_support.h"
#include "support/sandbox.h"

namespace {

using testing_support::u16;
using testing_support::utf8;

struct Case {
    const char* typed;
    const char* expected;
};

TEST(ExpandUserPath, TableWithFixedHomeAndWorkingDirectory) {
    const Case cases[] = {
        {"~", "/home/u/"},
        {"~/", "/home/u/"},
        {"~/my templates", "/home/u/my templates"},
        {"~/my templates/", "/home/u/my templates/"},
        {"~user/x", "/work/dir/~user/x"},  // only "~" and "~/" name the home
        {"a~/b", "/work/dir/a~/b"},
        {"tmplts", "/work/dir/tmplts"},
        {"./tmplts/", "/work/dir/tmplts/"},
        {" ", "/work/dir/ "},
        {"../up", "/work/dir/../up"},
        {"/abs//x/./y", "/abs/x/y"},
        {"/", "/"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8(ExpandUserPathIn(u16(c.typed), u"/home/u", u"/work/dir")), c.expected)
            << "typed: '" << c.typed << "'";
    }
}

TEST(ExpandUserPath, MissingHomeOrWorkingDirectoryRefusesOnlyWhatNeedsIt) {
    EXPECT_TRUE(ExpandUserPathIn(u"~/x", u"", u"/w").empty());
    EXPECT_TRUE(ExpandUserPathIn(u"~/x", u"relative-home", u"/w").empty());
    EXPECT_TRUE(ExpandUserPathIn(u"x", u"/h", u"").empty());
    EXPECT_EQ(utf8(ExpandUserPathIn(u"/abs", u"", u"")), "/abs");
}

TEST(ExpandUserPath, UsesTheRealHomeAndWorkingDirectory) {
    testing_support::Sandbox sandbox;
    sandbox.mkdirs("home");
    sandbox.mkdirs("cwd");
    launcher_test::ScopedEnv home("HOME", sandbox.at("home"));
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(sandbox.at("cwd").c_str()), 0);
    const std::string fromHome = utf8(ExpandUserPath(u"~/my templates"));
    const std::string relative = utf8(ExpandUserPath(u"t"));
    ASSERT_EQ(chdir(old), 0);
    EXPECT_EQ(fromHome, sandbox.at("home") + "/my templates");
    // getcwd names the real directory; the sandbox path may pass a link.
    char real[4096];
    ASSERT_NE(realpath(sandbox.at("cwd").c_str(), real), nullptr);
    EXPECT_EQ(relative, std::string(real) + "/t");
}

}  // namespace
