// The channel between the dialog (user-interface thread) and the installation
// worker: one record guarded by one POSIX semaphore used as a mutex. The dialog
// hands over the job (opened kit + template directory); the worker reports a
// code, a text and a progress percentage back. It is a single slot, not a
// queue: each post overwrites the previous one.
//
// Protocol (what the dialog may rely on)
// --------------------------------------
// 1. Dialog: Start(&kit, dir), then InstallThread::Start(&channel). Each
//    InstallThread::Start runs exactly ONE installation; nothing is posted
//    after that run's final post.
// 2. Posts made by the worker during a run, in this order:
//      progress  code 0, full target path,  (100 * index) / file count
//      error     code != 0, IDS_INSTALL_ERROR text, progress of the failing file
//                (made BEFORE the rollback: files may still be being restored)
//      finish    code 0, IDS_INSTALL_FINISH text, 100
//    A cancelled run makes no error or finish post. Before an error post the
//    worker stores the failure's detail (path and reason), see ReadDetail.
//    Each progress post also carries the file's index (0-based); just before
//    the finish post the worker stores how many files it wrote and how many
//    it kept (ReadCounts).
// 3. Run end: when the run is completely over (after the rollback of a failed
//    or cancelled run, after the staging clean-up and pause of a finished
//    one), the worker marks the channel ended and stores the run's result:
//      0     installed (the finish post was made)
//      1223  cancelled; the rollback is complete
//      other failed with that code; the rollback is complete
//    ReadRunEnd() returns true from then on, until the next Start().
//    A rollback that could not put everything back (a file that could not
//    be moved back or deleted) is marked before the run end
//    (ReadRollbackIncomplete).
//    This is the cancellation-finished signal: after RequestCancel(true) the
//    dialog keeps polling until ReadRunEnd() is true, then shows the
//    cancellation page. A result of 0 there means the request came too late
//    (after the last file): the templates are fully installed.
//    The process must not end while a run is in progress (between
//    InstallThread::Start and ReadRunEnd() == true): a rollback cut short
//    leaves backups in the temporary directory.
// 4. A worker that could not be created: InstallThread::Start returns non-zero
//    and, in addition, posts an error (code 87, IDS_INSTALL_ERROR text,
//    progress 0) and marks the channel ended with result 87, so a dialog that
//    only polls also leaves its loop.
// 5. Pause: while the dialog asks whether to cancel, it calls
//    PauseWorker(true); the worker then waits in AwaitGoAhead() before its
//    next file and before removing its staging directory, so nothing more is
//    written behind the question. The answer is given as RequestCancel(true)
//    (Yes) and/or PauseWorker(false), which lets the worker go on and see it.
// 6. Wake-up hook: SetNotify(function, context, wake) installs a callback
//    that the worker calls after a post and after marking the run ended,
//    outside the lock, on the worker thread. With Wake::kEveryPost (the
//    default) that is after every post. With Wake::kCoalesced, what the
//    dialogs use, a progress post calls it only when at least kWakeInterval
//    has passed since the last call, or when its percentage is kWakeStep or
//    more above the previous post's (each file of a kit of at most 20 files
//    is seen): the user-interface thread wakes at most 25 times a second
//    during the copy of a larger kit whatever its file count, and reads the
//    latest post (path, percentage, file index) when it does. A post that
//    made no call is seen at the next one. Error and finish posts and
//    the run end always call it. It must be thread-safe and must not call
//    back into this channel's lock holders; the GTK front end points it at
//    g_main_context_wakeup (context: the main context) so that a blocking
//    event-loop pass returns and the dialog reads the new state. Null
//    function: no notification (the default).
//
// Every operation takes the lock only for its own copying and never calls
// another operation while holding it. The strings share their buffers, so a
// copy taken under the lock stays valid after it is released.
#pragma once
#include <semaphore.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "text/basic_string.h"

class LZCompressor;
class FileSystem;
template <class Compressor, class FileSystemPolicy>
class InstallData;

class InstallProcessData {
  public:
    using Kit = InstallData<LZCompressor, FileSystem>;
    using NotifyFunction = void (*)(void* context);
    // Which posts call the wake-up hook (see 6 above).
    enum class Wake { kEveryPost, kCoalesced };
    static constexpr std::chrono::milliseconds kWakeInterval{40};
    static constexpr int kWakeStep = 5;
    using ClockFunction = std::chrono::steady_clock::time_point (*)();

