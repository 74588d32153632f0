// The kit key a front end was built to require (SETUP_KIT_PUBLIC_KEY, see
// cmake/KitKey.cmake): linked into setup and setup-mac only, it replaces the
// core's weak defaults of kit/program_trust.h. SETUP_KIT_PUBLIC_KEY_HEX is
// checked at configure time to be 64 hex digits.
#include "kit/program_trust.h"

namespace kit {

namespace {

PublicKey RequiredKey() {
    PublicKey key{};
    FromHex(SETUP_KIT_PUBLIC_KEY_HEX, key.data(), key.size());
    return key;
}

}  // namespace

KitTrust ProgramKitTrust() {
    KitTrust trust;
    trust.keys.push_back(RequiredKey());
    trust.policy = SignaturePolicy::kRequireKnownKey;
    return trust;
}

std::string ProgramKitSigner() {
    const std::string name = SETUP_KIT_SIGNER;
    return name.empty() ? ToHex(KeyIdOf(RequiredKey())) : name;
}

}  // namespace kit
