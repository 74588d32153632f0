// The one interface through which the installer dialog reaches a windowing
// toolkit. The GTK front end (src/gtk) and the Cocoa front end (src/cocoa)
// implement `wizard::Toolkit`; the unit tests drive the whole wizard with a
// fake one. The dialog implements `wizard::ToolkitListener` and receives the
// user's actions through it.
//
// CHANGE POLICY: this interface only grows. Existing operations keep their
// names, arguments and meaning; new operations are appended at the end of the
// class and listed here with the date they were added.
//   (initial version 2026-12-07)
//   2026-12-07: ExecutablePath, GetExecutableLayout and OpenDocument left
//   the interface; they are no windowing and every front end shares them
//   as platform::Services (platform/services.h).
//   SetDialogTexts (2026-12-07): message boxes and the chooser in the
//     dialog's language, transient for the wizard window.
//   SetEntryCommand, SetAccessibleName, SetLabelFor (2026-12-08): Return in
//     the directory entry, and what a screen reader is told. Since then a
//     hidden control is also withdrawn from the accessibility tree, and the
//     captions of DialogTexts carry the catalogue's mnemonic marks ("&Yes").
//   SetInterruptDescriptor (2026-12-08): a signal ends an open message box.
//   ToolkitListener::OnDisplayLost (2026-12-08): the broken display
//     connection reaches the dialog before the process ends.
//
// Rules every front end keeps:
// - Every operation is called on the user-interface thread, except Wakeup(),
//   which any thread may call at any time.
// - No operation throws, and no listener call throws: the dialog catches
//   everything in its own .cpp files, so no C++ exception ever unwinds through
//   Objective-C or GTK frames. Front ends need no try/catch of their own.
// - Texts cross this interface as UTF-8, NUL-terminated. Results are returned
//   as 8-bit strings (UTF-8).
// - Coordinates are pixels from the top-left corner of the window's content
//   area (the Cocoa container is flipped to make that so).
// - A `Handle` is an opaque pointer to a toolkit object (GtkWidget*,
//   GdkPixbuf*, NSView*, NSImage*, ...). Controls belong to their container and
//   go away with the window; the dialog never releases a control itself.
#pragma once
#include <cstdint>

#include "text/basic_string.h"
#include "wizard/message_box.h"

namespace wizard {

using Handle = void*;

struct Rect {
    int x;
    int y;
    int width;
    int height;
};

// What a button does when pressed. The front end reports the press with
// ToolkitListener::OnCommand and does nothing else itself.
enum class Command {
    kBack,    // Back button
    kNext,    // Next / Finish button
    kCancel,  // Cancel button, and also the Escape key on the wizard window
    kBrowse,  // "..." button of the directory page
};

// Captions of the message boxes' buttons and of the directory chooser, in
// the dialog's language (UTF-8). yes, no and ok carry a mnemonic mark ("&Yes",
// "是(&Y)", see l10n/mnemonic.h) that the front end spells its own way.
struct DialogTexts {
    stdx::string8 yes;
    stdx::string8 no;
    stdx::string8 ok;
    stdx::string8 chooserTitle;
    stdx::string8 chooserSelect;
    stdx::string8 chooserCancel;
};

// Implemented by the dialog. The front end calls it on the UI thread only.
class ToolkitListener {
  public:
    // A button press, or the Escape key (as Command::kCancel).
    virtual void OnCommand(Command command) noexcept = 0;
    // The user asked to close the wizard window with the title bar or the
    // window manager. The front end must ask before the window goes away (GTK:
    // "delete-event" returning TRUE keeps it; Cocoa: windowShouldClose:) and
    // keep the window open on kKeepOpen.
    virtual CloseAnswer OnCloseRequest() noexcept = 0;
    // The wizard window has gone away, whatever the cause (DestroyWindow or an
    // allowed close request). Called once; no handle of it may be used after.
    virtual void OnWindowClosed() noexcept = 0;
    // (added 2026-12-08) The connection to the display broke: nothing can
    // be shown or asked any more and the toolkit cannot go back to its
    // event loop. Returns the status the process ends with; the front end
    // ends it at once (_exit) after the call.
    virtual int OnDisplayLost() noexcept { return 1; }

