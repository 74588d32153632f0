// The file-system policy: Win32-style file operations over POSIX system
// calls, used as a template parameter by the kit reader, the installation
// engine and the dialog. Stateless: every operation is a static function, so
// a test policy can derive from it and re-declare the operations it changes.
//
// Paths are 16-bit strings with "/" as separator, converted to the locale's
// 8-bit encoding for the system call. A path that cannot be converted, or
// that holds a U+0000, is refused (87) rather than cut short.
//
// Results are the codes of fs_codes.h. Handle operations set the
// process-wide last error (0 at their start, their failure code on failure);
// enumeration, directory, temporary-file and free-space operations leave it
// alone. No operation runs a shell or another program.
#pragma once
#include <cstdint>

#include "fs/file_find.h"
#include "fs/file_status.h"
#include "fs/file_time.h"
#include "fs/fs_codes.h"
#include "text/basic_string.h"

// A POSIX file descriptor held in a pointer-sized integer; -1 is invalid.
using FileHandle = std::intptr_t;
constexpr FileHandle kInvalidFileHandle = -1;

// What makes a file or directory the same one under any name: its device
// and inode. Two spellings (a link, a different case on a case-insensitive
// file system) of one file have one identity.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity& o) const { return device == o.device && inode == o.inode; }
    bool operator!=(const FileIdentity& o) const { return !(*this == o); }
    bool operator<(const FileIdentity& o) const {
        return device != o.device ? device < o.device : inode < o.inode;
    }
};

class FileSystem {
  public:
    using Handle = FileHandle;

    // ---- Handle operations -------------------------------------------------

    // Opens `path`. access: fsflag::kGenericRead / kGenericWrite /
    // kGenericReadWrite; disposition: fsflag::kCreateNew (create; 183 when
    // anything, a link included, is there), kCreateAlways (create if
    // missing, keep content), kOpenExisting, kTruncateExisting. New files get
    // 0660 reduced by the umask. `share` and `flags` have no effect. Never
    // waits: a FIFO opens at once for reading (and reads nothing) and fails
    // for writing when no one reads it.
    // *handle is written only on success. 0, 2 (missing) or 87.
    static std::uint32_t CreateFile(const stdx::string16& path, std::uint32_t access,
                                    std::uint32_t share, int disposition, Handle* handle,
                                    std::uint32_t flags);
    // Reads until `count` bytes or end of file. Both outputs null: 87; only
    // bytesRead null: 0 without reading. A short count with 0 means end of file.
    static std::uint32_t ReadFile(Handle handle, void* buffer, std::uint32_t count,
                                  std::uint32_t* bytesRead, void* overlapped);
    // One write() of the whole count; a short write fails (2 or 87).
    // Both outputs null: 87; handle -1: 6; only bytesWritten null: 0, nothing written.
    static std::uint32_t WriteFile(Handle handle, const void* data, std::uint32_t count,
                                   std::int32_t* bytesWritten, void* overlapped);
    // method: fsflag::kFileBegin (and any unknown value), kFileCurrent, kFileEnd.
    // Returns the new position, or -1 (last error 6, 2 or 87).
    static std::int64_t SetFilePointer(Handle handle, std::int64_t offset, int method);
    // Does not clear the last error on success.
    static std::uint32_t CloseHandle(Handle handle);
    // Each output may be null: creation <- status change, access, last write
    // <- modification; whole seconds. 0 or 6.
    static std::uint32_t GetFileTime(Handle handle, FileTime* creation, FileTime* lastAccess,
                                     FileTime* lastWrite);
    // Sets access and modification time to *lastWrite in whole seconds; the
    // other two are ignored. Handle -1: 6; lastWrite null: 2 or 87.
    static std::uint32_t SetFileTime(Handle handle, const FileTime* creation,
                                     const FileTime* lastAccess, const FileTime* lastWrite);
    // Truncates at the current position.
    static std::uint32_t SetEndOfFile(Handle handle);
    // Reads up to `count` bytes at `offset` without moving the file position;
    // a short count with 0 means end of file. 0, or 6 / 87.
    static std::uint32_t ReadFileAt(Handle handle, std::uint64_t offset, void* buffer,
                                    std::uint32_t count, std::uint32_t* bytesRead);
    // Copies up to `count` bytes from `source` at `offset` (its file position
    // stays) to `target` at its file position, inside the kernel. *copied
    // tells how many; fewer than `count` only when `source` ends. 50 (not
    // supported), with nothing copied, when the kernel refuses this pair of
    // files (another file system, a pipe or device, an old kernel): the caller
    // then copies through a buffer. Else 0, or the code of the failure (a full
    // disk: 87) after *copied bytes.
    static std::uint32_t CopyRange(Handle source, std::uint64_t offset, Handle target,
                                   std::uint32_t count, std::uint32_t* copied);
    static std::uint32_t GetLastError();
    // Low 32 bits of the size of `path`. 0, or 1 (no output, or no status).
    // Does not touch the last error.
    static std::uint32_t GetFileSize(const stdx::string16& path, std::uint32_t* size);

