// What the decompressor reports about the compressed input beside inflating
// it: how much of the kit file holds the deflate stream (the rest is the
// trailer and is not inflated), a digest fed every byte exactly as it is
// read, and where the stream ended. Kept apart from the inflate back end so
// that the digest does not depend on which back end runs.
#pragma once
#include <cstdint>

#include "kit/kit_crypto.h"

namespace kit {

struct InputTap {
    // Bytes of the source that are read; anything past them is left alone.
    uint64_t length = UINT64_MAX;
    // Fed every byte of the source that is read, in order; may be null.
    Sha256* digest = nullptr;
    // Out: the offset just past the stream's final block, 0 when the stream
    // did not end (a failed or a cut-short stream).
    uint64_t streamEnd = 0;
};

}  // namespace kit
