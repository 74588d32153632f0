// What the run's on-disk record costs: the same installation with the record
// (its write-ahead entries and one fdatasync per batch of files) and without
// it, side by side, on 5,000 and on 100,000 small files. Half of the files
// replace an older copy already in the template directory (their earlier
// versions move into staging), half are new. Both sides end with the run's
// sync of the file system, as a real run does: an fdatasync of the record
// also waits for the file data written before it (ext4's ordered mode), so
// the record mostly moves writing that the final sync would do anyway.
//
// Usage: bench_journal_cost [rounds] [files]   (default 5 rounds for 5,000
// files, a third as many for 100,000; with `files`, that many only; scratch
// under $TMPDIR, which is also the state directory, so that staging shares
// its file system)
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fs/file_system.h"
#include "fs/tree_operations.h"
#include "install/install_engine.h"
#include "install/install_process_data.h"
#include "kit/install_data.h"
#include "kit/kit_writer.h"
#include "kit/lz_compressor.h"
#include "no_record_file_system.h"

namespace {

constexpr int kFilesPerDirectory = 100;
constexpr time_t kOldTime = 1500000000;
constexpr time_t kKitTime = 1600000000;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

stdx::string16 Wide(const std::string& ascii) {
    return stdx::string16(ascii.begin(), ascii.end());
}

bool WriteFile(const std::string& path, const std::string& bytes, time_t time) {
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = fclose(f) == 0 && ok;
    struct timeval times[2] = {{time, 0}, {time, 0}};
    return ok && utimes(path.c_str(), times) == 0;
}

std::string Name(int i) {
    return "dir" + std::to_string(i / kFilesPerDirectory) + "/file" + std::to_string(i) + ".cfg";
}

// The kit of `count` files, and `before`: the older copies of every second one.
bool Prepare(const std::string& work, int count, std::string& kitPath, std::string& before) {
    kit::KitWriter writer;
    writer.AddProduct({u"en", u"Benchmark", u"Bench", u""});
    before = work + "/before";
    if (mkdir(before.c_str(), 0755) != 0) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        const std::string name = Name(i);
        std::string wide = name;
        std::replace(wide.begin(), wide.end(), '/', '\\');
        writer.AddFile(Wide(wide), kit::FileTimeFromUnix(kKitTime),
                       "key" + std::to_string(i) + " = value\n" + std::string(200, 'x'));
        if (i % 2 == 0) {
            const std::string dir = before + "/dir" + std::to_string(i / kFilesPerDirectory);
            mkdir(dir.c_str(), 0755);
            if (!WriteFile(before + "/" + name, "older\n", kOldTime)) {
                return false;
            }
        }
    }
    kitPath = work + "/kelda.efd";
    std::string error;
    return writer.WriteKit(kitPath, &error);
}

template <class FS>
double TimeRun(InstallData<LZCompressor, FileSystem>& kit, const std::string& before,
               const std::string& target) {
    if (system(("cp -a '" + before + "' '" + target + "'").c_str()) != 0) {
        return -1;
    }
    InstallProcessData channel;
    channel.Start(&kit, Wide(target));
    BasicInstallEngine<FS, InstallData<LZCompressor, FileSystem>> engine;
    engine.finishPauseMilliseconds = 0;
    const auto start = Clock::now();
    const uint32_t result = engine.Run(&channel);
    const double seconds = Seconds(Clock::now() - start);
    fsdetail::RemoveTree(target.c_str());
    return result == 0 ? seconds : -1;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

bool Measure(const std::string& base, int count, int rounds) {
    const std::string work = base + "/n" + std::to_string(count);
    mkdir(work.c_str(), 0755);
    std::string kitPath;
    std::string before;
    if (!Prepare(work, count, kitPath, before)) {
        fprintf(stderr, "cannot prepare %d files\n", count);
        return false;
    }
    InstallData<LZCompressor, FileSystem> kit;
    if (kit.Open(Wide(kitPath)) != 0) {
        fprintf(stderr, "cannot open the kit\n");
        return false;
    }
    std::vector<double> with, without;
    for (int round = 0; round < rounds; ++round) {
        // Alternating, so that neither side always runs on a warmer cache.
        const double a = TimeRun<FileSystem>(kit, before, work + "/with");
        const double b = TimeRun<NoRecordFileSystem>(kit, before, work + "/without");
        if (a < 0 || b < 0) {
            fprintf(stderr, "an installation failed\n");
            return false;
        }
        with.push_back(a);
        without.push_back(b);
    }
    const double w = Median(with);
    const double wo = Median(without);
    using Engine = BasicInstallEngine<FileSystem, InstallData<LZCompressor, FileSystem>>;
    size_t batches = 0;
    for (size_t done = 0; done < size_t(count); ++batches) {
        done += std::min(Engine::kMaxBatchFiles, std::max(Engine::kBatchFiles, done));
    }
    // The header's and the end's syncs besides those of the batches.
    printf("%6d files (half replaced), %d rounds, %zu fdatasyncs of the record\n", count, rounds,
           batches + 2);
    printf("  with the record     median %.3f s  best %.3f s\n", w,
           *std::min_element(with.begin(), with.end()));
    printf("  without the record  median %.3f s  best %.3f s\n", wo,
           *std::min_element(without.begin(), without.end()));
    printf("  the record adds %.1f %%   (target <= 10 %%)\n", 100.0 * (w - wo) / wo);
    fflush(stdout);
    fsdetail::RemoveTree(work.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const char* tmp = getenv("TMPDIR");
    std::string scratch =
        std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/bench-record-XXXXXX";
    if (mkdtemp(&scratch[0]) == nullptr) {
        perror("mkdtemp");
        return 1;
    }
    // Staging and the record in the scratch's own file system.
    setenv("XDG_STATE_HOME", (scratch + "/state").c_str(), 1);
    const int files = argc > 2 ? atoi(argv[2]) : 0;
    const bool ok = files > 0 ? Measure(scratch, files, rounds)
                              : Measure(scratch, 5000, rounds) &&
                                    Measure(scratch, 100000, std::max(1, rounds / 3));
    fsdetail::RemoveTree(scratch.c_str());
    return ok ? 0 : 1;
}
