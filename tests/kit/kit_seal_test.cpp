// Sealed kits: every flipped bit of the stream is caught, damaged or foreign
// trailers are refused, signatures are checked by the trusted keys, and a kit
// without a trailer opens as before. No refused kit leaves its image behind.
#include "kit/kit_seal.h"

#include "kit/kit_trailer.h"
#include "kit_fixture.h"

namespace kittest {
namespace {

struct KeyPair {
    kit::SecretKey secret{};
    kit::PublicKey pub{};
};

KeyPair NewKey() {
    KeyPair pair;
    EXPECT_TRUE(kit::GenerateKeyPair(&pair.secret, &pair.pub));
    return pair;
}

class SealTest : public KitTest {
  protected:
    // A kit of a few hundred bytes: two descriptions, three small files.
    kit::KitWriter SmallWriter(const std::string& flavour = "a") const {
        kit::KitWriter w;
        w.AddProduct({u"en", u"Templates", u"Example Ltd", u"doc\\readme.txt"});
        w.AddProduct({u"de", u"Vorlagen", u"Beispiel GmbH", u""});
        w.AddFile(u"doc\\readme.txt", kNewYear2020, "Read me first. " + flavour);
        w.AddFile(u"a.cfg", kNewYear2020, "key=value\nother=" + flavour + "\n");
        w.AddFile(u"sub\\b.cfg", kNewYear2020 + 10000000, std::string(40, 'b'));
        return w;
    }
    std::string KitBytes(kit::KitWriter w, kit::Seal seal = kit::Seal::kDigest,
                         const kit::SecretKey* key = nullptr) {
        w.SetSeal(seal);
        if (key)
            w.SetSigningKey(*key);
        WriteKit(w, "made.efd");
        return testing_support::Sandbox::read(sandbox_.at("made.efd"));
    }
    // Opens `bytes` as the kit with `trust`; checks a failure left nothing.
    uint32_t OpenBytes(const std::string& bytes, const kit::KitTrust& trust = kit::KitTrust()) {
        Kit kit;
        kit.trust = trust;
        uint32_t rc = kit.Open(KitFromBytes(bytes));
        lastState_ = kit.seal.state;
        if (rc != 0) {
            EXPECT_TRUE(kit.files.empty());
            EXPECT_EQ(kInvalidFileHandle, kit.imageHandle);
            EXPECT_TRUE(TempFiles().empty()) << "a refused kit left its image behind";
        }
        return rc;
    }