    // ---- Status --------------------------------------------------------------

    // What is at `path`, read from its status without opening it (a FIFO
    // cannot block, a file without read permission still has its time). By
    // default a symbolic link is reported as a link, a dangling one included.
    // A path that cannot be converted is nothing. Does not touch the last error.
    static FileStatus Status(const stdx::string16& path, Links links = Links::kNotFollowed);
    // Whether anything, a dangling link included, is at `path`. A "*" in it
    // is an ordinary character.
    static bool Exists(const stdx::string16& path);
    // Gives the file at `path` (never a link's target) the permission bits of
    // `like`, then its owner and group where the process may set them. 0, or
    // the code of the failed chmod; an owner change that is not permitted is
    // no failure.
    static std::uint32_t CopyPermissions(const stdx::string16& path, const FileStatus& like);

    // ---- Enumeration ---------------------------------------------------------

    // "dir/*"-style pattern ("*" in the last component): enumerates the
    // directory with fnmatch, "." and ".." included, in the stream's order.
    // Any other pattern: existence test of that exact path, current name =
    // its last component. True when an entry was found.
    static bool FindFirstFile(FileFind& find, const stdx::string16& pattern);
    static bool FindNextFile(FileFind& find);
    static stdx::string16 GetFindFileName(const FileFind& find);
    // fsflag::kAttributeDirectory (0x10) for a directory, else 0. A symbolic
    // link met while enumerating counts as a plain entry (0), so tree walks
    // built on this never descend through a link.
    static std::uint32_t GetFileAttributes(const FileFind& find);
    // Safe in every state.
    static void FindClose(FileFind& find);

    // ---- Directory tree ------------------------------------------------------

    // 183 when `path` already is a directory (nothing touched); otherwise
    // creates it with every missing parent: 0, 2 when that fails, 87 for a
    // path that cannot be converted.
    static std::uint32_t CreateDirectory(const stdx::string16& path);
    // Makes exactly the directory `path`, whose parent must exist: one mkdir,
    // no walk over the parents. 0 when made; 183 when a directory (or a link
    // to one) is already there; 2 for anything else in the way or a missing
    // parent; 87 for a path that cannot be converted.
    static std::uint32_t CreateSingleDirectory(const stdx::string16& path);
    // Renames; across file systems copies content, permission bits and times,
    // then removes the source. Replaces an existing destination file.
    // 0; 2 for any failure (missing source, missing destination directory,
    // a source that cannot be removed: a new copy of a file is then taken
    // back); 87 for a path that cannot be converted.
    static std::uint32_t MoveFile(const stdx::string16& source, const stdx::string16& destination);
    // Removes the whole tree (or a single file or link) at `path`; never
    // follows a symbolic link. Always 0.
    static std::uint32_t RemoveDirectory(const stdx::string16& path);
    // Unlinks a file. Always 0.
    static std::uint32_t DeleteFile(const stdx::string16& path);
    // A directory only its owner may enter (mode 0700 whatever the umask),
    // made exclusively: no parents, and a name someone else prepared
    // (directory, file or symbolic link, dangling or not) is never reused.
    // 0 when made; 183 when anything already exists at `path`; 2 when the
    // parent is missing; 87 for any other failure or a path that cannot be
    // converted.
    static std::uint32_t CreatePrivateDirectory(const stdx::string16& path);

