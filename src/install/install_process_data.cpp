// The dialog-worker channel: every field is read and written under one
// semaphore used as a mutex, held only for the copying.
#include "install/install_process_data.h"

#include <cerrno>

#include "fs/path.h"

InstallProcessData::InstallProcessData() {
    sem_init(&lock, 0, 1);
}

InstallProcessData::~InstallProcessData() {
    sem_destroy(&lock);
}

namespace {

// Holds the semaphore for one scope, so it is posted on every way out,
// exceptions included. A wait interrupted by a signal is retried: returning
// without the lock would let both threads into the record at once.
class Held {
  public:
    explicit Held(sem_t* lock) : lock_(lock) {
        while (sem_wait(lock_) != 0 && errno == EINTR) {
        }
    }
    ~Held() { sem_post(lock_); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

  private:
    sem_t* lock_;
};

}  // namespace

void InstallProcessData::Notify() {
    NotifyFunction function = nullptr;
    void* context = nullptr;
    {
        Held held(&lock);
        function = notify;
        context = notifyContext;
    }
    if (function != nullptr) {
        function(context);
    }
}

void InstallProcessData::Start(Kit* kit, const stdx::string16& templateDir) {
    Held held(&lock);
    cancelRequested = false;
    resultCode = 0;
    progress = 0;
    doneFiles = 0;
    copiedFiles = 0;
    keptFiles = 0;
    rollbackIncomplete = false;
    runEnded = false;
    runResult = 0;
    failureDetail.clear();
    woken = false;
    postedProgress = 0;
    keptFolder.clear();
    stagingElsewhere.clear();
    installData = kit;
    targetDir = fspath::WithTrailingSeparator(templateDir);
}

void InstallProcessData::ReadJob(Kit*& kit, stdx::string16& templateDir) {
    Held held(&lock);
    kit = installData;
    templateDir = targetDir;
}

void InstallProcessData::PostStatus(uint32_t code, const stdx::string16& text, int percent) {
    Post(code, text, percent, nullptr);
}

void InstallProcessData::PostProgress(const stdx::string16& text, int percent, uint64_t done) {
    Post(0, text, percent, &done);
}

void InstallProcessData::Post(uint32_t code, const stdx::string16& text, int percent,
                              const uint64_t* done) {
    bool wake = true;
    {
        Held held(&lock);
        resultCode = code;
        statusText = text;
        progress = percent;
        if (done != nullptr) {
            doneFiles = *done;
        }
        // A person sees about 20 changes a second: a progress post wakes
        // the user-interface thread only when kWakeInterval has passed since
        // the last wake-up, or when its file moved the bar by kWakeStep or
        // more (a kit of at most 20 files, each of which is then seen). The
        // dialog reads the latest post when it wakes. Final posts always
        // wake it.
        if (notifyWake == Wake::kCoalesced && code == 0 && percent < 100) {
            const auto now = clock();
            const bool bigStep = percent - postedProgress >= kWakeStep;
            postedProgress = percent;
            if (woken && !bigStep && now - wokenAt < kWakeInterval) {
                wake = false;
            } else {
                woken = true;
                wokenAt = now;
            }
        }
    }
    if (wake) {
        Notify();
    }
}

void InstallProcessData::ReadStatus(uint32_t& code, stdx::string16& text, int& percent) {
    uint64_t done = 0;
    ReadStatus(code, text, percent, done);
}

void InstallProcessData::ReadStatus(uint32_t& code, stdx::string16& text, int& percent,
                                    uint64_t& done) {
    Held held(&lock);
    code = resultCode;
    text = statusText;
    percent = progress;
    done = doneFiles;
}

void InstallProcessData::PostCounts(uint64_t copied, uint64_t kept) {
    Held held(&lock);
    copiedFiles = copied;
    keptFiles = kept;
}

void InstallProcessData::ReadCounts(uint64_t& copied, uint64_t& kept) {
    Held held(&lock);
    copied = copiedFiles;
    kept = keptFiles;
}

void InstallProcessData::MarkRollbackIncomplete() {
    Held held(&lock);
    rollbackIncomplete = true;
}

bool InstallProcessData::ReadRollbackIncomplete() {
    Held held(&lock);
    return rollbackIncomplete;
}

void InstallProcessData::PostDetail(const stdx::string16& detail) {
    Held held(&lock);
    failureDetail = detail;
}

stdx::string16 InstallProcessData::ReadDetail() {
    Held held(&lock);
    return failureDetail;
}

void InstallProcessData::RequestCancel(bool cancel) {
    Held held(&lock);
    cancelRequested = cancel;
}

bool InstallProcessData::IsCancelRequested() {
    Held held(&lock);
    return cancelRequested;
}

void InstallProcessData::PauseWorker(bool pause) {
    {
        std::lock_guard<std::mutex> hold(pauseLock);
        paused = pause;
    }
    pauseChanged.notify_all();
}

bool InstallProcessData::AwaitGoAhead() {
    {
        std::unique_lock<std::mutex> hold(pauseLock);
        pauseChanged.wait(hold, [this] { return !paused; });
    }
    return IsCancelRequested();
}

void InstallProcessData::MarkRunEnded(uint32_t result) {
    {
        Held held(&lock);
        runEnded = true;
        runResult = result;
    }
    Notify();
}

bool InstallProcessData::ReadRunEnd(uint32_t& result) {
    Held held(&lock);
    if (runEnded) {
        result = runResult;
    }
    return runEnded;
}

void InstallProcessData::PostKeptFolder(const stdx::string16& folder) {
    Held held(&lock);
    keptFolder = folder;
}

void InstallProcessData::PostStagingElsewhere(const stdx::string16& folder) {
    Held held(&lock);
    stagingElsewhere = folder;
}

stdx::string16 InstallProcessData::ReadStagingElsewhere() {
    Held held(&lock);
    return stagingElsewhere;
}

stdx::string16 InstallProcessData::ReadKeptFolder() {
    Held held(&lock);
    return keptFolder;
}

void InstallProcessData::SetNotify(NotifyFunction function, void* context, Wake wake) {
    Held held(&lock);
    notify = function;
    notifyContext = context;
    notifyWake = wake;
}

void InstallProcessData::SetClock(ClockFunction function) {
    Held held(&lock);
    clock = function;
}
