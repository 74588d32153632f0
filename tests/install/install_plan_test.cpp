// The install plan the engine, the dry run and the summary question share:
// what is at the target decides new, update, keep or blocked; the plan's
// counts and bytes.
#include "install/install_plan.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "install_test_support.h"

namespace installtest {
namespace {

using install::Blocker;
using install::Verdict;

// Parts that each fit a name, together longer than any path.
std::string LongPath() {
    std::string path;
    for (int i = 0; i <= PATH_MAX / 200; ++i) {
        path += "/" + std::string(200, 'p');
    }
    return path + "/";
}

TEST(InstallPlan, WhatIsAtTheTargetDecides) {
    Sandbox box;
    const FileTime kitTime = filetime::FromPosixSeconds(kKitSeconds);
    box.write("t/older", "x");
    SetTime(box.at("t/older"), kKitSeconds - 1);
    box.write("t/same", "x");
    SetTime(box.at("t/same"), kKitSeconds);
    box.write("t/newer", "x");
    SetTime(box.at("t/newer"), kKitSeconds + 3600);
    ASSERT_EQ(0, mkfifo(box.at("t/fifo").c_str(), 0600));
    ASSERT_EQ(0, symlink("nowhere", box.at("t/dangling").c_str()));
    box.write("t/unreadable", "x");
    SetTime(box.at("t/unreadable"), kKitSeconds + 1);
    chmod(box.at("t/unreadable").c_str(), 0);
    box.mkdirs("t/dir");
    SetTime(box.at("t/dir"), kKitSeconds - 1);
    box.write("t/file", "a file where a directory must be");
    box.mkdirs("t/sub");
    const std::string longName(NAME_MAX + 1, 'n');
    const struct {
        std::string name;
        Verdict verdict;
        Blocker blocker;
    } cases[] = {
        {"missing", Verdict::kNew, Blocker::kNone},
        {"older", Verdict::kUpdate, Blocker::kNone},
        {"same", Verdict::kKeep, Blocker::kNone},
        {"newer", Verdict::kKeep, Blocker::kNone},
        {"fifo", Verdict::kUpdate, Blocker::kNone},
        {"dangling", Verdict::kUpdate, Blocker::kNone},
        {"unreadable", Verdict::kKeep, Blocker::kNone},
        {"dir", Verdict::kBlocked, Blocker::kDirectoryInTheWay},
        {"file\\below", Verdict::kBlocked, Blocker::kFileInTheWay},
        {"sub\\missing\\deeper", Verdict::kNew, Blocker::kNone},
        {"..\\outside", Verdict::kBlocked, Blocker::kUnsafeName},
        {"", Verdict::kBlocked, Blocker::kUnsafeName},
        {"sub\\" + longName, Verdict::kBlocked, Blocker::kNameTooLong},
    };
    install::Planner<FileSystem> planner(u16(box.at("t")));
    for (const auto& c : cases) {
        const install::PlannedFile planned = planner.Plan(u16(c.name), kitTime, 7);
        EXPECT_EQ(planned.verdict, c.verdict) << c.name;
        EXPECT_EQ(planned.blocker, c.blocker) << c.name;
    }
    // Parts that each fit a name, under a directory that makes the whole
    // too long for any path.
    EXPECT_EQ(install::CheckName(u16(LongPath()), u"a.cfg"), Blocker::kPathTooLong);
}

TEST(InstallPlan, SummaryCountsEachVerdictAndTheBytesWritten) {
    std::vector<install::PlannedFile> plan = {
        {u"a", Verdict::kNew, Blocker::kNone, 10},
        {u"b", Verdict::kUpdate, Blocker::kNone, 200},
        {u"c", Verdict::kKeep, Blocker::kNone, 3000},
        {u"d", Verdict::kBlocked, Blocker::kDirectoryInTheWay, 40000},
        {u"e", Verdict::kNew, Blocker::kNone, 0},
    };
    install::PlanSummary s = install::Summarize(plan);
    EXPECT_EQ(s.newFiles, 2u);
    EXPECT_EQ(s.updatedFiles, 1u);
    EXPECT_EQ(s.keptFiles, 1u);
    EXPECT_EQ(s.blockedFiles, 1u);
    EXPECT_EQ(s.bytesToWrite, 210u);
    EXPECT_EQ(install::FirstBlocked(plan), &plan[3]);
    EXPECT_STREQ(install::VerdictWord(Verdict::kBlocked), "blocked");
}

// The engine tells the dialog how many files it wrote and kept, which file
// each progress post is about, and when its rollback could not put
// everything back.
TEST(RunReport, CountsAndFileIndexesOfAFinishedRun) {
    Sandbox box;
    ScopedTempDir temp(box.at("tmp"));
    Job<FileSystem> job(box);
    box.write("templates/kept.txt", "newer");
    SetTime(box.at("templates/kept.txt"), kKitSeconds + 60);
    ASSERT_TRUE(job.Open({{"a.txt", "a"}, {"kept.txt", "k"}, {"b.txt", "b"}}));
    ASSERT_EQ(0u, job.Run(box.at("templates/")));
    uint64_t copied = 0;
    uint64_t kept = 0;
    job.channel.ReadCounts(copied, kept);
    EXPECT_EQ(copied, 2u);
    EXPECT_EQ(kept, 1u);
    EXPECT_FALSE(job.channel.ReadRollbackIncomplete());
}

TEST(RunReport, ARestoreThatFailsIsReported) {
    Sandbox box;
    ScopedTempDir temp(box.at("tmp"));
    Job<FileSystem> job(box);
    box.write("templates/sub/older.txt", "earlier version");
    SetTime(box.at("templates/sub/older.txt"), kKitSeconds - 60);
    box.mkdirs("templates/zblocker");
    SetTime(box.at("templates/zblocker"), kKitSeconds - 60);
    ASSERT_TRUE(job.Open({{"sub\\older.txt", "kit"}, {"zblocker", "a file where a folder is"}}));
    // At the error post, before the rollback: the replaced file's folder is
    // taken away and a file stands in its place, so the earlier version
    // cannot be moved back.
    job.recorder.onPostContext = &box;
    job.recorder.onPost = [](void* context, const Post& post) {
        if (post.code != 0) {
            Sandbox* b = static_cast<Sandbox*>(context);
            rename(b->at("templates/sub").c_str(), b->at("moved-away").c_str());
            b->write("templates/sub", "in the way");
        }
    };
    EXPECT_NE(0u, job.Run(box.at("templates/")));
    EXPECT_TRUE(job.channel.ReadRollbackIncomplete());
    // The earlier version is still kept in the staging directory.
    EXPECT_EQ(Sandbox::read(job.stagingDir + "sub/older.txt"), "earlier version");
}

}  // namespace
}  // namespace installtest
