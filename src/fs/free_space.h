// Arithmetic of the free-space queries, kept apart so that the saturation
// rules can be checked without a file system of the right size.
#pragma once
#include <cstdint>

namespace fsdetail {

// blocks × blockSize without overflow, saturated at UINT64_MAX.
constexpr std::uint64_t SaturatedProduct64(std::uint64_t blocks, std::uint64_t blockSize) {
    return blockSize != 0 && blocks > UINT64_MAX / blockSize ? UINT64_MAX : blocks * blockSize;
}

// blocks × blockSize saturated at 0xFFFFFFFF.
constexpr std::uint32_t SaturatedProduct32(std::uint64_t blocks, std::uint64_t blockSize) {
    std::uint64_t bytes = SaturatedProduct64(blocks, blockSize);
    return bytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : std::uint32_t(bytes);
}

}  // namespace fsdetail
