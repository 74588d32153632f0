// One installation run: unpacks every file of the opened kit into the
// template directory, in the kit's table order, and undoes the whole run when
// it fails or is cancelled.
//
// Per file: a progress post, a freshness test (an existing file at least as
// new as the kit's copy is left alone), a move of the earlier version into
// the run's private staging directory, the creation of missing directories,
// the extraction into a private folder beside the staging directory, and a
// rename that puts the whole file in its place. Every directory and every
// new file the run makes is recorded, so the rollback leaves the template
// directory exactly as it was: new files deleted and created directories
// removed deepest first (which frees the space a full disk needs for the
// next step), earlier versions moved back, directory times set back, then
// the staging directory removed.
//
// The same record goes to disk (run_journal.h) ahead of the changes, so that
// the next start can undo a run whose process died (run_recovery.h): the
// paths, new directories and directory times of the next batch of files
// with one fdatasync before the first of them is touched, and the identity
// of each file the run writes before it takes its place. The staging directory lies on the
// template directory's file system (run_place.h), so moves are renames.
// After the last file the template directory's file system is synced before
// the staging directory, the only copy of the earlier versions, goes.
//
// A template over the file-system policy and the kit type, so that tests can
// run it on a policy that injects faults. InstallEngine is the real one.
#pragma once
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <type_traits>
#include <unordered_set>
#include <vector>

#include "fs/file_find.h"
#include "fs/file_system.h"
#include "fs/fs_codes.h"
#include "fs/path.h"
#include "install/failure_detail.h"
#include "install/image_after_run.h"
#include "install/install_plan.h"
#include "install/install_process_data.h"
#include "install/install_transaction.h"
#include "install/run_identities.h"
#include "install/run_journal.h"
#include "install/run_place.h"
#include "kit/install_data.h"
#include "kit/kit_name.h"
#include "kit/lz_compressor.h"
#include "l10n/localization.h"
#include "text/basic_string.h"
#include "text/string_util.h"

template <class FS, class Kit>
class BasicInstallEngine {
  public:
    // Staging names tried (kvtmp0, kvtmp1, ...) before the run gives up.
    static constexpr int kMaxStagingAttempts = 10000;
    // Files whose record entries reach the disk with one fdatasync, ahead
    // of the first of them: kBatchFiles at first, then as many as are done
    // already, up to kMaxBatchFiles, so that a run of n files syncs its
    // record about log(n) times plus n / kMaxBatchFiles (each sync also
    // waits for the data written since the last one, see
    // bench/journal_cost.cpp).
    static constexpr size_t kBatchFiles = 256;
    static constexpr size_t kMaxBatchFiles = 16384;

    std::vector<InstallTransaction> transactions;
    InstallProcessData* channel = nullptr;
    // Pause after the finish post; tests shorten it.
    int finishPauseMilliseconds = 1000;
    // Whether a finished run closes the kit's image before the sync.
    install::ImageAfterRun imageAfterRun = install::ImageAfterRun::kKept;
    // The kit of the run (RunJob), for the image's release.
    Kit* runKit = nullptr;
    // The first failure of the run: the path and the system's error number
    // (0 when the reason is the engine's own, such as a bad kit name).
    stdx::string16 failedPath;
    int failedErrno = 0;
    // Files of the current run written, and kept because they were at
    // least as new.
    uint64_t copiedFiles = 0;
    uint64_t keptFiles = 0;

    BasicInstallEngine() = default;
    BasicInstallEngine(const BasicInstallEngine&) = delete;
    BasicInstallEngine& operator=(const BasicInstallEngine&) = delete;
    ~BasicInstallEngine() { ReleaseLock(); }

    // Reads the job from the channel and runs it. 0, an error code, or 1223.
    uint32_t Run(InstallProcessData* data) {
        static_assert(std::is_same<Kit, InstallProcessData::Kit>::value,
                      "the channel carries the real kit type; use RunJob");
        if (data == nullptr) {
            return fserror::kInvalidParameter;
        }
        Kit* kit = nullptr;
        stdx::string16 templateDir;
        data->ReadJob(kit, templateDir);
        return RunJob(data, kit, templateDir);
    }

