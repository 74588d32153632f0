// mkkit keygen, sign and verify: the key pair that signs kits, a signature
// added to an existing kit, and the check of a kit's digest and signature.
#include <cstdio>

#include "kit/kit_sealer.h"
#include "mkkit/commands.h"
#include "mkkit/key_files.h"

int RunKeygen(const std::string& base) {
    kit::SecretKey secret{};
    kit::PublicKey pub{};
    if (!kit::GenerateKeyPair(&secret, &pub)) {
        std::fprintf(stderr, "mkkit: cannot generate a key pair\n");
        return 1;
    }
    std::string error;
    if (!WriteKeyFiles(base, secret, pub, &error)) {
        std::fprintf(stderr, "mkkit: %s\n", error.c_str());
        return 1;
    }
    std::printf("secret key %s.sec (keep it private), public key %s.pub, key id %s\n", base.c_str(),
                base.c_str(), kit::ToHex(kit::KeyIdOf(pub)).c_str());
    return 0;
}

int RunSign(const std::string& kitPath, const std::string& secretKeyFile) {
    std::string error;
    kit::SecretKey secret{};
    kit::PublicKey pub{};
    if (!ReadSecretKeyFile(secretKeyFile, &secret, &error) || !kit::PublicKeyOf(secret, &pub)) {
        std::fprintf(stderr, "mkkit: %s\n", error.empty() ? "unusable secret key" : error.c_str());
        return 2;
    }
    // Only a kit that opens (digest, stream and tables intact) is signed.
    ToolKit kit;
    if (OpenKit(kitPath, kit) != 0)
        return 1;
    uint64_t stream = kit.seal.streamLength;
    if (!kit::SignKitFile(kitPath, stream, secret, &error)) {
        std::fprintf(stderr, "mkkit: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: signed by key %s\n", kitPath.c_str(), kit::ToHex(kit::KeyIdOf(pub)).c_str());
    return 0;
}

int RunVerify(const std::string& kitPath, const std::string& publicKeyFile) {
    ToolKit kit;
    if (!publicKeyFile.empty()) {
        kit::PublicKey pub{};
        std::string error;
        if (!ReadPublicKeyFile(publicKeyFile, &pub, &error)) {
            std::fprintf(stderr, "mkkit: %s\n", error.c_str());
            return 2;
        }
        kit.trust.keys.push_back(pub);
        kit.trust.policy = kit::SignaturePolicy::kRequireKnownKey;
    }
    uint32_t rc = OpenKit(kitPath, kit);
    if (rc == kit::kNotSigned) {
        const kit::KeyId wanted = kit::KeyIdOf(kit.trust.keys.front());
        const std::string found = kit.seal.state == kit::SealState::kSignedUnknownKey
                                      ? "it is signed by key " + kit::ToHex(kit.seal.keyId)
                                  : kit.seal.keyId == wanted ? "its signature does not match"
                                                             : "it carries no signature";
        std::printf("%s: not signed by key %s: %s\n", kitPath.c_str(), kit::ToHex(wanted).c_str(),
                    found.c_str());
        return kExitNotSigned;
    }
    if (rc != 0) {
        std::printf("%s: damaged\n", kitPath.c_str());
        return 1;
    }
    std::printf("%s: %s\n", kitPath.c_str(), DescribeSeal(kit.seal).c_str());
    return kit.seal.state == kit::SealState::kNone ? kExitNoTrailer : 0;
}
