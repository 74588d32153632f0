// Shared helpers of the installation tests: real kits built with the kit
// writer, a recorder of the channel's posts, a temporary directory of the
// test's own, and an exact snapshot of a directory tree.
#pragma once
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "install/install_engine.h"
#include "install/install_process_data.h"
#include "kit/kit_writer.h"
#include "support/sandbox.h"

namespace installtest {

using testing_support::Sandbox;
using testing_support::u16;
using testing_support::utf8;

constexpr int64_t kKitSeconds = 1600000000;  // 2020-09-13, the kit files' time

struct KitFile {
    std::string name;  // "\" separated
    std::string content;
    int64_t seconds = kKitSeconds;
    uint64_t subSecondTicks = 0;
};

// Writes a kit with `files` at `path` and returns the path.
inline std::string BuildKit(const std::string& path, const std::vector<KitFile>& files) {
    kit::KitWriter writer;
    writer.AddProduct({u"en", u"Templates", u"Provider", u""});
    for (const KitFile& f : files) {
        writer.AddFile(u16(f.name), kit::FileTimeFromUnix(f.seconds) + f.subSecondTicks, f.content);
    }
    std::string error;
    EXPECT_TRUE(writer.WriteKit(path, &error)) << error;
    return path;
}

inline void SetTime(const std::string& path, int64_t seconds) {
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = time_t(seconds);
    times[0].tv_nsec = times[1].tv_nsec = 0;
    ASSERT_EQ(0, utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW)) << path;
}

inline int64_t MTime(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? int64_t(st.st_mtime) : -1;
}

