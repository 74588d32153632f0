// The steps of the installer as the pages of a wizard window, on any
// widget-level wizard::Toolkit (GTK, Cocoa, the tests' fake). The controller
// says which step to show; this adapter lays it out, keeps the button bar in
// step with it and turns the toolkit's button presses, Escape and the close
// control into the controller's actions.
//
//   step       Back       Next/Finish   Cancel
//   welcome    disabled   Next          enabled     (unattended: Back and
//   directory  enabled    Next          enabled      Next hidden)
//   progress   disabled   disabled      enabled
//   outcome    hidden     Finish        disabled (Escape still asks)
// While a message box or the directory chooser is open, the close control is
// refused: their callers still use the window after.
#pragma once
#include <memory>

#include "wizard/step_ui.h"
#include "wizard/toolkit.h"
#include "wizard/wizard_pages.h"

namespace wizard {

class WindowedSteps final : public StepUi, private ToolkitListener {
  public:
    // Initialises the toolkit with the program's arguments (GTK may take
    // its own options out of them).
    WindowedSteps(Toolkit& toolkit, int* argc, char*** argv);
    ~WindowedSteps() override;

    void Start(StepListener* listener, const char* title) override;
    void ShowWelcome(const char* text, Navigation navigation) override;
    void ShowDirectory(const char* prompt, const char* caption, const char* proposal) override;
    stdx::string8 DirectoryText() override;
    void ShowProgress(const char* caption, const char* finishCaption) override;
    void Progress(int percent, const char* file) override;
    ProgressDetail Detail() const override { return ProgressDetail::kPercent; }
    void ShowOutcome(StepOutcome outcome, const char* text, bool offerDocument) override;
    bool OpenDocumentChosen() override;
    void ShowPlan(const std::vector<install::PlannedFile>& plan) override;
    int MessageBox(const char* text, uint32_t flags) override;
    void Run() override;
    void Close() override;
    void ProcessEvents() override;
    void Wakeup() override;
    void SetInterruptDescriptor(int fd) override { toolkit_.SetInterruptDescriptor(fd); }

  private:
    void OnCommand(Command command) noexcept override;
    CloseAnswer OnCloseRequest() noexcept override;
    void OnWindowClosed() noexcept override;
    int OnDisplayLost() noexcept override;

    // The window and its button bar, made on first use.
    bool EnsureWindow();
    void SwitchPage(WizardDialogPage* page);

    Toolkit& toolkit_;
    StepListener* listener_ = nullptr;
    stdx::string8 title_;
    bool closed_ = false;
    int modalDepth_ = 0;
    Handle window_ = nullptr;
    Handle container_ = nullptr;
    Handle picture_ = nullptr;
    Handle backButton_ = nullptr;
    Handle nextButton_ = nullptr;
    Handle cancelButton_ = nullptr;
    WizardDialogPage* currentPage_ = nullptr;
    std::unique_ptr<MessagePage> welcomePage_;
    std::unique_ptr<DirSelectPage> dirPage_;
    std::unique_ptr<ProgressPage> progressPage_;
    std::unique_ptr<SuccessFinalPage> successPage_;
    std::unique_ptr<MessagePage> errorPage_;
};

}  // namespace wizard
