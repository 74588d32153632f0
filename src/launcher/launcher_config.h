// The template-directory list kept in the launcher program's settings file
// under the key "ConfigurationTemplatesLocation" (one line per directory).
//
// Two modes fix which files are used:
//
//   mode       main file (read first, written)   extra file (read second only)
//   primary    PrimaryLauncherFile               ProductLauncherFile
//   secondary  SecondaryLauncherFile             PrimaryLauncherFile
//
// Every other key of the main file is kept as read and written back in its
// place. Each call builds its own LauncherConfig; nothing is cached.
#pragma once

#include <vector>

#include "text/basic_string.h"
#include "text/key_value_store.h"

enum class LauncherMode { kPrimary, kSecondary };

class LauncherConfig {
  public:
    // The merged list of both files of the mode: main file first, backslashes
    // turned into slashes, entries that differ only in case or in a trailing
    // slash given once (the first spelling wins). Never fails: missing or
    // unreadable files contribute nothing.
    static std::vector<stdx::string16> ReadTemplateDirs(LauncherMode mode);

    // Rewrites the main file of the mode with the key set to `dirs` (trailing
    // slash duplicates removed, values kept as passed). Creates the file and
    // its directory when missing. Tries twice, re-creating the file's
    // directory in between; throws KeyValueWriteError after the second
    // failure, and then the file is as it was before the call.
    static void WriteTemplateDirs(const std::vector<stdx::string16>& dirs, LauncherMode mode);

    // The files of a mode.
    static stdx::string16 MainFile(LauncherMode mode);
    static stdx::string16 ExtraFile(LauncherMode mode);

  private:
    explicit LauncherConfig(LauncherMode mode) : mode_(mode) {}
    // Reads the main file into the main store; false when part of an existing
    // file could not be read or decoded, so writing it back would lose text.
    bool LoadMain();
    void LoadExtra();

    LauncherMode mode_;
    KeyValueStore main_;
    KeyValueStore extra_;
};

// The key of the template-directory list, spelled as the launcher writes it.
extern const char16_t kTemplatesLocationKey[];

// Removes, in place, every entry whose text with a "/" appended (unless it is
// empty or already ends with "/" or "\") equals an earlier one's without
// regard to case. The entries that stay are unchanged.
void RemoveTrailingSlashDuplicates(std::vector<stdx::string16>& dirs);
