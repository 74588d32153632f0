// The start-up routine, the message-box base and a worker that cannot be
// created.
#include <pthread.h>

#include "wizard/program.h"
#include "wizard_fixture.h"

namespace wizard_test {
namespace {

using wizard::Command;

// The fake toolkit as the program's windowed front end.
class FakeFrontEnd final : public wizard::WindowedFrontEnd {
  public:
    explicit FakeFrontEnd(FakeToolkit& toolkit) : toolkit_(toolkit) {}
    bool Open(int*, char***, const wizard::FrontEndRequest& request, std::string& reason) override {
        ++opens;
        seen = request;
        reason = refusal;
        return refusal.empty();
    }
    int Run(const std::function<int(wizard::Toolkit&)>& wizard) override {
        return wizard(toolkit_);
    }

    std::string refusal;  // empty: the display opens
    int opens = 0;
    wizard::FrontEndRequest seen;

  private:
    FakeToolkit& toolkit_;
};

class ProgramTest : public WizardTest {
  protected:
    int RunProgram(std::vector<std::string> args) {
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        return wizard::RunProgram(static_cast<int>(args.size()), argv.data(), &frontEnd, host);
    }

    FakeFrontEnd frontEnd{fake};
};

// --ui forces one front end: the request reaches the windowed one, and one
// that cannot start ends the program with status 2 and the reason, before
// anything is shown or changed.
TEST_F(ProgramTest, ForcedFrontEndThatCannotStartIsAStartUpFailure) {
    MakeSmallKit();
    frontEnd.refusal = "GTK 3: libgtk-3.so.0: cannot open shared object file";
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunProgram({"setup", "--ui", "gtk3", "--verbose", "-S", "-Len", "--dir",
                          sandbox.at("target")}),
              2);
    const std::string error = testing::internal::GetCapturedStderr();
    EXPECT_NE(error.find("the gtk3 front end cannot start: GTK 3: libgtk-3.so.0: cannot open"),
              std::string::npos)
        << error;
    EXPECT_EQ(frontEnd.seen.ui, wizard::UiChoice::kGtk3);
    EXPECT_TRUE(frontEnd.seen.verbose);
    EXPECT_EQ(fake.window, nullptr);
    EXPECT_FALSE(Sandbox::exists(sandbox.at("target")));

    // Forced and started: the wizard runs as without --ui.
    frontEnd.refusal.clear();
    EXPECT_EQ(RunProgram({"setup", "--ui=gtk2", "-S", "-Len", "--dir", sandbox.at("target")}), 0);
    EXPECT_EQ(frontEnd.seen.ui, wizard::UiChoice::kGtk2);
    EXPECT_FALSE(frontEnd.seen.verbose);
    EXPECT_EQ(Sandbox::read(sandbox.at("target/a.cfg")), "alpha");
}

TEST_F(ProgramTest, StartOptionRunsTheCopyAtOnceAndEndsWithZero) {
    MakeSmallKit();
    WriteLauncher(LauncherMode::kPrimary, {sandbox.at("target")});
    sandbox.mkdirs("target");
    // The S option comes first: the scan stops at the language option.
    EXPECT_EQ(RunProgram({"setup", "/s", "-Len"}), 0);
    EXPECT_EQ(fake.mainLoopRuns, 0);
    ASSERT_NE(fake.window, nullptr);
    EXPECT_EQ(fake.window->text, "Installing configuration");
    EXPECT_EQ(fake.PageText(), "Configuration installed successfully.");
    EXPECT_EQ(Sandbox::read(sandbox.at("target/a.cfg")), "alpha");
}

TEST_F(ProgramTest, WithoutTheStartOptionTheWizardWaitsForTheUser) {
    MakeSmallKit();
    fake.onMainLoop = [this] {
        EXPECT_EQ(fake.PageText(), Text("IDS_WELCOME_TITLE") + " Templates (Example Ltd).");
        fake.CloseControl();
    };
    EXPECT_EQ(RunProgram({"setup", "-Len"}), 0);
    EXPECT_EQ(fake.mainLoopRuns, 1);
    EXPECT_TRUE(fake.windowDestroyed);
}

TEST_F(ProgramTest, UseCwdFindsTheKitInTheWorkingDirectory) {
    MakeSmallKit();
    host.executablePath = "/nowhere/setup";
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(sandbox.at("kit").c_str()), 0);
    fake.onMainLoop = [this] { fake.CloseControl(); };
    RunProgram({"setup", "usecwd", "-Len"});
    ASSERT_EQ(chdir(old), 0);
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_EQ(fake.mainLoopRuns, 1);
}

TEST_F(ProgramTest, StartUpErrorBoxIsTitledWithTheWindowTitle) {
    EXPECT_EQ(RunProgram({"setup", "-Len"}), 0);
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].title, "Installing configuration");
    EXPECT_EQ(fake.boxes[0].headline(), "Distribution kit file kelda.efd not found.");
}

