// The user's actions, whichever front end reports them: Next/Finish, Back,
// Cancel/Escape/Ctrl-C and the close control (or the end of input).
#include "fs/path.h"
#include "kit/kit_name.h"
#include "l10n/localization.h"
#include "launcher/user_path.h"
#include "text/string_util.h"
#include "text/utf8.h"
#include "wizard/installer_dlg.h"
#include "wizard/target_checks.h"

void CInstallerDlg::OnNext() noexcept {
    try {
        switch (m_pageState) {
            case kStateWelcome:
                ShowDirectory();
                return;
            case kStateDirectory:
                NextFromDirectory();
                return;
            case kStateSuccess:
            case kStateError:
                Finish();
                return;
            default:
                return;
        }
    } catch (...) {
        // Nothing may unwind into the front end's frames.
    }
}

void CInstallerDlg::OnBack() noexcept {
    try {
        if (m_pageState == kStateDirectory) {
            ShowWelcome();
        }
    } catch (...) {
    }
}

void CInstallerDlg::OnCancel() noexcept {
    try {
        if (m_pageState == kStateCopying) {
            AskCancelCopy();
            return;
        }
        Cancel();
    } catch (...) {
    }
}

// The close control during copying acts like Cancel and never takes the
// window away while the worker runs; in the other states it closes.
wizard::CloseAnswer CInstallerDlg::OnCloseRequest() noexcept {
    if (m_pageState != kStateCopying) {
        return wizard::CloseAnswer::kAllowClose;
    }
    try {
        AskCancelCopy();
    } catch (...) {
    }
    return wizard::CloseAnswer::kKeepOpen;
}

void CInstallerDlg::NextFromDirectory() {
    stdx::string16 typed;
    const stdx::string8 text = m_steps.DirectoryText();
    if (wizard::HasLineBreak(text)) {
        // A NUL would not even reach the checks as a wide name.
        MessageBox(GetLocalizedString("IDS_ERROR_LINEBREAK"), wizard::kMessageBoxError);
        return;
    }
    if (!stdx::widen_exact(text, typed)) {
        // A cut-short name would be another directory.
        MessageBox(GetLocalizedString("IDS_ERROR_NOTWRITABLE"), wizard::kMessageBoxError);
        return;
    }
    const stdx::string16 dir = TypedDirectory(typed);
    if (!AcceptTargetDirectory(dir, wizard::kMessageBoxPlain) || !AcceptPlan(dir)) {
        return;
    }
    m_targetDir = dir;
    StartCopying();
}

void CInstallerDlg::Cancel() {
    if (MessageBox(GetLocalizedString("IDS_ACCEPT_CANCEL"), wizard::kMessageBoxQuestion) !=
        wizard::kAnswerYes) {
        return;
    }
    if (m_pageState != kStateSuccess && m_pageState != kStateError) {
        m_exitStatus = wizard::kExitCancelled;
    }
    m_steps.Close();
}

// "~" and relative paths are made absolute here, before the checks, the
// copy or the launcher file see them.
stdx::string16 CInstallerDlg::TypedDirectory(const stdx::string16& typed) {
    stdx::string16 dir = typed;
    stdx::replace_all(dir, stdx::string16(u"\\"), stdx::string16(u"/"));
    return ExpandUserPath(dir);
}

// The directory checks; an empty entry keeps its historical plain box.
bool CInstallerDlg::AcceptTargetDirectory(const stdx::string16& dir, uint32_t emptyBoxFlags) {
    const char* refusal = wizard::RefuseTargetDirectory(
        dir, m_options.dryRun ? wizard::DiskAccess::kLookOnly : wizard::DiskAccess::kMayWrite);
    if (refusal == nullptr) {
        return true;
    }
    const bool empty = dir.empty();
    MessageBox(GetLocalizedString(refusal), empty ? emptyBoxFlags : wizard::kMessageBoxError);
    return false;
}

void CInstallerDlg::Finish() {
    if (m_pageState == kStateSuccess && !OpenDescription()) {
        return;  // the page says why; the next Finish closes
    }
    m_steps.Close();
}

// The kit's description document inside the template directory, when the
// user chose it and the document is there. An empty description names the
// directory itself. A description that would point outside the directory
// (absolute, or with a ".." part) is a damaged kit: nothing is opened.
// False only when the document was to be opened and could not be (no opener,
// or the opener failed): the outcome step then says so below the success
// text, without the choice, so that the next Finish closes.
bool CInstallerDlg::OpenDescription() {
    stdx::string16 description = m_installData.GetDescriptionPath(m_options.language);
    if (!kit::IsSafeKitName(description)) {
        return true;
    }
    stdx::string16 path = fspath::Join(m_targetDir, description);
    stdx::replace_all(path, stdx::string16(u"\\"), stdx::string16(u"/"));
    if (!FileSystem::Exists(path) || !m_steps.OpenDocumentChosen()) {
        return true;
    }
    if (m_services.OpenDocument(stdx::narrow(path).c_str())) {
        return true;
    }
    const stdx::string16 text =
        m_outcomeText + stdx::string16(u"\n\n") + FormatLocalized("IDS_OPEN_FAILED", {path});
    m_steps.ShowOutcome(wizard::StepOutcome::kInstalled, stdx::to_utf8(text).c_str(), false);
    return false;
}
