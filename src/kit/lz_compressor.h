// Inflates a kit file (one raw deflate stream) into the kit image file. The
// kit is read through 32 KiB read-only mappings, each released as soon as
// zlib has consumed it, and the image goes out through one 32 KiB buffer, so
// memory stays bounded whatever the kit's size.
#pragma once
#include <sys/mman.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "fs/file_system.h"
#include "kit/input_tap.h"
#include "text/basic_string.h"

class LZCompressor {
  public:
    static constexpr uint32_t kWindowSize = 0x8000;
    // Offsets and sizes in the image are 32-bit, so no useful image is larger
    // than 4 GiB. A kit that inflates past this is refused as damaged rather
    // than allowed to fill the temporary file system.
    static constexpr uint64_t kMaxImageSize = 0x100000000ULL;

    // Inflates `source` into `target`. 0; 13 for invalid compressed data, a
    // stream that ends before its final block, or an image over
    // `imageLimit`; else the file system's code of the failed open, write or
    // mapping. `target` holds exactly the inflated bytes on success; on
    // failure it holds a partial image that the caller removes. `tap`, when
    // given, limits the input and sees every byte read (kit/input_tap.h).
    template <class FS = FileSystem>
    uint32_t Decompress(const stdx::basic_string<char16_t>& source,
                        const stdx::basic_string<char16_t>& target,
                        uint64_t imageLimit = kMaxImageSize, kit::InputTap* tap = nullptr) const;
};

template <class FS>
uint32_t LZCompressor::Decompress(const stdx::basic_string<char16_t>& source,
                                  const stdx::basic_string<char16_t>& target, uint64_t imageLimit,
                                  kit::InputTap* tap) const {
    FileHandle in = kInvalidFileHandle;
    uint32_t rc = FS::CreateFile(source, 0x80000000u, 0, 3, &in, 0x8000080u);
    if (rc != 0)
        return rc;
    FileHandle out = kInvalidFileHandle;
    rc = FS::CreateFile(target, 0x40000000u, 0, 2, &out, 0x80u);
    if (rc != 0) {
        FS::CloseHandle(in);
        return rc;
    }
    // The whole 64-bit length: a kit over 4 GiB is not silently cut short.
    int64_t end = FS::SetFilePointer(in, 0, 2);
    uint64_t length = end < 0 ? 0 : uint64_t(end);
    if (tap && tap->length < length)
        length = tap->length;

    z_stream stream;
    std::memset(&stream, 0, sizeof stream);
    inflateInit2_(&stream, -15, "1.2.11", int(sizeof(z_stream)));
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[kWindowSize]);

    int result = Z_OK;
    uint32_t failure = 0;
    uint64_t written = 0;
    for (uint64_t w = 0; w < length && failure == 0; w += kWindowSize) {
        size_t n = size_t(length - w < kWindowSize ? length - w : kWindowSize);
        void* window = mmap(nullptr, n, PROT_READ, MAP_PRIVATE, int(in), off_t(w));
        if (window == MAP_FAILED) {
            failure = 87;
            break;
        }
        if (tap && tap->digest)
            tap->digest->Update(window, n);
        stream.next_in = static_cast<Bytef*>(window);
        stream.avail_in = uInt(n);
        bool roomUsedUp = false;
        do {
            stream.next_out = buffer.get();
            stream.avail_out = uInt(n);
            result = inflate(&stream, Z_NO_FLUSH);
            if (result == Z_BUF_ERROR && stream.avail_in == 0)
                result = Z_OK;
            uint32_t produced = uint32_t(n - stream.avail_out);
            written += produced;
            if (written > imageLimit) {
                failure = 13;
                break;
            }
            if (produced > 0) {
                int32_t done = 0;
                rc = FS::WriteFile(out, buffer.get(), produced, &done, nullptr);
                if (rc != 0) {
                    failure = rc;
                    break;
                }
            }
            roomUsedUp = stream.avail_out == 0;
        } while (result == Z_OK && roomUsedUp);
        // zlib has consumed all it will take from this window.
        munmap(window, n);
        if (tap && result == Z_STREAM_END)
            tap->streamEnd = w + (n - stream.avail_in);
        // After the end of the stream the rest is ignored; after an error
        // zlib would only repeat it.
        if (result == Z_STREAM_END || result < 0)
            break;
    }
    inflateEnd(&stream);
    // Drop anything the target held before, so it is exactly the image.
    if (failure == 0 && FS::SetEndOfFile(out) != 0)
        failure = FS::GetLastError();
    FS::CloseHandle(out);
    FS::CloseHandle(in);
    if (failure != 0)
        return failure;
    // A stream cut short before its final block is as damaged as a corrupt
    // one: its image would lack its tail.
    return result == Z_STREAM_END ? 0 : 13;
}
