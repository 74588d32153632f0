// The installer dialog: start-up checks, the wizard window and its page
// flow, the copy run on the worker thread, the outcome and the launcher list
// written back. It is the one controller of every front end: a windowed one
// reaches it through the widget-level wizard::Toolkit (and receives the
// user's actions as a ToolkitListener); the console drives the same checks,
// copy run and outcome through the step-level wizard::StepUi, which asks and
// tells in turns instead of laying out pages. Both reach the executable's
// path and the desktop's opener only through platform::Services.
//
// Page states (m_pageState):
//   0 none (before the window)   3 copying, worker running
//   1 welcome                    4 success
//   2 directory                  5 error (also after a cancelled copy)
//
//   state  Back        Next/Finish                 Cancel, Escape          close control
//   1      disabled    -> 2                        ask, close on Yes       close
//   2      -> 1        empty entry: box, stay;     ask, close on Yes       close
//                      files to replace: ask,
//                      stay on No; else -> 3
//   3      disabled    disabled                    ask; on Yes cancel the run, wait for
//                                                  its rollback, -> 5 (canceled); the
//                                                  close control does the same
//   4      hidden      open description if ticked, Escape only (button     close
//                      close                       disabled): ask, close on Yes
//   5      hidden      close                       as in 4                 close
//   While a message box or the directory chooser is open, the close control
//   is refused in every state.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "fs/file_system.h"
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
#include "wizard/toolkit.h"
#include "wizard/wizard_pages.h"
#include "wizard/wnd.h"

// `text`, then a line feed and `detail` when the detail is not empty.
stdx::string16 WithDetail(const stdx::string16& text, const stdx::string16& detail);

class CInstallerDlg : public CWnd, private wizard::ToolkitListener {
  public:
    enum PageState {
        kStateNone = 0,
        kStateWelcome = 1,
        kStateDirectory = 2,
        kStateCopying = 3,
        kStateSuccess = 4,
        kStateError = 5,
    };

    CInstallerDlg(wizard::Toolkit& toolkit, platform::Services& services, int argc, char** argv,
                  bool autoStart, const stdx::string8& title, const stdx::string16& language,
                  bool useCwd);
    // The same dialog on a step front end (the console): no window, no
    // pages; Run asks for the welcome and the directory in turns.
    CInstallerDlg(wizard::StepUi& steps, platform::Services& services, bool autoStart,
                  const stdx::string8& title, const stdx::string16& language, bool useCwd);
    ~CInstallerDlg() override;

    // Before Run. The template directory given on the command line: it
    // replaces the proposal and must pass the directory checks at start-up.
    void SetTargetDirectory(const stdx::string16& dir);
    // Before Run. Where the copy run's events go (may stay unset).
    void SetStatusEvents(wizard::StatusEvents* events) { m_events = events; }
    // Before Run, step front ends only: report what a run would do with each
    // kit file and change nothing.
    void SetDryRun(bool dryRun) { m_dryRun = dryRun; }
    // After Run: how the run ended (wizard::ExitStatus).
    // A signal during the copy ends the program with 128 + its number once
    // the rollback is complete.
    int GetExitStatus() const { return m_copySignal == 0 ? m_exitStatus : 128 + m_copySignal; }

    // Checks, then the wizard until its window is closed (with auto-start:
    // until the copy run has ended). Never throws.
    void Run();
    stdx::string16 GetTitle() const override;

    // The kit path beside the executable (or in the working directory with
    // "usecwd"); empty when the executable's path is unknown.
    stdx::string16 LocateKit();
    // The start-up checks; false after an error box.
    bool CheckStart();

    void CreateFrame();
    void SwitchPage(WizardDialogPage* page);
    void ShowWelcomePage();
    void ShowDirPage();
    void StartCopying();
    void ShowSuccessPage();
    void ShowErrorPage();
    void SetFinishMode();
    void OnBack();
    void OnNext();
    void OnCancel();
    void Cancel();
    void Finish();
    void CloseWindow();
    // CWnd::MessageBox, with the close control refused while the box is open.
    int MessageBox(const stdx::string16& text, uint32_t flags);

    // 0, or 128 + the signal's number when SIGTERM, SIGINT or SIGHUP ended
    // a copy run (after its rollback).
    int ExitStatus() const { return m_copySignal == 0 ? 0 : 128 + m_copySignal; }

    // Read-only views for the tests.
    int GetPageState() const { return m_pageState; }
    const stdx::string16& GetTargetDir() const { return m_targetDir; }
    const stdx::string16& GetKitPath() const { return m_kitPath; }

