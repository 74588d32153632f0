// The one interface between the installer's controller (CInstallerDlg) and
// a front end. The controller decides the whole flow: which step comes, what
// it says, which question is asked, what a run does and how the program
// ends. A front end only draws the step it is told to show and reports what
// the user did, through `wizard::StepListener`:
//   - the windowed wizards (GTK, Cocoa) through `wizard::WindowedSteps`,
//     which lays the steps out as pages on a widget-level wizard::Toolkit;
//   - the text console (src/console), which prints each step and turns the
//     lines typed at its prompts into the same actions.
//
// Order of calls in one run:
//   Start, then ShowWelcome; Run delivers the user's actions (OnNext,
//   OnBack, OnCancel, OnCloseRequest) until Close. In between the controller
//   shows the directory step, asks questions with MessageBox, runs the copy
//   (ShowProgress, then Progress and ProcessEvents until the run ends) and
//   shows the outcome. With auto-start the controller copies at once after
//   ShowWelcome, without Run. A dry run calls ShowPlan instead of the copy.
//   A start-up failure is one MessageBox and nothing else.
//
// Rules: every call but Wakeup comes from the user-interface thread; texts
// are UTF-8; nothing throws; listener calls may come from inside Run,
// ProcessEvents or MessageBox (a nested event loop), never from elsewhere.
#pragma once
#include <cstdint>
#include <vector>

#include "install/install_plan.h"
#include "text/basic_string.h"
#include "wizard/message_box.h"

namespace wizard {

enum class StepOutcome {
    kInstalled,
    kFailed,
    kCancelled,
};

// Whether the welcome step offers the way on (Next) or only shows the
// product while an unattended copy starts.
enum class Navigation {
    kInteractive,
    kUnattended,
};

// What the copy step shows, so that the worker wakes the front end only for
// what can be seen.
enum class ProgressDetail {
    kPercent,  // a bar: only a changed percentage matters
    kFile,     // the file being copied as well
};

// The user's actions, implemented by the controller.
class StepListener {
  public:
    // Next (Finish on the outcome step); on the directory step the answer is
    // read with StepUi::DirectoryText.
    virtual void OnNext() noexcept = 0;
    virtual void OnBack() noexcept = 0;
    // Cancel, Escape, Ctrl-C at a prompt.
    virtual void OnCancel() noexcept = 0;
    // The window's close control, or the end of a console's input: no
    // question is asked outside the copy.
    virtual CloseAnswer OnCloseRequest() noexcept = 0;
    // The front end can show and ask nothing more and cannot go back to its
    // event loop (the display connection broke). The controller ends what
    // runs (a copy is cancelled and rolled back), says on standard error how
    // the run ended and returns the status the process must end with at once.
    virtual int OnFrontEndLost() noexcept = 0;

  protected:
    ~StepListener() = default;
};

class StepUi {
  public:
    virtual ~StepUi() = default;

    // Once, before anything is shown. `title` names the window and titles
    // every message box.
    virtual void Start(StepListener* listener, const char* title) = 0;

    // --- Steps -----------------------------------------------------------
    virtual void ShowWelcome(const char* text, Navigation navigation) = 0;
    // The directory prompt: `prompt` explains, `caption` labels the answer,
    // `proposal` is the directory proposed.
    virtual void ShowDirectory(const char* prompt, const char* caption, const char* proposal) = 0;
    // The directory as the user gave it (locale encoding), when OnNext
    // comes on the directory step.
    virtual stdx::string8 DirectoryText() = 0;
    virtual void ShowProgress(const char* caption, const char* finishCaption) = 0;
    // Every change of the percentage, or (with kFile) of the file, relative
    // to the template directory.
    virtual void Progress(int percent, const char* file) = 0;
    virtual ProgressDetail Detail() const = 0;
    // The closing step; `offerDocument` adds the choice to open the kit's
    // description. Nothing once the front end has closed.
    virtual void ShowOutcome(StepOutcome outcome, const char* text, bool offerDocument) = 0;
    // Whether the user chose to open the description (outcome step).
    virtual bool OpenDocumentChosen() = 0;
    // The dry run's report, one entry per kit file in the kit's order.
    virtual void ShowPlan(const std::vector<install::PlannedFile>& plan) = 0;

    // A modal message (flags as wizard::kMessageBox*); a Yes/No question
    // returns kAnswerYes or kAnswerNo, anything else kAnswerOk; kAnswerNone
    // when it was closed without an answer (a refusal).
    virtual int MessageBox(const char* text, uint32_t flags) = 0;

    // --- Events ----------------------------------------------------------
    // Delivers the user's actions until Close.
    virtual void Run() = 0;
    // Ends Run; the window goes away. Harmless when already closed.
    virtual void Close() = 0;
    // One pass of the copy step's waiting: handles pending actions, else
    // waits until one arrives or Wakeup is called; may return early, never
    // spins.
    virtual void ProcessEvents() = 0;
    // Thread-safe; the worker calls it after a post.
    virtual void Wakeup() = 0;
    // From now on, whenever `fd` (the controller's signal pipe) is readable,
    // an open Yes/No question ends at once with kAnswerNone and a waiting
    // ProcessEvents returns; -1 ends that. The front end never reads `fd`.
    virtual void SetInterruptDescriptor(int fd) = 0;
};

}  // namespace wizard
