// setup-mac reads its own path from the system (proc_pidpath on macOS, the
// stand-in's /proc link here) and finds the kit beside it. The helper program
// is copied into awkward places, started there, and must report exactly
// where it lies: spaces and non-ASCII names, a bundle's Contents/MacOS
// folder, and long paths (whole below PATH_MAX, none beyond it).
#include "cocoa/executable_path.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "support/sandbox.h"

#ifndef PRINT_EXE_PATH
#error "PRINT_EXE_PATH must name the helper program"
#endif

namespace {

// Copies the helper to `name` in the working directory, executable.
void CopyHelperHere(const char* name) {
    const int in = open(PRINT_EXE_PATH, O_RDONLY);
    ASSERT_GE(in, 0);
    const int out = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0755);
    ASSERT_GE(out, 0);
    char buffer[65536];
    ssize_t n;
    while ((n = read(in, buffer, sizeof buffer)) > 0) {
        ASSERT_EQ(write(out, buffer, static_cast<size_t>(n)), n);
    }
    close(in);
    close(out);
}

// Runs ./name in the working directory; returns its output and exit status.
std::string RunHere(const char* name, int* status) {
    int fds[2];
    if (pipe(fds) != 0) {
        return "";
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        const std::string relative = std::string("./") + name;
        execl(relative.c_str(), name, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string output;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<size_t>(n));
    }
    close(fds[0]);
    waitpid(pid, status, 0);
    return output;
}

class ExecutablePath : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(getcwd(cwd_, sizeof cwd_), nullptr); }
    void TearDown() override { ASSERT_EQ(chdir(cwd_), 0); }

    // Copies the helper into `dir` (made below the sandbox), runs it there
    // and expects it to name that copy.
    void ExpectReportedAt(const std::string& dir, const char* name) {
        ASSERT_EQ(chdir(dir.c_str()), 0);
        CopyHelperHere(name);
        int status = -1;
        const std::string reported = RunHere(name, &status);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_EQ(reported, dir + "/" + name);
    }

    testing_support::Sandbox sandbox_;
    char cwd_[4096];
};

TEST_F(ExecutablePath, ReportsAwkwardNamesExactly) {
    sandbox_.mkdirs("Kit Disk/Ünïcode — folder");
    ExpectReportedAt(sandbox_.at("Kit Disk/Ünïcode — folder"), "setup mac");
}

TEST_F(ExecutablePath, ReportsTheBundleFolder) {
    sandbox_.mkdirs("Volumes/K/Setup.app/Contents/MacOS");
    ExpectReportedAt(sandbox_.at("Volumes/K/Setup.app/Contents/MacOS"), "setup-mac");
}

// Walks down one level of `part` at a time from the sandbox until the path
// is at least `length` long (beyond PATH_MAX no single call could make it),
// copies the helper there and runs it. Removes the chain again afterwards.
std::string RunInDeepFolder(const std::string& root, size_t length, int* status,
                            std::string* folder) {
    const std::string part(200, 'd');
    EXPECT_EQ(chdir(root.c_str()), 0);
    *folder = root;
    int depth = 0;
    while (folder->size() < length) {
        EXPECT_EQ(mkdir(part.c_str(), 0755), 0);
        EXPECT_EQ(chdir(part.c_str()), 0);
        *folder += "/" + part;
        ++depth;
    }
    CopyHelperHere("setup-mac");
    const std::string reported = RunHere("setup-mac", status);
    unlink("setup-mac");
    for (int i = 0; i < depth; ++i) {
        EXPECT_EQ(chdir(".."), 0);
        EXPECT_EQ(rmdir(part.c_str()), 0);
    }
    return reported;
}

TEST_F(ExecutablePath, ReportsLongPathsInFull) {
    // Up to just below PATH_MAX (4096 with its terminating zero).
    for (size_t length : {size_t{1000}, size_t{3800}}) {
        int status = -1;
        std::string folder;
        const std::string reported = RunInDeepFolder(sandbox_.path(), length, &status, &folder);
        EXPECT_EQ(reported, folder + "/setup-mac");
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
}

TEST_F(ExecutablePath, BeyondPathMaxGivesAnEmptyPathNotACutOne) {
    // The system will not report it; an empty path makes the program say
    // that the kit is missing instead of looking in a wrong folder.
    int status = -1;
    std::string folder;
    const std::string reported = RunInDeepFolder(sandbox_.path(), 4096 + 300, &status, &folder);
    EXPECT_EQ(reported, "");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
}

TEST_F(ExecutablePath, ThisProcessIsFound) {
    const std::string path = cocoa::ReadExecutablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
}

}  // namespace
