// The GTK implementation of the wizard's toolkit interface: one top-level
// window of fixed size holding a GtkFixed, in which every control sits at the
// position the dialog gives. The same sources make the GTK 2 module
// (src/gtk) and the GTK 3 module (src/gtk3); what the two toolkits do
// differently is in gtk/gtk_look.h. Everything here runs on the
// user-interface thread (with GTK 2, holding the GDK lock the module takes
// once); only Wakeup may be called from the worker, and it touches no widget.
#pragma once
#include <gtk/gtk.h>

#include <algorithm>
#include <vector>

#include "wizard/toolkit.h"

struct _XDisplay;

namespace gtkfront {

class GtkToolkit final : public wizard::Toolkit {
  public:
    GtkToolkit() = default;
    ~GtkToolkit() override;
    GtkToolkit(const GtkToolkit&) = delete;
    GtkToolkit& operator=(const GtkToolkit&) = delete;

    void Initialize(int* argc, char*** argv) override;

    wizard::Handle CreateWindow(int width, int height, const char* title,
                                wizard::ToolkitListener* listener) override;
    wizard::Handle CreateContainer(wizard::Handle window) override;
    void ShowWindow(wizard::Handle window) override;
    void DestroyWindow(wizard::Handle window, wizard::Handle container) override;

    wizard::Handle LoadSidePicture() override;

    wizard::Handle CreateSeparator(wizard::Handle container, wizard::Rect rect) override;
    wizard::Handle CreateButton(wizard::Handle container, wizard::Rect rect, const char* caption,
                                wizard::Command command) override;
    wizard::Handle CreatePicture(wizard::Handle container, int x, int y,
                                 wizard::Handle picture) override;
    wizard::Handle CreateMultilineText(wizard::Handle container, int x, int y,
                                       const char* text) override;
    wizard::Handle CreateLabel(wizard::Handle container, int x, int y, int width,
                               const char* text) override;
    wizard::Handle CreateCheckBox(wizard::Handle container, int x, int y, int width,
                                  const char* caption, bool checked) override;
    wizard::Handle CreateEntry(wizard::Handle container, wizard::Rect rect) override;
    wizard::Handle CreateProgressBar(wizard::Handle container, wizard::Rect rect) override;

    void SetVisible(wizard::Handle control, bool visible) override;
    void SetEnabled(wizard::Handle control, bool enabled) override;
    void SetText(wizard::Handle control, const char* text) override;
    void SetEntryText(wizard::Handle entry, const char* text) override;
    stdx::string8 GetEntryText(wizard::Handle entry) override;
    bool IsChecked(wizard::Handle checkBox) override;
    void SetProgress(wizard::Handle bar, int percent) override;
    void SetDefaultButton(wizard::Handle window, wizard::Handle button) override;

    int MessageBox(const char* text, uint32_t flags, const char* title) override;
    void ChooseDirectory(wizard::Handle window, wizard::Handle entry) override;

    void RunMainLoop() override;
    void ProcessEvents() override;
    void Wakeup() override;

    void SetDialogTexts(const wizard::DialogTexts& texts) override;
    void SetInterruptDescriptor(int fd) override;

    void SetEntryCommand(wizard::Handle entry, wizard::Command command) override;
    void SetAccessibleName(wizard::Handle control, const char* name) override;
    void SetLabelFor(wizard::Handle label, wizard::Handle control) override;

  private:
    static void OnEntryActivate(GtkEntry* entry, gpointer self);
    static void NameAfterCaption(GtkWidget* label);
    // A hidden control leaves its container (and the accessibility tree);
    // shown again, it returns to the same place.
    void Park(GtkWidget* widget);
    void Unpark(GtkWidget* widget);
    void DestroyParked();

    // The interrupting descriptor became readable: the open box ends
    // without an answer.
    static gboolean OnInterrupt(GIOChannel* channel, GIOCondition condition, gpointer self);
    // Xlib's handler of a broken display connection; it must not return.
    static int OnDisplayLost(::_XDisplay* display);
    static void OnDestroy(GtkWidget* window, gpointer self);
    static gboolean OnDeleteEvent(GtkWidget* window, GdkEvent* event, gpointer self);
    static gboolean OnKeyPress(GtkWidget* window, GdkEventKey* event, gpointer self);
    static void OnButtonClicked(GtkButton* button, gpointer self);
    static gboolean DeliverQueued(gpointer self);
    // Shrinks the caption's font until it fits its fixed-size button.
    static void FitCaption(GtkWidget* button);
    // `text`, or `fallback` before the dialog has given its texts.
    static const char* Caption(const stdx::string8& text, const char* fallback);

    wizard::ToolkitListener* listener_ = nullptr;
    GtkWidget* window_ = nullptr;  // the wizard window while it exists
    GdkPixbuf* sidePicture_ = nullptr;
    wizard::DialogTexts texts_;
    std::vector<GtkWidget*> parked_;
    // Button presses waiting for the main loop (GTK 3, see OnButtonClicked).
    std::vector<wizard::Command> queued_;
    guint queuedIdle_ = 0;
    int contentWidth_ = 0;   // the wizard window's content area
    int contentHeight_ = 0;  // hidden controls, one reference each
    // The message box being run, while one is.
    GtkWidget* openBox_ = nullptr;
    int interruptFd_ = -1;
    guint interruptWatch_ = 0;
};

}  // namespace gtkfront
