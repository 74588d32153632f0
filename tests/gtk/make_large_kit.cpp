// Writes a kit of many small files straight from memory, for the end-to-end
// tests that interrupt a copy run: a tree of tens of thousands of files made
// with shell tools takes longer than the test itself.
// Usage: make_large_kit <kit-path> <count> <size>
// Files "set<k>\file<n>" (100 to a folder), each <size> bytes: its number in
// eight digits, then zeros; all with the time 2024-03-01 12:00:00 UTC.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "kit/kit_writer.h"

namespace {

constexpr int64_t kFileTime = 1709294400;  // 2024-03-01 12:00:00 UTC

stdx::string16 Ascii16(const std::string& text) {
    stdx::string16 result;
    for (char c : text) {
        result += static_cast<char16_t>(c);
    }
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_large_kit <kit-path> <count> <size>\n");
        return 2;
    }
    long count = std::strtol(argv[2], nullptr, 10);
    long size = std::strtol(argv[3], nullptr, 10);
    if (count < 1 || size < 8) {
        std::fprintf(stderr, "make_large_kit: count must be at least 1 and size at least 8\n");
        return 2;
    }
    kit::KitWriter writer;
    writer.SetCompressionLevel(1);
    writer.AddProduct({u"en", u"Large Templates", u"Example Ltd", u"docs\\readme.html"});
    for (long n = 0; n < count; ++n) {
        char number[24];
        std::snprintf(number, sizeof number, "%08ld", n);
        std::string bytes(static_cast<size_t>(size), '\0');
        bytes.replace(0, 8, number);
        std::string name = "set" + std::to_string(n / 100) + "\\file" + number;
        writer.AddFile(Ascii16(name), kit::FileTimeFromUnix(kFileTime), bytes);
    }
    std::string error;
    if (!writer.WriteKit(argv[1], &error)) {
        std::fprintf(stderr, "make_large_kit: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
