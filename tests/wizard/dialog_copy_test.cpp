// The copy run: auto-start, cancelling while files are copied (the question,
// the worker's rollback, the cancel page), the close control during copying,
// the launcher list written back in the right modes, and one run per start.
#include <sys/stat.h>
#include <utime.h>

#include <csignal>
#include <thread>

#include "wizard_fixture.h"

namespace wizard_test {
namespace {

using wizard::Command;

class CopyTest : public WizardTest {
  protected:
    CopyTest() {
        MakeKit({{"a.cfg", "new alpha"}, {"sub\\b.cfg", "beta"}, {"docs\\readme.txt", "doc"}});
        // An older copy of the first kit file: the run replaces it, and a
        // rollback must bring it back.
        sandbox.write("target/a.cfg", "old alpha");
        struct utimbuf old = {946684800, 946684800};  // 2000-01-01
        utime(sandbox.at("target/a.cfg").c_str(), &old);
    }

    // Once the window runs: welcome, Next, target/ typed, Next starts the copy.
    void StartCopyOnRun(const std::string& typed = "target/") {
        fake.onMainLoop = [this, typed] {
            fake.Press(Command::kNext);
            fake.Type(sandbox.at(typed));
            fake.Press(Command::kNext);
        };
    }

    // Runs the wizard to the copy into target/; `during` acts on the event
    // pass numbered `pass` while the worker is held after a post.
    void CopyWith(int pass, std::function<void()> during) {
        fake.CloseGate();
        fake.onEventPass = [this, pass, during](int n) {
            if (n == pass) {
                during();
                fake.OpenGate();
            }
        };
        dialog = MakeDialog();
        StartCopyOnRun();
        dialog->Run();
        fake.OpenGate();
    }
    void ExpectTargetUnchanged() {
        EXPECT_EQ(Sandbox::read(sandbox.at("target/a.cfg")), "old alpha");
        EXPECT_FALSE(Sandbox::exists(sandbox.at("target/sub")));
        EXPECT_FALSE(Sandbox::exists(sandbox.at("target/docs")));
    }
    void ExpectCancelPage() {
        EXPECT_EQ(dialog->GetPageState(), 5);
        EXPECT_EQ(fake.PageText(),
                  "Installation canceled. Template directory has not been changed.");
        EXPECT_EQ(fake.ButtonFor(Command::kNext)->text, "Finish");
        EXPECT_TRUE(fake.WindowOpen());
    }

    std::unique_ptr<CInstallerDlg> dialog;
};

TEST_F(CopyTest, CancelDuringCopyingRollsBackAndEndsOnTheCancelPage) {
    CopyWith(1, [this] {
        EXPECT_EQ(dialog->GetPageState(), 3);
        EXPECT_FALSE(fake.Press(Command::kNext));
        EXPECT_FALSE(fake.Press(Command::kBack));
        fake.answers = {wizard::kAnswerYes};
        EXPECT_TRUE(fake.Press(Command::kCancel));
        // Only the question: the window stays while the worker rolls back.
        EXPECT_TRUE(fake.WindowOpen());
        EXPECT_EQ(dialog->GetPageState(), 3);
    });
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].headline(), "Do you really want to cancel installation?");
    EXPECT_EQ(fake.boxes[0].flags, 0x2000002u);
    ExpectCancelPage();
    ExpectTargetUnchanged();
    EXPECT_FALSE(LauncherFileExists(LauncherMode::kPrimary));
    // Finish on the cancel page just closes.
    fake.Press(Command::kNext);
    EXPECT_TRUE(fake.windowDestroyed);
    EXPECT_TRUE(host.openedDocuments.empty());
}

// The question holds the worker before its next step: asked while the last
// kit file is being written, it lets that file reach the disk but not the
// end of the run, so "Yes" still rolls everything back and "No" finishes.
class QuestionAtTheLastFile : public CopyTest, public ::testing::WithParamInterface<int> {};

