// The start-up routine every front end ends in.
#include "wizard/program.h"

#include <fcntl.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "console/console_text.h"
#include "console/console_ui.h"
#include "l10n/localization.h"
#include "text/string_util.h"
#include "text/utf8.h"
#include "wizard/exit_status.h"
#include "wizard/installer_dlg.h"
#include "wizard/windowed_steps.h"

namespace wizard {

namespace {

std::string ProgramName(int argc, char** argv) {
    if (argc < 1 || argv[0] == nullptr) {
        return "setup";
    }
    const char* slash = std::strrchr(argv[0], '/');
    return slash != nullptr ? slash + 1 : argv[0];
}

void WriteAll(FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

int UsageError(int argc, char** argv, const std::string& error) {
    WriteAll(stderr, ProgramName(argc, argv) + ": " + error + "\n" + "Try '" +
                         ProgramName(argc, argv) + " --help'.\n");
    return kExitStartFailed;
}

// A program started with stdin, stdout or stderr closed would hand that
// number to the first file it opens, and a progress line would land in a
// template file: each closed one is held by /dev/null instead.
void HoldStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // The lowest free number: this very one.
            open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        }
    }
}

// What the command line and the language scan decided.
struct Start {
    CommandLine line;
    StartupOptions options;
    stdx::string16 directory;
    stdx::string16 kit;
};

// One session of the controller on `steps`; returns the run's status.
int RunSession(const Start& start, StepUi& steps, platform::Services& services) {
    SessionOptions options;
    options.autoStart = start.options.autoStart;
    options.dryRun = start.line.dryRun;
    options.useCwd = start.options.useCwd;
    options.kit = start.kit;
    options.title = GetLocalizedUtf8("IDR_MAINFRAME");
    options.language = start.options.dialogLanguage;
    std::unique_ptr<StatusEvents> events;
    CInstallerDlg dialog(steps, services, options);
    if (start.line.hasDirectory) {
        dialog.SetTargetDirectory(start.directory);
    }
    if (start.line.statusFd >= 0) {
        events.reset(new StatusEvents(start.line.statusFd));
        dialog.SetStatusEvents(events.get());
    }
    dialog.Run();
    return dialog.GetExitStatus();
}

int RunConsole(Start start, platform::Services& services) {
    console::FallBackToEnglishIfNeeded(start.options);
    console::ConsoleUi ui;
    return RunSession(start, ui, services);
}

}  // namespace

int RunProgram(int argc, char** argv, WindowedFrontEnd* windowed, platform::Services& services) {
    HoldStandardDescriptors();
    // A reader of standard output or of the status descriptor that goes away
    // must not end the program in the middle of a run (nor --help's text):
    // its writes fail with EPIPE instead.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        Start start;
        std::string error;
        if (!ParseCommandLine(argc, argv, start.line, error)) {
            return UsageError(argc, argv, error);
        }
        if (start.line.help) {
            WriteAll(stdout, UsageText(ProgramName(argc, argv)));
            return kExitInstalled;
        }
        if (start.line.version) {
            WriteAll(stdout, VersionText());
            return kExitInstalled;
        }
        // The scan lets the locale source set the process locale, then calls
        // stdx::select_environment_locale() once, so every narrow/widen from
        // here on converts in the user's locale. It reads the old-style words
        // only: a long option's value is never one of them.
        std::vector<const char*> oldStyle;
        for (const std::string& word : start.line.oldStyle) {
            oldStyle.push_back(word.c_str());
        }
        oldStyle.push_back(nullptr);
        start.options =
            ScanStartupOptions(int(oldStyle.size() - 1), oldStyle.data(),
                               windowed != nullptr ? windowed->LocaleSource() : ProcessLocaleName);
        // A cut-short name would be another directory, or another kit.
        if (start.line.hasDirectory &&
            !stdx::widen_exact(stdx::string8(start.line.directory.c_str()), start.directory)) {
            return UsageError(argc, argv,
                              "--dir: \"" + start.line.directory +
                                  "\" is not a valid name in this locale's encoding");
        }
        if (start.line.hasKit &&
            !stdx::widen_exact(stdx::string8(start.line.kit.c_str()), start.kit)) {
            return UsageError(
                argc, argv,
                "--kit: \"" + start.line.kit + "\" is not a valid name in this locale's encoding");
        }
        const UiChoice ui = start.line.ui;
        if (ui == UiChoice::kConsole || start.line.dryRun) {
            return RunConsole(start, services);
        }
        FrontEndRequest request;
        request.ui = ui;
        request.verbose = start.line.verbose;
        std::string reason = "this program has no windowed front end";
        if (windowed == nullptr || !windowed->Open(&argc, &argv, request, reason)) {
            if (ui != UiChoice::kAny) {
                WriteAll(stderr, ProgramName(argc, argv) + ": the " + UiName(ui) +
                                     " front end cannot start: " + reason + "\n");
                return kExitStartFailed;
            }
            if (request.verbose) {
                WriteAll(stderr,
                         ProgramName(argc, argv) + ": " + reason + "; the console takes over\n");
            }
            return RunConsole(start, services);
        }
        const int status = windowed->Run([&](Toolkit& toolkit) {
            WindowedSteps steps(toolkit, &argc, &argv);
            return RunSession(start, steps, services);
        });
        // Without -S the wizard ends with 0 as it always did, unless a
        // signal ended the copy.
        return start.options.autoStart || status > 128 ? status : kExitInstalled;
    } catch (...) {
        // Out of memory before anything was done.
        return kExitStartFailed;
    }
}

}  // namespace wizard
