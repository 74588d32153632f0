// One controller, three front ends: every case runs through the windowed
// wizard (the fake toolkit behind the real page adapter), the step fake and
// the real console (its standard input a pipe), and must end the same way:
// the same files in the template directory, the same exit status, the same
// questions and the same status events. Also a signal during the copy and
// a refused directory asked again.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <climits>
#include <csignal>
#include <deque>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>

#include "console/console_ui.h"
#include "fake_steps.h"
#include "install/run_journal.h"
#include "wizard_fixture.h"

namespace wizard_test {
namespace {

using wizard::StepOutcome;

enum class FrontEnd { kWindowed, kSteps, kConsole };
const char* Name(FrontEnd f) {
    return f == FrontEnd::kWindowed ? "windowed" : f == FrontEnd::kSteps ? "steps" : "console";
}

// What the user does, in order: a directory typed at the prompt ("dir"), an
// answer to a question ("yes", "no"). When the script runs out, the input
// ends (the window's close control).
struct Input {
    enum Kind { kDirectory, kYes, kNo } kind;
    std::string directory;
};

struct Case {
    const char* what;
    bool autoStart;
    bool dryRun;
    // Prepares the sandbox (the kit is made already).
    void (*prepare)(Sandbox&);
    std::vector<Input> inputs;  // directories relative to the sandbox
    // The expected ending.
    int status;
    size_t questions;
    const char* lastEvent;                     // nullptr: no events at all
    std::map<std::string, std::string> files;  // the whole target tree afterwards
    // With -S or a dry run: the --dir given, relative to the sandbox.
    const char* dir = "target";
};

const std::string kTooLong = "target/" + std::string(NAME_MAX + 1, 'n');

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

// Standard input from `input`, standard output and error into a file, for
// one scope.
class ScopedStdio {
  public:
    ScopedStdio(const std::string& input, const std::string& output) {
        int in[2];
        EXPECT_EQ(0, pipe(in));
        EXPECT_EQ(ssize_t(input.size()), write(in[1], input.data(), input.size()));
        close(in[1]);
        fflush(stdout);
        fflush(stderr);
        for (int fd = 0; fd < 3; ++fd) {
            saved_[fd] = dup(fd);
        }
        const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in[0], 0);
        dup2(out, 1);
        dup2(out, 2);
        close(in[0]);
        close(out);
    }
    ~ScopedStdio() {
        fflush(stdout);
        fflush(stderr);
        for (int fd = 0; fd < 3; ++fd) {
            dup2(saved_[fd], fd);
            close(saved_[fd]);
        }
    }

  private:
    int saved_[3] = {-1, -1, -1};
};

std::map<std::string, std::string> Tree(const std::string& root, const std::string& rel = "") {
    std::map<std::string, std::string> out;
    const std::string dir = rel.empty() ? root : root + "/" + rel;
    DIR* d = opendir(dir.c_str());
    if (d == nullptr) {
        return out;
    }
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        const std::string path = rel.empty() ? name : rel + "/" + name;
        struct stat st;
        lstat((root + "/" + path).c_str(), &st);
        if (S_ISDIR(st.st_mode)) {
            out[path + "/"] = "";
            for (auto& [k, v] : Tree(root, path)) {
                out[k] = v;
            }
            continue;
        }
        out[path] = Sandbox::read(root + "/" + path);
    }
    closedir(d);
    return out;
}

void MakeOld(Sandbox& box, const std::string& rel) {
    struct utimbuf old = {946684800, 946684800};  // 2000-01-01
    utime(box.at(rel).c_str(), &old);
}

// A run of the previous version that was killed after it had written
// target/ghost.txt: its record waits in the temporary directory, unlocked.
void KilledRun(Sandbox& box) {
    box.write("target/ghost.txt", "half");
    box.mkdirs("tmp/kvtmp7");
    chmod(box.at("tmp/kvtmp7").c_str(), 0700);
    install::JournalEntry entry;
    entry.kind = install::JournalKind::kNewFile;
    entry.path = u16(box.at("target/ghost.txt"));
    box.write("tmp/kvtmp7.journal",
              install::EncodePreviousHeader(u16(box.at("target/")), u16(box.at("tmp/kvtmp7/"))) +
                  install::EncodePreviousEntry(entry));
    chmod(box.at("tmp/kvtmp7.journal").c_str(), 0600);
}

class FrontEndsTest : public WizardTest {
  protected:
    FrontEndsTest() : cwd_(sandbox.at("kit")) {
        MakeKit({{"a.cfg", "new alpha"}, {"sub\\b.cfg", "beta"}});
    }

