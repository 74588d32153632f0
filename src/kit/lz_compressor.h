// Inflates a kit file (one raw deflate stream) into the kit image file. The
// kit is read through read-only mappings of one window each, released as soon
// as the back end has consumed them, and the image goes out through one
// buffer of the window's size, so memory stays bounded whatever the kit's size.
//
// The inflation itself is a back end's: ISA-L where the library is found at
// run time, else zlib (kit/runtime_inflater.h). LZCompressor makes that
// choice; BasicLZCompressor<ZlibInflater> and <IsalInflater> name one
// explicitly.
#pragma once
#include <sys/mman.h>

#include <cstdint>
#include <memory>

#include "fs/file_system.h"
#include "kit/inflate_step.h"
#include "kit/input_tap.h"
#include "kit/runtime_inflater.h"
#include "kit/zlib_inflater.h"
#include "text/basic_string.h"

template <class Inflater>
class BasicLZCompressor {
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
    // The same into the open, writable handle `out` (left open, at the end
    // of the image), such as an unnamed file that nothing can leave behind.
    template <class FS = FileSystem>
    uint32_t DecompressTo(const stdx::basic_string<char16_t>& source, FileHandle out,
                          uint64_t imageLimit = kMaxImageSize, kit::InputTap* tap = nullptr) const;
};

template <class Inflater>
template <class FS>
uint32_t BasicLZCompressor<Inflater>::Decompress(const stdx::basic_string<char16_t>& source,
                                                 const stdx::basic_string<char16_t>& target,
                                                 uint64_t imageLimit, kit::InputTap* tap) const {
    FileHandle out = kInvalidFileHandle;
    uint32_t rc = FS::CreateFile(target, fsflag::kGenericWrite, 0, fsflag::kCreateAlways, &out,
                                 fsflag::kAttributeNormal);
    if (rc != 0)
        return rc;
    rc = DecompressTo<FS>(source, out, imageLimit, tap);
    FS::CloseHandle(out);
    return rc;
}

template <class Inflater>
template <class FS>
uint32_t BasicLZCompressor<Inflater>::DecompressTo(const stdx::basic_string<char16_t>& source,
                                                   FileHandle out, uint64_t imageLimit,
                                                   kit::InputTap* tap) const {
    FileHandle in = kInvalidFileHandle;
    uint32_t rc = FS::CreateFile(source, fsflag::kGenericRead, 0, fsflag::kOpenExisting, &in,
                                 fsflag::kFlagSequentialScan | fsflag::kAttributeNormal);
    if (rc != 0)
        return rc;
    // The whole 64-bit length: a kit over 4 GiB is not silently cut short.
    int64_t end = FS::SetFilePointer(in, 0, fsflag::kFileEnd);
    uint64_t length = end < 0 ? 0 : uint64_t(end);
    if (tap && tap->length < length)
        length = tap->length;

    Inflater inflater;
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[kWindowSize]);

    kit::InflateStep step = kit::InflateStep::kMore;
    uint32_t failure = 0;
    uint64_t written = 0;
    for (uint64_t w = 0; w < length && failure == 0; w += kWindowSize) {
        size_t n = size_t(length - w < kWindowSize ? length - w : kWindowSize);
        void* window = mmap(nullptr, n, PROT_READ, MAP_PRIVATE, int(in), off_t(w));
        if (window == MAP_FAILED) {
            failure = fserror::kInvalidParameter;
            break;
        }
        if (tap && tap->digest)
            tap->digest->Update(window, n);
        const uint8_t* in = static_cast<const uint8_t*>(window);
        size_t inCount = n;
        bool roomUsedUp = false;
        do {
            uint8_t* next = buffer.get();
            size_t room = n;
            step = inflater.Inflate(in, inCount, next, room);
            uint32_t produced = uint32_t(n - room);
            written += produced;
            if (written > imageLimit) {
                failure = fserror::kInvalidData;
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
            roomUsedUp = room == 0;
        } while (step == kit::InflateStep::kMore && roomUsedUp);
        // The back end has consumed all it will take from this window.
        munmap(window, n);
        if (tap && step == kit::InflateStep::kEnd)
            tap->streamEnd = w + (n - inCount);
        // After the end of the stream the rest is ignored; after an error
        // the back end would only repeat it.
        if (step != kit::InflateStep::kMore)
            break;
    }
    // Drop anything the target held before, so it is exactly the image.
    if (failure == 0 && FS::SetEndOfFile(out) != 0)
        failure = FS::GetLastError();
    FS::CloseHandle(in);
    if (failure != 0)
        return failure;
    // A stream cut short before its final block is as damaged as a corrupt
    // one: its image would lack its tail.
    return step == kit::InflateStep::kEnd ? fserror::kSuccess : fserror::kInvalidData;
}

// The program's compressor; a class (not an alias) so that it can be
// declared ahead where only its name is needed.
class LZCompressor : public BasicLZCompressor<RuntimeInflater> {};
