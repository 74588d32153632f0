// Terminal input, waits and signals; see terminal.h.
#include "console/terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace console {

namespace {

// The write end of the signal pipe, for the handler; -1 when none.
volatile sig_atomic_t gSignalPipe = -1;
int gSignalPipeRead = -1;
struct sigaction gOldActions[3];
constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};

void OnSignal(int signal) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    if (gSignalPipe >= 0) {
        // Full pipe: a signal is already waiting to be read, nothing is lost.
        (void)!write(gSignalPipe, &byte, 1);
    }
    errno = saved;
}

bool MakePipe(int fds[2]) {
    if (pipe(fds) != 0) {
        fds[0] = fds[1] = -1;
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        fcntl(fds[i], F_SETFL, fcntl(fds[i], F_GETFL) | O_NONBLOCK);
        fcntl(fds[i], F_SETFD, FD_CLOEXEC);
    }
    return true;
}

// The longest wait for room on an output some other party made
// non-blocking (a status descriptor that is also stdout).
constexpr int kOutputWaitMs = 5000;

// Output that cannot be written (a reader gone, a closed descriptor) is
// dropped: the run goes on and its status still tells how it ended.
void WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            struct pollfd room = {fd, POLLOUT, 0};
            if (poll(&room, 1, kOutputWaitMs) <= 0) {
                return;
            }
            continue;
        }
        if (n <= 0) {
            return;
        }
        done += size_t(n);
    }
}

}  // namespace

Terminal::Terminal() {
    outputIsTerminal_ = isatty(STDOUT_FILENO) == 1;
    inputIsTerminal_ = isatty(STDIN_FILENO) == 1;
    MakePipe(wakePipe_);
    int signalPipe[2];
    if (MakePipe(signalPipe)) {
        gSignalPipeRead = signalPipe[0];
        gSignalPipe = signalPipe[1];
    }
    struct sigaction action = {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocking read returns with EINTR
    for (int i = 0; i < 3; ++i) {
        sigaction(kSignals[i], &action, &gOldActions[i]);
    }
}

Terminal::~Terminal() {
    for (int i = 0; i < 3; ++i) {
        sigaction(kSignals[i], &gOldActions[i], nullptr);
    }
    const int writeEnd = gSignalPipe;
    gSignalPipe = -1;
    if (writeEnd >= 0) {
        close(writeEnd);
        close(gSignalPipeRead);
    }
    gSignalPipeRead = -1;
    for (int fd : wakePipe_) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

void Terminal::DrainSignals() {
    unsigned char bytes[16];
    ssize_t n;
    while (gSignalPipeRead >= 0 && (n = read(gSignalPipeRead, bytes, sizeof bytes)) > 0) {
        pendingSignal_ = bytes[n - 1];
    }
}

void Terminal::DrainWake() {
    unsigned char bytes[64];
    // A short read has emptied the pipe: no second read to learn that.
    while (wakePipe_[0] >= 0 && read(wakePipe_[0], bytes, sizeof bytes) == sizeof bytes) {
    }
}

int Terminal::TakeSignal() {
    DrainSignals();
    const int signal = pendingSignal_;
    pendingSignal_ = 0;
    return signal;
}

Terminal::Read Terminal::ReadLine(std::string& line) {
    line.clear();
    for (;;) {
        DrainSignals();
        if (pendingSignal_ != 0) {
            return Read::kInterrupted;
        }
        // Negative descriptors are skipped by poll.
        struct pollfd fds[3] = {
            {STDIN_FILENO, POLLIN, 0}, {gSignalPipeRead, POLLIN, 0}, {interruptFd_, POLLIN, 0}};
        if (poll(fds, 3, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Read::kEnd;
        }
        if (fds[2].revents != 0) {
            return Read::kInterrupted;
        }
        if (fds[0].revents == 0) {
            continue;  // only the signal pipe: seen at the top
        }
        // One byte at a time, so nothing typed after the line is taken from
        // stdin for later questions or for another program.
        char c = 0;
        const ssize_t n = read(STDIN_FILENO, &c, 1);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n <= 0) {
            return line.empty() ? Read::kEnd : Read::kLine;
        }
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return Read::kLine;
        }
        line.push_back(c);
    }
}

void Terminal::Wait(int milliseconds) {
    struct pollfd fds[3] = {
        {wakePipe_[0], POLLIN, 0}, {gSignalPipeRead, POLLIN, 0}, {interruptFd_, POLLIN, 0}};
    if (poll(fds, 3, milliseconds) <= 0) {
        return;
    }
    // Only the pipe that has bytes: a wake-up costs one read, not three.
    if ((fds[0].revents & POLLIN) != 0) {
        DrainWake();
    }
    if ((fds[1].revents & POLLIN) != 0) {
        DrainSignals();
    }
}

void Terminal::Wake() {
    if (wakePipe_[1] >= 0) {
        const unsigned char byte = 1;
        (void)!write(wakePipe_[1], &byte, 1);
    }
}

int Terminal::Columns() const {
    struct winsize size = {};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 80;
}

void Terminal::Out(const std::string& text) {
    WriteAll(STDOUT_FILENO, text);
}

void Terminal::Err(const std::string& text) {
    WriteAll(STDERR_FILENO, text);
}

}  // namespace console