    // The run itself; `data` receives the posts and the cancel request.
    uint32_t RunJob(InstallProcessData* data, Kit* kit, const stdx::string16& templateDir) {
        channel = data;
        runKit = kit;
        uint32_t result = PrepareStaging(templateDir);
        // Another run owns the directory: nothing of this run to undo, and
        // nothing of the other one's may be touched.
        if (result == fserror::kLockedByOther) {
            Post(result, GetLocalizedString("IDS_INSTALL_BUSY"), 0);
            return result;
        }
        if (result != 0) {
            return Fail(result, 0);
        }
        if (channel != nullptr && Current().stagingElsewhere) {
            channel->PostStagingElsewhere(fspath::WithoutTrailingSeparators(Current().stagingDir));
        }
        if (kit == nullptr) {
            return Fail(fserror::kInvalidParameter, 0);
        }
        const size_t count = kit->files.size();
        copiedFiles = 0;
        keptFiles = 0;
        size_t batchEnd = 0;
        for (size_t c = 0; c < count; ++c) {
            if (c == batchEnd) {
                batchEnd = c + std::min(kMaxBatchFiles, std::max(kBatchFiles, c));
                batchEnd = std::min(batchEnd, count);
                result = Announce(*kit, c, batchEnd);
                if (result != 0) {
                    return Fail(result, int((100 * uint64_t(c)) / count));
                }
            }
            // A cancel question open in the dialog holds the run here.
            if (CancelRequested()) {
                return Rollback(fserror::kCancelled);
            }
            const int progress = int((100 * uint64_t(c)) / count);
            result = InstallOne(*kit, c, progress);
            // A cancel seen between two directory levels of one file.
            if (result == fserror::kCancelled) {
                return Rollback(fserror::kCancelled);
            }
            if (result == kSkipped) {
                ++keptFiles;
                continue;
            }
            if (result != 0) {
                return Fail(result, progress);
            }
            ++copiedFiles;
        }
        // Every file is in place; a "Yes" given now still undoes them all.
        if (CancelRequested()) {
            return Rollback(fserror::kCancelled);
        }
        Commit();
        ReleaseLock();
        if (channel != nullptr) {
            channel->PostCounts(copiedFiles, keptFiles);
        }
        Post(0, GetLocalizedString("IDS_INSTALL_FINISH"), 100);
        if (finishPauseMilliseconds > 0) {
            FS::SleepMilliseconds(finishPauseMilliseconds);
        }
        return 0;
    }

    // Starts the transaction, takes the template directory's lock (making
    // the directory first when it is missing), then, in the user's private
    // place for it (run_place.h), the run's record P/kvtmpN.journal, the
    // staging directory P/kvtmpN/ and the folder P/kvtmpN.new/ for files on
    // their way in, with the smallest free N. An empty template directory is
    // refused: without one there would be nothing to roll back into. 33 when
    // another run holds the lock, or that of a directory nested in it or
    // around it.
    uint32_t PrepareStaging(const stdx::string16& templateDir) {
        transactions.emplace_back();
        InstallTransaction& t = transactions.back();
        t.templateDir = templateDir;
        seenDirs.clear();
        announcedDirs.clear();
        if (templateDir.empty()) {
            return fserror::kPathNotFound;
        }
        uint32_t locked = LockTemplateDirectory();
        if (locked != 0) {
            return locked;
        }
        const FileStatus root = FS::HandleStatus(lockHandle);
        install::RunPlace place;
        uint32_t result = Note(install::RunPlaces<FS>::Choose(templateDir, root.device, place),
                               install::RunPlaces<FS>::TemporaryPlace());
        if (result != 0) {
            return result;
        }
        FileIdentity rootIdentity;
        rootIdentity.device = root.device;
        rootIdentity.inode = root.inode;
        for (int n = 0; n < kMaxStagingAttempts; ++n) {
            const stdx::string16 candidate = place.path + u"kvtmp" + stdx::format_int(n);
            const stdx::string16 staging = candidate + u"/";
            const stdx::string16 record = install::JournalPathFor(staging);
            const stdx::string16 incoming =
                fspath::WithoutTrailingSeparators(install::IncomingPathFor(staging));
            // A template directory may lie below the place; removing the
            // staging tree would take it along.
            if (Exists(candidate) || Exists(record) || Exists(incoming) ||
                fspath::IsSameOrAncestor(candidate, templateDir)) {
                continue;
            }
            // The record first: a death before the directories exist leaves
            // only a record that names nothing to undo.
            result = journal.Begin(record, templateDir, rootIdentity, staging);
            if (result == fserror::kAlreadyExists) {
                continue;  // another start of this user took the name meanwhile
            }
            if (result != 0) {
                return Note(result, record);
            }
            result = FS::CreatePrivateDirectory(candidate);
            if (result == 0 && !place.elsewhere) {
                result = FS::CreatePrivateDirectory(incoming);
                if (result != 0) {
                    FS::RemoveEmptyDirectory(candidate);
                }
            }
            if (result == fserror::kAlreadyExists) {
                journal.Remove();
                continue;
            }
            if (result != 0) {
                Note(result, candidate);
                journal.Remove();
                return result;
            }
            t.stagingDir = staging;
            t.incomingDir = place.elsewhere ? stdx::string16() : incoming + u"/";
            t.stagingElsewhere = place.elsewhere;
            return 0;
        }
        return fserror::kAlreadyExists;
    }

