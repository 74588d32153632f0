#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <set>

#include "launcher_test_support.h"
#include "text/key_value_file.h"
#include "text/string_util.h"

using testing_support::Sandbox;
using testing_support::u16;

namespace {

std::set<std::string> Names(const std::string& dir) {
    std::set<std::string> names;
    DIR* stream = opendir(dir.c_str());
    if (stream == nullptr)
        return names;
    while (dirent* entry = readdir(stream)) names.insert(entry->d_name);
    closedir(stream);
    return names;
}

// A store whose file form is about `bytes` long.
KeyValueStore BigStore(size_t bytes) {
    KeyValueStore store;
    for (int32_t i = 0; i * 4096 < int32_t(bytes); ++i) {
        store.Add(u"Key" + stdx::format_int(i), stdx::string16(4090, u'v'));
    }
    return store;
}

// The code WriteKeyValueFile throws, or 0.
int WriteCode(const stdx::string16& path, const KeyValueStore& store) {
    try {
        WriteKeyValueFile(path, store);
        return 0;
    } catch (const KeyValueWriteError& e) {
        return e.code();
    }
}

const char kOldContent[] = "DefaultVersion=8.3\nConfigurationTemplatesLocation=/old/t\n";

}  // namespace

TEST(WriteKeyValueFile, WritesBackWhatWasRead) {
    launcher_test::Utf8Locale locale;
    Sandbox box;
    box.write("in.cfg",
              "\xEF\xBB\xBFKey=1\nflag\n=x\nK=1\nk=2\nK=1\nc=v\r\n"
              "\xC3\xBC=\xE2\x82\xAC\nlast");
    KeyValueStore store;
    ReadKeyValueFile(box.at16("in.cfg"), store);
    WriteKeyValueFile(box.at16("out.cfg"), store);
    EXPECT_EQ(Sandbox::read(box.at("out.cfg")),
              "\xEF\xBB\xBFKey=1\nflag\n=x\nK=1\nK=2\nc=v\n\xC3\xBC=\xE2\x82\xAC\nlast\n");
}

TEST(WriteKeyValueFile, KeepsTheLineEndsOfTheFileItRead) {
    launcher_test::Utf8Locale locale;
    Sandbox box;
    box.write("in.cfg", "# my launcher\r\nDefaultVersion=8.3\r\nC=/t\r\n");
    KeyValueStore store;
    ReadKeyValueFile(box.at16("in.cfg"), store);
    store.SetValues(u"C", {u"/new", u"/t"});
    WriteKeyValueFile(box.at16("in.cfg"), store);
    EXPECT_EQ(Sandbox::read(box.at("in.cfg")),
              "# my launcher\r\nDefaultVersion=8.3\r\nC=/new\r\nC=/t\r\n");
}

