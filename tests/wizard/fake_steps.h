// A step front end for the dialog's unit tests, beside the fake toolkit:
// answers come from a script, everything shown is recorded, and the wait of
// the copy loop ends at the worker's wake-up like the console's does. While
// the gate is closed, the worker waits in Wakeup after its post, so a test
// can act at a known point of the run.
#pragma once
#include <poll.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "wizard/message_box.h"
#include "wizard/step_ui.h"

namespace wizard_test {

class FakeSteps : public wizard::StepUi {
  public:
    ~FakeSteps() override { OpenGate(); }

    // --- What the test sets up -------------------------------------------
    // Answers to the directory prompt in order; nullopt is end of input.
    // None left: end of input.
    std::deque<std::optional<std::string>> directoryAnswers;
    // Answers to questions; none left: kAnswerNone (end of input).
    std::deque<int> answers;
    // Called at the start of every wait of the copy loop, with its number.
    std::function<void(int)> onWait;
    // Called when a question opens, before its answer is taken.
    std::function<void()> onQuestion;
    // Called when a message (not a question) is shown.
    std::function<void()> onMessage;

    // --- What the test inspects ------------------------------------------
    std::vector<std::string> welcomes;
    std::vector<std::string> proposals;
    std::vector<std::string> messages;  // errors and plain messages
    std::vector<std::string> questions;
    std::vector<std::pair<int, std::string>> progress;
    std::vector<std::pair<wizard::StepOutcome, std::string>> outcomes;
    std::optional<std::vector<install::PlannedFile>> plan;
    int waits = 0;

    void Start(wizard::StepListener* listener, const char*) override { listener_ = listener; }
    void ShowWelcome(const char* text, wizard::Navigation navigation) override {
        step_ = Step::kWelcome;
        if (navigation == wizard::Navigation::kInteractive) {
            welcomes.push_back(text);
        }
    }
    void ShowDirectory(const char*, const char*, const char* proposal) override {
        step_ = Step::kDirectory;
        proposals.push_back(proposal);
    }
    stdx::string8 DirectoryText() override { return typed_; }
    void ShowProgress(const char*, const char*) override { step_ = Step::kOther; }
    void Progress(int percent, const char* file) override { progress.emplace_back(percent, file); }
    wizard::ProgressDetail Detail() const override { return wizard::ProgressDetail::kFile; }
    void ShowOutcome(wizard::StepOutcome outcome, const char* text, bool) override {
        step_ = Step::kOutcome;
        outcomes.emplace_back(outcome, text);
    }
    bool OpenDocumentChosen() override { return false; }
    void ShowPlan(const std::vector<install::PlannedFile>& shown) override { plan = shown; }
    int MessageBox(const char* text, uint32_t flags) override {
        if (!wizard::MessageBoxHasYesNo(flags)) {
            messages.push_back(text);
            if (onMessage) {
                onMessage();
            }
            return wizard::kAnswerOk;
        }
        questions.push_back(text);
        if (onQuestion) {
            onQuestion();
        }
        // A signal ends the question as the real front ends do.
        struct pollfd signal = {interruptFd, POLLIN, 0};
        if (interruptFd >= 0 && poll(&signal, 1, 0) == 1) {
            ++interruptedQuestions;
            return wizard::kAnswerNone;
        }
        if (answers.empty()) {
            return wizard::kAnswerNone;
        }
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    // The scripted user: Next on the welcome and the outcome, the next
    // directory answer on the directory step.
    void Run() override {
        while (!closed_) {
            switch (step_) {
                case Step::kWelcome:
                case Step::kOutcome:
                    listener_->OnNext();
                    break;
                case Step::kDirectory:
                    if (directoryAnswers.empty() || !directoryAnswers.front()) {
                        if (!directoryAnswers.empty()) {
                            directoryAnswers.pop_front();
                        }
                        if (listener_->OnCloseRequest() == wizard::CloseAnswer::kAllowClose) {
                            closed_ = true;
                        }
                        break;
                    }
                    typed_ = stdx::string8(directoryAnswers.front()->c_str());
                    directoryAnswers.pop_front();
                    listener_->OnNext();
                    break;
                case Step::kOther:
                    closed_ = true;
                    break;
            }
        }
    }
    void Close() override { closed_ = true; }
    void ProcessEvents() override {
        ++waits;
        if (onWait) {
            onWait(waits);
        }
        std::unique_lock<std::mutex> hold(mutex_);
        cv_.wait_for(hold, std::chrono::milliseconds(50), [this] { return pendingWake_; });
        pendingWake_ = false;
    }
    void Wakeup() override {
        std::unique_lock<std::mutex> hold(mutex_);
        pendingWake_ = true;
        cv_.notify_all();
        cv_.wait_for(hold, std::chrono::seconds(10), [this] { return gateOpen_; });
    }
    void SetInterruptDescriptor(int fd) override { interruptFd = fd; }
    // The user's Cancel, as Ctrl-C at a prompt or the button would give it.
    void Cancel() { listener_->OnCancel(); }
    // The display went away: the status the process would end with.
    int LoseFrontEnd() { return listener_->OnFrontEndLost(); }

    int interruptFd = -1;
    int interruptedQuestions = 0;

    void CloseGate() {
        std::lock_guard<std::mutex> hold(mutex_);
        gateOpen_ = false;
    }
    void OpenGate() {
        {
            std::lock_guard<std::mutex> hold(mutex_);
            gateOpen_ = true;
        }
        cv_.notify_all();
    }

  private:
    enum class Step { kOther, kWelcome, kDirectory, kOutcome };
    wizard::StepListener* listener_ = nullptr;
    Step step_ = Step::kOther;
    bool closed_ = false;
    stdx::string8 typed_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool pendingWake_ = false;
    bool gateOpen_ = true;
};

}  // namespace wizard_test
