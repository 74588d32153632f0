// A file-system policy derived from FileSystem that counts the operations
// that change the disk and makes the k-th of them fail. Used to prove that a
// run failing at any point leaves the template directory as it was. Only the
// operations that change the disk (and the temporary directory, which a test
// may move) are re-declared; every other one is the real policy's own.
//
// Operations that change the disk: opening for writing or creating,
// WriteFile and CopyRange (a failing one first writes half of its bytes, like
// a full disk), SetEndOfFile, SetFileTime, CreateDirectory,
// CreateSingleDirectory, MakeSubdirectory, CreatePrivateDirectory, MoveFile,
// RemoveDirectory, RemoveEmptyDirectory, DeleteFile, CopyPermissions,
// GetTempFileName, CreatePrivateFile, CreateLockedPrivateFile,
// CreateUnnamedFile, MoveFileNoReplace.
//
// SetCopyPath(CopyPath::kBuffer) makes CopyRange refuse every pair of files,
// as a kernel or file system without in-kernel copies does, so that callers
// take their read/write fallback.
//
// Instead of failing, the k-th operation may end the process on the spot
// (ArmDeath), as a kill would: the operation does not happen and nothing
// after it runs. Tests run that in a child process.
#pragma once
#include <unistd.h>

#include <cstdint>

#include "fs/file_system.h"

enum class CopyPath { kKernel, kBuffer };

class FaultFileSystem : public FileSystem {
  public:
    // Fail the k-th disk-changing operation from now on (k >= 1) with `code`;
    // k == 0 fails nothing but still counts.
    static void Arm(int k, std::uint32_t code) {
        State& s = state();
        s.failAt = k;
        s.code = code;
        s.count = 0;
        s.injected = false;
        s.death = false;
    }
    static void Disarm() {
        Arm(0, 0);
        OnOperation(0, nullptr, nullptr);
    }
    // Calls `action` just before the k-th disk-changing operation from now on
    // (k >= 1), whether or not that one fails: what someone else sharing
    // the machine might do at that moment.
    static void OnOperation(int k, void (*action)(void*), void* context) {
        State& s = state();
        s.actionAt = k;
        s.action = action;
        s.actionContext = context;
    }
    static void SetCopyPath(CopyPath path) { state().copyPath = path; }
    // End the process with kDeathStatus at the k-th disk-changing operation.
    static constexpr int kDeathStatus = 77;
    static void ArmDeath(int k) {
        Arm(k, 0);
        state().death = true;
    }
    static int Count() { return state().count; }
    static bool Injected() { return state().injected; }

    static std::uint32_t CreateFile(const stdx::string16& path, std::uint32_t access,
                                    std::uint32_t share, int disposition, Handle* handle,
                                    std::uint32_t flags) {
        const bool changes = (access & fsflag::kGenericWrite) != 0 ||
                             disposition == fsflag::kCreateAlways ||
                             disposition == fsflag::kTruncateExisting;
        if (changes && Trip()) {
            return state().code;
        }
        return FileSystem::CreateFile(path, access, share, disposition, handle, flags);
    }
    static std::uint32_t WriteFile(Handle handle, const void* data, std::uint32_t count,
                                   std::int32_t* bytesWritten, void* overlapped) {
        if (Trip()) {
            std::int32_t half = 0;
            FileSystem::WriteFile(handle, data, count / 2, &half, nullptr);
            if (bytesWritten != nullptr) {
                *bytesWritten = half;
            }
            return state().code;
        }
        return FileSystem::WriteFile(handle, data, count, bytesWritten, overlapped);
    }
    static std::uint32_t CopyRange(Handle source, std::uint64_t offset, Handle target,
                                   std::uint32_t count, std::uint32_t* copied) {
        if (state().copyPath == CopyPath::kBuffer) {
            *copied = 0;
            return fserror::kNotSupported;
        }
        if (Trip()) {
            FileSystem::CopyRange(source, offset, target, count / 2, copied);
            return state().code;
        }
        return FileSystem::CopyRange(source, offset, target, count, copied);
    }
    static std::uint32_t SetFileTime(Handle handle, const FileTime* creation,
                                     const FileTime* lastAccess, const FileTime* lastWrite) {
        if (Trip()) {
            return state().code;
        }
        return FileSystem::SetFileTime(handle, creation, lastAccess, lastWrite);
    }
    static std::uint32_t SetEndOfFile(Handle handle) {
        if (Trip()) {
            return state().code;
        }
        return FileSystem::SetEndOfFile(handle);
    }