    InstallProcessData();
    ~InstallProcessData();
    InstallProcessData(const InstallProcessData&) = delete;
    InstallProcessData& operator=(const InstallProcessData&) = delete;

    // Dialog, before InstallThread::Start: clears the cancel request, the
    // code, the progress and the run end; stores the job. A non-empty
    // directory that ends neither with "/" nor "\" gets "/" appended. The
    // status text keeps its value.
    void Start(Kit* kit, const stdx::string16& templateDir);
    // Worker, once per run.
    void ReadJob(Kit*& kit, stdx::string16& templateDir);
    // Worker (and the dialog's constructor for the initial post).
    void PostStatus(uint32_t code, const stdx::string16& text, int progress);
    // Worker: a progress post for the file with index `done` (0-based).
    void PostProgress(const stdx::string16& text, int progress, uint64_t done);
    // Dialog, in its waiting loop.
    void ReadStatus(uint32_t& code, stdx::string16& text, int& progress);
    // Worker, just before its error post: the failed path and the reason.
    void PostDetail(const stdx::string16& detail);
    // Dialog: the detail of the run's failure; empty until one is posted.
    stdx::string16 ReadDetail();
    // The same, with the index of the last file posted.
    void ReadStatus(uint32_t& code, stdx::string16& text, int& progress, uint64_t& done);
    // Worker, before the finish post: files written and files kept.
    void PostCounts(uint64_t copied, uint64_t kept);
    void ReadCounts(uint64_t& copied, uint64_t& kept);
    // Worker, during a rollback that left something behind.
    void MarkRollbackIncomplete();
    bool ReadRollbackIncomplete();
    // Dialog: ask the running installation to stop after the current file and
    // roll back.
    void RequestCancel(bool cancel);
    // Worker, after each extracted file.
    bool IsCancelRequested();
    // Dialog: hold the worker at its next step (true) or let it go (false).
    void PauseWorker(bool pause);
    // Worker, before each file and before removing its staging directory:
    // waits while the worker is paused, then returns the cancel request.
    bool AwaitGoAhead();

    // Worker (thread routine), when the run is completely over.
    void MarkRunEnded(uint32_t result);
    // Dialog: true once the run is completely over; `result` then holds its
    // result (0, 1223 or an error code) and is left alone otherwise.
    bool ReadRunEnd(uint32_t& result);

    // Worker, during a rollback that could not put every earlier version
    // back: the folder that still holds them (kept, not deleted).
    void PostKeptFolder(const stdx::string16& folder);
    // Dialog, after the run end: that folder, or empty when the template
    // directory was fully restored. Start() clears it.
    stdx::string16 ReadKeptFolder();
    // Worker, once the run has its staging folder: it lies in the temporary
    // directory, on another file system than the template directory (none
    // could be made there); the outcome says so. Empty otherwise.
    void PostStagingElsewhere(const stdx::string16& folder);
    stdx::string16 ReadStagingElsewhere();

    // Dialog, before InstallThread::Start: the wake-up hook described above.
    void SetNotify(NotifyFunction function, void* context, Wake wake = Wake::kEveryPost);
    // The clock the coalescing reads (steady_clock::now unless a test sets
    // one that it advances itself).
    void SetClock(ClockFunction clock);

  private:
    void Notify();
    // A post; `done` (may be null) is the file index of a progress post.
    void Post(uint32_t code, const stdx::string16& text, int percent, const uint64_t* done);

    sem_t lock;
    Kit* installData = nullptr;
    stdx::string16 targetDir;
    bool cancelRequested = false;
    uint32_t resultCode = 0;
    stdx::string16 statusText;
    int progress = 0;
    stdx::string16 failureDetail;
    uint64_t doneFiles = 0;
    uint64_t copiedFiles = 0;
    uint64_t keptFiles = 0;
    bool rollbackIncomplete = false;
    bool runEnded = false;
    uint32_t runResult = 0;
    stdx::string16 keptFolder;
    stdx::string16 stagingElsewhere;
    NotifyFunction notify = nullptr;
    void* notifyContext = nullptr;
    // The pause has its own lock: the worker sleeps on it, which the
    // semaphore above is never held for.
    std::mutex pauseLock;
    std::condition_variable pauseChanged;
    bool paused = false;
    Wake notifyWake = Wake::kEveryPost;
    ClockFunction clock = &std::chrono::steady_clock::now;
    // When a post last called the hook; none yet when `woken` is false.
    bool woken = false;
    // The percentage of the last progress post.
    int postedProgress = 0;
    std::chrono::steady_clock::time_point wokenAt;
};