    // Announces the files kit.files[begin, end) may change, the directories
    // they need made and the time of each directory about to change, and
    // sends it all to disk with one fdatasync: nothing of these files is
    // touched before. A name InstallOne refuses is not announced.
    uint32_t Announce(Kit& kit, size_t begin, size_t end) {
        const stdx::string16& templateDir = Current().templateDir;
        const stdx::string16 root = fspath::WithoutTrailingSeparators(templateDir);
        for (size_t i = begin; i < end; ++i) {
            stdx::string16 name = kit.files[i].name;
            stdx::replace_all(name, u"\\", u"/");
            if (name.empty() || name.back() == u'/' || !kit::IsSafeKitName(name)) {
                continue;
            }
            const stdx::string16 target = templateDir + name;
            journal.Append(install::JournalKind::kPath, target);
            AnnounceDirectories(ParentOf(target), root);
        }
        return Note(journal.Sync(), journal.Path());
    }

    // Makes directory `d` and every missing parent, one level at a time, and
    // records each one it made. 0 when `d` exists as a directory afterwards,
    // 1223 when a cancel comes between two levels (what was made so far is
    // recorded for the rollback). The walk goes down from the template
    // directory (the root for a path outside it), each level made and
    // opened inside the one above: no path is walked again from its start,
    // so the cost grows with the depth alone.
    uint32_t CreateDirectoryTree(const stdx::string16& d) {
        if (d == u"/") {
            return 0;
        }
        const stdx::string16 path = fspath::WithoutTrailingSeparators(d);
        if (path.empty()) {
            return fserror::kPathNotFound;
        }
        const FileStatus status = FS::Status(path);
        if (status.kind == FileKind::kDirectory) {
            return 0;
        }
        if (status.exists) {
            // A link to a directory is fine (183); a plain file is not (2).
            uint32_t result = FS::CreateSingleDirectory(path);
            if (result == fserror::kAlreadyExists) {
                return 0;
            }
            // A file (or a FIFO, a device) where a directory must be.
            errno = ENOTDIR;
            return Note(NonZero(result), path);
        }
        const stdx::string16 root = transactions.empty() || lockHandle == kInvalidFileHandle
                                        ? stdx::string16()
                                        : fspath::WithoutTrailingSeparators(Current().templateDir);
        stdx::string16 base = path[0] == u'/' ? stdx::string16(u"/") : stdx::string16(u".");
        size_t start = path[0] == u'/' ? 1 : 0;
        if (!root.empty() && root != path && fspath::IsSameOrAncestor(root, path)) {
            base = root;
            start = root.size() + 1;
        }
        FileHandle parent = kInvalidFileHandle;
        uint32_t result = FS::OpenDirectory(base, &parent);
        if (result != 0) {
            return Note(NonZero(result), base);
        }
        // The rollback removes a new level inside its parent as known here.
        FileIdentity identity;
        FS::GetIdentity(parent, &identity);
        identities.Note(base, identity);
        bool made = false;
        while (start < path.size() && result == 0) {
            size_t end = path.find(u'/', start);
            if (end == stdx::string16::npos) {
                end = path.size();
            }
            if (end == start) {  // "//"
                ++start;
                continue;
            }
            if (made && IsCancelRequested()) {
                result = fserror::kCancelled;
                break;
            }
            const stdx::string16 level = path.substr(0, end);
            // Recorded before it is made, so that a death in between leaves
            // nothing unknown; a level that is there already is not the
            // run's (below a level the run made, none is).
            // Announced with its batch, as a rule; one that was there then
            // and has gone since goes to disk now, before it is made.
            if ((made || !FS::Status(level).exists) && announcedDirs.count(level) == 0) {
                journal.Append(install::JournalKind::kDirectory, level);
                result = journal.Sync();
                if (result != 0) {
                    Note(result, journal.Path());
                    break;
                }
                announcedDirs.insert(level);
            }
            FileHandle child = kInvalidFileHandle;
            result = FS::MakeSubdirectory(parent, path.substr(start, end - start), &child);
            if (result != 0 && result != fserror::kAlreadyExists) {
                Note(result, level);
                break;
            }
            FS::GetIdentity(child, &identity);
            identities.Note(level, identity);
            // Made by someone else in between, or there before (183): not
            // the run's to remove.
            if (result == 0) {
                Current().createdDirs.push_back(level);
                made = true;
            }
            result = 0;
            FS::CloseHandle(parent);
            parent = child;
            start = end + 1;
        }
        FS::CloseHandle(parent);
        return result;
    }

