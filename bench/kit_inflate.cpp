// Benchmark: opening a large kit (inflating it to the kit image on disk)
// against `gzip -dc` of the very same deflate stream, in the same run.
//
//   bench_kit_inflate [MiB of content, default 512] [zlib level, default 9]
//
// The content is mixed: text-like, random and zero-filled files of 8 MiB,
// written to a scratch directory under $TMPDIR (or /tmp) and packed with the
// kit writer. The gzip file wraps the kit's own deflate stream in a gzip header
// and trailer, so both sides inflate identical data at identical level and
// write the result to a file in the same directory. Prints both times, their
// ratio, and peak resident memory (getrusage ru_maxrss) of the whole run and of
// the open alone (the high-water mark is reset just before it where Linux
// allows), which must not grow with the kit's size. gzip's own peak is not
// shown: a child's ru_maxrss starts from its parent's size at fork.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fs/file_system.h"
#include "kit/install_data.h"
#include "kit/kit_name.h"
#include "kit/kit_writer.h"
#include "kit/lz_compressor.h"

namespace {

constexpr size_t kMiB = 1 << 20;
constexpr size_t kFileSize = 8 * kMiB;

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

uint64_t Next(uint64_t& state) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

// One chunk of the given kind: 0 text-like, 1 random, 2 zeros.
void FillChunk(std::string& chunk, int kind, uint64_t& state) {
    static const char* const kWords[] = {
        "template", "value", "key", "section",   "the",  "configuration", "=",      "true",
        "false",    "path",  "\n",  "# comment", "name", "0x1F",          "default"};
    chunk.clear();
    if (kind == 2) {
        chunk.assign(kMiB, '\0');
        return;
    }
    if (kind == 1) {
        chunk.resize(kMiB);
        for (size_t i = 0; i + 8 <= kMiB; i += 8) {
            uint64_t v = Next(state);
            for (int b = 0; b < 8; ++b) chunk[i + b] = char(v >> (8 * b));
        }
        return;
    }
    while (chunk.size() < kMiB) {
        uint64_t v = Next(state);
        chunk += kWords[v % 15];
        chunk += v & 0x100 ? ' ' : '_';
        if ((v & 0x7000) == 0)
            chunk += std::to_string(v % 100000);
    }
    chunk.resize(kMiB);
}

// Writes the mixed content as 8 MiB files; returns their paths.
std::vector<std::string> WriteContent(const std::string& dir, size_t totalMiB) {
    std::vector<std::string> paths;
    std::string chunk;
    uint64_t state = 0x9E3779B97F4A7C15ULL;
    size_t left = totalMiB * kMiB;
    for (size_t i = 0; left > 0; ++i) {
        int kind = int(i % 3);
        std::string path = dir + "/content-" + std::to_string(i);
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f)
            Die("cannot write " + path);
        size_t size = left < kFileSize ? left : kFileSize;
        for (size_t done = 0; done < size; done += kMiB) {
            FillChunk(chunk, kind, state);
            size_t piece = size - done < kMiB ? size - done : kMiB;
            if (std::fwrite(chunk.data(), 1, piece, f) != piece)
                Die("cannot write " + path);
        }
        if (std::fclose(f) != 0)
            Die("cannot write " + path);
        paths.push_back(path);
        left -= size;
    }
    return paths;
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

void AppendFile(FILE* out, const std::string& path) {
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in)
        Die("cannot read " + path);
    std::vector<char> chunk(kMiB);
    size_t n;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), in)) > 0) {
        if (std::fwrite(chunk.data(), 1, n, out) != n)
            Die("cannot write the gzip file");
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
    AppendFile(f, kitPath);
    uint32_t trailer[2] = {FileCrc(imagePath), uint32_t(FileSize(imagePath))};
    for (uint32_t v : trailer) {
        unsigned char b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        std::fwrite(b, 1, 4, f);
    }
    if (std::fclose(f) != 0)
        Die("cannot write " + out);
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
    if (totalMiB == 0 || totalMiB > 4000 || level < 0 || level > 9)
        Die("usage: bench_kit_inflate [MiB 1-4000] [level 0-9]");

    const char* base = std::getenv("TMPDIR");
    std::string dir = std::string(base && *base ? base : "/tmp") + "/kit-inflate-XXXXXX";
    if (!mkdtemp(&dir[0]))
        Die("cannot create a scratch directory");
    if (mkdir((dir + "/tmp").c_str(), 0700) != 0)
        Die("cannot create " + dir + "/tmp");

    std::printf("content: %zu MiB (text-like, random, zeros), level %d, in %s\n", totalMiB, level,
                dir.c_str());
    std::fflush(stdout);
    std::vector<std::string> paths = WriteContent(dir, totalMiB);

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
    bool peakReset = ResetPeak();
    std::string imagePath;
    double openSeconds = 0;
    long openPeak = 0;
    {
        InstallData<LZCompressor, FileSystem> kit;
        stdx::basic_string<char16_t> kitPath16;
        kit::Utf8ToUtf16(kitPath, &kitPath16);
        start = Clock::now();
        uint32_t rc = kit.Open(kitPath16);
        openSeconds = Seconds(start);
        openPeak = PeakKiB(RUSAGE_SELF);
        if (rc != 0)
            Die("InstallData::Open failed with " + std::to_string(rc));
        imagePath = kit::Utf16ToUtf8(kit.imagePath);
        uint64_t imageSize = FileSize(imagePath);
        std::printf("image: %.1f MiB, %zu files\n", double(imageSize) / kMiB, kit.files.size());
        // Keep the image for the gzip trailer, then let the object remove it.
        WriteGzip(kitPath, imagePath, dir + "/kit.gz");
    }

    const std::string gunzipped = dir + "/tmp/gunzipped";
    std::string command = "gzip -dc '" + dir + "/kit.gz' > '" + gunzipped + "'";
    start = Clock::now();
    int status = std::system(command.c_str());
    double gzipSeconds = Seconds(start);
    if (status != 0)
        Die("gzip -dc failed");

    std::printf("InstallData::Open: %8.3f s  (%.0f MiB/s of image)\n", openSeconds,
                double(totalMiB) / openSeconds);
    std::printf("gzip -dc:          %8.3f s  (%.0f MiB/s)\n", gzipSeconds,
                double(totalMiB) / gzipSeconds);
    std::printf("ratio Open/gzip:   %8.2f\n", openSeconds / gzipSeconds);
    std::printf("peak RSS: whole run before open %ld KiB; during open %ld KiB%s\n", peakBeforeOpen,
                openPeak, peakReset ? "" : " (mark not resettable: includes the run before)");

    RemoveAll(dir, {"kelda.efd", "kit.gz", "tmp/gunzipped"});
    return 0;
}