TEST_P(QuestionAtTheLastFile, HoldsTheRunUntilTheAnswer) {
    const int answer = GetParam();
    fake.HoldAtWakeup(3);  // the progress post of the last of three files
    bool asked = false;
    fake.onEventPass = [this, answer, &asked](int) {
        if (asked || fake.wakeups() < 3) {
            return;
        }
        asked = true;
        fake.duringModal = [this] {
            fake.OpenGate();
            for (int i = 0; i < 2000 && !Sandbox::exists(sandbox.at("target/docs/readme.txt"));
                 ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            ASSERT_TRUE(Sandbox::exists(sandbox.at("target/docs/readme.txt")));
        };
        fake.answers = {answer};
        fake.Press(Command::kCancel);
    };
    dialog = MakeDialog();
    StartCopyOnRun();
    dialog->Run();
    fake.OpenGate();
    ASSERT_TRUE(asked);
    if (answer == wizard::kAnswerYes) {
        ExpectCancelPage();
        ExpectTargetUnchanged();
        EXPECT_FALSE(LauncherFileExists(LauncherMode::kPrimary));
        return;
    }
    EXPECT_EQ(dialog->GetPageState(), 4);
    EXPECT_EQ(Sandbox::read(sandbox.at("target/a.cfg")), "new alpha");
    EXPECT_EQ(Sandbox::read(sandbox.at("target/docs/readme.txt")), "doc");
}

INSTANTIATE_TEST_SUITE_P(YesAndNo, QuestionAtTheLastFile,
                         ::testing::Values(int(wizard::kAnswerYes), int(wizard::kAnswerNo)));

// Files the kit would replace: the question comes first, with the counts of
// the freshness rule below it; No stays on the directory page untouched.
TEST_F(CopyTest, ReplacingFilesIsAskedFirstWithTheCounts) {
    fake.passBoxPrefix.clear();
    sandbox.write("target/docs/readme.txt", "mine");
    struct utimbuf newer = {1893456000, 1893456000};  // 2030-01-01
    utime(sandbox.at("target/docs/readme.txt").c_str(), &newer);
    fake.answers = {wizard::kAnswerNo, wizard::kAnswerYes};
    dialog = MakeDialog();
    fake.onMainLoop = [this] {
        fake.Press(Command::kNext);
        fake.Type(sandbox.at("target/"));
        fake.Press(Command::kNext);
        EXPECT_EQ(dialog->GetPageState(), 2);
        EXPECT_EQ(Sandbox::read(sandbox.at("target/a.cfg")), "old alpha");
        EXPECT_FALSE(Sandbox::exists(sandbox.at("target/sub")));
        fake.Press(Command::kNext);
    };
    dialog->Run();
    ASSERT_EQ(fake.boxes.size(), 2u);
    for (const BoxRecord& box : fake.boxes) {
        EXPECT_EQ(box.headline(), Text("IDS_SETUP_EXISTEDTARGET"));
        EXPECT_EQ(box.detail(),
                  "New files: 1. Files to be replaced: 1. Files kept (newer or the same): 1.");
        EXPECT_EQ(box.flags, 0x2000002u);
    }
    EXPECT_EQ(dialog->GetPageState(), 4);
    EXPECT_EQ(Sandbox::read(sandbox.at("target/a.cfg")), "new alpha");
    EXPECT_EQ(Sandbox::read(sandbox.at("target/docs/readme.txt")), "mine");
}

// Nothing to replace asks nothing; neither does auto-start, whatever it
// replaces.
TEST_F(CopyTest, NoQuestionWithoutFilesToReplaceOrWithAutoStart) {
    fake.passBoxPrefix.clear();
    dialog = MakeDialog();
    fake.onMainLoop = [this] {
        fake.Press(Command::kNext);
        fake.Type(sandbox.at("fresh/"));
        fake.Press(Command::kNext);
    };
    dialog->Run();
    EXPECT_EQ(dialog->GetPageState(), 4);
    EXPECT_TRUE(fake.boxes.empty());

    // The launcher now proposes fresh/; an older a.cfg there is replaced
    // by auto-start without a question.
    FakeToolkit autoStart;
    sandbox.write("fresh/a.cfg", "old alpha");
    struct utimbuf old = {946684800, 946684800};
    utime(sandbox.at("fresh/a.cfg").c_str(), &old);
    auto run = MakeDialogOn(autoStart, /*autoStart=*/true);
    autoStart.passBoxPrefix.clear();
    run->Run();
    EXPECT_EQ(run->GetPageState(), 4);
    EXPECT_TRUE(autoStart.boxes.empty());
    EXPECT_EQ(Sandbox::read(sandbox.at("fresh/a.cfg")), "new alpha");
}

TEST_F(CopyTest, EscapeDuringCopyingActsLikeCancel) {
    CopyWith(1, [this] {
        fake.answers = {wizard::kAnswerYes};
        fake.Escape();
        fake.Escape();  // asked once only
    });
    EXPECT_EQ(fake.boxes.size(), 1u);
    ExpectCancelPage();
    ExpectTargetUnchanged();
}

TEST_F(CopyTest, CancelAnsweredNoLetsTheCopyFinish) {
    CopyWith(1, [this] {
        fake.answers = {wizard::kAnswerNo};
        fake.Press(Command::kCancel);
    });
    EXPECT_EQ(dialog->GetPageState(), 4);
    EXPECT_EQ(Sandbox::read(sandbox.at("target/a.cfg")), "new alpha");
    EXPECT_EQ(Sandbox::read(sandbox.at("target/sub/b.cfg")), "beta");
}

// The error page says that the template directory has not been changed: by
// then the worker's rollback must be over, not merely begun.
TEST_F(CopyTest, FailedCopyIsReportedOnlyAfterItsRollback) {
    // a.cfg is replaced first; sub\b.cfg then fails, as "sub" is a file.
    sandbox.write("target/sub", "in the way");
    // Wake-ups: the progress posts of a.cfg and sub\b.cfg, then the error
    // post, after which the worker is held before its rollback.
    fake.HoldAtWakeup(3);
    fake.onEventPass = [this](int n) {
        if (n == 6) {
            fake.OpenGate();
        }
    };
    std::string atTheBox;
    fake.duringModal = [this, &atTheBox] {
        atTheBox = Sandbox::read(sandbox.at("target/a.cfg"));
        fake.OpenGate();
    };
    dialog = MakeDialog();
    StartCopyOnRun();
    dialog->Run();
    fake.OpenGate();
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].headline(), "Installation error");
    // Below it: the path that failed and the system's reason.
    EXPECT_EQ(fake.boxes[0].detail(), sandbox.at("target/sub") + ": Not a directory");
    EXPECT_EQ(atTheBox, "old alpha");
    EXPECT_EQ(dialog->GetPageState(), 5);
    EXPECT_EQ(fake.PageText(), Text("IDS_ERROR_FINISH"));
    EXPECT_EQ(Sandbox::read(sandbox.at("target/sub")), "in the way");
}