    // Directories inside the private staging tree; recorded nowhere, since
    // the staging tree goes as a whole.
    uint32_t CreateBackupDirectories(const stdx::string16& d) {
        uint32_t result = FS::CreateDirectory(d);
        return result == fserror::kAlreadyExists ? 0 : result;
    }

    // Moves the existing file `target` (reached as `source`, its name inside
    // the run's open directory; `status` is its own) to the same relative
    // place in the staging tree. 0, or the code of the directory creation or
    // the move.
    uint32_t BackupFile(const stdx::string16& target, const stdx::string16& source,
                        const FileStatus& status) {
        const InstallTransaction& t = Current();
        if (t.stagingDir.empty() || target.size() <= t.templateDir.size()) {
            return fserror::kInvalidParameter;
        }
        const stdx::string16 backup = t.stagingDir + target.substr(t.templateDir.size());
        // The place is taken when the kit names the same file twice (or by
        // two spellings of one name): the earlier version is already safe
        // there and what is at `target` now is this run's own output.
        if (Exists(backup)) {
            return 0;
        }
        const size_t slash = backup.rfind(u'/');
        uint32_t result = CreateBackupDirectories(backup.substr(0, slash));
        if (result != 0) {
            return result;
        }
        // Which file is moved: a recovery puts back only that one, and tells
        // it apart from one the user made there since.
        journal.Append(install::JournalKind::kBackup, target, status.size,
                       filetime::ToPosixSeconds(status.lastWrite), IdentityOf(status));
        result = journal.Write();
        if (result != 0) {
            return result;
        }
        result = FS::MoveFile(source, backup);
        if (result != 0) {
            return result;
        }
        // Until this entry, a recovery that finds the file still in place
        // takes it for the earlier version (a move across file systems copies
        // first and removes the source last).
        journal.Append(install::JournalKind::kSaved, target);
        return journal.Write();
    }

    // Removes the tree at `d`; a symbolic link inside it is removed as a link,
    // never followed. Always 0.
    uint32_t RemoveTree(const stdx::string16& d) {
        if (d.empty()) {
            return 0;
        }
        // `d` itself may have become a link (or a file): remove only the entry.
        stdx::string16 self = d;
        while (self.size() > 1 && self.back() == u'/') {
            self.erase(self.size() - 1);
        }
        const FileStatus status = FS::Status(self);
        if (!status.exists) {
            return 0;
        }
        if (status.kind != FileKind::kDirectory) {
            FS::DeleteFile(self);
            return 0;
        }
        stdx::string16 dir = d;
        if (!fspath::EndsWithSeparator(dir)) {
            dir.push_back(u'/');
        }
        FileFind find;
        for (bool more = FS::FindFirstFile(find, dir + u"*"); more; more = FS::FindNextFile(find)) {
            const stdx::string16 name = FS::GetFindFileName(find);
            if (name == u"." || name == u"..") {
                continue;
            }
            if (IsRealDirectory(find)) {
                RemoveTree(dir + name);
            } else {
                FS::DeleteFile(dir + name);
            }
        }
        FS::FindClose(find);
        FS::RemoveDirectory(d);
        return 0;
    }

