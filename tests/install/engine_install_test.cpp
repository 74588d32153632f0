// Installation runs that succeed: posts, the freshness test, staging names,
// missing template directories.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "fault_file_system.h"
#include "fs/file_system.h"
#include "install_test_support.h"

namespace installtest {
namespace {

class EngineInstall : public ::testing::Test {
  protected:
    Sandbox box;
    ScopedTempDir temp{box.at("tmp")};
    Job<FileSystem> job{box};
    std::string tpl = box.at("templates/");
};

TEST_F(EngineInstall, EmptyKitPostsOnlyTheFinishAndLeavesNoStaging) {
    box.mkdirs("templates");
    ASSERT_TRUE(job.Open({}));
    EXPECT_EQ(0u, job.Run(tpl));
    ASSERT_EQ(1u, job.recorder.posts.size());
    EXPECT_EQ(0u, job.recorder.posts[0].code);
    EXPECT_EQ("Copying complete...", job.recorder.posts[0].text);
    EXPECT_EQ(100, job.recorder.posts[0].progress);
    EXPECT_EQ(StatePlace() + "/kvtmp0/", job.stagingDir);
    EXPECT_TRUE(StagingNames(box.at("tmp")).empty());
}

TEST_F(EngineInstall, PostsEveryFileWithItsProgressThenTheFinish) {
    box.mkdirs("templates");
    ASSERT_TRUE(job.Open({{"a.txt", "A"}, {"sub\\b.txt", "B"}, {"sub\\deep\\c.txt", "C"}}));
    EXPECT_EQ(0u, job.Run(tpl));
    const auto& posts = job.recorder.posts;
    ASSERT_EQ(4u, posts.size());
    EXPECT_EQ(tpl + "a.txt", posts[0].text);
    EXPECT_EQ(0, posts[0].progress);
    EXPECT_EQ(tpl + "sub/b.txt", posts[1].text);
    EXPECT_EQ(33, posts[1].progress);
    EXPECT_EQ(tpl + "sub/deep/c.txt", posts[2].text);
    EXPECT_EQ(66, posts[2].progress);
    EXPECT_EQ(100, posts[3].progress);
    EXPECT_EQ("C", Sandbox::read(tpl + "sub/deep/c.txt"));
    EXPECT_EQ(kKitSeconds, MTime(tpl + "sub/deep/c.txt"));
    EXPECT_TRUE(StagingNames(box.at("tmp")).empty());
}

TEST_F(EngineInstall, FreshnessDecidesWhatIsReplaced) {
    box.write("templates/equal.txt", "disk equal");
    SetTime(tpl + "equal.txt", kKitSeconds);
    box.write("templates/newer.txt", "disk newer");
    SetTime(tpl + "newer.txt", kKitSeconds + 1);
    box.write("templates/older.txt", "disk older, and longer than the kit's copy");
    SetTime(tpl + "older.txt", kKitSeconds - 1);
    ASSERT_TRUE(job.Open({{"equal.txt", "kit"}, {"newer.txt", "kit"}, {"older.txt", "kit"}}));
    const ino_t equalInode = Inode(tpl + "equal.txt");
    const ino_t newerInode = Inode(tpl + "newer.txt");
    EXPECT_EQ(0u, job.Run(tpl));
    // Skipped files are neither moved nor rewritten.
    EXPECT_EQ(equalInode, Inode(tpl + "equal.txt"));
    EXPECT_EQ(newerInode, Inode(tpl + "newer.txt"));
    EXPECT_EQ(kKitSeconds, MTime(tpl + "equal.txt"));
    EXPECT_EQ("disk equal", Sandbox::read(tpl + "equal.txt"));
    EXPECT_EQ("disk newer", Sandbox::read(tpl + "newer.txt"));
    EXPECT_EQ(kKitSeconds + 1, MTime(tpl + "newer.txt"));
    EXPECT_EQ("kit", Sandbox::read(tpl + "older.txt"));
    EXPECT_EQ(kKitSeconds, MTime(tpl + "older.txt"));
    // Skipped files still get their progress post.
    EXPECT_EQ(4u, job.recorder.posts.size());
    EXPECT_TRUE(StagingNames(box.at("tmp")).empty());
}

// Counts the opens of paths under the template directory for reading only:
// the freshness test needs the entry's time, not an open file.
struct ReadOpenCounter : FileSystem {
    static inline std::string templateDir;
    static inline int readOpens = 0;
    static std::uint32_t CreateFile(const stdx::string16& path, std::uint32_t access,
                                    std::uint32_t share, int disposition, Handle* handle,
                                    std::uint32_t flags) {
        if (access == fsflag::kGenericRead && utf8(path).rfind(templateDir, 0) == 0) {
            ++readOpens;
        }
        return FileSystem::CreateFile(path, access, share, disposition, handle, flags);
    }
};

// A replaced file keeps the permission bits of the version it replaces; a new
// file gets the usual mode.
TEST_F(EngineInstall, ReplacedFilesKeepTheirPermissionBits) {
    const struct {
        const char* name;
        mode_t mode;
    } replaced[] = {{"run.sh", 0755}, {"private.cfg", 0600}, {"shared.cfg", 0664}};
    for (const auto& r : replaced) {
        box.write(std::string("templates/") + r.name, "old");
        ASSERT_EQ(0, chmod((tpl + r.name).c_str(), r.mode));
        SetTime(tpl + r.name, kKitSeconds - 10);
    }
    ASSERT_TRUE(job.Open(
        {{"run.sh", "new"}, {"private.cfg", "new"}, {"shared.cfg", "new"}, {"fresh.cfg", "new"}}));
    const mode_t oldMask = umask(022);
    EXPECT_EQ(0u, job.Run(tpl));
    umask(oldMask);
    for (const auto& r : replaced) {
        EXPECT_EQ("new", Sandbox::read(tpl + r.name)) << r.name;
        EXPECT_EQ(unsigned(r.mode), Mode(tpl + r.name) & 07777) << r.name;
    }
    EXPECT_EQ(0640u, Mode(tpl + "fresh.cfg") & 07777);
}

TEST_F(EngineInstall, FreshnessTestOpensNothing) {
    box.write("templates/equal.txt", "disk");
    SetTime(tpl + "equal.txt", kKitSeconds);
    box.write("templates/older.txt", "disk");
    SetTime(tpl + "older.txt", kKitSeconds - 1);
    Job<ReadOpenCounter> counted{box};
    ASSERT_TRUE(counted.Open({{"equal.txt", "kit"}, {"older.txt", "kit"}}));
    ReadOpenCounter::templateDir = tpl;
    ReadOpenCounter::readOpens = 0;
    EXPECT_EQ(0u, counted.Run(tpl));
    EXPECT_EQ(0, ReadOpenCounter::readOpens);
    EXPECT_EQ("disk", Sandbox::read(tpl + "equal.txt"));
    EXPECT_EQ("kit", Sandbox::read(tpl + "older.txt"));
}

// A newer file the user cannot read is still newer: replacing it with the
// kit's older copy would lose it when the staging directory goes.
TEST_F(EngineInstall, UnreadableNewerFileIsKept) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "the superuser opens any file";
    }
    box.write("templates/newer.txt", "disk newer");
    SetTime(tpl + "newer.txt", kKitSeconds + 1);
    ASSERT_EQ(0, chmod((tpl + "newer.txt").c_str(), 0200));
    ASSERT_TRUE(job.Open({{"newer.txt", "kit"}}));
    EXPECT_EQ(0u, job.Run(tpl));
    ASSERT_EQ(0, chmod((tpl + "newer.txt").c_str(), 0600));
    EXPECT_EQ("disk newer", Sandbox::read(tpl + "newer.txt"));
    EXPECT_EQ(kKitSeconds + 1, MTime(tpl + "newer.txt"));
}

