// The mixed content of the kit benchmarks: 8 MiB files, in turn text-like,
// random and zero-filled, from a fixed seed so that every run packs the same
// bytes.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace benchcontent {

constexpr size_t kMiB = 1 << 20;
constexpr size_t kFileSize = 8 * kMiB;

[[noreturn]] inline void Fail(const std::string& what) {
    std::fprintf(stderr, "bench: %s\n", what.c_str());
    std::exit(1);
}

inline uint64_t Next(uint64_t& state) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

// One chunk of the given kind: 0 text-like, 1 random, 2 zeros.
inline void FillChunk(std::string& chunk, int kind, uint64_t& state) {
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
inline std::vector<std::string> WriteMixedContent(const std::string& dir, size_t totalMiB) {
    std::vector<std::string> paths;
    std::string chunk;
    uint64_t state = 0x9E3779B97F4A7C15ULL;
    size_t left = totalMiB * kMiB;
    for (size_t i = 0; left > 0; ++i) {
        int kind = int(i % 3);
        std::string path = dir + "/content-" + std::to_string(i);
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f)
            Fail("cannot write " + path);
        size_t size = left < kFileSize ? left : kFileSize;
        for (size_t done = 0; done < size; done += kMiB) {
            FillChunk(chunk, kind, state);
            size_t piece = size - done < kMiB ? size - done : kMiB;
            if (std::fwrite(chunk.data(), 1, piece, f) != piece)
                Fail("cannot write " + path);
        }
        if (std::fclose(f) != 0)
            Fail("cannot write " + path);
        paths.push_back(path);
        left -= size;
    }
    return paths;
}

}  // namespace benchcontent