    // Moves every file of the staging tree `src` back to the same place under
    // `dst`, replacing what the run put there. Returns the number of files
    // that could not be moved back (they stay in `src`).
    uint32_t RestoreBackups(const stdx::string16& dst, const stdx::string16& src) {
        uint32_t failures = 0;
        // A directory that is no longer the one the run took the files from
        // gets nothing: the earlier versions stay in staging. The moves go
        // into the directory as opened and checked, whatever its path leads
        // to meanwhile.
        OpenedDirectory into;
        if (OpenKnown(fspath::WithoutTrailingSeparators(dst), into) != 0) {
            return CountFiles(src);
        }
        FileFind find;
        for (bool more = FS::FindFirstFile(find, src + u"*"); more; more = FS::FindNextFile(find)) {
            const stdx::string16 name = FS::GetFindFileName(find);
            if (name == u"." || name == u"..") {
                continue;
            }
            if (IsRealDirectory(find)) {
                failures += RestoreBackups(dst + name + u"/", src + name + u"/");
            } else if (FS::MoveFile(src + name, FS::PathInDirectory(into.handle, name)) != 0) {
                ++failures;
            }
        }
        FS::FindClose(find);
        return failures;
    }

    // Undoes the run and keeps going after a failed step. What the run made
    // goes first (new files, then created directories deepest first), so the
    // space it took is free again before the earlier versions move back (a
    // move across file systems is a copy). A restore that fails is tried once
    // more at the end. If an earlier version still cannot go back, the
    // staging directory that holds it and the run's record are kept, and the
    // channel is told which folder that is.
    uint32_t Rollback(uint32_t code) {
        if (transactions.empty()) {
            return code;
        }
        InstallTransaction& t = transactions.back();
        // New files in a directory that is another one by now stay where
        // they are; the outcome then says the directory was not fully
        // restored.
        uint32_t lost = 0;
        // New files first, and only the run's own, in the directory the run
        // wrote them to: a restored earlier version is never deleted.
        for (size_t i = t.createdFiles.size(); i-- > 0;) {
            const stdx::string16& file = t.createdFiles[i];
            OpenedDirectory in;
            if (OpenKnown(ParentOf(file), in) != 0) {
                ++lost;
                continue;
            }
            const stdx::string16 at = FS::PathInDirectory(in.handle, fspath::Name(file));
            if (identities.IsWritten(at)) {
                FS::DeleteFile(at);
            }
        }
        for (size_t i = t.createdDirs.size(); i-- > 0;) {
            if (fspath::IsSameOrAncestor(t.createdDirs[i], t.stagingDir)) {
                continue;
            }
            // Removed inside its parent as opened and checked; renamed away,
            // or a link in its place: not the run's to remove.
            const stdx::string16& dir = t.createdDirs[i];
            OpenedDirectory in;
            if (OpenKnown(ParentOf(dir), in) != 0) {
                continue;
            }
            const stdx::string16 at = FS::PathInDirectory(in.handle, fspath::Name(dir));
            if (identities.IsSameEntry(dir, at)) {
                RemoveTree(at);
            }
        }
        uint32_t failures = 0;
        if (!t.templateDir.empty() && !t.stagingDir.empty()) {
            failures = RestoreBackups(t.templateDir, t.stagingDir);
            if (failures != 0) {
                failures = RestoreBackups(t.templateDir, t.stagingDir);
            }
        }
        RemoveTree(t.incomingDir);
        RestoreDirectoryTimes(t);
        if (failures + lost != 0) {
            // The record stays too: the next start tries the restore again.
            journal.Close();
            if (channel != nullptr) {
                channel->PostKeptFolder(t.stagingDir);
                channel->MarkRollbackIncomplete();
            }
            ReleaseLock();
            return code;
        }
        if (!t.stagingDir.empty()) {
            RemoveTree(t.stagingDir);
        }
        journal.Remove();
        ReleaseLock();
        return code;
    }

    // The error post comes first, then the rollback.
    uint32_t Fail(uint32_t code, int progress) {
        if (channel != nullptr) {
            channel->PostDetail(install::DescribeFailure(failedPath, failedErrno));
        }
        Post(code, GetLocalizedString("IDS_INSTALL_ERROR"), progress);
        return Rollback(code);
    }

