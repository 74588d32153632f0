// The Cocoa implementation of the wizard's toolkit interface: window, button
// bar, page controls, alerts, the directory sheet and the event loop of
// setup-mac. Every call runs on the main thread except Wakeup.
//
// Handles are the AppKit objects themselves (ExtNSWindow*, NSView*,
// NSImage*). Controls are autoreleased and retained by the content view,
// which the dialog releases through DestroyWindow.
#pragma once
#include <vector>

#include "wizard/toolkit.h"

namespace cocoa {

class CocoaToolkit final : public wizard::Toolkit {
  public:
    CocoaToolkit() = default;
    ~CocoaToolkit() override;
    CocoaToolkit(const CocoaToolkit&) = delete;
    CocoaToolkit& operator=(const CocoaToolkit&) = delete;

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
    void SetDialogTexts(const wizard::DialogTexts& texts) override;
    void SetInterruptDescriptor(int fd) override;

    void RunMainLoop() override;
    void ProcessEvents() override;
    void Wakeup() override;

    void SetEntryCommand(wizard::Handle entry, wizard::Command command) override;
    void SetAccessibleName(wizard::Handle control, const char* name) override;
    void SetLabelFor(wizard::Handle label, wizard::Handle control) override;

  private:
    void ReleaseTargets();

    // NSAutoreleasePool made by Initialize; it lives for the whole run.
    void* m_pool = nullptr;
    // ExtNSApplicationDelegate and ExtNSWizardWindowDelegate, owned here
    // because AppKit does not retain delegates.
    void* m_appDelegate = nullptr;
    void* m_windowDelegate = nullptr;
    // Receives the button presses of every control made after CreateWindow.
    wizard::ToolkitListener* m_listener = nullptr;
    // The wizard window while it is open.
    void* m_window = nullptr;
    // The side picture (NSImage), retained here.
    void* m_sidePicture = nullptr;
    // Captions of alerts and the directory panel in the dialog's language.
    wizard::DialogTexts m_texts;
    // ExtNSCommandTarget objects of the entries, owned here.
    std::vector<void*> m_targets;
    // The dialog's signal pipe while it watches one, else -1.
    int m_interruptFd = -1;
};

// Tells a screen reader to pass over `view` where the platform can.
void MarkDecorative(void* view);

}  // namespace cocoa
