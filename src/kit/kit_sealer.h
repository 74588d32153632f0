// Writing a kit's seal (layout in kit/kit_trailer.h): the trailer bytes for a
// stream already hashed, and the resealing of an existing kit file with a
// signature.
#pragma once
#include <cstdint>
#include <string>

#include "kit/kit_crypto.h"

namespace kit {

// Whether a written kit ends in a trailer with the stream's digest.
enum class Seal { kDigest, kNone };

struct SealSpec {
    Seal seal = Seal::kDigest;
    const SecretKey* key = nullptr;  // signs the trailer when given
};

// The trailer for a stream of `covered` bytes with `digest`, signed with
// `key` when it is not null.
bool MakeTrailerBytes(uint64_t covered, const Digest& digest, const SecretKey* key,
                      std::string* out, std::string* error);

// Replaces the kit at `path` with its first `covered` bytes (its deflate
// stream) followed by a trailer signed with `key`. The file keeps its
// permission bits; on failure it is left as it was.
bool SignKitFile(const std::string& path, uint64_t covered, const SecretKey& key,
                 std::string* error);

}  // namespace kit
