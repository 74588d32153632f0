// The console front end's steps; see console_ui.h.
#include "console/console_ui.h"

#include <algorithm>
#include <csignal>
#include <cstdio>

#include "console/console_text.h"
#include "console/yes_no.h"
#include "l10n/localization.h"
#include "text/string_util.h"
#include "text/utf8.h"
#include "wizard/message_box.h"

namespace console {

namespace {

// Redraws of the progress line are at most this frequent; the percentage
// changing is always drawn.
constexpr std::chrono::milliseconds kRedrawInterval{50};
constexpr int kBarWidth = 20;

std::string Utf8(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

}  // namespace

void ConsoleUi::Start(wizard::StepListener* listener, const char* /*title*/) {
    listener_ = listener;
}

void ConsoleUi::ShowWelcome(const char* text, wizard::Navigation navigation) {
    step_ = Step::kWelcome;
    if (navigation == wizard::Navigation::kInteractive) {
        Terminal::Out(ToTerminal(Utf8(text)) + "\n\n");
    }
}

void ConsoleUi::ShowDirectory(const char* prompt, const char* caption, const char* proposal) {
    step_ = Step::kDirectory;
    prompt_ = ToTerminal(Utf8(prompt));
    caption_ = ToTerminal(Utf8(caption));
    proposal_ = Utf8(proposal);
}

// The steps as turns: the welcome goes on by itself, the directory step
// prompts until an answer is taken, the outcome finishes.
void ConsoleUi::Run() {
    while (!closed_ && listener_ != nullptr) {
        switch (step_) {
            case Step::kWelcome:
            case Step::kOutcome:
                listener_->OnNext();
                break;
            case Step::kDirectory:
                PromptDirectory();
                break;
            case Step::kNone:
            case Step::kProgress:
                closed_ = true;
                break;
        }
    }
}

void ConsoleUi::PromptDirectory() {
    if (inputEnded_) {
        RequestClose();
        return;
    }
    Terminal::Out(prompt_ + "\n" + caption_ + " [" + ToTerminal(proposal_) + "] ");
    std::string line;
    switch (terminal_.ReadLine(line)) {
        case Terminal::Read::kEnd:
            Terminal::Out("\n");
            inputEnded_ = true;
            RequestClose();
            return;
        case Terminal::Read::kInterrupted:
            Terminal::Out("\n");
            if (terminal_.TakeSignal() == SIGINT) {
                listener_->OnCancel();
                return;
            }
            inputEnded_ = true;
            RequestClose();
            return;
        case Terminal::Read::kLine:
            EchoEnd();
            break;
    }
    // The bytes as typed (empty: the proposal). A name the locale cannot
    // read is the controller's to refuse, not this line's to mend.
    typed_ = line.empty() ? stdx::string8(proposal_.c_str())
                          : stdx::string8(line.data(), line.size());
    listener_->OnNext();
}

void ConsoleUi::RequestClose() {
    if (listener_->OnCloseRequest() == wizard::CloseAnswer::kAllowClose) {
        closed_ = true;
    }
}

// Piped answers are not echoed: end the prompt's line so that the next
// output starts on its own.
void ConsoleUi::EchoEnd() {
    if (!terminal_.InputIsTerminal()) {
        Terminal::Out("\n");
    }
}

int ConsoleUi::MessageBox(const char* text, uint32_t flags) {
    EndProgressLine();
    if (!wizard::MessageBoxHasYesNo(flags)) {
        Terminal::Err(ToTerminal(Utf8(text)) + "\n");
        return wizard::kAnswerOk;
    }
    for (;;) {
        if (inputEnded_) {
            return wizard::kAnswerNone;
        }
        Terminal::Out(ToTerminal(Utf8(text)) + " " + ToTerminal(YesNoChoices()) + " ");
        std::string line;
        switch (terminal_.ReadLine(line)) {
            case Terminal::Read::kEnd:
                Terminal::Out("\n");
                inputEnded_ = true;
                return wizard::kAnswerNone;
            case Terminal::Read::kInterrupted:
                Terminal::Out("\n");
                if (terminal_.TakeSignal() != SIGINT) {
                    inputEnded_ = true;
                }
                return wizard::kAnswerNone;
            case Terminal::Read::kLine:
                EchoEnd();
                break;
        }
        switch (ReadYesNo(line)) {
            case YesNo::kYes:
                return wizard::kAnswerYes;
            case YesNo::kNo:
                return wizard::kAnswerNo;
            case YesNo::kUnclear:
                break;
        }
    }
}

void ConsoleUi::ShowProgress(const char* caption, const char* /*finishCaption*/) {
    step_ = Step::kProgress;
    progressCaption_ = ToTerminal(Utf8(caption));
    shownPercent_ = -1;
    if (!terminal_.OutputIsTerminal()) {
        Terminal::Out(progressCaption_ + "\n");
    }
}

void ConsoleUi::Progress(int percent, const char* file) {
    if (!terminal_.OutputIsTerminal()) {
        if (percent != shownPercent_) {
            shownPercent_ = percent;
            Terminal::Out(std::to_string(percent) + "%\n");
        }
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (percent == shownPercent_ && now - lastDraw_ < kRedrawInterval) {
        return;
    }
    shownPercent_ = percent;
    lastDraw_ = now;
    DrawProgressLine(percent, ToTerminal(Utf8(file)));
}

void ConsoleUi::DrawProgressLine(int percent, const std::string& file) {
    const int filled = percent * kBarWidth / 100;
    std::string line = progressCaption_ + " [" + std::string(size_t(filled), '#') +
                       std::string(size_t(kBarWidth - filled), ' ') + "] ";
    std::string number = std::to_string(percent) + "%";
    line += std::string(4 - std::min<size_t>(4, number.size()), ' ') + number + "  ";
    const size_t columns = size_t(std::max(terminal_.Columns() - 1, 0));
    const size_t used = DisplayColumns(line);
    line += FitTail(file, used < columns ? columns - used : 0);
    // Carriage return, the line, then clear to the end of the line.
    Terminal::Out("\r" + line + "\x1b[K");
    progressLineOpen_ = true;
}

void ConsoleUi::EndProgressLine() {
    if (progressLineOpen_) {
        Terminal::Out("\n");
        progressLineOpen_ = false;
    }
}

void ConsoleUi::ProcessEvents() {
    // The wake-up pipe ends the wait at each post; the bound is only a
    // safety net. Signals during the copy go to the controller's own pipe.
    terminal_.Wait(100);
}

void ConsoleUi::Wakeup() {
    terminal_.Wake();
}

void ConsoleUi::ShowOutcome(wizard::StepOutcome /*outcome*/, const char* text,
                            bool /*offerDocument*/) {
    step_ = Step::kOutcome;
    EndProgressLine();
    Terminal::Out(ToTerminal(Utf8(text)) + "\n");
}

// One line a kit file, its verdict in the chosen language in a column as
// wide as the widest verdict, then the counts. The reasons of a blocked file
// are English, like the kit's names they explain.
void ConsoleUi::ShowPlan(const std::vector<install::PlannedFile>& plan) {
    // In the order of install::Verdict.
    const char* const keys[] = {"IDS_PLAN_NEW", "IDS_PLAN_UPDATE", "IDS_PLAN_KEEP",
                                "IDS_PLAN_BLOCKED"};
    std::string words[4];
    size_t width = 0;
    for (int i = 0; i < 4; ++i) {
        words[i] = ToTerminal(Utf8(GetLocalizedUtf8(keys[i]).c_str()));
        width = std::max(width, DisplayColumns(words[i]));
    }
    for (std::string& word : words) {
        word += std::string(width + 1 - DisplayColumns(word), ' ');
    }
    std::string out;
    for (const install::PlannedFile& file : plan) {
        const stdx::string8 name = stdx::to_utf8(file.name);
        out += words[int(file.verdict)] + ToTerminal(std::string(name.c_str(), name.size()));
        if (file.verdict == install::Verdict::kBlocked) {
            out += std::string(": ") + install::BlockerText(file.blocker);
        }
        out += "\n";
        if (out.size() > 65536) {
            Terminal::Out(out);
            out.clear();
        }
    }
    const install::PlanSummary summary = install::Summarize(plan);
    auto number = [](uint64_t n) { return stdx::widen(stdx::string8(std::to_string(n).c_str())); };
    const stdx::string16 line = FormatLocalized(
        "IDS_PLAN_SUMMARY", {number(summary.newFiles), number(summary.updatedFiles),
                             number(summary.keptFiles), number(summary.blockedFiles),
                             number(summary.bytesToWrite)});
    out += ToTerminal(Utf8(stdx::to_utf8(line).c_str())) + "\n";
    Terminal::Out(out);
}

}  // namespace console
