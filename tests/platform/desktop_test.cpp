// Starting helper programs and the desktop's opener: no shell ever reads the
// path, and no path is taken for an option.
#include "platform/desktop.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support/sandbox.h"

namespace {

using testing_support::Sandbox;

// A stand-in opener that records its arguments and where its error output
// goes, to show that no shell reads the path.
TEST(Spawn, PassesThePathAsOneArgumentWithoutAShell) {
    Sandbox sandbox;
    std::string script = sandbox.at("opener");
    sandbox.write("opener",
                  "#!/bin/sh\n"
                  "printf '%s|%s' \"$#\" \"$1\" > \"$(dirname \"$0\")/args\"\n"
                  "readlink /proc/self/fd/2 > \"$(dirname \"$0\")/stderr\"\n");
    ASSERT_EQ(chmod(script.c_str(), 0755), 0);
    std::string path = sandbox.at("it's a \"doc\" $(touch pwned) `x` ; rm -rf \\.txt");
    pid_t pid = platform::SpawnProgram(script.c_str(), path.c_str());
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_EQ(Sandbox::read(sandbox.at("args")), "1|" + path);
    EXPECT_EQ(Sandbox::read(sandbox.at("stderr")), "/dev/null\n");
    EXPECT_FALSE(Sandbox::exists(sandbox.at("pwned")));
    EXPECT_FALSE(Sandbox::exists("pwned"));
}

TEST(Spawn, OpenerNeverTakesAPathForAnOption) {
    Sandbox sandbox;
    // PATH holds only the sandbox, so the stand-in uses no other program.
    sandbox.write(platform::DesktopOpener(),
                  "#!/bin/sh\nprintf '%s' \"$1\" > '" + sandbox.at("args") + "'\n");
    ASSERT_EQ(chmod(sandbox.at(platform::DesktopOpener()).c_str(), 0755), 0);
    const char* old = getenv("PATH");
    const std::string saved = old != nullptr ? old : "";
    setenv("PATH", sandbox.path().c_str(), 1);
    pid_t pid = platform::SpawnOpener("--help/readme.html");
    setenv("PATH", saved.c_str(), 1);
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_EQ(Sandbox::read(sandbox.at("args")), "./--help/readme.html");
}

TEST(Spawn, MissingProgramIsReported) {
    EXPECT_EQ(platform::SpawnProgram("/nonexistent/opener-program", "x"), -1);
}

// An opener that ends with a failure is told apart from one that succeeded.
TEST(Spawn, OpenerOutcomeIsItsExitStatus) {
    Sandbox sandbox;
    for (const auto& [exitCode, succeeded] : {std::pair<int, bool>{0, true}, {4, false}}) {
        sandbox.write("opener", "#!/bin/sh\nexit " + std::to_string(exitCode) + "\n");
        ASSERT_EQ(chmod(sandbox.at("opener").c_str(), 0755), 0);
        const pid_t pid = platform::SpawnProgram(sandbox.at("opener").c_str(), "doc.html");
        ASSERT_GT(pid, 0);
        EXPECT_EQ(platform::OpenerSucceeded(pid), succeeded) << exitCode;
    }
}

}  // namespace
