// The small AppKit subclasses that connect the window, its buttons and the
// application to the installer dialog. The dialog is reached through its
// toolkit-listener side (`m_mainDlg`), so no AppKit class needs to know the
// controller's own type.
#pragma once
#import "cocoa/cocoa_compat.h"
#include "wizard/toolkit.h"

// Delegate of the alert windows: a closing alert ends any sheet it carries.
@interface ExtNSWindowDelegate : NSObject
- (void)windowWillClose:(NSNotification*)notification;
@end

// The process ends when its last window has closed. A terminate request only
// stops the main loop, so the entry returns and the dialog is destroyed
// normally (it removes its temporary kit image then).
@interface ExtNSApplicationDelegate : NSObject
- (BOOL)applicationShouldTerminateAfterLastWindowClosed:(NSApplication*)sender;
- (NSApplicationTerminateReply)applicationShouldTerminate:(NSApplication*)sender;
@end

// The wizard window: Escape is the Cancel command.
@interface ExtNSWindow : NSWindow {
  @public
    wizard::ToolkitListener* m_mainDlg;
}
- (id)initWithContentRectAndDlg:(NSRect)contentRect
                      styleMask:(NSUInteger)style
                        backing:(NSBackingStoreType)backing
                          defer:(BOOL)defer
                            dlg:(wizard::ToolkitListener*)dlg;
- (void)keyDown:(NSEvent*)event;
@end

// Delegate of the wizard window: the close control asks the dialog first,
// and the window's end is reported once and stops the main loop.
@interface ExtNSWizardWindowDelegate : NSObject {
  @public
    wizard::ToolkitListener* m_mainDlg;
}
- (BOOL)windowShouldClose:(id)sender;
- (void)windowWillClose:(NSNotification*)notification;
@end

// The content container: y grows downwards, as in the page layouts.
@interface FlippedNSView : NSView
- (BOOL)isFlipped;
@end

// Button bar and "..." buttons, each bound to one dialog command.
@interface ExtNSButton : NSButton {
  @public
    wizard::ToolkitListener* m_mainDlg;
}
- (id)initWithFrameAndDlg:(NSRect)frame dlg:(wizard::ToolkitListener*)dlg;
- (void)on_buttonPrev_clicked:(id)sender;
- (void)on_buttonNext_clicked:(id)sender;
- (void)button_clicked_handler:(id)sender;
- (void)dir_button_clicked_handler:(id)sender;
@end

namespace cocoa {
// Ends [NSApp run] from inside an event handler or from outside any loop.
void StopMainLoop();
}  // namespace cocoa
