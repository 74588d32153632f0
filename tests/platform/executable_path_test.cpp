// The executable's path is read exactly and in full, however long the system
// reports it: the helper program is copied into awkward places (spaces and
// non-ASCII names, a bundle's Contents/MacOS folder, directories longer than
// the first buffer of 260 bytes, up to and beyond PATH_MAX), started there,
// and must report where it lies.
#include "platform/executable_path.h"

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

class ExecutablePathTest : public ::testing::Test {
  protected:
    void SetUp() override { previous_ = open(".", O_RDONLY | O_DIRECTORY); }
    void TearDown() override {
        EXPECT_EQ(fchdir(previous_), 0);
        close(previous_);
    }

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

    // Walks down one level of 200 'd's at a time from the sandbox until the
    // path is at least `length` long (beyond PATH_MAX no single call could
    // make it), copies the helper there and runs it. Removes the chain again
    // from the inside out (too long for nftw).
    std::string RunInDeepFolder(size_t length, int* status, std::string* folder) {
        const std::string part(200, 'd');
        EXPECT_EQ(chdir(sandbox_.path().c_str()), 0);
        *folder = sandbox_.path();
        int depth = 0;
        while (folder->size() < length) {
            EXPECT_EQ(mkdir(part.c_str(), 0755), 0);
            EXPECT_EQ(chdir(part.c_str()), 0);
            *folder += "/" + part;
            ++depth;
        }
        CopyHelperHere("probe-exe");
        const std::string reported = RunHere("probe-exe", status);
        unlink("probe-exe");
        for (int i = 0; i < depth; ++i) {
            EXPECT_EQ(chdir(".."), 0);
            EXPECT_EQ(rmdir(part.c_str()), 0);
        }
        return reported;
    }

    int previous_ = -1;
    testing_support::Sandbox sandbox_;
};

TEST_F(ExecutablePathTest, ThisProcessIsFound) {
    const stdx::string8 path = platform::ExecutablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path[0], '/');
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
#ifndef __APPLE__
    struct stat fromProc;
    ASSERT_EQ(stat("/proc/self/exe", &fromProc), 0);
    EXPECT_EQ(info.st_ino, fromProc.st_ino);
#endif
}

TEST_F(ExecutablePathTest, AwkwardNamesAndTheBundleFolderAreReportedExactly) {
    for (const char* dir : {"Kit Disk/Ünïcode — folder", "Volumes/K/Setup.app/Contents/MacOS"}) {
        SCOPED_TRACE(dir);
        sandbox_.mkdirs(dir);
        ExpectReportedAt(sandbox_.at(dir), "setup mac");
    }
}

TEST_F(ExecutablePathTest, PathsLongerThanTheFirstBufferAreReadInFull) {
    // Up to just below PATH_MAX (4096 with its terminating zero).
    for (size_t length : {size_t{300}, size_t{1000}, size_t{4000}}) {
        SCOPED_TRACE(length);
        int status = -1;
        std::string folder;
        const std::string reported = RunInDeepFolder(length, &status, &folder);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_EQ(reported, folder + "/probe-exe");
    }
}

TEST_F(ExecutablePathTest, PathBeyondPathMaxGivesAnEmptyPathNotACutOne) {
    // The system refuses to report such a path, and no file beside it could
    // be opened by that name either: the program then says the kit is not
    // found instead of looking in a wrong, shortened folder.
    int status = -1;
    std::string folder;
    const std::string reported = RunInDeepFolder(5000, &status, &folder);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_EQ(reported, "");
}

TEST_F(ExecutablePathTest, MissingOrNonLinkGivesAnEmptyPath) {
    EXPECT_TRUE(platform::ReadLinkInFull(sandbox_.at("absent").c_str()).empty());
    sandbox_.write("plain", "not a link");
    EXPECT_TRUE(platform::ReadLinkInFull(sandbox_.at("plain").c_str()).empty());
}

TEST_F(ExecutablePathTest, LinkOfExactlyTheFirstBufferSizeIsNotCut) {
    // 260 bytes fills the first buffer exactly: readlink's result alone
    // cannot tell it from a cut path, so the reader must grow and retry.
    std::string target = "/" + std::string(259, 't');
    ASSERT_EQ(symlink(target.c_str(), sandbox_.at("link").c_str()), 0);
    stdx::string8 read = platform::ReadLinkInFull(sandbox_.at("link").c_str());
    EXPECT_EQ(std::string(read.c_str(), read.size()), target);
}

}  // namespace
