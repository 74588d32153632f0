// AppKit subclasses of setup-mac; see app_classes.h.
#import "cocoa/app_classes.h"

namespace cocoa {

void StopMainLoop() {
    [NSApp stop:nil];
    // stop: takes effect after the current event; an empty event makes sure
    // one arrives even when nothing else happens.
    NSEvent* wake = [NSEvent otherEventWithType:NSEventTypeApplicationDefined
                                       location:NSMakePoint(0, 0)
                                  modifierFlags:0
                                      timestamp:0
                                   windowNumber:0
                                        context:nil
                                        subtype:0
                                          data1:0
                                          data2:0];
    [NSApp postEvent:wake atStart:NO];
}

}  // namespace cocoa

@implementation ExtNSWindowDelegate
- (void)windowWillClose:(NSNotification*)notification {
    [NSApp endSheet:[notification object]];
}
@end

@implementation ExtNSApplicationDelegate
- (BOOL)applicationShouldTerminateAfterLastWindowClosed:(NSApplication*)sender {
    (void)sender;
    return YES;
}

- (NSApplicationTerminateReply)applicationShouldTerminate:(NSApplication*)sender {
    (void)sender;
    cocoa::StopMainLoop();
    return NSTerminateCancel;
}
@end

@implementation ExtNSWindow
- (id)initWithContentRectAndDlg:(NSRect)contentRect
                      styleMask:(NSUInteger)style
                        backing:(NSBackingStoreType)backing
                          defer:(BOOL)defer
                            dlg:(wizard::ToolkitListener*)dlg {
    m_mainDlg = dlg;
    return [super initWithContentRect:contentRect styleMask:style backing:backing defer:defer];
}

- (void)keyDown:(NSEvent*)event {
    if (m_mainDlg != nullptr && cocoa_compat::IsEscapeKey(event)) {
        m_mainDlg->OnCommand(wizard::Command::kCancel);
        return;
    }
    [super keyDown:event];
}
@end

@implementation ExtNSWizardWindowDelegate
- (BOOL)windowShouldClose:(id)sender {
    (void)sender;
    if (m_mainDlg == nullptr) {
        return YES;
    }
    return m_mainDlg->OnCloseRequest() == wizard::CloseAnswer::kAllowClose ? YES : NO;
}

- (void)windowWillClose:(NSNotification*)notification {
    ExtNSWindow* window = [notification object];
    wizard::ToolkitListener* listener = m_mainDlg;
    // From here on neither the window nor its delegate may reach the dialog.
    m_mainDlg = nullptr;
    if ([window isKindOfClass:[ExtNSWindow class]]) {
        window->m_mainDlg = nullptr;
    }
    [window setDelegate:nil];
    if (listener != nullptr) {
        listener->OnWindowClosed();
    }
    cocoa::StopMainLoop();
}
@end

@implementation FlippedNSView
- (BOOL)isFlipped {
    return YES;
}
@end

@implementation ExtNSButton
- (id)initWithFrameAndDlg:(NSRect)frame dlg:(wizard::ToolkitListener*)dlg {
    m_mainDlg = dlg;
    return [super initWithFrame:frame];
}

- (void)on_buttonPrev_clicked:(id)sender {
    (void)sender;
    if (m_mainDlg != nullptr) {
        m_mainDlg->OnCommand(wizard::Command::kBack);
    }
}

- (void)on_buttonNext_clicked:(id)sender {
    (void)sender;
    if (m_mainDlg != nullptr) {
        m_mainDlg->OnCommand(wizard::Command::kNext);
    }
}

- (void)button_clicked_handler:(id)sender {
    (void)sender;
    if (m_mainDlg != nullptr) {
        m_mainDlg->OnCommand(wizard::Command::kCancel);
    }
}

- (void)dir_button_clicked_handler:(id)sender {
    (void)sender;
    if (m_mainDlg != nullptr) {
        m_mainDlg->OnCommand(wizard::Command::kBrowse);
    }
}
@end