    // The end of a finished run: the new files reach the disk before the
    // earlier versions go, and the record says so before anything is
    // removed, so a death from here on leaves an installed directory.
    uint32_t Commit() {
        if (transactions.empty()) {
            return 0;
        }
        // The image is unnamed: closed first, its pages go unwritten and the
        // sync writes only the installed files.
        if (imageAfterRun == install::ImageAfterRun::kReleased && runKit != nullptr) {
            runKit->ReleaseImage();
        }
        FS::SyncFileSystem(Current().templateDir);
        journal.Append(install::JournalKind::kCommitted, stdx::string16());
        journal.Sync();
        RemoveTree(Current().incomingDir);
        RemoveTree(Current().stagingDir);
        journal.Remove();
        return 0;
    }

    // The run's on-disk record; open from the staging directory's creation
    // to the end of the run.
    install::RunJournal<FS> journal;

  private:
    // InstallOne's result for a file that is at least as new on disk.
    static constexpr uint32_t kSkipped = 0xFFFFFFFFu;

    InstallTransaction& Current() { return transactions.back(); }

    bool CancelRequested() { return channel != nullptr && channel->AwaitGoAhead(); }

    // Keeps the first failing step's path and errno for the error's detail.
    uint32_t Note(uint32_t result, const stdx::string16& path) {
        if (result != 0 && failedPath.empty()) {
            failedErrno = errno;
            failedPath = path;
        }
        return result;
    }

    // Makes the template directory when it is missing, opens it and takes
    // its lock for the rest of the run; remembers its identity.
    uint32_t LockTemplateDirectory() {
        const stdx::string16 dir = fspath::WithoutTrailingSeparators(Current().templateDir);
        uint32_t result = CreateDirectoryTree(dir);
        if (result != 0) {
            return result;
        }
        FileHandle handle = kInvalidFileHandle;
        result = FS::OpenDirectory(dir, &handle);
        if (result != 0) {
            return NonZero(result);
        }
        result = lock.Take(handle, dir);
        if (result != 0) {
            FS::CloseHandle(handle);
            return result;
        }
        lockHandle = handle;
        FileIdentity identity;
        FS::GetIdentity(handle, &identity);
        identities.Note(dir, identity);
        return 0;
    }

    // A directory of the run, open while one step works in it.
    struct OpenedDirectory {
        FileHandle handle = kInvalidFileHandle;
        OpenedDirectory() = default;
        OpenedDirectory(const OpenedDirectory&) = delete;
        OpenedDirectory& operator=(const OpenedDirectory&) = delete;
        ~OpenedDirectory() {
            if (handle != kInvalidFileHandle) {
                FS::CloseHandle(handle);
            }
        }
    };

    // Opens `dir` for a step of the run: 0 when it is the directory the run
    // has been using under that name (remembered now on first use, with its
    // parents), 681 when it is another one, or an open failure.
    uint32_t OpenChecked(const stdx::string16& dir, OpenedDirectory& opened) {
        uint32_t result = FS::OpenDirectory(dir, &opened.handle);
        if (result != 0) {
            opened.handle = kInvalidFileHandle;
            return NonZero(result);
        }
        FileIdentity identity;
        result = FS::GetIdentity(opened.handle, &identity);
        if (result != 0) {
            return result;
        }
        return identities.Check(dir, identity,
                                fspath::WithoutTrailingSeparators(Current().templateDir));
    }

    // The same for the rollback: only a directory the run knows, unchanged.
    uint32_t OpenKnown(const stdx::string16& dir, OpenedDirectory& opened) {
        if (FS::OpenDirectory(dir, &opened.handle) != 0) {
            opened.handle = kInvalidFileHandle;
            return fserror::kDirectoryReplaced;
        }
        FileIdentity identity;
        if (FS::GetIdentity(opened.handle, &identity) != 0 || !identities.IsKnown(dir, identity)) {
            return fserror::kDirectoryReplaced;
        }
        return 0;
    }

    void ReleaseLock() {
        lock.Release();
        if (lockHandle != kInvalidFileHandle) {
            FS::CloseHandle(lockHandle);
            lockHandle = kInvalidFileHandle;
        }
    }

