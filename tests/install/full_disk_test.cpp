// A template directory on a real, small file system that fills up during
// the run: the kit replaces keep.txt and adds a file larger than the whole
// file system, while the staging directory lies on another file system. The
// rollback must free the space before it moves keep.txt back, and the
// directory ends as it was. Needs root for the mount; skipped otherwise.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include "install_test_support.h"

namespace installtest {
namespace {

class SmallFileSystem {
  public:
    explicit SmallFileSystem(const std::string& dir) : dir_(dir) {
        mkdir(dir.c_str(), 0755);
        mounted_ = mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=2m") == 0;
    }
    ~SmallFileSystem() {
        if (mounted_) {
            umount2(dir_.c_str(), MNT_DETACH);
        }
    }
    bool mounted() const { return mounted_; }

  private:
    std::string dir_;
    bool mounted_ = false;
};

TEST(FullDisk, FailedAddLeavesTheEarlierFileInPlaceAndReportsTheError) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    }
    Sandbox box;
    ScopedTempDir temp(box.at("tmp"));
    SmallFileSystem small(box.at("small"));
    if (!small.mounted()) {
        GTEST_SKIP() << "tmpfs could not be mounted here";
    }
    const std::string tpl = box.at("small/templates/");
    box.write("small/templates/keep.txt", "the user's own version");
    SetTime(tpl + "keep.txt", kKitSeconds - 3600);
    const Snapshot before = TakeSnapshot(tpl);

    Job<FileSystem> job(box);
    ASSERT_TRUE(job.Open(
        {{"keep.txt", "the kit's version"}, {"big.bin", std::string(3 * 1024 * 1024, 'x')}}));
    const uint32_t result = job.Run(tpl);
    EXPECT_NE(0u, result);
    EXPECT_EQ("", Difference(before, TakeSnapshot(tpl)));
    EXPECT_EQ("the user's own version", Sandbox::read(tpl + "keep.txt"));
    EXPECT_TRUE(StagingNames(box.at("tmp")).empty());
    EXPECT_TRUE(job.channel.ReadKeptFolder().empty());
}

}  // namespace
}  // namespace installtest
