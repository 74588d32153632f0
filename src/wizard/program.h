// The program start-up shared by every front end: the command line and the
// language, the window title, one installer dialog on the stack, its run and
// the exit status.
//
//   ProgramStart start = BeginProgram(argc, argv);
//   if (start.finished) return start.status;        // --help, --version, usage error
//   windowed:  return RunWizardProgram(start, argc, argv, toolkit);
//   console:   return RunStepProgram(start, steps);
#pragma once
#include "l10n/startup_options.h"
#include "platform/services.h"
#include "text/basic_string.h"
#include "wizard/command_line.h"
#include "wizard/step_ui.h"
#include "wizard/toolkit.h"

namespace wizard {

struct ProgramStart {
    // True when the program has nothing more to do: --help or --version was
    // answered on stdout, or a usage error reported on stderr. End with
    // `status` then.
    bool finished = false;
    int status = 0;
    CommandLine line;
    StartupOptions options;
    // The window title and the title of every message box (UTF-8).
    stdx::string8 title;
};

// Reads the command line and chooses the language. Touches no toolkit, so a
// machine without a display still gets --help and --version. `localeSource`
// names the user's locale when no L option chose the language (see
// l10n/startup_options.h). Never throws.
ProgramStart BeginProgram(int argc, char** argv, LocaleNameSource localeSource = ProcessLocaleName);

// Runs the windowed wizard with `toolkit`. Returns the run's status
// (wizard::ExitStatus) with -S, and 0 without it. `services` are the
// system's own unless a test puts the kit elsewhere.
int RunWizardProgram(const ProgramStart& start, int argc, char** argv, Toolkit& toolkit,
                     platform::Services& services = platform::NativeServices());

// Runs the same dialog on a step front end; always returns the run's status.
int RunStepProgram(const ProgramStart& start, StepUi& steps,
                   platform::Services& services = platform::NativeServices());

// BeginProgram and RunWizardProgram in one, for a front end without a console
// of its own. Never throws.
int RunInstallerProgram(int argc, char** argv, Toolkit& toolkit,
                        LocaleNameSource localeSource = ProcessLocaleName,
                        platform::Services& services = platform::NativeServices());

}  // namespace wizard
