// The installer's one controller, for every front end: start-up checks, the
// steps and their order, the questions, the copy run on the worker thread,
// the outcome, the launcher list written back and the exit status. It knows
// no toolkit: it shows steps and asks through wizard::StepUi and receives
// the user's actions as a wizard::StepListener. The windowed wizards
// (wizard::WindowedSteps) and the console (console::ConsoleUi) are adapters
// of that one interface; it reaches the executable's path and the desktop's
// opener only through platform::Services.
//
// Step states (PageState):
//   state      Back        Next/Finish                 Cancel, Escape       close control
//   welcome    -           -> directory                ask, close on Yes    close
//   directory  -> welcome  refused directory: box,     ask, close on Yes    close
//                          stay; blocked plan: box,
//                          stay; files to replace:
//                          ask, stay on No; else copy
//   copying    -           -                           ask; on Yes cancel the run, wait for
//                                                      its rollback, -> error (cancelled);
//                                                      the close control does the same
//   success    -           open description if         ask, close on Yes    close
//                          chosen, close
//   error      -           close                       as in success        close
// With auto-start the copy begins at once after the welcome step, into the
// proposed (or given) directory, and the program ends with the run. A dry
// run shows the plan instead of copying and changes nothing.
#pragma once
#include <cstdint>
#include <vector>

#include "fs/file_system.h"
#include "install/install_plan.h"
#include "install/install_process_data.h"
#include "install/install_thread.h"
#include "kit/install_data.h"
#include "kit/lz_compressor.h"
#include "platform/services.h"
#include "text/basic_string.h"
#include "wizard/exit_status.h"
#include "wizard/signal_pipe.h"
#include "wizard/status_events.h"
#include "wizard/step_ui.h"

// `text`, then a line feed and `detail` when the detail is not empty.
stdx::string16 WithDetail(const stdx::string16& text, const stdx::string16& detail);

// How a session runs: the choices of the command line.
struct SessionOptions {
    // Copy at once, without the wizard's questions (-S).
    bool autoStart = false;
    // Report the plan and change nothing (--dry-run).
    bool dryRun = false;
    // The kit in the working directory ("usecwd").
    bool useCwd = false;
    // The kit file named on the command line (--kit); empty: the usual place.
    stdx::string16 kit;
    // The window title and every box's title (UTF-8).
    stdx::string8 title;
    // The dialog language's code.
    stdx::string16 language;
};

class CInstallerDlg : private wizard::StepListener {
  public:
    enum PageState {
        kStateNone = 0,
        kStateWelcome = 1,
        kStateDirectory = 2,
        kStateCopying = 3,
        kStateSuccess = 4,
        kStateError = 5,
    };

    CInstallerDlg(wizard::StepUi& steps, platform::Services& services,
                  const SessionOptions& options);
    ~CInstallerDlg();
    CInstallerDlg(const CInstallerDlg&) = delete;
    CInstallerDlg& operator=(const CInstallerDlg&) = delete;

    // Before Run. The template directory given on the command line: it
    // replaces the proposal and must pass the directory checks at start-up.
    void SetTargetDirectory(const stdx::string16& dir);
    // Before Run. Where the copy run's events go (may stay unset).
    void SetStatusEvents(wizard::StatusEvents* events) { m_events = events; }
    // After Run: how the run ended (wizard::ExitStatus); 128 + the signal's
    // number when SIGTERM, SIGINT or SIGHUP ended a copy run (after its
    // rollback) or the start-up's recovery (after it had finished).
    int GetExitStatus() const { return m_copySignal == 0 ? m_exitStatus : 128 + m_copySignal; }

    // Checks, then the steps until the front end closes (with auto-start or
    // a dry run: until the run has ended). Never throws.
    void Run();

    // The kit named with --kit, else the kit beside the executable (or in
    // the working directory with "usecwd"); empty when the executable's
    // path is unknown.
    stdx::string16 LocateKit();
    // The start-up checks; false after an error box.
    bool CheckStart();

    // The user's actions (also for the tests).
    void OnNext() noexcept override;
    void OnBack() noexcept override;
    void OnCancel() noexcept override;
    wizard::CloseAnswer OnCloseRequest() noexcept override;
    int OnFrontEndLost() noexcept override;