    // Files in the staging tree `src`, for a directory that gets none back.
    uint32_t CountFiles(const stdx::string16& src) {
        uint32_t count = 0;
        FileFind find;
        for (bool more = FS::FindFirstFile(find, src + u"*"); more; more = FS::FindNextFile(find)) {
            const stdx::string16 name = FS::GetFindFileName(find);
            if (name == u"." || name == u"..") {
                continue;
            }
            count += IsRealDirectory(find) ? CountFiles(src + name + u"/") : 1;
        }
        FS::FindClose(find);
        return count;
    }

    // The directory a path lies in; "." for a bare name.
    static stdx::string16 ParentOf(const stdx::string16& path) {
        const stdx::string16 parent = fspath::Parent(path);
        return parent.empty() ? stdx::string16(u".") : parent;
    }

    // Between two steps of one file: never waits.
    bool IsCancelRequested() const { return channel != nullptr && channel->IsCancelRequested(); }

    void Post(uint32_t code, const stdx::string16& text, int progress) {
        if (channel != nullptr) {
            channel->PostStatus(code, text, progress);
        }
    }

    uint32_t InstallOne(Kit& kit, size_t index, int progress) {
        const auto& entry = kit.files[index];
        stdx::string16 name = entry.name;
        stdx::replace_all(name, u"\\", u"/");
        const stdx::string16 target = Current().templateDir + name;
        if (channel != nullptr) {
            channel->PostProgress(target, progress, index);
        }
        // A name that is empty, names a directory, or could leave the template
        // directory never touches the disk.
        if (name.empty() || name.back() == u'/' || !kit::IsSafeKitName(name)) {
            errno = 0;
            return Note(fserror::kInvalidData, target);
        }
        // The plan's own verdict, judged again now: the disk may have
        // changed since the plan was made. Status only, nothing opened: a
        // newer file the user cannot read is still left alone.
        FileStatus status;
        install::Blocker blocker = install::Blocker::kNone;
        const install::Verdict verdict =
            install::JudgeTarget<FS>(target, entry.time, &blocker, &status);
        const bool present = status.exists;
        if (verdict == install::Verdict::kBlocked) {
            // A directory where the kit has a file.
            errno = EISDIR;
            return Note(fserror::kInvalidParameter, target);
        }
        if (verdict == install::Verdict::kKeep) {
            return kSkipped;
        }
        const stdx::string16 dir = ParentOf(target);
        if (!present) {
            uint32_t result = Note(CreateDirectoryTree(dir), dir);
            if (result != 0) {
                return result;
            }
        }
        // Every step below works inside the directory as opened and checked:
        // a link put in its place meanwhile is never written through.
        OpenedDirectory in;
        uint32_t result = Note(OpenChecked(dir, in), dir);
        if (result != 0) {
            return result;
        }
        const stdx::string16 at = FS::PathInDirectory(in.handle, fspath::Name(target));
        if (!present) {
            // Nothing was here: the rollback deletes what the run writes.
            Current().createdFiles.push_back(target);
        } else if (identities.IsWritten(at)) {
            // The run's own output under a second name (or the same name
            // twice): its earlier version, if any, is already safe in
            // staging under the first name.
            FS::DeleteFile(at);
        } else {
            // The file is there, so a failed backup would lose it: stop.
            result = Note(BackupFile(target, at, status), target);
            if (result != 0) {
                return result;
            }
        }
        // A replaced file keeps its earlier version's permission bits (a
        // script stays executable, a private file private) and owner.
        const bool keepPermissions = present && status.kind == FileKind::kFile;
        const stdx::string16& incomingDir = Current().incomingDir;
        if (incomingDir.empty()) {
            // Staging on another file system: straight to the place.
            result = Note(kit.ExtractFile(uint32_t(index), at), target);
            // Something that appeared at the target meanwhile is not the run's.
            if (result != fserror::kAlreadyExists) {
                identities.NoteWritten(at);
            }
            if (result == 0 && keepPermissions) {
                result = Note(FS::CopyPermissions(at, status), target);
            }
            if (result == 0) {
                result = Note(NoteLeft(target, at), journal.Path());
            }
            return result;
        }
        // Whole before it takes the place: a death leaves either nothing of
        // it there or all of it, known by its identity.
        const stdx::string16 incoming = incomingDir + stdx::format_int(int32_t(index));
        result = Note(kit.ExtractFile(uint32_t(index), incoming), target);
        if (result == 0 && keepPermissions) {
            result = Note(FS::CopyPermissions(incoming, status), target);
        }
        if (result == 0) {
            result = Note(NoteLeft(target, incoming), journal.Path());
        }
        if (result == 0) {
            result = FS::MoveFileNoReplace(incoming, at);
            if (result == fserror::kAlreadyExists) {
                errno = EEXIST;
            }
            Note(result, target);
        }
        if (result != 0) {
            FS::DeleteFile(incoming);
            return result;
        }
        identities.NoteWritten(at);
        return 0;
    }

