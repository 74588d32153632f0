// The self-pipe of the termination signals (see signal_pipe.h).
#include "wizard/signal_pipe.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace wizard {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];

// Written by the handler, which may run on any thread.
std::atomic<int> g_writeFd{-1};
struct sigaction g_previous[kSignalCount];

void OnSignal(int signo) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signo);
    const int fd = g_writeFd.load();
    if (fd >= 0) {
        // A full pipe already holds a signal; this one may be dropped.
        (void)!write(fd, &byte, 1);
    }
    errno = saved;
}

bool MakePipe(int fds[2]) {
    if (pipe(fds) != 0) {
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        fcntl(fds[i], F_SETFD, FD_CLOEXEC);
        fcntl(fds[i], F_SETFL, fcntl(fds[i], F_GETFL) | O_NONBLOCK);
    }
    return true;
}

}  // namespace

bool SignalPipe::Install() {
    if (installed_) {
        return true;
    }
    if (readFd_ < 0) {
        int fds[2];
        if (!MakePipe(fds)) {
            return false;
        }
        readFd_ = fds[0];
        g_writeFd.store(fds[1]);
    }
    struct sigaction action = {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls restart: the worker's file operations must
    // not fail because a signal came.
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < kSignalCount; ++i) {
        sigaction(kSignals[i], &action, &g_previous[i]);
    }
    installed_ = true;
    return true;
}

void SignalPipe::Uninstall() {
    if (!installed_) {
        return;
    }
    for (int i = 0; i < kSignalCount; ++i) {
        sigaction(kSignals[i], &g_previous[i], nullptr);
    }
    installed_ = false;
}

int SignalPipe::Take() {
    if (readFd_ < 0) {
        return 0;
    }
    int first = 0;
    unsigned char bytes[16];
    for (;;) {
        const ssize_t n = read(readFd_, bytes, sizeof bytes);
        if (n <= 0) {
            return first;
        }
        if (first == 0) {
            first = bytes[0];
        }
    }
}

}  // namespace wizard
