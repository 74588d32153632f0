// See locale_source.h.
#import <Foundation/Foundation.h>

#include "cocoa/locale_source.h"
#include "l10n/startup_options.h"

namespace cocoa {

bool CurrentLocaleName(stdx::string8& name) {
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    const char* identifier = [[[NSLocale currentLocale] localeIdentifier] UTF8String];
    const stdx::string8 found = identifier != nullptr ? stdx::string8(identifier) : stdx::string8();
    [pool release];
    // An empty identifier would make LANG ".UTF-8", which names no locale.
    if (found.empty()) {
        return false;
    }
    FillLangFromLocaleIdentifier(found);
    name = found;
    return true;
}

}  // namespace cocoa
