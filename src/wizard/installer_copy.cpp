// The copy run: the worker is handed the kit and the directory, and the
// dialog polls the channel once per event pass until the run's outcome is
// known. A failure or a confirmed cancel turns the wait into a wait for the
// worker's end of run, so the rollback is complete before the error or cancel
// page appears.
#include <unistd.h>

#include "fs/path.h"
#include "l10n/localization.h"
#include "launcher/launcher_config.h"
#include "text/string_util.h"
#include "text/utf8.h"
#include "wizard/installer_dlg.h"

namespace {

// The worker's wake-up hook: makes a waiting event pass return.
void WakeSteps(void* steps) {
    static_cast<wizard::StepUi*>(steps)->Wakeup();
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
    // Coalesced wake-ups (at most 25 a second, and each file of a small
    // kit): the front end shows the latest post when it wakes.
    m_processData.SetNotify(&WakeSteps, &m_steps, InstallProcessData::Wake::kCoalesced);
    m_steps.ShowProgress(GetLocalizedUtf8("IDS_PROGRESS_START").c_str(),
                         GetLocalizedUtf8("IDS_INSTALL_FINISH").c_str());
    // The windowed wizards show "Copying complete..." on their bar during
    // the worker's one-second pause after the last file; the console, which
    // lists the files instead, goes on at once.
    m_thread.finishPauseMilliseconds =
        m_steps.Detail() == wizard::ProgressDetail::kPercent ? 1000 : 0;
    // A finished run is the dialog's last: the kit's image need not reach
    // the disk with the installed files.
    m_thread.imageAfterRun = install::ImageAfterRun::kReleased;
    m_processData.Start(&m_installData, m_targetDir);
    m_pageState = kStateCopying;
    m_cancelRequested = false;
    m_lastFile.clear();
    m_lastPercent = -1;
    m_shownPercent = -1;
    m_lastDone = 0;
    if (m_events != nullptr) {
        const install::PlanSummary summary = install::Summarize(m_plan);
        m_events->Start(m_installData.files.size(), stdx::to_utf8(m_targetDir).c_str(), summary);
    }
    WatchSignals();
    stdx::string16 errorText;
    CopyOutcome outcome = CopyOutcome::kFailed;
    if (m_thread.Start(&m_processData) != 0) {
        errorText = GetLocalizedString("IDS_INSTALL_ERROR");
    } else {
        outcome = PollCopyRun(errorText);
    }
    // One run per start: nothing may begin after the outcome is known.
    m_thread.RequestStop();
    // Still watched: a signal during the launcher file's write or the error
    // box lets the write finish and ends the box.
    ReportOutcome(outcome, errorText);
    const bool signalled = m_signals.Take() != 0;
    UnwatchSignals();
    if (m_copySignal != 0 || signalled) {
        // The rollback is complete (or the run had finished): end at once.
        // A signal after the outcome was known leaves the run's own status.
        m_steps.Close();
    }
}

void CInstallerDlg::WatchSignals() {
    m_signals.Install();
    m_steps.SetInterruptDescriptor(m_signals.ReadFd());
}

void CInstallerDlg::UnwatchSignals() {
    m_steps.SetInterruptDescriptor(-1);
    m_signals.Uninstall();
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
        uint64_t done = 0;
        m_processData.ReadStatus(code, text, progress, done);
        ReportProgress(progress, text, done);
        if (code != 0 && !failed) {
            failed = true;
            errorText = WithDetail(text, stdx::escape_controls(m_processData.ReadDetail()));
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
        m_steps.ProcessEvents();
    }
}

// The step's progress and a progress event for each change. The status text
// is the target path of the file being copied once the worker has posted
// one; before that it is still the preparing text.
void CInstallerDlg::ReportProgress(int progress, const stdx::string16& text, uint64_t done) {
    if (progress >= 100) {
        return;  // the outcome reports the end
    }
    const stdx::string16 dir = fspath::WithTrailingSeparator(m_targetDir);
    const bool isFile = text.size() > dir.size() && text.substr(0, dir.size()) == dir;
    const bool nextFile = isFile && (progress != m_lastPercent || done != m_lastDone);
    if (nextFile) {
        m_lastPercent = progress;
        m_lastDone = done;
        m_lastFile = text.substr(dir.size());
    }
    if (!nextFile && progress == m_shownPercent) {
        return;
    }
    m_shownPercent = progress;
    // The front end shows the name; the events carry it as it is (JSON
    // escapes what it must).
    const stdx::string8 file = stdx::to_utf8(m_lastFile);
    m_steps.Progress(progress, stdx::to_utf8(stdx::escape_controls(m_lastFile)).c_str());
    if (nextFile && m_events != nullptr) {
        m_events->Progress(progress, file.c_str(), done, m_installData.files.size());
    }
}

// The exit status, the last events, the error box and the outcome step of a
// copy run.
void CInstallerDlg::ReportOutcome(CopyOutcome outcome, const stdx::string16& errorText) {
    const uint64_t total = m_installData.files.size();
    const stdx::string16 kept = m_processData.ReadKeptFolder();
    // Some earlier versions could not be put back: the step must not say the
    // directory is unchanged, and the user must learn where they are.
    const bool restored = kept.empty() && !m_processData.ReadRollbackIncomplete();
    const stdx::string16 notRestored =
        FormatLocalized("IDS_ERROR_NOTRESTORED", {stdx::escape_controls(kept)});
    switch (outcome) {
        case CopyOutcome::kSucceeded: {
            m_exitStatus = wizard::kExitInstalled;
            uint64_t copied = 0;
            uint64_t keptFiles = 0;
            m_processData.ReadCounts(copied, keptFiles);
            const stdx::string8 file = stdx::to_utf8(m_lastFile);
            m_steps.Progress(100, stdx::to_utf8(stdx::escape_controls(m_lastFile)).c_str());
            if (m_events != nullptr) {
                m_events->Progress(100, file.c_str(), total, total);
                m_events->Finished(copied, keptFiles);
            }
            stdx::string16 text = SuccessText();
            const stdx::string16 unwritten = WriteLauncherList();
            if (!unwritten.empty()) {
                // Installed all the same; the user must learn that the
                // launcher will not look here.
                text += u"\n\n" + FormatLocalized("IDS_WARN_LAUNCHERFILE", {unwritten});
            }
            ShowOutcome(wizard::StepOutcome::kInstalled, text);
            return;
        }
        case CopyOutcome::kFailed: {
            m_exitStatus = restored ? wizard::kExitCopyFailed : wizard::kExitNotRestored;
            uint32_t code = 0;
            m_processData.ReadRunEnd(code);
            if (m_events != nullptr) {
                m_events->Error(code, stdx::to_utf8(errorText).c_str());
            }
            MessageBox(restored ? errorText : notRestored, wizard::kMessageBoxError);
            ShowOutcome(wizard::StepOutcome::kFailed,
                        restored ? GetLocalizedString("IDS_ERROR_FINISH") : notRestored);
            return;
        }
        case CopyOutcome::kCanceled:
            m_exitStatus = restored ? wizard::kExitCancelled : wizard::kExitNotRestored;
            if (m_events != nullptr) {
                m_events->Cancelled();
            }
            if (!restored) {
                MessageBox(notRestored, wizard::kMessageBoxError);
            }
            ShowOutcome(wizard::StepOutcome::kCancelled,
                        restored ? GetLocalizedString("IDS_CANCEL_FINISH") : notRestored);
            return;
    }
}

// The success text, and where the earlier versions were kept during the run
// when that was the temporary directory (less safe: see run_place.h).
stdx::string16 CInstallerDlg::SuccessText() {
    stdx::string16 text = GetLocalizedString("IDS_SUCCESS_FINISH");
    const stdx::string16 elsewhere = m_processData.ReadStagingElsewhere();
    if (!elsewhere.empty()) {
        text += u"\n\n" + FormatLocalized("IDS_NOTE_STAGINGELSEWHERE", {elsewhere});
    }
    return text;
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
    // A signal that ended the question cancels before the worker goes on:
    // the run must still be undoable when the poll loop reads the signal.
    if (const int signo = m_signals.Take()) {
        StopOnSignal(signo);
        return;
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
    if (m_listWritten) {
        return stdx::string16();
    }
    m_listWritten = true;
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

// The display went away under a windowed front end, which cannot go on. A
// copy still running is cancelled and its rollback awaited here (the worker
// does it); a run that had finished keeps its files and gets its launcher
// list. Standard error says how it ended, since no window will.
int CInstallerDlg::OnFrontEndLost() noexcept {
    try {
        stdx::string16 text;
        if (m_pageState == kStateCopying) {
            m_cancelRequested = true;
            m_processData.RequestCancel(true);
            m_processData.PauseWorker(false);
            m_thread.RequestStop();
            m_thread.Wait();
            text = EndLostRun();
        }
        stdx::string16 message = GetLocalizedString("IDS_ERROR_DISPLAYLOST");
        if (!text.empty()) {
            message += u"\n" + text;
        }
        const stdx::string8 line = stdx::narrow(message + u"\n");
        (void)!write(STDERR_FILENO, line.c_str(), line.size());
    } catch (...) {
        // The status below is still the best known.
    }
    return GetExitStatus();
}

// The status and the last event of a run whose worker has ended after the
// display went away; returns what the outcome step would have said.
stdx::string16 CInstallerDlg::EndLostRun() {
    uint32_t runResult = 0;
    m_processData.ReadRunEnd(runResult);
    uint32_t code = 0;
    stdx::string16 status;
    int progress = 0;
    uint64_t done = 0;
    m_processData.ReadStatus(code, status, progress, done);
    if (runResult == 0) {
        m_exitStatus = wizard::kExitInstalled;
        uint64_t copied = 0;
        uint64_t keptFiles = 0;
        m_processData.ReadCounts(copied, keptFiles);
        if (m_events != nullptr) {
            m_events->Finished(copied, keptFiles);
        }
        stdx::string16 text = GetLocalizedString("IDS_SUCCESS_FINISH");
        const stdx::string16 unwritten = WriteLauncherList();
        if (!unwritten.empty()) {
            text += u"\n" + FormatLocalized("IDS_WARN_LAUNCHERFILE", {unwritten});
        }
        return text;
    }
    const stdx::string16 kept = m_processData.ReadKeptFolder();
    const bool restored = kept.empty() && !m_processData.ReadRollbackIncomplete();
    // A failure of its own before the display went: the run failed.
    const bool failed = code != 0;
    if (m_events != nullptr) {
        if (failed) {
            m_events->Error(runResult, stdx::to_utf8(status).c_str());
        } else {
            m_events->Cancelled();
        }
    }
    if (!restored) {
        m_exitStatus = wizard::kExitNotRestored;
        return FormatLocalized("IDS_ERROR_NOTRESTORED", {stdx::escape_controls(kept)});
    }
    m_exitStatus = failed ? wizard::kExitCopyFailed : wizard::kExitCancelled;
    return GetLocalizedString(failed ? "IDS_ERROR_FINISH" : "IDS_CANCEL_FINISH");
}
