// The installer dialog's life: construction, the run, the window frame and
// the pages it switches between.
#include "wizard/installer_dlg.h"

#include "l10n/localization.h"
#include "text/string_util.h"
#include "text/utf8.h"

namespace {

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

CInstallerDlg::CInstallerDlg(wizard::Toolkit& toolkit, platform::Services& services, int argc,
                             char** argv, bool autoStart, const stdx::string8& title,
                             const stdx::string16& language, bool useCwd)
    : CWnd(toolkit),
      m_services(services),
      m_autoStart(autoStart),
      m_language(language),
      m_useCwd(useCwd),
      m_argc(argc),
      m_argv(argv),
      m_title(title) {
    m_toolkit->Initialize(&m_argc, &m_argv);
    m_processData.PostStatus(0, GetLocalizedString("IDS_PREPARECOPY"), 0);
}

CInstallerDlg::CInstallerDlg(wizard::StepUi& steps, platform::Services& services, bool autoStart,
                             const stdx::string8& title, const stdx::string16& language,
                             bool useCwd)
    : CWnd(steps),
      m_services(services),
      m_autoStart(autoStart),
      m_language(language),
      m_useCwd(useCwd),
      m_argc(0),
      m_argv(nullptr),
      m_title(title) {
    m_processData.PostStatus(0, GetLocalizedString("IDS_PREPARECOPY"), 0);
}

void CInstallerDlg::SetTargetDirectory(const stdx::string16& dir) {
    m_hasTargetOverride = true;
    m_targetOverride = TypedDirectory(dir);
}

// m_thread is the last member, so it is destroyed first: a run still in
// progress ends (and finishes its rollback) before the kit and the channel go.
CInstallerDlg::~CInstallerDlg() = default;

stdx::string16 CInstallerDlg::GetTitle() const {
    stdx::string16 title;
    stdx::from_utf8(m_title, title);  // the title is the catalogue's UTF-8 text
    return title;
}

int CInstallerDlg::MessageBox(const stdx::string16& text, uint32_t flags) {
    ModalScope modal(m_modalDepth);
    return CWnd::MessageBox(text, flags);
}

void CInstallerDlg::Run() {
    try {
        // Even the start-up checks' boxes speak the dialog's language.
        if (m_toolkit != nullptr) {
            m_toolkit->SetDialogTexts(
                {GetLocalizedUtf8("IDS_MSGBOX_YES"), GetLocalizedUtf8("IDS_MSGBOX_NO"),
                 GetLocalizedUtf8("IDS_MSGBOX_OK"), GetLocalizedUtf8("IDS_CHOOSEDIR_TITLE"),
                 GetLocalizedUtf8("IDS_BROWSE_OK"), GetLocalizedUtf8("IDS_BROWSE_CANCEL")});
        }
        // Before the kit is looked for: a dead run's directory is put back
        // whether or not this start gets any further.
        ReportRecoveredRuns();
        if (!CheckStart()) {
            m_exitStatus = wizard::kExitStartFailed;
            return;
        }
        if (m_hasTargetOverride) {
            if (!AcceptTargetDirectory(m_targetOverride, wizard::kMessageBoxError)) {
                m_exitStatus = wizard::kExitStartFailed;
                return;
            }
            m_targetDir = m_targetOverride;
        }
        if (m_steps != nullptr) {
            RunSteps();
            return;
        }
        CreateFrame();
        ShowWelcomePage();
        if (m_autoStart) {
            StartCopying();
            return;
        }
        if (m_window != nullptr) {
            m_toolkit->RunMainLoop();
        }
    } catch (...) {
        // Out of memory or a string length error: nothing sensible is left to
        // show. The worker, if any, still finishes before the dialog goes.
    }
}

void CInstallerDlg::CreateFrame() {
    m_window = m_toolkit->CreateWindow(m_width, m_height, m_title.c_str(), this);
    m_contentView = m_toolkit->CreateContainer(m_window);
    m_toolkit->CreateSeparator(m_contentView, {10, 310, m_width - 20, 5});
    m_backButton = m_toolkit->CreateButton(m_contentView, {230, 320, 80, 30},
                                           GetLocalizedUtf8("IDS_WIZARD_BACK").c_str(),
                                           wizard::Command::kBack);
    m_nextButton = m_toolkit->CreateButton(m_contentView, {310, 320, 80, 30},
                                           GetLocalizedUtf8("IDS_WIZARD_NEXT").c_str(),
                                           wizard::Command::kNext);
    m_cancelButton = m_toolkit->CreateButton(m_contentView, {410, 320, 80, 30},
                                             GetLocalizedUtf8("IDS_WIZARD_CANCEL").c_str(),
                                             wizard::Command::kCancel);
    m_toolkit->SetDefaultButton(m_window, m_nextButton);
    m_picture = m_toolkit->LoadSidePicture();
    m_toolkit->ShowWindow(m_window);
}

void CInstallerDlg::SwitchPage(WizardDialogPage* page) {
    if (m_currentPage != nullptr) {
        for (wizard::Handle control : m_currentPage->Controls()) {
            m_toolkit->SetVisible(control, false);
        }
    }
    m_currentPage = page;
    if (page == nullptr) {
        return;
    }
    for (wizard::Handle control : page->Controls()) {
        m_toolkit->SetVisible(control, true);
    }
    page->OnShow();
}

// "Welcome to the product installation program Templates (Example Ltd)."
stdx::string16 CInstallerDlg::WelcomeText() {
    stdx::string16 product;
    stdx::string16 provider;
    m_installData.GetProductInfo(m_language, product, provider);
    if (product.empty()) {
        product = GetLocalizedString("IDS_DEFPRODUCT");
    }
    if (provider.empty()) {
        provider = GetLocalizedString("IDS_DEFPROVIDER");
    }
    // The language's own punctuation: brackets and full stop differ (zh).
    return FormatLocalized("IDS_WELCOME_LINE",
                           {GetLocalizedString("IDS_WELCOME_TITLE"), product, provider});
}

void CInstallerDlg::ShowWelcomePage() {
    const stdx::string16 text = WelcomeText();
    if (!m_welcomePage) {
        m_welcomePage.reset(new MessagePage(*m_toolkit, m_contentView, m_picture, text));
    }
    if (m_autoStart) {
        m_toolkit->SetVisible(m_backButton, false);
        m_toolkit->SetVisible(m_nextButton, false);
    } else {
        m_toolkit->SetEnabled(m_backButton, false);
    }
    m_pageState = kStateWelcome;
    SwitchPage(m_welcomePage.get());
}

void CInstallerDlg::ShowDirPage() {
    m_pageState = kStateDirectory;
    if (!m_dirPage) {
        m_dirPage.reset(new DirSelectPage(*m_toolkit, m_contentView, m_picture, m_window));
    }
    m_dirPage->SetPath(m_targetDir);
    m_toolkit->SetEnabled(m_backButton, true);
    m_toolkit->SetEnabled(m_nextButton, true);
    SwitchPage(m_dirPage.get());
}

void CInstallerDlg::SetFinishMode() {
    m_toolkit->SetEnabled(m_nextButton, true);
    m_toolkit->SetEnabled(m_cancelButton, false);
    m_toolkit->SetVisible(m_backButton, false);
    m_toolkit->SetVisible(m_nextButton, true);
    m_toolkit->SetText(m_nextButton, GetLocalizedUtf8("IDS_WIZARD_FINISH").c_str());
    m_toolkit->SetDefaultButton(m_window, m_nextButton);
}

void CInstallerDlg::ShowSuccessPage() {
    m_pageState = kStateSuccess;
    if (!m_successPage) {
        m_successPage.reset(new SuccessFinalPage(*m_toolkit, m_contentView, m_picture,
                                                 GetLocalizedString("IDS_SUCCESS_FINISH")));
    }
    SetFinishMode();
    SwitchPage(m_successPage.get());
}

void CInstallerDlg::ShowErrorPage() {
    if (!m_errorPage) {
        m_errorPage.reset(new MessagePage(*m_toolkit, m_contentView, m_picture,
                                          GetLocalizedString("IDS_ERROR_FINISH")));
    }
    m_pageState = kStateError;
    SetFinishMode();
    SwitchPage(m_errorPage.get());
}

// The error page, telling that the copy was canceled and rolled back.
void CInstallerDlg::ShowCanceledPage() {
    ShowErrorPageText(GetLocalizedString("IDS_CANCEL_FINISH"));
}

// The error page with `text` instead of its usual one.
void CInstallerDlg::ShowErrorPageText(const stdx::string16& text) {
    if (!m_errorPage) {
        m_errorPage.reset(new MessagePage(*m_toolkit, m_contentView, m_picture, text));
    } else {
        m_errorPage->SetText(text);
    }
    ShowErrorPage();
}
