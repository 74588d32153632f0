// Undoes, at the next start, the installation runs whose process died: each
// record P/kvtmpN.journal (run_journal.h) in one of this user's places
// (run_place.h), or, from the previous version, in the temporary directory,
// that is this user's own and whose lock is free, names a template
// directory and what the run did to it.
//
// Recovery trusts neither the record nor the disk. It acts only on a record,
// place and staging folder that are this user's own, private (no bit for
// group or others) and no link; anything else is refused and reported. It
// walks below the template directory and the staging folder one level at a
// time from directory handles, never through a link, and it touches a file
// only while its identity (device, inode, size, modification time) is what
// the record says the run left there:
//   1. Each path the run announced, newest first: when the staging folder
//      holds its earlier version, that goes back (by rename) if the place is
//      empty or holds the run's file; when it holds none, the run's file
//      goes. Anything else at the place (the user's edit, a file the user
//      wrote where the run had been writing) is left alone and reported,
//      and the earlier version it would have replaced stays in the staging
//      folder, which the outcome names as kept: never deleted.
//   2. Directories the run created go, deepest first, only when empty.
//   3. The directories the run changed get their times back, each only
//      while it is the directory the run found there.
//   4. The staging folder goes (unless it keeps earlier versions), then the
//      record last; the record stays when a move back failed, so the next
//      start tries again.
// A finished run (its record ends with kCommitted) is only cleaned up. The
// template directory is locked (as a run locks it) while it is worked on; a
// record whose template directory a live run holds is left for later.
//
// A record of the previous layout carries no identities: its new files go
// when their size and time are the run's (or, for the file the run was
// writing, when it is a plain file), and its earlier versions go back over
// what is in their place, as that version's recovery did.
//
// Survey() says what RecoverAll() would do, run by run, and changes nothing:
// it writes nothing, and the locks it tries go with the handles it closes.
#pragma once
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "fs/file_find.h"
#include "fs/file_status.h"
#include "fs/file_system.h"
#include "fs/file_time.h"
#include "fs/fs_codes.h"
#include "fs/path.h"
#include "install/run_journal.h"
#include "install/run_place.h"
#include "text/basic_string.h"

namespace install {

enum class RecoveryOutcome {
    kLive,        // a live run holds the record or its template directory: not touched
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
    // kUnreadable: refused rather than not understood: the record, its
    // place or its staging folder is another user's, open to others, or a
    // link.
    bool refused = false;
    // Paths below the template directory left as they are: changed since
    // the run, or in the way of an earlier version.
    std::vector<stdx::string16> leftAlone;
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
    using Handle = typename FS::Handle;
    // Largest record read; a real one is a few hundred bytes per file.
    static constexpr std::int64_t kMaxRecordSize = 256ll << 20;

    // Every record of a dead run of this user, one by one.
    std::vector<RecoveredRun> RecoverAll() { return Walk(Mode::kAct); }
    // What RecoverAll would do now; changes nothing.
    std::vector<RecoveredRun> Survey() { return Walk(Mode::kSurvey); }

  private:
    enum class Mode { kAct, kSurvey };
    // Whether others may create names in a place: then a record that is not
    // this user's is someone else's business, not a refusal to report.
    enum class Place { kPrivate, kShared };
    static constexpr Handle kInvalid = Handle(-1);

    struct Closer {
        Handle handle = kInvalid;
        Closer() = default;
        Closer(const Closer&) = delete;
        Closer& operator=(const Closer&) = delete;
        ~Closer() { Reset(); }
        void Reset() {
            if (handle != kInvalid) {
                FS::CloseHandle(handle);
            }
            handle = kInvalid;
        }
    };
    struct Seen {
        bool known = false;
        std::uint64_t size = 0;
        std::int64_t seconds = 0;
        FileIdentity identity;
    };
    // What one record says, sorted by what recovery does with it.
    struct Plan {
        bool identities = true;
        bool committed = false;
        std::vector<stdx::string16> paths;            // announced, first appearance order
        std::unordered_set<stdx::string16> newFiles;  // previous layout's kNewFile
        std::unordered_map<stdx::string16, Seen> written;
        std::unordered_map<stdx::string16, Seen> backups;
        std::unordered_set<stdx::string16> saved;
        std::vector<stdx::string16> dirs;
        std::vector<JournalEntry> times;
    };
    // The state of one walk below a directory handle.
    struct Spot {
        std::uint32_t result = 0;  // 0; 2: a level is missing; 87: a link or file on the way
        Closer parent;
        stdx::string16 name;
        FileStatus status;  // of the entry itself, never followed
        stdx::string16 At() const { return FS::PathInDirectory(parent.handle, name); }
    };

