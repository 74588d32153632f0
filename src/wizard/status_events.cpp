// The JSON event lines; see status_events.h.
#include "wizard/status_events.h"

#include <unistd.h>

#include <cerrno>
#include <nlohmann/json.hpp>

namespace wizard {

namespace {

std::string Dump(const nlohmann::ordered_json& object) {
    // Invalid UTF-8 (a name in another encoding) is replaced, not thrown on.
    return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace

StatusEvents::StatusEvents(int fd) : fd_(fd) {}

void StatusEvents::WriteLine(const std::string& line) {
    if (fd_ < 0) {
        return;
    }
    size_t written = 0;
    while (written < line.size()) {
        ssize_t n = write(fd_, line.data() + written, line.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            // The reader is gone or the descriptor broke: the install goes
            // on without events.
            fd_ = -1;
            return;
        }
        written += size_t(n);
    }
}

void StatusEvents::FlushHeldProgress() {
    if (heldProgress_.empty()) {
        return;
    }
    std::string line;
    line.swap(heldProgress_);
    WriteLine(line);
    lastWrite_ = std::chrono::steady_clock::now();
}

void StatusEvents::Start(uint64_t files, const std::string& directory,
                         const install::PlanSummary& plan) {
    WriteLine(Dump({{"event", "start"},
                    {"files", files},
                    {"directory", directory},
                    {"new", plan.newFiles},
                    {"update", plan.updatedFiles},
                    {"keep", plan.keptFiles},
                    {"blocked", plan.blockedFiles}}));
}

void StatusEvents::Progress(int percent, const std::string& file, uint64_t done, uint64_t total) {
    if (fd_ < 0 || (percent == lastPercent_ && done == lastDone_)) {
        return;
    }
    lastPercent_ = percent;
    lastDone_ = done;
    std::string line = Dump({{"event", "progress"},
                             {"percent", percent},
                             {"file", file},
                             {"done", done},
                             {"total", total}});
    auto now = std::chrono::steady_clock::now();
    if (percent < 100 && lastWrite_.time_since_epoch().count() != 0 &&
        now - lastWrite_ < kProgressInterval) {
        heldProgress_ = line;
        return;
    }
    heldProgress_.clear();
    WriteLine(line);
    lastWrite_ = now;
}

void StatusEvents::Finished(uint64_t copied, uint64_t kept) {
    FlushHeldProgress();
    WriteLine(Dump({{"event", "finished"}, {"copied", copied}, {"kept", kept}}));
}

void StatusEvents::Error(uint32_t code, const std::string& message) {
    FlushHeldProgress();
    WriteLine(Dump({{"event", "error"}, {"code", code}, {"message", message}}));
}

void StatusEvents::Cancelled() {
    FlushHeldProgress();
    WriteLine(Dump({{"event", "cancelled"}}));
}

}  // namespace wizard
