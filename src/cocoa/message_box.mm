// The alert box and the directory sheet of the Cocoa toolkit.
#include "cocoa/ns_string.h"
#import "cocoa/app_classes.h"
#import "cocoa/cocoa_compat.h"

#include "cocoa/alert_answer.h"
#include "cocoa/cocoa_toolkit.h"
#include "cocoa/pictures.h"
#include "l10n/mnemonic.h"

#include <poll.h>

namespace {

bool Readable(int fd) {
    struct pollfd ready = {fd, POLLIN, 0};
    return fd >= 0 && poll(&ready, 1, 0) == 1;
}

}  // namespace

// Looks at the interrupting descriptor while an alert runs modally, and
// aborts the modal session once it is readable (a signal arrived).
@interface ExtInterruptWatch : NSObject {
    int fd_;
}
- (id)initWithDescriptor:(int)fd;
- (void)check:(NSTimer*)timer;
@end

@implementation ExtInterruptWatch
- (id)initWithDescriptor:(int)fd {
    self = [super init];
    if (self != nil) {
        fd_ = fd;
    }
    return self;
}
- (void)check:(NSTimer*)timer {
    (void)timer;
    if (Readable(fd_)) {
        [NSApp abortModal];
    }
}
@end

namespace cocoa {

namespace {

void ApplyLook(NSAlert* alert, AlertLook look) {
    switch (look) {
        case AlertLook::kQuestion:
            [alert setAlertStyle:NSAlertStyleWarning];
            [alert setIcon:MakeImage(kQuestionIcon)];
            return;
        case AlertLook::kError:
            [alert setAlertStyle:NSAlertStyleCritical];
            [alert setIcon:MakeImage(kErrorIcon)];
            return;
        case AlertLook::kInformational:
            [alert setAlertStyle:NSAlertStyleInformational];
            return;
    }
}

// AppKit has no mnemonics: the caption is shown without its mark, and
// Return and Escape answer instead.
NSString* CaptionOr(const stdx::string8& text, NSString* fallback) {
    return text.empty() ? fallback : StringFrom(l10n::WithoutMnemonic(text).c_str());
}

// The captions are the dialog's language's (English before it gives them).
void AddButtons(NSAlert* alert, uint32_t flags, const wizard::DialogTexts& texts) {
    if (wizard::MessageBoxHasYesNo(flags)) {
        [[alert addButtonWithTitle:CaptionOr(texts.yes, @"Yes")] setKeyEquivalent:@"\r"];
        [[alert addButtonWithTitle:CaptionOr(texts.no, @"No")] setKeyEquivalent:@"\033"];
        return;
    }
    [[alert addButtonWithTitle:CaptionOr(texts.ok, @"OK")] setKeyEquivalent:@"\r"];
}

}  // namespace

int CocoaToolkit::MessageBox(const char* text, uint32_t flags, const char* title) {
    NSAlert* alert = [[NSAlert alloc] init];
    NSWindow* window = cocoa_compat::AlertWindowIfBuilt(alert);
    if (window != nil) {
        cocoa_compat::SetStyleMask(window, NSWindowStyleMaskTitled | NSWindowStyleMaskClosable);
        [window setDelegate:[[[ExtNSWindowDelegate alloc] init] autorelease]];
        if (title != nullptr && title[0] != '\0') {
            [window setTitle:StringFrom(title)];
        }
    }
    ApplyLook(alert, AlertLookFor(flags));
    AddButtons(alert, flags, m_texts);
    cocoa_compat::SetAlertText(alert, StringFrom(text), StringFrom(title));
    // A box opened while a signal waits ends at once; one that is open when
    // a signal comes is aborted within the timer's period.
    long response = 0;
    if (!Readable(m_interruptFd)) {
        ExtInterruptWatch* watch = nil;
        NSTimer* timer = nil;
        if (m_interruptFd >= 0) {
            watch = [[ExtInterruptWatch alloc] initWithDescriptor:m_interruptFd];
            timer = [NSTimer timerWithTimeInterval:0.05
                                            target:watch
                                          selector:@selector(check:)
                                          userInfo:nil
                                           repeats:YES];
            [[NSRunLoop currentRunLoop] addTimer:timer forMode:NSModalPanelRunLoopMode];
        }
        response = static_cast<long>([alert runModal]);
        [timer invalidate];
        [watch release];
    }
    // The delegate is autoreleased with the pool; the window must not call
    // it once the alert is gone.
    if (window != nil) {
        [window setDelegate:nil];
    }
    [alert release];
    return MapAlertResponse(response, flags);
}

void CocoaToolkit::ChooseDirectory(wizard::Handle window, wizard::Handle entry) {
    NSOpenPanel* panel = [[NSOpenPanel openPanel] retain];
    [panel setResolvesAliases:YES];
    [panel setCanChooseFiles:NO];
    [panel setCanChooseDirectories:YES];
    [panel setCanCreateDirectories:NO];
    [panel setAllowsMultipleSelection:NO];
    if (!m_texts.chooserTitle.empty()) {
        [panel setTitle:StringFrom(m_texts.chooserTitle.c_str())];
    }
    if (!m_texts.chooserSelect.empty()) {
        [panel setPrompt:StringFrom(m_texts.chooserSelect.c_str())];
    }
    // The handler may run after this call returns (a sheet on macOS); it
    // holds its own references to the panel and the entry.
    NSTextField* field = [(NSTextField*)entry retain];
    [panel beginSheetModalForWindow:(NSWindow*)window
                  completionHandler:^(NSInteger result) {
                    if (result == NSModalResponseOK) {
                        NSString* path = [[[panel URLs] lastObject] path];
                        if (path != nil) {
                            [field setStringValue:path];
                        }
                    }
                    [field release];
                    [panel release];
                  }];
}

// The event passes wait at most kEventPassWait: only the alerts need to
// watch.
void CocoaToolkit::SetInterruptDescriptor(int fd) {
    m_interruptFd = fd;
}

void CocoaToolkit::SetDialogTexts(const wizard::DialogTexts& texts) {
    m_texts = texts;
}

}  // namespace cocoa