    Mode mode_ = Mode::kAct;

    std::vector<RecoveredRun> Walk(Mode mode) {
        mode_ = mode;
        std::vector<RecoveredRun> runs;
        const stdx::string16 temporary = RunPlaces<FS>::TemporaryPlace();
        for (const stdx::string16& place : RunPlaces<FS>::Known()) {
            Closer handle;
            const std::uint32_t opened = FS::OpenPrivateDirectory(place, &handle.handle);
            if (opened == fserror::kFileNotFound) {
                continue;
            }
            if (opened != 0) {
                handle.handle = kInvalid;
                // A name in the shared temporary directory that someone else
                // holds was never this user's place.
                if (place != temporary) {
                    RecoveredRun run;
                    run.record = place;
                    run.refused = true;
                    runs.push_back(run);
                }
                continue;
            }
            ScanPlace(place, handle.handle, Place::kPrivate, runs);
        }
        // The previous version's records lie in the temporary directory itself.
        stdx::string16 temp;
        FS::GetTempPath(temp);
        temp = fspath::WithTrailingSeparator(temp);
        Closer shared;
        if (FS::OpenDirectory(temp, &shared.handle) == 0) {
            ScanPlace(temp, shared.handle, Place::kShared, runs);
        } else {
            shared.handle = kInvalid;
        }
        return runs;
    }

    void ScanPlace(const stdx::string16& place, Handle handle, Place kind,
                   std::vector<RecoveredRun>& runs) {
        std::vector<stdx::string16> names;
        FileFind find;
        for (bool more = FS::FindFirstFile(find, FS::PathInDirectory(handle, u"kvtmp*.journal"));
             more; more = FS::FindNextFile(find)) {
            const stdx::string16 name = FS::GetFindFileName(find);
            if (!recoverydetail::StagingNameOfRecord(name).empty()) {
                names.push_back(name);
            }
        }
        FS::FindClose(find);
        for (const stdx::string16& name : names) {
            bool someoneElses = false;
            RecoveredRun run = RecoverOne(place, handle, name, kind, someoneElses);
            if (run.outcome != RecoveryOutcome::kLive && !someoneElses) {
                runs.push_back(run);
            }
        }
    }

    RecoveredRun RecoverOne(const stdx::string16& place, Handle placeHandle,
                            const stdx::string16& name, Place kind, bool& someoneElses) {
        RecoveredRun run;
        run.record = place + name;
        const stdx::string16 stagingName = recoverydetail::StagingNameOfRecord(name);
        Closer record;
        // Refuses links, anything but a plain file, other users' files and
        // open modes.
        const std::uint32_t opened =
            FS::OpenPrivateFile(FS::PathInDirectory(placeHandle, name), &record.handle);
        if (opened != 0) {
            record.handle = kInvalid;
            someoneElses = kind == Place::kShared;
            run.refused = opened != fserror::kFileNotFound;
            if (opened == fserror::kFileNotFound) {
                run.outcome = RecoveryOutcome::kLive;  // gone meanwhile: its run ended
            }
            return run;
        }
        if (FS::TryLockFile(record.handle) != 0) {
            run.outcome = RecoveryOutcome::kLive;
            return run;
        }
        JournalContents contents;
        if (!ReadRecord(record.handle, contents)) {
            return run;
        }
        const stdx::string16 recordAt = FS::PathInDirectory(placeHandle, name);
        if (contents.templateDir.empty()) {
            // Its staging directory, if any, was never this run's.
            Act([&] { FS::DeleteFile(recordAt); });
            run.outcome = RecoveryOutcome::kUndone;
            return run;
        }
        if (!IsAcceptable(place, stagingName, contents)) {
            return run;
        }
        run.templateDir = contents.templateDir;
        // The staging folder and the folder of files on their way in: this
        // user's own and private, or refused.
        Closer staging;
        Closer incoming;
        if (!OpenOwn(placeHandle, stagingName, staging) ||
            !OpenOwn(placeHandle, stagingName + u".new", incoming)) {
            run.refused = true;
            run.templateDir.clear();
            return run;
        }
        Closer root;
        if (FS::OpenDirectory(contents.templateDir, &root.handle) != 0) {
            root.handle = kInvalid;
        }
        const FileStatus rootStatus = FS::HandleStatus(root.handle);
        const bool sameRoot =
            rootStatus.kind == FileKind::kDirectory &&
            (!contents.identities || (rootStatus.device == contents.templateIdentity.device &&
                                      rootStatus.inode == contents.templateIdentity.inode));
        TemplateLock<FS> lock;
        if (sameRoot && mode_ == Mode::kAct &&
            lock.Take(root.handle, fspath::WithoutTrailingSeparators(contents.templateDir)) != 0) {
            run.outcome = RecoveryOutcome::kLive;
            return run;
        }
        const Plan plan = PlanOf(contents);
        bool retry = false;
        if (plan.committed) {
            run.outcome = RecoveryOutcome::kFinished;
            run.changed = true;
        } else if (!sameRoot) {
            // The template directory is gone or another one: nothing in it
            // is the run's to touch, and the earlier versions stay.
            run.outcome = RecoveryOutcome::kIncomplete;
            run.leftAlone.push_back(contents.templateDir);
            retry = true;
        } else {
            Undo(contents, plan, root.handle, staging.handle, run, retry);
        }
        const bool keep = run.outcome == RecoveryOutcome::kIncomplete && HoldsFiles(staging.handle);
        if (keep) {
            run.keptFolder = contents.stagingDir;
        }
        Act([&] {
            FS::RemoveDirectory(FS::PathInDirectory(placeHandle, stagingName + u".new"));
            if (!keep) {
                FS::RemoveDirectory(FS::PathInDirectory(placeHandle, stagingName));
            }
            // Deleted while still locked, so no other start takes it up. A
            // record whose moves back failed stays for the next start.
            if (!(keep && retry)) {
                FS::DeleteFile(recordAt);
            }
        });
        return run;
    }

