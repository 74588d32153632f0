// Driving zlib over 32 KiB mapped windows: window boundaries, trailing bytes,
// bad data, highly compressible input and the image size limit.
#include <unistd.h>

#include "kit_fixture.h"

namespace kittest {
namespace {

class InflateTest : public KitTest {
  protected:
    // Inflates `kitBytes` into a fresh target; returns the result code.
    uint32_t Inflate(const std::string& kitBytes, uint64_t limit = LZCompressor::kMaxImageSize) {
        sandbox_.write("kit", kitBytes);
        sandbox_.write("image", "");
        return LZCompressor().Decompress(sandbox_.at16("kit"), sandbox_.at16("image"), limit);
    }
    std::string Image() const { return testing_support::Sandbox::read(sandbox_.at("image")); }
};

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

TEST_F(InflateTest, EmptyKitHasNoFinalBlockAndIsDamaged) {
    EXPECT_EQ(13u, Inflate(""));
}

TEST_F(InflateTest, RoundTripsAcrossWindowSizes) {
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
        EXPECT_EQ(0u, Inflate(kitBytes));
        EXPECT_EQ(content, Image());
    }
}

TEST_F(InflateTest, HighlyCompressibleKitIsExact) {
    std::string content(40u << 20, 'a');
    for (size_t i = 0; i < content.size(); i += 4099) content[i] = char('b' + i % 7);
    std::string kitBytes = kit::RawDeflate(content, 9);
    ASSERT_LT(kitBytes.size(), 32768u * 8);  // many output buffers per window
    EXPECT_EQ(0u, Inflate(kitBytes));
    EXPECT_TRUE(content == Image());

    // A kit of a few hundred bytes: the output room per call is only that
    // long, so a MiB of image takes thousands of calls and writes.
    std::string zeros(1u << 20, '\0');
    std::string tiny = kit::RawDeflate(zeros, 9);
    ASSERT_LT(tiny.size(), 2000u);
    EXPECT_EQ(0u, Inflate(tiny));
    EXPECT_TRUE(zeros == Image());
}

TEST_F(InflateTest, TrailingBytesAreIgnoredAndTargetIsExactlyTheImage) {
    std::string content = "the kit's content";
    sandbox_.write("kit", kit::RawDeflate(content, 6) + Noise(70000, 3));
    sandbox_.write("image", std::string(100000, 'z'));  // stale, longer
    EXPECT_EQ(0u, LZCompressor().Decompress(sandbox_.at16("kit"), sandbox_.at16("image")));
    EXPECT_EQ(content, Image());
}

TEST_F(InflateTest, BadDataIsInvalid) {
    std::string gz("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10);
    EXPECT_EQ(13u, Inflate(gz + kit::RawDeflate("x", 6)));
    // Damage far into a long stream, in a later window.
    std::string kitBytes = kit::RawDeflate(Noise(200000, 9) + std::string(200000, 'q'), 6);
    kitBytes[kitBytes.size() - 40] ^= 0x55;
    kitBytes[kitBytes.size() - 41] ^= 0xFF;
    kitBytes[kitBytes.size() - 60] ^= 0xFF;
    uint32_t rc = Inflate(kitBytes);
    if (rc == 0) {
        // Flipped bits inside stored literals can still decode; it must then
        // at least not be the original content.
        EXPECT_NE(Noise(200000, 9) + std::string(200000, 'q'), Image());
    } else {
        EXPECT_EQ(13u, rc);
    }
    EXPECT_EQ(13u, Inflate(std::string(5, '\xFF')));
}

TEST_F(InflateTest, StreamCutShortBeforeItsFinalBlockIsDamaged) {
    // Stored and compressed streams, cut in the first window, on a window
    // boundary, and one byte before the end.
    for (int level : {0, 9}) {
        std::string kitBytes = kit::RawDeflate(Noise(100000, 4) + std::string(50000, 'z'), level);
        for (size_t cut : {size_t(1), size_t(50000), size_t(32768), kitBytes.size() - 1}) {
            if (cut >= kitBytes.size())
                continue;
            SCOPED_TRACE(std::to_string(level) + " cut at " + std::to_string(cut));
            EXPECT_EQ(13u, Inflate(kitBytes.substr(0, cut)));
        }
    }
}

TEST_F(InflateTest, TapLimitsTheInputHashesItAndFindsTheStreamEnd) {
    const std::string content = Noise(70000, 11);
    const std::string stream = kit::RawDeflate(content, 0);
    const std::string tail = "trailer bytes that are never inflated";
    sandbox_.write("kit", stream + tail);
    sandbox_.write("image", "");

    kit::Sha256 digest;
    kit::InputTap tap;
    tap.length = stream.size();
    tap.digest = &digest;
    ASSERT_EQ(0u, LZCompressor().Decompress(sandbox_.at16("kit"), sandbox_.at16("image"),
                                            LZCompressor::kMaxImageSize, &tap));
    EXPECT_EQ(content, Image());
    EXPECT_EQ(stream.size(), tap.streamEnd);
    EXPECT_EQ(stream.size(), digest.bytes());
    kit::Digest got{};
    ASSERT_TRUE(digest.Finish(&got));
    EXPECT_EQ(kit::Sha256Of(stream.data(), stream.size()), got);

    // Without a limit the stream still ends where it ends.
    kit::InputTap open;
    ASSERT_EQ(0u, LZCompressor().Decompress(sandbox_.at16("kit"), sandbox_.at16("image"),
                                            LZCompressor::kMaxImageSize, &open));
    EXPECT_EQ(stream.size(), open.streamEnd);
}

TEST_F(InflateTest, ImageOverTheLimitIsDamaged) {
    std::string content(1u << 20, '\0');
    std::string kitBytes = kit::RawDeflate(content, 9);
    EXPECT_EQ(13u, Inflate(kitBytes, content.size() - 1));
    EXPECT_EQ(0u, Inflate(kitBytes, content.size()));
    EXPECT_EQ(content.size(), Image().size());
}

TEST_F(InflateTest, OpenFailuresPassTheirCodes) {
    sandbox_.write("kit", kit::RawDeflate("x", 6));
    EXPECT_EQ(2u, LZCompressor().Decompress(sandbox_.at16("missing"), sandbox_.at16("image")));
    EXPECT_EQ(2u, LZCompressor().Decompress(sandbox_.at16("kit"), sandbox_.at16("no/dir/image")));
}

TEST_F(InflateTest, FullDiskIsReportedNotSuccess) {
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    sandbox_.write("kit", kit::RawDeflate(Noise(100000, 5), 6));
    EXPECT_NE(0u, LZCompressor().Decompress(sandbox_.at16("kit"), u"/dev/full"));
}

}  // namespace
}  // namespace kittest
