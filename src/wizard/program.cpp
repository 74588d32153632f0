// The start-up routine every front end ends in.
#include "wizard/program.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

#include "l10n/localization.h"
#include "text/string_util.h"
#include "text/utf8.h"
#include "wizard/exit_status.h"
#include "wizard/installer_dlg.h"

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

// The dialog with what the command line adds to the historical options.
void ApplyCommandLine(CInstallerDlg& dialog, const ProgramStart& start,
                      std::unique_ptr<StatusEvents>& events) {
    if (start.line.hasDirectory) {
        stdx::string16 dir;
        stdx::widen_exact(stdx::string8(start.line.directory.c_str()), dir);  // checked at start
        dialog.SetTargetDirectory(dir);
    }
    if (start.line.statusFd >= 0) {
        events.reset(new StatusEvents(start.line.statusFd));
        dialog.SetStatusEvents(events.get());
    }
}

}  // namespace

ProgramStart BeginProgram(int argc, char** argv, LocaleNameSource localeSource) {
    ProgramStart start;
    try {
        std::string error;
        if (!ParseCommandLine(argc, argv, start.line, error)) {
            WriteAll(stderr, ProgramName(argc, argv) + ": " + error + "\n" + "Try '" +
                                 ProgramName(argc, argv) + " --help'.\n");
            start.finished = true;
            start.status = kExitStartFailed;
            return start;
        }
        if (start.line.help) {
            WriteAll(stdout, UsageText(ProgramName(argc, argv)));
            start.finished = true;
            return start;
        }
        if (start.line.version) {
            WriteAll(stdout, VersionText());
            start.finished = true;
            return start;
        }
        if (start.line.statusFd >= 0) {
            // A reader that goes away must not end the program in the middle
            // of a run: its writes fail with EPIPE instead.
            std::signal(SIGPIPE, SIG_IGN);
        }
        // The scan lets the locale source set the process locale, then calls
        // stdx::select_environment_locale() once, so every narrow/widen from
        // here on (the title first) converts in the user's locale.
        start.options = ScanStartupOptions(argc, argv, localeSource);
        start.title = GetLocalizedUtf8("IDR_MAINFRAME");
        stdx::string16 dir;
        if (start.line.hasDirectory &&
            !stdx::widen_exact(stdx::string8(start.line.directory.c_str()), dir)) {
            // A cut-short name would be another directory.
            WriteAll(stderr, ProgramName(argc, argv) + ": --dir: \"" + start.line.directory +
                                 "\" is not a valid name in this locale's encoding\n");
            start.finished = true;
            start.status = kExitStartFailed;
        }
    } catch (...) {
        // Out of memory before anything was done.
        start.finished = true;
        start.status = kExitStartFailed;
    }
    return start;
}

int RunWizardProgram(const ProgramStart& start, int argc, char** argv, Toolkit& toolkit,
                     platform::Services& services) {
    int status = kExitStartFailed;
    try {
        std::unique_ptr<StatusEvents> events;
        CInstallerDlg dialog(toolkit, services, argc, argv, start.options.autoStart, start.title,
                             start.options.dialogLanguage, start.options.useCwd);
        ApplyCommandLine(dialog, start, events);
        dialog.Run();
        status = dialog.GetExitStatus();
    } catch (...) {
        // A failure before the dialog exists (out of memory): end quietly.
    }
    // Without -S the wizard ends with 0 as it always did, unless a signal
    // ended the copy.
    return start.options.autoStart || status > 128 ? status : 0;
}

int RunStepProgram(const ProgramStart& start, StepUi& steps, platform::Services& services) {
    try {
        std::unique_ptr<StatusEvents> events;
        CInstallerDlg dialog(steps, services, start.options.autoStart, start.title,
                             start.options.dialogLanguage, start.options.useCwd);
        ApplyCommandLine(dialog, start, events);
        dialog.SetDryRun(start.line.dryRun);
        dialog.Run();
        return dialog.GetExitStatus();
    } catch (...) {
        return kExitStartFailed;
    }
}

int RunInstallerProgram(int argc, char** argv, Toolkit& toolkit, LocaleNameSource localeSource,
                        platform::Services& services) {
    ProgramStart start = BeginProgram(argc, argv, localeSource);
    if (start.finished) {
        return start.status;
    }
    return RunWizardProgram(start, argc, argv, toolkit, services);
}

}  // namespace wizard
