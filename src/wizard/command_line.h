// The program's options beyond the historical ones. "usecwd" (first word),
// -L<code>, /L<code> and -S (also /S) keep their old reading in
// l10n/startup_options; this parser only adds the long options below and
// passes every word it does not know through untouched (toolkit options,
// stray words).
//
//   --help            the usage text on stdout, status 0
//   --version         the version on stdout, status 0
//   --console         the console front end even when a display is there
//   --dir DIR         the template directory instead of the proposal
//   --status-fd N     one JSON event a line on file descriptor N
//   --dry-run         report what a run would do, change nothing (console)
#pragma once
#include <string>

namespace wizard {

struct CommandLine {
    bool help = false;
    bool version = false;
    bool console = false;
    bool dryRun = false;
    bool hasDirectory = false;
    std::string directory;  // as given, in the locale's encoding
    int statusFd = -1;      // -1: no status events
};

// Reads the long options of argv. False, with a one-line reason in `error`,
// for a usage error: a long option without its value, a status descriptor
// that is not a number or not open for writing.
bool ParseCommandLine(int argc, const char* const* argv, CommandLine& line, std::string& error);

// The text of --help: every option, the exit statuses, where the kit is
// looked for. `program` is the name to show in the synopsis.
std::string UsageText(const std::string& program);

// The text of --version.
std::string VersionText();

}  // namespace wizard
