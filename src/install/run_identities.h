// What a run knows about the directories it works in and the files it
// wrote, by identity (device and inode) rather than by spelling.
//
// A directory is remembered the first time the run uses it, together with
// every directory between it and the template directory; from then on a
// path that leads somewhere else (the directory was renamed away and a link
// or another directory put in its place) is refused, so neither the run nor
// its rollback writes or deletes through it. Links the user had set up
// before the run are followed when first met, as before.
//
// The files the run wrote are known by identity, so that a second kit name
// for one of them (a link to a directory in the template tree, a name that
// differs only in case on a case-insensitive file system) is recognised as
// the run's own output and not backed up as if it were an earlier version.
#pragma once
#include <map>
#include <set>

#include "fs/file_system.h"
#include "fs/fs_codes.h"
#include "text/basic_string.h"

template <class FS>
class RunIdentities {
  public:
    // 0 when `identity` (of `dir`, no trailing "/", as just opened) is the
    // directory the run first used under that name, remembering it and its
    // parents up to `root` on first use; 681 when it is another one.
    std::uint32_t Check(const stdx::string16& dir, const FileIdentity& identity,
                        const stdx::string16& root) {
        auto known = directories_.find(dir);
        if (known != directories_.end()) {
            return known->second == identity ? 0 : fserror::kDirectoryReplaced;
        }
        // First use: the parents must still be the ones the run knows.
        for (size_t end = root.size(); end < dir.size(); end = dir.find(u'/', end + 1)) {
            const stdx::string16 parent = dir.substr(0, end);
            if (!parent.empty() && Remember(parent) != 0) {
                return fserror::kDirectoryReplaced;
            }
        }
        directories_.emplace(dir, identity);
        return 0;
    }

    // Remembers `dir` as the directory `identity` (one the run just made or
    // opened and locked).
    void Note(const stdx::string16& dir, const FileIdentity& identity) {
        directories_[dir] = identity;
    }

    // True when `identity` is the directory the run remembered as `dir`.
    // For the rollback: a directory the run never used is not trusted.
    bool IsKnown(const stdx::string16& dir, const FileIdentity& identity) const {
        auto known = directories_.find(dir);
        return known != directories_.end() && known->second == identity;
    }

    // True when the entry at `path` itself (a link is not followed) is the
    // directory the run remembered as `dir`: a created directory it may
    // remove.
    bool IsSameEntry(const stdx::string16& dir, const stdx::string16& path) const {
        auto known = directories_.find(dir);
        FileIdentity now;
        return known != directories_.end() &&
               FS::GetPathIdentity(path, &now, Links::kNotFollowed) == 0 && known->second == now;
    }

    // The file at `path` (not followed) is now one the run wrote.
    void NoteWritten(const stdx::string16& path) {
        FileIdentity identity;
        if (FS::GetPathIdentity(path, &identity, Links::kNotFollowed) == 0) {
            written_.insert(identity);
        }
    }

    // True when the entry at `path` is a file this run wrote.
    bool IsWritten(const stdx::string16& path) const {
        FileIdentity identity;
        return FS::GetPathIdentity(path, &identity, Links::kNotFollowed) == 0 &&
               written_.count(identity) != 0;
    }

  private:
    std::uint32_t Remember(const stdx::string16& dir) {
        FileIdentity now;
        if (FS::GetPathIdentity(dir, &now, Links::kFollowed) != 0) {
            return fserror::kDirectoryReplaced;
        }
        auto known = directories_.emplace(dir, now).first;
        return known->second == now ? 0 : fserror::kDirectoryReplaced;
    }

    std::map<stdx::string16, FileIdentity> directories_;
    std::set<FileIdentity> written_;
};
