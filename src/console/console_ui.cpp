// The console front end's steps; see console_ui.h.
#include "console_ui.h"

#include <algorithm>
#include <csignal>
#include <cstdio>

#include "console_text.h"
#include "text/string_util.h"
#include "text/utf8.h"
#include "wizard/toolkit.h"
#include "yes_no.h"

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

wizard::StepAnswer ConsoleUi::Welcome(const char* text) {
    Terminal::Out(ToTerminal(Utf8(text)) + "\n\n");
    return wizard::StepAnswer::kNext;
}

wizard::StepAnswer ConsoleUi::ChooseDirectory(const char* prompt, const char* caption,
                                              const char* proposal, stdx::string8& chosen) {
    if (inputEnded_) {
        return wizard::StepAnswer::kCancel;
    }
    Terminal::Out(ToTerminal(Utf8(prompt)) + "\n" + ToTerminal(Utf8(caption)) + " [" +
                  ToTerminal(Utf8(proposal)) + "] ");
    std::string line;
    switch (terminal_.ReadLine(line)) {
        case Terminal::Read::kEnd:
            Terminal::Out("\n");
            inputEnded_ = true;
            return wizard::StepAnswer::kCancel;
        case Terminal::Read::kInterrupted:
            Terminal::Out("\n");
            return Interrupted();
        case Terminal::Read::kLine:
            EchoEnd();
            break;
    }
    // The bytes as typed (empty: the proposal). A name the locale cannot
    // read is the dialog's to refuse, not this line's to mend.
    chosen = stdx::string8(line.data(), line.size());
    return wizard::StepAnswer::kNext;
}

// Piped answers are not echoed: end the prompt's line so that the next
// output starts on its own.
void ConsoleUi::EchoEnd() {
    if (!terminal_.InputIsTerminal()) {
        Terminal::Out("\n");
    }
}

wizard::StepAnswer ConsoleUi::Interrupted() {
    if (terminal_.TakeSignal() != SIGINT) {
        inputEnded_ = true;
    }
    return wizard::StepAnswer::kCancel;
}

int ConsoleUi::MessageBox(const char* text, uint32_t flags, const char* /*title*/) {
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
                Interrupted();
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

void ConsoleUi::CopyStarted(const char* caption) {
    caption_ = ToTerminal(Utf8(caption));
    shownPercent_ = -1;
    if (!terminal_.OutputIsTerminal()) {
        Terminal::Out(caption_ + "\n");
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
    std::string line = caption_ + " [" + std::string(size_t(filled), '#') +
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
    // safety net.
    terminal_.Wait(100);
    if (terminal_.TakeSignal() != 0) {
        interrupted_ = true;
    }
}

void ConsoleUi::Wakeup() {
    terminal_.Wake();
}

bool ConsoleUi::TakeInterrupt() {
    const bool interrupted = interrupted_;
    interrupted_ = false;
    return interrupted;
}

void ConsoleUi::Outcome(wizard::StepOutcome /*outcome*/, const char* text) {
    EndProgressLine();
    Terminal::Out(ToTerminal(Utf8(text)) + "\n");
}

void ConsoleUi::ShowPlan(const std::vector<install::PlannedFile>& plan) {
    std::string out;
    for (const install::PlannedFile& file : plan) {
        std::string word = install::FreshnessWord(file.freshness);
        word.resize(7, ' ');
        const stdx::string8 name = stdx::to_utf8(file.name);
        out += word + ToTerminal(std::string(name.c_str(), name.size())) + "\n";
        if (out.size() > 65536) {
            Terminal::Out(out);
            out.clear();
        }
    }
    const install::PlanSummary summary = install::Summarize(plan);
    out += std::to_string(summary.newFiles) + " new, " + std::to_string(summary.updatedFiles) +
           " update, " + std::to_string(summary.keptFiles) + " keep; " +
           std::to_string(summary.bytesToWrite) + " bytes would be written\n";
    Terminal::Out(out);
}

}  // namespace console
