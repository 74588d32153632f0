// The plan's rules that need no file-system policy; see install_plan.h.
#include "install/install_plan.h"

#include <climits>

#include "text/string_util.h"

namespace install {

Verdict Judge(const FileStatus& own, const FileStatus& followed, FileTime kitTime,
              Blocker* blocker) {
    *blocker = Blocker::kNone;
    if (!own.exists) {
        return Verdict::kNew;
    }
    // Moving a whole directory aside could not be undone cleanly; a link to
    // one is only a name and moves like a file.
    if (own.kind == FileKind::kDirectory) {
        *blocker = Blocker::kDirectoryInTheWay;
        return Verdict::kBlocked;
    }
    const bool hasTime = followed.kind == FileKind::kFile || followed.kind == FileKind::kDirectory;
    return hasTime && followed.lastWrite >= kitTime ? Verdict::kKeep : Verdict::kUpdate;
}

Blocker CheckName(const stdx::string16& dir, const stdx::string16& name) {
    if (name.empty() || name.back() == u'/' || !kit::IsSafeKitName(name)) {
        return Blocker::kUnsafeName;
    }
    stdx::string8 native;
    if (!stdx::narrow_exact(name, native)) {
        return Blocker::kUnsafeName;
    }
    size_t start = 0;
    while (start <= native.size()) {
        size_t end = native.find('/', start);
        if (end == stdx::string8::npos) {
            end = native.size();
        }
        if (end - start > size_t(NAME_MAX)) {
            return Blocker::kNameTooLong;
        }
        start = end + 1;
    }
    stdx::string8 nativeDir;
    stdx::narrow_exact(dir, nativeDir);
    // PATH_MAX counts the terminating NUL.
    if (nativeDir.size() + native.size() >= size_t(PATH_MAX)) {
        return Blocker::kPathTooLong;
    }
    return Blocker::kNone;
}

PlanSummary Summarize(const std::vector<PlannedFile>& plan) {
    PlanSummary summary;
    for (const PlannedFile& file : plan) {
        switch (file.verdict) {
            case Verdict::kNew:
                ++summary.newFiles;
                summary.bytesToWrite += file.size;
                break;
            case Verdict::kUpdate:
                ++summary.updatedFiles;
                summary.bytesToWrite += file.size;
                break;
            case Verdict::kKeep:
                ++summary.keptFiles;
                break;
            case Verdict::kBlocked:
                ++summary.blockedFiles;
                break;
        }
    }
    return summary;
}

const PlannedFile* FirstBlocked(const std::vector<PlannedFile>& plan) {
    for (const PlannedFile& file : plan) {
        if (file.verdict == Verdict::kBlocked) {
            return &file;
        }
    }
    return nullptr;
}

const char* VerdictWord(Verdict verdict) {
    switch (verdict) {
        case Verdict::kNew:
            return "new";
        case Verdict::kUpdate:
            return "update";
        case Verdict::kKeep:
            return "keep";
        case Verdict::kBlocked:
            return "blocked";
    }
    return "new";
}

const char* BlockerText(Blocker blocker) {
    switch (blocker) {
        case Blocker::kNone:
            return "";
        case Blocker::kUnsafeName:
            return "a name the kit may not use";
        case Blocker::kDirectoryInTheWay:
            return "a directory is in the way";
        case Blocker::kFileInTheWay:
            return "a file is where a directory must be";
        case Blocker::kNameTooLong:
            return "a name too long for the file system";
        case Blocker::kPathTooLong:
            return "a path too long for the file system";
    }
    return "";
}

}  // namespace install
