// The program start-up shared by every front end, and all of its routing:
// the command line and the language, --help and --version, the choice of
// front end (the console for --console, --ui console and --dry-run, and
// whenever no window can be opened; a front end forced with --ui that cannot
// start is a start-up failure), one installer controller on the stack, its run and
// the exit status. A front end's `main` only names its windowed front end:
//
//   int main(int argc, char** argv) {
//       gtkfront::GtkFrontEnd frontEnd;
//       return wizard::RunProgram(argc, argv, &frontEnd);
//   }
#pragma once
#include <functional>
#include <string>

#include "l10n/startup_options.h"
#include "platform/services.h"
#include "wizard/command_line.h"
#include "wizard/toolkit.h"

namespace wizard {

// What the command line asks of the windowed front end.
struct FrontEndRequest {
    // kGtk3 or kGtk2: that front end or none; kAny: the first that starts.
    UiChoice ui = UiChoice::kAny;
    // Each front end passed over is told on standard error, with why.
    bool verbose = false;
};

// A windowing toolkit as a front end: whether it can open a window here,
// and a run of the wizard with it.
class WindowedFrontEnd {
  public:
    virtual ~WindowedFrontEnd() = default;
    // Where the user's language comes from when no -L option names one.
    virtual LocaleNameSource LocaleSource() const { return ProcessLocaleName; }
    // Connects to the display; false when no front end asked for can start
    // here, with a one-line `reason` (the console takes over, or a forced
    // front end ends the program). May take the toolkit's own options out
    // of argc/argv.
    virtual bool Open(int* argc, char*** argv, const FrontEndRequest& request,
                      std::string& reason) = 0;
    // Runs `wizard` with the toolkit and returns what it returned (GTK holds
    // its lock around it).
    virtual int Run(const std::function<int(Toolkit&)>& wizard) = 0;
};

// Everything from the command line to the exit status. `windowed` may be
// null (a program without a window); `services` are the system's own unless
// a test puts the kit elsewhere. Never throws.
int RunProgram(int argc, char** argv, WindowedFrontEnd* windowed,
               platform::Services& services = platform::NativeServices());

}  // namespace wizard
