// Events for a wrapping program: one JSON object a line on a file
// descriptor, written as things happen.
//
//   {"event":"start","files":F,"directory":"..."}
//   {"event":"progress","percent":P,"file":"rel/path","done":D,"total":F}
//   {"event":"finished","copied":C,"kept":K}
//   {"event":"error","code":E,"message":"..."}
//   {"event":"cancelled"}
//
// Progress lines are limited to about 20 a second; a line whose percentage
// is 100, or that differs only in time, is never held back when it is the
// last. Texts are UTF-8; a name that is not valid UTF-8 has its bad bytes
// replaced, so every line parses.
//
// The reader never holds the run up: the descriptor is made non-blocking
// for the life of this object (its flags are put back after). A progress
// line that does not fit into the pipe is held and replaced by the next
// one; a line begun is always finished before another, so the reader never
// sees half a line followed by another. The start line and the one final
// line (finished, error or cancelled) wait at most kEventWait for room; a
// reader that takes nothing for that long, or a failed write (the reader
// went away), silences the events for the rest of the run and changes
// nothing else. Nothing follows the final line.
#pragma once
#include <chrono>
#include <cstdint>
#include <string>

#include "install/install_plan.h"

namespace wizard {

class StatusEvents {
  public:
    // `fd` < 0: every call does nothing.
    explicit StatusEvents(int fd);
    ~StatusEvents();
    StatusEvents(const StatusEvents&) = delete;
    StatusEvents& operator=(const StatusEvents&) = delete;

    bool Enabled() const { return fd_ >= 0; }
    // With the plan's counts: files new, to update, kept and blocked.
    void Start(uint64_t files, const std::string& directory, const install::PlanSummary& plan);
    // `done` files of `total` were handled before `file`.
    void Progress(int percent, const std::string& file, uint64_t done, uint64_t total);
    void Finished(uint64_t copied, uint64_t kept);
    void Error(uint32_t code, const std::string& message);
    void Cancelled();

    // Minimum time between two progress lines.
    static constexpr std::chrono::milliseconds kProgressInterval{50};
    // The longest wait for room for the start line or the final line.
    static constexpr std::chrono::milliseconds kEventWait{5000};

  private:
    enum class Wait { kNever, kBounded };
    // Writes what is left of the line begun, then `line` (may be empty);
    // false when not all of it went out.
    bool Send(const std::string& line, Wait wait);
    // Writes pending_ as far as the descriptor takes it; with kBounded waits
    // for room until the deadline. False while some of it is left.
    bool Drain(Wait wait, std::chrono::steady_clock::time_point deadline);
    void Silence();
    // The last progress line that was held back, written before the final
    // event so that the reader always sees where the run stood.
    void FlushHeldProgress(std::chrono::steady_clock::time_point deadline);
    void Final(const std::string& line);

    // -1 once silenced.
    int fd_;
    // The descriptor as given, and its flags before, when this object added
    // O_NONBLOCK (-1: nothing to put back).
    int givenFd_;
    int restoreFlags_ = -1;
    bool ended_ = false;
    int lastPercent_ = -1;
    uint64_t lastDone_ = UINT64_MAX;
    std::chrono::steady_clock::time_point lastWrite_{};
    std::string heldProgress_;
    // The unwritten rest of a line begun.
    std::string pending_;
};

}  // namespace wizard
