// The long options, read with CLI11; the old-style words are set aside for
// the language scan.
#include "wizard/command_line.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "kit/kit_crypto.h"
#include "kit/program_trust.h"

namespace wizard {

namespace {

constexpr char kProgramVersion[] = "1.0.0";

// The long options and what their value is called in a message.
struct LongOption {
    const char* name;
    const char* value;  // nullptr: a flag
};
constexpr LongOption kOptions[] = {
    {"--help", nullptr},
    {"--version", nullptr},
    {"--console", nullptr},
    {"--dry-run", nullptr},
    {"--dir", "a directory"},
    {"--kit", "a kit file"},
    {"--status-fd", "a file descriptor number"},
    {"--ui", "a front end"},
    {"--verbose", nullptr},
};

constexpr struct {
    UiChoice choice;
    const char* name;
} kUiNames[] = {
    {UiChoice::kGtk3, "gtk3"},
    {UiChoice::kGtk2, "gtk2"},
    {UiChoice::kConsole, "console"},
};

bool ReadUi(const std::string& text, UiChoice& choice, std::string& error) {
    for (const auto& known : kUiNames) {
        if (text == known.name) {
            choice = known.choice;
            return true;
        }
    }
    error = "--ui: \"" + text + "\" is not a front end; choose gtk3, gtk2 or console";
    return false;
}

// The GTK toolkit's own options: they reach gtk_init untouched. The first
// group takes a value.
constexpr const char* kToolkitWithValue[] = {"--display",   "--screen",       "--gtk-module",
                                             "--class",     "--name",         "--gtk-debug",
                                             "--gdk-debug", "--gtk-no-debug", "--gdk-no-debug"};
constexpr const char* kToolkitFlags[] = {"--sync", "--g-fatal-warnings"};

std::string OptionName(const std::string& word) {
    return word.substr(0, word.find('='));
}

template <size_t N>
bool IsOneOf(const std::string& name, const char* const (&names)[N]) {
    return std::any_of(std::begin(names), std::end(names),
                       [&](const char* known) { return name == known; });
}

size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = up;
        }
    }
    return row[b.size()];
}

std::string UnknownOption(const std::string& name) {
    std::string error = "unknown option '" + name + "'";
    const LongOption* nearest = nullptr;
    size_t best = 3;  // further than two edits is no suggestion
    for (const LongOption& option : kOptions) {
        const size_t distance = EditDistance(name, option.name);
        if (distance < best) {
            best = distance;
            nearest = &option;
        }
    }
    if (nearest != nullptr) {
        error += "; did you mean '" + std::string(nearest->name) + "'?";
    }
    return error;
}

// A word that is neither an option nor "usecwd" but names a kit: the kit is
// given with --kit, and a silently ignored path would install another kit.
bool NamesKitFile(const std::string& word) {
    if (word.empty() || word[0] == '-' || word == "usecwd") {
        return false;
    }
    const size_t n = word.size();
    if (n >= 4 && word.compare(n - 4, 4, ".efd") == 0) {
        return true;
    }
    struct stat status;
    // "/S" and "/Lde" are old-style options, not paths to a file.
    return word.find('/') != std::string::npos && stat(word.c_str(), &status) == 0 &&
           S_ISREG(status.st_mode);
}

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

// Sorts the words: ours go to CLI11, the toolkit's are skipped with their
// value, the rest are old-style. Unknown long options and missing values end
// the scan with an error.
bool SortWords(int argc, const char* const* argv, std::vector<std::string>& ours, CommandLine& line,
               std::string& error) {
    line.oldStyle.emplace_back(argc > 0 && argv[0] != nullptr ? argv[0] : "setup");
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        const std::string word = argv[i];
        if (word.rfind("--", 0) != 0 || word == "--") {
            if (NamesKitFile(word)) {
                error = "'" + word + "' is not an option; name a kit file with --kit FILE";
                return false;
            }
            line.oldStyle.push_back(word);
            continue;
        }
        const std::string name = OptionName(word);
        const bool inline_value = name.size() < word.size();
        if (IsOneOf(name, kToolkitFlags)) {
            continue;
        }
        if (IsOneOf(name, kToolkitWithValue)) {
            i += inline_value || i + 1 >= argc ? 0 : 1;
            continue;
        }
        const LongOption* option = nullptr;
        for (const LongOption& known : kOptions) {
            if (name == known.name) {
                option = &known;
            }
        }
        if (option == nullptr) {
            error = UnknownOption(name);
            return false;
        }
        ours.push_back(word);
        if (option->value == nullptr) {
            if (inline_value) {
                error = "'" + name + "' takes no value";
                return false;
            }
            continue;
        }
        std::string value;
        if (inline_value) {
            value = word.substr(name.size() + 1);
        } else if (i + 1 < argc && argv[i + 1] != nullptr &&
                   std::strncmp(argv[i + 1], "--", 2) != 0) {
            // A value starting with "--" is written --dir=--name: otherwise
            // a forgotten value would swallow the next option.
            value = argv[++i];
            ours.push_back(value);
        }
        if (value.empty()) {
            error = "'" + name + "' needs " + option->value;
            return false;
        }
    }
    return true;
}

}  // namespace

const char* UiName(UiChoice choice) {
    for (const auto& known : kUiNames) {
        if (choice == known.choice) {
            return known.name;
        }
    }
    return "";
}