    struct Result {
        int status = -1;
        size_t questions = 0;
        std::vector<std::string> events;
        std::optional<std::vector<install::PlannedFile>> plan;
        std::string console;
    };

    Result RunOn(FrontEnd frontEnd, const Case& c) {
        testing_support::remove_tree(sandbox.at("target"));
        testing_support::remove_tree(sandbox.at("tmp"));
        testing_support::remove_tree(sandbox.at("home"));
        sandbox.mkdirs("tmp");
        sandbox.mkdirs("home");
        if (c.prepare) {
            c.prepare(sandbox);
        }
        int events[2];
        EXPECT_EQ(0, pipe(events));
        fcntl(events[0], F_SETFL, O_NONBLOCK);
        Result result;
        {
            wizard::StatusEvents statusEvents(events[1]);
            SessionOptions options = Options(c.autoStart, false, c.dryRun);
            switch (frontEnd) {
                case FrontEnd::kWindowed:
                    result = RunWindowed(c, options, statusEvents);
                    break;
                case FrontEnd::kSteps:
                    result = RunSteps(c, options, statusEvents);
                    break;
                case FrontEnd::kConsole:
                    result = RunConsole(c, options, statusEvents);
                    break;
            }
        }
        close(events[1]);
        std::string text;
        char buffer[4096];
        ssize_t n;
        while ((n = read(events[0], buffer, sizeof buffer)) > 0) {
            text.append(buffer, size_t(n));
        }
        close(events[0]);
        for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
             start = end + 1) {
            result.events.push_back(
                nlohmann::json::parse(text.substr(start, end - start))["event"]);
        }
        return result;
    }

    void Configure(CInstallerDlg& dialog, const Case& c, wizard::StatusEvents& events) {
        dialog.SetStatusEvents(&events);
        if (c.autoStart || c.dryRun) {
            dialog.SetTargetDirectory(u16(sandbox.at(c.dir)));
        }
    }

    Result RunWindowed(const Case& c, const SessionOptions& options, wizard::StatusEvents& events) {
        FakeToolkit toolkit;
        int argc = 0;
        char** argv = nullptr;
        wizard::WindowedSteps steps(toolkit, &argc, &argv);
        std::deque<std::string> directories;
        for (const Input& input : c.inputs) {
            if (input.kind == Input::kDirectory) {
                directories.push_back(sandbox.at(input.directory));
                continue;
            }
            toolkit.answers.push_back(input.kind == Input::kYes ? wizard::kAnswerYes
                                                                : wizard::kAnswerNo);
        }
        CInstallerDlg dialog(steps, host, options);
        Configure(dialog, c, events);
        toolkit.onMainLoop = [&] {
            toolkit.Press(wizard::Command::kNext);
            while (toolkit.WindowOpen() &&
                   dialog.GetPageState() == CInstallerDlg::kStateDirectory &&
                   !directories.empty()) {
                toolkit.Type(directories.front());
                directories.pop_front();
                toolkit.Press(wizard::Command::kNext);
            }
            const int state = dialog.GetPageState();
            if (state == CInstallerDlg::kStateSuccess || state == CInstallerDlg::kStateError) {
                toolkit.Press(wizard::Command::kNext);  // Finish
                return;
            }
            toolkit.CloseControl();  // the input has ended
        };
        dialog.Run();
        Result result;
        result.status = dialog.GetExitStatus();
        for (const BoxRecord& box : toolkit.boxes) {
            result.questions += wizard::MessageBoxHasYesNo(box.flags) ? 1 : 0;
        }
        return result;
    }

    Result RunSteps(const Case& c, const SessionOptions& options, wizard::StatusEvents& events) {
        FakeSteps steps;
        for (const Input& input : c.inputs) {
            if (input.kind == Input::kDirectory) {
                steps.directoryAnswers.push_back(sandbox.at(input.directory));
                continue;
            }
            steps.answers.push_back(input.kind == Input::kYes ? wizard::kAnswerYes
                                                              : wizard::kAnswerNo);
        }
        CInstallerDlg dialog(steps, host, options);
        Configure(dialog, c, events);
        dialog.Run();
        Result result;
        result.status = dialog.GetExitStatus();
        result.questions = steps.questions.size();
        result.plan = steps.plan;
        return result;
    }

    Result RunConsole(const Case& c, const SessionOptions& options, wizard::StatusEvents& events) {
        std::string input;
        for (const Input& line : c.inputs) {
            input += line.kind == Input::kDirectory ? sandbox.at(line.directory)
                     : line.kind == Input::kYes     ? std::string("y")
                                                    : std::string("n");
            input += "\n";
        }
        Result result;
        const std::string output = sandbox.at("console.out");
        {
            ScopedStdio stdio(input, output);
            console::ConsoleUi ui;
            CInstallerDlg dialog(ui, host, options);
            Configure(dialog, c, events);
            dialog.Run();
            result.status = dialog.GetExitStatus();
        }
        result.console = Sandbox::read(output);
        for (size_t at = 0; (at = result.console.find(" [y/n] ", at)) != std::string::npos; ++at) {
            ++result.questions;
        }
        return result;
    }

    ScopedCwd cwd_;
};

