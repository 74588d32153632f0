// The start-up's first step: runs of earlier processes that died before
// their end (killed, crashed, logged out) are undone, and the user is told
// once, in one box, which template directories were put back.
#include "fs/file_system.h"
#include "fs/path.h"
#include "install/run_recovery.h"
#include "l10n/localization.h"
#include "text/string_util.h"
#include "wizard/installer_dlg.h"

namespace {

// A directory as the notice shows it.
stdx::string16 WithoutLastSlash(const stdx::string16& path) {
    return stdx::escape_controls(fspath::WithoutTrailingSeparators(path));
}

// The line that tells the user about one recovered run; empty for a run
// that needs no word (one that had finished, or had changed nothing).
stdx::string16 Notice(const install::RecoveredRun& run) {
    const char* key = nullptr;
    switch (run.outcome) {
        case install::RecoveryOutcome::kUndone:
            key = run.changed ? "IDS_RECOVERY_DONE" : nullptr;
            break;
        case install::RecoveryOutcome::kIncomplete:
            key = run.keptFolder.empty() ? "IDS_RECOVERY_CHANGED" : "IDS_RECOVERY_NOTRESTORED";
            break;
        case install::RecoveryOutcome::kUnreadable:
            key = "IDS_RECOVERY_UNREADABLE";
            break;
        case install::RecoveryOutcome::kLive:
        case install::RecoveryOutcome::kFinished:
            break;
    }
    if (key == nullptr) {
        return stdx::string16();
    }
    const bool unreadable = run.outcome == install::RecoveryOutcome::kUnreadable;
    return FormatLocalized(key, {WithoutLastSlash(unreadable ? run.record : run.templateDir),
                                 WithoutLastSlash(run.keptFolder)});
}

}  // namespace

int CInstallerDlg::ReportRecoveredRuns() {
    install::RunRecovery<FileSystem> recovery;
    stdx::string16 message;
    auto add = [&message](const stdx::string16& line) {
        if (line.empty()) {
            return;
        }
        if (!message.empty()) {
            message += u"\n\n";
        }
        message += line;
    };
    if (m_options.dryRun) {
        // A dry run changes nothing, so it leaves a dead run for the next
        // real start and only says what that start will do.
        for (const install::RecoveredRun& run : recovery.Survey()) {
            if (run.outcome == install::RecoveryOutcome::kUndone && run.changed) {
                add(u"An interrupted run is waiting to be undone in " +
                    WithoutLastSlash(run.templateDir) +
                    u"; the next start without --dry-run will put it back.");
            }
        }
        if (!message.empty()) {
            MessageBox(message, wizard::kMessageBoxPlain);
        }
        return 0;
    }
    // A signal lets the recovery finish (a half-undone run would wait for
    // the next start) and ends the box that tells of it.
    WatchSignals();
    for (const install::RecoveredRun& run : recovery.RecoverAll()) {
        add(Notice(run));
    }
    if (!message.empty()) {
        MessageBox(message, wizard::kMessageBoxPlain);
    }
    const int signo = m_signals.Take();
    UnwatchSignals();
    return signo;
}
