// The step-level front-end interface, beside the widget-level toolkit: a
// front end that asks and tells in turns (a text console) implements
// `wizard::StepUi`, and the same installer dialog drives it through the same
// checks, copy run and outcome as the windowed wizard. Where the toolkit is
// told "create a label at (170, 10)", a step front end is told "this is the
// welcome text".
//
// Order of calls in one run:
//   Welcome, ChooseDirectory (repeated while the choice is refused, with a
//   MessageBox in between), then Progress / ProcessEvents until the copy run
//   ends, then Outcome. With auto-start the first two are left out. The dry
//   run calls ShowPlan instead of the copy. A start-up failure is one
//   MessageBox and nothing else.
//
// Rules: every call but Wakeup comes from the user-interface thread; texts
// are UTF-8; nothing throws.
#pragma once
#include <cstdint>
#include <vector>

#include "install/freshness.h"
#include "text/basic_string.h"

namespace wizard {

enum class StepAnswer {
    kNext,    // go on
    kCancel,  // the user wants to stop here (end of input counts as this)
};

enum class StepOutcome {
    kInstalled,
    kFailed,
    kCancelled,
};

class StepUi {
  public:
    virtual ~StepUi() = default;

    // The welcome text with product and vendor.
    virtual StepAnswer Welcome(const char* text) = 0;
    // The directory prompt: `prompt` explains, `caption` labels the answer,
    // `proposal` is what an empty answer accepts. kNext with `chosen` set to
    // the answer as typed, in the locale's encoding; empty accepts the
    // proposal.
    virtual StepAnswer ChooseDirectory(const char* prompt, const char* caption,
                                       const char* proposal, stdx::string8& chosen) = 0;
    // A message (flags as wizard::kMessageBox*); a Yes/No question returns
    // kAnswerYes or kAnswerNo, anything else kAnswerOk. kAnswerNone when the
    // question could not be answered (end of input): a refusal.
    virtual int MessageBox(const char* text, uint32_t flags, const char* title) = 0;

    // The copy run: `caption` once when it starts, then every change of the
    // percentage or the file (relative to the template directory).
    virtual void CopyStarted(const char* caption) = 0;
    virtual void Progress(int percent, const char* file) = 0;
    // Waits until Wakeup is called or the user interrupts (then
    // TakeInterrupt is true); may return early, never spins.
    virtual void ProcessEvents() = 0;
    // Thread-safe; the worker calls it after each post.
    virtual void Wakeup() = 0;
    // True once after the user interrupted the run (Ctrl-C, a signal).
    virtual bool TakeInterrupt() = 0;

    // The closing text of the run.
    virtual void Outcome(StepOutcome outcome, const char* text) = 0;

    // The dry run's report, one entry per kit file in the kit's order.
    virtual void ShowPlan(const std::vector<install::PlannedFile>& plan) = 0;
};

}  // namespace wizard
