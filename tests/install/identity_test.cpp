// What surrounds a run: a directory swapped for a link while the run goes
// on, two kit names that reach one file, and a second run on the same
// template directory. The run and its rollback must never write through a
// directory that is not the one they used, must put back the first backup
// of a file, and must leave a directory another run owns alone.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fault_file_system.h"
#include "fs/file_system.h"
#include "install_test_support.h"

namespace installtest {
namespace {

// The contents of a regular file at `path`, or "" when there is none.
std::string ContentOrEmpty(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? Sandbox::read(path) : "";
}

class LinkSwap : public ::testing::Test {
  protected:
    Sandbox box;
    ScopedTempDir temp{box.at("tmp")};
    Job<FaultFileSystem> job{box};
    std::string tpl = box.at("templates/");

    void SetUp() override { FaultFileSystem::Disarm(); }
    void TearDown() override { FaultFileSystem::Disarm(); }

    void MakeTree() {
        testing_support::remove_tree(box.at("templates"));
        testing_support::remove_tree(box.at("outside"));
        box.write("templates/sub/a.txt", "old a");
        box.write("templates/sub/b.txt", "old b");
        box.write("templates/top.txt", "old top");
        box.write("templates/blocker", "a file where the kit wants a directory");
        for (const char* f : {"sub/a.txt", "sub/b.txt", "top.txt"})
            SetTime(tpl + f, kKitSeconds - 60);
        box.write("outside/a.txt", "someone else's a");
        box.write("outside/b.txt", "someone else's b");
    }

