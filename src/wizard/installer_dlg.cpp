// The controller's life: construction, the run, and the steps it shows.
#include "wizard/installer_dlg.h"

#include "l10n/localization.h"
#include "text/string_util.h"
#include "text/utf8.h"

CInstallerDlg::CInstallerDlg(wizard::StepUi& steps, platform::Services& services,
                             const SessionOptions& options)
    : m_steps(steps), m_services(services), m_options(options) {
    m_processData.PostStatus(0, GetLocalizedString("IDS_PREPARECOPY"), 0);
}

void CInstallerDlg::SetTargetDirectory(const stdx::string16& dir) {
    m_hasTargetOverride = true;
    m_targetOverride = TypedDirectory(dir);
}

// m_thread is the last member, so it is destroyed first: a run still in
// progress ends (and finishes its rollback) before the kit and the channel go.
CInstallerDlg::~CInstallerDlg() = default;

int CInstallerDlg::MessageBox(const stdx::string16& text, uint32_t flags) {
    return m_steps.MessageBox(stdx::to_utf8(text).c_str(), flags);
}

void CInstallerDlg::Run() {
    try {
        m_steps.Start(this, m_options.title.c_str());
        // Before the kit is looked for: a dead run's directory is put back
        // whether or not this start gets any further.
        if (const int signo = ReportRecoveredRuns()) {
            // Quit: the recovery is complete, nothing else was changed.
            m_exitStatus = 128 + signo;
            return;
        }
        if (!CheckStart()) {
            m_exitStatus = wizard::kExitStartFailed;
            return;
        }
        const bool checkProposal = m_options.autoStart || m_options.dryRun;
        if (m_hasTargetOverride) {
            m_targetDir = m_targetOverride;
        }
        // A directory nobody will look at again must be usable as it is.
        if ((m_hasTargetOverride || checkProposal) &&
            !AcceptTargetDirectory(m_targetDir, wizard::kMessageBoxError)) {
            m_exitStatus = wizard::kExitStartFailed;
            return;
        }
        if (m_options.dryRun) {
            RunDryRun();
            return;
        }
        ShowWelcome();
        if (m_options.autoStart) {
            m_plan = install::MakePlan<FileSystem>(m_installData, m_targetDir);
            StartCopying();
            return;
        }
        m_steps.Run();
        // Closed before the end (the close control, the end of input, Yes
        // to the cancel question): a front end still there says so.
        if (m_pageState != kStateSuccess && m_pageState != kStateError) {
            m_steps.ShowOutcome(wizard::StepOutcome::kCancelled,
                                GetLocalizedUtf8("IDS_CANCEL_FINISH").c_str(), false);
        }
    } catch (...) {
        // Out of memory or a string length error: nothing sensible is left to
        // show. The worker, if any, still finishes before the dialog goes.
    }
}

// "Welcome to the product installation program Templates (Example Ltd)."
stdx::string16 CInstallerDlg::WelcomeText() {
    stdx::string16 product;
    stdx::string16 provider;
    m_installData.GetProductInfo(m_options.language, product, provider);
    if (product.empty()) {
        product = GetLocalizedString("IDS_DEFPRODUCT");
    }
    if (provider.empty()) {
        provider = GetLocalizedString("IDS_DEFPROVIDER");
    }
    // The language's own punctuation: brackets and full stop differ (zh).
    return FormatLocalized("IDS_WELCOME_LINE", {GetLocalizedString("IDS_WELCOME_TITLE"),
                                                stdx::escape_controls(product),
                                                stdx::escape_controls(provider)});
}

void CInstallerDlg::ShowWelcome() {
    m_pageState = kStateWelcome;
    m_steps.ShowWelcome(stdx::to_utf8(WelcomeText()).c_str(),
                        m_options.autoStart ? wizard::Navigation::kUnattended
                                            : wizard::Navigation::kInteractive);
}

void CInstallerDlg::ShowDirectory() {
    m_pageState = kStateDirectory;
    m_steps.ShowDirectory(GetLocalizedUtf8("IDS_DESTINATION_PROMPT").c_str(),
                          GetLocalizedUtf8("IDS_TEMPLATE_CATALOG").c_str(),
                          stdx::to_utf8(m_targetDir).c_str());
}

void CInstallerDlg::ShowOutcome(wizard::StepOutcome outcome, const stdx::string16& text) {
    m_pageState = outcome == wizard::StepOutcome::kInstalled ? kStateSuccess : kStateError;
    m_outcomeText = text;
    m_steps.ShowOutcome(outcome, stdx::to_utf8(text).c_str(),
                        outcome == wizard::StepOutcome::kInstalled);
}
