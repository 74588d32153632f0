// A toolkit without a screen for the wizard's unit tests: every control is a
// record the test can inspect, message boxes answer from a script, the main
// loop runs a scripted user, and the event pass waits for the worker's
// wake-up like a real loop does (bounded, never spinning).
#pragma once
#include <poll.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "wizard/toolkit.h"

namespace wizard_test {

enum class Kind {
    kWindow,
    kContainer,
    kSeparator,
    kButton,
    kPicture,
    kSidePicture,
    kMultilineText,
    kLabel,
    kCheckBox,
    kEntry,
    kProgressBar
};

struct FakeControl {
    Kind kind;
    FakeControl* parent = nullptr;
    wizard::Rect rect{0, 0, 0, 0};
    std::string text;
    bool visible = false;
    bool enabled = true;
    bool checked = false;
    int progress = 0;
    wizard::Command command = wizard::Command::kBack;
    bool isDefault = false;
    // SetText and SetProgress calls that reached this control.
    int updates = 0;
    // What a screen reader would be told: the name, the caption's control
    // (for a label), the command that Return in an entry reports.
    std::string accessibleName;
    FakeControl* labelFor = nullptr;
    bool hasEntryCommand = false;
    wizard::Command entryCommand = wizard::Command::kBack;
};

struct BoxRecord {
    std::string text;
    uint32_t flags;
    std::string title;
    int answer;
    // The catalogue text, without the detail line(s) below it.
    std::string headline() const { return text.substr(0, text.find('\n')); }
    // The detail below the catalogue text, or empty.
    std::string detail() const {
        const size_t cut = text.find('\n');
        return cut == std::string::npos ? std::string() : text.substr(cut + 1);
    }
};

class FakeToolkit : public wizard::Toolkit {
  public:
    // --- What the test sets up -------------------------------------------
    // Answers for the coming message boxes, in order. When none is left, a
    // Yes/No box answers No and an OK box answers OK.
    std::deque<int> answers;
    // The folder the chooser "picks"; empty means the user cancels it.
    std::string chooserPick;
    // The scripted user while the main loop runs.
    std::function<void()> onMainLoop;
    // Called at the start of every event pass of the copy poll loop, with
    // the pass number (1, 2, ...).
    std::function<void(int)> onEventPass;
    // Boxes whose text starts with this are answered with `passAnswer` at
    // once, recorded in `passedBoxes` only: a test that is about something
    // else walks through them as a user who has seen them before would.
    std::string passBoxPrefix;
    int passAnswer = wizard::kAnswerYes;
    std::vector<std::string> passedBoxes;
    // Called while a message box or the directory chooser is open, as a user
    // acting on the wizard window behind it would (once, then cleared).
    std::function<void()> duringModal;

    // --- What the test inspects ------------------------------------------
    std::vector<std::unique_ptr<FakeControl>> controls;
    std::vector<BoxRecord> boxes;
    std::vector<std::string> choosersOpened;
    // The captions given for boxes and chooser; 1 when given before the
    // window was created, 2 after, 0 never.
    wizard::DialogTexts dialogTexts;
    int dialogTextsSet = 0;
    int initializeCalls = 0;
    int mainLoopRuns = 0;
    int eventPasses = 0;
    bool windowDestroyed = false;
    FakeControl* window = nullptr;
    wizard::ToolkitListener* listener = nullptr;

    ~FakeToolkit() override { OpenGate(); }

    // --- Acting as the user ----------------------------------------------
    // Presses the button of `command` the way a real toolkit would: only
    // when it exists, is visible and enabled. True when it was pressed.
    bool Press(wizard::Command command) {
        FakeControl* button = ButtonFor(command);
        if (button == nullptr || !button->visible || !button->enabled || !WindowOpen()) {
            return false;
        }
        listener->OnCommand(command);
        return true;
    }
    void Escape() {
        if (WindowOpen()) {
            listener->OnCommand(wizard::Command::kCancel);
        }
    }
    // The title-bar close control: asks the listener, closes when allowed.
    void CloseControl() {
        if (!WindowOpen()) {
            return;
        }
        if (listener->OnCloseRequest() == wizard::CloseAnswer::kAllowClose) {
            windowDestroyed = true;
            listener->OnWindowClosed();
        }
    }
    // Return in the visible entry, reported as the toolkit would.
    void ReturnInEntry() {
        FakeControl* entry = VisibleOf(Kind::kEntry);
        ASSERT_NE(entry, nullptr);
        if (entry->hasEntryCommand && WindowOpen()) {
            listener->OnCommand(entry->entryCommand);
        }
    }
    void Type(const std::string& text) {
        FakeControl* entry = VisibleOf(Kind::kEntry);
        ASSERT_NE(entry, nullptr);
        entry->text = text;
    }

