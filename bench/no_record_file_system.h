// The real file-system policy, except that the run's record goes nowhere:
// written to /dev/null and never synced. The benchmarks' baseline for the
// record's cost.
#pragma once
#include <fcntl.h>

#include <cstdint>

#include "fs/file_system.h"

struct NoRecordFileSystem : FileSystem {
    static int& Sink() {
        static int fd = -1;
        return fd;
    }
    static std::uint32_t CreateLockedPrivateFile(const stdx::string16&, Handle* handle) {
        Sink() = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        *handle = Sink();
        return Sink() >= 0 ? 0 : fserror::kInvalidParameter;
    }
    static std::uint32_t SyncFileData(Handle handle) {
        return handle == Sink() ? 0 : FileSystem::SyncFileData(handle);
    }
    static std::uint32_t WriteFile(Handle handle, const void* data, std::uint32_t count,
                                   std::int32_t* written, void* overlapped) {
        if (handle == Sink()) {
            *written = std::int32_t(count);
            return 0;
        }
        return FileSystem::WriteFile(handle, data, count, written, overlapped);
    }
};
