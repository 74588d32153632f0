// The start-up checks of the installer dialog with real kits, launcher files
// and directories: the three error boxes in their order, the kit's location
// and the proposed template directory.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "wizard_fixture.h"

namespace wizard_test {
namespace {

// Files this process writes stop growing at `bytes` for one scope, as on a
// temporary file system that is nearly full: the write past the limit fails
// (the signal it would raise is ignored). Works for root too.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return ok_; }

  private:
    rlimit saved_{};
    void (*oldHandler_)(int) = SIG_DFL;
    bool ok_ = false;
};

class StartupTest : public WizardTest {
  protected:
    // Runs the dialog; the scripted user closes the window at once.
    void RunAndClose(CInstallerDlg& dialog) {
        fake.onMainLoop = [this] {
            fake.answers.push_back(wizard::kAnswerYes);
            fake.Escape();
        };
        dialog.Run();
    }
    // Checks only, as the dialog makes them before any window.
    std::string Proposal() {
        auto dialog = MakeDialog();
        EXPECT_TRUE(dialog->CheckStart());
        return utf8(dialog->GetTargetDir());
    }
    void ExpectOnlyErrorBox(const char* key) {
        ASSERT_EQ(fake.boxes.size(), 1u);
        EXPECT_EQ(fake.boxes[0].headline(), Text(key));
        EXPECT_EQ(fake.boxes[0].flags, 0x1000001u);
        EXPECT_EQ(fake.boxes[0].title, "Installing configuration");
        EXPECT_EQ(fake.window, nullptr) << "no window after a failed check";
        EXPECT_EQ(fake.mainLoopRuns, 0);
    }
    // A kit file of `size` bytes that takes no disk space.
    void MakeSparseKit(off_t size) {
        int fd = open(KitPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, size), 0);
        close(fd);
    }
};

TEST_F(StartupTest, MissingKitIsTheFirstError) {
    auto dialog = MakeDialog();
    dialog->Run();
    ExpectOnlyErrorBox("IDS_ERROR_NOSOURCE");
    // The box says where the kit was looked for.
    EXPECT_EQ(fake.boxes[0].detail(), KitPath());
}

TEST_F(StartupTest, UnknownExecutablePathMeansNoKit) {
    MakeSmallKit();
    host.executablePath.clear();
    auto dialog = MakeDialog();
    dialog->Run();
    ExpectOnlyErrorBox("IDS_ERROR_NOSOURCE");
}

TEST_F(StartupTest, DirectoryInThePlaceOfTheKitIsNoKit) {
    sandbox.mkdirs("kit/kelda.efd/inside");
    auto dialog = MakeDialog();
    dialog->Run();
    ExpectOnlyErrorBox("IDS_ERROR_NOSOURCE");
}

// Neither a full Temp nor a hang: a FIFO yields no kit bytes.
TEST_F(StartupTest, FifoInThePlaceOfTheKitIsADamagedKit) {
    ASSERT_EQ(mkfifo(KitPath().c_str(), 0600), 0);
    auto dialog = MakeDialog();
    dialog->Run();
    ExpectOnlyErrorBox("IDS_ERROR_DAMAGEDSOURCE");
}

TEST_F(StartupTest, DamagedKitIsReportedAfterTheSpaceTest) {
    sandbox.write("kit/kelda.efd", "this is not a deflate stream of a kit");
    auto dialog = MakeDialog();
    dialog->Run();
    ExpectOnlyErrorBox("IDS_ERROR_DAMAGEDSOURCE");
}

TEST_F(StartupTest, KitTooLargeForTheTemporaryDirectoryComesBeforeDamage) {
    // Far beyond a third of any disk here, and not a kit either: the space
    // test must speak first. Its size also does not fit in 32 bits.
    MakeSparseKit(off_t(1) << 43);
    auto dialog = MakeDialog();
    dialog->Run();
    ExpectOnlyErrorBox("IDS_ERROR_NOSPACE");
    // The real temporary directory, and three times 8 TiB in megabytes.
    const std::string detail = fake.boxes[0].detail();
    EXPECT_EQ(
        detail.rfind("Temporary directory " + sandbox.at("tmp") + "/: 25165824 MB needed, ", 0), 0u)
        << detail;
}

TEST_F(StartupTest, KitOfOverFourGigabytesIsMeasuredInFull) {
    // 4 GiB + 10 bytes: its low 32 bits (10) would pass any space test;
    // the whole size has to be compared. It is not a valid kit either.
    MakeSparseKit((off_t(1) << 32) + 10);
    auto dialog = MakeDialog();
    dialog->Run();
    ASSERT_EQ(fake.boxes.size(), 1u);
    std::string expected = Text("IDS_ERROR_DAMAGEDSOURCE");
    // On a disk with less than 12 GiB free the space test speaks instead.
    if (fake.boxes[0].headline() != expected) {
        EXPECT_EQ(fake.boxes[0].headline(), Text("IDS_ERROR_NOSPACE"));
    }
}

