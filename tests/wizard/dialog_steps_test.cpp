// The dialog on a step front end (the console's seam): the same checks,
// copy run, rollback and launcher list as the wizard, asked and told in
// turns; the exit statuses and the status events of every ending; and the
// dry run. The windowed wizard's statuses with -S are checked here too.
#include <fcntl.h>
#include <unistd.h>
#include <utime.h>

#include <nlohmann/json.hpp>

#include "fake_steps.h"
#include "wizard_fixture.h"

namespace wizard_test {
namespace {

using wizard::StepOutcome;

// The working directory for one scope: the kit's folder, which no run may
// install into.
class ScopedCwd {
  public:
    explicit ScopedCwd(const std::string& dir) {
        EXPECT_NE(getcwd(old_, sizeof old_), nullptr);
        EXPECT_EQ(chdir(dir.c_str()), 0);
    }
    ~ScopedCwd() { EXPECT_EQ(chdir(old_), 0); }

  private:
    char old_[4096];
};

// The catalogue text of a message, without the detail lines below it.
std::vector<std::string> Headlines(const std::vector<std::string>& messages) {
    std::vector<std::string> out;
    for (const std::string& m : messages) {
        out.push_back(m.substr(0, m.find('\n')));
    }
    return out;
}

class StepsTest : public WizardTest {
  protected:
    StepsTest() : cwd_(sandbox.at("kit")) {
        MakeKit({{"a.cfg", "new alpha"}, {"sub\\b.cfg", "beta"}, {"docs\\readme.txt", "doc"}});
        sandbox.write("target/a.cfg", "old alpha");
        struct utimbuf old = {946684800, 946684800};  // 2000-01-01
        utime(sandbox.at("target/a.cfg").c_str(), &old);
        EXPECT_EQ(0, pipe(events_));
        fcntl(events_[0], F_SETFL, O_NONBLOCK);
    }
    ~StepsTest() override {
        close(events_[0]);
        close(events_[1]);
    }

    // Runs one dialog on `steps`; returns its exit status.
    int RunSteps(bool autoStart = false, const std::string* dir = nullptr, bool dryRun = false) {
        wizard::StatusEvents events(events_[1]);
        CInstallerDlg dialog(steps, host, autoStart, stdx::string8("Installing configuration"),
                             stdx::string16(u"en"), false);
        dialog.SetStatusEvents(&events);
        dialog.SetDryRun(dryRun);
        if (dir != nullptr) {
            dialog.SetTargetDirectory(u16(*dir));
        }
        dialog.Run();
        return dialog.GetExitStatus();
    }
    std::vector<std::string> EventNames() {
        std::string text;
        char buffer[4096];
        ssize_t n;
        while ((n = read(events_[0], buffer, sizeof buffer)) > 0) {
            text.append(buffer, size_t(n));
        }
        std::vector<std::string> names;
        size_t start = 0;
        for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
            lastEvent = nlohmann::json::parse(text.substr(start, end - start));
            names.push_back(lastEvent["event"]);
        }
        return names;
    }
    void ExpectTargetUnchanged() {
        EXPECT_EQ(Sandbox::read(sandbox.at("target/a.cfg")), "old alpha");
        EXPECT_FALSE(Sandbox::exists(sandbox.at("target/sub")));
        EXPECT_FALSE(LauncherFileExists(LauncherMode::kPrimary));
    }

    FakeSteps steps;
    nlohmann::json lastEvent;

  private:
    ScopedCwd cwd_;
    int events_[2] = {-1, -1};
};

TEST_F(StepsTest, WelcomeDirectoryCopyAndOutcomeInTurns) {
    // A refused answer (a file in the directory's place) is asked again.
    sandbox.write("plain", "x");
    steps.directoryAnswers = {sandbox.at("plain"), sandbox.at("target")};
    EXPECT_EQ(RunSteps(), wizard::kExitInstalled);
    ASSERT_EQ(steps.welcomes.size(), 1u);
    EXPECT_EQ(steps.welcomes[0],
              "Welcome to the product installation program Templates (Example Ltd).");
    ASSERT_EQ(steps.proposals.size(), 2u);
    EXPECT_EQ(steps.proposals[0], utf8(DefaultTemplateDirectory()));
    EXPECT_EQ(steps.messages, std::vector<std::string>{Text("IDS_ERROR_NOTWRITABLE")});
    EXPECT_EQ(Sandbox::read(sandbox.at("target/a.cfg")), "new alpha");
    EXPECT_EQ(Sandbox::read(sandbox.at("target/sub/b.cfg")), "beta");
    ASSERT_FALSE(steps.progress.empty());
    EXPECT_EQ(steps.progress.back().first, 100);
    ASSERT_EQ(steps.outcomes.size(), 1u);
    EXPECT_EQ(steps.outcomes[0].first, StepOutcome::kInstalled);
    EXPECT_EQ(steps.outcomes[0].second, Text("IDS_SUCCESS_FINISH"));
    EXPECT_EQ(LauncherList(LauncherMode::kPrimary).front(), sandbox.at("target"));
    std::vector<std::string> names = EventNames();
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names.front(), "start");
    EXPECT_EQ(names[names.size() - 2], "progress");
    EXPECT_EQ(names.back(), "finished");
    EXPECT_EQ(lastEvent["copied"], 3);
}

