// The worker thread that runs one installation. Each Start creates one thread
// that runs exactly one InstallEngine run on the channel, marks the channel
// ended with the run's result and returns; no run ever starts by itself after
// a final post. See install_process_data.h for the protocol the dialog uses.
#pragma once
#include <pthread.h>

#include <atomic>

#include "install/image_after_run.h"
#include "install/install_process_data.h"

class InstallThread {
  public:
    InstallThread();
    // Waits for a run still in progress, so that the end of the dialog never
    // cuts a rollback short.
    ~InstallThread();
    InstallThread(const InstallThread&) = delete;
    InstallThread& operator=(const InstallThread&) = delete;

    // Dialog, right after InstallProcessData::Start. Returns 0 when the worker
    // was created; otherwise the error code of pthread_attr_init or
    // pthread_create, and the channel gets an error post (87) and is marked
    // ended with 87, so no one waits for a worker that does not exist.
    // Called again, it first waits for the previous thread to end (check
    // InstallProcessData::ReadRunEnd first to avoid blocking).
    int Start(InstallProcessData* channel);
    // Asks the thread routine not to begin its run if it has not begun yet.
    // A run in progress goes on to its end; use
    // InstallProcessData::RequestCancel to stop it early.
    void RequestStop();
    // -1 before Start created a thread, then pthread_create's result.
    int CreateResult() const { return createResult; }
    // Waits until the worker of the last Start has returned; at once when
    // there is none. Once it returns, nothing of that run is left to happen.
    void Wait();

    static void* ThreadMain(void* self);

    // Pause after a finished run before the run counts as ended; tests
    // shorten it.
    int finishPauseMilliseconds = 1000;
    // What a finished run does with the kit's image (image_after_run.h).
    install::ImageAfterRun imageAfterRun = install::ImageAfterRun::kKept;

  private:
    InstallProcessData* data = nullptr;
    // Written by the dialog, read by the worker before its run; atomic so the
    // unlocked access stays well defined.
    std::atomic<bool> stopRequested{false};
    pthread_t thread{};
    int createResult = -1;
};
