// The user's actions on the wizard: Back, Next/Finish, Cancel/Escape, the
// browse button and the window's close control.
#include "fs/path.h"
#include "install/change_summary.h"
#include "kit/kit_name.h"
#include "l10n/localization.h"
#include "launcher/user_path.h"
#include "text/string_util.h"
#include "wizard/installer_dlg.h"
#include "wizard/target_checks.h"

void CInstallerDlg::OnCommand(wizard::Command command) noexcept {
    try {
        switch (command) {
            case wizard::Command::kBack:
                OnBack();
                return;
            case wizard::Command::kNext:
                OnNext();
                return;
            case wizard::Command::kCancel:
                OnCancel();
                return;
            case wizard::Command::kBrowse:
                if (m_dirPage) {
                    ++m_modalDepth;
                    m_dirPage->Browse();
                    --m_modalDepth;
                }
                return;
        }
    } catch (...) {
        // Nothing may unwind into the toolkit's frames.
    }
}

// The close control during copying acts like Cancel and never takes the
// window away while the worker runs; in the other states it closes, unless a
// box or the chooser is open: their callers still use the window after.
wizard::CloseAnswer CInstallerDlg::OnCloseRequest() noexcept {
    if (m_modalDepth > 0) {
        return wizard::CloseAnswer::kKeepOpen;
    }
    if (m_pageState != kStateCopying) {
        return wizard::CloseAnswer::kAllowClose;
    }
    try {
        AskCancelCopy();
    } catch (...) {
    }
    return wizard::CloseAnswer::kKeepOpen;
}

void CInstallerDlg::OnWindowClosed() noexcept {
    m_window = nullptr;
    m_contentView = nullptr;
}

void CInstallerDlg::OnBack() {
    if (m_pageState == kStateDirectory) {
        ShowWelcomePage();
    }
}

void CInstallerDlg::OnNext() {
    switch (m_pageState) {
        case kStateWelcome:
            ShowDirPage();
            return;
        case kStateDirectory: {
            const stdx::string16 dir = TypedDirectory(m_dirPage->GetPath());
            if (!AcceptTargetDirectory(dir, wizard::kMessageBoxPlain)) {
                return;
            }
            if (!ConfirmChanges(dir)) {
                return;
            }
            m_targetDir = dir;
            StartCopying();
            return;
        }
        case kStateSuccess:
        case kStateError:
            Finish();
            return;
        default:
            return;
    }
}

// Files the kit would replace in `dir`: the user says whether to go on,
// seeing how many files are new, replaced and kept. No keeps the directory
// page.
bool CInstallerDlg::ConfirmChanges(const stdx::string16& dir) {
    const install::ChangeCounts counts =
        install::CountChanges<FileSystem, InstallData<LZCompressor, FileSystem>>(m_installData,
                                                                                 dir);
    if (counts.replaced == 0) {
        return true;
    }
    auto count = [](std::size_t n) {
        return stdx::format_int(int32_t(n < std::size_t(INT32_MAX) ? n : std::size_t(INT32_MAX)));
    };
    const stdx::string16 question = WithDetail(
        GetLocalizedString("IDS_SETUP_EXISTEDTARGET"),
        FormatLocalized("IDS_SETUP_COUNTS",
                        {count(counts.newFiles), count(counts.replaced), count(counts.kept)}));
    return MessageBox(question, wizard::kMessageBoxQuestion) == wizard::kAnswerYes;
}

void CInstallerDlg::OnCancel() {
    if (m_pageState == kStateCopying) {
        AskCancelCopy();
        return;
    }
    Cancel();
}

void CInstallerDlg::Cancel() {
    if (m_confirmCancel && MessageBox(GetLocalizedString("IDS_ACCEPT_CANCEL"),
                                      wizard::kMessageBoxQuestion) != wizard::kAnswerYes) {
        return;
    }
    if (m_pageState != kStateSuccess && m_pageState != kStateError) {
        m_exitStatus = wizard::kExitCancelled;
    }
    CloseWindow();
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
    const char* refusal = wizard::RefuseTargetDirectory(dir);
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
    CloseWindow();
}

// The kit's description document inside the template directory, when the
// box is ticked and the document is there. An empty description names the
// directory itself. A description that would point outside the directory
// (absolute, or with a ".." part) is a damaged kit: nothing is opened.
// False only when the document was to be opened and could not be (no opener,
// or the opener failed): the success page then names it, and its box is
// cleared so that the next Finish closes.
bool CInstallerDlg::OpenDescription() {
    stdx::string16 description = m_installData.GetDescriptionPath(m_language);
    if (!kit::IsSafeKitName(description)) {
        return true;
    }
    stdx::string16 path = fspath::Join(m_targetDir, description);
    stdx::replace_all(path, stdx::string16(u"\\"), stdx::string16(u"/"));
    if (!FileSystem::Exists(path) || !m_successPage->IsOpenChecked()) {
        return true;
    }
    if (m_services.OpenDocument(stdx::narrow(path).c_str())) {
        return true;
    }
    m_successPage->ReportOpenFailure(FormatLocalized("IDS_OPEN_FAILED", {path}));
    return false;
}

// The window goes with its container and every control; the main loop ends.
void CInstallerDlg::CloseWindow() {
    if (m_window == nullptr) {
        return;
    }
    wizard::Handle window = m_window;
    wizard::Handle container = m_contentView;
    m_window = nullptr;
    m_contentView = nullptr;
    m_toolkit->DestroyWindow(window, container);
}
