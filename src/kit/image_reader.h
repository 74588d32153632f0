// Bounds-checked reading of the kit image's tables (layout in
// kit/install_data.h). Every read is checked against its record and the
// image's real size before anything is allocated, so a hostile count or length
// cannot make the reader allocate, loop or read past a buffer. Failures are
// thrown as file system codes and caught by InstallData::Open.
#pragma once
#include <cstdint>
#include <cstring>
#include <memory>

#include "fs/file_system.h"
#include "fs/fs_codes.h"
#include "text/basic_string.h"

namespace kitimage {

constexpr uint32_t kDamaged = fserror::kInvalidData;

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

// Sequential reader over the open image handle, through a read-ahead buffer
// filled by positioned reads: a table of thousands of small records costs a
// few reads, not several per field, and the handle's position is not used.
// Inside a record (between BeginRecord and EndRecord) every field must lie
// within the record; the record's ignored rest is skipped, never read into
// memory beyond the buffer, so a hostile record length costs nothing.
template <class FileSystem>
class Reader {
  public:
    explicit Reader(FileHandle handle) : handle_(handle), buffer_(new unsigned char[kBufferBytes]) {
        int64_t end = FileSystem::SetFilePointer(handle_, 0, fsflag::kFileEnd);
        if (end < 0) {
            throw LastErrorOr<FileSystem>(fserror::kInvalidParameter);
        }
        size_ = uint64_t(end);
        end_ = size_;
    }

    // Offset in the image of the next byte to be read.
    uint64_t Position() const { return pos_; }
    // Bytes left to read (in the current record, inside one).
    uint64_t Remaining() const { return end_ - pos_; }

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
        pos_ = end_;
        end_ = size_;
    }

  private:
    static constexpr size_t kChunkBytes = 0x10000;
    static constexpr uint32_t kBufferBytes = 0x10000;

    // `n` bytes; past the record or the image the kit is damaged.
    void Read(unsigned char* into, uint64_t n) {
        if (n > end_ - pos_)
            throw kDamaged;
        while (n > 0) {
            if (pos_ < bufferStart_ || pos_ >= bufferStart_ + bufferLength_)
                Fill();
            const uint64_t at = pos_ - bufferStart_;
            const uint64_t piece = n < bufferLength_ - at ? n : bufferLength_ - at;
            std::memcpy(into, buffer_.get() + at, size_t(piece));
            into += piece;
            n -= piece;
            pos_ += piece;
        }
    }

    // Reads ahead from `pos_`; an image that ends early is damaged.
    void Fill() {
        const uint64_t left = size_ - pos_;
        const uint32_t want = left < kBufferBytes ? uint32_t(left) : kBufferBytes;
        uint32_t got = 0;
        if (FileSystem::ReadFileAt(handle_, pos_, buffer_.get(), want, &got) != 0) {
            throw LastErrorOr<FileSystem>(fserror::kInvalidParameter);
        }
        if (got == 0)
            throw kDamaged;
        bufferStart_ = pos_;
        bufferLength_ = got;
    }

    FileHandle handle_;
    std::unique_ptr<unsigned char[]> buffer_;
    uint64_t bufferStart_ = 0;
    uint64_t bufferLength_ = 0;
    uint64_t size_ = 0;  // of the image
    uint64_t end_ = 0;   // of the current record, else of the image
    uint64_t pos_ = 0;
};

}  // namespace kitimage