TEST_F(ProgramTest, TextsAreConvertedInTheUsersLocale) {
    if (!ScopedLocaleEnv::Installed("ru_RU.UTF-8")) {
        GTEST_SKIP() << "ru_RU.UTF-8 is not installed";
    }
    // Earlier conversions ran in the C locale, which has no Cyrillic; the
    // user's locale is only in the environment until the program selects it.
    ScopedLocaleEnv env("C");
    stdx::select_environment_locale();
    setenv("LANG", "ru_RU.UTF-8", 1);
    EXPECT_EQ(RunProgram({"setup"}), 0);
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].title, "Установка конфигурации");
    EXPECT_EQ(fake.boxes[0].headline(), "Файл дистрибутива kelda.efd не найден.");
}

TEST_F(ProgramTest, ChosenLanguageShowsEvenInTheCLocale) {
    // The toolkit takes UTF-8 whatever the locale: a "C" locale must not blank
    // out a Russian dialog chosen with -L.
    ScopedLocaleEnv env("C");
    stdx::select_environment_locale();
    EXPECT_EQ(RunProgram({"setup", "-Lru"}), 0);
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].title, "Установка конфигурации");
    EXPECT_EQ(fake.boxes[0].headline(), "Файл дистрибутива kelda.efd не найден.");
}

TEST(WindowedSteps, MessageBoxIsTitledAndKnowsItsAnswersOnly) {
    FakeToolkit fake;
    int argc = 0;
    char** argv = nullptr;
    wizard::WindowedSteps window(fake, &argc, &argv);
    window.Start(nullptr, "Title");
    fake.answers = {wizard::kAnswerYes, 7, -1, wizard::kAnswerOk};
    EXPECT_EQ(window.MessageBox("q", 0x2000002u), 1);
    EXPECT_EQ(window.MessageBox("q", 0x2000002u), 0);
    EXPECT_EQ(window.MessageBox("q", 0x2000002u), 0);
    EXPECT_EQ(window.MessageBox("plain", 0u), 3);
    ASSERT_EQ(fake.boxes.size(), 4u);
    EXPECT_EQ(fake.boxes[0].title, "Title");
    EXPECT_EQ(fake.boxes[3].headline(), "plain");
    EXPECT_EQ(fake.boxes[3].flags, 0u);
}

TEST(MessageBoxFlags, KindAndButtonsAreReadFromTheirBytes) {
    EXPECT_EQ(wizard::MessageBoxKind(0x1000001u), wizard::kMessageBoxKindError);
    EXPECT_EQ(wizard::MessageBoxKind(0x2000002u), wizard::kMessageBoxKindQuestion);
    EXPECT_EQ(wizard::MessageBoxKind(1u), 0u);
    EXPECT_TRUE(wizard::MessageBoxHasYesNo(0x2000002u));
    EXPECT_TRUE(wizard::MessageBoxHasYesNo(0x0000002u));
    EXPECT_FALSE(wizard::MessageBoxHasYesNo(0x1000001u));
    EXPECT_FALSE(wizard::MessageBoxHasYesNo(0x2000003u));
    EXPECT_FALSE(wizard::MessageBoxHasYesNo(0x2000000u));
    // Bits 8-23 belong to neither field: the buttons are the low byte alone.
    EXPECT_TRUE(wizard::MessageBoxHasYesNo(0x2000102u));
    EXPECT_EQ(wizard::MessageBoxKind(0x1FF0001u), wizard::kMessageBoxKindError);
}

// Threads get a default stack far larger than the machine can map, so the
// worker cannot be created; restored afterwards.
class NoThreads {
  public:
    NoThreads() {
        pthread_getattr_default_np(&saved_);
        pthread_attr_t huge;
        pthread_attr_init(&huge);
        pthread_attr_setstacksize(&huge, size_t(1) << 46);
        ok_ = pthread_setattr_default_np(&huge) == 0;
        pthread_attr_destroy(&huge);
    }
    ~NoThreads() {
        pthread_setattr_default_np(&saved_);
        pthread_attr_destroy(&saved_);
    }
    bool ok() const { return ok_; }

  private:
    pthread_attr_t saved_;
    bool ok_ = false;
};

TEST_F(WizardTest, WorkerThatCannotBeCreatedShowsTheErrorBoxAndPage) {
    MakeSmallKit();
    auto dialog = MakeDialog();
    fake.onMainLoop = [this, &dialog] {
        fake.Press(Command::kNext);
        fake.Type(sandbox.at("target/"));
        NoThreads noThreads;
        if (!noThreads.ok()) {
            return;
        }
        fake.Press(Command::kNext);
        EXPECT_EQ(dialog->GetPageState(), 5);
    };
    dialog->Run();
    if (dialog->GetPageState() == 2) {
        GTEST_SKIP() << "thread defaults cannot be changed here";
    }
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].headline(), "Installation error");
    EXPECT_EQ(fake.boxes[0].flags, 0x1000001u);
    EXPECT_EQ(fake.PageText(), Text("IDS_ERROR_FINISH"));
    EXPECT_FALSE(Sandbox::exists(sandbox.at("target")));
}

}  // namespace
}  // namespace wizard_test
