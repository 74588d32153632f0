// What the keyboard and a screen reader get from the Cocoa front end:
// Return in the directory entry as a command, spoken names and caption
// relations. The accessibility setters are macOS's (10.10 and later); a
// platform without them (GNUstep) keeps the tool tip, which it shows.
#include "cocoa/ns_string.h"
#import "cocoa/app_classes.h"
#import "cocoa/cocoa_compat.h"

#include "cocoa/cocoa_toolkit.h"

// Target and delegate of an entry: Return sends its command; Escape, which
// the entry's field editor keeps from the window, is the Cancel command as it
// is everywhere else in the window.
@interface ExtNSCommandTarget : NSObject {
  @public
    wizard::ToolkitListener* m_mainDlg;
    wizard::Command m_command;
}
- (void)perform:(id)sender;
- (BOOL)control:(NSControl*)control textView:(NSTextView*)textView doCommandBySelector:(SEL)command;
@end

@implementation ExtNSCommandTarget
- (void)perform:(id)sender {
    (void)sender;
    if (m_mainDlg != nullptr) {
        m_mainDlg->OnCommand(m_command);
    }
}

- (BOOL)control:(NSControl*)control
               textView:(NSTextView*)textView
    doCommandBySelector:(SEL)command {
    (void)control;
    (void)textView;
    // AppKit names Escape in a text "cancelOperation:" (older AppKit and
    // GNUstep "complete:").
    if (m_mainDlg == nullptr ||
        (command != @selector(cancelOperation:) && command != @selector(complete:))) {
        return NO;
    }
    m_mainDlg->OnCommand(wizard::Command::kCancel);
    return YES;
}
@end

namespace cocoa {

namespace {

// Calls an accessibility setter taking an object, where the view has it.
void SetIfPresent(id view, SEL setter, id value) {
    if ([view respondsToSelector:setter]) {
        [view performSelector:setter withObject:value];
    }
}

}  // namespace

void CocoaToolkit::SetEntryCommand(wizard::Handle entry, wizard::Command command) {
    ExtNSCommandTarget* target = [[ExtNSCommandTarget alloc] init];
    target->m_mainDlg = m_listener;
    target->m_command = command;
    // A text field does not retain its target: the toolkit keeps it.
    m_targets.push_back(target);
    [(NSTextField*)entry setTarget:target];
    [(NSTextField*)entry setAction:@selector(perform:)];
    [(NSTextField*)entry setDelegate:(id)target];
}

void CocoaToolkit::SetAccessibleName(wizard::Handle control, const char* name) {
    NSString* text = StringFrom(name);
    SetIfPresent((id)control, @selector(setAccessibilityLabel:), text);
    [(NSView*)control setToolTip:text];
}

void CocoaToolkit::SetLabelFor(wizard::Handle label, wizard::Handle control) {
    SetIfPresent((id)control, @selector(setAccessibilityTitleUIElement:), (id)label);
    if ([(id)label isKindOfClass:[NSTextField class]]) {
        SetIfPresent((id)control, @selector(setAccessibilityLabel:),
                     [(NSTextField*)label stringValue]);
    }
}

// The side picture is decoration: a screen reader passes over it.
void MarkDecorative(void* picture) {
    id view = (id)picture;
    const SEL setter = @selector(setAccessibilityElement:);
    if (![view respondsToSelector:setter]) {
        return;
    }
    using Setter = void (*)(id, SEL, BOOL);
    reinterpret_cast<Setter>([view methodForSelector:setter])(view, setter, NO);
}

void CocoaToolkit::ReleaseTargets() {
    for (void* target : m_targets) {
        [(ExtNSCommandTarget*)target release];
    }
    m_targets.clear();
}

}  // namespace cocoa
