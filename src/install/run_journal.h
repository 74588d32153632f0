// The on-disk record of one installation run: enough for a later start to
// undo a run whose process died (killed, crashed, logged out, power cut)
// exactly as the run's own rollback would have.
//
// The record lies beside the staging directory, T/kvtmpN.journal for the
// staging directory T/kvtmpN/, a name no kit file can take. It is created
// exclusively with mode 0600 before the run's first change, and the live run
// holds an exclusive flock on it for as long as it lasts, so another process
// can tell a live run (lock taken) from a dead one (lock free). Each entry is
// written with one write() before the change it announces, so it survives
// the death of the process; it is not synced one by one. A finished or fully
// undone run removes the record as its very last step.
//
// Layout (little-endian, no padding):
//   magic      8 bytes  "KVJRNL01"
//   entries, one after the other:
//     kind     1 byte   one of JournalKind
//     size     8 bytes  kWritten: the file's size; else 0
//     seconds  8 bytes  kWritten: its modification time (POSIX seconds); else 0
//     length   4 bytes  number of 16-bit units of the path
//     path     2 * length bytes, 16-bit units
//     check    4 bytes  FNV-1a of every byte of the entry before it
// The first two entries are kTemplate and kStaging. An entry cut short at the
// end of the file is one whose write the process did not live to finish and
// is ignored; a record cut short before its two directories are complete
// reads as empty (the run died before its first change). Any other fault
// makes the whole record unreadable.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "fs/fs_codes.h"
#include "text/basic_string.h"

namespace install {

enum class JournalKind : char {
    kTemplate = 'T',   // the template directory, ending with "/"
    kStaging = 'S',    // the staging directory, ending with "/"
    kDirectory = 'D',  // about to create this directory
    kBackup = 'B',     // about to move this file into the staging directory
    kSaved = 'K',      // that move is complete: the staging copy is whole
    kNewFile = 'N',    // about to create this file where nothing was
    kWritten = 'W',    // this file now holds the kit's bytes: size and time
    kCommitted = 'C',  // the run finished and its files are on disk
};

struct JournalEntry {
    JournalKind kind = JournalKind::kCommitted;
    std::uint64_t size = 0;
    std::int64_t seconds = 0;
    stdx::string16 path;
};

struct JournalContents {
    // Both empty for a run that died before its first change.
    stdx::string16 templateDir;
    stdx::string16 stagingDir;
    // Every entry after the two directories, in the order written.
    std::vector<JournalEntry> entries;
};

// The bytes of one entry.
std::string EncodeJournalEntry(const JournalEntry& entry);
// The magic and the two directory entries.
std::string EncodeJournalHeader(const stdx::string16& templateDir,
                                const stdx::string16& stagingDir);
// False when `bytes` is not a record of this layout (see above).
bool ParseJournal(const std::string& bytes, JournalContents& out);

// The record's name for a staging directory "T/kvtmpN/": "T/kvtmpN.journal".
stdx::string16 JournalPathFor(const stdx::string16& stagingDir);

// The writer a live run holds open.
template <class FS>
class RunJournal {
  public:
    RunJournal() = default;
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;
    // Closing releases the lock; the record itself stays for a recovery.
    ~RunJournal() { Close(); }

    // Creates the record at `path`, locks it and writes the two directories.
    // 0; 183 when the name is taken; else the failing step's code, with
    // nothing left behind.
    std::uint32_t Begin(const stdx::string16& path, const stdx::string16& templateDir,
                        const stdx::string16& stagingDir) {
        Close();
        typename FS::Handle handle = kInvalid;
        std::uint32_t result = FS::CreatePrivateFile(path, &handle);
        if (result != 0) {
            return result;
        }
        handle_ = handle;
        path_ = path;
        failed_ = 0;
        result = FS::TryLockFile(handle_);
        if (result == 0) {
            result = Write(EncodeJournalHeader(templateDir, stagingDir));
        }
        if (result != 0) {
            Remove();
        }
        return result;
    }

    // Appends one entry with a single write. 0 or the write's code.
    std::uint32_t Append(JournalKind kind, const stdx::string16& path, std::uint64_t size = 0,
                         std::int64_t seconds = 0) {
        if (handle_ == kInvalid) {
            return 0;
        }
        // After a failed write the record may end in a torn entry; one
        // written after it would make the whole record unreadable.
        if (failed_ != 0) {
            return failed_;
        }
        JournalEntry entry;
        entry.kind = kind;
        entry.size = size;
        entry.seconds = seconds;
        entry.path = path;
        return Write(EncodeJournalEntry(entry));
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
    }

    bool IsOpen() const { return handle_ != kInvalid; }
    const stdx::string16& Path() const { return path_; }

  private:
    static constexpr typename FS::Handle kInvalid = typename FS::Handle(-1);

    std::uint32_t Write(const std::string& bytes) {
        std::int32_t written = 0;
        std::uint32_t result =
            FS::WriteFile(handle_, bytes.data(), std::uint32_t(bytes.size()), &written, nullptr);
        if (result == 0 && std::size_t(written) != bytes.size()) {
            result = fserror::kInvalidParameter;
        }
        failed_ = result;
        return result;
    }

    typename FS::Handle handle_ = kInvalid;
    stdx::string16 path_;
    std::uint32_t failed_ = 0;
};

}  // namespace install
