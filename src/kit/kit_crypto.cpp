// SHA-256 and Ed25519 through libcrypto's EVP interface.
#include "kit/kit_crypto.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

namespace kit {

struct Sha256::State {
    EVP_MD_CTX* context = nullptr;
    bool ok = false;
};

Sha256::Sha256() : state_(new State) {
    state_->context = EVP_MD_CTX_new();
    state_->ok = state_->context != nullptr &&
                 EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr) == 1;
}

Sha256::~Sha256() {
    EVP_MD_CTX_free(state_->context);
}

void Sha256::Update(const void* data, size_t size) {
    bytes_ += size;
    if (state_->ok && size > 0)
        state_->ok = EVP_DigestUpdate(state_->context, data, size) == 1;
}

bool Sha256::Finish(Digest* digest) {
    unsigned int length = 0;
    bool ok = state_->ok && EVP_DigestFinal_ex(state_->context, digest->data(), &length) == 1 &&
              length == digest->size();
    state_->ok = false;
    return ok;
}

Digest Sha256Of(const void* data, size_t size) {
    Sha256 sha;
    sha.Update(data, size);
    Digest digest{};
    sha.Finish(&digest);
    return digest;
}

KeyId KeyIdOf(const PublicKey& key) {
    Digest digest = Sha256Of(key.data(), key.size());
    KeyId id;
    for (size_t i = 0; i < id.size(); ++i) id[i] = digest[i];
    return id;
}

namespace {

struct PkeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct MdContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;
using MdContext = std::unique_ptr<EVP_MD_CTX, MdContextFree>;

Pkey SecretPkey(const SecretKey& secret) {
    return Pkey(
        EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr, secret.data(), secret.size()));
}

}  // namespace

bool PublicKeyOf(const SecretKey& secret, PublicKey* pub) {
    Pkey key = SecretPkey(secret);
    size_t length = pub->size();
    return key && EVP_PKEY_get_raw_public_key(key.get(), pub->data(), &length) == 1 &&
           length == pub->size();
}

bool GenerateKeyPair(SecretKey* secret, PublicKey* pub) {
    if (RAND_bytes(secret->data(), int(secret->size())) != 1)
        return false;
    return PublicKeyOf(*secret, pub);
}

bool Sign(const SecretKey& secret, const std::string& message, Signature* signature) {
    Pkey key = SecretPkey(secret);
    MdContext context(EVP_MD_CTX_new());
    if (!key || !context)
        return false;
    size_t length = signature->size();
    return EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()) == 1 &&
           EVP_DigestSign(context.get(), signature->data(), &length,
                          reinterpret_cast<const unsigned char*>(message.data()),
                          message.size()) == 1 &&
           length == signature->size();
}

bool Verify(const PublicKey& key, const std::string& message, const Signature& signature) {
    Pkey pkey(EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, key.data(), key.size()));
    MdContext context(EVP_MD_CTX_new());
    if (!pkey || !context)
        return false;
    return EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, pkey.get()) == 1 &&
           EVP_DigestVerify(context.get(), signature.data(), signature.size(),
                            reinterpret_cast<const unsigned char*>(message.data()),
                            message.size()) == 1;
}

std::string ToHex(const uint8_t* data, size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * size);
    for (size_t i = 0; i < size; ++i) {
        out.push_back(kDigits[data[i] >> 4]);
        out.push_back(kDigits[data[i] & 15]);
    }
    return out;
}

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

bool FromHex(const std::string& text, uint8_t* out, size_t size) {
    if (text.size() != 2 * size)
        return false;
    for (size_t i = 0; i < size; ++i) {
        int high = HexValue(text[2 * i]);
        int low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        out[i] = uint8_t(high << 4 | low);
    }
    return true;
}

}  // namespace kit
