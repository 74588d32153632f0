// Times the launcher list at start-up (LauncherConfig::ReadTemplateDirs) and
// at write-back (LauncherConfig::WriteTemplateDirs) for launcher files of
// 5,000, 20,000 and 50,000 lines, against awk doing the same job on the same
// file in the same round: drop the lines already seen, ignoring case, and
// write the rest to a new file. The time per line must not grow with the
// file: the last column compares it with the smallest file's.
//
// Usage: bench_launcher_list [rounds]   (default 5; scratch under $TMPDIR)
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "fs/tree_operations.h"
#include "launcher/launcher_config.h"
#include "launcher/launcher_paths.h"
#include "text/string_util.h"
#include "text/utf8.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A launcher file of `lines` directory lines (every tenth one a second
// spelling of an earlier one, in another case) and a few other keys.
void WriteLauncherFile(const std::string& path, int lines) {
    std::ofstream out(path);
    out << "Language=en\nWindowWidth=800\n";
    for (int i = 0; i < lines; ++i) {
        if (i % 10 == 9) {
            out << "ConfigurationTemplatesLocation=/HOME/USER/TEMPLATES/SET" << i - 1 << "\n";
        } else {
            out << "ConfigurationTemplatesLocation=/home/user/templates/set" << i << "\n";
        }
    }
    out << "LastRun=2026-01-01\n";
}

double RunSeconds(const std::string& command) {
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    return Seconds(Clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const char* tmp = std::getenv("TMPDIR");
    std::string scratch =
        std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/bench-launcher-XXXXXX";
    if (mkdtemp(&scratch[0]) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    setenv("HOME", scratch.c_str(), 1);
    stdx::select_environment_locale();
    const std::string file = stdx::to_utf8(PrimaryLauncherFile()).c_str();
    const std::string dir = file.substr(0, file.rfind('/'));
    if (std::system(("mkdir -p '" + dir + "'").c_str()) != 0) {
        return 1;
    }
    const std::string awk = "awk '!seen[tolower($0)]++' '" + file + "' > '" + file + ".awk'";

    std::printf("%-8s %12s %12s %12s %7s %14s\n", "lines", "read", "write-back", "awk", "ratio",
                "per line vs 5k");
    double firstPerLine = 0;
    for (int lines : {5000, 20000, 50000}) {
        std::vector<double> reads, writes, awks;
        size_t listed = 0;
        for (int r = 0; r < rounds; ++r) {
            WriteLauncherFile(file, lines);
            auto start = Clock::now();
            std::vector<stdx::string16> dirs =
                LauncherConfig::ReadTemplateDirs(LauncherMode::kPrimary);
            reads.push_back(Seconds(Clock::now() - start));
            listed = dirs.size();
            dirs.insert(dirs.begin(), u"/home/user/templates/new");
            start = Clock::now();
            LauncherConfig::WriteTemplateDirs(dirs, LauncherMode::kPrimary);
            writes.push_back(Seconds(Clock::now() - start));
            WriteLauncherFile(file, lines);
            awks.push_back(RunSeconds(awk));
        }
        const double ours = Median(reads) + Median(writes);
        const double perLine = ours / lines;
        if (firstPerLine == 0) {
            firstPerLine = perLine;
        }
        std::printf("%-8d %10.3f s %10.3f s %10.3f s %7.2f %14.2f   (%zu listed)\n", lines,
                    Median(reads), Median(writes), Median(awks), ours / Median(awks),
                    perLine / firstPerLine, listed);
    }
    std::printf("medians of %d paired rounds; ratio: (read + write-back) / awk\n", rounds);
    fsdetail::RemoveTree(scratch.c_str());
    return 0;
}