// A cancel confirmed while a failed run rolls back does not turn the failure
// into a cancellation: the user learns that the copy went wrong.
TEST_F(CopyTest, CancelDuringTheRollbackOfAFailureStillReportsTheFailure) {
    sandbox.write("target/sub", "in the way");
    fake.HoldAtWakeup(3);  // after the error post, before the rollback
    bool asked = false;
    fake.onEventPass = [this, &asked](int) {
        if (asked) {
            fake.OpenGate();
            return;
        }
        if (fake.wakeups() >= 3) {
            fake.answers = {wizard::kAnswerYes};
            fake.Escape();
            asked = true;
        }
    };
    dialog = MakeDialog();
    StartCopyOnRun();
    dialog->Run();
    fake.OpenGate();
    ASSERT_TRUE(asked);
    ASSERT_EQ(fake.boxes.size(), 2u);
    EXPECT_EQ(fake.boxes[1].headline(), "Installation error");
    EXPECT_EQ(fake.PageText(), Text("IDS_ERROR_FINISH"));
    EXPECT_EQ(Sandbox::read(sandbox.at("target/a.cfg")), "old alpha");
}

// SIGTERM while the cancel question is open in the window: the box ends
// unanswered, the run is rolled back and the window closes with 128 + 15.
TEST_F(CopyTest, ASignalEndsTheOpenCancelQuestionAndRollsBack) {
    CopyWith(1, [this] {
        fake.duringModal = [] { raise(SIGTERM); };
        fake.answers = {wizard::kAnswerNo};  // never taken
        EXPECT_TRUE(fake.Press(Command::kCancel));
    });
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].answer, wizard::kAnswerNone);
    EXPECT_EQ(dialog->GetExitStatus(), 128 + SIGTERM);
    ExpectTargetUnchanged();
    EXPECT_TRUE(fake.windowDestroyed);
    EXPECT_EQ(fake.interruptFd, -1);
}

