// The cryptography of verified kits, kept behind a small interface so that
// only kit_crypto.cpp sees the library: a streaming SHA-256 (the kit's
// digest, fed the compressed bytes as they are read) and Ed25519 keys,
// signatures and key ids. libcrypto computes SHA-256 with the processor's
// SHA instructions where it has them.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kit {

using Digest = std::array<uint8_t, 32>;     // SHA-256
using PublicKey = std::array<uint8_t, 32>;  // Ed25519 public key
using SecretKey = std::array<uint8_t, 32>;  // Ed25519 seed (the private key)
using Signature = std::array<uint8_t, 64>;  // Ed25519 signature
using KeyId = std::array<uint8_t, 8>;       // first 8 bytes of SHA-256(public key)

// SHA-256 over a byte stream; counts the bytes it was given.
class Sha256 {
  public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Update(const void* data, size_t size);
    // The digest of everything given since construction; call once. False
    // when the library failed (out of memory): then nothing can be trusted.
    bool Finish(Digest* digest);
    uint64_t bytes() const { return bytes_; }

  private:
    struct State;
    std::unique_ptr<State> state_;
    uint64_t bytes_ = 0;
};

// For small inputs (key ids, tests); all zeros if the library failed.
Digest Sha256Of(const void* data, size_t size);

KeyId KeyIdOf(const PublicKey& key);
// A fresh key pair from the system's random source; false if none.
bool GenerateKeyPair(SecretKey* secret, PublicKey* pub);
// The public half of a secret key.
bool PublicKeyOf(const SecretKey& secret, PublicKey* pub);
bool Sign(const SecretKey& secret, const std::string& message, Signature* signature);
bool Verify(const PublicKey& key, const std::string& message, const Signature& signature);

// Lower-case hex, and its strict inverse (exactly 2 * size hex digits).
std::string ToHex(const uint8_t* data, size_t size);
template <size_t N>
std::string ToHex(const std::array<uint8_t, N>& bytes) {
    return ToHex(bytes.data(), N);
}
bool FromHex(const std::string& text, uint8_t* out, size_t size);

}  // namespace kit
