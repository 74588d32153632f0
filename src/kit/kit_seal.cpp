// The verdict on a kit's seal once its stream has been inflated and hashed.
#include "kit/kit_seal.h"

namespace kit {

namespace {

const PublicKey* FindKey(const KitTrust& trust, const KeyId& id) {
    for (const PublicKey& key : trust.keys) {
        if (KeyIdOf(key) == id)
            return &key;
    }
    return nullptr;
}

}  // namespace

uint32_t JudgeSeal(const SealFound& found, const Digest& digest, uint64_t hashed,
                   uint64_t streamEnd, const unsigned char* afterStream, uint32_t afterSize,
                   const KitTrust& trust, SealReport* report) {
    *report = SealReport();
    report->streamLength = streamEnd;
    const bool required = trust.policy == SignaturePolicy::kRequireKnownKey;
    if (!found.present) {
        // A sealed kit cut short keeps the start of its trailer after the
        // stream, and the stream itself intact: only this tells them apart.
        if (LooksLikeTrailerStart(afterStream, afterSize))
            return kDamagedKit;
        return required ? kNotSigned : 0;
    }
    const KitTrailer& trailer = found.trailer;
    if (streamEnd != trailer.coveredLength || hashed != trailer.coveredLength ||
        digest != trailer.digest)
        return kDamagedKit;
    report->state = SealState::kDigest;
    if (!trailer.isSigned)
        return required ? kNotSigned : 0;
    report->keyId = trailer.keyId;
    const PublicKey* key = FindKey(trust, trailer.keyId);
    if (!key) {
        report->state = SealState::kSignedUnknownKey;
        return required ? kNotSigned : 0;
    }
    if (!Verify(*key, SignedMessage(trailer), trailer.signature))
        return required ? kNotSigned : kDamagedKit;
    report->state = SealState::kSignedKnownKey;
    return 0;
}

}  // namespace kit
