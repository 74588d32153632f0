// The proof of the rollback: an installation that replaces files, adds new
// ones, skips newer ones and creates nested directories is made to fail at
// every single disk-changing operation in turn. After each failed run the
// template directory is exactly as before (content, modification times,
// permission bits, no extra entries) and no staging directory is left. Both
// ways of copying file data are proven: in the kernel and, where the kernel
// refuses, through the buffer.
// The same run is also killed at every operation, in a child process that
// dies there without any rollback; the next start's recovery then leaves the
// directory as before, or as installed when the run had finished.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>
#include <tuple>

#include "fault_file_system.h"
#include "install/run_recovery.h"
#include "install_test_support.h"

namespace installtest {
namespace {

class FaultRollback : public ::testing::TestWithParam<std::tuple<uint32_t, CopyPath>> {
  protected:
    Sandbox box;
    ScopedTempDir temp{box.at("tmp")};
    Job<FaultFileSystem> job{box};
    std::string tpl = box.at("templates/");

    void SetUp() override {
        FaultFileSystem::Disarm();
        FaultFileSystem::SetCopyPath(std::get<1>(GetParam()));
        // Every run then takes the same operations, the first one too.
        MakeStatePlace();
        box.write("templates/replaced.txt", "earlier version of replaced");
        SetTime(tpl + "replaced.txt", kKitSeconds - 3600);
        chmod((tpl + "replaced.txt").c_str(), 0640);
        box.write("templates/script.sh", "#!/bin/sh\necho earlier\n");
        SetTime(tpl + "script.sh", kKitSeconds - 1);
        chmod((tpl + "script.sh").c_str(), 0755);
        box.write("templates/sub/newer.txt", "newer than the kit");
        SetTime(tpl + "sub/newer.txt", kKitSeconds + 60);
        box.write("templates/sub/older.txt", "older, longer than the kit's copy of it");
        SetTime(tpl + "sub/older.txt", kKitSeconds - 60);
        chmod((tpl + "sub/older.txt").c_str(), 0600);
        box.write("templates/untouched.txt", "not in the kit");
        SetTime(tpl + "untouched.txt", 1000000000);
        ASSERT_EQ(0, symlink("replaced.txt", (tpl + "alias").c_str()));
        chmod((tpl + "sub").c_str(), 0750);

        std::string big(1536 * 1024, '\0');
        for (size_t i = 0; i < big.size(); ++i) {
            big[i] = char(i * 31 + (i >> 11));
        }
        ASSERT_TRUE(job.Open({{"replaced.txt", "kit copy"},
                              {"added.txt", "new at the top"},
                              {"sub\\newer.txt", "kit's older copy"},
                              {"sub\\older.txt", "kit"},
                              {"sub\\added.txt", "new in an existing directory"},
                              {"new\\nested\\deep\\file.txt", "three new levels"},
                              {"new\\nested\\second.txt", "in a directory made before"},
                              {"new\\big.bin", big},
                              {"script.sh", "#!/bin/sh\necho kit\n"},
                              {"sub\\more\\last.txt", "last"}}));
    }
    void TearDown() override { FaultFileSystem::SetCopyPath(CopyPath::kKernel); }
};

TEST_P(FaultRollback, EveryFailurePointLeavesTheTemplateDirectoryAsItWas) {
    const uint32_t code = std::get<0>(GetParam());
    AgeDirectories(tpl);
    const Snapshot before = TakeSnapshot(tpl);
    const auto times = DirectoryTimes(tpl);
    ASSERT_FALSE(before.empty());

    // An undisturbed run on a copy of the tree: what success looks like, and
    // how many disk-changing operations it takes.
    FaultFileSystem::Arm(0, code);
    const std::string copy = box.at("copy/");
    ASSERT_EQ(0, system(("cp -a '" + tpl + "' '" + copy + "'").c_str()));
    ASSERT_EQ(0u, job.Run(copy));
    const int total = FaultFileSystem::Count();
    ASSERT_GT(total, 20);
    const Snapshot installed = TakeSnapshot(copy);

    // Fail operation k = 1, 2, ... until a run gets through. Every run before
    // that one must fail and leave no trace.
    int k = 1;
    for (;; ++k) {
        ASSERT_LE(k, total) << "no run succeeded although the last one has no fault left";
        FaultFileSystem::Arm(k, code);
        const uint32_t result = job.Run(tpl);
        ASSERT_TRUE(FaultFileSystem::Injected()) << "k=" << k;
        FaultFileSystem::Disarm();
        if (result == 0) {
            break;
        }
        EXPECT_EQ(code, result) << "k=" << k;
        ASSERT_EQ("", Difference(before, TakeSnapshot(tpl))) << "k=" << k;
        ASSERT_EQ(times, DirectoryTimes(tpl)) << "k=" << k;
        ASSERT_TRUE(StagingNames(box.at("tmp")).empty()) << "k=" << k;
        const Post& last = job.recorder.posts.back();
        EXPECT_EQ(result, last.code) << "k=" << k;
        EXPECT_EQ("Installation error", last.text) << "k=" << k;
    }
    // Only the staging clean-up after the last file may fail without failing
    // the run, and the templates are complete by then.
    EXPECT_GT(k, 20);
    EXPECT_EQ("", Difference(installed, TakeSnapshot(tpl))) << "k=" << k;
    EXPECT_EQ("kit", Sandbox::read(tpl + "sub/older.txt"));
}

// Runs the job in a child process that dies at operation k. The child's
// exit status: kDeathStatus when it died, 0 or 1 when the run returned.
int RunAndDieAt(Job<FaultFileSystem>& job, const std::string& tpl, int k) {
    fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        FaultFileSystem::ArmDeath(k);
        _exit(job.Run(tpl) == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_P(FaultRollback, EveryDeathPointIsUndoneAtTheNextStart) {
    AgeDirectories(tpl);
    const Snapshot before = TakeSnapshot(tpl);
    const auto times = DirectoryTimes(tpl);
    FaultFileSystem::Arm(0, 0);
    const std::string copy = box.at("copy/");
    ASSERT_EQ(0, system(("cp -a '" + tpl + "' '" + copy + "'").c_str()));
    ASSERT_EQ(0u, job.Run(copy));
    const int total = FaultFileSystem::Count();
    const Snapshot installed = TakeSnapshot(copy);
    const std::string pristine = box.at("pristine/");
    ASSERT_EQ(0,
              system(("rm -rf '" + copy + "' && cp -a '" + tpl + "' '" + pristine + "'").c_str()));

    int undone = 0;
    int finished = 0;
    for (int k = 1; k <= total + 1; ++k) {
        const int status = RunAndDieAt(job, tpl, k);
        FaultFileSystem::Disarm();
        ASSERT_TRUE(status == FaultFileSystem::kDeathStatus || k > total) << "k=" << k;
        install::RunRecovery<FaultFileSystem> recovery;
        const std::vector<install::RecoveredRun> runs = recovery.RecoverAll();
        ASSERT_LE(runs.size(), 1u) << "k=" << k;
        const bool committed =
            k > total || (!runs.empty() && runs[0].outcome == install::RecoveryOutcome::kFinished);
        if (!runs.empty()) {
            EXPECT_NE(install::RecoveryOutcome::kIncomplete, runs[0].outcome) << "k=" << k;
            EXPECT_NE(install::RecoveryOutcome::kUnreadable, runs[0].outcome) << "k=" << k;
            // Empty for a run that died before its record was complete.
            if (!runs[0].templateDir.empty()) {
                EXPECT_EQ(utf8(runs[0].templateDir), tpl) << "k=" << k;
            }
        }
        ASSERT_TRUE(StagingNames(box.at("tmp")).empty()) << "k=" << k;
        if (committed) {
            ++finished;
            ASSERT_EQ("", Difference(installed, TakeSnapshot(tpl))) << "k=" << k;
            // Back to the earlier state for the next k.
            ASSERT_EQ(
                0,
                system(("rm -rf '" + tpl + "' && cp -a '" + pristine + "' '" + tpl + "'").c_str()));
            ASSERT_EQ("", Difference(before, TakeSnapshot(tpl))) << "k=" << k;
            continue;
        }
        ++undone;
        ASSERT_EQ("", Difference(before, TakeSnapshot(tpl))) << "k=" << k;
        ASSERT_EQ(times, DirectoryTimes(tpl)) << "k=" << k;
    }
    EXPECT_GT(undone, 20);
    EXPECT_GE(finished, 2);
}

INSTANTIATE_TEST_SUITE_P(CodesAndCopyPaths, FaultRollback,
                         ::testing::Combine(::testing::Values(2u, 87u),
                                            ::testing::Values(CopyPath::kKernel,
                                                              CopyPath::kBuffer)),
                         [](const ::testing::TestParamInfo<FaultRollback::ParamType>& info) {
                             return "code" + std::to_string(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) == CopyPath::kKernel ? "_kernel"
                                                                                  : "_buffer");
                         });

TEST(FaultStaging, StagingDirectoryThatCannotBeMadeFailsWithProgressZero) {
    Sandbox box;
    ScopedTempDir temp(box.at("tmp"));
    Job<FaultFileSystem> job(box);
    box.mkdirs("templates");
    // The place ready, so that the first operation is the record's creation.
    MakeStatePlace();
    ASSERT_TRUE(job.Open({{"a.txt", "a"}}));
    FaultFileSystem::Arm(1, 87);
    EXPECT_EQ(87u, job.Run(box.at("templates/")));
    FaultFileSystem::Disarm();
    ASSERT_EQ(1u, job.recorder.posts.size());
    EXPECT_EQ(87u, job.recorder.posts[0].code);
    EXPECT_EQ(0, job.recorder.posts[0].progress);
    EXPECT_TRUE(ListDir(box.at("templates")).empty());
}

// The temporary directory is shared: when the run had to make it, the
// rollback still leaves it, and what others put there, alone.
TEST(FaultStaging, RollbackKeepsATemporaryDirectoryTheRunMade) {
    Sandbox box;
    Job<FaultFileSystem> job(box);
    FaultFileSystem::Disarm();
    box.write("templates/blocker", "a file");
    ASSERT_TRUE(job.Open({{"a.txt", "a"}, {"blocker\\b.txt", "b"}}));
    struct TempPathReset {
        ~TempPathReset() { FaultFileSystem::SetTempPath(u""); }
    } reset;
    FaultFileSystem::SetTempPath(u16(box.at("newtmp/inner/")));
    job.recorder.onPostContext = &box;
    job.recorder.onPost = [](void* context, const Post& post) {
        if (post.progress == 0 && post.code == 0) {
            static_cast<Sandbox*>(context)->write("newtmp/inner/other.txt", "another program's");
        }
    };
    EXPECT_EQ(2u, job.Run(box.at("templates/")));
    EXPECT_EQ("another program's", Sandbox::read(box.at("newtmp/inner/other.txt")));
    EXPECT_TRUE(StagingNames(box.at("newtmp/inner")).empty());
    EXPECT_FALSE(Sandbox::exists(box.at("templates/a.txt")));
}

}  // namespace
}  // namespace installtest
