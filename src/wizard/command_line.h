// The program's command line. The long options below are read here; every
// other word is an old-style one ("usecwd" first, -L<code>, /L<code>, -S,
// /S), read by l10n/startup_options from `oldStyle` alone, so that the value
// of a long option is never taken for one. An unknown word starting with
// "--" is a usage error, except the windowing toolkit's own options, which
// pass through to it.
//
//   --help            the usage text on stdout, status 0
//   --version         the version on stdout, status 0
//   --console         the console front end even when a display is there
//   --ui NAME         this front end only: gtk3, gtk2 or console
//   --verbose         say on stderr why a front end was passed over
//   --dir DIR         the template directory instead of the proposal
//   --kit FILE        the kit file instead of "kelda.efd" beside the program
//   --status-fd N     one JSON event a line on file descriptor N
//   --dry-run         report what a run would do, change nothing
#pragma once
#include <string>
#include <vector>

namespace wizard {

// The front end --ui forces; kAny tries the windowed ones in their order,
// then the console.
enum class UiChoice {
    kAny,
    kGtk3,
    kGtk2,
    kConsole,
};

// The name --ui takes for `choice` ("" for kAny).
const char* UiName(UiChoice choice);

struct CommandLine {
    bool help = false;
    bool version = false;
    bool console = false;
    bool dryRun = false;
    UiChoice ui = UiChoice::kAny;  // --console is kConsole too
    bool verbose = false;
    bool hasDirectory = false;
    std::string directory;  // as given, in the locale's encoding
    bool hasKit = false;
    std::string kit;    // as given, in the locale's encoding
    int statusFd = -1;  // -1: no status events
    // The program's name, then the old-style words in their order.
    std::vector<std::string> oldStyle;
};

// Reads argv. False, with a one-line reason in `error`, for a usage error: an
// unknown long option (naming the nearest known one when one is close), a
// long option without its value or with an empty one, a word that names a
// kit file (it wants --kit), a --ui value that names no front end or
// contradicts --console, a status descriptor that is not a number or not
// open for writing.
bool ParseCommandLine(int argc, const char* const* argv, CommandLine& line, std::string& error);

// The text of --help: every option, the exit statuses, where the kit is
// looked for. `program` is the name to show in the synopsis.
std::string UsageText(const std::string& program);

// The text of --version.
std::string VersionText();

}  // namespace wizard
