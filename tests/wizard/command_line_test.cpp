// The long options beside the historical words: what each command line
// yields, and the usage errors that end the program before anything is done.
#include "wizard/command_line.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

struct Parsed {
    bool ok;
    wizard::CommandLine line;
    std::string error;
};

Parsed Parse(std::vector<std::string> words) {
    words.insert(words.begin(), "setup");
    std::vector<const char*> argv;
    for (const auto& w : words) {
        argv.push_back(w.c_str());
    }
    argv.push_back(nullptr);
    Parsed p;
    p.ok = wizard::ParseCommandLine(int(words.size()), argv.data(), p.line, p.error);
    return p;
}

TEST(CommandLine, HistoricalAndUnknownWordsPassThrough) {
    const std::vector<std::vector<std::string>> lines = {
        {"usecwd", "-Lde", "-S"},
        {"/Lfr", "/s", "stray"},
        {"--sync", "--display", ":3", "-x"},
        {},
    };
    for (const auto& words : lines) {
        Parsed p = Parse(words);
        EXPECT_TRUE(p.ok) << p.error;
        EXPECT_FALSE(p.line.help || p.line.version || p.line.console || p.line.dryRun ||
                     p.line.hasDirectory);
        EXPECT_EQ(p.line.statusFd, -1);
    }
}

TEST(CommandLine, LongOptionsAnywhereAmongTheOldWords) {
    Parsed p = Parse({"usecwd", "-Lde", "--console", "--dir", "/tmp/a b; $(x)", "-S", "--dry-run",
                      "--status-fd", "1", "--version", "--help"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.line.console);
    EXPECT_TRUE(p.line.dryRun);
    EXPECT_TRUE(p.line.help);
    EXPECT_TRUE(p.line.version);
    EXPECT_TRUE(p.line.hasDirectory);
    EXPECT_EQ(p.line.directory, "/tmp/a b; $(x)");
    EXPECT_EQ(p.line.statusFd, 1);

    // Only the old-style words reach the language scan: the values do not.
    EXPECT_EQ(p.line.oldStyle, (std::vector<std::string>{"setup", "usecwd", "-Lde", "-S"}));

    p = Parse({"--dir", "/srv/t", "--kit", "/long/kelda.efd", "--display", ":1", "/Lfr"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.line.directory, "/srv/t");
    EXPECT_TRUE(p.line.hasKit);
    EXPECT_EQ(p.line.kit, "/long/kelda.efd");
    EXPECT_EQ(p.line.oldStyle, (std::vector<std::string>{"setup", "/Lfr"}));

    // --console and --ui console are one choice; --ui takes its value in
    // either spelling.
    for (const auto& words : std::vector<std::vector<std::string>>{
             {"--console"}, {"--ui", "console"}, {"--console", "--ui=console"}}) {
        p = Parse(words);
        ASSERT_TRUE(p.ok) << p.error;
        EXPECT_EQ(p.line.ui, wizard::UiChoice::kConsole);
    }
    p = Parse({"--ui", "gtk2", "--verbose", "-S"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.line.ui, wizard::UiChoice::kGtk2);
    EXPECT_TRUE(p.line.verbose);
    EXPECT_EQ(p.line.oldStyle, (std::vector<std::string>{"setup", "-S"}));
    EXPECT_EQ(Parse({"--ui=gtk3"}).line.ui, wizard::UiChoice::kGtk3);
    EXPECT_EQ(Parse({}).line.ui, wizard::UiChoice::kAny);

    p = Parse({"--dir=/x y", "--status-fd=2"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.line.hasDirectory);
    EXPECT_EQ(p.line.directory, "/x y");
    EXPECT_EQ(p.line.statusFd, 2);
}

TEST(CommandLine, UsageErrors) {
    int fds[2];
    ASSERT_EQ(0, pipe(fds));
    const std::string readEnd = std::to_string(fds[0]);
    const std::string writeEnd = std::to_string(fds[1]);
    int closed = dup(fds[1]);
    close(closed);
    const struct {
        std::vector<std::string> words;
        const char* errorPart;
    } cases[] = {
        {{"--dir"}, "'--dir' needs a directory"},
        {{"--dir="}, "'--dir' needs a directory"},
        {{"--dir", "--console"}, "'--dir' needs a directory"},
        {{"--kit"}, "'--kit' needs a kit file"},
        {{"--dryrun"}, "unknown option '--dryrun'; did you mean '--dry-run'?"},
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"--help=yes"}, "takes no value"},
        {{"--ui"}, "'--ui' needs a front end"},
        {{"--ui", "qt"}, "--ui: \"qt\" is not a front end; choose gtk3, gtk2 or console"},
        {{"--ui", "GTK3"}, "is not a front end"},
        {{"--console", "--ui", "gtk3"}, "--console and --ui gtk3 name different front ends"},
        {{"--verbose=1"}, "takes no value"},
        {{"--verbos"}, "did you mean '--verbose'?"},
        {{"somewhere/kelda.efd"}, "--kit FILE"},
        {{"--status-fd"}, "--status-fd"},
        {{"--status-fd", "x1"}, "not a file descriptor"},
        {{"--status-fd", "-1"}, "not a file descriptor"},
        {{"--status-fd", "99999999999"}, "not a file descriptor"},
        {{"--status-fd", std::to_string(closed)}, "not open"},
        {{"--status-fd", readEnd}, "not open for writing"},
    };
    for (const auto& c : cases) {
        Parsed p = Parse(c.words);
        EXPECT_FALSE(p.ok) << c.words.back();
        EXPECT_NE(p.error.find(c.errorPart), std::string::npos) << p.error;
    }
    Parsed good = Parse({"--status-fd", writeEnd});
    EXPECT_TRUE(good.ok) << good.error;
    EXPECT_EQ(good.line.statusFd, fds[1]);
    close(fds[0]);
    close(fds[1]);
}

TEST(CommandLine, HelpNamesEveryOptionAndStatus) {
    const std::string help = wizard::UsageText("setup");
    for (const char* part :
         {"usecwd", "-L<code>", "/L<code>", "-S", "--dir DIR", "--console", "--status-fd N",
          "--dry-run", "--help", "--version", "kelda.efd", "--ui NAME", "--verbose", "\n  0  ",
          "\n  1  ", "\n  2  ", "\n  3  ", "\n  4  "}) {
        EXPECT_NE(help.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(wizard::VersionText().rfind("setup ", 0), 0u);
}

}  // namespace