const std::map<std::string, std::string> kInstalled = {
    {"a.cfg", "new alpha"}, {"sub/", ""}, {"sub/b.cfg", "beta"}};
const std::map<std::string, std::string> kOlderAlpha = {{"a.cfg", "old alpha"}};

void OlderAlpha(Sandbox& box) {
    box.write("target/a.cfg", "old alpha");
    MakeOld(box, "target/a.cfg");
}
// An older directory where the kit has the file sub/b.cfg.
void Blocked(Sandbox& box) {
    OlderAlpha(box);
    box.mkdirs("target/sub/b.cfg");
    MakeOld(box, "target/sub/b.cfg");
}

TEST_F(FrontEndsTest, EveryFrontEndEndsTheSameWay) {
    const std::map<std::string, std::string> blockedTree = {
        {"a.cfg", "old alpha"}, {"sub/", ""}, {"sub/b.cfg/", ""}};
    const std::map<std::string, std::string> killedTree = {{"ghost.txt", "half"}};
    const Case cases[] = {
        {"wizard into a new directory",
         false,
         false,
         nullptr,
         {{Input::kDirectory, "target"}},
         wizard::kExitInstalled,
         0,
         "finished",
         kInstalled},
        {"replacing, answered yes",
         false,
         false,
         OlderAlpha,
         {{Input::kDirectory, "target"}, {Input::kYes, ""}},
         wizard::kExitInstalled,
         1,
         "finished",
         kInstalled},
        {"replacing, answered no, then the input ends",
         false,
         false,
         OlderAlpha,
         {{Input::kDirectory, "target"}, {Input::kNo, ""}},
         wizard::kExitCancelled,
         1,
         nullptr,
         kOlderAlpha},
        {"-S replaces without a question",
         true,
         false,
         OlderAlpha,
         {},
         wizard::kExitInstalled,
         0,
         "finished",
         kInstalled},
        {"dry run", false, true, OlderAlpha, {}, wizard::kExitInstalled, 0, nullptr, kOlderAlpha},
        {"-S with a blocked file",
         true,
         false,
         Blocked,
         {},
         wizard::kExitCopyFailed,
         0,
         "error",
         blockedTree},
        {"dry run with a blocked file",
         false,
         true,
         Blocked,
         {},
         wizard::kExitCopyFailed,
         0,
         nullptr,
         blockedTree},
        {"dry run while a killed run waits",
         false,
         true,
         KilledRun,
         {},
         wizard::kExitInstalled,
         0,
         nullptr,
         killedTree},
        {"-S after a killed run",
         true,
         false,
         KilledRun,
         {},
         wizard::kExitInstalled,
         0,
         "finished",
         kInstalled},
        {"-S into the working directory",
         true,
         false,
         OlderAlpha,
         {},
         wizard::kExitStartFailed,
         0,
         nullptr,
         kOlderAlpha,
         "kit"},
        {"dry run below a file",
         false,
         true,
         OlderAlpha,
         {},
         wizard::kExitStartFailed,
         0,
         nullptr,
         kOlderAlpha,
         "target/a.cfg/below"},
        // The launcher file keeps a directory a line; no file system takes
        // a level longer than NAME_MAX.
        {"-S with a line feed in --dir",
         true,
         false,
         OlderAlpha,
         {},
         wizard::kExitStartFailed,
         0,
         nullptr,
         kOlderAlpha,
         "target\nInjected=1"},
        {"-S with a carriage return in --dir",
         true,
         false,
         OlderAlpha,
         {},
         wizard::kExitStartFailed,
         0,
         nullptr,
         kOlderAlpha,
         "target\r"},
        {"-S with a name too long for the file system",
         true,
         false,
         OlderAlpha,
         {},
         wizard::kExitStartFailed,
         0,
         nullptr,
         kOlderAlpha,
         kTooLong.c_str()},
    };
    for (const Case& c : cases) {
        for (FrontEnd frontEnd : {FrontEnd::kWindowed, FrontEnd::kSteps, FrontEnd::kConsole}) {
            SCOPED_TRACE(std::string(c.what) + " on " + Name(frontEnd));
            const Result r = RunOn(frontEnd, c);
            EXPECT_EQ(r.status, c.status) << r.console;
            EXPECT_EQ(r.questions, c.questions) << r.console;
            EXPECT_EQ(Tree(sandbox.at("target")), c.files) << r.console;
            if (c.lastEvent == nullptr) {
                EXPECT_TRUE(r.events.empty());
            } else {
                ASSERT_FALSE(r.events.empty());
                EXPECT_EQ(r.events.front(), "start");
                EXPECT_EQ(r.events.back(), c.lastEvent);
            }
            // A dry run leaves the killed run's record for the next start,
            // and says so.
            EXPECT_EQ(Sandbox::exists(sandbox.at("tmp/kvtmp7.journal")),
                      c.prepare == KilledRun && c.dryRun);
            if (frontEnd == FrontEnd::kConsole && c.prepare == KilledRun) {
                EXPECT_NE(r.console.find(c.dryRun ? "waiting to be undone" : "was undone"),
                          std::string::npos)
                    << r.console;
            }
            if (frontEnd == FrontEnd::kConsole && c.dryRun && c.prepare != KilledRun &&
                c.status != wizard::kExitStartFailed) {
                EXPECT_NE(r.console.find(c.status == 0 ? "update  a.cfg" : "blocked sub/b.cfg"),
                          std::string::npos)
                    << r.console;
            }
        }
    }
}

