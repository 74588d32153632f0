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
// End of input at a prompt cancels. Ctrl-C at a prompt asks the cancel
// question (SIGTERM and SIGHUP there cancel); during the copy the dialog's
// own signal pipe takes the three signals and cancels at once.
#pragma once
#include <chrono>
#include <string>

#include "terminal.h"
#include "wizard/step_ui.h"

namespace console {

class ConsoleUi final : public wizard::StepUi {
  public:
    ConsoleUi() = default;

    wizard::StepAnswer Welcome(const char* text) override;
    wizard::StepAnswer ChooseDirectory(const char* prompt, const char* caption,
                                       const char* proposal, stdx::string8& chosen) override;
    int MessageBox(const char* text, uint32_t flags, const char* title) override;
    void CopyStarted(const char* caption) override;
    void Progress(int percent, const char* file) override;
    void ProcessEvents() override;
    void Wakeup() override;
    bool TakeInterrupt() override;
    void Outcome(wizard::StepOutcome outcome, const char* text) override;
    void ShowPlan(const std::vector<install::PlannedFile>& plan) override;

  private:
    // Ends a progress line still being redrawn, before any other output.
    void EndProgressLine();
    void DrawProgressLine(int percent, const std::string& file);
    // A signal seen at a prompt: SIGINT asks, the others end the input.
    wizard::StepAnswer Interrupted();
    void EchoEnd();

    Terminal terminal_;
    bool inputEnded_ = false;
    bool interrupted_ = false;
    std::string caption_;
    bool progressLineOpen_ = false;
    int shownPercent_ = -1;
    std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace console