    // --- Looking at the screen -------------------------------------------
    bool WindowOpen() const { return window != nullptr && !windowDestroyed; }
    FakeControl* ButtonFor(wizard::Command command) const {
        for (const auto& c : controls) {
            if (c->kind == Kind::kButton && c->command == command) {
                return c.get();
            }
        }
        return nullptr;
    }
    FakeControl* VisibleOf(Kind kind) const {
        for (const auto& c : controls) {
            if (c->kind == kind && c->visible) {
                return c.get();
            }
        }
        return nullptr;
    }
    // The text of the visible multi-line text (message or prompt).
    std::string PageText() const {
        FakeControl* text = VisibleOf(Kind::kMultilineText);
        return text ? text->text : std::string();
    }
    std::string EntryText() const {
        FakeControl* entry = VisibleOf(Kind::kEntry);
        return entry ? entry->text : std::string();
    }
    int CountOf(Kind kind) const {
        int n = 0;
        for (const auto& c : controls) {
            n += c->kind == kind ? 1 : 0;
        }
        return n;
    }

    // --- The worker's wake-up --------------------------------------------
    // While the gate is closed, the worker's Wakeup call waits (bounded) for
    // it to open: the worker is held right after a post, so a test can act
    // at a known point of the run.
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
    int wakeups() {
        std::lock_guard<std::mutex> hold(mutex_);
        return wakeups_;
    }
    // Closes the gate at the worker's wake-up number `n` (1, 2, ...), so the
    // worker is held right after that post until the test opens the gate.
    void HoldAtWakeup(int n) {
        std::lock_guard<std::mutex> hold(mutex_);
        holdAtWakeup_ = n;
    }

    // --- wizard::Toolkit -----------------------------------------------
    void Initialize(int* argc, char*** argv) override {
        ++initializeCalls;
        EXPECT_NE(argc, nullptr);
        EXPECT_NE(argv, nullptr);
    }