    // Writes what the file `file`, about to be (or just) put at `target`,
    // is: the only file a recovery will delete there or put the earlier
    // version back over.
    uint32_t NoteLeft(const stdx::string16& target, const stdx::string16& file) {
        const FileStatus made = FS::Status(file);
        journal.Append(install::JournalKind::kWritten, target, made.size,
                       filetime::ToPosixSeconds(made.lastWrite), IdentityOf(made));
        return journal.Write();
    }

    // The directories of `dir` up to the template directory `root` that do
    // not exist (announced to be made), and the time of the nearest one that
    // does (it is about to change). Each directory once per run.
    void AnnounceDirectories(const stdx::string16& dir, const stdx::string16& root) {
        std::vector<stdx::string16> missing;
        for (stdx::string16 level = dir; seenDirs.count(level) == 0;
             level = fspath::Parent(level)) {
            seenDirs.insert(level);
            const FileStatus status = FS::Status(level, Links::kFollowed);
            if (status.kind == FileKind::kDirectory) {
                InstallTransaction::DirectoryTime time;
                time.path = level;
                time.identity = IdentityOf(status);
                time.lastWrite = status.lastWrite;
                Current().changedDirs.push_back(time);
                journal.Append(install::JournalKind::kTimes, level, 0,
                               filetime::ToPosixSeconds(status.lastWrite), time.identity);
                break;
            }
            // A file in the way, or above the template directory: InstallOne
            // fails or needs nothing here.
            if (status.exists || level == root || !fspath::IsSameOrAncestor(root, level)) {
                break;
            }
            missing.push_back(level);
        }
        for (size_t i = missing.size(); i-- > 0;) {
            announcedDirs.insert(missing[i]);
            journal.Append(install::JournalKind::kDirectory, missing[i]);
        }
    }

    // Sets back the times of the directories the run changed, innermost
    // first, each only while it is the directory the run found there.
    void RestoreDirectoryTimes(const InstallTransaction& t) {
        for (size_t i = t.changedDirs.size(); i-- > 0;) {
            const InstallTransaction::DirectoryTime& time = t.changedDirs[i];
            FileHandle handle = kInvalidFileHandle;
            if (FS::OpenDirectory(time.path, &handle) != 0) {
                continue;
            }
            FileIdentity now;
            if (FS::GetIdentity(handle, &now) == 0 && now == time.identity) {
                FS::SetFileTime(handle, nullptr, nullptr, &time.lastWrite);
            }
            FS::CloseHandle(handle);
        }
    }

    static FileIdentity IdentityOf(const FileStatus& status) {
        FileIdentity identity;
        identity.device = status.device;
        identity.inode = status.inode;
        return identity;
    }

    // Whether anything (a dangling link included) is at `path`.
    static bool Exists(const stdx::string16& path) { return FS::Status(path).exists; }

    // The policy reports a link met while enumerating as a plain entry, so a
    // walk built on this never leaves the tree it was given.
    static bool IsRealDirectory(const FileFind& find) {
        return (FS::GetFileAttributes(find) & fsflag::kAttributeDirectory) != 0;
    }

    static bool IsDriveRoot(const stdx::string16& path, size_t slash) {
        return slash == 2 && path[1] == u':';
    }

    static uint32_t NonZero(uint32_t code) { return code == 0 ? fserror::kFileNotFound : code; }

    RunIdentities<FS> identities;
    // The template directory, open and locked while the run lasts.
    FileHandle lockHandle = kInvalidFileHandle;
    install::TemplateLock<FS> lock;
    // Directories looked at by Announce, and those announced to be made.
    std::unordered_set<stdx::string16> seenDirs;
    std::unordered_set<stdx::string16> announcedDirs;
};

// The engine the worker thread runs: the real file system and kit.
using InstallEngine = BasicInstallEngine<FileSystem, InstallData<LZCompressor, FileSystem>>;
