// Where a run keeps its record and the earlier versions of the files it
// replaces: a folder private to the user (a "place") on the template
// directory's file system, so that an earlier version moves aside by rename
// (no data copied, hard links kept) and survives a restart that empties
// /tmp or a power cut.
//
// The places, tried in this order:
//   1. S/kelda-setup/ in the user's state directory S ($XDG_STATE_HOME or
//      ~/.local/state), when it lies on the template directory's file
//      system: the usual case, templates below the home directory, and no
//      trace of the installer beside the user's own folders;
//   2. D/.kelda-setup-U/ beside the template directory (D its parent, U the
//      user id), when that is on the template directory's file system and
//      can be listed in the index (below);
//   3. X/kelda-setup-U/ in the temporary directory X, on whatever file
//      system that is: the fallback ("elsewhere") for a template directory
//      whose parent cannot hold a folder (read-only) and whose file system
//      is not the home's. Moves there are copies. When another user holds
//      that name, X/kelda-setup-U-<random>/, listed in the index.
// Each is made 0700 and, whether made now or found, used only when the
// opened directory is this user's, private and no link. A place another
// user holds is passed over: a name in a shared directory never blocks a run.
//
// The index S/kelda-setup/places/ holds one small private file per place of
// the second kind, naming it; it reaches the disk before the place's first
// record. The next start finds every waiting run of this user in places 1
// and 3 and in those the index names.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <vector>

#include "fs/file_system.h"
#include "fs/fs_codes.h"
#include "fs/path.h"
#include "fs/random_name.h"
#include "text/basic_string.h"
#include "text/string_util.h"

namespace install {

struct RunPlace {
    stdx::string16 path;     // ends with "/"
    bool elsewhere = false;  // not on the template directory's file system
};

template <class FS>
class RunPlaces {
  public:
    // Largest index file read; a path is far shorter.
    static constexpr std::int64_t kMaxIndexFileSize = 1 << 16;
    // Random names tried in the temporary directory when the fixed one is
    // another user's.
    static constexpr int kRandomAttempts = 10;

    // Place 1; empty when the user has no state directory.
    static stdx::string16 StatePlace() {
        stdx::string16 state;
        FS::GetStatePath(state);
        return state.empty() ? state : state + u"kelda-setup/";
    }
    static stdx::string16 IndexDirectory() {
        const stdx::string16 state = StatePlace();
        return state.empty() ? state : state + u"places/";
    }
    // Place 2 for `templateDir`; empty for the root.
    static stdx::string16 BesidePlace(const stdx::string16& templateDir) {
        const stdx::string16 dir = fspath::WithoutTrailingSeparators(templateDir);
        const stdx::string16 parent = fspath::Parent(dir);
        if (parent.empty() || dir == u"/") {
            return stdx::string16();
        }
        return fspath::WithTrailingSeparator(parent) + u".kelda-setup-" + UserId() + u"/";
    }
    // Place 3.
    static stdx::string16 TemporaryPlace() {
        stdx::string16 temp;
        FS::GetTempPath(temp);
        return fspath::WithTrailingSeparator(temp) + u"kelda-setup-" + UserId() + u"/";
    }

    // Picks and prepares the place for a run into `templateDir`, whose file
    // system is `device`. 0, or the code of the last place's failure.
    static std::uint32_t Choose(const stdx::string16& templateDir, std::uint64_t device,
                                RunPlace& out) {
        out = RunPlace();
        const stdx::string16 state = StatePlace();
        std::uint64_t placeDevice = 0;
        bool stateReady = false;
        if (!state.empty()) {
            stdx::string16 stateDir;
            FS::GetStatePath(stateDir);
            // The state directory and its parents are ordinary folders.
            if (!FS::Exists(fspath::WithoutTrailingSeparators(stateDir))) {
                FS::CreateDirectory(fspath::WithoutTrailingSeparators(stateDir));
            }
            stateReady = Prepare(state, &placeDevice) == 0;
            if (stateReady && placeDevice == device) {
                out.path = state;
                return 0;
            }
        }
        const stdx::string16 beside = BesidePlace(templateDir);
        if (stateReady && !beside.empty() && Prepare(beside, &placeDevice) == 0 &&
            placeDevice == device && Register(beside) == 0) {
            out.path = beside;
            return 0;
        }
        stdx::string16 temp = TemporaryPlace();
        std::uint32_t result = Prepare(temp, &placeDevice);
        // Someone else holds the name: one of a random name, which the
        // next start finds through the index (if there is one).
        for (int attempt = 0; result != 0 && attempt < kRandomAttempts; ++attempt) {
            temp = fspath::WithoutTrailingSeparators(TemporaryPlace()) + u"-" +
                   stdx::widen(fsdetail::RandomNamePart(10)) + u"/";
            if (FS::Exists(fspath::WithoutTrailingSeparators(temp))) {
                continue;
            }
            result = Prepare(temp, &placeDevice);
            if (result == 0 && stateReady) {
                result = Register(temp);
            }
        }
        if (result != 0) {
            return result;
        }
        out.path = temp;
        out.elsewhere = placeDevice != device;
        return 0;
    }

    // Every place a waiting run of this user may lie in, each once.
    static std::vector<stdx::string16> Known() {
        std::vector<stdx::string16> places;
        const stdx::string16 state = StatePlace();
        if (!state.empty()) {
            places.push_back(state);
        }
        const stdx::string16 index = IndexDirectory();
        FileFind find;
        for (bool more = !index.empty() && FS::FindFirstFile(find, index + u"*"); more;
             more = FS::FindNextFile(find)) {
            const stdx::string16 name = FS::GetFindFileName(find);
            if (name == u"." || name == u"..") {
                continue;
            }
            const stdx::string16 place = ReadIndexFile(index + name);
            if (!place.empty()) {
                places.push_back(place);
            }
        }
        FS::FindClose(find);
        places.push_back(TemporaryPlace());
        std::vector<stdx::string16> unique;
        for (const stdx::string16& place : places) {
            bool seen = false;
            for (const stdx::string16& u : unique) {
                seen |= u == place;
            }
            if (!seen) {
                unique.push_back(place);
            }
        }
        return unique;
    }

