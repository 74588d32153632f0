// Conversion of 16-bit paths to the 8-bit form the system calls take, and
// the errno-to-code mapping shared by the file-system operations.
#pragma once
#include <cstdint>

#include "text/basic_string.h"

namespace fsdetail {

// False when `path` holds U+0000 (it would be cut short at that point) or
// cannot be represented in the locale's encoding.
bool ToNativePath(const stdx::string16& path, stdx::string8& out);

// 2 for ENOENT, 87 for any other errno.
std::uint32_t CodeFromErrno(int error);

// Sets the process-wide last error read by FileSystem::GetLastError.
void SetLastError(std::uint32_t code);

}  // namespace fsdetail
