// The pictures compiled into setup-mac have the formats and sizes AppKit is
// handed: a 158 x 286 Windows bitmap with a 256-colour palette, and two RGBA
// PNG icons of 125 and 256 pixels. The layouts checked here:
//
// Windows bitmap (little-endian)       PNG
//   0  "BM"                              0  89 50 4E 47 0D 0A 1A 0A
//   2  u32 file size                     8  u32be 13, "IHDR"
//  10  u32 offset of the pixels         16  u32be width, u32be height
//  14  u32 header size (40)             24  u8 bit depth, u8 colour type
//  18  i32 width, i32 height               (6 = RGBA)
//  28  u16 bits per pixel
//  30  u32 compression (0 = none)
//  46  u32 colours used (0 = all)
#include "cocoa/pictures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Be32(const unsigned char* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

TEST(SidePicture, IsAn8BitPaletteBitmapOfTheSideSize) {
    const cocoa::EmbeddedPicture& picture = cocoa::kSidePicture;
    ASSERT_GE(picture.size, 54u + 1024u);
    const unsigned char* b = picture.bytes;
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Le32(b + 2), picture.size);
    EXPECT_EQ(Le32(b + 14), 40u);
    EXPECT_EQ(static_cast<int32_t>(Le32(b + 18)), 158);
    EXPECT_EQ(static_cast<int32_t>(Le32(b + 22)), 286);
    EXPECT_EQ(Le16(b + 28), 8);
    EXPECT_EQ(Le32(b + 30), 0u);
    const uint32_t colours = Le32(b + 46);
    EXPECT_TRUE(colours == 0 || colours == 256) << colours;
    // Rows of 158 bytes padded to 160, after the header and a full palette.
    EXPECT_EQ(Le32(b + 10), 54u + 256u * 4u);
    EXPECT_EQ(picture.size, 54u + 1024u + 160u * 286u);
}

void ExpectRgbaPng(const cocoa::EmbeddedPicture& picture, uint32_t side) {
    ASSERT_GE(picture.size, 33u);
    const unsigned char* b = picture.bytes;
    EXPECT_EQ(std::memcmp(b, "\x89PNG\r\n\x1a\n", 8), 0);
    EXPECT_EQ(Be32(b + 8), 13u);
    EXPECT_EQ(std::memcmp(b + 12, "IHDR", 4), 0);
    EXPECT_EQ(Be32(b + 16), side);
    EXPECT_EQ(Be32(b + 20), side);
    EXPECT_EQ(b[24], 8);
    EXPECT_EQ(b[25], 6);
    // The stream ends with the IEND chunk: the array holds the whole file.
    EXPECT_EQ(std::memcmp(b + picture.size - 8, "IEND", 4), 0);
}

TEST(AlertIcons, ArePngWithAlphaAtTheirSizes) {
    ExpectRgbaPng(cocoa::kErrorIcon, 125);
    ExpectRgbaPng(cocoa::kQuestionIcon, 256);
}

}  // namespace
