// A file-system policy with the same static functions as FileSystem that
// forwards every call to it, counts the operations that change the disk, and
// makes the k-th of them fail. Used to prove that a run failing at any point
// leaves the template directory as it was.
//
// Operations that change the disk: opening for writing or creating,
// WriteFile (a failing write first writes half of its bytes, like a full
// disk), SetEndOfFile, SetFileTime, CreateDirectory, CreatePrivateDirectory,
// MoveFile, RemoveDirectory, DeleteFile, GetTempFileName.
#pragma once
#include <cstdint>

#include "fs/file_system.h"
#include "install/private_directory.h"

class FaultFileSystem {
  public:
    using Handle = FileHandle;

    // Fail the k-th disk-changing operation from now on (k >= 1) with `code`;
    // k == 0 fails nothing but still counts.
    static void Arm(int k, std::uint32_t code) {
        State& s = state();
        s.failAt = k;
        s.code = code;
        s.count = 0;
        s.injected = false;
    }
    static void Disarm() { Arm(0, 0); }
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
    static std::uint32_t ReadFile(Handle handle, void* buffer, std::uint32_t count,
                                  std::uint32_t* bytesRead, void* overlapped) {
        return FileSystem::ReadFile(handle, buffer, count, bytesRead, overlapped);
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
    static std::int64_t SetFilePointer(Handle handle, std::int64_t offset, int method) {
        return FileSystem::SetFilePointer(handle, offset, method);
    }
    static std::uint32_t CloseHandle(Handle handle) { return FileSystem::CloseHandle(handle); }
    static std::uint32_t GetFileTime(Handle handle, FileTime* creation, FileTime* lastAccess,
                                     FileTime* lastWrite) {
        return FileSystem::GetFileTime(handle, creation, lastAccess, lastWrite);
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
    static std::uint32_t GetLastError() { return FileSystem::GetLastError(); }
    static std::uint32_t GetFileSize(const stdx::string16& path, std::uint32_t* size) {
        return FileSystem::GetFileSize(path, size);
    }

    static bool FindFirstFile(FileFind& find, const stdx::string16& pattern) {
        return FileSystem::FindFirstFile(find, pattern);
    }
    static bool FindNextFile(FileFind& find) { return FileSystem::FindNextFile(find); }
    static stdx::string16 GetFindFileName(const FileFind& find) {
        return FileSystem::GetFindFileName(find);
    }
    static std::uint32_t GetFileAttributes(const FileFind& find) {
        return FileSystem::GetFileAttributes(find);
    }
    static void FindClose(FileFind& find) { FileSystem::FindClose(find); }

    static std::uint32_t CreateDirectory(const stdx::string16& path) {
        if (Trip()) {
            return state().code;
        }
        return FileSystem::CreateDirectory(path);
    }
    static std::uint32_t CreatePrivateDirectory(const stdx::string16& path) {
        if (Trip()) {
            return state().code;
        }
        return install::MakePrivateDirectory(path);
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
    static std::uint32_t GetDiskFreeSpace(std::uint32_t* bytes) {
        return FileSystem::GetDiskFreeSpace(bytes);
    }
    static std::uint32_t GetDiskFreeSpace64(std::uint64_t* bytes) {
        return FileSystem::GetDiskFreeSpace64(bytes);
    }
    static std::uint32_t GetPathFreeSpace64(const stdx::string16& path, std::uint64_t* bytes) {
        return FileSystem::GetPathFreeSpace64(path, bytes);
    }
    static int SleepMilliseconds(int milliseconds) {
        return FileSystem::SleepMilliseconds(milliseconds);
    }

  private:
    struct State {
        int failAt = 0;
        int count = 0;
        std::uint32_t code = 0;
        bool injected = false;
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
        if (s.failAt != 0 && s.count == s.failAt) {
            s.injected = true;
            return true;
        }
        return false;
    }
};