TEST(WriteKeyValueFile, KeepsPermissionBitsAndSymbolicLinks) {
    launcher_test::Utf8Locale locale;
    Sandbox box;
    box.write("real.cfg", kOldContent);
    ASSERT_EQ(chmod(box.at("real.cfg").c_str(), 0640), 0);
    ASSERT_EQ(symlink("real.cfg", box.at("link.cfg").c_str()), 0);
    KeyValueStore store;
    store.Add(u"a", u"1");

    WriteKeyValueFile(box.at16("link.cfg"), store);

    struct stat st;
    ASSERT_EQ(lstat(box.at("link.cfg").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(box.at("real.cfg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(Sandbox::read(box.at("real.cfg")), "a=1\n");
    EXPECT_EQ(Names(box.path()), (std::set<std::string>{".", "..", "real.cfg", "link.cfg"}));

    const mode_t oldMask = umask(022);
    WriteKeyValueFile(box.at16("fresh.cfg"), store);
    umask(oldMask);
    ASSERT_EQ(stat(box.at("fresh.cfg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST(WriteKeyValueFile, CodeOneWhenTheFileCannotBeCreated) {
    Sandbox box;
    box.mkdirs("dir.cfg");
    KeyValueStore store;
    store.Add(u"a", u"1");
    EXPECT_EQ(WriteCode(box.at16("missing/x.cfg"), store), 1);
    EXPECT_EQ(WriteCode(box.at16("dir.cfg"), store), 1);
    EXPECT_EQ(Names(box.path()), (std::set<std::string>{".", "..", "dir.cfg"}));
}

TEST(WriteKeyValueFile, TextTheLocaleCannotHoldLeavesTheOldFile) {
    launcher_test::ScopedEnv locale("LC_ALL", "C");
    Sandbox box;
    box.write("kv.cfg", kOldContent);
    KeyValueStore store;
    store.Add(u"ConfigurationTemplatesLocation", u"/home/\u00FCser/t");
    EXPECT_EQ(WriteCode(box.at16("kv.cfg"), store), 2);
    EXPECT_EQ(Sandbox::read(box.at("kv.cfg")), kOldContent);
    EXPECT_EQ(Names(box.path()), (std::set<std::string>{".", "..", "kv.cfg"}));
}

// The process may write only a few hundred bytes into any file: the write
// fails half way through, as on a full disk.
TEST(WriteKeyValueFile, HalfFailedWriteLeavesTheOldFileByteIdentical) {
    Sandbox box;
    box.write("kv.cfg", kOldContent);
    const KeyValueStore store = BigStore(128 * 1024);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{300, 300};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(WriteCode(box.at16("kv.cfg"), store));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_EQ(Sandbox::read(box.at("kv.cfg")), kOldContent);
    EXPECT_EQ(Names(box.path()), (std::set<std::string>{".", "..", "kv.cfg"}));
}

TEST(WriteKeyValueFile, FullFileSystemLeavesTheOldFileByteIdentical) {
    Sandbox box;
    box.mkdirs("small");
    const std::string dir = box.at("small");
    if (mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs (needs root)";
    }
    box.write("small/kv.cfg", kOldContent);
    const int code = WriteCode(box.at16("small/kv.cfg"), BigStore(128 * 1024));
    const std::string after = Sandbox::read(box.at("small/kv.cfg"));
    const std::set<std::string> names = Names(dir);
    umount(dir.c_str());

    EXPECT_EQ(code, 2);
    EXPECT_EQ(after, kOldContent);
    EXPECT_EQ(names, (std::set<std::string>{".", "..", "kv.cfg"}));
}

// In the "C" locale "a\u00E9.cfg" has no 8-bit form; its convertible prefix
// "a" is another file, which neither the reader nor the writer may touch.
TEST(WriteKeyValueFile, PathTheLocaleCannotHoldIsRefused) {
    launcher_test::ScopedEnv locale("LC_ALL", "C");
    Sandbox box;
    box.write("a", kOldContent);
    stdx::string16 path = box.at16("a");
    path.push_back(u'\u00E9');
    path += stdx::string16(u".cfg");
    KeyValueStore store;
    EXPECT_EQ(ReadKeyValueFile(path, store), kKeyValueNotOpened);
    EXPECT_TRUE(store.Empty());

    store.Add(u"a", u"1");
    EXPECT_EQ(WriteCode(path, store), 1);
    EXPECT_EQ(WriteCode(u"", store), 1);
    EXPECT_EQ(Sandbox::read(box.at("a")), kOldContent);
    EXPECT_EQ(Names(box.path()), (std::set<std::string>{".", "..", "a"}));
}

// A write killed before its rename leaves "<name>.new-<pid>-<n>" behind; the
// next write removes it, but only a dead writer's regular file of this user
// with exactly that pattern.
TEST(WriteKeyValueFile, RemovesWhatAKilledWriteLeftAndNothingElse) {
    Sandbox box;
    box.write("kv.cfg", kOldContent);
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    const std::string dead = std::to_string(child);
    const std::string alive = std::to_string(getppid());
    box.write("kv.cfg.new-" + dead + "-7", "half");
    box.write("kv.cfg.new-" + alive + "-1", "a writer at work");
    box.write("kv.cfg.new-" + dead + "-x", "not the pattern");
    box.write("other.cfg.new-" + dead + "-1", "another file's");
    ASSERT_EQ(mkdir(box.at("kv.cfg.new-" + dead + "-3").c_str(), 0755), 0);
    const bool root = geteuid() == 0;
    if (root) {
        box.write("kv.cfg.new-" + dead + "-9", "another user's");
        ASSERT_EQ(chown(box.at("kv.cfg.new-" + dead + "-9").c_str(), 12345, 12345), 0);
    }
    KeyValueStore store;
    store.Add(u"a", u"1");
    WriteKeyValueFile(box.at16("kv.cfg"), store);
    EXPECT_EQ(Sandbox::read(box.at("kv.cfg")), "a=1\n");
    std::set<std::string> expected = {".",
                                      "..",
                                      "kv.cfg",
                                      "kv.cfg.new-" + alive + "-1",
                                      "kv.cfg.new-" + dead + "-x",
                                      "other.cfg.new-" + dead + "-1",
                                      "kv.cfg.new-" + dead + "-3"};
    if (root) {
        expected.insert("kv.cfg.new-" + dead + "-9");
    }
    EXPECT_EQ(Names(box.path()), expected);
}
