// The pictures compiled into setup-mac: the side picture of the pages and the
// icons of error and question alerts. The bytes are drawn at build time by
// tools/cocoa-pictures and embedded as arrays; this header is plain C++ so
// tests can check them without AppKit.
#pragma once
#include <cstddef>

namespace cocoa {

struct EmbeddedPicture {
    const unsigned char* bytes;
    std::size_t size;
};

// Windows bitmap, 158 x 286, 8 bits per pixel with a 256-colour palette.
extern const EmbeddedPicture kSidePicture;
// PNG, 125 x 125 RGBA: red round sign with a white bar.
extern const EmbeddedPicture kErrorIcon;
// PNG, 256 x 256 RGBA: blue disc with a white question mark.
extern const EmbeddedPicture kQuestionIcon;

}  // namespace cocoa

#ifdef __OBJC__
@class NSImage;
namespace cocoa {
// A new autoreleased NSImage made from a copy of the picture's bytes; nil
// when AppKit cannot read them.
NSImage* MakeImage(const EmbeddedPicture& picture);
}  // namespace cocoa
#endif