TEST_F(FrontEndsTest, ASignalDuringTheCopyCancelsAndRollsBack) {
    // The worker is held after its first post; SIGTERM arrives, and only
    // then does the worker go on.
    OlderAlpha(sandbox);
    FakeSteps steps;
    steps.CloseGate();
    steps.onWait = [&steps](int n) {
        if (n == 1) {
            raise(SIGTERM);
        }
        if (n == 2) {
            steps.OpenGate();
        }
    };
    CInstallerDlg dialog(steps, host, Options(true));
    dialog.SetTargetDirectory(u16(sandbox.at("target")));
    dialog.Run();
    EXPECT_EQ(dialog.GetExitStatus(), 128 + SIGTERM);
    EXPECT_TRUE(steps.questions.empty());  // a signal is a confirmed cancel
    ASSERT_EQ(steps.outcomes.size(), 1u);
    EXPECT_EQ(steps.outcomes[0].first, StepOutcome::kCancelled);
    EXPECT_EQ(Tree(sandbox.at("target")), kOlderAlpha);
}

// The cancel question is open (the worker held for its answer) when
// SIGTERM comes: the question ends unanswered and the signal cancels the run,
// which is rolled back before the end.
TEST_F(FrontEndsTest, ASignalWhileTheCancelQuestionIsOpenEndsItAndRollsBack) {
    OlderAlpha(sandbox);
    FakeSteps steps;
    steps.CloseGate();
    steps.onQuestion = [] { raise(SIGTERM); };
    steps.answers = {wizard::kAnswerNo};  // never taken
    steps.onWait = [&steps](int n) {
        if (n == 1) {
            steps.Cancel();
        }
        if (n == 2) {
            steps.OpenGate();
        }
    };
    CInstallerDlg dialog(steps, host, Options(true));
    dialog.SetTargetDirectory(u16(sandbox.at("target")));
    dialog.Run();
    EXPECT_EQ(steps.interruptedQuestions, 1);
    EXPECT_EQ(dialog.GetExitStatus(), 128 + SIGTERM);
    ASSERT_EQ(steps.outcomes.size(), 1u);
    EXPECT_EQ(steps.outcomes[0].first, StepOutcome::kCancelled);
    EXPECT_EQ(Tree(sandbox.at("target")), kOlderAlpha);
    EXPECT_EQ(steps.interruptFd, -1) << "the front end still watches after the run";
}

