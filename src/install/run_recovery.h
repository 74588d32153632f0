// Undoes, at the next start, the installation runs whose process died: each
// record T/kvtmpN.journal (run_journal.h) in the temporary directory that
// belongs to this user and whose lock is free names a template directory and
// what the run did to it.
//
// The undo is the run's own rollback, made safe for a directory the user may
// have used since, and it can be repeated: a start killed halfway through a
// recovery recovers at the following start.
//   1. New files go, newest first, but only while they are still what the
//      run wrote (same size and modification time; a file the run was
//      writing when it died has no such entry and goes when it is a plain
//      file). Anything else is left alone and reported.
//   2. Directories the run created go, deepest first, only when empty.
//   3. Earlier versions move back from the staging directory: those whose
//      move into it had completed, and any whose place is empty. One that
//      fails is tried once more at the end.
//   4. The staging directory goes, and the record last; both stay when an
//      earlier version could not be put back.
// A finished run (its record ends with kCommitted) is only cleaned up.
// Nothing follows a symbolic link: a path below the template directory
// whose directories are not all real directories is left alone. A record
// that cannot be read, names a staging directory other than its own, or
// names a path outside its template directory is never acted on.
#pragma once
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "fs/file_find.h"
#include "fs/file_status.h"
#include "fs/file_time.h"
#include "fs/fs_codes.h"
#include "install/run_journal.h"
#include "text/basic_string.h"

namespace install {

enum class RecoveryOutcome {
    kLive,        // a live run holds the record: not touched
    kUndone,      // the template directory is as it was before the run
    kFinished,    // the run had finished; only its leftovers were removed
    kIncomplete,  // some files were left alone or could not be put back
    kUnreadable,  // the record was not understood, or refused: left alone
};

struct RecoveredRun {
    RecoveryOutcome outcome = RecoveryOutcome::kUnreadable;
    stdx::string16 record;       // the record's path
    stdx::string16 templateDir;  // ends with "/"; empty when unreadable
    // kIncomplete: the staging directory kept with the earlier versions
    // that could not be put back; empty when all went back.
    stdx::string16 keptFolder;
    // Whether the run had changed anything at all.
    bool changed = false;
};

// Path checks on a record's contents (run_recovery.cpp).
namespace recoverydetail {
// "/" first and last, no empty, "." or ".." component.
bool IsCleanDirectory(const stdx::string16& dir);
// `path` lies strictly below the clean directory `dir` and has no empty,
// "." or ".." component.
bool IsBelow(const stdx::string16& dir, const stdx::string16& path);
// `path` (no trailing "/") is `dir` itself or one of its ancestors.
bool IsDirectoryOrAncestor(const stdx::string16& dir, const stdx::string16& path);
// "kvtmpN.journal" with N decimal digits: the staging name "kvtmpN", else "".
stdx::string16 StagingNameOfRecord(const stdx::string16& recordName);
}  // namespace recoverydetail

template <class FS>
class RunRecovery {
  public:
    // Largest record read; a real one is a few hundred bytes per file.
    static constexpr std::int64_t kMaxRecordSize = 256ll << 20;

    // Every record of a dead run in the temporary directory, one by one.
    std::vector<RecoveredRun> RecoverAll() { return ForEachRecord(Act::kUndo); }

    // What RecoverAll would do, changing nothing: each dead run's record
    // read (kUndone: it would be undone) or found unreadable. The lock taken
    // to tell a live run from a dead one goes with the handle.
    std::vector<RecoveredRun> Survey() { return ForEachRecord(Act::kLookOnly); }

    // The record at `record`, which lies in the temporary directory `temp`
    // (ending with "/").
    RecoveredRun RecoverOne(const stdx::string16& temp, const stdx::string16& record) {
        return Visit(temp, record, Act::kUndo);
    }

  private:
    enum class Act { kUndo, kLookOnly };