    // Read-only views for the tests.
    PageState GetPageState() const { return m_pageState; }
    const stdx::string16& GetTargetDir() const { return m_targetDir; }
    const stdx::string16& GetKitPath() const { return m_kitPath; }

  private:
    int MessageBox(const stdx::string16& text, uint32_t flags);
    void ShowWelcome();
    void ShowDirectory();
    void ShowOutcome(wizard::StepOutcome outcome, const stdx::string16& text);
    void NextFromDirectory();
    void StartCopying();
    void Cancel();
    void Finish();

    void ReadLauncherFiles();
    void ProposeTargetDir();
    bool EnoughTempSpace();
    int TempUnusable();
    stdx::string16 TempRefusal(int errnum);
    // The line below the no-space text: directory, needed and free space.
    stdx::string16 TempSpaceDetail();
    // The error box's key for a kit that InstallData::Open refused with `code`.
    const char* OpenFailureKey(uint32_t code) const;
    stdx::string16 NotSignedText() const;
    // The copy run's poll loop; returns how the run ended.
    enum class CopyOutcome { kSucceeded, kFailed, kCanceled };
    CopyOutcome PollCopyRun(stdx::string16& errorText);
    void AskCancelCopy();
    // The termination signals go to m_signals, and the front end's open
    // questions end when one arrives; Unwatch gives them back.
    void WatchSignals();
    void UnwatchSignals();
    // A termination signal during the copy: a confirmed Cancel, no question.
    void StopOnSignal(int signo);
    // The plan of the kit against `dir`; false after a box when a file is
    // blocked or the user does not want files replaced.
    bool AcceptPlan(const stdx::string16& dir);
    // The launcher file that could not be written, or empty. Once a run.
    stdx::string16 WriteLauncherList();
    bool OpenDescription();
    // Undoes the runs of dead processes and tells the user once; a dry run
    // only tells what the next real start will undo. Returns the signal
    // that came meanwhile, or 0.
    int ReportRecoveredRuns();
    void RunDryRun();
    stdx::string16 WelcomeText();
    // A typed directory as the run will use it.
    static stdx::string16 TypedDirectory(const stdx::string16& typed);
    // The checks of a chosen directory; false after an error box.
    bool AcceptTargetDirectory(const stdx::string16& dir, uint32_t emptyBoxFlags);
    void ReportProgress(int progress, const stdx::string16& text, uint64_t done);
    void ReportOutcome(CopyOutcome outcome, const stdx::string16& errorText);
    stdx::string16 EndLostRun();

    wizard::StepUi& m_steps;
    platform::Services& m_services;
    SessionOptions m_options;
    bool m_listFromSecondary = false;
    bool m_secondaryExists = false;
    InstallProcessData m_processData;
    std::vector<stdx::string16> m_templateDirs;
    stdx::string16 m_targetDir;
    stdx::string16 m_kitPath;
    InstallData<LZCompressor, FileSystem> m_installData;
    std::vector<install::PlannedFile> m_plan;
    PageState m_pageState = kStateNone;
    bool m_hasTargetOverride = false;
    stdx::string16 m_targetOverride;
    wizard::StatusEvents* m_events = nullptr;
    // A window closed before any copy counts as a cancel.
    int m_exitStatus = wizard::kExitCancelled;
    // The last file reported as being copied, relative to the directory.
    stdx::string16 m_lastFile;
    // The text of the outcome step shown last.
    stdx::string16 m_outcomeText;
    int m_lastPercent = -1;
    // The percentage the front end shows.
    int m_shownPercent = -1;
    uint64_t m_lastDone = 0;
    // The user confirmed cancelling the running copy; the poll loop now
    // waits for the worker's end of run instead of its posts.
    bool m_cancelRequested = false;
    // Catches the termination signals while a copy runs; the poll loop reads
    // them. Outside copying they keep their default action: nothing is at
    // stake then (the kit image has no name).
    wizard::SignalPipe m_signals;
    // The first such signal of the copy run, or 0.
    int m_copySignal = 0;
    bool m_listWritten = false;
    InstallThread m_thread;
};
