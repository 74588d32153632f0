// Driving each inflate back end over mapped windows: window boundaries,
// trailing bytes, bad data, highly compressible input and the image size
// limit. Every case runs on zlib, on ISA-L where its library is found, and
// on the back end the program chooses at run time. ctest runs these cases a
// second time with ISA-L hidden (SETUP_ISAL_LIBRARY naming no library): the
// program's choice is then zlib, with the same results.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>

#include "kit/isal_library.h"
#include "kit/runtime_inflater.h"
#include "kit_fixture.h"

namespace kittest {
namespace {

template <class Inflater>
class InflateTest : public KitTest {
  protected:
    using Compressor = BasicLZCompressor<Inflater>;

    static uint32_t Decompress(const string16& source, const string16& target,
                               uint64_t limit = Compressor::kMaxImageSize,
                               kit::InputTap* tap = nullptr) {
        return Compressor().Decompress(source, target, limit, tap);
    }
    void SetUp() override {
        KitTest::SetUp();
        if (std::string(Inflater::kName) == "isa-l" && kit::IsalLibrary() == nullptr) {
            GTEST_SKIP() << "ISA-L is not loadable here";
        }
    }
    // Inflates `kitBytes` into a fresh target; returns the result code.
    uint32_t Inflate(const std::string& kitBytes, uint64_t limit = Compressor::kMaxImageSize) {
        sandbox_.write("kit", kitBytes);
        sandbox_.write("image", "");
        return Decompress(sandbox_.at16("kit"), sandbox_.at16("image"), limit);
    }
    std::string Image() const { return testing_support::Sandbox::read(sandbox_.at("image")); }
};

// The program's own choice, named apart from the two back ends.
struct ChosenInflater : RuntimeInflater {
    static constexpr const char* kName = "chosen";
};

#if SETUP_HAVE_ISAL
using Inflaters = ::testing::Types<ZlibInflater, IsalInflater, ChosenInflater>;
#else
using Inflaters = ::testing::Types<ZlibInflater, ChosenInflater>;
#endif

struct InflaterName {
    template <class T>
    static std::string GetName(int) {
        return std::string(T::kName) == "isa-l" ? "isal" : T::kName;
    }
};
TYPED_TEST_SUITE(InflateTest, Inflaters, InflaterName);

// Incompressible bytes, so that the kit's length can be steered.
std::string Noise(size_t size, uint32_t seed) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        s[i] = char(seed);
    }
    return s;
}

TYPED_TEST(InflateTest, EmptyKitHasNoFinalBlockAndIsDamaged) {
    EXPECT_EQ(13u, this->Inflate(""));
}

TYPED_TEST(InflateTest, RoundTripsAcrossWindowSizes) {
    // Stored (level 0) deflate blocks make the kit a little longer than its
    // content; pad the content so the kit's length hits the boundaries exactly.
    for (size_t target : {size_t(100), size_t(32767), size_t(32768), size_t(65536),
                          size_t(3 * 32768), size_t(3 * 32768 + 1)}) {
        SCOPED_TRACE(target);
        std::string content = Noise(target, 7);
        std::string kitBytes = kit::RawDeflate(content, 0);
        while (kitBytes.size() > target) {
            content.resize(content.size() - (kitBytes.size() - target));
            kitBytes = kit::RawDeflate(content, 0);
        }
        if (kitBytes.size() < target) {
            // Trailing bytes after the stream are ignored; use them as padding.
            kitBytes += std::string(target - kitBytes.size(), '\x33');
        }
        ASSERT_EQ(target, kitBytes.size());
        EXPECT_EQ(0u, this->Inflate(kitBytes));
        EXPECT_EQ(content, this->Image());
    }
}

// Text-like content: dynamic Huffman blocks with long and short matches.
std::string Words(size_t size, uint32_t seed) {
    static const char* const kWords[] = {"key", "=", "value\n", "template ", "#", "path/"};
    std::string s;
    while (s.size() < size) {
        seed = seed * 1103515245u + 12345u;
        s += kWords[(seed >> 16) % 6];
    }
    s.resize(size);
    return s;
}