TEST_F(StepsTest, EndOfInputCancelsAndNoGoesBackToThePrompt) {
    // End of input at the prompt, "No" to the question: asked again; then
    // end of input for good, and the question cannot be answered either.
    steps.directoryAnswers = {std::nullopt, std::nullopt};
    steps.answers = {wizard::kAnswerNo};
    EXPECT_EQ(RunSteps(), wizard::kExitCancelled);
    EXPECT_EQ(steps.proposals.size(), 2u);
    EXPECT_EQ(steps.questions.size(), 2u);
    ASSERT_EQ(steps.outcomes.size(), 1u);
    EXPECT_EQ(steps.outcomes[0].first, StepOutcome::kCancelled);
    ExpectTargetUnchanged();
    EXPECT_TRUE(EventNames().empty());
}

TEST_F(StepsTest, AnInterruptDuringTheCopyCancelsAndRollsBack) {
    // The worker is held after its first post; Ctrl-C arrives, and only
    // then does the worker go on.
    steps.CloseGate();
    steps.onWait = [this](int n) {
        if (n == 1) {
            steps.interrupt = true;
        }
        if (n == 2) {
            steps.OpenGate();
        }
    };
    const std::string dir = sandbox.at("target");
    EXPECT_EQ(RunSteps(true, &dir), wizard::kExitCancelled);
    EXPECT_TRUE(steps.welcomes.empty());
    EXPECT_TRUE(steps.questions.empty());  // an interrupt is a confirmed cancel
    ASSERT_EQ(steps.outcomes.size(), 1u);
    EXPECT_EQ(steps.outcomes[0].first, StepOutcome::kCancelled);
    ExpectTargetUnchanged();
    std::vector<std::string> names = EventNames();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.back(), "cancelled");
}

TEST_F(StepsTest, AFailedCopyIsStatusOneWithTheErrorEvent) {
    // An older directory where the kit has a file: the run fails and rolls back.
    sandbox.mkdirs("target/sub/b.cfg");
    struct utimbuf old = {946684800, 946684800};
    utime(sandbox.at("target/sub/b.cfg").c_str(), &old);
    const std::string dir = sandbox.at("target");
    EXPECT_EQ(RunSteps(true, &dir), wizard::kExitCopyFailed);
    EXPECT_EQ(Headlines(steps.messages), std::vector<std::string>{Text("IDS_INSTALL_ERROR")});
    ASSERT_EQ(steps.outcomes.size(), 1u);
    EXPECT_EQ(steps.outcomes[0].first, StepOutcome::kFailed);
    EXPECT_EQ(Sandbox::read(sandbox.at("target/a.cfg")), "old alpha");
    EXPECT_EQ(EventNames().back(), "error");
    EXPECT_EQ(lastEvent["code"], 87);
}

TEST_F(StepsTest, StartUpRefusalsAreStatusTwo) {
    const struct {
        std::string dir;
        const char* key;
    } cases[] = {
        {"", "IDS_SETUP_EMPTYTARGET"},
        {sandbox.at("kit"), "IDS_ERROR_NOTARGET"},
        {sandbox.at("target/a.cfg/below"), "IDS_ERROR_NOTWRITABLE"},
    };
    for (const auto& c : cases) {
        steps.messages.clear();
        EXPECT_EQ(RunSteps(true, &c.dir), wizard::kExitStartFailed) << c.dir;
        EXPECT_EQ(Headlines(steps.messages), std::vector<std::string>{Text(c.key)}) << c.dir;
    }
    unlink(KitPath().c_str());
    steps.messages.clear();
    EXPECT_EQ(RunSteps(true), wizard::kExitStartFailed);
    EXPECT_EQ(Headlines(steps.messages), std::vector<std::string>{Text("IDS_ERROR_NOSOURCE")});
    ExpectTargetUnchanged();
}

TEST_F(StepsTest, DryRunJudgesEveryFileAndChangesNothing) {
    sandbox.write("target/docs/readme.txt", "newer");
    struct utimbuf future = {1893456000, 1893456000};  // 2030-01-01
    utime(sandbox.at("target/docs/readme.txt").c_str(), &future);
    const std::string dir = sandbox.at("target");
    EXPECT_EQ(RunSteps(false, &dir, true), wizard::kExitInstalled);
    ASSERT_TRUE(steps.plan.has_value());
    ASSERT_EQ(steps.plan->size(), 3u);
    for (const auto& file : *steps.plan) {
        const std::string name = utf8(file.name);
        const char* expected = name == "a.cfg" ? "update" : name == "sub/b.cfg" ? "new" : "keep";
        EXPECT_STREQ(install::FreshnessWord(file.freshness), expected) << name;
    }
    EXPECT_TRUE(steps.welcomes.empty());
    ExpectTargetUnchanged();
    EXPECT_TRUE(EventNames().empty());
}

// The windowed wizard ends with the run's status when started with -S.
TEST_F(StepsTest, WizardStatusesWithAutoStart) {
    auto dialog = MakeDialog(true);
    dialog->SetTargetDirectory(u16(sandbox.at("target")));
    dialog->Run();
    EXPECT_EQ(dialog->GetExitStatus(), wizard::kExitInstalled);

    sandbox.mkdirs("other/sub/b.cfg");
    struct utimbuf old = {946684800, 946684800};
    utime(sandbox.at("other/sub/b.cfg").c_str(), &old);
    FakeToolkit second;
    dialog = MakeDialogOn(second, true);
    dialog->SetTargetDirectory(u16(sandbox.at("other")));
    dialog->Run();
    EXPECT_EQ(dialog->GetExitStatus(), wizard::kExitCopyFailed);

    // A confirmed Cancel before the copy.
    FakeToolkit third;
    third.answers = {wizard::kAnswerYes};
    third.onMainLoop = [&third] { third.Press(wizard::Command::kCancel); };
    dialog = MakeDialogOn(third);
    dialog->Run();
    EXPECT_EQ(dialog->GetExitStatus(), wizard::kExitCancelled);
}

}  // namespace
}  // namespace wizard_test