bool ParseCommandLine(int argc, const char* const* argv, CommandLine& line, std::string& error) {
    std::vector<std::string> ours;
    if (!SortWords(argc, argv, ours, line, error)) {
        return false;
    }
    CLI::App app;
    app.set_help_flag();
    app.add_flag("--help", line.help);
    app.add_flag("--version", line.version);
    app.add_flag("--console", line.console);
    app.add_flag("--dry-run", line.dryRun);
    app.add_flag("--verbose", line.verbose);
    std::string ui;
    CLI::Option* uiOption = app.add_option("--ui", ui);
    CLI::Option* dir = app.add_option("--dir", line.directory);
    CLI::Option* kit = app.add_option("--kit", line.kit);
    std::string statusFd;
    CLI::Option* status = app.add_option("--status-fd", statusFd);
    // CLI11 takes the words last first. Each value goes with its option in
    // one word, as the scan above paired them.
    std::vector<std::string> words;
    for (size_t i = 0; i < ours.size(); ++i) {
        const std::string& word = ours[i];
        const bool valued =
            word.find('=') == std::string::npos &&
            (word == "--dir" || word == "--kit" || word == "--status-fd" || word == "--ui");
        words.push_back(valued ? word + "=" + ours[++i] : word);
    }
    std::reverse(words.begin(), words.end());
    try {
        app.parse(words);
    } catch (const CLI::ParseError& e) {
        error = e.what();
        return false;
    }
    line.hasDirectory = dir->count() > 0;
    line.hasKit = kit->count() > 0;
    if (status->count() > 0 && !CheckStatusFd(statusFd, line.statusFd, error)) {
        return false;
    }
    if (uiOption->count() > 0 && !ReadUi(ui, line.ui, error)) {
        return false;
    }
    if (line.console && line.ui != UiChoice::kAny && line.ui != UiChoice::kConsole) {
        error = "--console and --ui " + ui + " name different front ends";
        return false;
    }
    if (line.console) {
        line.ui = UiChoice::kConsole;
    }
    return true;
}

std::string UsageText(const std::string& program) {
    std::string text;
    text += "Usage: " + program + " [usecwd] [options]\n";
    text +=
        "Installs the configuration templates of the kit kelda.efd into a template\n"
        "directory.\n"
        "\n"
        "Where the kit is looked for:\n"
        "  beside the program itself; with usecwd as the first word, in the current\n"
        "  working directory; with --kit FILE, in FILE.\n"
        "\n"
        "Options:\n"
        "  usecwd            (first word only) look for the kit in the working directory\n"
        "  -L<code>, /L<code>\n"
        "                    language of the texts: hy az bg zh en fr ka de es hu it kk\n"
        "                    lv lt pl ro ru tr uk vi ar tk (default: from the locale)\n"
        "  -S, /S            start copying at once, without questions\n"
        "  --dir DIR         install into DIR instead of the proposed directory; a\n"
        "                    directory that does not exist is created\n"
        "  --kit FILE        install from the kit FILE\n"
        "  --console         use the text console even when a display is available;\n"
        "                    chosen by itself when no display can be opened\n"
        "  --ui NAME         use this front end only: gtk3, gtk2 or console; one that\n"
        "                    cannot start ends the program with status 2. Without it\n"
        "                    GTK 3 is tried, then GTK 2, then the console\n"
        "  --verbose         say on standard error why a front end was passed over\n"
        "  --status-fd N     write one JSON event a line to file descriptor N:\n"
        "                    start, progress, finished, error, cancelled\n"
        "  --dry-run         list what would be done with each kit file (new, update,\n"
        "                    keep, blocked) and end with the status the run would end\n"
        "                    with; change nothing, not even an interrupted run's undo\n"
        "  --help            show this text and end\n"
        "  --version         show the version and end\n"
        "Old-style words (-L, -S, /L, /S) are read up to the first L option: in\n"
        "'-Lde -S' the -S is not read, so put -S first. Other words without \"--\"\n"
        "are ignored; an unknown word starting with \"--\" is a usage error.\n"
        "This help is in English only; the installer itself speaks the -L language.\n"
        "\n"
        "Exit status:\n"
        "  0  installed (or nothing needed copying)\n"
        "  1  the copy failed and the template directory was restored (with\n"
        "     --dry-run: the copy would fail)\n"
        "  2  a start-up check failed (no kit, damaged kit, no space, unusable\n"
        "     directory) or the command line was wrong; nothing was changed\n"
        "  3  cancelled by the user; the template directory was restored\n"
        "  4  the copy failed and the template directory could not be fully restored\n"
        "  128+N  ended by signal N (SIGINT, SIGTERM, SIGHUP) during the copy, after\n"
        "     the template directory was restored\n"
        "The console front end always reports these. The windowed wizard reports\n"
        "them with -S and otherwise ends with 0.\n"
        "\n"
        "More in the manual page: man setup\n";
    return text;
}

// The version, and which kits this build accepts: an administrator checks
// here whether the installed program requires signed kits, and whose.
std::string VersionText() {
    std::string text = std::string("setup ") + kProgramVersion + "\n";
    const kit::KitTrust trust = kit::ProgramKitTrust();
    if (trust.policy != kit::SignaturePolicy::kRequireKnownKey || trust.keys.empty()) {
        return text + "Kits: no signature required\n";
    }
    return text + "Kits: must be signed by " + kit::ProgramKitSigner() + " (key " +
           kit::ToHex(kit::KeyIdOf(trust.keys.front())) + ")\n";
}

}  // namespace wizard
