// The installer dialog on a step front end (the console): the welcome text,
// the directory question, then the same copy run and outcome as the wizard;
// or, for a dry run, the freshness of every kit file and nothing changed.
#include "install/freshness.h"
#include "l10n/localization.h"
#include "text/string_util.h"
#include "text/utf8.h"
#include "wizard/installer_dlg.h"
#include "wizard/target_checks.h"

void CInstallerDlg::RunSteps() {
    if (m_dryRun) {
        RunDryRun();
        return;
    }
    if (!m_autoStart) {
        m_pageState = kStateWelcome;
        const stdx::string8 welcome = stdx::to_utf8(WelcomeText());
        while (m_steps->Welcome(welcome.c_str()) != wizard::StepAnswer::kNext) {
            if (ConfirmStepCancel()) {
                return;
            }
        }
        m_pageState = kStateDirectory;
        if (!AskTargetDirectory()) {
            return;
        }
    } else if (!m_hasTargetOverride &&
               !AcceptTargetDirectory(m_targetDir, wizard::kMessageBoxError)) {
        // A proposal nobody looked at must still be usable.
        m_exitStatus = wizard::kExitStartFailed;
        return;
    }
    StartCopying();
}

// The prompt until a directory passes the checks; false when the user
// cancelled instead.
bool CInstallerDlg::AskTargetDirectory() {
    const stdx::string8 prompt = GetLocalizedUtf8("IDS_DESTINATION_PROMPT");
    const stdx::string8 caption = GetLocalizedUtf8("IDS_TEMPLATE_CATALOG");
    for (;;) {
        const stdx::string8 proposal = stdx::to_utf8(m_targetDir);
        stdx::string8 typed;
        if (m_steps->ChooseDirectory(prompt.c_str(), caption.c_str(), proposal.c_str(), typed) !=
            wizard::StepAnswer::kNext) {
            if (ConfirmStepCancel()) {
                return false;
            }
            continue;
        }
        stdx::string16 dir = m_targetDir;
        if (!typed.empty()) {
            stdx::string16 typed16;
            if (!stdx::widen_exact(typed, typed16)) {
                // A cut-short name would be another directory.
                MessageBox(GetLocalizedString("IDS_ERROR_NOTWRITABLE"), wizard::kMessageBoxError);
                continue;
            }
            dir = TypedDirectory(typed16);
        }
        if (AcceptTargetDirectory(dir, wizard::kMessageBoxPlain)) {
            m_targetDir = dir;
            return true;
        }
    }
}

// The cancel question of a step front end. A question that cannot be
// answered any more (end of input) cancels too: nothing could go on.
bool CInstallerDlg::ConfirmStepCancel() {
    const int answer =
        MessageBox(GetLocalizedString("IDS_ACCEPT_CANCEL"), wizard::kMessageBoxQuestion);
    if (answer == wizard::kAnswerNo) {
        return false;
    }
    m_exitStatus = wizard::kExitCancelled;
    m_steps->Outcome(wizard::StepOutcome::kCancelled,
                     GetLocalizedUtf8("IDS_CANCEL_FINISH").c_str());
    return true;
}

// The freshness rule for every kit file against the chosen directory. The
// kit image goes with the dialog; nothing else is written.
void CInstallerDlg::RunDryRun() {
    stdx::string16 dir = m_targetDir;
    if (!dir.empty() && dir.back() != u'/') {
        dir.push_back(u'/');
    }
    std::vector<install::PlannedFile> plan;
    plan.reserve(m_installData.files.size());
    for (const auto& file : m_installData.files) {
        install::PlannedFile planned;
        planned.name = file.name;
        stdx::replace_all(planned.name, stdx::string16(u"\\"), stdx::string16(u"/"));
        planned.freshness = install::JudgeFile<FileSystem>(dir + planned.name, file.time);
        planned.size = file.size;
        plan.push_back(planned);
    }
    m_steps->ShowPlan(plan);
    m_exitStatus = wizard::kExitInstalled;
}
