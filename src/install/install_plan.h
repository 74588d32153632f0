// The install plan: before anything changes, one verdict per kit file
// against the template directory. The summary question, the dry run, the
// start event and the engine's own step all judge with the rules here, so
// what the user is told is what a run does. The engine still judges each
// file again when it reaches it: the disk may change in between.
//
//   verdict   what is at the target path            what a run does
//   new       nothing                               writes the kit's copy
//   update    an older entry (or one without a      moves it aside, writes
//             usable time: FIFO, device, dangling   the kit's copy
//             link)
//   keep      a file at least as new, in whole      nothing
//             seconds
//   blocked   a directory where the file goes, a    fails there and rolls
//             file where a directory goes, a name   back
//             the kit may not use or the file
//             system refuses
#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "fs/file_status.h"
#include "fs/file_time.h"
#include "fs/path.h"
#include "kit/kit_name.h"
#include "text/basic_string.h"
#include "text/string_util.h"

namespace install {

enum class Verdict {
    kNew,
    kUpdate,
    kKeep,
    kBlocked,
};

// Why a file is blocked.
enum class Blocker {
    kNone,
    kUnsafeName,         // empty, absolute, with a ".." part or a control character
    kDirectoryInTheWay,  // a directory stands where the file goes
    kFileInTheWay,       // a file stands where one of its directories goes
    kNameTooLong,        // a part of the path is longer than a file name may be
    kPathTooLong,        // the whole path is longer than the system takes
};

// One kit file: its name relative to the template directory ("/"
// separators), the verdict and the kit's size of it.
struct PlannedFile {
    stdx::string16 name;
    Verdict verdict = Verdict::kNew;
    Blocker blocker = Blocker::kNone;
    uint64_t size = 0;
};

// The counts and the bytes a run would write, summed over a plan.
struct PlanSummary {
    uint64_t newFiles = 0;
    uint64_t updatedFiles = 0;
    uint64_t keptFiles = 0;
    uint64_t blockedFiles = 0;
    uint64_t bytesToWrite = 0;
};
PlanSummary Summarize(const std::vector<PlannedFile>& plan);
// The first blocked file of a plan, or nullptr.
const PlannedFile* FirstBlocked(const std::vector<PlannedFile>& plan);

// "new", "update", "keep", "blocked".
const char* VerdictWord(Verdict verdict);
// The reason in a few English words, for the plan's lines.
const char* BlockerText(Blocker blocker);

// The verdict from the target's own entry (`own`, links not followed) and
// what it leads to (`followed`). Only a regular file or a directory has a
// time: a FIFO, a device or a dangling link counts as older and is moved
// aside like any other file. A directory blocks; a link to one is a name.
Verdict Judge(const FileStatus& own, const FileStatus& followed, FileTime kitTime,
              Blocker* blocker);

// The name checks that need no disk: safe for the kit, and short enough for
// the file system once joined to `dir` (in the locale's encoding).
Blocker CheckName(const stdx::string16& dir, const stdx::string16& name);

// The verdict of one target path through the file-system policy `FS`:
// status only, nothing opened or changed. `own` receives the entry's own
// status for a caller that acts on it.
template <class FS>
Verdict JudgeTarget(const stdx::string16& target, FileTime kitTime, Blocker* blocker,
                    FileStatus* own = nullptr) {
    const FileStatus status = FS::Status(target);
    if (own != nullptr) {
        *own = status;
    }
    // Only a link needs a second look at what it leads to.
    return Judge(status,
                 status.kind == FileKind::kLink ? FS::Status(target, Links::kFollowed) : status,
                 kitTime, blocker);
}

// Plans a kit against a template directory. Each directory on the way is
// looked at once, however many files lie in it.
template <class FS>
class Planner {
  public:
    explicit Planner(const stdx::string16& templateDir)
        : dir_(fspath::WithTrailingSeparator(templateDir)) {}

    // `kitName` as the kit has it ("\" separators allowed).
    PlannedFile Plan(const stdx::string16& kitName, FileTime kitTime, uint64_t size) {
        PlannedFile planned;
        planned.name = kitName;
        stdx::replace_all(planned.name, u"\\", u"/");
        planned.size = size;
        planned.blocker = CheckName(dir_, planned.name);
        if (planned.blocker == Blocker::kNone) {
            planned.blocker = CheckDirectories(planned.name);
        }
        if (planned.blocker != Blocker::kNone) {
            planned.verdict = Verdict::kBlocked;
            return planned;
        }
        planned.verdict = JudgeTarget<FS>(dir_ + planned.name, kitTime, &planned.blocker);
        return planned;
    }

  private:
    // Every directory between the template directory and the file: a
    // directory (or a link to one) or nothing is fine, anything else blocks.
    Blocker CheckDirectories(const stdx::string16& name) {
        for (size_t slash = name.find(u'/'); slash != stdx::string16::npos;
             slash = name.find(u'/', slash + 1)) {
            const stdx::string16 level = name.substr(0, slash);
            auto known = levels_.find(level);
            if (known == levels_.end()) {
                const FileStatus status = FS::Status(dir_ + level, Links::kFollowed);
                const Level found = !status.exists                        ? Level::kMissing
                                    : status.kind == FileKind::kDirectory ? Level::kDirectory
                                                                          : Level::kOther;
                known = levels_.emplace(level, found).first;
            }
            if (known->second == Level::kOther) {
                return Blocker::kFileInTheWay;
            }
            if (known->second == Level::kMissing) {
                return Blocker::kNone;  // everything below is made by the run
            }
        }
        return Blocker::kNone;
    }

    enum class Level { kMissing, kDirectory, kOther };
    struct Hash {
        size_t operator()(const stdx::string16& s) const {
            size_t h = 1469598103934665603ull;
            for (char16_t c : s) {
                h = (h ^ size_t(c)) * 1099511628211ull;
            }
            return h;
        }
    };
    stdx::string16 dir_;
    std::unordered_map<stdx::string16, Level, Hash> levels_;
};

// The whole kit against `templateDir`, in the kit's order.
template <class FS, class Kit>
std::vector<PlannedFile> MakePlan(const Kit& kit, const stdx::string16& templateDir) {
    Planner<FS> planner(templateDir);
    std::vector<PlannedFile> plan;
    plan.reserve(kit.files.size());
    for (const auto& entry : kit.files) {
        plan.push_back(planner.Plan(entry.name, entry.time, entry.size));
    }
    return plan;
}

}  // namespace install
