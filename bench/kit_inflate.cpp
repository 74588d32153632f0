// Benchmark: opening a large kit (inflating it to the kit image on disk)
// against `gzip -dc` of the very same deflate stream, in the same run.
//
//   bench_kit_inflate [MiB of content, default 512] [zlib level, default 9]
//                     [paired rounds, default 3]
//
// The content is mixed: text-like, random and zero-filled files of 8 MiB,
// written to a scratch directory under $TMPDIR (or /tmp) and packed with the
// kit writer. The gzip file wraps the kit's own deflate stream in a gzip header
// and trailer, so both sides inflate identical data at identical level and
// write the result to a file in the same directory. Opens with the build's
// back end and (where that is ISA-L) with zlib, runs gzip -dc and, where it is
// installed, ISA-L's igzip -dc, in turn for each round; prints the medians,
// each one's speed against gzip -dc, and peak resident memory (getrusage ru_maxrss) of the whole
// run and of the open alone (the high-water mark is reset just before it where Linux allows), which
// must not grow with the kit's size. gzip's own peak is not shown: a child's ru_maxrss starts from
// its parent's size at fork.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "fs/file_system.h"
#include "kit/install_data.h"
#include "kit/kit_name.h"
#include "kit/kit_writer.h"
#include "kit/lz_compressor.h"
#include "mixed_content.h"

namespace {

using benchcontent::kMiB;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

[[noreturn]] void Die(const std::string& what) {
    std::fprintf(stderr, "bench_kit_inflate: %s\n", what.c_str());
    std::exit(1);
}

long PeakKiB(int who) {
    struct rusage usage;
    getrusage(who, &usage);
    return usage.ru_maxrss;
}

// Resets this process's peak-RSS mark (Linux 4.0+); false where unsupported.
bool ResetPeak() {
    FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (!f)
        return false;
    bool ok = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && ok;
}

uint64_t FileSize(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        Die("cannot stat " + path);
    return uint64_t(st.st_size);
}

// crc32 of a whole file, streamed.
uint32_t FileCrc(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        Die("cannot read " + path);
    std::vector<unsigned char> chunk(kMiB);
    uLong crc = crc32(0L, Z_NULL, 0);
    size_t n;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), f)) > 0)
        crc = crc32(crc, chunk.data(), uInt(n));
    std::fclose(f);
    return uint32_t(crc);
}

// Bytes of the kit's deflate stream: the file less its seal, whose length
// the footer at the very end gives (kit/kit_trailer.h).
uint64_t StreamLength(const std::string& kitPath) {
    const uint64_t size = FileSize(kitPath);
    unsigned char footer[12] = {};
    FILE* f = std::fopen(kitPath.c_str(), "rb");
    if (!f || size < sizeof footer || std::fseek(f, long(size - sizeof footer), SEEK_SET) != 0 ||
        std::fread(footer, 1, sizeof footer, f) != sizeof footer)
        Die("cannot read " + kitPath);
    std::fclose(f);
    if (std::memcmp(footer + 4, "EFDSEND\x1A", 8) != 0)
        return size;
    return size - (footer[0] | footer[1] << 8 | footer[2] << 16 | uint32_t(footer[3]) << 24);
}

// Appends the first `length` bytes of `path`.
void AppendFile(FILE* out, const std::string& path, uint64_t length) {
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in)
        Die("cannot read " + path);
    std::vector<char> chunk(kMiB);
    size_t n;
    while (length > 0 && (n = std::fread(chunk.data(), 1, length < kMiB ? length : kMiB, in)) > 0) {
        if (std::fwrite(chunk.data(), 1, n, out) != n)
            Die("cannot write the gzip file");
        length -= n;
    }
    std::fclose(in);
}

