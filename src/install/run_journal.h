// The on-disk record of one installation run: enough for a later start to
// undo a run whose process died (killed, crashed, logged out, power cut)
// exactly as the run's own rollback would have, and to tell the run's own
// files from anything the user put in their place since.
//
// The record lies beside the staging directory, P/kvtmpN.journal for the
// staging directory P/kvtmpN/, in the user's private place P (run_place.h).
// It is created already locked (the live run holds an exclusive flock on it
// for as long as it lasts, so another process can tell a live run, lock
// taken, from a dead one, lock free, and never sees it unlocked), with mode
// 0600. Entries are written ahead of the changes they announce: those of a
// batch of files reach the disk with one fdatasync before the batch is
// carried out, so they survive a power cut; what a change left behind is
// written (survives the death of the process) and reaches the disk with the
// next batch's sync. A finished or fully undone run removes the record as
// its very last step.
//
// Layout (little-endian, no padding):
//   magic      8 bytes  "KVJRNL02"
//   entries, one after the other:
//     kind     1 byte   one of JournalKind
//     size     8 bytes  kBackup, kWritten: the file's size; else 0
//     seconds  8 bytes  kBackup, kWritten: its modification time, kTimes:
//                       the directory's (POSIX seconds); else 0
//     device   8 bytes  kTemplate, kBackup, kWritten, kTimes: the file's or
//     inode    8 bytes    directory's identity; else 0
//     length   4 bytes  number of 16-bit units of the path
//     path     2 * length bytes, 16-bit units
//     check    4 bytes  FNV-1a of every byte of the entry before it
// The first two entries are kTemplate and kStaging. An entry cut short at the
// end of the file is one whose write the process did not live to finish and
// is ignored; a record cut short before its two directories are complete
// reads as empty (the run died before its first change). Any other fault
// makes the whole record unreadable.
//
// The previous layout, magic "KVJRNL01", is read as well (a run killed under
// the previous version is still undone): the same without device and inode,
// announcing new files with kNewFile and moves with kBackup.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "fs/file_system.h"
#include "fs/fs_codes.h"
#include "text/basic_string.h"

namespace install {

enum class JournalKind : char {
    kTemplate = 'T',   // the template directory, ending with "/", and its identity
    kStaging = 'S',    // the staging directory, ending with "/"
    kDirectory = 'D',  // about to create this directory
    kPath = 'P',       // about to replace, or create, this file
    kTimes = 'M',      // about to change this directory: its time before the run
    kBackup = 'B',     // about to move this earlier version into the staging directory
    kSaved = 'K',      // that move is complete: the staging copy is whole
    kNewFile = 'N',    // previous layout: about to create this file where nothing was
    kWritten = 'W',    // this file, as the run leaves it, is about to take the path
    kCommitted = 'C',  // the run finished and its files are on disk
};

struct JournalEntry {
    JournalKind kind = JournalKind::kCommitted;
    std::uint64_t size = 0;
    std::int64_t seconds = 0;
    FileIdentity identity;
    stdx::string16 path;
};

struct JournalContents {
    // False for the previous layout: entries carry no identities.
    bool identities = true;
    // Both empty for a run that died before its first change.
    stdx::string16 templateDir;
    FileIdentity templateIdentity;
    stdx::string16 stagingDir;
    // Every entry after the two directories, in the order written.
    std::vector<JournalEntry> entries;
};

// The bytes of one entry.
std::string EncodeJournalEntry(const JournalEntry& entry);
// The magic and the two directory entries.
std::string EncodeJournalHeader(const stdx::string16& templateDir,
                                const FileIdentity& templateIdentity,
                                const stdx::string16& stagingDir);
// The same in the previous layout, for tests of its reading.
std::string EncodePreviousEntry(const JournalEntry& entry);
std::string EncodePreviousHeader(const stdx::string16& templateDir,
                                 const stdx::string16& stagingDir);
// False when `bytes` is not a record of either layout (see above).
bool ParseJournal(const std::string& bytes, JournalContents& out);

// The record's name for a staging directory "P/kvtmpN/": "P/kvtmpN.journal".
stdx::string16 JournalPathFor(const stdx::string16& stagingDir);
// Where a run extracts files before they take their place: "P/kvtmpN.new/".
stdx::string16 IncomingPathFor(const stdx::string16& stagingDir);

// The writer a live run holds open.
template <class FS>
class RunJournal {
  public:
    RunJournal() = default;
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;
    // Closing releases the lock; the record itself stays for a recovery.
    ~RunJournal() { Close(); }

    // Creates the record at `path`, locked from its first moment, and writes
    // the two directories to disk. 0; 183 when the name is taken; else the
    // failing step's code, with nothing left behind.
    std::uint32_t Begin(const stdx::string16& path, const stdx::string16& templateDir,
                        const FileIdentity& templateIdentity, const stdx::string16& stagingDir) {
        Close();
        typename FS::Handle handle = kInvalid;
        std::uint32_t result = FS::CreateLockedPrivateFile(path, &handle);
        if (result != 0) {
            return result;
        }
        handle_ = handle;
        path_ = path;
        failed_ = 0;
        pending_ = EncodeJournalHeader(templateDir, templateIdentity, stagingDir);
        result = Sync();
        if (result != 0) {
            Remove();
        }
        return result;
    }

    // Adds one entry to those not yet written; Write or Sync sends them.
    void Append(JournalKind kind, const stdx::string16& path, std::uint64_t size = 0,
                std::int64_t seconds = 0, const FileIdentity& identity = FileIdentity()) {
        if (handle_ == kInvalid) {
            return;
        }
        JournalEntry entry;
        entry.kind = kind;
        entry.size = size;
        entry.seconds = seconds;
        entry.identity = identity;
        entry.path = path;
        pending_ += EncodeJournalEntry(entry);
    }

    // The entries added so far, in one write: they survive the death of the
    // process. 0 or the write's code.
    std::uint32_t Write() {
        if (handle_ == kInvalid || pending_.empty()) {
            return failed_;
        }
        // After a failed write the record may end in a torn entry; one
        // written after it would make the whole record unreadable.
        if (failed_ != 0) {
            return failed_;
        }
        std::int32_t written = 0;
        std::uint32_t result = FS::WriteFile(handle_, pending_.data(),
                                             std::uint32_t(pending_.size()), &written, nullptr);
        if (result == 0 && std::size_t(written) != pending_.size()) {
            result = fserror::kInvalidParameter;
        }
        pending_.clear();
        failed_ = result;
        return result;
    }

    // Write, then to disk (one fdatasync): they survive a power cut.
    std::uint32_t Sync() {
        std::uint32_t result = Write();
        if (result == 0 && handle_ != kInvalid) {
            result = FS::SyncFileData(handle_);
            failed_ = result;
        }
        return result;
    }

    // The last step of a finished or fully undone run.
    void Remove() {
        if (handle_ == kInvalid) {
            return;
        }
        // Deleted while still locked: no other start can take it for dead.
        FS::DeleteFile(path_);
        Close();
    }

    void Close() {
        if (handle_ != kInvalid) {
            FS::CloseHandle(handle_);
        }
        handle_ = kInvalid;
        pending_.clear();
    }

    bool IsOpen() const { return handle_ != kInvalid; }
    const stdx::string16& Path() const { return path_; }

  private:
    static constexpr typename FS::Handle kInvalid = typename FS::Handle(-1);

    typename FS::Handle handle_ = kInvalid;
    stdx::string16 path_;
    std::string pending_;
    std::uint32_t failed_ = 0;
};

}  // namespace install
