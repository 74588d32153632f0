// The controls of the button bar and the pages, and their state. Every
// control is autoreleased and retained by the container it is added to.
#include "cocoa/ns_string.h"
#import "cocoa/app_classes.h"
#import "cocoa/cocoa_compat.h"

#include "cocoa/cocoa_toolkit.h"

namespace cocoa {

namespace {

// Text areas of the message, success and directory pages.
constexpr int kTextAreaWidth = 318;
constexpr int kTextAreaHeight = 286;
// One-line labels and the check box.
constexpr int kLineHeight = 20;
// The side picture's natural size.
constexpr int kPictureWidth = 158;
constexpr int kPictureHeight = 286;

NSRect FrameOf(const wizard::Rect& rect) {
    return NSMakeRect(rect.x, rect.y, rect.width, rect.height);
}

NSView* AddTo(wizard::Handle container, NSView* view) {
    [(NSView*)container addSubview:view];
    return view;
}

// A read-only text field without border or background.
NSTextField* MakeLabel(NSRect frame, const char* text) {
    NSTextField* label = [[[NSTextField alloc] initWithFrame:frame] autorelease];
    [label setEditable:NO];
    [label setBezeled:NO];
    [label setBordered:NO];
    [label setDrawsBackground:NO];
    [label setStringValue:StringFrom(text)];
    return label;
}

SEL ActionFor(wizard::Command command) {
    switch (command) {
        case wizard::Command::kBack:
            return @selector(on_buttonPrev_clicked:);
        case wizard::Command::kNext:
            return @selector(on_buttonNext_clicked:);
        case wizard::Command::kCancel:
            return @selector(button_clicked_handler:);
        case wizard::Command::kBrowse:
            return @selector(dir_button_clicked_handler:);
    }
    return @selector(button_clicked_handler:);
}

}  // namespace

wizard::Handle CocoaToolkit::CreateSeparator(wizard::Handle container, wizard::Rect rect) {
    NSBox* box = [[[NSBox alloc] init] autorelease];
    [box setBoxType:NSBoxSeparator];
    [box setFrame:FrameOf(rect)];
    return AddTo(container, box);
}

wizard::Handle CocoaToolkit::CreateButton(wizard::Handle container, wizard::Rect rect,
                                          const char* caption, wizard::Command command) {
    ExtNSButton* button = [[[ExtNSButton alloc] initWithFrameAndDlg:FrameOf(rect)
                                                                dlg:m_listener] autorelease];
    [button setButtonType:NSButtonTypeMomentaryLight];
    const bool browse = command == wizard::Command::kBrowse;
    [button setBezelStyle:browse ? NSBezelStyleTexturedRounded : NSBezelStyleRounded];
    [button setTarget:button];
    [button setAction:ActionFor(command)];
    [button setTitle:StringFrom(caption)];
    return AddTo(container, button);
}

wizard::Handle CocoaToolkit::CreatePicture(wizard::Handle container, int x, int y,
                                           wizard::Handle picture) {
    NSImageView* view = [[[NSImageView alloc]
        initWithFrame:NSMakeRect(x, y, kPictureWidth, kPictureHeight)] autorelease];
    [view setImageScaling:NSImageScaleProportionallyUpOrDown];
    [view setImageAlignment:NSImageAlignCenter];
    [view setImage:(NSImage*)picture];
    MarkDecorative(view);
    return AddTo(container, view);
}

wizard::Handle CocoaToolkit::CreateMultilineText(wizard::Handle container, int x, int y,
                                                 const char* text) {
    NSTextField* label = MakeLabel(NSMakeRect(x, y, kTextAreaWidth, kTextAreaHeight), text);
    [[label cell] setWraps:YES];
    return AddTo(container, label);
}

wizard::Handle CocoaToolkit::CreateLabel(wizard::Handle container, int x, int y, int width,
                                         const char* text) {
    return AddTo(container, MakeLabel(NSMakeRect(x, y, width, kLineHeight), text));
}

wizard::Handle CocoaToolkit::CreateCheckBox(wizard::Handle container, int x, int y, int width,
                                            const char* caption, bool checked) {
    NSButton* box =
        [[[NSButton alloc] initWithFrame:NSMakeRect(x, y, width, kLineHeight)] autorelease];
    [box setButtonType:NSButtonTypeSwitch];
    [box setState:checked ? NSOnState : NSOffState];
    [box setTitle:StringFrom(caption)];
    return AddTo(container, box);
}

wizard::Handle CocoaToolkit::CreateEntry(wizard::Handle container, wizard::Rect rect) {
    NSTextField* entry = [[[NSTextField alloc] initWithFrame:FrameOf(rect)] autorelease];
    [entry setEditable:YES];
    [entry setStringValue:@""];
    return AddTo(container, entry);
}

wizard::Handle CocoaToolkit::CreateProgressBar(wizard::Handle container, wizard::Rect rect) {
    NSProgressIndicator* bar =
        [[[NSProgressIndicator alloc] initWithFrame:FrameOf(rect)] autorelease];
    [bar setIndeterminate:NO];
    [bar setMinValue:0];
    [bar setMaxValue:100];
    [bar setDoubleValue:0];
    return AddTo(container, bar);
}

void CocoaToolkit::SetVisible(wizard::Handle control, bool visible) {
    [(NSView*)control setHidden:visible ? NO : YES];
}

void CocoaToolkit::SetEnabled(wizard::Handle control, bool enabled) {
    id view = (id)control;
    if ([view respondsToSelector:@selector(setEnabled:)]) {
        [view setEnabled:enabled ? YES : NO];
    }
}

void CocoaToolkit::SetText(wizard::Handle control, const char* text) {
    id view = (id)control;
    if ([view isKindOfClass:[NSButton class]]) {
        [(NSButton*)view setTitle:StringFrom(text)];
        return;
    }
    if ([view isKindOfClass:[NSTextField class]]) {
        [(NSTextField*)view setStringValue:StringFrom(text)];
    }
}

void CocoaToolkit::SetEntryText(wizard::Handle entry, const char* text) {
    [(NSTextField*)entry setStringValue:StringFrom(text)];
}

stdx::string8 CocoaToolkit::GetEntryText(wizard::Handle entry) {
    const char* text = [[(NSTextField*)entry stringValue] UTF8String];
    return text != nullptr ? stdx::string8(text) : stdx::string8();
}

bool CocoaToolkit::IsChecked(wizard::Handle checkBox) {
    return [(NSButton*)checkBox state] == NSOnState;
}

void CocoaToolkit::SetProgress(wizard::Handle bar, int percent) {
    [(NSProgressIndicator*)bar setDoubleValue:percent];
}

void CocoaToolkit::SetDefaultButton(wizard::Handle window, wizard::Handle button) {
    // No default button in this build: Return does not press Next or Finish.
    (void)window;
    (void)button;
}

}  // namespace cocoa
