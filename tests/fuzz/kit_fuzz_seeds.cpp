// Seed corpus for kit_reader_fuzz, written by the project's own kit writer:
// small valid kits covering both description layouts, padded records, empty
// names and files, several languages and files across window boundaries.
// Each seed is written as a kit file for each inflate back end, as its image,
// and as a kit that already ends in a trailer, with a digest and signed by
// the fuzzing key (with that signature required), matching the input format
// of the fuzz target.
#include "kit_fuzz_seeds.h"

#include <cstdio>
#include <string>
#include <vector>

#include "kit/kit_crypto.h"
#include "kit/kit_sealer.h"
#include "kit/kit_writer.h"

namespace {

// 2020-01-01 00:00:00 UTC.
const uint64_t kTime = kit::FileTimeFromUnix(1577836800);

std::string Text(size_t size) {
    std::string s;
    while (s.size() < size) s += "line of template text, number " + std::to_string(s.size()) + "\n";
    s.resize(size);
    return s;
}

std::vector<kit::KitWriter> SeedWriters() {
    std::vector<kit::KitWriter> seeds;

    kit::KitWriter example;  // one description, one small file
    example.AddProduct({u"en", u"", u"", u""});
    example.AddFile(u"a.txt", kTime, "abc");
    seeds.push_back(example);

    kit::KitWriter single;  // layout word 0
    single.SetLayout(kit::Layout::SingleDescription);
    single.AddProduct({u"", u"Templates", u"Example Ltd", u"doc\\readme.html"});
    single.AddFile(u"doc\\readme.html", kTime, "<html></html>");
    single.AddFile(u"", kTime, "");
    seeds.push_back(single);

    kit::KitWriter table;  // several languages, padding, largest layout word
    table.SetLayoutWord(0xFFFFFFFFu);
    table.AddProduct({u"de", u"Vorlagen", u"Beispiel", u""}, 5);
    table.AddProduct({u"EN", u"Templates", u"Example", u"doc\\a.html"});
    table.AddProduct({u"ru", u"", u"", u"doc\\ru.html"}, 1);
    kit::KitFileEntry padded;
    padded.name = u"sub\\dir\\b.cfg";
    padded.time = kTime + 1;
    padded.content = "key=value\n";
    padded.size = padded.content.size();
    padded.recordPadding = 3;
    table.AddEntry(padded);
    table.AddFile(u"c.txt", kTime, Text(300));
    seeds.push_back(table);

    kit::KitWriter empty;  // no descriptions, no files
    seeds.push_back(empty);

    kit::KitWriter larger;  // a kit that spans more than one 32 KiB window
    larger.AddProduct({u"en", u"P", u"V", u""});
    larger.AddFile(u"big.txt", kTime, Text(40000));
    larger.AddFile(u"x\\y.txt", kTime, "y");
    seeds.push_back(larger);
    return seeds;
}

bool WriteSeed(const std::string& path, char mode, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok =
        std::fputc(mode, f) != EOF && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

bool WriteKitFuzzSeeds(const std::string& dir) {
    std::vector<kit::KitWriter> seeds = SeedWriters();
    for (size_t i = 0; i < seeds.size(); ++i) {
        std::string error;
        std::string image = seeds[i].ImageBytes(&error);
        if (image.empty()) {
            std::fprintf(stderr, "seed %zu: %s\n", i, error.c_str());
            return false;
        }
        std::string base = dir + "/seed" + std::to_string(i);
        const std::string stream = kit::RawDeflate(image, 9);
        kit::SecretKey key;
        key.fill(0x42);  // the fuzz target's key
        std::string digestTrailer, signedTrailer;
        const kit::Digest digest = kit::Sha256Of(stream.data(), stream.size());
        if (!kit::MakeTrailerBytes(stream.size(), digest, nullptr, &digestTrailer, &error) ||
            !kit::MakeTrailerBytes(stream.size(), digest, &key, &signedTrailer, &error)) {
            std::fprintf(stderr, "seed %zu: %s\n", i, error.c_str());
            return false;
        }
        // Mode bit 1 picks the other inflate back end, bit 4 requires the
        // fuzzing key's signature (see kit_reader_fuzz.cpp).
        if (!WriteSeed(base + "-kit", 0, stream) ||
            !WriteSeed(base + "-kit-other", 2, kit::RawDeflate(image, 6)) ||
            !WriteSeed(base + "-image", 1, image) ||
            !WriteSeed(base + "-sealed", 0, stream + digestTrailer) ||
            !WriteSeed(base + "-signed", 16, stream + signedTrailer)) {
            std::perror(base.c_str());
            return false;
        }
    }
    return true;
}