    std::vector<RecoveredRun> ForEachRecord(Act act) {
        stdx::string16 temp;
        FS::GetTempPath(temp);
        if (!temp.empty() && temp.back() != u'/') {
            temp.push_back(u'/');
        }
        std::vector<stdx::string16> records;
        FileFind find;
        for (bool more = FS::FindFirstFile(find, temp + u"kvtmp*.journal"); more;
             more = FS::FindNextFile(find)) {
            const stdx::string16 name = FS::GetFindFileName(find);
            if (!recoverydetail::StagingNameOfRecord(name).empty()) {
                records.push_back(temp + name);
            }
        }
        FS::FindClose(find);
        std::vector<RecoveredRun> runs;
        for (const stdx::string16& record : records) {
            RecoveredRun run = Visit(temp, record, act);
            if (run.outcome != RecoveryOutcome::kLive) {
                runs.push_back(run);
            }
        }
        return runs;
    }

    RecoveredRun Visit(const stdx::string16& temp, const stdx::string16& record, Act act) {
        RecoveredRun run;
        run.record = record;
        typename FS::Handle handle = typename FS::Handle(-1);
        // Refuses links, anything but a plain file, and other users' files.
        if (FS::OpenPrivateFile(record, &handle) != 0) {
            return run;
        }
        HandleCloser closer{handle};
        if (FS::TryLockFile(handle) != 0) {
            run.outcome = RecoveryOutcome::kLive;
            return run;
        }
        JournalContents contents;
        if (!ReadRecord(handle, contents)) {
            return run;
        }
        if (act == Act::kLookOnly) {
            if (contents.templateDir.empty() || IsAcceptable(temp, record, contents)) {
                run.templateDir = contents.templateDir;
                run.outcome = RecoveryOutcome::kUndone;
                run.changed = !contents.entries.empty();
            }
            return run;
        }
        if (contents.templateDir.empty()) {
            // Its staging directory, if any, was never this run's.
            FS::DeleteFile(record);
            run.outcome = RecoveryOutcome::kUndone;
            return run;
        }
        if (!IsAcceptable(temp, record, contents)) {
            return run;
        }
        run.templateDir = contents.templateDir;
        Undo(contents, run);
        if (run.keptFolder.empty()) {
            FS::RemoveDirectory(contents.stagingDir);
            // Deleted while still locked, so no other start takes it up.
            FS::DeleteFile(record);
        }
        return run;
    }

  private:
    struct HandleCloser {
        typename FS::Handle handle;
        ~HandleCloser() { FS::CloseHandle(handle); }
    };
    struct Written {
        bool known = false;
        std::uint64_t size = 0;
        std::int64_t seconds = 0;
    };

    static bool ReadRecord(typename FS::Handle handle, JournalContents& contents) {
        const std::int64_t size = FS::SetFilePointer(handle, 0, fsflag::kFileEnd);
        if (size < 0 || size > kMaxRecordSize || FS::SetFilePointer(handle, 0, 0) != 0) {
            return false;
        }
        std::string bytes(std::size_t(size), '\0');
        std::uint32_t got = 0;
        if (size > 0 && (FS::ReadFile(handle, &bytes[0], std::uint32_t(size), &got, nullptr) != 0 ||
                         got != std::uint32_t(size))) {
            return false;
        }
        return ParseJournal(bytes, contents);
    }

    static bool IsAcceptable(const stdx::string16& temp, const stdx::string16& record,
                             const JournalContents& contents) {
        const stdx::string16 name = record.substr(temp.size());
        const stdx::string16 staging = recoverydetail::StagingNameOfRecord(name);
        if (staging.empty() || contents.stagingDir != temp + staging + u"/" ||
            !recoverydetail::IsCleanDirectory(contents.templateDir)) {
            return false;
        }
        for (const JournalEntry& e : contents.entries) {
            if (e.kind == JournalKind::kCommitted) {
                continue;
            }
            if (recoverydetail::IsBelow(contents.templateDir, e.path)) {
                continue;
            }
            // A template directory that did not exist was made with its
            // missing parents.
            if (e.kind == JournalKind::kDirectory &&
                recoverydetail::IsDirectoryOrAncestor(contents.templateDir, e.path)) {
                continue;
            }
            return false;
        }
        return true;
    }