  protected:
    ~ToolkitListener() = default;
};

class Toolkit {
  public:
    virtual ~Toolkit() = default;

    // --- Set-up --------------------------------------------------------
    // Toolkit initialisation, called once from the dialog's constructor. GTK
    // calls gtk_init(argc, argv), which may shorten them; Cocoa creates its
    // autorelease pool and NSApplication and ignores the arguments.
    virtual void Initialize(int* argc, char*** argv) = 0;

    // --- Window ---------------------------------------------------------
    // Creates the top-level wizard window, not yet shown: content area
    // width x height, fixed size, centred, titled `title`. The front end wires
    // the Escape key to listener->OnCommand(Command::kCancel), the close
    // control to listener->OnCloseRequest(), and the window's end to
    // listener->OnWindowClosed(). GTK also sets modality, the type hint and
    // the window icon; Cocoa the white background.
    virtual Handle CreateWindow(int width, int height, const char* title,
                                ToolkitListener* listener) = 0;
    // Creates the container in which every control sits at a fixed position,
    // covering the window's content area (GtkFixed; flipped NSView).
    virtual Handle CreateContainer(Handle window) = 0;
    // Shows the window with the separator and the buttons created so far
    // (GTK: gtk_widget_show_all on the container, then the window). Page
    // controls created later are shown and hidden by the dialog itself with
    // SetVisible; they may be created hidden or visible.
    virtual void ShowWindow(Handle window) = 0;
    // Removes and releases the container with all controls, then closes the
    // window. This ends RunMainLoop. OnWindowClosed follows.
    virtual void DestroyWindow(Handle window, Handle container) = 0;

    // --- Pictures --------------------------------------------------------
    // The 158 x 286 side picture shared by the pages, owned by the front end.
    virtual Handle LoadSidePicture() = 0;

    // --- Controls (each is added to `container`) -------------------------
    // Horizontal separator line.
    virtual Handle CreateSeparator(Handle container, Rect rect) = 0;
    // Push button with `caption`; pressing it calls OnCommand(command) on the
    // window's listener. Command::kBrowse is the small "..." button (Cocoa:
    // textured bezel).
    virtual Handle CreateButton(Handle container, Rect rect, const char* caption,
                                Command command) = 0;
    // Picture control at (x, y), natural size (158 x 286), showing `picture`.
    virtual Handle CreatePicture(Handle container, int x, int y, Handle picture) = 0;
    // Read-only, borderless, multi-line text at (x, y), wrapped, aligned top
    // left. Size is the toolkit's (GTK 330 x 250, Cocoa 318 x 286).
    virtual Handle CreateMultilineText(Handle container, int x, int y, const char* text) = 0;
    // Read-only, borderless one-line label at (x, y). GTK: natural size;
    // Cocoa: width x 20.
    virtual Handle CreateLabel(Handle container, int x, int y, int width, const char* text) = 0;
    // Check box with `caption` at (x, y), initially checked or not. GTK:
    // natural size; Cocoa: width x 20.
    virtual Handle CreateCheckBox(Handle container, int x, int y, int width, const char* caption,
                                  bool checked) = 0;
    // Editable one-line entry, initially empty.
    virtual Handle CreateEntry(Handle container, Rect rect) = 0;
    // Determinate progress bar, 0 to 100, starting at 0.
    virtual Handle CreateProgressBar(Handle container, Rect rect) = 0;