TEST_F(EngineInstall, SubSecondKitTimeReinstallsOnEveryRun) {
    box.mkdirs("templates");
    ASSERT_TRUE(job.Open({{"f.txt", "kit", kKitSeconds, 5000000}}));
    EXPECT_EQ(0u, job.Run(tpl));
    EXPECT_EQ(kKitSeconds, MTime(tpl + "f.txt"));
    // Same second on disk, different bytes: only a rewrite brings "kit" back.
    box.write("templates/f.txt", "changed");
    SetTime(tpl + "f.txt", kKitSeconds);
    EXPECT_EQ(0u, job.Run(tpl));
    EXPECT_EQ("kit", Sandbox::read(tpl + "f.txt"));
}

// Names in the shared temporary directory (another user's squatting) block
// nothing; names taken in the private place (a folder kept by an earlier
// recovery) are passed over; the staging folder is private.
TEST_F(EngineInstall, TakenStagingNamesAreLeftAloneAndTheNewOneIsPrivate) {
    for (int n = 0; n < 3; ++n) {
        box.mkdirs("tmp/kvtmp" + std::to_string(n));
    }
    box.write("tmp/kvtmp0.journal", "someone else's");
    ASSERT_EQ(0, symlink(box.at("elsewhere").c_str(),
                         box.at("tmp/kelda-setup-" + std::to_string(geteuid())).c_str()));
    const std::string place = StatePlace() + "/";
    MakeStatePlace();
    box.write("state/kelda-setup/kvtmp0/kept.txt", "kept by a recovery");
    box.write("state/kelda-setup/kvtmp1", "a plain file");
    box.write("templates/old.txt", "old");
    SetTime(tpl + "old.txt", kKitSeconds - 10);
    ASSERT_TRUE(job.Open({{"old.txt", "new"}}));
    struct Seen {
        std::string staging;
        mode_t mode = 0;
    } seen;
    seen.staging = place + "kvtmp2/";
    job.recorder.onPostContext = &seen;
    job.recorder.onPost = [](void* context, const Post& post) {
        Seen* s = static_cast<Seen*>(context);
        if (post.progress == 100) {
            return;
        }
        s->mode = Mode(s->staging);
    };
    EXPECT_EQ(0u, job.Run(tpl));
    EXPECT_EQ(place + "kvtmp2/", job.stagingDir);
    EXPECT_TRUE(S_ISDIR(seen.mode));
    EXPECT_EQ(0700u, seen.mode & 07777);
    EXPECT_EQ("kept by a recovery", Sandbox::read(place + "kvtmp0/kept.txt"));
    EXPECT_EQ("a plain file", Sandbox::read(place + "kvtmp1"));
    EXPECT_EQ("someone else's", Sandbox::read(box.at("tmp/kvtmp0.journal")));
    EXPECT_FALSE(Sandbox::exists(box.at("elsewhere")));
    EXPECT_FALSE(Sandbox::exists(place + "kvtmp2"));
    EXPECT_EQ("new", Sandbox::read(tpl + "old.txt"));
}

