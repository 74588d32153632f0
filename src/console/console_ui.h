// The console front end: the installer's steps as lines of text on stdout,
// answers read from stdin, errors on stderr. It is a wizard::StepUi, driven
// by the same installer dialog as the windowed wizards.
//
//   welcome text
//   prompt, then "Template directory: [proposal] " (an empty line accepts)
//   the copy: one redrawn line with bar, percentage and file on a terminal;
//             a line per new percentage otherwise
//   the outcome text
//
// End of input at a prompt is the window's close control: the run ends,
// cancelled. Ctrl-C at a prompt asks the cancel question (SIGTERM and SIGHUP
// there end the input); during the copy the controller's own signal pipe
// takes the three signals and cancels at once.
#pragma once
#include <chrono>
#include <string>

#include "console/terminal.h"
#include "wizard/step_ui.h"

namespace console {

class ConsoleUi final : public wizard::StepUi {
  public:
    ConsoleUi() = default;

    void Start(wizard::StepListener* listener, const char* title) override;
    void ShowWelcome(const char* text, wizard::Navigation navigation) override;
    void ShowDirectory(const char* prompt, const char* caption, const char* proposal) override;
    stdx::string8 DirectoryText() override { return typed_; }
    void ShowProgress(const char* caption, const char* finishCaption) override;
    void Progress(int percent, const char* file) override;
    wizard::ProgressDetail Detail() const override { return wizard::ProgressDetail::kFile; }
    void ShowOutcome(wizard::StepOutcome outcome, const char* text, bool offerDocument) override;
    // The console opens nothing: the user reads the path in the outcome.
    bool OpenDocumentChosen() override { return false; }
    void ShowPlan(const std::vector<install::PlannedFile>& plan) override;
    int MessageBox(const char* text, uint32_t flags) override;
    void Run() override;
    void Close() override { closed_ = true; }
    void ProcessEvents() override;
    void Wakeup() override;
    void SetInterruptDescriptor(int fd) override { terminal_.SetInterruptFd(fd); }

  private:
    enum class Step { kNone, kWelcome, kDirectory, kProgress, kOutcome };

    // One prompt of the directory step, and the action its answer means.
    void PromptDirectory();
    // End of input, SIGTERM or SIGHUP at a prompt: like the window's close
    // control.
    void RequestClose();
    // Ends a progress line still being redrawn, before any other output.
    void EndProgressLine();
    void DrawProgressLine(int percent, const std::string& file);
    void EchoEnd();

    Terminal terminal_;
    wizard::StepListener* listener_ = nullptr;
    Step step_ = Step::kNone;
    bool closed_ = false;
    bool inputEnded_ = false;
    std::string prompt_;
    std::string caption_;
    std::string proposal_;
    stdx::string8 typed_;
    std::string progressCaption_;
    bool progressLineOpen_ = false;
    int shownPercent_ = -1;
    std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace console
