// Whole-tree helpers on 8-bit paths behind FileSystem::RemoveDirectory and
// the cross-file-system branch of FileSystem::MoveFile. Neither ever follows
// a symbolic link: links are removed or copied as links.
#pragma once

namespace fsdetail {

// Removes the file, link or directory tree at `path`. False when something
// could not be removed (the rest is still removed).
bool RemoveTree(const char* path);

// Copies the file, link or directory tree at `source` to `destination`
// (which must not exist, or for a file may be replaced), keeping permission
// bits and modification times. On failure nothing new is left at
// `destination` and an existing destination file is unchanged.
bool CopyTree(const char* source, const char* destination);

}  // namespace fsdetail
