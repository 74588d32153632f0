// Random name parts from the system's entropy source, with a clock-and-
// counter fallback so a name is always produced (uniqueness is still
// guaranteed by exclusive creation, not by the name).
#include "fs/random_name.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

#if defined(__APPLE__)
#include <sys/random.h>
#endif

namespace fsdetail {
namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kAlphabetSize = sizeof kAlphabet - 1;

void FallbackBytes(std::vector<unsigned char>& bytes) {
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t state =
        std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (std::uint64_t(::getpid()) << 32) ^ (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
    for (auto& b : bytes) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        b = static_cast<unsigned char>(state);
    }
}

}  // namespace

stdx::string8 RandomNamePart(std::size_t length) {
    std::vector<unsigned char> bytes(length);
    if (length > 256 || ::getentropy(bytes.data(), length) != 0)
        FallbackBytes(bytes);
    stdx::string8 out;
    for (unsigned char b : bytes) out.push_back(kAlphabet[b % kAlphabetSize]);
    return out;
}

}  // namespace fsdetail
