// Benchmark: what the kit's digest costs when a kit is opened. The same
// deflate stream is opened twice over, once as a sealed kit (the digest of the
// compressed bytes is computed while they are read for inflating, and
// compared) and once without its trailer (no digest), in interleaved runs.
//
//   bench_kit_digest [MiB of content, default 512] [zlib level, default 9] [pairs, default 3]
//
// The content is the mixed content of bench_kit_inflate (text-like, random and
// zero-filled files of 8 MiB), written under $TMPDIR (or /tmp). Prints each
// pair, the medians, their ratio, and the digest's own speed over the kit.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fs/file_system.h"
#include "kit/install_data.h"
#include "kit/kit_crypto.h"
#include "kit/kit_name.h"
#include "kit/kit_trailer.h"
#include "kit/kit_writer.h"
#include "kit/lz_compressor.h"
#include "mixed_content.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

[[noreturn]] void Die(const std::string& what) {
    std::fprintf(stderr, "bench_kit_digest: %s\n", what.c_str());
    std::exit(1);
}

uint64_t FileSize(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        Die("cannot stat " + path);
    return uint64_t(st.st_size);
}

// One open of `kit`; its seconds. The image is removed with the object.
double TimeOpen(const std::string& kit, kit::SealState expected) {
    InstallData<LZCompressor, FileSystem> data;
    stdx::basic_string<char16_t> path;
    kit::Utf8ToUtf16(kit, &path);
    Clock::time_point start = Clock::now();
    uint32_t rc = data.Open(path);
    double seconds = Seconds(start);
    if (rc != 0)
        Die("InstallData::Open failed with " + std::to_string(rc));
    if (data.seal.state != expected)
        Die("the kit's seal is not what was written");
    return seconds;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    size_t totalMiB = argc > 1 ? size_t(std::strtoul(argv[1], nullptr, 10)) : 512;
    int level = argc > 2 ? std::atoi(argv[2]) : 9;
    int pairs = argc > 3 ? std::atoi(argv[3]) : 3;
    if (totalMiB == 0 || totalMiB > 4000 || level < 0 || level > 9 || pairs < 1)
        Die("usage: bench_kit_digest [MiB 1-4000] [level 0-9] [pairs >= 1]");

    const char* base = std::getenv("TMPDIR");
    std::string dir = std::string(base && *base ? base : "/tmp") + "/kit-digest-XXXXXX";
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
    const std::string sealed = dir + "/sealed.efd";
    const std::string bare = dir + "/bare.efd";
    if (!writer.WriteKit(sealed, &error))
        Die(error);
    for (const std::string& p : paths) unlink(p.c_str());
    // The bare kit is the sealed one without its trailer: the same stream.
    const uint64_t stream = FileSize(sealed) - kit::kUnsignedTrailerSize;
    std::string command =
        "head -c " + std::to_string(stream) + " '" + sealed + "' > '" + bare + "'";
    if (std::system(command.c_str()) != 0 || FileSize(bare) != stream)
        Die("cannot write the kit without trailer");
    std::printf("kit: %.1f MiB of deflate stream\n", double(stream) / (1 << 20));

    // The digest alone, over the kit's bytes in memory-sized pieces.
    {
        FILE* f = std::fopen(bare.c_str(), "rb");
        std::vector<char> chunk(1 << 15);
        kit::Sha256 sha;
        Clock::time_point start = Clock::now();
        size_t n;
        while (f && (n = std::fread(chunk.data(), 1, chunk.size(), f)) > 0)
            sha.Update(chunk.data(), n);
        kit::Digest digest{};
        sha.Finish(&digest);
        double seconds = Seconds(start);
        if (f)
            std::fclose(f);
        std::printf("SHA-256 of the kit alone (read included): %.3f s, %.0f MiB/s\n", seconds,
                    double(stream) / (1 << 20) / seconds);
    }

    setenv("TMPDIR", (dir + "/tmp").c_str(), 1);
    TimeOpen(bare, kit::SealState::kNone);  // warms the page cache for both
    std::vector<double> with, without;
    for (int i = 0; i < pairs; ++i) {
        without.push_back(TimeOpen(bare, kit::SealState::kNone));
        with.push_back(TimeOpen(sealed, kit::SealState::kDigest));
        std::printf("pair %d: without digest %.3f s, with digest %.3f s\n", i + 1, without.back(),
                    with.back());
        std::fflush(stdout);
    }
    const double a = Median(with), b = Median(without);
    std::printf("Open with digest (median):    %8.3f s  (%.0f MiB/s of image)\n", a,
                double(totalMiB) / a);
    std::printf("Open without digest (median): %8.3f s  (%.0f MiB/s of image)\n", b,
                double(totalMiB) / b);
    std::printf("ratio with/without:           %8.3f  (digest adds %.1f %%)\n", a / b,
                100.0 * (a / b - 1.0));

    unlink(sealed.c_str());
    unlink(bare.c_str());
    rmdir((dir + "/tmp").c_str());
    rmdir(dir.c_str());
    return 0;
}