    wizard::Handle CreateWindow(int width, int height, const char* title,
                                wizard::ToolkitListener* l) override {
        EXPECT_EQ(window, nullptr) << "one window per run";
        window = Make(Kind::kWindow, nullptr, {0, 0, width, height}, title);
        listener = l;
        return window;
    }
    wizard::Handle CreateContainer(wizard::Handle w) override {
        return Make(Kind::kContainer, W(w), {0, 0, window->rect.width, window->rect.height}, "");
    }
    void ShowWindow(wizard::Handle w) override {
        for (const auto& c : controls) {
            if (c->kind == Kind::kSeparator || c->kind == Kind::kButton || c.get() == W(w) ||
                c->kind == Kind::kContainer) {
                c->visible = true;
            }
        }
    }
    void DestroyWindow(wizard::Handle w, wizard::Handle container) override {
        EXPECT_EQ(W(w), window);
        EXPECT_EQ(W(container)->parent, window);
        windowDestroyed = true;
        listener->OnWindowClosed();
    }
    wizard::Handle LoadSidePicture() override {
        return Make(Kind::kSidePicture, nullptr, {0, 0, 158, 286}, "");
    }
    wizard::Handle CreateSeparator(wizard::Handle container, wizard::Rect rect) override {
        return Make(Kind::kSeparator, W(container), rect, "");
    }
    wizard::Handle CreateButton(wizard::Handle container, wizard::Rect rect, const char* caption,
                                wizard::Command command) override {
        FakeControl* c = Make(Kind::kButton, W(container), rect, caption);
        c->command = command;
        return c;
    }
    wizard::Handle CreatePicture(wizard::Handle container, int x, int y,
                                 wizard::Handle picture) override {
        EXPECT_EQ(W(picture)->kind, Kind::kSidePicture);
        return Make(Kind::kPicture, W(container), {x, y, 158, 286}, "");
    }
    wizard::Handle CreateMultilineText(wizard::Handle container, int x, int y,
                                       const char* text) override {
        return Make(Kind::kMultilineText, W(container), {x, y, 330, 250}, text);
    }
    wizard::Handle CreateLabel(wizard::Handle container, int x, int y, int width,
                               const char* text) override {
        return Make(Kind::kLabel, W(container), {x, y, width, 20}, text);
    }
    wizard::Handle CreateCheckBox(wizard::Handle container, int x, int y, int width,
                                  const char* caption, bool checked) override {
        FakeControl* c = Make(Kind::kCheckBox, W(container), {x, y, width, 20}, caption);
        c->checked = checked;
        return c;
    }
    wizard::Handle CreateEntry(wizard::Handle container, wizard::Rect rect) override {
        return Make(Kind::kEntry, W(container), rect, "");
    }
    wizard::Handle CreateProgressBar(wizard::Handle container, wizard::Rect rect) override {
        return Make(Kind::kProgressBar, W(container), rect, "");
    }
    void SetVisible(wizard::Handle control, bool visible) override {
        W(control)->visible = visible;
    }
    void SetEnabled(wizard::Handle control, bool enabled) override {
        W(control)->enabled = enabled;
    }
    void SetText(wizard::Handle control, const char* text) override {
        W(control)->text = text;
        ++W(control)->updates;
    }
    void SetEntryText(wizard::Handle entry, const char* text) override {
        EXPECT_EQ(W(entry)->kind, Kind::kEntry);
        W(entry)->text = text;
    }
    stdx::string8 GetEntryText(wizard::Handle entry) override {
        return stdx::string8(W(entry)->text.c_str());
    }
    bool IsChecked(wizard::Handle box) override { return W(box)->checked; }
    void SetProgress(wizard::Handle bar, int percent) override {
        W(bar)->progress = percent;
        ++W(bar)->updates;
    }
    void SetDefaultButton(wizard::Handle w, wizard::Handle button) override {
        EXPECT_EQ(W(w), window);
        W(button)->isDefault = true;
    }
    int MessageBox(const char* text, uint32_t flags, const char* title) override {
        if (!passBoxPrefix.empty() && std::string(text).rfind(passBoxPrefix, 0) == 0) {
            passedBoxes.push_back(text);
            return passAnswer;
        }
        RunDuringModal();
        // A signal ends the box without an answer, as GTK's watch does.
        struct pollfd signal = {interruptFd, POLLIN, 0};
        if (interruptFd >= 0 && poll(&signal, 1, 0) == 1) {
            boxes.push_back({text, flags, title, wizard::kAnswerNone});
            return wizard::kAnswerNone;
        }
        int answer = wizard::kAnswerOk;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        } else if (wizard::MessageBoxHasYesNo(flags)) {
            answer = wizard::kAnswerNo;
        }
        boxes.push_back({text, flags, title, answer});
        return answer;
    }
    void ChooseDirectory(wizard::Handle w, wizard::Handle entry) override {
        EXPECT_EQ(W(w), window);
        RunDuringModal();
        choosersOpened.push_back(W(entry)->text);
        if (!chooserPick.empty()) {
            W(entry)->text = chooserPick;
        }
    }
    void SetInterruptDescriptor(int fd) override { interruptFd = fd; }
    int interruptFd = -1;
    void RunMainLoop() override {
        ++mainLoopRuns;
        if (onMainLoop) {
            onMainLoop();
        }
    }
    void ProcessEvents() override {
        ++eventPasses;
        if (onEventPass) {
            onEventPass(eventPasses);
        }
        std::unique_lock<std::mutex> hold(mutex_);
        cv_.wait_for(hold, std::chrono::milliseconds(50), [this] { return pendingWake_; });
        pendingWake_ = false;
    }
    void Wakeup() override {
        std::unique_lock<std::mutex> hold(mutex_);
        ++wakeups_;
        if (wakeups_ == holdAtWakeup_) {
            gateOpen_ = false;
        }
        pendingWake_ = true;
        cv_.notify_all();
        cv_.wait_for(hold, std::chrono::seconds(10), [this] { return gateOpen_; });
    }
    void SetDialogTexts(const wizard::DialogTexts& texts) override {
        dialogTexts = texts;
        dialogTextsSet = window == nullptr ? 1 : 2;
    }

    void SetEntryCommand(wizard::Handle entry, wizard::Command command) override {
        EXPECT_EQ(W(entry)->kind, Kind::kEntry);
        W(entry)->hasEntryCommand = true;
        W(entry)->entryCommand = command;
    }
    void SetAccessibleName(wizard::Handle control, const char* name) override {
        W(control)->accessibleName = name;
    }
    void SetLabelFor(wizard::Handle label, wizard::Handle control) override {
        EXPECT_EQ(W(label)->kind, Kind::kLabel);
        W(label)->labelFor = W(control);
    }

  private:
    void RunDuringModal() {
        std::function<void()> during;
        during.swap(duringModal);
        if (during) {
            during();
        }
    }
    static FakeControl* W(wizard::Handle h) { return static_cast<FakeControl*>(h); }
    FakeControl* Make(Kind kind, FakeControl* parent, wizard::Rect rect, const char* text) {
        controls.push_back(std::make_unique<FakeControl>());
        FakeControl* c = controls.back().get();
        c->kind = kind;
        c->parent = parent;
        c->rect = rect;
        c->text = text;
        return c;
    }

    std::mutex mutex_;
    std::condition_variable cv_;
    bool pendingWake_ = false;
    bool gateOpen_ = true;
    int wakeups_ = 0;
    int holdAtWakeup_ = 0;
};

}  // namespace wizard_test