    void Undo(const JournalContents& contents, RecoveredRun& run) {
        std::vector<stdx::string16> newFiles;
        std::vector<stdx::string16> dirs;
        std::vector<stdx::string16> backups;
        std::unordered_map<stdx::string16, Written> written;
        std::unordered_map<stdx::string16, bool> saved;
        bool committed = false;
        for (const JournalEntry& e : contents.entries) {
            switch (e.kind) {
                case JournalKind::kNewFile:
                    newFiles.push_back(e.path);
                    written[e.path] = Written();
                    break;
                case JournalKind::kWritten:
                    written[e.path] = Written{true, e.size, e.seconds};
                    break;
                case JournalKind::kDirectory:
                    dirs.push_back(e.path);
                    break;
                case JournalKind::kBackup:
                    backups.push_back(e.path);
                    break;
                case JournalKind::kSaved:
                    saved[e.path] = true;
                    break;
                case JournalKind::kCommitted:
                    committed = true;
                    break;
                default:
                    break;
            }
        }
        run.changed = !newFiles.empty() || !dirs.empty() || !backups.empty();
        if (committed) {
            run.outcome = RecoveryOutcome::kFinished;
            return;
        }
        const stdx::string16& root = contents.templateDir;
        bool leftAlone = false;
        for (size_t i = newFiles.size(); i-- > 0;) {
            leftAlone |= !RemoveNewFile(root, newFiles[i], written[newFiles[i]]);
        }
        for (size_t i = dirs.size(); i-- > 0;) {
            leftAlone |= !RemoveCreatedDirectory(root, dirs[i]);
        }
        std::vector<stdx::string16> failed;
        for (const stdx::string16& target : backups) {
            if (!Restore(contents, target, saved.count(target) != 0)) {
                failed.push_back(target);
            }
        }
        bool restoreFailed = false;
        for (const stdx::string16& target : failed) {
            restoreFailed |= !Restore(contents, target, saved.count(target) != 0);
        }
        if (restoreFailed) {
            run.keptFolder = contents.stagingDir;
        }
        run.outcome =
            leftAlone || restoreFailed ? RecoveryOutcome::kIncomplete : RecoveryOutcome::kUndone;
    }

    // True when nothing of the run is left at `path`.
    static bool RemoveNewFile(const stdx::string16& root, const stdx::string16& path,
                              const Written& w) {
        if (!RealDirectoriesBetween(root, path)) {
            return false;
        }
        const FileStatus status = FS::Status(path);
        if (!status.exists) {
            return true;
        }
        if (status.kind != FileKind::kFile ||
            (w.known &&
             (status.size != w.size || filetime::ToPosixSeconds(status.lastWrite) != w.seconds))) {
            return false;
        }
        FS::DeleteFile(path);
        return !FS::Status(path).exists;
    }

    static bool RemoveCreatedDirectory(const stdx::string16& root, const stdx::string16& path) {
        if (recoverydetail::IsBelow(root, path) && !RealDirectoriesBetween(root, path)) {
            return false;
        }
        const FileStatus status = FS::Status(path);
        if (!status.exists) {
            return true;
        }
        if (status.kind != FileKind::kDirectory) {
            return false;
        }
        const std::uint32_t result = FS::RemoveEmptyDirectory(path);
        return result == 0 || result == fserror::kFileNotFound;
    }

    // True when the earlier version of `target` is back, or was never away.
    static bool Restore(const JournalContents& contents, const stdx::string16& target,
                        bool moveCompleted) {
        const stdx::string16 backup =
            contents.stagingDir + target.substr(contents.templateDir.size());
        const FileStatus saved = FS::Status(backup);
        if (!saved.exists || saved.kind == FileKind::kDirectory) {
            return true;
        }
        if (!RealDirectoriesBetween(contents.templateDir, target)) {
            return false;
        }
        const FileStatus inPlace = FS::Status(target);
        const bool occupied = inPlace.exists;
        // The move into staging never completed: what is in place is the
        // earlier version itself, and the staging copy is a leftover.
        if (!moveCompleted && occupied) {
            return true;
        }
        if (inPlace.kind == FileKind::kDirectory) {
            return false;
        }
        return FS::MoveFile(backup, target) == 0;
    }

    // Every directory from below `root` down to `path`'s parent is a real
    // directory, or missing; never a link.
    static bool RealDirectoriesBetween(const stdx::string16& root, const stdx::string16& path) {
        for (size_t slash = path.find(u'/', root.size()); slash != stdx::string16::npos;
             slash = path.find(u'/', slash + 1)) {
            const FileStatus status = FS::Status(path.substr(0, slash));
            if (!status.exists) {
                return true;
            }
            if (status.kind != FileKind::kDirectory) {
                return false;
            }
        }
        return true;
    }
};

}  // namespace install