// Without a state directory the place is in the temporary directory; a name
// there that another user holds (a link, a folder open to others) never
// blocks the run.
TEST_F(EngineInstall, ASquattedTemporaryPlaceNeverBlocksARun) {
    ScopedVariable noState("XDG_STATE_HOME", "relative");
    ScopedVariable noHome("HOME", "relative");
    const std::string squatted = box.at("tmp/kelda-setup-" + std::to_string(geteuid()));
    for (int open = 0; open < 2; ++open) {
        testing_support::remove_tree(squatted);
        if (open == 0) {
            ASSERT_EQ(0, symlink(box.at("elsewhere").c_str(), squatted.c_str()));
        } else {
            box.mkdirs("tmp/kelda-setup-" + std::to_string(geteuid()));
            ASSERT_EQ(0, chmod(squatted.c_str(), 0777));
        }
        box.mkdirs("templates");
        ASSERT_TRUE(job.Open({{"f.txt", "F"}}));
        EXPECT_EQ(0u, job.Run(tpl));
        EXPECT_EQ("F", Sandbox::read(tpl + "f.txt"));
        EXPECT_EQ(0u, job.stagingDir.rfind(squatted + "-", 0)) << job.stagingDir;
        EXPECT_FALSE(Sandbox::exists(box.at("elsewhere")));
        remove((tpl + "f.txt").c_str());
    }
}

TEST_F(EngineInstall, MissingTemplateDirectoryIsCreatedWithItsParents) {
    const std::string deep = box.at("a/b/templates/");
    ASSERT_TRUE(job.Open({{"x\\y.txt", "Y"}}));
    EXPECT_EQ(0u, job.Run(deep));
    EXPECT_EQ("Y", Sandbox::read(deep + "x/y.txt"));
}

