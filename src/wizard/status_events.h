// Events for a wrapping program: one JSON object a line on a file
// descriptor, written as things happen, each line in one write.
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
// replaced, so every line parses. A failed write (the reader went away)
// silences the events for the rest of the run and changes nothing else.
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

  private:
    void WriteLine(const std::string& line);
    // The last progress line that was held back, written before any other
    // event so that the reader always sees where the run stood.
    void FlushHeldProgress();

    int fd_;
    int lastPercent_ = -1;
    uint64_t lastDone_ = UINT64_MAX;
    std::chrono::steady_clock::time_point lastWrite_{};
    std::string heldProgress_;
};

}  // namespace wizard