    static std::uint32_t CreateDirectory(const stdx::string16& path) {
        if (Trip()) {
            return state().code;
        }
        return FileSystem::CreateDirectory(path);
    }
    static std::uint32_t CreateSingleDirectory(const stdx::string16& path) {
        if (Trip()) {
            return state().code;
        }
        return FileSystem::CreateSingleDirectory(path);
    }
    static std::uint32_t MakeSubdirectory(Handle parent, const stdx::string16& name,
                                          Handle* child) {
        if (Trip()) {
            return state().code;
        }
        return FileSystem::MakeSubdirectory(parent, name, child);
    }
    static std::uint32_t CreatePrivateDirectory(const stdx::string16& path) {
        if (Trip()) {
            return state().code;
        }
        return FileSystem::CreatePrivateDirectory(path);
    }
    static std::uint32_t MoveFile(const stdx::string16& source, const stdx::string16& destination) {
        if (Trip()) {
            return state().code;
        }
        return FileSystem::MoveFile(source, destination);
    }
    // These two report success whatever happens; a failing one does nothing.
    static std::uint32_t RemoveDirectory(const stdx::string16& path) {
        if (Trip()) {
            return 0;
        }
        return FileSystem::RemoveDirectory(path);
    }
    static std::uint32_t DeleteFile(const stdx::string16& path) {
        if (Trip()) {
            return 0;
        }
        return FileSystem::DeleteFile(path);
    }
    static std::uint32_t CopyPermissions(const stdx::string16& path, const FileStatus& like) {
        if (Trip()) {
            return state().code;
        }
        return FileSystem::CopyPermissions(path, like);
    }

    static std::uint32_t CreatePrivateFile(const stdx::string16& path, Handle* handle) {
        if (Trip()) {
            return state().code;
        }
        return FileSystem::CreatePrivateFile(path, handle);
    }
    static std::uint32_t CreateLockedPrivateFile(const stdx::string16& path, Handle* handle) {
        if (Trip()) {
            return state().code;
        }
        return FileSystem::CreateLockedPrivateFile(path, handle);
    }
    static std::uint32_t MoveFileNoReplace(const stdx::string16& source,
                                           const stdx::string16& destination) {
        if (Trip()) {
            return state().code;
        }
        return FileSystem::MoveFileNoReplace(source, destination);
    }
    static std::uint32_t RemoveEmptyDirectory(const stdx::string16& path) {
        if (Trip()) {
            return state().code;
        }
        return FileSystem::RemoveEmptyDirectory(path);
    }
    static std::uint32_t CreateUnnamedFile(const stdx::string16& directory, Handle* handle) {
        if (Trip()) {
            return fserror::kCannotWrite;
        }
        return FileSystem::CreateUnnamedFile(directory, handle);
    }

    // A temporary directory that need not exist yet; empty: the real one.
    static void SetTempPath(const stdx::string16& directory) { state().tempPath = directory; }
    static std::uint32_t GetTempPath(stdx::string16& directory) {
        if (!state().tempPath.empty()) {
            directory = state().tempPath;
            return 0;
        }
        return FileSystem::GetTempPath(directory);
    }
    static std::uint32_t GetTempFileName(const stdx::string16& directory,
                                         const stdx::string16& prefix, stdx::string16& path) {
        if (Trip()) {
            return fserror::kCannotWrite;
        }
        return FileSystem::GetTempFileName(directory, prefix, path);
    }

  private:
    struct State {
        int failAt = 0;
        int count = 0;
        std::uint32_t code = 0;
        bool injected = false;
        CopyPath copyPath = CopyPath::kKernel;
        bool death = false;
        int actionAt = 0;
        void (*action)(void*) = nullptr;
        void* actionContext = nullptr;
        stdx::string16 tempPath;
    };
    static State& state() {
        static State s;
        return s;
    }
    // Counts one disk-changing operation; true when this is the one to fail.
    static bool Trip() {
        State& s = state();
        ++s.count;
        if (s.action != nullptr && s.count == s.actionAt) {
            s.action(s.actionContext);
        }
        if (s.failAt != 0 && s.count == s.failAt) {
            if (s.death) {
                _exit(kDeathStatus);
            }
            s.injected = true;
            return true;
        }
        return false;
    }
};