// The kit's raw deflate stream as a gzip file: header, stream, crc32 and
// length of the inflated data.
void WriteGzip(const std::string& kitPath, const std::string& imagePath, const std::string& out) {
    FILE* f = std::fopen(out.c_str(), "wb");
    if (!f)
        Die("cannot write " + out);
    const unsigned char header[10] = {0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 2, 3};
    std::fwrite(header, 1, sizeof header, f);
    AppendFile(f, kitPath, StreamLength(kitPath));
    uint32_t trailer[2] = {FileCrc(imagePath), uint32_t(FileSize(imagePath))};
    for (uint32_t v : trailer) {
        unsigned char b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        std::fwrite(b, 1, 4, f);
    }
    if (std::fclose(f) != 0)
        Die("cannot write " + out);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double RunSeconds(const std::string& command) {
    Clock::time_point start = Clock::now();
    if (std::system(command.c_str()) != 0)
        Die(command + " failed");
    return Seconds(start);
}

struct Timing {
    double seconds = 0;
    long peakKiB = 0;
};

// Opens the kit with the given compressor; `withImage` sees the image while
// it exists. The image has no name, so it is reached through its open handle.
template <class Compressor>
Timing OpenKit(const stdx::basic_string<char16_t>& kitPath,
               const std::function<void(const std::string&)>& withImage = nullptr) {
    InstallData<Compressor, FileSystem> kit;
    Timing timing;
    Clock::time_point start = Clock::now();
    uint32_t rc = kit.Open(kitPath);
    timing.seconds = Seconds(start);
    timing.peakKiB = PeakKiB(RUSAGE_SELF);
    if (rc != 0)
        Die("InstallData::Open failed with " + std::to_string(rc));
    if (withImage)
        withImage("/proc/self/fd/" + std::to_string(kit.imageHandle));
    return timing;
}

void RemoveAll(const std::string& dir, const std::vector<std::string>& names) {
    for (const std::string& name : names) unlink((dir + "/" + name).c_str());
    rmdir((dir + "/tmp").c_str());
    rmdir(dir.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    size_t totalMiB = argc > 1 ? size_t(std::strtoul(argv[1], nullptr, 10)) : 512;
    int level = argc > 2 ? std::atoi(argv[2]) : 9;
    int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    if (totalMiB == 0 || totalMiB > 4000 || level < 0 || level > 9 || rounds < 1)
        Die("usage: bench_kit_inflate [MiB 1-4000] [level 0-9] [rounds]");

    const char* base = std::getenv("TMPDIR");
    std::string dir = std::string(base && *base ? base : "/tmp") + "/kit-inflate-XXXXXX";
    if (!mkdtemp(&dir[0]))
        Die("cannot create a scratch directory");
    if (mkdir((dir + "/tmp").c_str(), 0700) != 0)
        Die("cannot create " + dir + "/tmp");

    std::printf("content: %zu MiB (text-like, random, zeros), level %d, in %s\n", totalMiB, level,
                dir.c_str());
    std::fflush(stdout);
    std::vector<std::string> paths = benchcontent::WriteMixedContent(dir, totalMiB);

    kit::KitWriter writer;
    writer.SetCompressionLevel(level);
    writer.AddProduct({u"en", u"Bench", u"Bench", u""});
    std::string error;
    for (size_t i = 0; i < paths.size(); ++i) {
        stdx::basic_string<char16_t> name;
        kit::Utf8ToUtf16("data\\content-" + std::to_string(i), &name);
        if (!writer.AddDiskFile(name, paths[i], &error))
            Die(error);
    }
    const std::string kitPath = dir + "/kelda.efd";
    Clock::time_point start = Clock::now();
    if (!writer.WriteKit(kitPath, &error))
        Die(error);
    double writeSeconds = Seconds(start);
    for (const std::string& p : paths) unlink(p.c_str());
    uint64_t kitSize = FileSize(kitPath);
    std::printf("kit written: %.1f MiB in %.2f s\n", double(kitSize) / kMiB, writeSeconds);
    long peakBeforeOpen = PeakKiB(RUSAGE_SELF);

    // The image goes to the scratch directory's tmp/, like the installer's.
    setenv("TMPDIR", (dir + "/tmp").c_str(), 1);
    stdx::basic_string<char16_t> kitPath16;
    kit::Utf8ToUtf16(kitPath, &kitPath16);
    const bool peakReset = ResetPeak();
    const Timing first = OpenKit<LZCompressor>(kitPath16, [&](const std::string& imagePath) {
        std::printf("image: %.1f MiB\n", double(FileSize(imagePath)) / kMiB);
        // Keep the image for the gzip trailer, then let the object remove it.
        WriteGzip(kitPath, imagePath, dir + "/kit.gz");
    });
    const long openPeak = first.peakKiB;

    // Paired rounds, each side once per round in turn, so that a burst of
    // other work on the machine hits both alike; medians are reported.
    const std::string gunzipped = dir + "/tmp/gunzipped";
    const bool haveIgzip = std::system("igzip --version >/dev/null 2>&1") == 0;
    std::vector<double> ours, zlibOurs, gzipTimes, igzipTimes;
    for (int r = 0; r < rounds; ++r) {
        ours.push_back(OpenKit<LZCompressor>(kitPath16).seconds);
#if SETUP_HAVE_ISAL
        zlibOurs.push_back(OpenKit<BasicLZCompressor<ZlibInflater>>(kitPath16).seconds);
#endif
        gzipTimes.push_back(RunSeconds("gzip -dc '" + dir + "/kit.gz' > '" + gunzipped + "'"));
        if (haveIgzip) {
            igzipTimes.push_back(
                RunSeconds("igzip -dc '" + dir + "/kit.gz' > '" + gunzipped + "'"));
        }
        unlink(gunzipped.c_str());
    }
    const double gzip = Median(gzipTimes);
    std::printf("medians of %d paired rounds:\n", rounds);
    std::printf("  InstallData::Open (%s): %8.3f s  (%4.0f MiB/s)  %5.2fx as fast as gzip -dc\n",
                RuntimeInflater::Name(), Median(ours), double(totalMiB) / Median(ours),
                gzip / Median(ours));
    if (!zlibOurs.empty()) {
        std::printf(
            "  InstallData::Open (zlib):  %8.3f s  (%4.0f MiB/s)  %5.2fx as fast as gzip -dc\n",
            Median(zlibOurs), double(totalMiB) / Median(zlibOurs), gzip / Median(zlibOurs));
    }
    std::printf("  gzip -dc:                  %8.3f s  (%4.0f MiB/s)\n", gzip,
                double(totalMiB) / gzip);
    if (!igzipTimes.empty()) {
        const double igzip = Median(igzipTimes);
        std::printf(
            "  igzip -dc:                 %8.3f s  (%4.0f MiB/s)  %5.2fx as fast as gzip -dc\n",
            igzip, double(totalMiB) / igzip, gzip / igzip);
    }
    std::printf("peak RSS: whole run before open %ld KiB; during open %ld KiB%s\n", peakBeforeOpen,
                openPeak, peakReset ? "" : " (mark not resettable: includes the run before)");

    RemoveAll(dir, {"kelda.efd", "kit.gz", "tmp/gunzipped"});
    return 0;
}
