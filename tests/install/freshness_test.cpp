// The freshness rule the engine and the dry run share: what is at the target
// decides new, update or keep; and the plan's counts and bytes.
#include "install/freshness.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "install_test_support.h"

namespace installtest {
namespace {

using install::Freshness;

TEST(Freshness, WhatIsAtTheTargetDecides) {
    Sandbox box;
    const FileTime kitTime = filetime::FromPosixSeconds(kKitSeconds);
    box.write("older", "x");
    SetTime(box.at("older"), kKitSeconds - 1);
    box.write("same", "x");
    SetTime(box.at("same"), kKitSeconds);
    box.write("newer", "x");
    SetTime(box.at("newer"), kKitSeconds + 3600);
    ASSERT_EQ(0, mkfifo(box.at("fifo").c_str(), 0600));
    ASSERT_EQ(0, symlink("nowhere", box.at("dangling").c_str()));
    box.write("unreadable", "x");
    SetTime(box.at("unreadable"), kKitSeconds + 1);
    chmod(box.at("unreadable").c_str(), 0);
    const struct {
        const char* name;
        Freshness expected;
    } cases[] = {
        {"missing", Freshness::kNew},     {"older", Freshness::kUpdate},
        {"same", Freshness::kKeep},       {"newer", Freshness::kKeep},
        {"fifo", Freshness::kUpdate},     {"dangling", Freshness::kUpdate},
        {"unreadable", Freshness::kKeep},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(install::JudgeFile<FileSystem>(u16(box.at(c.name)), kitTime), c.expected) << c.name;
    }
}

TEST(Freshness, SummaryCountsEachKindAndTheBytesWritten) {
    std::vector<install::PlannedFile> plan = {
        {u"a", Freshness::kNew, 10},
        {u"b", Freshness::kUpdate, 200},
        {u"c", Freshness::kKeep, 3000},
        {u"d", Freshness::kNew, 0},
    };
    install::PlanSummary s = install::Summarize(plan);
    EXPECT_EQ(s.newFiles, 2u);
    EXPECT_EQ(s.updatedFiles, 1u);
    EXPECT_EQ(s.keptFiles, 1u);
    EXPECT_EQ(s.bytesToWrite, 210u);
    EXPECT_STREQ(install::FreshnessWord(Freshness::kUpdate), "update");
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
