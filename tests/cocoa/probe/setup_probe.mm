// Screen reporter for the end-to-end tests of setup-mac. Loaded into the real
// program with LD_PRELOAD; when SETUP_PROBE_OUT names a file it writes, ten
// times a second, what every shown window holds, so that a test can find
// controls by their text and click them with xdotool. It only reads.
//
// Report lines, fields separated by tabs (coordinates are X screen pixels,
// origin at the top left, the title bar included in a window's frame):
//   W  window-no  class  title  key(0/1)  x  y  width  height
//   C  window-no  class  shown(0/1)  enabled(0/1)  x  y  width  height  value  text
// value: a button's state, a progress bar's value, 1 for an editable text
// field; text: a button's title or a text field's string (tabs and line
// breaks become spaces).
// "<SETUP_PROBE_OUT>.ready" appears with the first report after the
// application object exists.
#import <AppKit/AppKit.h>

#include <errno.h>
#include <stdlib.h>
#include <string.h>

namespace {

NSString* Clean(NSString* text) {
    if (text == nil) {
        return @"";
    }
    NSMutableString* clean = [NSMutableString stringWithString:text];
    for (NSString* blank in @[ @"\t", @"\r", @"\n" ]) {
        [clean replaceOccurrencesOfString:blank
                               withString:@" "
                                  options:0
                                    range:NSMakeRange(0, [clean length])];
    }
    return clean;
}

// A rectangle in the window's base coordinates on the X screen.
NSRect ScreenRect(NSWindow* window, NSRect base) {
    const NSRect frame = [window frame];
    const CGFloat screenHeight = [[NSScreen mainScreen] frame].size.height;
    return NSMakeRect(frame.origin.x + base.origin.x,
                      screenHeight - (frame.origin.y + base.origin.y + base.size.height),
                      base.size.width, base.size.height);
}

void DescribeView(NSMutableString* out, NSWindow* window, NSUInteger number, NSView* view) {
    NSString* value = @"";
    NSString* text = @"";
    BOOL enabled = YES;
    if ([view isKindOfClass:[NSButton class]]) {
        NSButton* button = (NSButton*)view;
        value = [NSString stringWithFormat:@"%ld", (long)[button state]];
        text = [button title];
        enabled = [button isEnabled];
    } else if ([view isKindOfClass:[NSTextField class]]) {
        NSTextField* field = (NSTextField*)view;
        value = [field isEditable] ? @"1" : @"0";
        text = [field stringValue];
        enabled = [field isEnabled];
    } else if ([view isKindOfClass:[NSProgressIndicator class]]) {
        value = [NSString stringWithFormat:@"%.0f", [(NSProgressIndicator*)view doubleValue]];
    }
    const NSRect rect = ScreenRect(window, [view convertRect:[view bounds] toView:nil]);
    [out appendFormat:@"C\t%lu\t%@\t%d\t%d\t%.0f\t%.0f\t%.0f\t%.0f\t%@\t%@\n",
                      (unsigned long)number, NSStringFromClass([view class]),
                      [view isHiddenOrHasHiddenAncestor] ? 0 : 1, enabled ? 1 : 0, rect.origin.x,
                      rect.origin.y, rect.size.width, rect.size.height, value, Clean(text)];
    for (NSView* child in [view subviews]) {
        DescribeView(out, window, number, child);
    }
}

}  // namespace

@interface SetupProbe : NSObject
@end

@implementation SetupProbe

static NSString* gReportPath = nil;

+ (void)load {
    const char* path = getenv("SETUP_PROBE_OUT");
    if (path == NULL || path[0] == '\0') {
        return;
    }
    // GNUstep's helpers, started with the environment it read at start-up,
    // load the reporter too; they have nothing to report.
    if (strcmp(program_invocation_short_name, "setup-mac") != 0) {
        return;
    }
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    gReportPath = [[NSString alloc] initWithUTF8String:path];
    // Programs that setup-mac starts (GNUstep's helpers, the shell commands)
    // must not report over it.
    unsetenv("SETUP_PROBE_OUT");
    unsetenv("LD_PRELOAD");
    // The main thread's run loop serves the timer in every mode the program
    // waits in: the main loop and the poll loop's event passes (default),
    // alerts and the directory panel (modal panel), tracking a button.
    NSTimer* timer = [NSTimer timerWithTimeInterval:0.1
                                             target:self
                                           selector:@selector(report:)
                                           userInfo:nil
                                            repeats:YES];
    NSRunLoop* loop = [NSRunLoop currentRunLoop];
    for (NSString* mode in
         @[ NSDefaultRunLoopMode, NSModalPanelRunLoopMode, NSEventTrackingRunLoopMode ]) {
        [loop addTimer:timer forMode:mode];
    }
    [pool release];
}

+ (void)report:(NSTimer*)timer {
    (void)timer;
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    NSMutableString* out = [NSMutableString string];
    NSUInteger number = 0;
    for (NSWindow* window in [NSApp windows]) {
        ++number;
        if (![window isVisible] || [window frame].size.width < 20) {
            continue;
        }
        const NSRect frame = [window frame];
        const NSRect rect =
            ScreenRect(window, NSMakeRect(0, 0, frame.size.width, frame.size.height));
        [out appendFormat:@"W\t%lu\t%@\t%@\t%d\t%.0f\t%.0f\t%.0f\t%.0f\n", (unsigned long)number,
                          NSStringFromClass([window class]), Clean([window title]),
                          [window isKeyWindow] ? 1 : 0, rect.origin.x, rect.origin.y,
                          rect.size.width, rect.size.height];
        DescribeView(out, window, number, [window contentView]);
    }
    [out writeToFile:gReportPath atomically:YES encoding:NSUTF8StringEncoding error:NULL];
    static BOOL ready = NO;
    if (!ready && NSApp != nil) {
        ready = YES;
        [@"" writeToFile:[gReportPath stringByAppendingString:@".ready"] atomically:YES];
    }
    [pool release];
}

@end
