// Times the installation of one file 1,999 directories deep (a legal path
// of about 4,000 bytes) against `mkdir -p` of the same directories and a
// one-line write by the shell, in the same run. The engine makes each level
// inside the one above it, so its cost grows with the depth, not with its
// square.
//
// Usage: bench_deep_path_vs_mkdir [rounds]   (default 3; scratch under $TMPDIR)
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fs/tree_operations.h"
#include "install/install_engine.h"
#include "install/install_process_data.h"
#include "kit/install_data.h"
#include "kit/kit_writer.h"
#include "kit/lz_compressor.h"

namespace {

constexpr int kLevels = 1999;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

stdx::string16 Wide(const std::string& ascii) {
    return stdx::string16(ascii.begin(), ascii.end());
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const char* tmp = getenv("TMPDIR");
    std::string scratch = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/bd-XXXXXX";
    if (mkdtemp(&scratch[0]) == nullptr) {
        perror("mkdtemp");
        return 1;
    }
    std::string name;
    std::string relative;
    for (int i = 0; i < kLevels; ++i) {
        name += "a\\";
        relative += "a/";
    }
    name += "f.txt";

    kit::KitWriter writer;
    writer.AddProduct({u"en", u"Deep", u"Bench", u""});
    writer.AddFile(Wide(name), kit::FileTimeFromUnix(1600000000), "deep\n");
    std::string error;
    const std::string kitPath = scratch + "/kelda.efd";
    if (!writer.WriteKit(kitPath, &error)) {
        fprintf(stderr, "kit: %s\n", error.c_str());
        fsdetail::RemoveTree(scratch.c_str());
        return 1;
    }
    InstallData<LZCompressor, FileSystem> kit;
    if (kit.Open(Wide(kitPath)) != 0) {
        fprintf(stderr, "cannot open the kit\n");
        fsdetail::RemoveTree(scratch.c_str());
        return 1;
    }

    std::vector<double> install, shell;
    for (int round = 0; round < rounds; ++round) {
        const std::string ours = scratch + "/i" + std::to_string(round) + "/";
        InstallProcessData channel;
        channel.Start(&kit, Wide(ours));
        InstallEngine engine;
        engine.finishPauseMilliseconds = 0;
        auto start = Clock::now();
        const uint32_t result = engine.Run(&channel);
        install.push_back(Seconds(Clock::now() - start));
        if (result != 0) {
            fprintf(stderr, "installation failed with %u\n", result);
            fsdetail::RemoveTree(scratch.c_str());
            return 1;
        }

        const std::string theirs = scratch + "/m" + std::to_string(round) + "/" + relative;
        start = Clock::now();
        const int status =
            system(("mkdir -p '" + theirs + "' && echo deep > '" + theirs + "f.txt'").c_str());
        shell.push_back(Seconds(Clock::now() - start));
        if (status != 0) {
            fprintf(stderr, "mkdir -p failed\n");
            fsdetail::RemoveTree(scratch.c_str());
            return 1;
        }
    }
    fsdetail::RemoveTree(scratch.c_str());
    const double ourBest = *std::min_element(install.begin(), install.end());
    const double theirBest = *std::min_element(shell.begin(), shell.end());
    printf("levels %d\n", kLevels);
    printf("install (InstallEngine::Run)  best %.3f s\n", ourBest);
    printf("mkdir -p and a write          best %.3f s\n", theirBest);
    printf("ratio install / mkdir -p      %.2f\n", ourBest / theirBest);
    return 0;
}
