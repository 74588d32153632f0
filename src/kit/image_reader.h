// Bounds-checked reading of the kit image's tables (layout in
// kit/install_data.h). Every read is checked against its record and the
// image's real size before anything is allocated, so a hostile count or length
// cannot make the reader allocate, loop or read past a buffer. Failures are
// thrown as file system codes and caught by InstallData::Open.
#pragma once
#include <cstdint>

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

// Sequential reader over the open image handle. Inside a record (between
// BeginRecord and EndRecord) every field must lie within the record; the
// record's ignored rest is skipped with a seek, never read into memory, so a
// hostile record length costs nothing.
template <class FileSystem>
class Reader {
  public:
    explicit Reader(FileHandle handle) : handle_(handle) {
        int64_t end = FileSystem::SetFilePointer(handle_, 0, 2);
        if (end < 0 || FileSystem::SetFilePointer(handle_, 0, 0) != 0) {
            throw LastErrorOr<FileSystem>(87);
        }
        size_ = uint64_t(end);
        end_ = size_;
    }

    uint32_t ReadU32() {
        unsigned char b[4];
        Read(b, 4);
        return LoadU32(b);
    }
    uint64_t ReadU64() {
        uint64_t low = ReadU32();
        return low | uint64_t(ReadU32()) << 32;
    }
    // A counted string; memory grows with the string, read in pieces.
    stdx::basic_string<char16_t> ReadCounted() {
        uint64_t units = ReadU32();
        if (2 * units > end_ - pos_)
            throw kDamaged;
        stdx::basic_string<char16_t> s;
        s.reserve(size_t(units));
        unsigned char chunk[kChunkBytes];
        for (uint64_t left = units; left > 0;) {
            uint64_t piece = left < kChunkBytes / 2 ? left : kChunkBytes / 2;
            Read(chunk, 2 * piece);
            for (uint64_t i = 0; i < piece; ++i)
                s.push_back(char16_t(chunk[2 * i] | chunk[2 * i + 1] << 8));
            left -= piece;
        }
        return s;
    }

    // Reads a record length L (at least `minLength`, counting the length
    // field itself); the record's other L - 4 bytes must lie in the image.
    void BeginRecord(uint32_t minLength) {
        uint32_t length = ReadU32();
        if (length < minLength || length - 4 > size_ - pos_)
            throw kDamaged;
        end_ = pos_ + (length - 4);
    }
    // Moves to the first byte after the record.
    void EndRecord() {
        if (pos_ != end_ && FileSystem::SetFilePointer(handle_, int64_t(end_), 0) < 0) {
            throw LastErrorOr<FileSystem>(87);
        }
        pos_ = end_;
        end_ = size_;
    }

  private:
    static constexpr size_t kChunkBytes = 0x10000;

    // `n` bytes; past the record or the image the kit is damaged.
    void Read(unsigned char* into, uint64_t n) {
        if (n > end_ - pos_)
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

    FileHandle handle_;
    uint64_t size_ = 0;  // of the image
    uint64_t end_ = 0;   // of the current record, else of the image
    uint64_t pos_ = 0;
};

}  // namespace kitimage