// The free staging name may be the parent of a template directory that is
// yet to be made; staging there would delete the installed templates.
TEST_F(EngineInstall, StagingNameAboveTheTemplateDirectoryIsPassedOver) {
    MakeStatePlace();
    const std::string inside = StatePlace() + "/kvtmp0/templates/";
    ASSERT_TRUE(job.Open({{"f.txt", "F"}}));
    EXPECT_EQ(0u, job.Run(inside));
    EXPECT_EQ(StatePlace() + "/kvtmp1/", job.stagingDir);
    EXPECT_EQ("F", Sandbox::read(inside + "f.txt"));
    EXPECT_FALSE(Sandbox::exists(StatePlace() + "/kvtmp1"));
}

TEST_F(EngineInstall, TemplateDirectoryWithoutTrailingSlashIsCompleted) {
    box.mkdirs("templates");
    ASSERT_TRUE(job.Open({{"f.txt", "F"}}));
    EXPECT_EQ(0u, job.Run(box.at("templates")));
    EXPECT_EQ("F", Sandbox::read(tpl + "f.txt"));
}

TEST_F(EngineInstall, LargeFilesAreCopiedExactly) {
    box.mkdirs("templates");
    std::string big(3 * 1024 * 1024 + 17, '\0');
    for (size_t i = 0; i < big.size(); ++i) {
        big[i] = char((i * 7919) >> 5);
    }
    box.write("templates/big.bin", std::string(5 * 1024 * 1024, 'x'));
    SetTime(tpl + "big.bin", kKitSeconds - 100);
    ASSERT_TRUE(job.Open({{"big.bin", big}, {"empty.txt", ""}}));
    EXPECT_EQ(0u, job.Run(tpl));
    EXPECT_EQ(big, Sandbox::read(tpl + "big.bin"));
    EXPECT_EQ("", Sandbox::read(tpl + "empty.txt"));
    EXPECT_EQ(kKitSeconds, MTime(tpl + "empty.txt"));
}

// "a\a\...\f.txt", `levels` directories deep.
std::string DeepName(int levels) {
    std::string name;
    for (int i = 0; i < levels; ++i) name += "a\\";
    return name + "f.txt";
}

// A legal path of 1,900 one-letter levels: one mkdir per level (nothing
// recurses, nothing re-creates a level), and a cancel between two levels of
// the same file stops the run there and takes back what it made.
TEST(EngineDepth, DeepPathCostsOneDirectoryPerLevelAndCancelsBetweenLevels) {
    // In memory when there is such a file system: ext4 alone takes a good
    // second for 1,900 directories on a busy machine, and as long again to
    // remove them.
    ScopedTempDir memory(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    Sandbox box;
    ScopedTempDir temp(box.at("tmp"));
    Job<FaultFileSystem> job(box);
    const std::string tpl = box.at("t/");
    const int levels = 1900;
    ASSERT_LT(tpl.size() + 2 * levels + 5, size_t(PATH_MAX));
    ASSERT_TRUE(job.Open({{"first.txt", "1"}, {DeepName(levels), "deep"}}));

    FaultFileSystem::Arm(0, 0);
    ASSERT_EQ(0u, job.Run(tpl));
    std::string deep = tpl;
    for (int i = 0; i < levels; ++i) deep += "a/";
    EXPECT_EQ("deep", Sandbox::read(deep + "f.txt"));
    // One operation per level of the template directory's path and two per
    // new level (its record and its mkdir); per new file: create, write, set
    // end, set time; the temporary directory, the staging directory and its
    // removal; the run's record.
    const int templateLevels = int(std::count(tpl.begin(), tpl.end(), '/'));
    EXPECT_LE(FaultFileSystem::Count(), templateLevels + 2 * levels + 2 * 4 + 3 + 8);

    box.mkdirs("t2");
    const Snapshot before = TakeSnapshot(box.at("t2"));
    job.recorder.onPostContext = &job.channel;
    job.recorder.onPost = [](void* channel, const Post& post) {
        if (post.progress == 50 && post.code == 0) {
            static_cast<InstallProcessData*>(channel)->RequestCancel(true);
        }
    };
    FaultFileSystem::Arm(0, 0);
    EXPECT_EQ(1223u, job.Run(box.at("t2/")));
    EXPECT_LT(FaultFileSystem::Count(), 20);
    EXPECT_EQ("", Difference(before, TakeSnapshot(box.at("t2"))));
    EXPECT_TRUE(StagingNames(box.at("tmp")).empty());
}

}  // namespace
}  // namespace installtest