    template <class Step>
    void Act(Step step) {
        if (mode_ == Mode::kAct) {
            step();
        }
    }

    // Opens `name` in `place` when it is there: false when it is there but
    // not this user's own private directory (a link, a file, another
    // owner's, open to others).
    static bool OpenOwn(Handle place, const stdx::string16& name, Closer& out) {
        const std::uint32_t result = FS::OpenSubdirectory(place, name, &out.handle);
        if (result == fserror::kFileNotFound) {
            out.handle = kInvalid;
            return !FS::Status(FS::PathInDirectory(place, name)).exists;
        }
        if (result != 0) {
            out.handle = kInvalid;
            return false;
        }
        return FS::CheckPrivate(out.handle) == 0;
    }

    static bool ReadRecord(Handle handle, JournalContents& contents) {
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

    static bool IsAcceptable(const stdx::string16& place, const stdx::string16& stagingName,
                             const JournalContents& contents) {
        if (contents.stagingDir != place + stagingName + u"/" ||
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
            // The template directory itself changes (files directly in it).
            if (e.kind == JournalKind::kTimes &&
                e.path == fspath::WithoutTrailingSeparators(contents.templateDir)) {
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

    static Plan PlanOf(const JournalContents& contents) {
        Plan plan;
        plan.identities = contents.identities;
        std::unordered_set<stdx::string16> announced;
        auto announce = [&](const stdx::string16& path) {
            if (announced.insert(path).second) {
                plan.paths.push_back(path);
            }
        };
        for (const JournalEntry& e : contents.entries) {
            const Seen seen{true, e.size, e.seconds, e.identity};
            switch (e.kind) {
                case JournalKind::kPath:
                    announce(e.path);
                    break;
                case JournalKind::kNewFile:
                    announce(e.path);
                    plan.newFiles.insert(e.path);
                    break;
                case JournalKind::kBackup:
                    announce(e.path);
                    plan.backups[e.path] = seen;
                    break;
                case JournalKind::kSaved:
                    plan.saved.insert(e.path);
                    break;
                case JournalKind::kWritten:
                    plan.written[e.path] = seen;
                    break;
                case JournalKind::kDirectory:
                    if (recoverydetail::IsBelow(contents.templateDir, e.path)) {
                        plan.dirs.push_back(e.path);
                    }
                    break;
                case JournalKind::kTimes:
                    plan.times.push_back(e);
                    break;
                case JournalKind::kCommitted:
                    plan.committed = true;
                    break;
                default:
                    break;
            }
        }
        return plan;
    }

    void Undo(const JournalContents& contents, const Plan& plan, Handle root, Handle staging,
              RecoveredRun& run, bool& retry) {
        const stdx::string16& templateDir = contents.templateDir;
        bool changed = false;
        for (size_t i = plan.paths.size(); i-- > 0;) {
            const stdx::string16& path = plan.paths[i];
            const stdx::string16 rel = path.substr(templateDir.size());
            Spot copy;
            Find(staging, rel, copy);
            Spot place;
            Find(root, rel, place);
            const bool hasCopy =
                copy.result == 0 && copy.status.exists && copy.status.kind != FileKind::kDirectory;
            const auto written = plan.written.find(path);
            const bool isRuns = place.result == 0 && written != plan.written.end() &&
                                Matches(place.status, written->second, plan.identities);
            if (place.result == fserror::kInvalidParameter) {
                // A link or a file where a directory was: nothing is reached
                // through it, and an earlier version waiting for it stays.
                if (hasCopy || written != plan.written.end() || plan.newFiles.count(path) != 0) {
                    run.leftAlone.push_back(path);
                }
                continue;
            }
            const bool empty = place.result != 0 || !place.status.exists;
            if (hasCopy) {
                changed = true;
                const auto backup = plan.backups.find(path);
                const bool saved = plan.saved.count(path) != 0;
                if (!empty && backup != plan.backups.end() && plan.identities &&
                    SameFile(place.status, backup->second)) {
                    continue;  // the move never finished: the earlier version is in place
                }
                if (!empty && !plan.identities && !saved) {
                    continue;  // the same, as the previous layout tells it
                }
                const bool replace =
                    isRuns || (!plan.identities && saved && place.status.kind == FileKind::kFile);
                if (!empty && !replace) {
                    run.leftAlone.push_back(path);
                    continue;
                }
                if (place.result != 0) {
                    // A directory on its way is gone: the earlier version
                    // has nowhere to go back to.
                    run.leftAlone.push_back(path);
                    continue;
                }
                if (mode_ == Mode::kAct && !MoveBack(copy, place, replace)) {
                    retry = true;
                }
                continue;
            }
            if (empty) {
                continue;
            }
            const bool replaced = plan.backups.count(path) != 0;
            const bool legacyUnfinished = !plan.identities && plan.newFiles.count(path) != 0 &&
                                          written == plan.written.end() &&
                                          place.status.kind == FileKind::kFile;
            if ((isRuns && !replaced) || legacyUnfinished) {
                changed = true;
                Act([&] { FS::DeleteFile(place.At()); });
                continue;
            }
            if (written != plan.written.end()) {
                changed = true;
                run.leftAlone.push_back(path);
            }
        }
        for (size_t i = plan.dirs.size(); i-- > 0;) {
            const stdx::string16& dir = plan.dirs[i];
            Spot spot;
            Find(root, dir.substr(templateDir.size()), spot);
            if (spot.result == fserror::kInvalidParameter) {
                run.leftAlone.push_back(dir);
                continue;
            }
            if (spot.result != 0 || !spot.status.exists) {
                continue;
            }
            if (spot.status.kind != FileKind::kDirectory) {
                run.leftAlone.push_back(dir);  // a link or a file in its place
                continue;
            }
            changed = true;
            if (mode_ == Mode::kSurvey) {
                if (HoldsAnything(spot.parent.handle, spot.name, plan, dir)) {
                    run.leftAlone.push_back(dir);
                }
                continue;
            }
            const std::uint32_t removed = FS::RemoveEmptyDirectory(spot.At());
            if (removed != 0 && removed != fserror::kFileNotFound) {
                run.leftAlone.push_back(dir);
            }
        }
        for (size_t i = plan.times.size(); i-- > 0;) {
            Act([&] { SetTimeBack(root, templateDir, plan.times[i]); });
        }
        run.changed = changed;
        run.outcome = run.leftAlone.empty() && !retry ? RecoveryOutcome::kUndone
                                                      : RecoveryOutcome::kIncomplete;
    }

    // In a survey: whether the created directory `dir` would still hold
    // something once the run's files in it were gone (the user's own).
    static bool HoldsAnything(Handle parent, const stdx::string16& name, const Plan& plan,
                              const stdx::string16& dir) {
        Closer handle;
        if (FS::OpenSubdirectory(parent, name, &handle.handle) != 0) {
            handle.handle = kInvalid;
            return false;
        }
        bool holds = false;
        FileFind find;
        for (bool more = FS::FindFirstFile(find, FS::PathInDirectory(handle.handle, u"*")); more;
             more = FS::FindNextFile(find)) {
            const stdx::string16 entry = FS::GetFindFileName(find);
            if (entry == u"." || entry == u"..") {
                continue;
            }
            const stdx::string16 path = dir + u"/" + entry;
            bool runs = false;
            for (const stdx::string16& d : plan.dirs) {
                runs |= d == path;
            }
            holds |= !runs && plan.written.count(path) == 0;
        }
        FS::FindClose(find);
        return holds;
    }

    // Walks from `root` down the directories of `rel` (a "/"-separated path
    // below it), never through a link; on success `spot` holds the last
    // directory open and the status of the last name in it.
    static void Find(Handle root, const stdx::string16& rel, Spot& spot) {
        spot.result = fserror::kFileNotFound;
        if (root == kInvalid) {
            return;
        }
        Handle current = root;
        size_t start = 0;
        for (;;) {
            const size_t slash = rel.find(u'/', start);
            if (slash == stdx::string16::npos) {
                break;
            }
            Handle next = kInvalid;
            const std::uint32_t result =
                FS::OpenSubdirectory(current, rel.substr(start, slash - start), &next);
            if (current != root) {
                FS::CloseHandle(current);
            }
            if (result != 0) {
                spot.result =
                    result == fserror::kFileNotFound ? result : fserror::kInvalidParameter;
                return;
            }
            current = next;
            start = slash + 1;
        }
        if (current == root) {
            // Duplicated so that the spot owns what it closes.
            if (FS::OpenSubdirectory(root, u".", &current) != 0) {
                current = kInvalid;
            }
        }
        spot.parent.handle = current;
        spot.name = rel.substr(start);
        spot.status = FS::Status(spot.At());
        spot.result = 0;
    }

    // The earlier version from `copy` back to `place`. True when it is back.
    static bool MoveBack(const Spot& copy, const Spot& place, bool replace) {
        if (replace) {
            return FS::MoveFile(copy.At(), place.At()) == 0;
        }
        std::uint32_t result = FS::MoveFileNoReplace(copy.At(), place.At());
        // A staging folder on another file system: a copy, into a place
        // that was empty a moment ago.
        if (result == fserror::kNotSameDevice) {
            result = FS::MoveFile(copy.At(), place.At());
        }
        return result == 0;
    }

    void SetTimeBack(Handle root, const stdx::string16& templateDir, const JournalEntry& e) {
        Closer dir;
        const stdx::string16 self = fspath::WithoutTrailingSeparators(templateDir);
        if (e.path == self) {
            if (FS::OpenSubdirectory(root, u".", &dir.handle) != 0) {
                dir.handle = kInvalid;
            }
        } else {
            Spot spot;
            Find(root, e.path.substr(templateDir.size()), spot);
            if (spot.result != 0 ||
                FS::OpenSubdirectory(spot.parent.handle, spot.name, &dir.handle) != 0) {
                dir.handle = kInvalid;
            }
        }
        const FileStatus now = FS::HandleStatus(dir.handle);
        if (dir.handle == kInvalid || now.device != e.identity.device ||
            now.inode != e.identity.inode) {
            return;
        }
        const FileTime time = filetime::FromPosixSeconds(e.seconds);
        FS::SetFileTime(dir.handle, nullptr, nullptr, &time);
    }

    // Whether the staging folder still holds a file (an earlier version).
    static bool HoldsFiles(Handle dir) {
        if (dir == kInvalid) {
            return false;
        }
        bool holds = false;
        FileFind find;
        for (bool more = FS::FindFirstFile(find, FS::PathInDirectory(dir, u"*")); more && !holds;
             more = FS::FindNextFile(find)) {
            const stdx::string16 name = FS::GetFindFileName(find);
            if (name == u"." || name == u"..") {
                continue;
            }
            if ((FS::GetFileAttributes(find) & fsflag::kAttributeDirectory) == 0) {
                holds = true;
                break;
            }
            Closer sub;
            if (FS::OpenSubdirectory(dir, name, &sub.handle) == 0) {
                holds = HoldsFiles(sub.handle);
            } else {
                sub.handle = kInvalid;
            }
        }
        FS::FindClose(find);
        return holds;
    }

    static bool Matches(const FileStatus& status, const Seen& seen, bool identities) {
        return status.kind == FileKind::kFile && status.size == seen.size &&
               filetime::ToPosixSeconds(status.lastWrite) == seen.seconds &&
               (!identities || SameFile(status, seen));
    }

    static bool SameFile(const FileStatus& status, const Seen& seen) {
        return status.device == seen.identity.device && status.inode == seen.identity.inode;
    }
};

}  // namespace install