inline ino_t Inode(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

inline mode_t Mode(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

// Points an environment variable elsewhere for the object's lifetime.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        const char* old = getenv(name);
        hadOld_ = old != nullptr;
        if (hadOld_) {
            old_ = old;
        }
        setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() {
        if (hadOld_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

  private:
    const char* name_;
    bool hadOld_ = false;
    std::string old_;
};

// Points TMPDIR at a directory of the test's own for the test's lifetime.
class ScopedTempDir {
  public:
    explicit ScopedTempDir(const std::string& dir)
        : temp_("TMPDIR", (mkdir(dir.c_str(), 0755), dir)) {}

  private:
    ScopedVariable temp_;
};

// The private place of this user's runs in the state directory (the
// sandbox's, see Sandbox).
inline std::string StatePlace() {
    const char* state = getenv("XDG_STATE_HOME");
    return std::string(state != nullptr ? state : "/nonexistent") + "/kelda-setup";
}

// Makes that place as a run would.
inline void MakeStatePlace() {
    ASSERT_EQ(0, system(("mkdir -p '" + StatePlace() + "'").c_str()));
    ASSERT_EQ(0, chmod(StatePlace().c_str(), 0700));
}

// Names in `dir` (not "." and ".."), sorted.
inline std::vector<std::string> ListDir(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..") {
                names.push_back(n);
            }
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// One entry of a tree as the tests compare it. Directory times are left out:
// adding and removing entries changes them.
struct Entry {
    mode_t mode = 0;  // type and permission bits
    int64_t mtimeSeconds = 0;
    long mtimeNanoseconds = 0;
    std::string content;  // file bytes or link target
    bool operator==(const Entry& o) const {
        return mode == o.mode && mtimeSeconds == o.mtimeSeconds &&
               mtimeNanoseconds == o.mtimeNanoseconds && content == o.content;
    }
};
using Snapshot = std::map<std::string, Entry>;

inline Snapshot TakeSnapshot(std::string root) {
    while (root.size() > 1 && root.back() == '/') {
        root.pop_back();
    }
    static Snapshot* current = nullptr;
    static size_t rootLength = 0;
    Snapshot snapshot;
    current = &snapshot;
    rootLength = root.size();
    nftw(
        root.c_str(),
        [](const char* p, const struct stat* st, int, struct FTW*) {
            Entry e;
            e.mode = st->st_mode;
            std::string rel = std::string(p).substr(rootLength);
            if (S_ISREG(st->st_mode)) {
                e.content = Sandbox::read(p);
            }
            if (S_ISLNK(st->st_mode)) {
                char target[4096];
                ssize_t n = readlink(p, target, sizeof target);
                e.content.assign(target, n > 0 ? size_t(n) : 0);
            }
            if (!S_ISDIR(st->st_mode)) {
                e.mtimeSeconds = st->st_mtim.tv_sec;
                e.mtimeNanoseconds = st->st_mtim.tv_nsec;
            }
            (*current)[rel] = e;
            return 0;
        },
        32, FTW_PHYS);
    current = nullptr;
    return snapshot;
}

// The modification time (seconds) of every directory in the tree at `root`,
// "" for the root itself, for a rollback that must set them back.
inline std::map<std::string, int64_t> DirectoryTimes(std::string root) {
    while (root.size() > 1 && root.back() == '/') {
        root.pop_back();
    }
    static std::map<std::string, int64_t>* current = nullptr;
    static size_t rootLength = 0;
    std::map<std::string, int64_t> times;
    current = &times;
    rootLength = root.size();
    nftw(
        root.c_str(),
        [](const char* p, const struct stat* st, int, struct FTW*) {
            if (S_ISDIR(st->st_mode)) {
                (*current)[std::string(p).substr(rootLength)] = st->st_mtim.tv_sec;
            }
            return 0;
        },
        32, FTW_PHYS);
    current = nullptr;
    return times;
}

// Gives every directory of the tree at `root` an old time, so that a change
// shows.
inline void AgeDirectories(const std::string& root) {
    ASSERT_EQ(0,
              system(("find '" + root + "' -type d -exec touch -h -d '2001-01-01' {} +").c_str()));
}

// Explains the first difference between two snapshots, or "" when equal.
inline std::string Difference(const Snapshot& before, const Snapshot& after) {
    for (const auto& [path, entry] : before) {
        auto it = after.find(path);
        if (it == after.end()) {
            return "missing afterwards: " + path;
        }
        if (!(it->second == entry)) {
            return "changed: " + path;
        }
    }
    for (const auto& [path, entry] : after) {
        if (before.find(path) == before.end()) {
            return "extra afterwards: " + path;
        }
    }
    return "";
}

struct Post {
    uint32_t code = 0;
    std::string text;
    int progress = 0;
};

// Collects every post through the channel's wake-up hook. Each post calls the
// hook once, and the run-end mark calls it once more; that call records the
// run's end instead of a post.
class PostRecorder {
  public:
    explicit PostRecorder(InstallProcessData& channel) : channel_(channel) {
        channel.SetNotify(&PostRecorder::Hook, this);
    }
    ~PostRecorder() { channel_.SetNotify(nullptr, nullptr); }

    std::vector<Post> posts;
    int runEnds = 0;
    // Called from the hook with the latest post; tests may react to it.
    void (*onPost)(void* context, const Post& post) = nullptr;
    void* onPostContext = nullptr;

  private:
    static void Hook(void* self) {
        PostRecorder* r = static_cast<PostRecorder*>(self);
        uint32_t result = 0;
        if (r->channel_.ReadRunEnd(result) && r->runEnds == 0) {
            ++r->runEnds;
            return;
        }
        Post p;
        stdx::string16 text;
        r->channel_.ReadStatus(p.code, text, p.progress);
        p.text = utf8(text);
        r->posts.push_back(p);
        if (r->onPost != nullptr) {
            r->onPost(r->onPostContext, p);
        }
    }

    InstallProcessData& channel_;
};

// An opened real kit and a channel, and a way to run one installation on them
// synchronously.
template <class FS>
class Job {
  public:
    using Kit = InstallData<LZCompressor, FS>;
    using Engine = BasicInstallEngine<FS, Kit>;

    explicit Job(const Sandbox& box) : recorder(channel), box_(box) {}

    // Builds the kit from `files` and opens it; false on failure.
    bool Open(const std::vector<KitFile>& files) {
        BuildKit(box_.at("kelda.efd"), files);
        return kit.Open(u16(box_.at("kelda.efd"))) == 0;
    }
    uint32_t Run(const std::string& templateDir) {
        Engine engine;
        engine.finishPauseMilliseconds = 0;
        channel.Start(nullptr, u16(templateDir));
        stdx::string16 dir;
        InstallProcessData::Kit* unused = nullptr;
        channel.ReadJob(unused, dir);
        uint32_t result = engine.RunJob(&channel, &kit, dir);
        stagingDir = engine.transactions.empty() ? std::string()
                                                 : utf8(engine.transactions.back().stagingDir);
        return result;
    }

    Kit kit;
    InstallProcessData channel;
    PostRecorder recorder;
    std::string stagingDir;  // of the last run, with a trailing "/"

  private:
    const Sandbox& box_;
};

// Entries named kvtmp* in `dir`.
// Staging folders and records of runs in the temporary directory `dir`:
// in it (the previous version's place), in this user's place in it, and in
// this user's place in the state directory.
inline std::vector<std::string> StagingNames(const std::string& dir) {
    std::vector<std::string> names;
    const std::string places[] = {dir, dir + "/kelda-setup-" + std::to_string(geteuid()),
                                  StatePlace()};
    for (const std::string& place : places) {
        for (const std::string& n : ListDir(place)) {
            if (n.rfind("kvtmp", 0) == 0) {
                names.push_back(n);
            }
        }
    }
    return names;
}

}  // namespace installtest