    // Someone with write access renames sub away and puts a link to a
    // directory of their choice in its place.
    static void Swap(void* self) {
        LinkSwap* t = static_cast<LinkSwap*>(self);
        ASSERT_EQ(0, rename((t->tpl + "sub").c_str(), (t->tpl + "sub.moved").c_str()));
        ASSERT_EQ(0, symlink(t->box.at("outside").c_str(), (t->tpl + "sub").c_str()));
        t->swapped = true;
    }
    bool swapped = false;
};

// The swap comes at every disk-changing operation in turn, once the run has
// started using sub (its first file): in the middle of the copying, or of
// the rollback that the last entry's failure starts. Whatever the moment,
// nothing outside is written, and each earlier version is either back in
// the real sub or kept in staging.
TEST_F(LinkSwap, NothingIsWrittenThroughADirectorySwappedForALink) {
    MakeTree();
    ASSERT_TRUE(job.Open({{"sub\\a.txt", "kit a"},
                          {"top.txt", "kit top"},
                          {"sub\\b.txt", "kit b"},
                          {"sub\\new.txt", "kit new"},
                          {"blocker\\x.txt", "fails: blocker is a file"}}));
    FaultFileSystem::Arm(0, 0);
    ASSERT_EQ(2u, job.Run(tpl));
    const int total = FaultFileSystem::Count();
    ASSERT_GT(total, 10);
    EXPECT_EQ("old a", Sandbox::read(tpl + "sub/a.txt"));

    for (int k = 3; k <= total + 1; ++k) {
        SCOPED_TRACE("swap before operation " + std::to_string(k));
        MakeTree();
        const Snapshot outside = TakeSnapshot(box.at("outside"));
        swapped = false;
        FaultFileSystem::Arm(0, 0);
        FaultFileSystem::OnOperation(k, &LinkSwap::Swap, this);
        const uint32_t result = job.Run(tpl);
        FaultFileSystem::Disarm();
        EXPECT_EQ("", Difference(outside, TakeSnapshot(box.at("outside"))));
        EXPECT_EQ("old top", Sandbox::read(tpl + "top.txt"));
        const std::string real = swapped ? tpl + "sub.moved/" : tpl + "sub/";
        for (const char* name : {"a.txt", "b.txt"}) {
            const std::string kept = ContentOrEmpty(job.stagingDir + "sub/" + name);
            const std::string back = ContentOrEmpty(real + name);
            EXPECT_EQ(std::string("old ") + name[0], kept.empty() ? back : kept) << name;
        }
        // The last entry's failure, or the swapped directory found by a
        // later step of the run.
        EXPECT_TRUE(result == 2u || (swapped && result == fserror::kDirectoryReplaced)) << result;
        // Earlier versions left in staging: the outcome names the folder.
        const std::string keptFolder = utf8(job.channel.ReadKeptFolder());
        if (Sandbox::exists(job.stagingDir)) {
            EXPECT_TRUE(swapped);
            EXPECT_EQ(job.stagingDir, keptFolder);
            testing_support::remove_tree(job.stagingDir);
            std::string record = job.stagingDir;
            record.pop_back();
            unlink((record + ".journal").c_str());
        } else {
            EXPECT_EQ("", keptFolder);
        }
    }
}

// Two kit names for one file (a link L5 -> . in the template directory),
// in either order, then a failure: the file's first backup is the one that
// comes back, and the link stays as the user made it.
TEST(Alias, SecondNameOfAFileRestoresTheOriginal) {
    for (bool linkFirst : {false, true}) {
        SCOPED_TRACE(linkFirst ? "L5\\a.txt first" : "a.txt first");
        Sandbox box;
        ScopedTempDir temp(box.at("tmp"));
        Job<FileSystem> job(box);
        const std::string tpl = box.at("templates/");
        box.write("templates/a.txt", "original a");
        SetTime(tpl + "a.txt", kKitSeconds - 60);
        box.write("templates/blocker", "a file");
        ASSERT_EQ(0, symlink(".", (tpl + "L5").c_str()));
        const Snapshot before = TakeSnapshot(tpl);
        // The second name is newer in the kit, so it is not skipped.
        KitFile first{linkFirst ? "L5\\a.txt" : "a.txt", "kit a, first name"};
        KitFile second{linkFirst ? "a.txt" : "L5\\a.txt", "kit a, second name", kKitSeconds + 30};
        ASSERT_TRUE(job.Open({first, second, {"blocker\\x.txt", "fails"}}));
        EXPECT_EQ(2u, job.Run(tpl));
        EXPECT_EQ("", Difference(before, TakeSnapshot(tpl)));
        EXPECT_TRUE(StagingNames(box.at("tmp")).empty());
    }
}

// While one run holds the template directory, a second one is told so in
// the chosen language and changes nothing: no staging directory, no file.
TEST(SecondRun, IsRefusedWhileAnotherHoldsTheTemplateDirectory) {
    Sandbox box;
    ScopedTempDir temp(box.at("tmp"));
    Job<FileSystem> job(box);
    box.write("templates/a.txt", "old");
    SetTime(box.at("templates/a.txt"), kKitSeconds - 60);
    const Snapshot before = TakeSnapshot(box.at("templates"));
    ASSERT_TRUE(job.Open({{"a.txt", "kit"}, {"new\\b.txt", "b"}}));

    FileHandle other = kInvalidFileHandle;
    ASSERT_EQ(0u, FileSystem::OpenDirectory(box.at16("templates"), &other));
    ASSERT_EQ(0u, FileSystem::TryLock(other));
    EXPECT_EQ(fserror::kLockedByOther, job.Run(box.at("templates/")));
    ASSERT_EQ(1u, job.recorder.posts.size());
    EXPECT_EQ(fserror::kLockedByOther, job.recorder.posts[0].code);
    EXPECT_EQ(
        "Another installation into this template directory is running. Try again when it has "
        "finished.",
        job.recorder.posts[0].text);
    EXPECT_EQ("", Difference(before, TakeSnapshot(box.at("templates"))));
    EXPECT_TRUE(StagingNames(box.at("tmp")).empty());

    // Once the other run ends, the directory is free again; the lock goes
    // with the run, whatever its outcome.
    FileSystem::CloseHandle(other);
    EXPECT_EQ(0u, job.Run(box.at("templates/")));
    EXPECT_EQ(0u, job.Run(box.at("templates/")));
    EXPECT_EQ("kit", Sandbox::read(box.at("templates/a.txt")));
}

// A run into a directory and one into a directory nested in it never both
// proceed, whichever comes first.
TEST(SecondRun, IsRefusedInsideOrAroundADirectoryAnotherHolds) {
    Sandbox box;
    ScopedTempDir temp(box.at("tmp"));
    Job<FileSystem> job(box);
    box.mkdirs("templates/sub/deeper");
    box.mkdirs("templates/sibling");
    ASSERT_TRUE(job.Open({{"a.txt", "kit"}}));
    struct Case {
        const char* held;
        const char* run;
        uint32_t result;
    } cases[] = {
        {"templates", "templates/sub/deeper/", fserror::kLockedByOther},
        {"templates/sub", "templates/", fserror::kLockedByOther},
        {"templates/sub/deeper", "templates/", fserror::kLockedByOther},
        {"templates/sub", "templates/sibling/", 0},
    };
    for (const Case& c : cases) {
        FileHandle held = kInvalidFileHandle;
        ASSERT_EQ(0u, FileSystem::OpenDirectory(box.at16(c.held), &held));
        {
            install::TemplateLock<FileSystem> lock;
            ASSERT_EQ(0u, lock.Take(held, box.at16(c.held)));
            EXPECT_EQ(c.result, job.Run(box.at(c.run))) << c.held << " / " << c.run;
            EXPECT_EQ(c.result == 0, Sandbox::exists(box.at(c.run) + "a.txt")) << c.run;
        }
        FileSystem::CloseHandle(held);
        remove((box.at(c.run) + "a.txt").c_str());
    }
    EXPECT_TRUE(StagingNames(box.at("tmp")).empty());
}

}  // namespace
}  // namespace installtest