TEST_F(CopyTest, CloseControlDuringCopyingAsksAndKeepsTheWindow) {
    CopyWith(1, [this] {
        fake.answers = {wizard::kAnswerNone};
        fake.CloseControl();
        EXPECT_TRUE(fake.WindowOpen());
        fake.answers = {wizard::kAnswerYes};
        fake.CloseControl();
        EXPECT_TRUE(fake.WindowOpen());
    });
    EXPECT_EQ(fake.boxes.size(), 2u);
    ExpectCancelPage();
    ExpectTargetUnchanged();
}

TEST_F(CopyTest, CloseControlDuringTheCancelQuestionAsksNoSecondTime) {
    CopyWith(1, [this] {
        fake.duringModal = [this] { fake.CloseControl(); };
        fake.answers = {wizard::kAnswerYes};
        fake.Press(Command::kCancel);
    });
    EXPECT_EQ(fake.boxes.size(), 1u);
    ExpectCancelPage();
    ExpectTargetUnchanged();
}

TEST_F(CopyTest, PollLoopWaitsForTheWorkerInsteadOfSpinning) {
    // The worker is held for a while after its first post: the event passes
    // must wait for its wake-up rather than run freely.
    fake.CloseGate();
    std::thread opener([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        fake.OpenGate();
    });
    dialog = MakeDialog();
    StartCopyOnRun();
    dialog->Run();
    opener.join();
    EXPECT_EQ(dialog->GetPageState(), 4);
    // The fake's pass waits at most 50 ms: about 6 passes in 300 ms, plus
    // one per post. A spinning loop would make thousands.
    EXPECT_LT(fake.eventPasses, 60);
}

TEST_F(CopyTest, IdleEventPassesLeaveTheProgressControlsAlone) {
    // The worker is held after its first post while the loop makes passes:
    // none of them has anything new to show.
    fake.CloseGate();
    int barUpdatesWhileHeld = -1;
    fake.onEventPass = [this, &barUpdatesWhileHeld](int n) {
        FakeControl* bar = fake.VisibleOf(Kind::kProgressBar);
        ASSERT_NE(bar, nullptr);
        if (n == 2) {
            barUpdatesWhileHeld = bar->updates;
        }
        if (n == 8) {
            EXPECT_EQ(bar->updates, barUpdatesWhileHeld);
            fake.OpenGate();
        }
    };
    dialog = MakeDialog();
    StartCopyOnRun();
    dialog->Run();
    fake.OpenGate();
    EXPECT_EQ(dialog->GetPageState(), 4);
    EXPECT_GE(fake.eventPasses, 8);
}

TEST_F(CopyTest, AutoStartCopiesWithoutTheWizard) {
    dialog = MakeDialog(true);
    std::vector<bool> buttonsVisibleWhileCopying;
    fake.onEventPass = [this, &buttonsVisibleWhileCopying](int) {
        buttonsVisibleWhileCopying.push_back(fake.ButtonFor(Command::kBack)->visible ||
                                             fake.ButtonFor(Command::kNext)->visible);
    };
    // The old file's target directory is the proposal through the launcher.
    WriteLauncher(LauncherMode::kPrimary, {sandbox.at("target")});
    dialog->Run();
    EXPECT_EQ(fake.mainLoopRuns, 0);
    EXPECT_EQ(dialog->GetPageState(), 4);
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_TRUE(host.openedDocuments.empty());
    EXPECT_EQ(Sandbox::read(sandbox.at("target/a.cfg")), "new alpha");
    for (bool visible : buttonsVisibleWhileCopying) {
        EXPECT_FALSE(visible);
    }
    EXPECT_EQ(LauncherList(LauncherMode::kPrimary), std::vector<std::string>{sandbox.at("target")});
}

TEST_F(CopyTest, AutoStartRefusesAnUnusableProposalBeforeAnyWindow) {
    sandbox.write("plainfile", "x");
    // With -S nobody looks at the proposal: it must pass the directory checks
    // as a typed one would, here the default under a home that is a file.
    setenv("HOME", sandbox.at("plainfile").c_str(), 1);
    dialog = MakeDialog(true);
    dialog->Run();
    EXPECT_EQ(fake.mainLoopRuns, 0);
    EXPECT_EQ(fake.window, nullptr);
    EXPECT_EQ(dialog->GetExitStatus(), wizard::kExitStartFailed);
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].flags, 0x1000001u);
    EXPECT_EQ(fake.boxes[0].headline(), Text("IDS_ERROR_NOTWRITABLE"));
}

