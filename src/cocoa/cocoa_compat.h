// Compatibility layer: the few places where the GNUstep stand-in, on which
// setup-mac is built and tested on Linux, differs from macOS AppKit. Every
// other file of the front end is written against AppKit as macOS has it.
#pragma once
#import <AppKit/AppKit.h>

#ifdef GNUSTEP
// Constant names that GNUstep only knows by their older spelling.
#define NSBezelStyleRounded NSRoundedBezelStyle
#define NSBezelStyleTexturedRounded NSTexturedRoundedBezelStyle
#define NSAlertStyleWarning NSWarningAlertStyle
#define NSAlertStyleInformational NSInformationalAlertStyle
#define NSAlertStyleCritical NSCriticalAlertStyle
#define NSEventMaskAny NSAnyEventMask
#define NSEventTypeApplicationDefined NSApplicationDefined
#define NSButtonTypeMomentaryLight NSMomentaryLightButton
#define NSButtonTypeSwitch NSSwitchButton
#endif

namespace cocoa_compat {

// Key code of the Escape key: 53 on a Mac keyboard, X11's 9 on the stand-in.
#ifdef GNUSTEP
constexpr unsigned short kEscapeKeyCode = 9;
#else
constexpr unsigned short kEscapeKeyCode = 53;
#endif

// True when the key event is the Escape key. The stand-in's key codes are
// not reliable across X servers, so the Escape character counts as well.
inline bool IsEscapeKey(NSEvent* event) {
    if ([event keyCode] == kEscapeKeyCode) {
        return true;
    }
    NSString* characters = [event charactersIgnoringModifiers];
    return [characters length] == 1 && [characters characterAtIndex:0] == 0x1B;
}

// Makes the process a regular, foreground application. GNUstep has no
// activation policies (setActivationPolicy: is missing); its applications
// always are regular ones.
inline void MakeRegularApplication(NSApplication* application) {
#ifdef GNUSTEP
    (void)application;
#else
    [application setActivationPolicy:NSApplicationActivationPolicyRegular];
#endif
}

// The stand-in shows a free-floating application icon window of its own;
// on macOS the Dock shows the bundle's icon instead. Called before the
// application object exists.
inline void SuppressApplicationIconWindow() {
#ifdef GNUSTEP
    [[NSUserDefaults standardUserDefaults]
        registerDefaults:[NSDictionary dictionaryWithObject:@"YES" forKey:@"GSSuppressAppIcon"]];
#endif
}

// macOS builds the alert's panel in init; GNUstep only inside runModal, so
// its window is nil before. Window settings are then skipped on the stand-in.
inline NSWindow* AlertWindowIfBuilt(NSAlert* alert) {
    return [alert window];
}

// The alert's text. macOS shows the message text wrapped in the body. The
// stand-in shows it as a one-line heading that cuts long texts off and puts
// a placeholder in the body; there the title becomes the heading and the
// text goes to the wrapped body.
inline void SetAlertText(NSAlert* alert, NSString* text, NSString* title) {
#ifdef GNUSTEP
    [alert setMessageText:title];
    [alert setInformativeText:text];
#else
    (void)title;
    [alert setMessageText:text];
#endif
}

// Window style masks are fixed at creation on the stand-in.
inline void SetStyleMask(NSWindow* window, NSUInteger mask) {
#ifdef GNUSTEP
    (void)window;
    (void)mask;
#else
    [window setStyleMask:mask];
#endif
}

}  // namespace cocoa_compat
