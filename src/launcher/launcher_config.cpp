// Reading and writing back the template-directory list of the launcher files.
#include "launcher/launcher_config.h"

#include <string>
#include <unordered_set>

#include "fs/file_system.h"
#include "fs/path.h"
#include "launcher/launcher_paths.h"
#include "text/key_value_file.h"
#include "text/string_util.h"

using stdx::string16;

const char16_t kTemplatesLocationKey[] = u"ConfigurationTemplatesLocation";

namespace {

// The values of the key not yet in `dirs` (compared without regard to case,
// through `seen`, the folded texts of `dirs`).
void AppendValuesOf(const KeyValueStore& store, std::vector<string16>& dirs,
                    std::unordered_set<std::string>& seen) {
    const std::vector<string16>* values = store.Find(string16(kTemplatesLocationKey));
    if (values == nullptr)
        return;
    seen.reserve(seen.size() + values->size());
    for (const string16& value : *values) {
        if (seen.insert(stdx::fold_nocase(value)).second)
            dirs.push_back(value);
    }
}

// Reads one file into `store`; whatever goes wrong, the other file is still
// read. Returns true when the store holds the file's whole content (or the
// file does not exist), so that writing the store back loses nothing.
bool ReadInto(const string16& path, KeyValueStore& store) {
    try {
        switch (ReadKeyValueFile(path, store)) {
            case kKeyValueRead:
                return true;
            case kKeyValueNotOpened:
                return !FileSystem::Exists(path);
            default:
                return false;
        }
    } catch (...) {
        return false;
    }
}

}  // namespace

void RemoveTrailingSlashDuplicates(std::vector<string16>& dirs) {
    std::unordered_set<std::string> seen;
    seen.reserve(dirs.size());
    std::vector<string16> kept;
    kept.reserve(dirs.size());
    for (const string16& dir : dirs) {
        if (seen.insert(stdx::fold_nocase(fspath::WithTrailingSeparator(dir))).second)
            kept.push_back(dir);
    }
    dirs.swap(kept);
}

string16 LauncherConfig::MainFile(LauncherMode mode) {
    return mode == LauncherMode::kPrimary ? PrimaryLauncherFile() : SecondaryLauncherFile();
}

string16 LauncherConfig::ExtraFile(LauncherMode mode) {
    return mode == LauncherMode::kPrimary ? ProductLauncherFile() : PrimaryLauncherFile();
}

bool LauncherConfig::LoadMain() {
    return ReadInto(MainFile(mode_), main_);
}

void LauncherConfig::LoadExtra() {
    ReadInto(ExtraFile(mode_), extra_);
}

std::vector<string16> LauncherConfig::ReadTemplateDirs(LauncherMode mode) {
    LauncherConfig config(mode);
    config.LoadMain();
    config.LoadExtra();

    std::vector<string16> dirs;
    std::unordered_set<std::string> seen;
    AppendValuesOf(config.main_, dirs, seen);
    AppendValuesOf(config.extra_, dirs, seen);
    for (string16& dir : dirs) stdx::replace_all(dir, string16(u"\\"), string16(u"/"));
    RemoveTrailingSlashDuplicates(dirs);
    return dirs;
}

void LauncherConfig::WriteTemplateDirs(const std::vector<string16>& dirs, LauncherMode mode) {
    LauncherConfig config(mode);
    // Text we could not read or decode is not in the store; writing the
    // store back would destroy it, so the file is left as it is.
    if (!config.LoadMain())
        throw KeyValueWriteError(2);

    std::vector<string16> list = dirs;
    RemoveTrailingSlashDuplicates(list);
    const string16 key(kTemplatesLocationKey);
    config.main_.SetValues(key, list);

    const string16 file = MainFile(mode);
    const string16 directory = DirectoryOfFile(file);
    if (!FileSystem::Exists(file))
        FileSystem::CreateDirectory(directory);
    try {
        WriteKeyValueFile(file, config.main_);
        return;
    } catch (const KeyValueWriteError&) {
        // The directory may have gone away since the first step; a second
        // failure goes to the caller.
    }
    FileSystem::CreateDirectory(directory);
    WriteKeyValueFile(file, config.main_);
}
