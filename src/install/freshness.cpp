// The freshness rule; see freshness.h.
#include "install/freshness.h"


namespace install {

Freshness Judge(const FileStatus& own, const FileStatus& followed, FileTime kitTime) {
    if (!own.exists) {
        return Freshness::kNew;
    }
    const bool hasTime = followed.kind == FileKind::kFile || followed.kind == FileKind::kDirectory;
    return hasTime && followed.lastWrite >= kitTime ? Freshness::kKeep : Freshness::kUpdate;
}

const char* FreshnessWord(Freshness freshness) {
    switch (freshness) {
        case Freshness::kNew:
            return "new";
        case Freshness::kUpdate:
            return "update";
        case Freshness::kKeep:
            return "keep";
    }
    return "new";
}

PlanSummary Summarize(const std::vector<PlannedFile>& plan) {
    PlanSummary summary;
    for (const PlannedFile& file : plan) {
        switch (file.freshness) {
            case Freshness::kNew:
                ++summary.newFiles;
                summary.bytesToWrite += file.size;
                break;
            case Freshness::kUpdate:
                ++summary.updatedFiles;
                summary.bytesToWrite += file.size;
                break;
            case Freshness::kKeep:
                ++summary.keptFiles;
                break;
        }
    }
    return summary;
}

}  // namespace install
