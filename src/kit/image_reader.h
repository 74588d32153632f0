// Bounds-checked reading of the kit image's tables (layout in
// kit/install_data.h). Every read is checked against the image's real size
// before anything is allocated, so a hostile count or length cannot make the
// reader allocate, loop or read past a buffer. Failures are thrown as file
// system codes and caught by InstallData::Open.
#pragma once
#include <cstdint>
#include <vector>

#include "fs/file_system.h"
#include "text/basic_string.h"

namespace kitimage {

constexpr uint32_t kDamaged = 13;

// The last error of a failed handle operation, or `fallback` when the
// operation left none.
template <class FileSystem>
uint32_t LastErrorOr(uint32_t fallback) {
    uint32_t code = FileSystem::GetLastError();
    return code != 0 ? code : fallback;
}

inline uint32_t LoadU32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// `units` little-endian UTF-16 units starting at `p`.
inline stdx::basic_string<char16_t> Units(const unsigned char* p, uint64_t units) {
    stdx::basic_string<char16_t> s;
    s.reserve(size_t(units));
    for (uint64_t i = 0; i < units; ++i) s.push_back(char16_t(p[2 * i] | p[2 * i + 1] << 8));
    return s;
}

// One record read as a block; its fields are parsed from the block's start
// and must lie within it.
class Record {
  public:
    explicit Record(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

    uint32_t U32() {
        Need(4);
        uint32_t v = LoadU32(&bytes_[pos_]);
        pos_ += 4;
        return v;
    }
    uint64_t U64() {
        uint64_t low = U32();
        return low | uint64_t(U32()) << 32;
    }
    stdx::basic_string<char16_t> Counted() {
        uint64_t units = U32();
        Need(2 * units);
        stdx::basic_string<char16_t> s = Units(bytes_.data() + pos_, units);
        pos_ += size_t(2 * units);
        return s;
    }

  private:
    void Need(uint64_t n) const {
        if (n > bytes_.size() - pos_)
            throw kDamaged;
    }
    std::vector<unsigned char> bytes_;
    size_t pos_ = 0;
};

// Sequential reader over the open image handle.
template <class FileSystem>
class Reader {
  public:
    explicit Reader(FileHandle handle) : handle_(handle) {
        int64_t end = FileSystem::SetFilePointer(handle_, 0, 2);
        if (end < 0 || FileSystem::SetFilePointer(handle_, 0, 0) != 0) {
            throw LastErrorOr<FileSystem>(87);
        }
        size_ = uint64_t(end);
    }

    void Read(unsigned char* into, uint64_t n) {
        // A table that runs past the end of the image.
        if (n > size_ - pos_ || n > 0xFFFFFFFFu)
            throw kDamaged;
        if (n == 0)
            return;
        uint32_t got = 0;
        if (FileSystem::ReadFile(handle_, into, uint32_t(n), &got, nullptr) != 0) {
            throw LastErrorOr<FileSystem>(87);
        }
        if (got != n)
            throw kDamaged;
        pos_ += n;
    }
    uint32_t ReadU32() {
        unsigned char b[4];
        Read(b, 4);
        return LoadU32(b);
    }
    stdx::basic_string<char16_t> ReadCounted() {
        uint64_t units = ReadU32();
        std::vector<unsigned char> bytes = ReadBlock(2 * units);
        return Units(bytes.data(), units);
    }
    // A record: its length L (at least `minLength`, counting the length field
    // itself), then L - 4 bytes as one block.
    Record ReadRecord(uint32_t minLength) {
        uint32_t length = ReadU32();
        if (length < minLength)
            throw kDamaged;
        return Record(ReadBlock(length - 4));
    }

  private:
    std::vector<unsigned char> ReadBlock(uint64_t n) {
        if (n > size_ - pos_)
            throw kDamaged;
        std::vector<unsigned char> bytes(static_cast<size_t>(n));
        Read(bytes.data(), n);
        return bytes;
    }

    FileHandle handle_;
    uint64_t size_ = 0;
    uint64_t pos_ = 0;
};

}  // namespace kitimage