// A signal while the start-up undoes a killed run: the recovery is complete
// and told, then the program quits with 128 + the signal before any step.
TEST_F(FrontEndsTest, ASignalDuringTheRecoveryQuitsOnceItIsComplete) {
    KilledRun(sandbox);
    FakeSteps steps;
    steps.onMessage = [] { raise(SIGHUP); };
    CInstallerDlg dialog(steps, host, Options(true));
    dialog.SetTargetDirectory(u16(sandbox.at("target")));
    dialog.Run();
    EXPECT_EQ(dialog.GetExitStatus(), 128 + SIGHUP);
    ASSERT_EQ(steps.messages.size(), 1u);
    EXPECT_NE(steps.messages[0].find("was undone"), std::string::npos) << steps.messages[0];
    EXPECT_FALSE(Sandbox::exists(sandbox.at("tmp/kvtmp7.journal")));
    EXPECT_FALSE(Sandbox::exists(sandbox.at("target/ghost.txt")));
    EXPECT_TRUE(steps.outcomes.empty());
    EXPECT_TRUE(steps.progress.empty());
    EXPECT_EQ(steps.interruptFd, -1);
}

// The front end goes away in the middle of the copy (the display is lost):
// the controller cancels, waits for the rollback and names the status the
// process must end with at once.
TEST_F(FrontEndsTest, AFrontEndLostDuringTheCopyEndsAfterTheRollback) {
    OlderAlpha(sandbox);
    FakeSteps steps;
    steps.CloseGate();
    int lostStatus = -1;
    // The display goes while the cancel question is open: the worker is
    // paused by the question, so it is still mid-run when the loss cancels.
    steps.onWait = [&steps, &lostStatus](int n) {
        if (n == 1) {
            steps.onQuestion = [&steps, &lostStatus] {
                steps.OpenGate();
                lostStatus = steps.LoseFrontEnd();
            };
            steps.Cancel();
        }
    };
    CInstallerDlg dialog(steps, host, Options(true));
    dialog.SetTargetDirectory(u16(sandbox.at("target")));
    dialog.Run();
    EXPECT_EQ(lostStatus, wizard::kExitCancelled);
    EXPECT_EQ(Tree(sandbox.at("target")), kOlderAlpha);
    EXPECT_FALSE(LauncherFileExists(LauncherMode::kPrimary));
}

TEST_F(FrontEndsTest, ARefusedDirectoryIsAskedAgainAndTheDryRunJudgesEveryFile) {
    sandbox.write("plain", "x");
    FakeSteps steps;
    steps.directoryAnswers = {sandbox.at("plain"), sandbox.at("target")};
    CInstallerDlg dialog(steps, host, Options());
    dialog.Run();
    EXPECT_EQ(dialog.GetExitStatus(), wizard::kExitInstalled);
    ASSERT_EQ(steps.welcomes.size(), 1u);
    EXPECT_EQ(steps.welcomes[0],
              "Welcome to the product installation program Templates (Example Ltd).");
    // The step stays while its answer is refused; the prompt is asked again.
    ASSERT_EQ(steps.proposals.size(), 1u);
    EXPECT_EQ(steps.proposals[0], utf8(DefaultTemplateDirectory()));
    EXPECT_EQ(steps.messages, std::vector<std::string>{Text("IDS_ERROR_NOTWRITABLE")});
    EXPECT_EQ(LauncherList(LauncherMode::kPrimary).front(), sandbox.at("target"));

    // Now a.cfg is the kit's; one newer file, one older, one file where a
    // directory must be.
    Blocked(sandbox);
    testing_support::remove_tree(sandbox.at("target/sub"));
    sandbox.write("target/sub", "a file");
    MakeKit({{"a.cfg", "x"}, {"new.cfg", "y"}, {"sub\\b.cfg", "z"}}, 1262304000);  // 2010
    sandbox.write("target/a.cfg", "newer");
    FakeSteps dry;
    CInstallerDlg dryRun(dry, host, Options(false, false, true));
    dryRun.SetTargetDirectory(u16(sandbox.at("target")));
    dryRun.Run();
    ASSERT_TRUE(dry.plan.has_value());
    std::vector<std::string> verdicts;
    for (const auto& file : *dry.plan) {
        verdicts.push_back(utf8(file.name) + " " + install::VerdictWord(file.verdict));
    }
    EXPECT_EQ(verdicts,
              (std::vector<std::string>{"a.cfg keep", "new.cfg new", "sub/b.cfg blocked"}));
    EXPECT_EQ((*dry.plan)[2].blocker, install::Blocker::kFileInTheWay);
    EXPECT_EQ(dryRun.GetExitStatus(), wizard::kExitCopyFailed);
    EXPECT_TRUE(dry.welcomes.empty());
}

}  // namespace
}  // namespace wizard_test
