// The worker thread: one installation run per Start, then the run-end mark
// on the channel.
#include "install/install_thread.h"

#include "fs/fs_codes.h"
#include "install/install_engine.h"
#include "l10n/localization.h"

namespace {

// Lets a dialog that only polls leave its loop when there is no worker.
void ReportNoWorker(InstallProcessData* channel) {
    if (channel == nullptr) {
        return;
    }
    channel->PostStatus(fserror::kInvalidParameter, GetLocalizedString("IDS_INSTALL_ERROR"), 0);
    channel->MarkRunEnded(fserror::kInvalidParameter);
}

}  // namespace

InstallThread::InstallThread() = default;

InstallThread::~InstallThread() {
    Wait();
}

void InstallThread::Wait() {
    if (createResult == 0) {
        pthread_join(thread, nullptr);
    }
    createResult = -1;
}

int InstallThread::Start(InstallProcessData* channel) {
    Wait();
    stopRequested = false;
    data = channel;
    pthread_attr_t attributes;
    int result = pthread_attr_init(&attributes);
    if (result != 0) {
        ReportNoWorker(channel);
        return result;
    }
    result = pthread_create(&thread, &attributes, &InstallThread::ThreadMain, this);
    pthread_attr_destroy(&attributes);
    createResult = result;
    if (result != 0) {
        ReportNoWorker(channel);
    }
    return result;
}

void InstallThread::RequestStop() {
    stopRequested = true;
}

void* InstallThread::ThreadMain(void* self) {
    InstallThread* owner = static_cast<InstallThread*>(self);
    InstallProcessData* channel = owner->data;
    if (owner->stopRequested) {
        // Stopped before the run began: nothing was touched.
        if (channel != nullptr) {
            channel->MarkRunEnded(fserror::kCancelled);
        }
        return nullptr;
    }
    uint32_t result = fserror::kInvalidParameter;
    {
        InstallEngine engine;
        engine.finishPauseMilliseconds = owner->finishPauseMilliseconds;
        engine.imageAfterRun = owner->imageAfterRun;
        try {
            result = engine.Run(channel);
        } catch (...) {
            // Out of memory in the middle of a run: still put everything back.
            try {
                result = engine.Fail(fserror::kInvalidParameter, 0);
            } catch (...) {
            }
        }
    }
    if (channel != nullptr) {
        channel->MarkRunEnded(result);
    }
    return nullptr;
}
