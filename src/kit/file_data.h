// One file of an opened kit: its name, time and where its bytes lie in the
// kit image.
#pragma once
#include <cstdint>

#include "text/basic_string.h"

namespace config {

template <class FileSystem>
struct FileData {
    FileSystem fileSystem;              // policy only; holds no data
    stdx::basic_string<char16_t> name;  // relative path, "\" separated, as stored in the kit
    uint64_t time = 0;                  // last-write time, 100 ns units since 1601-01-01 UTC
    uint32_t offset = 0;                // absolute position in the image once the kit is open
    uint32_t size = 0;                  // length in bytes
};

}  // namespace config
