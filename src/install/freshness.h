// The freshness rule in one place: what a run would do with one kit file
// given what lies at its target path. The engine decides with it, and the dry
// run reports with it, so the two can never disagree.
#pragma once
#include <cstdint>
#include <vector>

#include "fs/file_status.h"
#include "fs/file_time.h"
#include "text/basic_string.h"

namespace install {

enum class Freshness {
    kNew,     // nothing at the target: the kit's copy is written
    kUpdate,  // an older entry (or one without a usable time): moved aside, replaced
    kKeep,    // a file at least as new, in whole seconds: left alone
};

// Judges from the target's own entry (`own`, links not followed) and from
// what it leads to (`followed`). Only a regular file or a directory has a
// time: a FIFO, a device or a dangling link counts as older and is moved
// aside like any other file.
Freshness Judge(const FileStatus& own, const FileStatus& followed, FileTime kitTime);

// The same for the target path, through the file-system policy `FS`.
// Nothing is opened or changed: only the entry's status is read.
template <class FS>
Freshness JudgeFile(const stdx::string16& target, FileTime kitTime) {
    const FileStatus own = FS::Status(target);
    if (!own.exists) {
        return Freshness::kNew;
    }
    // Only a link needs a second look at what it leads to.
    return Judge(own, own.kind == FileKind::kLink ? FS::Status(target, Links::kFollowed) : own,
                 kitTime);
}

// The word the dry run prints for a judgement: "new", "update" or "keep".
const char* FreshnessWord(Freshness freshness);

// One line of a dry run: a kit file, relative to the template directory with
// "/" separators, its judgement and its size.
struct PlannedFile {
    stdx::string16 name;
    Freshness freshness = Freshness::kNew;
    uint64_t size = 0;
};

// The counts and the bytes a run would write, summed over a plan.
struct PlanSummary {
    uint64_t newFiles = 0;
    uint64_t updatedFiles = 0;
    uint64_t keptFiles = 0;
    uint64_t bytesToWrite = 0;
};
PlanSummary Summarize(const std::vector<PlannedFile>& plan);

}  // namespace install
