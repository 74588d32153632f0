// Set-up, window and event loop of the Cocoa toolkit.
// The controls live in controls.mm, the alert and the directory sheet in
// message_box.mm.
#import "cocoa/app_classes.h"
#import "cocoa/cocoa_compat.h"

#include "cocoa/cocoa_toolkit.h"
#include "cocoa/pictures.h"

namespace cocoa {

namespace {

// Style mask of the wizard window: titled and closable, neither resizable
// nor miniaturizable.
constexpr NSUInteger kWizardWindowStyle = NSWindowStyleMaskTitled | NSWindowStyleMaskClosable;

// Longest wait of one poll-loop event pass; a user's event ends it at once.
// The worker never touches AppKit, so it cannot end the wait itself: a
// status post is seen at most this late (the bar moves a hundred times a
// second at most), while the user-interface thread no longer spins. With a
// 20000-file copy it used about 8 % of a processor (16 % at 5 ms).
constexpr NSTimeInterval kEventPassWait = 0.01;

}  // namespace

CocoaToolkit::~CocoaToolkit() {
    [(id)m_sidePicture release];
    [(id)m_windowDelegate release];
    ReleaseTargets();
    // The application keeps a pointer to its delegate: leave it in place.
    // The autorelease pool is never drained: objects autoreleased during
    // the run live until the process ends.
}

void CocoaToolkit::Initialize(int* argc, char*** argv) {
    (void)argc;
    (void)argv;
    m_pool = [[NSAutoreleasePool alloc] init];
    ExtNSApplicationDelegate* delegate = [[ExtNSApplicationDelegate alloc] init];
    m_appDelegate = delegate;
    cocoa_compat::SuppressApplicationIconWindow();
    [NSApplication sharedApplication];
    [NSApp setDelegate:delegate];
    cocoa_compat::MakeRegularApplication(NSApp);
    [NSApp activateIgnoringOtherApps:YES];
    // The copy poll loop may serve events before [NSApp run] ever starts
    // (auto-start): the application must have finished launching by then.
    [NSApp finishLaunching];
}

wizard::Handle CocoaToolkit::CreateWindow(int width, int height, const char* title,
                                          wizard::ToolkitListener* listener) {
    m_listener = listener;
    ExtNSWindow* window =
        [[ExtNSWindow alloc] initWithContentRectAndDlg:NSMakeRect(0, 0, width, height)
                                             styleMask:kWizardWindowStyle
                                               backing:NSBackingStoreBuffered
                                                 defer:NO
                                                   dlg:listener];
    ExtNSWizardWindowDelegate* delegate = [[ExtNSWizardWindowDelegate alloc] init];
    delegate->m_mainDlg = listener;
    [(id)m_windowDelegate release];
    ReleaseTargets();
    m_windowDelegate = delegate;
    [window setDelegate:delegate];
    [window center];
    [window setTitle:[NSString stringWithUTF8String:title]];
    [window setBackgroundColor:[NSColor colorWithCalibratedRed:1 green:1 blue:1 alpha:1]];
    // Tab follows the reading order, top to bottom and left to right, over
    // whatever controls the current page shows.
    [window setAutorecalculatesKeyViewLoop:YES];
    m_window = window;
    return window;
}

wizard::Handle CocoaToolkit::CreateContainer(wizard::Handle window) {
    NSView* contentView = [(NSWindow*)window contentView];
    // Covers the content view in its own coordinates (its bounds): the same
    // rectangle as its frame on macOS, while GNUstep's own title bar and
    // border put the content view's frame origin at (1, 1).
    FlippedNSView* container = [[FlippedNSView alloc] initWithFrame:[contentView bounds]];
    [contentView addSubview:container];
    return container;
}

void CocoaToolkit::ShowWindow(wizard::Handle window) {
    [(NSWindow*)window makeKeyAndOrderFront:nil];
}

void CocoaToolkit::DestroyWindow(wizard::Handle window, wizard::Handle container) {
    NSView* view = (NSView*)container;
    [view removeFromSuperview];
    [view release];
    // close releases the window (released when closed); windowWillClose:
    // reports the end to the dialog and stops the main loop.
    m_window = nullptr;
    [(NSWindow*)window close];
}

wizard::Handle CocoaToolkit::LoadSidePicture() {
    if (m_sidePicture == nullptr) {
        m_sidePicture = [MakeImage(kSidePicture) retain];
    }
    return m_sidePicture;
}

void CocoaToolkit::RunMainLoop() {
    if (m_window == nullptr) {
        return;
    }
    [NSApp run];
}

void CocoaToolkit::ProcessEvents() {
    // Each pass gets its own pool: with auto-start no outer loop drains one,
    // and a long copy makes many passes.
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    NSEvent* event =
        [NSApp nextEventMatchingMask:NSEventMaskAny
                           untilDate:[NSDate dateWithTimeIntervalSinceNow:kEventPassWait]
                              inMode:NSDefaultRunLoopMode
                             dequeue:YES];
    if (event != nil) {
        [NSApp sendEvent:event];
    }
    [pool release];
}

void CocoaToolkit::Wakeup() {
    // Nothing to do: an event pass waits at most kEventPassWait.
}

}  // namespace cocoa