    kit::SealState lastState_ = kit::SealState::kNone;
};

TEST_F(SealTest, EveryFlippedBitOfTheStreamIsRefused) {
    const std::string sealed = KitBytes(SmallWriter());
    const size_t stream = sealed.size() - kit::kUnsignedTrailerSize;
    ASSERT_LT(stream, 1000u) << "the loop below wants a kit of a few hundred bytes";
    ASSERT_EQ(0u, OpenBytes(sealed));
    for (size_t bit = 0; bit < 8 * stream; ++bit) {
        std::string flipped = sealed;
        flipped[bit / 8] = char(flipped[bit / 8] ^ (1 << (bit % 8)));
        ASSERT_EQ(kit::kDamagedKit, OpenBytes(flipped)) << "bit " << bit << " was not caught";
    }
}

TEST_F(SealTest, KitWithoutTrailerOpensExactlyAsASealedOne) {
    const std::string bare = KitBytes(SmallWriter(), kit::Seal::kNone);
    const std::string sealed = KitBytes(SmallWriter());
    ASSERT_EQ(bare, sealed.substr(0, bare.size())) << "the seal must only append";
    ASSERT_EQ(bare.size() + kit::kUnsignedTrailerSize, sealed.size());

    Kit plain, checked;
    ASSERT_EQ(0u, plain.Open(KitFromBytes(bare, "bare.efd")));
    EXPECT_EQ(kit::SealState::kNone, plain.seal.state);
    ASSERT_EQ(0u, checked.Open(KitFromBytes(sealed, "sealed.efd")));
    EXPECT_EQ(kit::SealState::kDigest, checked.seal.state);
    ASSERT_EQ(plain.files.size(), checked.files.size());
    for (size_t i = 0; i < plain.files.size(); ++i) {
        EXPECT_EQ(plain.files[i].name, checked.files[i].name);
        // Extraction makes new files only: one name per entry.
        const std::string p = "p" + std::to_string(i);
        const std::string c = "c" + std::to_string(i);
        ASSERT_EQ(0u, plain.ExtractFile(uint32_t(i), sandbox_.at16(p)));
        ASSERT_EQ(0u, checked.ExtractFile(uint32_t(i), sandbox_.at16(c)));
        EXPECT_EQ(testing_support::Sandbox::read(sandbox_.at(p)),
                  testing_support::Sandbox::read(sandbox_.at(c)));
    }
}

TEST_F(SealTest, DamagedOrForeignTrailersAreRefused) {
    const std::string sealed = KitBytes(SmallWriter());
    const std::string other = KitBytes(SmallWriter("another kit"));
    const size_t stream = sealed.size() - kit::kUnsignedTrailerSize;
    const size_t otherStream = other.size() - kit::kUnsignedTrailerSize;
    auto patched = [&](size_t trailerOffset, char value) {
        std::string s = sealed;
        s[stream + trailerOffset] = value;
        return s;
    };
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"trailer cut by one byte", sealed.substr(0, sealed.size() - 1)},
        {"footer cut away", sealed.substr(0, sealed.size() - kit::kFooterSize)},
        {"only the first trailer byte left", sealed.substr(0, stream + 1)},
        {"wrong version", patched(8, 2)},
        {"unknown flag", patched(10, 4)},
        {"signed flag without a signature", patched(10, 1)},
        {"length field disagrees", patched(12, 69)},
        {"footer length disagrees", patched(kit::kUnsignedTrailerSize - 12, 67)},
        {"covered length off by one", patched(16, char(sealed[stream + 16] + 1))},
        {"flipped digest byte", patched(24 + 31, char(sealed[stream + 24 + 31] ^ 0x01))},
        {"digest of another kit", sealed.substr(0, stream) + other.substr(otherStream)},
        {"bytes between stream and trailer",
         sealed.substr(0, stream) + "x" + sealed.substr(stream)},
        {"footer announces a huge trailer", sealed.substr(0, sealed.size() - 12) +
                                                std::string("\xff\xff\x00\x00", 4) +
                                                sealed.substr(sealed.size() - 8)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(kit::kDamagedKit, OpenBytes(c.bytes));
    }
    // Bytes after a bare stream that do not start like a trailer are ignored.
    const std::string bare = KitBytes(SmallWriter(), kit::Seal::kNone);
    EXPECT_EQ(0u, OpenBytes(bare + "EFDS-not-a-seal"));
}

TEST_F(SealTest, SignaturesAreCheckedByTrustedKeysOnly) {
    const KeyPair key = NewKey();
    const KeyPair stranger = NewKey();
    const std::string signedKit = KitBytes(SmallWriter(), kit::Seal::kDigest, &key.secret);
    ASSERT_EQ(signedKit.size(),
              KitBytes(SmallWriter(), kit::Seal::kNone).size() + kit::kSignedTrailerSize);
    const size_t trailer = signedKit.size() - kit::kSignedTrailerSize;
    auto flipped = [&](size_t offset) {
        std::string s = signedKit;
        s[offset] = char(s[offset] ^ 0x10);
        return s;
    };
    const std::string digestOnly = KitBytes(SmallWriter());
    const std::string bare = KitBytes(SmallWriter(), kit::Seal::kNone);

    const kit::KitTrust none;
    kit::KitTrust knows = none;
    knows.keys = {key.pub};
    kit::KitTrust requires = knows;
    requires.policy = kit::SignaturePolicy::kRequireKnownKey;
    kit::KitTrust requiresOther = requires;
    requiresOther.keys = {stranger.pub};

    const struct {
        const char* what;
        std::string bytes;
        const kit::KitTrust& trust;
        uint32_t rc;
        kit::SealState state;
    } cases[] = {
        {"signed, key known", signedKit, knows, 0, kit::SealState::kSignedKnownKey},
        {"signed, key required", signedKit, requires, 0, kit::SealState::kSignedKnownKey},
        {"signed, key unknown: ignored", signedKit, none, 0, kit::SealState::kSignedUnknownKey},
        {"signed by another key", signedKit, requiresOther, kit::kNotSigned,
         kit::SealState::kSignedUnknownKey},
        {"digest only, signature required", digestOnly, requires, kit::kNotSigned,
         kit::SealState::kDigest},
        {"no trailer, signature required", bare, requires, kit::kNotSigned, kit::SealState::kNone},
        {"flipped stream byte, key known", flipped(trailer / 2), knows, kit::kDamagedKit,
         kit::SealState::kNone},
        {"flipped stream byte, key required", flipped(trailer / 2), requires, kit::kDamagedKit,
         kit::SealState::kNone},
        {"bad signature, key known", flipped(trailer + 64), knows, kit::kDamagedKit,
         kit::SealState::kDigest},
        {"bad signature, key required", flipped(trailer + 64), requires, kit::kNotSigned,
         kit::SealState::kDigest},
        {"key id changed, key known", flipped(trailer + 56), knows, 0,
         kit::SealState::kSignedUnknownKey},
        {"key id changed, key required", flipped(trailer + 56), requires, kit::kNotSigned,
         kit::SealState::kSignedUnknownKey},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.rc, OpenBytes(c.bytes, c.trust));
        if (c.rc == 0)
            EXPECT_EQ(c.state, lastState_);
    }
}

TEST_F(SealTest, SigningAnExistingKitKeepsItsStream) {
    const KeyPair key = NewKey();
    const std::string bare = KitBytes(SmallWriter(), kit::Seal::kNone);
    sandbox_.write("kelda.efd", bare + "junk after the stream");
    std::string error;
    ASSERT_TRUE(kit::SignKitFile(sandbox_.at("kelda.efd"), bare.size(), key.secret, &error))
        << error;
    const std::string resealed = testing_support::Sandbox::read(sandbox_.at("kelda.efd"));
    EXPECT_EQ(resealed, KitBytes(SmallWriter(), kit::Seal::kDigest, &key.secret))
        << "signing later gives the bytes of a kit signed when written";

    kit::KitTrust requires;
    requires.keys = {key.pub};
    requires.policy = kit::SignaturePolicy::kRequireKnownKey;
    EXPECT_EQ(0u, OpenBytes(resealed, requires));
    // A stream length past the file's end fails and leaves the kit alone.
    EXPECT_FALSE(
        kit::SignKitFile(sandbox_.at("kelda.efd"), resealed.size() + 1, key.secret, &error));
    EXPECT_EQ(resealed, testing_support::Sandbox::read(sandbox_.at("kelda.efd")));
}

}  // namespace
}  // namespace kittest