// A small kit whose image does not fit in the temporary directory passes the
// space test on the kit's size; the image's write then fails. That is the
// temporary directory's fault, not the kit's.
TEST_F(StartupTest, ImageThatDoesNotFitIsReportedAsMissingSpaceNotAsDamage) {
    MakeKit({{"big.cfg", std::string(1 << 20, 'x')}});
    {
        FileSizeLimit limit(64 * 1024);
        ASSERT_TRUE(limit.ok());
        auto dialog = MakeDialog();
        dialog->Run();
    }
    ExpectOnlyErrorBox("IDS_ERROR_NOSPACE");
    // The partial image is gone again.
    EXPECT_EQ(system(("test -z \"$(ls -A " + sandbox.at("tmp") + ")\"").c_str()), 0);
}

TEST_F(StartupTest, EmptyKitFilePassesTheSpaceTest) {
    sandbox.write("kit/kelda.efd", "");
    auto dialog = MakeDialog();
    dialog->Run();
    ExpectOnlyErrorBox("IDS_ERROR_DAMAGEDSOURCE");
}

TEST_F(StartupTest, GoodKitOpensTheWelcomePage) {
    MakeSmallKit();
    auto dialog = MakeDialog();
    RunAndClose(*dialog);
    EXPECT_EQ(utf8(dialog->GetKitPath()), KitPath());
    ASSERT_NE(fake.window, nullptr);
    EXPECT_EQ(fake.window->rect.width, 500);
    EXPECT_EQ(fake.window->rect.height, 360);
    EXPECT_EQ(fake.window->text, "Installing configuration");
    EXPECT_EQ(fake.mainLoopRuns, 1);
    EXPECT_EQ(fake.initializeCalls, 1);
    EXPECT_TRUE(fake.windowDestroyed);
}

TEST_F(StartupTest, UseCwdLooksInTheWorkingDirectory) {
    MakeSmallKit();
    host.executablePath = "/nonexistent/setup";
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(sandbox.at("kit").c_str()), 0);
    auto dialog = MakeDialog(false, true);
    bool ok = dialog->CheckStart();
    std::string kit = utf8(dialog->GetKitPath());
    ASSERT_EQ(chdir(old), 0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(kit, KitPath());
}

TEST_F(StartupTest, NoLauncherFilesProposesTheDefaultDirectory) {
    MakeSmallKit();
    EXPECT_EQ(Proposal(), sandbox.at("home/.kelda/KV/kelda/tmplts/"));
}

TEST_F(StartupTest, FirstWritableListedDirectoryIsProposed) {
    MakeSmallKit();
    sandbox.write("plainfile", "x");
    sandbox.mkdirs("good");
    sandbox.mkdirs("also");
    WriteLauncher(LauncherMode::kPrimary, {sandbox.at("missing/dir"), sandbox.at("plainfile"),
                                           sandbox.at("good"), sandbox.at("also")});
    EXPECT_EQ(Proposal(), sandbox.at("good"));
    // The probe leaves nothing behind.
    EXPECT_EQ(system(("test -z \"$(ls -A " + sandbox.at("good") + ")\"").c_str()), 0);
}

TEST_F(StartupTest, AllUnusableEntriesGiveTheDefaultDirectory) {
    MakeSmallKit();
    WriteLauncher(LauncherMode::kPrimary, {sandbox.at("missing"), sandbox.at("gone/too")});
    std::string proposal = Proposal();
    EXPECT_EQ(proposal, sandbox.at("home/.kelda/KV/kelda/tmplts/"));
}

TEST_F(StartupTest, UrlLikeProposalBecomesEmptyNotTheDefault) {
    MakeSmallKit();
    // A real directory whose path holds "https://".
    sandbox.mkdirs("https:/x");
    WriteLauncher(LauncherMode::kPrimary, {sandbox.at("https://x")});
    EXPECT_EQ(Proposal(), "");
}

TEST_F(StartupTest, FileSchemeIsCutFromTheProposal) {
    MakeSmallKit();
    // "file:///abs" is the relative directory "file:" followed by "/abs".
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    sandbox.mkdirs("file:/t");
    ASSERT_EQ(chdir(sandbox.path().c_str()), 0);
    WriteLauncher(LauncherMode::kPrimary, {"file:///t"});
    std::string proposal = Proposal();
    ASSERT_EQ(chdir(old), 0);
    EXPECT_EQ(proposal, "/t");
}

TEST_F(StartupTest, SecondaryListIsUsedWhenThePrimaryFileIsMissing) {
    MakeSmallKit();
    sandbox.mkdirs("second");
    WriteLauncher(LauncherMode::kSecondary, {sandbox.at("second")});
    EXPECT_EQ(Proposal(), sandbox.at("second"));
}

TEST_F(StartupTest, PrimaryFileWinsOverTheSecondary) {
    MakeSmallKit();
    sandbox.mkdirs("first");
    sandbox.mkdirs("second");
    WriteLauncher(LauncherMode::kSecondary, {sandbox.at("second")});
    WriteLauncher(LauncherMode::kPrimary, {sandbox.at("first")});
    EXPECT_EQ(Proposal(), sandbox.at("first"));
}

}  // namespace
}  // namespace wizard_test
