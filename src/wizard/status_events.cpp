// The JSON event lines; see status_events.h.
#include "wizard/status_events.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <nlohmann/json.hpp>

namespace wizard {

namespace {

using Clock = std::chrono::steady_clock;

std::string Dump(const nlohmann::ordered_json& object) {
    // Invalid UTF-8 (a name in another encoding) is replaced, not thrown on.
    return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace

StatusEvents::StatusEvents(int fd) : fd_(fd), givenFd_(fd) {
    if (fd_ < 0) {
        return;
    }
    const int flags = fcntl(fd_, F_GETFL);
    if (flags < 0) {
        fd_ = -1;  // not an open descriptor: no events
        return;
    }
    if ((flags & O_NONBLOCK) == 0 && fcntl(fd_, F_SETFL, flags | O_NONBLOCK) == 0) {
        restoreFlags_ = flags;
    }
}

// The descriptor may be shared with the shell or the reader's siblings:
// it goes back to blocking as it was.
StatusEvents::~StatusEvents() {
    if (restoreFlags_ >= 0) {
        fcntl(givenFd_, F_SETFL, restoreFlags_);
    }
}

void StatusEvents::Silence() {
    fd_ = -1;
    pending_.clear();
    heldProgress_.clear();
}

bool StatusEvents::Drain(Wait wait, Clock::time_point deadline) {
    while (fd_ >= 0 && !pending_.empty()) {
        const ssize_t n = write(fd_, pending_.data(), pending_.size());
        if (n > 0) {
            pending_.erase(0, size_t(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (wait == Wait::kNever) {
                return false;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                // A reader that takes nothing: the run must still end.
                Silence();
                return false;
            }
            struct pollfd room = {fd_, POLLOUT, 0};
            poll(&room, 1, int(left.count()));
            continue;  // a broken pipe shows in the next write
        }
        // The reader is gone or the descriptor broke: the install goes on
        // without events.
        Silence();
        return false;
    }
    return fd_ >= 0;
}

bool StatusEvents::Send(const std::string& line, Wait wait) {
    const Clock::time_point deadline = Clock::now() + kEventWait;
    if (!Drain(wait, deadline)) {
        return false;
    }
    pending_ = line;
    return Drain(wait, deadline);
}

void StatusEvents::FlushHeldProgress(Clock::time_point deadline) {
    if (!Drain(Wait::kBounded, deadline) || heldProgress_.empty()) {
        return;
    }
    pending_.swap(heldProgress_);
    heldProgress_.clear();
    Drain(Wait::kBounded, deadline);
}

void StatusEvents::Start(uint64_t files, const std::string& directory,
                         const install::PlanSummary& plan) {
    if (fd_ < 0 || ended_) {
        return;
    }
    Send(Dump({{"event", "start"},
               {"files", files},
               {"directory", directory},
               {"new", plan.newFiles},
               {"update", plan.updatedFiles},
               {"keep", plan.keptFiles},
               {"blocked", plan.blockedFiles}}),
         Wait::kBounded);
}

void StatusEvents::Progress(int percent, const std::string& file, uint64_t done, uint64_t total) {
    if (fd_ < 0 || ended_ || (percent == lastPercent_ && done == lastDone_)) {
        return;
    }
    lastPercent_ = percent;
    lastDone_ = done;
    std::string line = Dump({{"event", "progress"},
                             {"percent", percent},
                             {"file", file},
                             {"done", done},
                             {"total", total}});
    const auto now = Clock::now();
    const bool tooSoon = percent < 100 && lastWrite_.time_since_epoch().count() != 0 &&
                         now - lastWrite_ < kProgressInterval;
    // A slow reader: the newest line waits in place of any older one.
    if (tooSoon || !Drain(Wait::kNever, now)) {
        heldProgress_.swap(line);
        return;
    }
    heldProgress_.clear();
    pending_.swap(line);
    Drain(Wait::kNever, now);
    lastWrite_ = now;
}

void StatusEvents::Final(const std::string& line) {
    if (fd_ < 0 || ended_) {
        return;
    }
    ended_ = true;
    const Clock::time_point deadline = Clock::now() + kEventWait;
    FlushHeldProgress(deadline);
    if (fd_ < 0) {
        return;
    }
    pending_ = line;
    Drain(Wait::kBounded, deadline);
}

void StatusEvents::Finished(uint64_t copied, uint64_t kept) {
    Final(Dump({{"event", "finished"}, {"copied", copied}, {"kept", kept}}));
}

void StatusEvents::Error(uint32_t code, const std::string& message) {
    Final(Dump({{"event", "error"}, {"code", code}, {"message", message}}));
}

void StatusEvents::Cancelled() {
    Final(Dump({{"event", "cancelled"}}));
}

}  // namespace wizard
