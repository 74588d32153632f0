// A UTF-8 text as an NSString for AppKit; a null or invalid text is empty.
#pragma once
#import <Foundation/Foundation.h>

namespace cocoa {

inline NSString* StringFrom(const char* text) {
    NSString* string = [NSString stringWithUTF8String:text != nullptr ? text : ""];
    return string != nil ? string : @"";
}

}  // namespace cocoa