    // --- Control state ---------------------------------------------------
    virtual void SetVisible(Handle control, bool visible) = 0;
    virtual void SetEnabled(Handle control, bool enabled) = 0;
    // Text of a label, multi-line text or button caption.
    virtual void SetText(Handle control, const char* text) = 0;
    virtual void SetEntryText(Handle entry, const char* text) = 0;
    virtual stdx::string8 GetEntryText(Handle entry) = 0;
    virtual bool IsChecked(Handle checkBox) = 0;
    // Shows percent / 100 of the bar (percent is 0..100).
    virtual void SetProgress(Handle bar, int percent) = 0;
    // Makes `button` the window's default button (GTK: can-default and
    // gtk_window_set_default). Cocoa has no default button: does nothing.
    virtual void SetDefaultButton(Handle window, Handle button) = 0;

    // --- Dialogs ---------------------------------------------------------
    // Modal message box without a parent window. `flags` is one of the flag
    // words above; `title` may be empty. Returns a MessageBoxAnswer value.
    virtual int MessageBox(const char* text, uint32_t flags, const char* title) = 0;
    // Opens the directory chooser (directories only, one at a time, no folder
    // creation needed). When the user confirms, the chosen absolute path
    // replaces the text of `entry`; on cancel the entry is unchanged. GTK runs
    // it modally and returns after; Cocoa may run it as a sheet on `window`
    // and fill the entry later.
    virtual void ChooseDirectory(Handle window, Handle entry) = 0;

    // --- Event loop ------------------------------------------------------
    // Runs the main loop until the wizard window has gone away.
    virtual void RunMainLoop() = 0;
    // One pass of event processing for the copy poll loop: handles the
    // pending events; when none is pending, waits until one arrives or
    // Wakeup() is called. It must not return at once again and again while
    // nothing happens (no busy spin). A front end may bound the wait (at most
    // about 100 ms) as a safety net.
    virtual void ProcessEvents() = 0;
    // Makes a waiting ProcessEvents return soon. Thread-safe: the worker
    // calls it after each status post; it never touches a control (GTK:
    // g_main_context_wakeup). A front end whose passes wait only briefly may
    // do nothing here (Cocoa: at most 10 ms). Harmless when no pass is waiting.
    virtual void Wakeup() = 0;

    // --- Dialog texts (added 2026-12-07) ---------------------------------
    // The captions that message boxes and the directory chooser use from now
    // on, instead of the system locale's. The dialog sets them once, before
    // its window is created. From then on, message boxes and the chooser are
    // transient for the wizard window while it exists, and the chooser opens
    // on the directory the entry names (or its nearest existing parent).
    // A front end whose platform fixes these captions may keep its own.
    virtual void SetDialogTexts(const DialogTexts& texts) { (void)texts; }

    // --- Keyboard and accessibility (added 2026-12-08) --------------------
    // Return pressed in `entry` is reported as OnCommand(command), as the
    // button of that command would be (the directory entry: Next).
    virtual void SetEntryCommand(Handle entry, Command command) {
        (void)entry;
        (void)command;
    }
    // The name a screen reader announces for `control` where its visible
    // caption says too little (the "..." button).
    virtual void SetAccessibleName(Handle control, const char* name) {
        (void)control;
        (void)name;
    }
    // `label` is the caption of `control`: a screen reader names the control
    // by it, and the relation is known both ways (label for / labelled by).
    virtual void SetLabelFor(Handle label, Handle control) {
        (void)label;
        (void)control;
    }
    // --- Interruption (added 2026-12-08) ---------------------------------
    // From now on, whenever `fd` (the dialog's signal pipe) is readable, a
    // running MessageBox ends at once with kAnswerNone, as if closed without
    // an answer, and a waiting ProcessEvents returns. The front end only
    // watches: it never reads `fd`, the dialog takes what is there. -1 ends
    // the watch. A front end that does nothing here leaves the signal
    // waiting until the box is answered.
    virtual void SetInterruptDescriptor(int fd) { (void)fd; }
};

}  // namespace wizard
