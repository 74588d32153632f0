// Checking a kit's seal (trailer layout in kit/kit_trailer.h): which keys a
// program trusts, reading the trailer through the file-system policy before
// the stream is inflated, and the verdict once the digest of the bytes read
// while inflating is known.
//
// Verdicts: a digest that does not match, a malformed trailer, a stream that
// does not end where the trailer begins, or a bad signature by a known key
// make the kit damaged (13). A signature by an unknown key is ignored, unless
// the trust requires a signature by a known key; then an unsigned kit, a kit
// signed by another key and a bad signature are all kNotSigned.
#pragma once
#include <cstdint>
#include <vector>

#include "fs/file_system.h"
#include "fs/fs_codes.h"
#include "kit/kit_crypto.h"
#include "kit/kit_trailer.h"

namespace kit {

// The kit lacks the signature the program requires (the Win32 code for an
// image whose signature cannot be verified).
constexpr uint32_t kNotSigned = 577;
constexpr uint32_t kDamagedKit = fserror::kInvalidData;

enum class SignaturePolicy { kCheckKnownKeys, kRequireKnownKey };

struct KitTrust {
    std::vector<PublicKey> keys;
    SignaturePolicy policy = SignaturePolicy::kCheckKnownKeys;
};

enum class SealState {
    kNone,              // no trailer: a kit as made before seals existed
    kDigest,            // the digest matched; not signed
    kSignedUnknownKey,  // the digest matched; signed by a key not in the trust
    kSignedKnownKey,    // the digest and the signature by a trusted key matched
};

struct SealReport {
    SealState state = SealState::kNone;
    KeyId keyId{};              // of the signature, when signed
    uint64_t streamLength = 0;  // bytes of the deflate stream, trailer excluded
};

// What was found at the end of the kit before inflating.
struct SealFound {
    bool present = false;
    KitTrailer trailer;
    uint64_t fileLength = 0;
};

// Reads the trailer, if any, of the kit file at `path`. 0, kDamagedKit for a
// malformed trailer, or the file system's code of a failed open or read.
template <class FS>
uint32_t ReadSeal(const stdx::basic_string<char16_t>& path, SealFound* found);

// The verdict after inflating: `digest` of the bytes read, `hashed` their
// count, `streamEnd` where the stream's final block ended, `afterStream` up
// to 8 bytes that follow the stream when there is no trailer. 0, kDamagedKit
// or kNotSigned; `report` says what was found.
uint32_t JudgeSeal(const SealFound& found, const Digest& digest, uint64_t hashed,
                   uint64_t streamEnd, const unsigned char* afterStream, uint32_t afterSize,
                   const KitTrust& trust, SealReport* report);

// Reads up to 8 bytes at `offset` of `path` into `out`; their count, or -1.
template <class FS>
int ReadBytesAt(const stdx::basic_string<char16_t>& path, uint64_t offset, unsigned char* out);

namespace sealio {

template <class FS>
bool ReadExactly(FileHandle handle, int64_t offset, unsigned char* out, uint32_t size) {
    if (FS::SetFilePointer(handle, offset, fsflag::kFileBegin) != offset)
        return false;
    uint32_t got = 0;
    return FS::ReadFile(handle, out, size, &got, nullptr) == 0 && got == size;
}

template <class FS>
uint32_t LastErrorOr(uint32_t fallback) {
    uint32_t code = FS::GetLastError();
    return code != 0 ? code : fallback;
}

}  // namespace sealio

template <class FS>
uint32_t ReadSeal(const stdx::basic_string<char16_t>& path, SealFound* found) {
    *found = SealFound();
    FileHandle in = kInvalidFileHandle;
    uint32_t rc = FS::CreateFile(path, fsflag::kGenericRead, 0, fsflag::kOpenExisting, &in,
                                 fsflag::kAttributeNormal);
    if (rc != 0)
        return rc;
    rc = [&]() -> uint32_t {
        int64_t end = FS::SetFilePointer(in, 0, fsflag::kFileEnd);
        if (end < 0)
            return sealio::LastErrorOr<FS>(fserror::kInvalidParameter);
        found->fileLength = uint64_t(end);
        if (found->fileLength < kFooterSize)
            return fserror::kSuccess;
        unsigned char footer[kFooterSize];
        if (!sealio::ReadExactly<FS>(in, end - kFooterSize, footer, kFooterSize))
            return sealio::LastErrorOr<FS>(fserror::kInvalidParameter);
        uint32_t size = FooterTrailerSize(footer);
        if (size == 0)
            return fserror::kSuccess;
        // A footer that announces a trailer longer than any, or than the
        // file, is checked no further: the kit is damaged.
        if (size > kSignedTrailerSize || size > found->fileLength)
            return kDamagedKit;
        unsigned char bytes[kSignedTrailerSize];
        if (!sealio::ReadExactly<FS>(in, end - int64_t(size), bytes, size))
            return sealio::LastErrorOr<FS>(fserror::kInvalidParameter);
        if (ParseTrailer(bytes, size, found->fileLength, &found->trailer) != TrailerParse::kFound)
            return kDamagedKit;
        found->present = true;
        return fserror::kSuccess;
    }();
    FS::CloseHandle(in);
    return rc;
}

template <class FS>
int ReadBytesAt(const stdx::basic_string<char16_t>& path, uint64_t offset, unsigned char* out) {
    FileHandle in = kInvalidFileHandle;
    if (FS::CreateFile(path, fsflag::kGenericRead, 0, fsflag::kOpenExisting, &in,
                       fsflag::kAttributeNormal) != 0)
        return -1;
    int count = -1;
    if (FS::SetFilePointer(in, int64_t(offset), fsflag::kFileBegin) == int64_t(offset)) {
        uint32_t got = 0;
        if (FS::ReadFile(in, out, 8, &got, nullptr) == 0)
            count = int(got);
    }
    FS::CloseHandle(in);
    return count;
}

}  // namespace kit