    // ---- Directory handles and identities -----------------------------------

    // Opens the directory `path` leads to (links on the way are followed,
    // as the user set them up) for the operations below; close it with
    // CloseHandle. 0, 2 (missing or not a directory) or 87.
    static std::uint32_t OpenDirectory(const stdx::string16& path, Handle* directory);
    // Makes the directory `name` (one component) inside `parent` and opens
    // it: 0 when made (opened without following a link); 183 when a
    // directory, or a link to one, was already there (opened as well); 2 for
    // anything else (a file, no permission). *child is written only with 0
    // or 183.
    static std::uint32_t MakeSubdirectory(Handle parent, const stdx::string16& name, Handle* child);
    // The identity of an open file or directory. 0 or 6.
    static std::uint32_t GetIdentity(Handle handle, FileIdentity* identity);
    // The identity of what `path` leads to now (links followed) or of the
    // entry itself (a link is then its own file). 0 or 2.
    static std::uint32_t GetPathIdentity(const stdx::string16& path, FileIdentity* identity,
                                         Links links);
    // A path that names `name` inside the open directory itself, whatever
    // its own path leads to by now (renamed away, a link put in its place):
    // every path operation given it acts in exactly that directory.
    static stdx::string16 PathInDirectory(Handle directory, const stdx::string16& name);
    // Takes the exclusive advisory lock of an open directory (or file) without
    // waiting; it goes when the handle is closed or the process ends. 0, or
    // 32 when another open handle holds it, or 6.
    static std::uint32_t TryLock(Handle handle);

    // Opens the subdirectory `name` (one component; "." opens `parent` once
    // more, ".." is refused) of the open directory `parent`, never through a
    // link. 0; 2 when missing; 87 for a link or anything but a directory.
    static std::uint32_t OpenSubdirectory(Handle parent, const stdx::string16& name, Handle* child);
    // The status of an open file or directory (kind, size, time, mode,
    // owner, identity); nothing when the handle is bad.
    static FileStatus HandleStatus(Handle handle);
    // Takes the shared advisory lock of an open directory without waiting:
    // any number of shared holders, no exclusive one. 0, 33 when another
    // handle holds it exclusively, or 6.
    static std::uint32_t TryLockShared(Handle handle);
    // Renames `source` to `destination` on one file system, only when
    // nothing (not even a dangling link) is at `destination`. 0; 183 when
    // the name is taken; 17 across file systems; 2 for any other failure;
    // 87 for a path that cannot be converted.
    static std::uint32_t MoveFileNoReplace(const stdx::string16& source,
                                           const stdx::string16& destination);

    // ---- Temporary files and free space -------------------------------------