TEST_F(CopyTest, NoFurtherRunStartsAfterTheFinalPost) {
    dialog = MakeDialog(true);
    WriteLauncher(LauncherMode::kPrimary, {sandbox.at("target")});
    dialog->Run();
    ASSERT_EQ(dialog->GetPageState(), 4);
    ASSERT_EQ(remove(sandbox.at("target/sub/b.cfg").c_str()), 0);
    dialog.reset();  // waits for the worker to end
    EXPECT_FALSE(Sandbox::exists(sandbox.at("target/sub/b.cfg")));
}

class LauncherWriteTest : public CopyTest {
  protected:
    void Install(const std::string& typed = "target/") {
        dialog = MakeDialog();
        StartCopyOnRun(typed);
        dialog->Run();
        ASSERT_EQ(dialog->GetPageState(), 4);
    }
};

TEST_F(LauncherWriteTest, WithNoLauncherFilesOnlyThePrimaryIsWritten) {
    Install();
    EXPECT_EQ(LauncherList(LauncherMode::kPrimary), std::vector<std::string>{sandbox.at("target")});
    EXPECT_FALSE(LauncherFileExists(LauncherMode::kSecondary));
}

TEST_F(LauncherWriteTest, TheDirectoryIsListedWithoutAnyOfItsLastSeparators) {
    Install("target//");
    EXPECT_EQ(LauncherList(LauncherMode::kPrimary), std::vector<std::string>{sandbox.at("target")});
}

TEST_F(LauncherWriteTest, ListFromTheSecondaryFileIsWrittenThereOnly) {
    WriteLauncher(LauncherMode::kSecondary, {sandbox.at("older")});
    Install();
    EXPECT_FALSE(LauncherFileExists(LauncherMode::kPrimary));
    EXPECT_EQ(LauncherList(LauncherMode::kSecondary),
              (std::vector<std::string>{sandbox.at("target"), sandbox.at("older")}));
}

TEST_F(LauncherWriteTest, EmptySecondaryListWritesBothFiles) {
    WriteLauncher(LauncherMode::kSecondary, {});
    Install();
    EXPECT_EQ(LauncherList(LauncherMode::kPrimary), std::vector<std::string>{sandbox.at("target")});
    EXPECT_EQ(LauncherList(LauncherMode::kSecondary),
              std::vector<std::string>{sandbox.at("target")});
}

TEST_F(LauncherWriteTest, PrimaryListIsWrittenToBothWhenTheSecondaryExists) {
    WriteLauncher(LauncherMode::kSecondary, {sandbox.at("second")});
    WriteLauncher(LauncherMode::kPrimary, {sandbox.at("first"), sandbox.at("target")});
    Install();
    std::vector<std::string> expected = {sandbox.at("target"), sandbox.at("first")};
    EXPECT_EQ(LauncherList(LauncherMode::kPrimary), expected);
    // The secondary mode reads the primary file as its extra file.
    std::vector<std::string> secondary = LauncherList(LauncherMode::kSecondary);
    ASSERT_FALSE(secondary.empty());
    EXPECT_EQ(secondary[0], sandbox.at("target"));
}

TEST_F(LauncherWriteTest, UnwritableLauncherFileDoesNotSpoilTheSuccess) {
    // The primary file's directory is a plain file: both write attempts fail.
    sandbox.write("home/.KV/kvlaunch", "in the way");
    Install();
    EXPECT_EQ(dialog->GetPageState(), 4);
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_EQ(Sandbox::read(sandbox.at("target/sub/b.cfg")), "beta");
    // ... but the page says which launcher file the launcher will miss.
    const std::string page = fake.PageText();
    EXPECT_EQ(page.rfind(Text("IDS_SUCCESS_FINISH"), 0), 0u) << page;
    EXPECT_NE(page.find(sandbox.at("home/.KV/kvlaunch/kvlaunch.cfg")), std::string::npos) << page;
    EXPECT_NE(page.find("could not be written"), std::string::npos) << page;
}

TEST_F(LauncherWriteTest, WrittenLauncherFileLeavesTheSuccessTextAlone) {
    Install();
    EXPECT_EQ(fake.PageText(), Text("IDS_SUCCESS_FINISH"));
}

}  // namespace
}  // namespace wizard_test
