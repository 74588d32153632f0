// Pure rules of the start-up checks, kept apart so they can be tested alone.
#pragma once
#include <cstdint>

#include "platform/executable_path.h"
#include "text/basic_string.h"

namespace wizard {

// Factor between the kit file's size and the free space the temporary
// directory must offer: the inflated image and its extraction need room.
constexpr uint64_t kTempSpaceFactor = 3;

// The proposal after its clean-up: URL-like values ("http://", "https://",
// "ftp://" anywhere, case-sensitive) become empty, the first "file://" is cut
// out, and every line feed, then every carriage return, is removed.
stdx::string16 CleanProposedDirectory(stdx::string16 dir);

// True when three times `kitSize` (computed without overflow) fits in
// `freeBytes`.
bool EnoughTempSpace(uint64_t kitSize, uint64_t freeBytes);

// The kit's path (UTF-8) for an executable at `exePath`: the kit lies in the
// executable's directory, or beside the application bundle that holds it.
// Empty when `exePath` is empty.
stdx::string8 KitPathBesideExecutable(const stdx::string8& exePath,
                                      platform::ExecutableLayout layout);

// The kit's path (UTF-8) in the directory `dir`, used unchanged.
stdx::string8 KitPathInDirectory(const stdx::string8& dir);

}  // namespace wizard