  private:
    static stdx::string16 UserId() { return stdx::format_int(int(::geteuid())); }

    // Makes the place when missing; 0 when it is this user's private folder.
    static std::uint32_t Prepare(const stdx::string16& place, std::uint64_t* device) {
        const stdx::string16 dir = fspath::WithoutTrailingSeparators(place);
        std::uint32_t result = 0;
        if (!FS::Exists(dir)) {
            result = FS::CreatePrivateDirectory(dir);
            if (result != 0 && result != fserror::kAlreadyExists) {
                return result;
            }
        }
        typename FS::Handle handle = typename FS::Handle(-1);
        result = FS::OpenPrivateDirectory(dir, &handle);
        if (result != 0) {
            return result;
        }
        *device = FS::HandleStatus(handle).device;
        FS::CloseHandle(handle);
        return 0;
    }

    // The index file's name for `place`: FNV-1a of its 16-bit units, in hex.
    static stdx::string16 IndexName(const stdx::string16& place) {
        std::uint64_t hash = 14695981039346656037ull;
        for (char16_t unit : place) {
            hash ^= std::uint64_t(unit);
            hash *= 1099511628211ull;
        }
        stdx::string16 name;
        for (int shift = 60; shift >= 0; shift -= 4) {
            name.push_back(u"0123456789abcdef"[(hash >> shift) & 0xF]);
        }
        return name;
    }

    // Lists `place` in the index, on disk, unless it is there already.
    static std::uint32_t Register(const stdx::string16& place) {
        const stdx::string16 index = IndexDirectory();
        std::uint64_t device = 0;
        std::uint32_t result = Prepare(index, &device);
        if (result != 0) {
            return result;
        }
        const stdx::string16 file = index + IndexName(place);
        if (ReadIndexFile(file) == place) {
            return 0;
        }
        FS::DeleteFile(file);
        typename FS::Handle handle = typename FS::Handle(-1);
        result = FS::CreatePrivateFile(file, &handle);
        if (result != 0) {
            return result;
        }
        std::string bytes;
        for (char16_t unit : place) {
            bytes.push_back(char(unit & 0xFF));
            bytes.push_back(char(unit >> 8));
        }
        std::int32_t written = 0;
        result =
            FS::WriteFile(handle, bytes.data(), std::uint32_t(bytes.size()), &written, nullptr);
        if (result == 0) {
            result = FS::SyncFileData(handle);
        }
        FS::CloseHandle(handle);
        if (result != 0) {
            FS::DeleteFile(file);
        }
        return result;
    }

    // The place an index file names; empty when it is not one of ours or
    // does not name an absolute folder.
    static stdx::string16 ReadIndexFile(const stdx::string16& file) {
        typename FS::Handle handle = typename FS::Handle(-1);
        if (FS::OpenPrivateFile(file, &handle) != 0) {
            return stdx::string16();
        }
        const std::int64_t size = FS::SetFilePointer(handle, 0, fsflag::kFileEnd);
        std::string bytes;
        std::uint32_t got = 0;
        if (size > 0 && size <= kMaxIndexFileSize && size % 2 == 0 &&
            FS::SetFilePointer(handle, 0, fsflag::kFileBegin) == 0) {
            bytes.resize(std::size_t(size));
            if (FS::ReadFile(handle, &bytes[0], std::uint32_t(size), &got, nullptr) != 0) {
                got = 0;
            }
        }
        FS::CloseHandle(handle);
        stdx::string16 place;
        for (std::size_t i = 0; i + 1 < std::size_t(got); i += 2) {
            place.push_back(char16_t(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8)));
        }
        if (place.size() < 2 || place.front() != u'/' || place.back() != u'/') {
            return stdx::string16();
        }
        return place;
    }
};

// The lock of a template directory: exclusive on the directory itself and
// shared on each of its ancestors, so that two runs into one directory, or
// into a directory and one nested in it, never both proceed (the outer one
// wants exclusive what the inner one holds shared). An ancestor that cannot
// be opened (no permission) is passed over.
template <class FS>
class TemplateLock {
  public:
    TemplateLock() = default;
    TemplateLock(const TemplateLock&) = delete;
    TemplateLock& operator=(const TemplateLock&) = delete;
    ~TemplateLock() { Release(); }

    // `directory` is open already; `path` (no trailing "/") is its path.
    // 0, or 33 when another run holds it or a directory it is nested in.
    std::uint32_t Take(typename FS::Handle directory, const stdx::string16& path) {
        Release();
        std::uint32_t result = FS::TryLock(directory);
        if (result != 0) {
            return result;
        }
        for (stdx::string16 up = fspath::Parent(path); !up.empty() && up != u"/";
             up = fspath::Parent(up)) {
            typename FS::Handle handle = typename FS::Handle(-1);
            if (FS::OpenDirectory(up, &handle) != 0) {
                continue;
            }
            ancestors_.push_back(handle);
            if (FS::TryLockShared(handle) == fserror::kLockedByOther) {
                Release();
                return fserror::kLockedByOther;
            }
        }
        return 0;
    }

    void Release() {
        for (typename FS::Handle handle : ancestors_) {
            FS::CloseHandle(handle);
        }
        ancestors_.clear();
    }

  private:
    std::vector<typename FS::Handle> ancestors_;
};

}  // namespace install