TYPED_TEST(InflateTest, MixedContentAtEveryLevelAndEveryCut) {
    const std::string content =
        Words(150000, 1) + Noise(70000, 2) + std::string(90000, '\0') + Words(40000, 3);
    for (int level : {0, 1, 6, 9}) {
        SCOPED_TRACE(level);
        const std::string kitBytes = kit::RawDeflate(content, level);
        ASSERT_EQ(0u, this->Inflate(kitBytes));
        EXPECT_TRUE(content == this->Image());
        // Cut short anywhere, the stream lacks its final block.
        for (size_t cut : {size_t(1), size_t(7), kitBytes.size() / 3, size_t(32768), size_t(32769),
                           kitBytes.size() - 1}) {
            SCOPED_TRACE(cut);
            EXPECT_EQ(13u, this->Inflate(kitBytes.substr(0, cut)));
        }
        // Where the stream ends is exact whatever follows it, though a back
        // end may have read ahead past it.
        this->sandbox_.write("kit", kitBytes + "trailing bytes, never inflated");
        kit::InputTap tap;
        ASSERT_EQ(0u, this->Decompress(this->sandbox_.at16("kit"), this->sandbox_.at16("image"),
                                       BasicLZCompressor<TypeParam>::kMaxImageSize, &tap));
        EXPECT_EQ(kitBytes.size(), tap.streamEnd);
    }
}

TYPED_TEST(InflateTest, HighlyCompressibleKitIsExact) {
    std::string content(40u << 20, 'a');
    for (size_t i = 0; i < content.size(); i += 4099) content[i] = char('b' + i % 7);
    std::string kitBytes = kit::RawDeflate(content, 9);
    ASSERT_LT(kitBytes.size(), 32768u * 8);  // many output buffers per window
    EXPECT_EQ(0u, this->Inflate(kitBytes));
    EXPECT_TRUE(content == this->Image());

    // A kit of a few hundred bytes: the output room per call is only that
    // long, so a MiB of image takes thousands of calls and writes.
    std::string zeros(1u << 20, '\0');
    std::string tiny = kit::RawDeflate(zeros, 9);
    ASSERT_LT(tiny.size(), 2000u);
    EXPECT_EQ(0u, this->Inflate(tiny));
    EXPECT_TRUE(zeros == this->Image());
}

TYPED_TEST(InflateTest, TrailingBytesAreIgnoredAndTargetIsExactlyTheImage) {
    std::string content = "the kit's content";
    this->sandbox_.write("kit", kit::RawDeflate(content, 6) + Noise(70000, 3));
    this->sandbox_.write("image", std::string(100000, 'z'));  // stale, longer
    EXPECT_EQ(0u, this->Decompress(this->sandbox_.at16("kit"), this->sandbox_.at16("image")));
    EXPECT_EQ(content, this->Image());
}

