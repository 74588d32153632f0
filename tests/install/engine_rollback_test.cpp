// Installation runs that fail or are cancelled: the error post, and a
// template directory left exactly as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fs/file_system.h"
#include "install_test_support.h"

namespace installtest {
namespace {

class EngineRollback : public ::testing::Test {
  protected:
    Sandbox box;
    ScopedTempDir temp{box.at("tmp")};
    Job<FileSystem> job{box};
    std::string tpl = box.at("templates/");

    void ExpectUnchanged(const Snapshot& before) {
        EXPECT_EQ("", Difference(before, TakeSnapshot(tpl)));
        EXPECT_TRUE(StagingNames(box.at("tmp")).empty());
    }
};

TEST_F(EngineRollback, ThirdOfEightFailingRestoresTheReplacedFiles) {
    box.write("templates/f0.txt", "old 0");
    box.write("templates/f1.txt", "old 1");
    // A hard link stays one: the earlier version moves by rename, both ways.
    ASSERT_EQ(0, link((tpl + "f0.txt").c_str(), (tpl + "f0-link.txt").c_str()));
    SetTime(tpl + "f0.txt", kKitSeconds - 5);
    SetTime(tpl + "f1.txt", kKitSeconds - 5);
    chmod((tpl + "f1.txt").c_str(), 0604);
    // The third file's directory part names a plain file.
    box.write("templates/blocker", "not a directory");
    AgeDirectories(tpl);
    const Snapshot before = TakeSnapshot(tpl);
    const auto times = DirectoryTimes(tpl);
    std::vector<KitFile> files = {
        {"f0.txt", "new 0"}, {"f1.txt", "new 1"}, {"blocker\\f2.txt", "2"}};
    for (int i = 3; i < 8; ++i) {
        files.push_back({"more\\f" + std::to_string(i) + ".txt", "x"});
    }
    ASSERT_TRUE(job.Open(files));
    // When the third file's progress is posted, the first two are replaced.
    struct Seen {
        std::string tpl, f0, f1;
    } seen{tpl, "", ""};
    job.recorder.onPostContext = &seen;
    job.recorder.onPost = [](void* context, const Post& post) {
        Seen* s = static_cast<Seen*>(context);
        if (post.code == 0 && post.progress == 25) {
            s->f0 = Sandbox::read(s->tpl + "f0.txt");
            s->f1 = Sandbox::read(s->tpl + "f1.txt");
        }
    };
    EXPECT_EQ(2u, job.Run(tpl));
    EXPECT_EQ("new 0", seen.f0);
    EXPECT_EQ("new 1", seen.f1);
    const Post& last = job.recorder.posts.back();
    EXPECT_EQ(2u, last.code);
    EXPECT_EQ("Installation error", last.text);
    EXPECT_EQ(25, last.progress);
    EXPECT_EQ(4u, job.recorder.posts.size());
    ExpectUnchanged(before);
    EXPECT_EQ(times, DirectoryTimes(tpl));
    EXPECT_EQ(Inode(tpl + "f0.txt"), Inode(tpl + "f0-link.txt"));
}

TEST_F(EngineRollback, NewFilesAndEveryCreatedDirectoryGo) {
    box.write("templates/keep.txt", "keep");
    box.mkdirs("templates/existing");
    const Snapshot before = TakeSnapshot(tpl);
    ASSERT_TRUE(job.Open({{"existing\\new.txt", "n"},
                          {"made\\deeper\\still\\n.txt", "n"},
                          {"keep.txt\\impossible.txt", "x"}}));
    EXPECT_EQ(2u, job.Run(tpl));
    ExpectUnchanged(before);
}

TEST_F(EngineRollback, MissingTemplateDirectoryGoesWithAllItsParents) {
    const std::string deep = box.at("a/b/templates/");
    // The second file's directory part is the first file.
    ASSERT_TRUE(job.Open({{"x\\y.txt", "Y"}, {"x\\y.txt\\z.txt", "Z"}}));
    EXPECT_NE(0u, job.Run(deep));
    EXPECT_FALSE(Sandbox::exists(box.at("a")));
    EXPECT_TRUE(StagingNames(box.at("tmp")).empty());
}

TEST_F(EngineRollback, CancelDuringTheLastFileRollsEverythingBack) {
    box.write("templates/a.txt", "old a");
    SetTime(tpl + "a.txt", kKitSeconds - 5);
    const Snapshot before = TakeSnapshot(tpl);
    ASSERT_TRUE(job.Open({{"a.txt", "new a"}, {"sub\\b.txt", "b"}, {"c.txt", "c"}}));
    job.recorder.onPostContext = &job.channel;
    job.recorder.onPost = [](void* channel, const Post& post) {
        if (post.progress == 66) {
            static_cast<InstallProcessData*>(channel)->RequestCancel(true);
        }
    };
    EXPECT_EQ(1223u, job.Run(tpl));
    // No error and no finish post: the last post is the last file's progress.
    ASSERT_EQ(3u, job.recorder.posts.size());
    EXPECT_EQ(0u, job.recorder.posts.back().code);
    EXPECT_EQ(66, job.recorder.posts.back().progress);
    ExpectUnchanged(before);
}

TEST_F(EngineRollback, UnsafeNameFailsBeforeTouchingTheDisk) {
    box.mkdirs("templates");
    ASSERT_TRUE(job.Open({{"a.txt", "a"}, {"b.txt", "b"}}));
    job.kit.files[1].name = u"..\\escaped.txt";
    const Snapshot before = TakeSnapshot(tpl);
    EXPECT_EQ(13u, job.Run(tpl));
    EXPECT_FALSE(Sandbox::exists(box.at("escaped.txt")));
    EXPECT_EQ(50, job.recorder.posts.back().progress);
    ExpectUnchanged(before);
}

// Older or newer, a directory where the kit has a file means the kit's file
// was not installed: the same failure either way, never a silent success.
TEST_F(EngineRollback, DirectoryWhereTheKitHasAFileIsKept) {
    box.write("templates/docs/inner.txt", "inner");
    ASSERT_TRUE(job.Open({{"first.txt", "1"}, {"docs", "a file"}}));
    for (int64_t offset : {-100, 0, 100}) {
        SetTime(tpl + "docs", kKitSeconds + offset);
        const Snapshot before = TakeSnapshot(tpl);
        EXPECT_EQ(87u, job.Run(tpl)) << offset;
        EXPECT_EQ(87u, job.recorder.posts.back().code) << offset;
        ExpectUnchanged(before);
    }
}

TEST_F(EngineRollback, EmptyTemplateDirectoryIsRefused) {
    ASSERT_TRUE(job.Open({{"a.txt", "a"}}));
    EXPECT_EQ(3u, job.Run(""));
    ASSERT_EQ(1u, job.recorder.posts.size());
    EXPECT_EQ(0, job.recorder.posts[0].progress);
    EXPECT_TRUE(StagingNames(box.at("tmp")).empty());
}

// A link inside a tree that is removed or restored is handled as an entry of
// its own: what it points to is never touched.
TEST_F(EngineRollback, LinksAreNeverFollowedByRemovalOrRestore) {
    box.write("outside/precious.txt", "precious");
    box.mkdirs("templates");
    ASSERT_EQ(0, symlink(box.at("outside").c_str(), (tpl + "link").c_str()));
    // The kit replaces the link with a file (the link's target dir is old).
    SetTime(box.at("outside"), kKitSeconds - 100);
    const Snapshot before = TakeSnapshot(tpl);
    // The second file's directory part is the file that replaced the link.
    ASSERT_TRUE(job.Open({{"link", "file now"}, {"link\\below.txt", "x"}}));
    EXPECT_NE(0u, job.Run(tpl));
    ExpectUnchanged(before);
    EXPECT_EQ("precious", Sandbox::read(box.at("outside/precious.txt")));

    // The same replacement succeeding: the staging tree holding the link is
    // removed without following it.
    job.kit.files.pop_back();
    EXPECT_EQ(0u, job.Run(tpl));
    EXPECT_EQ("file now", Sandbox::read(tpl + "link"));
    EXPECT_EQ("precious", Sandbox::read(box.at("outside/precious.txt")));
    EXPECT_TRUE(StagingNames(box.at("tmp")).empty());
}

TEST_F(EngineRollback, RemoveTreeDeletesLinksNotTheirTargets) {
    box.write("outside/precious.txt", "precious");
    box.write("tree/sub/f.txt", "f");
    ASSERT_EQ(0, symlink(box.at("outside").c_str(), box.at("tree/sub/dirlink").c_str()));
    ASSERT_EQ(0, symlink(box.at("outside/precious.txt").c_str(), box.at("tree/filelink").c_str()));
    Job<FileSystem>::Engine engine;
    EXPECT_EQ(0u, engine.RemoveTree(u16(box.at("tree"))));
    EXPECT_FALSE(Sandbox::exists(box.at("tree")));
    EXPECT_EQ("precious", Sandbox::read(box.at("outside/precious.txt")));
}

// A name listed twice: the second copy replaces the run's own first copy.
// Neither may survive the rollback, and the earlier version of a name that
// existed before must come back, however the kit spells the name.
TEST_F(EngineRollback, NameListedTwiceLeavesNothingAndKeepsTheEarlierVersion) {
    box.write("templates/old.txt", "earlier version");
    SetTime(tpl + "old.txt", kKitSeconds - 100);
    chmod((tpl + "old.txt").c_str(), 0640);
    box.write("templates/blocker", "a file");
    const Snapshot before = TakeSnapshot(tpl);
    ASSERT_TRUE(job.Open({{"dup.txt", "first"},
                          {"dup.txt", "second", kKitSeconds + 10},
                          {"old.txt", "kit 1"},
                          {".\\old.txt", "kit 2", kKitSeconds + 10},
                          {"blocker\\x.txt", "x"}}));
    EXPECT_EQ(2u, job.Run(tpl));
    ExpectUnchanged(before);
    EXPECT_EQ("earlier version", Sandbox::read(tpl + "old.txt"));
}

// Opening a FIFO (or a link to one) for the freshness test would block the
// worker for ever: such entries are moved aside unopened, and come back on
// a rollback.
TEST_F(EngineRollback, SpecialFilesAtTargetPathsAreMovedAsideUnopened) {
    box.mkdirs("templates");
    ASSERT_EQ(0, mkfifo((tpl + "pipe").c_str(), 0600));
    ASSERT_EQ(0, mkfifo(box.at("outside-pipe").c_str(), 0600));
    ASSERT_EQ(0, symlink(box.at("outside-pipe").c_str(), (tpl + "pipelink").c_str()));
    box.write("templates/blocker", "a file");
    const Snapshot before = TakeSnapshot(tpl);
    ASSERT_TRUE(job.Open({{"pipe", "p"}, {"pipelink", "l"}, {"blocker\\x.txt", "x"}}));
    alarm(30);  // a blocked open ends the test program instead of hanging it
    EXPECT_EQ(2u, job.Run(tpl));
    ExpectUnchanged(before);
    EXPECT_TRUE(S_ISFIFO(Mode(tpl + "pipe")));

    job.kit.files.pop_back();
    EXPECT_EQ(0u, job.Run(tpl));
    alarm(0);
    EXPECT_EQ("p", Sandbox::read(tpl + "pipe"));
    EXPECT_EQ("l", Sandbox::read(tpl + "pipelink"));
    EXPECT_TRUE(S_ISFIFO(Mode(box.at("outside-pipe"))));
}

}  // namespace
}  // namespace installtest
