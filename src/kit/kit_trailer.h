// The kit's seal: an optional trailer after the deflate stream that carries a
// SHA-256 digest of the stream as stored and, optionally, an Ed25519
// signature. Readers that predate it ignore it, as they ignore any bytes after
// the stream's final block, so sealed kits open everywhere and unsealed kits
// stay valid.
//
// Kit file:
//
//   +----------------------------------------+-----------------------------+
//   | raw deflate stream (the covered bytes) | trailer (T bytes, optional) |
//   +----------------------------------------+-----------------------------+
//
// Trailer, version 1 (little-endian, unsigned, no padding):
//
//   offset  size  field
//   0       8     magic "EFDSEAL" 0x1A
//   8       2     version: 1
//   10      2     flags: bit 0 = signed; every other bit 0
//   12      4     trailer length T: 68, or 140 when signed
//   16      8     covered length C: the bytes before the trailer (file - T)
//   24      32    SHA-256 of those C bytes
//   56      8     key id: first 8 bytes of SHA-256 of the public key  } signed
//   64      64    Ed25519 signature of trailer bytes 0..63            } only
//   T - 12  4     footer: trailer length T again
//   T - 8   8     footer magic "EFDSEND" 0x1A
//
// The reader finds the trailer from the fixed footer at the very end of the
// file. Every field must hold exactly the value above; anything else is a
// malformed trailer, which makes the kit damaged. The stream must end exactly
// where the trailer begins. A file whose footer is missing but whose bytes
// after the stream begin like a trailer (a sealed kit cut short) is damaged
// too; other bytes after the stream are ignored as before.
#pragma once
#include <cstdint>
#include <string>

#include "kit/kit_crypto.h"

namespace kit {

constexpr uint32_t kTrailerVersion = 1;
constexpr uint32_t kFooterSize = 12;
constexpr uint32_t kUnsignedTrailerSize = 68;
constexpr uint32_t kSignedTrailerSize = 140;
constexpr uint32_t kSignedPartSize = 64;  // the bytes the signature covers
extern const char kTrailerMagic[8];
extern const char kFooterMagic[8];

struct KitTrailer {
    uint64_t coveredLength = 0;
    Digest digest{};
    bool isSigned = false;
    KeyId keyId{};
    Signature signature{};

    uint32_t size() const { return isSigned ? kSignedTrailerSize : kUnsignedTrailerSize; }
};

enum class TrailerParse { kNone, kFound, kMalformed };

// The trailer length a footer announces, or 0 when `footer` (the file's last
// kFooterSize bytes) is no footer.
uint32_t FooterTrailerSize(const unsigned char* footer);
// Parses the `size` bytes that end a file of `fileLength` bytes.
TrailerParse ParseTrailer(const unsigned char* bytes, uint32_t size, uint64_t fileLength,
                          KitTrailer* trailer);
// True when `bytes` (the `size` bytes after a stream's end, at most 8 looked
// at) start like a trailer: what a sealed kit cut short leaves behind.
bool LooksLikeTrailerStart(const unsigned char* bytes, uint32_t size);

// The trailer's bytes, signature included when `isSigned`.
std::string SerializeTrailer(const KitTrailer& trailer);
// The message the signature covers: trailer bytes 0..63 (magic, version,
// flags, lengths, digest, key id), so none of them can be changed unnoticed.
std::string SignedMessage(const KitTrailer& trailer);

}  // namespace kit