TYPED_TEST(InflateTest, BadDataIsInvalid) {
    std::string gz("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10);
    EXPECT_EQ(13u, this->Inflate(gz + kit::RawDeflate("x", 6)));
    // Damage far into a long stream, in a later window.
    std::string kitBytes = kit::RawDeflate(Noise(200000, 9) + std::string(200000, 'q'), 6);
    kitBytes[kitBytes.size() - 40] ^= 0x55;
    kitBytes[kitBytes.size() - 41] ^= 0xFF;
    kitBytes[kitBytes.size() - 60] ^= 0xFF;
    uint32_t rc = this->Inflate(kitBytes);
    if (rc == 0) {
        // Flipped bits inside stored literals can still decode; it must then
        // at least not be the original content.
        EXPECT_NE(Noise(200000, 9) + std::string(200000, 'q'), this->Image());
    } else {
        EXPECT_EQ(13u, rc);
    }
    EXPECT_EQ(13u, this->Inflate(std::string(5, '\xFF')));
}

TYPED_TEST(InflateTest, StreamCutShortBeforeItsFinalBlockIsDamaged) {
    // Stored and compressed streams, cut in the first window, on a window
    // boundary, and one byte before the end.
    for (int level : {0, 9}) {
        std::string kitBytes = kit::RawDeflate(Noise(100000, 4) + std::string(50000, 'z'), level);
        for (size_t cut : {size_t(1), size_t(50000), size_t(32768), kitBytes.size() - 1}) {
            if (cut >= kitBytes.size())
                continue;
            SCOPED_TRACE(std::to_string(level) + " cut at " + std::to_string(cut));
            EXPECT_EQ(13u, this->Inflate(kitBytes.substr(0, cut)));
        }
    }
}

TYPED_TEST(InflateTest, TapLimitsTheInputHashesItAndFindsTheStreamEnd) {
    const std::string content = Noise(70000, 11);
    const std::string stream = kit::RawDeflate(content, 0);
    const std::string tail = "trailer bytes that are never inflated";
    this->sandbox_.write("kit", stream + tail);
    this->sandbox_.write("image", "");

    kit::Sha256 digest;
    kit::InputTap tap;
    tap.length = stream.size();
    tap.digest = &digest;
    ASSERT_EQ(0u, this->Decompress(this->sandbox_.at16("kit"), this->sandbox_.at16("image"),
                                   BasicLZCompressor<TypeParam>::kMaxImageSize, &tap));
    EXPECT_EQ(content, this->Image());
    EXPECT_EQ(stream.size(), tap.streamEnd);
    EXPECT_EQ(stream.size(), digest.bytes());
    kit::Digest got{};
    ASSERT_TRUE(digest.Finish(&got));
    EXPECT_EQ(kit::Sha256Of(stream.data(), stream.size()), got);

    // Without a limit the stream still ends where it ends.
    kit::InputTap open;
    ASSERT_EQ(0u, this->Decompress(this->sandbox_.at16("kit"), this->sandbox_.at16("image"),
                                   BasicLZCompressor<TypeParam>::kMaxImageSize, &open));
    EXPECT_EQ(stream.size(), open.streamEnd);
}

TYPED_TEST(InflateTest, ImageOverTheLimitIsDamaged) {
    std::string content(1u << 20, '\0');
    std::string kitBytes = kit::RawDeflate(content, 9);
    EXPECT_EQ(13u, this->Inflate(kitBytes, content.size() - 1));
    EXPECT_EQ(0u, this->Inflate(kitBytes, content.size()));
    EXPECT_EQ(content.size(), this->Image().size());
}

TYPED_TEST(InflateTest, OpenFailuresPassTheirCodes) {
    this->sandbox_.write("kit", kit::RawDeflate("x", 6));
    EXPECT_EQ(2u, this->Decompress(this->sandbox_.at16("missing"), this->sandbox_.at16("image")));
    EXPECT_EQ(2u,
              this->Decompress(this->sandbox_.at16("kit"), this->sandbox_.at16("no/dir/image")));
}

TYPED_TEST(InflateTest, FullDiskIsReportedNotSuccess) {
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    this->sandbox_.write("kit", kit::RawDeflate(Noise(100000, 5), 6));
    EXPECT_NE(0u, this->Decompress(this->sandbox_.at16("kit"), u"/dev/full"));
}

// The program inflates with ISA-L exactly when the library the environment
// names (or its soname) can be loaded now. SETUP_EXPECT_INFLATER, set by the
// ctest run that hides ISA-L, pins the answer.
TEST(InflateBackEnd, IsIsaLExactlyWhenItsLibraryLoads) {
    const char* named = std::getenv("SETUP_ISAL_LIBRARY");
    const char* soname = named != nullptr && *named != '\0' ? named : kit::kIsalSoname;
    void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
#if SETUP_HAVE_ISAL
    const bool loadable = library != nullptr;
#else
    const bool loadable = false;
#endif
    if (library != nullptr) {
        dlclose(library);
    }
    EXPECT_STREQ(loadable ? "isa-l" : "zlib", RuntimeInflater::Name());
    if (const char* expected = std::getenv("SETUP_EXPECT_INFLATER")) {
        EXPECT_STREQ(expected, RuntimeInflater::Name());
    }
}

}  // namespace
}  // namespace kittest