  private:
    // ToolkitListener: every call is caught here, nothing escapes.
    void OnCommand(wizard::Command command) noexcept override;
    wizard::CloseAnswer OnCloseRequest() noexcept override;
    void OnWindowClosed() noexcept override;

    void ReadLauncherFiles();
    void ProposeTargetDir();
    bool EnoughTempSpace();
    // The line below the no-space text: directory, needed and free space.
    stdx::string16 TempSpaceDetail();
    // The error box's key for a kit that InstallData::Open refused with `code`.
    const char* OpenFailureKey(uint32_t code) const;
    stdx::string16 NotSignedText() const;
    // The copy run's poll loop; returns how the run ended.
    enum class CopyOutcome { kSucceeded, kFailed, kCanceled };
    CopyOutcome PollCopyRun(stdx::string16& errorText);
    void AskCancelCopy();
    // A termination signal during the copy: a confirmed Cancel, no question.
    void StopOnSignal(int signo);
    // The question before copying into a directory whose files the kit
    // would replace; true to go on.
    bool ConfirmChanges(const stdx::string16& dir);
    // The launcher file that could not be written, or empty.
    stdx::string16 WriteLauncherList();
    bool OpenDescription();
    void ShowCanceledPage();
    void ShowErrorPageText(const stdx::string16& text);
    // Undoes the runs of dead processes and tells the user once.
    void ReportRecoveredRuns();

    // Step front ends (installer_steps.cpp).
    void RunSteps();
    bool AskTargetDirectory();
    bool ConfirmStepCancel();
    void RunDryRun();
    // Shared by both kinds of front end.
    stdx::string16 WelcomeText();
    // A typed directory as the run will use it.
    static stdx::string16 TypedDirectory(const stdx::string16& typed);
    // The checks of a chosen directory; false after an error box.
    bool AcceptTargetDirectory(const stdx::string16& dir, uint32_t emptyBoxFlags);
    // The copy run's report to the step front end and the status events.
    void ReportProgress(int progress, const stdx::string16& text, uint64_t done);
    void WaitForWorker();
    void ReportOutcome(CopyOutcome outcome, const stdx::string16& errorText);
    stdx::string8 NotRestoredText();

    platform::Services& m_services;
    bool m_listFromSecondary = false;
    bool m_secondaryExists = false;
    bool m_autoStart;
    InstallProcessData m_processData;
    std::vector<stdx::string16> m_templateDirs;
    stdx::string16 m_targetDir;
    stdx::string16 m_kitPath;
    InstallData<LZCompressor, FileSystem> m_installData;
    stdx::string16 m_language;
    int m_pageState = kStateNone;
    std::unique_ptr<MessagePage> m_welcomePage;
    std::unique_ptr<DirSelectPage> m_dirPage;
    WizardDialogPage* m_currentPage = nullptr;
    std::unique_ptr<ProgressPage> m_progressPage;
    std::unique_ptr<SuccessFinalPage> m_successPage;
    std::unique_ptr<MessagePage> m_errorPage;
    bool m_useCwd;
    wizard::Handle m_picture = nullptr;
    wizard::Handle m_backButton = nullptr;
    wizard::Handle m_nextButton = nullptr;
    wizard::Handle m_cancelButton = nullptr;
    bool m_confirmCancel = true;
    int m_argc;
    char** m_argv;
    int m_width = 500;
    int m_height = 360;
    stdx::string8 m_title;
    wizard::Handle m_window = nullptr;
    wizard::Handle m_contentView = nullptr;
    InstallThread m_thread;
    // The user confirmed cancelling the running copy; the poll loop now
    // waits for the worker's end of run instead of its posts.
    bool m_cancelRequested = false;
    // Catches the termination signals while a copy runs; the poll loop reads
    // them. Outside copying they keep their default action: nothing is at
    // stake then (the kit image has no name).
    wizard::SignalPipe m_signals;
    // The first such signal of the copy run, or 0.
    int m_copySignal = 0;
    // Message boxes and directory choosers open right now. Their nested event
    // loops still deliver the close control; the window must not go away
    // under them.
    int m_modalDepth = 0;
    bool m_hasTargetOverride = false;
    stdx::string16 m_targetOverride;
    bool m_dryRun = false;
    wizard::StatusEvents* m_events = nullptr;
    // A window closed before any copy counts as a cancel.
    int m_exitStatus = wizard::kExitCancelled;
    // The last file reported as being copied, relative to the directory.
    stdx::string16 m_lastFile;
    int m_lastPercent = -1;
    uint64_t m_lastDone = 0;
};
