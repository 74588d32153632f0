// The long options, read with CLI11; every other word passes through.
#include "wizard/command_line.h"

#include <fcntl.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace wizard {

namespace {

constexpr char kProgramVersion[] = "1.0.0";

// A descriptor number the events may be written to: open, and not read-only.
bool CheckStatusFd(const std::string& text, int& fd, std::string& error) {
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < 0 || value > INT_MAX) {
        error = "--status-fd: \"" + text + "\" is not a file descriptor number";
        return false;
    }
    int flags = fcntl(int(value), F_GETFL);
    if (flags < 0) {
        error = "--status-fd: file descriptor " + text + " is not open";
        return false;
    }
    if ((flags & O_ACCMODE) == O_RDONLY) {
        error = "--status-fd: file descriptor " + text + " is not open for writing";
        return false;
    }
    fd = int(value);
    return true;
}

}  // namespace

bool ParseCommandLine(int argc, const char* const* argv, CommandLine& line, std::string& error) {
    CLI::App app;
    // The historical words (-Lde, /Lde, -S, usecwd) and toolkit options are
    // not ours: they stay for the language scan and the toolkit.
    app.allow_extras();
    app.set_help_flag();
    app.add_flag("--help", line.help);
    app.add_flag("--version", line.version);
    app.add_flag("--console", line.console);
    app.add_flag("--dry-run", line.dryRun);
    CLI::Option* dir = app.add_option("--dir", line.directory);
    std::string statusFd;
    CLI::Option* status = app.add_option("--status-fd", statusFd);
    std::vector<std::string> words;
    for (int i = argc - 1; i >= 1; --i) {
        words.emplace_back(argv[i] != nullptr ? argv[i] : "");
    }
    try {
        app.parse(words);
    } catch (const CLI::ParseError& e) {
        error = e.what();
        return false;
    }
    line.hasDirectory = dir->count() > 0;
    if (status->count() > 0 && !CheckStatusFd(statusFd, line.statusFd, error)) {
        return false;
    }
    return true;
}

std::string UsageText(const std::string& program) {
    std::string text;
    text += "Usage: " + program + " [usecwd] [options]\n";
    text +=
        "Installs the configuration templates of the kit kelda.efd into a template directory.\n"
        "\n"
        "Where the kit is looked for:\n"
        "  beside the program itself; with usecwd as the first word, in the current\n"
        "  working directory.\n"
        "\n"
        "Options:\n"
        "  usecwd            (first word only) look for the kit in the working directory\n"
        "  -L<code>, /L<code>\n"
        "                    language of the texts: hy az bg zh en fr ka de es hu it kk\n"
        "                    lv lt pl ro ru tr uk vi ar tk (default: from the locale)\n"
        "  -S, /S            start copying at once, without questions\n"
        "  --dir DIR         install into DIR instead of the proposed directory; a\n"
        "                    directory that does not exist is created\n"
        "  --console         use the text console even when a display is available;\n"
        "                    chosen by itself when no display can be opened\n"
        "  --status-fd N     write one JSON event a line to file descriptor N:\n"
        "                    start, progress, finished, error, cancelled\n"
        "  --dry-run         list what would be done with each kit file (new, update,\n"
        "                    keep) and the bytes that would be written; change nothing\n"
        "  --help            show this text and end\n"
        "  --version         show the version and end\n"
        "Other words are ignored (they may be options of the windowing toolkit).\n"
        "This help is in English only; the installer itself speaks the -L language.\n"
        "\n"
        "Exit status:\n"
        "  0  installed (or nothing needed copying)\n"
        "  1  the copy failed and the template directory was restored\n"
        "  2  a start-up check failed (no kit, damaged kit, no space, unusable\n"
        "     directory) or the command line was wrong; nothing was changed\n"
        "  3  cancelled by the user; the template directory was restored\n"
        "  4  the copy failed and the template directory could not be fully restored\n"
        "  128+N  ended by signal N (SIGINT, SIGTERM, SIGHUP) during the copy, after\n"
        "     the template directory was restored\n"
        "The console front end always reports these. The windowed wizard reports\n"
        "them with -S and otherwise ends with 0.\n";
    return text;
}

std::string VersionText() {
    return std::string("setup ") + kProgramVersion + "\n";
}

}  // namespace wizard
