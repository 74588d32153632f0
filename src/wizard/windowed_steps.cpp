// The wizard window's pages and button bar; see windowed_steps.h.
#include "wizard/windowed_steps.h"

#include "l10n/localization.h"
#include "text/utf8.h"

namespace wizard {

namespace {

constexpr int kWidth = 500;
constexpr int kHeight = 360;

stdx::string16 Utf16(const char* text) {
    stdx::string16 out;
    stdx::from_utf8(stdx::string8(text != nullptr ? text : ""), out);
    return out;
}

// Counts one open modal box or chooser for the life of a scope.
class ModalScope {
  public:
    explicit ModalScope(int& depth) : depth_(depth) { ++depth_; }
    ~ModalScope() { --depth_; }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

  private:
    int& depth_;
};

}  // namespace

WindowedSteps::WindowedSteps(Toolkit& toolkit, int* argc, char*** argv) : toolkit_(toolkit) {
    toolkit_.Initialize(argc, argv);
}

// The toolkit owns the controls; pages only hold their handles.
WindowedSteps::~WindowedSteps() = default;

void WindowedSteps::Start(StepListener* listener, const char* title) {
    listener_ = listener;
    title_ = stdx::string8(title != nullptr ? title : "");
    // Even the start-up checks' boxes speak the dialog's language.
    toolkit_.SetDialogTexts(
        {GetLocalizedUtf8("IDS_MSGBOX_YES"), GetLocalizedUtf8("IDS_MSGBOX_NO"),
         GetLocalizedUtf8("IDS_MSGBOX_OK"), GetLocalizedUtf8("IDS_CHOOSEDIR_TITLE"),
         GetLocalizedUtf8("IDS_BROWSE_OK"), GetLocalizedUtf8("IDS_BROWSE_CANCEL")});
}

bool WindowedSteps::EnsureWindow() {
    if (window_ != nullptr) {
        return true;
    }
    if (closed_) {
        return false;
    }
    window_ = toolkit_.CreateWindow(kWidth, kHeight, title_.c_str(), this);
    container_ = toolkit_.CreateContainer(window_);
    toolkit_.CreateSeparator(container_, {10, 310, kWidth - 20, 5});
    backButton_ = toolkit_.CreateButton(container_, {230, 320, 80, 30},
                                        GetLocalizedUtf8("IDS_WIZARD_BACK").c_str(), Command::kBack);
    nextButton_ = toolkit_.CreateButton(container_, {310, 320, 80, 30},
                                        GetLocalizedUtf8("IDS_WIZARD_NEXT").c_str(), Command::kNext);
    cancelButton_ =
        toolkit_.CreateButton(container_, {410, 320, 80, 30},
                              GetLocalizedUtf8("IDS_WIZARD_CANCEL").c_str(), Command::kCancel);
    toolkit_.SetDefaultButton(window_, nextButton_);
    picture_ = toolkit_.LoadSidePicture();
    toolkit_.ShowWindow(window_);
    return true;
}

void WindowedSteps::SwitchPage(WizardDialogPage* page) {
    if (currentPage_ != nullptr) {
        for (Handle control : currentPage_->Controls()) {
            toolkit_.SetVisible(control, false);
        }
    }
    currentPage_ = page;
    for (Handle control : page->Controls()) {
        toolkit_.SetVisible(control, true);
    }
    page->OnShow();
}

void WindowedSteps::ShowWelcome(const char* text, Navigation navigation) {
    if (!EnsureWindow()) {
        return;
    }
    if (!welcomePage_) {
        welcomePage_.reset(new MessagePage(toolkit_, container_, picture_, Utf16(text)));
    }
    if (navigation == Navigation::kUnattended) {
        toolkit_.SetVisible(backButton_, false);
        toolkit_.SetVisible(nextButton_, false);
    } else {
        toolkit_.SetEnabled(backButton_, false);
    }
    SwitchPage(welcomePage_.get());
}

void WindowedSteps::ShowDirectory(const char* /*prompt*/, const char* /*caption*/,
                                  const char* proposal) {
    if (!EnsureWindow()) {
        return;
    }
    if (!dirPage_) {
        dirPage_.reset(new DirSelectPage(toolkit_, container_, picture_, window_));
    }
    dirPage_->SetPath(Utf16(proposal));
    toolkit_.SetEnabled(backButton_, true);
    toolkit_.SetEnabled(nextButton_, true);
    SwitchPage(dirPage_.get());
}

stdx::string8 WindowedSteps::DirectoryText() {
    return dirPage_ ? stdx::to_utf8(dirPage_->GetPath()) : stdx::string8();
}

void WindowedSteps::ShowProgress(const char* /*caption*/, const char* /*finishCaption*/) {
    if (!EnsureWindow()) {
        return;
    }
    if (!progressPage_) {
        progressPage_.reset(new ProgressPage(toolkit_, container_, kWidth - 20));
    }
    toolkit_.SetEnabled(backButton_, false);
    toolkit_.SetEnabled(nextButton_, false);
    SwitchPage(progressPage_.get());
}

void WindowedSteps::Progress(int percent, const char* /*file*/) {
    if (progressPage_) {
        progressPage_->SetProgress(percent);
    }
}

void WindowedSteps::ShowOutcome(StepOutcome outcome, const char* text, bool offerDocument) {
    if (closed_ || window_ == nullptr) {
        return;  // nobody would see the page
    }
    const stdx::string16 text16 = Utf16(text);
    WizardDialogPage* page = nullptr;
    if (outcome == StepOutcome::kInstalled && offerDocument) {
        if (!successPage_) {
            successPage_.reset(new SuccessFinalPage(toolkit_, container_, picture_, text16));
        } else {
            successPage_->SetText(text16);
        }
        page = successPage_.get();
    } else {
        if (!errorPage_) {
            errorPage_.reset(new MessagePage(toolkit_, container_, picture_, text16));
        } else {
            errorPage_->SetText(text16);
        }
        page = errorPage_.get();
    }
    toolkit_.SetEnabled(nextButton_, true);
    toolkit_.SetEnabled(cancelButton_, false);
    toolkit_.SetVisible(backButton_, false);
    toolkit_.SetVisible(nextButton_, true);
    toolkit_.SetText(nextButton_, GetLocalizedUtf8("IDS_WIZARD_FINISH").c_str());
    toolkit_.SetDefaultButton(window_, nextButton_);
    SwitchPage(page);
}

bool WindowedSteps::OpenDocumentChosen() {
    return successPage_ && currentPage_ == successPage_.get() && successPage_->IsOpenChecked();
}

// The window shows no list: the plan's counts in one box.
void WindowedSteps::ShowPlan(const std::vector<install::PlannedFile>& plan) {
    const install::PlanSummary summary = install::Summarize(plan);
    stdx::string8 text;
    for (const install::PlannedFile& file : plan) {
        if (file.verdict == install::Verdict::kBlocked) {
            text += stdx::string8(install::VerdictWord(file.verdict)) + " " +
                    stdx::to_utf8(file.name) + ": " + install::BlockerText(file.blocker) + "\n";
        }
    }
    text += stdx::string8(std::to_string(summary.newFiles).c_str()) + " new, " +
            std::to_string(summary.updatedFiles).c_str() + " update, " +
            std::to_string(summary.keptFiles).c_str() + " keep, " +
            std::to_string(summary.blockedFiles).c_str() + " blocked";
    MessageBox(text.c_str(), kMessageBoxPlain);
}

int WindowedSteps::MessageBox(const char* text, uint32_t flags) {
    ModalScope modal(modalDepth_);
    const int answer = toolkit_.MessageBox(text, flags, title_.c_str());
    if (answer < kAnswerNone || answer > kAnswerOk) {
        return kAnswerNone;
    }
    return answer;
}

void WindowedSteps::Run() {
    if (window_ != nullptr) {
        toolkit_.RunMainLoop();
    }
    closed_ = true;
}

// The window goes with its container and every control; the main loop ends.
void WindowedSteps::Close() {
    closed_ = true;
    if (window_ == nullptr) {
        return;
    }
    Handle window = window_;
    Handle container = container_;
    window_ = nullptr;
    container_ = nullptr;
    toolkit_.DestroyWindow(window, container);
}

void WindowedSteps::ProcessEvents() {
    toolkit_.ProcessEvents();
}

void WindowedSteps::Wakeup() {
    toolkit_.Wakeup();
}

void WindowedSteps::OnCommand(Command command) noexcept {
    if (listener_ == nullptr) {
        return;
    }
    switch (command) {
        case Command::kBack:
            listener_->OnBack();
            return;
        case Command::kNext:
            listener_->OnNext();
            return;
        case Command::kCancel:
            listener_->OnCancel();
            return;
        case Command::kBrowse:
            if (dirPage_) {
                ModalScope modal(modalDepth_);
                dirPage_->Browse();
            }
            return;
    }
}

CloseAnswer WindowedSteps::OnCloseRequest() noexcept {
    if (modalDepth_ > 0 || listener_ == nullptr) {
        return CloseAnswer::kKeepOpen;
    }
    const CloseAnswer answer = listener_->OnCloseRequest();
    if (answer == CloseAnswer::kAllowClose) {
        closed_ = true;
    }
    return answer;
}

// No control may be touched again: the controller only ends the run.
int WindowedSteps::OnDisplayLost() noexcept {
    closed_ = true;
    window_ = nullptr;
    container_ = nullptr;
    return listener_ != nullptr ? listener_->OnFrontEndLost() : 1;
}

void WindowedSteps::OnWindowClosed() noexcept {
    closed_ = true;
    window_ = nullptr;
    container_ = nullptr;
}

}  // namespace wizard
