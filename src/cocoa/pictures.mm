// NSImage objects from the pictures compiled into the program.
#import <AppKit/AppKit.h>

#include "cocoa/pictures.h"

namespace cocoa {

NSImage* MakeImage(const EmbeddedPicture& picture) {
    NSData* data = [NSData dataWithBytes:picture.bytes length:picture.size];
    return [[[NSImage alloc] initWithData:data] autorelease];
}

}  // namespace cocoa