    // TMPDIR when it names a directory, else "/tmp" ("/var/tmp/" on macOS);
    // always ends with "/". Always 0.
    static std::uint32_t GetTempPath(stdx::string16& directory);
    // Creates a new empty owner-only file named directory + prefix + a random
    // part, exclusively and without following links, in exactly `directory`.
    // 0 with the name in `path`, or 1013 with `path` unchanged.
    static std::uint32_t GetTempFileName(const stdx::string16& directory,
                                         const stdx::string16& prefix, stdx::string16& path);
    // The user's state directory: $XDG_STATE_HOME when it is an absolute
    // path, else $HOME/.local/state; it need not exist. Ends with "/";
    // empty when neither variable says. Always 0.
    static std::uint32_t GetStatePath(stdx::string16& directory);
    // Free bytes (including those reserved for the superuser) of the
    // temporary directory's file system, saturated at 0xFFFFFFFF. 0 (also
    // when the query fails: *bytes is then 0), or 87 when bytes is null.
    static std::uint32_t GetDiskFreeSpace(std::uint32_t* bytes);
    // Bytes of the temporary directory's file system that an unprivileged
    // user may still fill, in 64 bits. 0; 87 when bytes is null; 2 or 87 when
    // the query fails (*bytes is then 0).
    static std::uint32_t GetDiskFreeSpace64(std::uint64_t* bytes);
    // The same for the file system that holds `path`, or, when `path` does
    // not exist yet, its nearest existing parent.
    static std::uint32_t GetPathFreeSpace64(const stdx::string16& path, std::uint64_t* bytes);

    // ---- Private files: run records and the kit image ----------------------

    // Creates `path` exclusively, owner-only (0600), open for reading and
    // writing; a link or anything else already there is never opened.
    // 0; 183 when the name is taken; 2 when the parent is missing; 87.
    static std::uint32_t CreatePrivateFile(const stdx::string16& path, Handle* handle);
    // Opens the existing regular file `path` for reading and writing, never
    // through a link, and only when it belongs to this user and no one else
    // may read it. 0; 2 when missing; 87 for a link, a directory, a device,
    // another owner or an open mode.
    static std::uint32_t OpenPrivateFile(const stdx::string16& path, Handle* handle);
    // Creates `path` owner-only (0600) and already holding its exclusive
    // lock (flock): the file is made without a name, locked, and only then
    // linked in under `path`, so that no other process ever finds it under
    // that name unlocked. 0; 183 when the name is taken; 2 when the parent
    // is missing; 87.
    static std::uint32_t CreateLockedPrivateFile(const stdx::string16& path, Handle* handle);
    // Opens the directory `path` only when it is this user's own private
    // one: not a link (in its last component), a directory, owned by this
    // user, with no permission bit for group or others. 0; 2 when missing;
    // 87 for anything else.
    static std::uint32_t OpenPrivateDirectory(const stdx::string16& path, Handle* directory);
    // 0 when the open directory `handle` is this user's own and private
    // (as above), else 87.
    static std::uint32_t CheckPrivate(Handle handle);
    // Writes the file's data, and what reading it back needs, to its disk
    // (fdatasync). 0 or 87.
    static std::uint32_t SyncFileData(Handle handle);
    // Takes the exclusive advisory lock (flock) of `handle` without waiting;
    // it lasts until the handle is closed or the process ends. 0; 32 when
    // another open file holds it; 6 for a bad handle.
    static std::uint32_t TryLockFile(Handle handle);
    // Writes everything cached for the file system that holds `path` to its
    // disk (syncfs; fsync of `path` where there is none), never the whole
    // machine's. 0; 2 when `path` is missing; 87.
    static std::uint32_t SyncFileSystem(const stdx::string16& path);
    // Removes `path` only when it is an empty directory (not a link).
    // 0; 2 when missing; 87 when not empty or not a directory.
    static std::uint32_t RemoveEmptyDirectory(const stdx::string16& path);
    // An owner-only file in `directory` that has no name (O_TMPFILE, or one
    // unlinked at once where the file system cannot), so it goes when the
    // handle is closed or the process ends, however that happens.
    // 0, or 1013 when no file can be made there.
    static std::uint32_t CreateUnnamedFile(const stdx::string16& directory, Handle* handle);

    // Pauses the calling thread. 0, or -1 when the pause was cut short.
    static int SleepMilliseconds(int milliseconds);
};

// The pause is also reachable without naming the policy.
inline int SleepMilliseconds(int milliseconds) {
    return FileSystem::SleepMilliseconds(milliseconds);
}
