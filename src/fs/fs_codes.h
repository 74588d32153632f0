// Numeric results and argument values shared by the file-system policy and
// every caller that passes its codes on (kit reader, installation engine,
// dialog). The numbers follow the Win32 error and flag numbering so that
// results read the same on every platform.
#pragma once
#include <cstdint>

namespace fserror {
constexpr std::uint32_t kSuccess = 0;
constexpr std::uint32_t kFailure = 1;            // plain failure (GetFileSize)
constexpr std::uint32_t kFileNotFound = 2;       // ENOENT, or a failed directory operation
constexpr std::uint32_t kPathNotFound = 3;       // no parent directory can be derived
constexpr std::uint32_t kInvalidHandle = 6;      // handle -1, or its status unreadable
constexpr std::uint32_t kInvalidData = 13;       // damaged compressed data
constexpr std::uint32_t kNotSameDevice = 17;     // a rename across file systems
constexpr std::uint32_t kSharingViolation = 32;  // another open file holds the lock
constexpr std::uint32_t kLockedByOther = 33;     // another run holds the directory's lock
constexpr std::uint32_t kNotSupported = 50;      // CopyRange refused by the kernel
constexpr std::uint32_t kInvalidParameter = 87;  // any other errno, missing output, bad path
constexpr std::uint32_t kAlreadyExists = 183;    // CreateDirectory found the directory
constexpr std::uint32_t kCannotWrite = 1013;     // GetTempFileName could not create its file
constexpr std::uint32_t kCancelled = 1223;       // the installation was cancelled
// A directory of the run is no longer the one it used (swapped for a link or
// another directory while the run went on); nothing more is done in it.
constexpr std::uint32_t kDirectoryReplaced = 681;
}  // namespace fserror

namespace fsflag {
// Access masks for FileSystem::CreateFile.
constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kGenericReadWrite = 0xC0000000u;
// Creation dispositions.
constexpr int kCreateNew = 1;         // create; fail when anything (a link too) is there
constexpr int kCreateAlways = 2;      // create if missing; an existing file keeps its bytes
constexpr int kCreateEmpty = 6;       // create if missing, else empty it (one open, no truncate)
constexpr int kOpenExisting = 3;      // fail when missing
constexpr int kTruncateExisting = 5;  // fail when missing, else empty it
// Flags and attributes (accepted, without effect).
constexpr std::uint32_t kAttributeNormal = 0x80;
constexpr std::uint32_t kFlagSequentialScan = 0x8000000;
// Attribute word of FileSystem::GetFileAttributes.
constexpr std::uint32_t kAttributeDirectory = 0x10;
// Move methods for FileSystem::SetFilePointer.
constexpr int kFileBegin = 0;
constexpr int kFileCurrent = 1;
constexpr int kFileEnd = 2;
}  // namespace fsflag
