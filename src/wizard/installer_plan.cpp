// The plan before a copy: every kit file judged against the chosen
// directory once, read by the summary question, the dry run, the start
// event and the outcome alike.
#include "l10n/localization.h"
#include "text/string_util.h"
#include "text/utf8.h"
#include "wizard/installer_dlg.h"

namespace {

stdx::string16 Count(uint64_t n) {
    return stdx::format_int(int32_t(n < uint64_t(INT32_MAX) ? n : uint64_t(INT32_MAX)));
}

}  // namespace

// Files the kit would replace need the user's word. A blocked file is not
// refused here: the run meets it, fails and puts everything back, as the dry
// run says it would.
bool CInstallerDlg::AcceptPlan(const stdx::string16& dir) {
    m_plan = install::MakePlan<FileSystem>(m_installData, dir);
    const install::PlanSummary summary = install::Summarize(m_plan);
    if (summary.updatedFiles == 0) {
        return true;
    }
    const stdx::string16 question = WithDetail(
        GetLocalizedString("IDS_SETUP_EXISTEDTARGET"),
        FormatLocalized("IDS_SETUP_COUNTS", {Count(summary.newFiles), Count(summary.updatedFiles),
                                             Count(summary.keptFiles)}));
    return MessageBox(question, wizard::kMessageBoxQuestion) == wizard::kAnswerYes;
}

// What a run would do with each kit file, and the status it would end with;
// nothing is written.
void CInstallerDlg::RunDryRun() {
    m_plan = install::MakePlan<FileSystem>(m_installData, m_targetDir);
    // Names as text: a control character in a kit name shows escaped.
    std::vector<install::PlannedFile> shown = m_plan;
    for (install::PlannedFile& file : shown) {
        file.name = stdx::escape_controls(file.name);
    }
    m_steps.ShowPlan(shown);
    m_exitStatus =
        install::FirstBlocked(m_plan) != nullptr ? wizard::kExitCopyFailed : wizard::kExitInstalled;
}
