// The executable's path is read in full, however long the system reports it:
// the program is copied into directories whose paths are longer than the
// first buffer (260 bytes), up to and beyond PATH_MAX, started there, and
// reports where it lies.
#include "executable_path.h"

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

// Copies `from` (absolute) to `name` in the working directory, executable.
void CopyExecutable(const std::string& from, const char* name) {
    int in = open(from.c_str(), O_RDONLY);
    ASSERT_GE(in, 0);
    int out = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0755);
    ASSERT_GE(out, 0);
    char buffer[65536];
    ssize_t n;
    while ((n = read(in, buffer, sizeof buffer)) > 0) {
        ASSERT_EQ(write(out, buffer, n), n);
    }
    close(in);
    close(out);
}

// Runs ./name in the working directory and returns its standard output.
std::string RunHere(const char* name, int* status) {
    int fds[2];
    if (pipe(fds) != 0) {
        return "";
    }
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        std::string relative = std::string("./") + name;
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

const std::string kPart(200, 'd');

// Builds a chain of directories below `root` by walking into each, so the
// total length may exceed PATH_MAX; leaves the process inside the last one.
// Returns the chain's path and sets `depth` to its number of directories.
std::string DescendInto(const std::string& root, size_t minLength, int* depth) {
    EXPECT_EQ(chdir(root.c_str()), 0);
    std::string path = root;
    *depth = 0;
    while (path.size() < minLength) {
        EXPECT_EQ(mkdir(kPart.c_str(), 0755), 0);
        EXPECT_EQ(chdir(kPart.c_str()), 0);
        path += "/" + kPart;
        ++*depth;
    }
    return path;
}

// Removes the chain again from the inside out (too long for nftw).
void RemoveChain(int depth, const char* file) {
    unlink(file);
    for (int i = 0; i < depth; ++i) {
        EXPECT_EQ(chdir(".."), 0);
        EXPECT_EQ(rmdir(kPart.c_str()), 0);
    }
}

class ExecutablePathTest : public ::testing::Test {
  protected:
    void SetUp() override { previous_ = open(".", O_RDONLY | O_DIRECTORY); }
    void TearDown() override {
        EXPECT_EQ(fchdir(previous_), 0);
        close(previous_);
    }
    int previous_ = -1;
    testing_support::Sandbox sandbox_;
};

TEST_F(ExecutablePathTest, ReadsOwnPathInThisProcess) {
    stdx::string8 path = gtkfront::ReadExecutablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path[0], '/');
    struct stat fromLink, fromProc;
    ASSERT_EQ(stat(path.c_str(), &fromLink), 0);
    ASSERT_EQ(stat("/proc/self/exe", &fromProc), 0);
    EXPECT_EQ(fromLink.st_ino, fromProc.st_ino);
}

TEST_F(ExecutablePathTest, PathsLongerThanFirstBufferAreReadInFull) {
    // Up to just below PATH_MAX (4096 with its terminating zero).
    for (size_t length : {size_t{300}, size_t{1000}, size_t{4000}}) {
        SCOPED_TRACE(length);
        int depth = 0;
        std::string dir = DescendInto(sandbox_.path(), length, &depth);
        CopyExecutable(PRINT_EXE_PATH, "probe-exe");
        int status = -1;
        std::string printed = RunHere("probe-exe", &status);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_EQ(printed.size(), dir.size() + std::string("/probe-exe").size());
        EXPECT_EQ(printed, dir + "/probe-exe");
        RemoveChain(depth, "probe-exe");
    }
}

TEST_F(ExecutablePathTest, PathBeyondPathMaxGivesEmptyPathNotACutOne) {
    // The kernel refuses to report such a link (ENAMETOOLONG), and no file
    // beside it could be opened by that name either: the program then says
    // the kit is not found instead of looking in a wrong, shortened folder.
    int depth = 0;
    DescendInto(sandbox_.path(), 5000, &depth);
    CopyExecutable(PRINT_EXE_PATH, "probe-exe");
    int status = -1;
    std::string printed = RunHere("probe-exe", &status);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_EQ(printed, "");
    RemoveChain(depth, "probe-exe");
}

TEST_F(ExecutablePathTest, MissingOrNonLinkGivesEmptyPath) {
    EXPECT_TRUE(gtkfront::ReadExecutablePath(sandbox_.at("absent").c_str()).empty());
    sandbox_.write("plain", "not a link");
    EXPECT_TRUE(gtkfront::ReadExecutablePath(sandbox_.at("plain").c_str()).empty());
}

TEST_F(ExecutablePathTest, LinkOfExactlyTheFirstBufferSizeIsNotCut) {
    // 260 bytes fills the first buffer exactly: readlink's result alone
    // cannot tell it from a cut path, so the reader must grow and retry.
    std::string target = "/" + std::string(259, 't');
    ASSERT_EQ(symlink(target.c_str(), sandbox_.at("link").c_str()), 0);
    stdx::string8 read = gtkfront::ReadExecutablePath(sandbox_.at("link").c_str());
    EXPECT_EQ(std::string(read.c_str(), read.size()), target);
}

}  // namespace
