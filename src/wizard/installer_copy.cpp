// The copy run: the worker is handed the kit and the directory, and the
// dialog polls the channel once per event pass until the run's outcome is
// known. A failure or a confirmed cancel turns the wait into a wait for the
// worker's end of run, so the rollback is complete before the error or cancel
// page appears.
#include "fs/path.h"
#include "l10n/localization.h"
#include "launcher/launcher_config.h"
#include "text/string_util.h"
#include "wizard/installer_dlg.h"

namespace {

// The worker's wake-up hook: makes a waiting event pass return.
void WakeToolkit(void* toolkit) {
    static_cast<wizard::Toolkit*>(toolkit)->Wakeup();
}

}  // namespace

// A catalogue text with a detail line below it (a path and the system's
// reason), or the text alone.
stdx::string16 WithDetail(const stdx::string16& text, const stdx::string16& detail) {
    if (detail.empty()) {
        return text;
    }
    return text + u"\n" + detail;
}

void CInstallerDlg::StartCopying() {
    if (!m_progressPage) {
        m_progressPage.reset(new ProgressPage(m_toolkit, m_contentView, m_width - 20));
    }
    m_toolkit.SetEnabled(m_backButton, false);
    m_toolkit.SetEnabled(m_nextButton, false);
    m_processData.Start(&m_installData, m_targetDir);
    // The progress page shows the percentage only: wake-ups for what can be seen.
    m_processData.SetNotify(&WakeToolkit, &m_toolkit, InstallProcessData::Wake::kVisibleChanges);
    SwitchPage(m_progressPage.get());
    m_pageState = kStateCopying;
    m_cancelRequested = false;
    m_signals.Install();
    if (m_thread.Start(&m_processData) != 0) {
        m_signals.Uninstall();
        MessageBox(GetLocalizedString("IDS_INSTALL_ERROR"), wizard::kMessageBoxError);
        ShowErrorPage();
        return;
    }
    stdx::string16 errorText;
    CopyOutcome outcome = PollCopyRun(errorText);
    // One run per start: nothing may begin after the outcome is known.
    m_thread.RequestStop();
    m_signals.Uninstall();
    if (m_copySignal != 0) {
        // The rollback is complete (or the run had finished): end at once.
        CloseWindow();
        return;
    }
    const stdx::string16 kept = m_processData.ReadKeptFolder();
    if (outcome != CopyOutcome::kSucceeded && !kept.empty()) {
        // Some earlier versions could not be put back: the page must not
        // say the directory is unchanged, and the user must learn where
        // they are.
        const stdx::string16 text = FormatLocalized("IDS_ERROR_NOTRESTORED", {kept});
        MessageBox(text, wizard::kMessageBoxError);
        ShowErrorPageText(text);
        return;
    }
    switch (outcome) {
        case CopyOutcome::kFailed:
            MessageBox(errorText, wizard::kMessageBoxError);
            ShowErrorPage();
            return;
        case CopyOutcome::kCanceled:
            ShowCanceledPage();
            return;
        case CopyOutcome::kSucceeded: {
            const stdx::string16 unwritten = WriteLauncherList();
            ShowSuccessPage();
            if (!unwritten.empty()) {
                // Installed all the same; the user must learn that the
                // launcher will not look here.
                m_successPage->SetText(GetLocalizedString("IDS_SUCCESS_FINISH") + u"\n\n" +
                                       FormatLocalized("IDS_WARN_LAUNCHERFILE", {unwritten}));
            }
            return;
        }
    }
}

// A finished run is reported at its finish post; a failed or cancelled one
// only once the worker has ended the run, so that its rollback is complete
// when the page says the template directory has not been changed.
CInstallerDlg::CopyOutcome CInstallerDlg::PollCopyRun(stdx::string16& errorText) {
    bool failed = false;
    for (;;) {
        // The end of run first: once it is seen, the status read after it is
        // the run's last post.
        if (const int signo = m_signals.Take()) {
            StopOnSignal(signo);
        }
        uint32_t runResult = 0;
        bool ended = m_processData.ReadRunEnd(runResult);
        uint32_t code = 0;
        stdx::string16 text;
        int progress = 0;
        m_processData.ReadStatus(code, text, progress);
        m_progressPage->SetProgress(progress);
        if (code != 0 && !failed) {
            failed = true;
            errorText = WithDetail(text, m_processData.ReadDetail());
        }
        if (ended) {
            // A cancel that came after the last file finds everything
            // installed (result 0).
            if (runResult == 0) {
                return CopyOutcome::kSucceeded;
            }
            if (failed) {
                return CopyOutcome::kFailed;
            }
            if (m_cancelRequested) {
                return CopyOutcome::kCanceled;
            }
            errorText = GetLocalizedString("IDS_INSTALL_ERROR");
            return CopyOutcome::kFailed;
        }
        if (!failed && !m_cancelRequested && progress >= 100) {
            return CopyOutcome::kSucceeded;
        }
        m_toolkit.ProcessEvents();
    }
}

// Asked from the Cancel button, Escape or the close control while copying.
void CInstallerDlg::AskCancelCopy() {
    if (m_cancelRequested) {
        return;
    }
    // The worker writes nothing more while the question is open: an answer
    // given after the last file must still find the run undoable.
    m_processData.PauseWorker(true);
    int answer = wizard::kAnswerNone;
    try {
        answer = MessageBox(GetLocalizedString("IDS_ACCEPT_CANCEL"), wizard::kMessageBoxQuestion);
    } catch (...) {
        m_processData.PauseWorker(false);
        throw;
    }
    if (answer != wizard::kAnswerYes) {
        m_processData.PauseWorker(false);
        return;
    }
    // A run that ended before the question opened is over; the poll loop
    // then finds its end and reports what really happened.
    m_cancelRequested = true;
    m_processData.RequestCancel(true);
    m_processData.PauseWorker(false);
    m_thread.RequestStop();
}

void CInstallerDlg::StopOnSignal(int signo) {
    if (m_copySignal == 0) {
        m_copySignal = signo;
    }
    m_cancelRequested = true;
    m_processData.RequestCancel(true);
    m_processData.PauseWorker(false);
    m_thread.RequestStop();
}

// The chosen directory, without its trailing separators (the root stays "/"),
// goes first in the list. Returns the launcher file that could not be
// written, or empty.
stdx::string16 CInstallerDlg::WriteLauncherList() {
    m_templateDirs.insert(m_templateDirs.begin(), fspath::WithoutTrailingSeparators(m_targetDir));
    LauncherMode mode = LauncherMode::kPrimary;
    try {
        if (!m_listFromSecondary) {
            LauncherConfig::WriteTemplateDirs(m_templateDirs, mode);
        }
        if (m_secondaryExists) {
            mode = LauncherMode::kSecondary;
            LauncherConfig::WriteTemplateDirs(m_templateDirs, mode);
        }
    } catch (...) {
        // The templates are installed; only the launcher will not list the
        // directory.
        return LauncherConfig::MainFile(mode);
    }
    return stdx::string16();
}
