// Compatibility layer, GNUstep only: the stand-in's NSApplication takes plain
// command-line words ("usecwd") for documents to open when it finishes
// launching, and shows an empty alert when the delegate cannot open them.
// macOS hands documents over by events, never from argv. The words belong to
// the installer's own start-up scan, so the delegate accepts them here and
// does nothing with them.
#import "cocoa/app_classes.h"

@implementation ExtNSApplicationDelegate (GNUstepLaunchArguments)
- (BOOL)application:(NSApplication*)sender openFile:(NSString*)filename {
    (void)sender;
    (void)filename;
    return YES;
}

- (void)application:(NSApplication*)sender openFiles:(NSArray*)filenames {
    (void)filenames;
    [sender replyToOpenOrPrint:NSApplicationDelegateReplySuccess];
}
@end
