// Times one installation run against `tar -xzf` of the same tree.
//
// The tree: 5,000 small files in 100 directories plus a few large files.
// Outside the timing it is packed twice, as a kit (kit writer) and as a
// gzip tarball. Then, alternately and several times, the opened kit is
// installed with InstallEngine into a fresh directory and the tarball is
// extracted with `tar -xzf` into another fresh one. Prints the best and the
// median time of each and their ratios, once for the installation alone and
// once including the opening of the kit (its inflation into the kit image),
// which is the part that corresponds to tar's decompression.
//
// Each round also installs once without the run's on-disk record and without
// the final sync (a policy that drops both) and times that sync alone, and
// once with the record but without the sync: the differences are what the
// record and the durability step cost.
//
// Usage: bench_install_vs_tar [rounds]   (default 5; scratch under $TMPDIR)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "no_record_file_system.h"

#include "fs/file_system.h"
#include "fs/tree_operations.h"
#include "install/install_engine.h"
#include "install/install_process_data.h"
#include "kit/install_data.h"
#include "kit/kit_writer.h"
#include "kit/lz_compressor.h"

namespace {

constexpr int kDirectories = 100;
constexpr int kFilesPerDirectory = 50;
constexpr int kLargeFiles = 4;
constexpr size_t kLargeFileBytes = 8u << 20;
constexpr time_t kTreeTime = 1600000000;

using Clock = std::chrono::steady_clock;

// Without the record and without the final sync: the baseline for their
// cost.
struct BareFileSystem : NoRecordFileSystem {
    static std::uint32_t SyncFileSystem(const stdx::string16&) { return 0; }
};

// The real policy with its record, but without the final sync.
struct NoSyncFileSystem : FileSystem {
    static std::uint32_t SyncFileSystem(const stdx::string16&) { return 0; }
};

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// User + system CPU seconds of this process, or of its finished children
// (sh, tar, gzip). Less disturbed by other load on the machine than the
// wall-clock time.
double CpuSeconds(int who) {
    struct rusage usage;
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

stdx::string16 Wide(const std::string& ascii) {
    return stdx::string16(ascii.begin(), ascii.end());
}

// Deterministic bytes that compress about as well as template text does.
std::string Content(unsigned seed, size_t size) {
    static const char* const kWords[] = {"template", "value", "=", "section", "\n", "name",
                                         "0",        "1",     " ", "key",     "[",  "]"};
    std::string out;
    out.reserve(size + 16);
    unsigned state = seed * 2654435761u + 1;
    while (out.size() < size) {
        state = state * 1103515245u + 12345u;
        out += kWords[(state >> 16) % 12];
        if ((state >> 8) % 7 == 0) {
            out += std::to_string(state % 100000);
        }
    }
    out.resize(size);
    return out;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = fclose(f) == 0 && ok;
    struct timeval times[2] = {{kTreeTime, 0}, {kTreeTime, 0}};
    return ok && utimes(path.c_str(), times) == 0;
}

bool MakeTree(const std::string& root) {
    if (mkdir(root.c_str(), 0755) != 0) {
        return false;
    }
    for (int d = 0; d < kDirectories; ++d) {
        const std::string dir = root + "/dir" + std::to_string(d);
        if (mkdir(dir.c_str(), 0755) != 0) {
            return false;
        }
        for (int f = 0; f < kFilesPerDirectory; ++f) {
            const unsigned seed = unsigned(d * kFilesPerDirectory + f);
            const size_t size = 200 + (seed * 7919u) % 3800;
            if (!WriteFile(dir + "/file" + std::to_string(f) + ".cfg", Content(seed, size))) {
                return false;
            }
        }
    }
    for (int i = 0; i < kLargeFiles; ++i) {
        if (!WriteFile(root + "/large" + std::to_string(i) + ".bin",
                       Content(100000u + unsigned(i), kLargeFileBytes))) {
            return false;
        }
    }
    return true;
}

size_t CountFiles(const std::string& root) {
    std::string command = "find '" + root + "' -type f | wc -l";
    FILE* p = popen(command.c_str(), "r");
    if (p == nullptr) {
        return 0;
    }
    unsigned long count = 0;
    if (fscanf(p, "%lu", &count) != 1) {
        count = 0;
    }
    pclose(p);
    return count;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const char* tmp = getenv("TMPDIR");
    std::string scratchTemplate =
        std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/bench-install-XXXXXX";
    std::vector<char> buffer(scratchTemplate.begin(), scratchTemplate.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        perror("mkdtemp");
        return 1;
    }
    const std::string work = buffer.data();
    const std::string tree = work + "/tree";
    const std::string kitPath = work + "/kelda.efd";
    const std::string tarPath = work + "/tree.tar.gz";

    // Packing, outside the timing.
    if (!MakeTree(tree)) {
        fprintf(stderr, "cannot build the source tree in %s\n", work.c_str());
        fsdetail::RemoveTree(work.c_str());
        return 1;
    }
    kit::KitWriter writer;
    writer.AddProduct({u"en", u"Benchmark", u"Bench", u""});
    writer.SetCompressionLevel(6);
    std::string error;
    if (!writer.AddTree(tree, &error) || !writer.WriteKit(kitPath, &error)) {
        fprintf(stderr, "kit: %s\n", error.c_str());
        fsdetail::RemoveTree(work.c_str());
        return 1;
    }
    if (system(("tar -czf '" + tarPath + "' -C '" + tree + "' .").c_str()) != 0) {
        fprintf(stderr, "tar -czf failed\n");
        fsdetail::RemoveTree(work.c_str());
        return 1;
    }
    const size_t expected = writer.files().size();

    std::vector<double> openTimes, installTimes, tarTimes, installCpu, tarCpu, bareTimes, syncTimes,
        recordTimes;
    bool ok = true;
    for (int round = 0; round < rounds && ok; ++round) {
        const std::string installDir = work + "/installed" + std::to_string(round);
        const std::string tarDir = work + "/untarred" + std::to_string(round);

        // The kit is opened anew each round: the inflation is timed apart.
        InstallData<LZCompressor, FileSystem> kit;
        auto start = Clock::now();
        const uint32_t opened = kit.Open(Wide(kitPath));
        openTimes.push_back(Seconds(Clock::now() - start));
        if (opened != 0) {
            fprintf(stderr, "opening the kit failed with %u\n", opened);
            ok = false;
            break;
        }

        InstallProcessData channel;
        channel.Start(&kit, Wide(installDir));
        InstallEngine engine;
        engine.finishPauseMilliseconds = 0;
        double cpu = CpuSeconds(RUSAGE_SELF);
        start = Clock::now();
        const uint32_t result = engine.Run(&channel);
        installTimes.push_back(Seconds(Clock::now() - start));
        installCpu.push_back(CpuSeconds(RUSAGE_SELF) - cpu);
        if (result != 0) {
            fprintf(stderr, "installation failed with %u\n", result);
            ok = false;
            break;
        }

        {
            const std::string bareDir = work + "/bare" + std::to_string(round);
            channel.Start(&kit, Wide(bareDir));
            BasicInstallEngine<BareFileSystem, InstallData<LZCompressor, FileSystem>> bare;
            bare.finishPauseMilliseconds = 0;
            start = Clock::now();
            if (bare.Run(&channel) != 0) {
                fprintf(stderr, "installation without record failed\n");
                ok = false;
                break;
            }
            bareTimes.push_back(Seconds(Clock::now() - start));
            const std::string recordDir = work + "/record" + std::to_string(round);
            channel.Start(&kit, Wide(recordDir));
            BasicInstallEngine<NoSyncFileSystem, InstallData<LZCompressor, FileSystem>> recorded;
            recorded.finishPauseMilliseconds = 0;
            start = Clock::now();
            if (recorded.Run(&channel) != 0) {
                fprintf(stderr, "installation without sync failed\n");
                ok = false;
                break;
            }
            recordTimes.push_back(Seconds(Clock::now() - start));
            start = Clock::now();
            FileSystem::SyncFileSystem(Wide(bareDir));
            syncTimes.push_back(Seconds(Clock::now() - start));
        }

        cpu = CpuSeconds(RUSAGE_CHILDREN);
        start = Clock::now();
        const int tarStatus = system(
            ("mkdir '" + tarDir + "' && tar -xzf '" + tarPath + "' -C '" + tarDir + "'").c_str());
        tarTimes.push_back(Seconds(Clock::now() - start));
        tarCpu.push_back(CpuSeconds(RUSAGE_CHILDREN) - cpu);
        if (tarStatus != 0) {
            fprintf(stderr, "tar -xzf failed\n");
            ok = false;
            break;
        }
        if (round == 0) {
            const size_t installed = CountFiles(installDir);
            const size_t untarred = CountFiles(tarDir);
            if (installed != expected || untarred != expected) {
                fprintf(stderr, "file counts differ: kit %zu, installed %zu, tar %zu\n", expected,
                        installed, untarred);
                ok = false;
            }
        }
        // The trees stay until the end: freeing thousands of inodes between
        // rounds makes the file system's inode allocation slower for
        // whichever side runs next.
    }
    fsdetail::RemoveTree(work.c_str());
    if (!ok) {
        return 1;
    }

    std::vector<double> openAndInstall;
    for (size_t i = 0; i < installTimes.size(); ++i) {
        openAndInstall.push_back(openTimes[i] + installTimes[i]);
    }
    const double install = Median(installTimes);
    const double total = Median(openAndInstall);
    const double tar = Median(tarTimes);
    printf("tree: %d small files in %d directories + %d x %zu MiB, %zu files, %d rounds\n",
           kDirectories * kFilesPerDirectory, kDirectories, kLargeFiles, kLargeFileBytes >> 20,
           expected, rounds);
    printf("install (InstallEngine::Run)  median %.3f s  best %.3f s\n", install,
           *std::min_element(installTimes.begin(), installTimes.end()));
    printf("open kit + install            median %.3f s  best %.3f s\n", total,
           *std::min_element(openAndInstall.begin(), openAndInstall.end()));
    printf("tar -xzf                      median %.3f s  best %.3f s\n", tar,
           *std::min_element(tarTimes.begin(), tarTimes.end()));
    printf("CPU time (user + system)      install median %.3f s   tar -xzf median %.3f s\n",
           Median(installCpu), Median(tarCpu));
    const double bare = Median(bareTimes);
    const double sync = Median(syncTimes);
    printf("install without record or sync median %.3f s   syncfs alone median %.3f s\n", bare,
           sync);
    const double recorded = Median(recordTimes);
    printf("install with record, without sync median %.3f s\n", recorded);
    printf("the record adds %.1f %%, record + sync %.1f %% to the bare run\n",
           100.0 * (recorded - bare) / bare, 100.0 * (install - bare) / bare);
    printf(
        "ratio install / tar: %.2f   (open + install) / tar: %.2f   CPU: %.2f   target <= 1.50\n",
        install / tar, total / tar, Median(installCpu) / Median(tarCpu));
    return 0;
}
