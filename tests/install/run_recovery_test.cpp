// The run record and its recovery on their own: the record's reader against
// cut-short and damaged bytes, and the records a recovery must refuse or
// leave alone (another user's, a link, a live run's, one naming a path
// outside its template directory, a file the user changed since).
#include "install/run_recovery.h"

#include <gtest/gtest.h>
#include <sys/file.h>

#include "install/run_journal.h"
#include "install_test_support.h"

namespace installtest {
namespace {

using install::JournalContents;
using install::JournalEntry;
using install::JournalKind;
using install::RecoveryOutcome;

std::string Entry(JournalKind kind, const std::string& path, uint64_t size = 0,
                  int64_t seconds = 0) {
    JournalEntry e;
    e.kind = kind;
    e.path = u16(path);
    e.size = size;
    e.seconds = seconds;
    return install::EncodePreviousEntry(e);
}

TEST(RunJournal, ReaderAcceptsOnlyWholeRecordsAndACutShortTail) {
    const std::string header = install::EncodePreviousHeader(u"/t/", u"/tmp/kvtmp0/");
    const std::string one = Entry(JournalKind::kNewFile, "/t/a");
    struct Case {
        const char* what;
        std::string bytes;
        bool readable;
        size_t entries;
    } cases[] = {
        {"empty: died before the first byte", "", true, 0},
        {"half the magic", header.substr(0, 4), true, 0},
        {"cut inside the directories", header.substr(0, header.size() - 3), true, 0},
        {"header only", header, true, 0},
        {"one entry", header + one, true, 1},
        {"cut-short tail ignored", header + one + one.substr(0, 9), true, 1},
        {"wrong magic", "XXJRNL01" + header.substr(8), false, 0},
        {"damaged entry", header + one.substr(0, 5) + "?" + one.substr(6), false, 0},
        {"directory entry after the header", header + header.substr(8), false, 0},
    };
    for (const Case& c : cases) {
        JournalContents contents;
        EXPECT_EQ(c.readable, install::ParseJournal(c.bytes, contents)) << c.what;
        EXPECT_EQ(c.entries, contents.entries.size()) << c.what;
    }
}

class Recovery : public ::testing::Test {
  public:
    Sandbox box;
    ScopedTempDir temp{box.at("tmp")};
    std::string tpl = box.at("templates/");
    std::string record = box.at("tmp/kvtmp3.journal");

    void SetUp() override { box.write("templates/new.txt", "written by the run"); }

    void WriteRecord(const std::string& entries, const std::string& templateDir = "") {
        box.write("tmp/kvtmp3.journal",
                  install::EncodePreviousHeader(u16(templateDir.empty() ? tpl : templateDir),
                                               u16(box.at("tmp/kvtmp3/"))) +
                      entries);
    }
    std::vector<install::RecoveredRun> Recover() {
        return install::RunRecovery<FileSystem>().RecoverAll();
    }
};

TEST_F(Recovery, RecordsThatMustNotBeActedOnAreLeftAlone) {
    const std::string newFile = Entry(JournalKind::kNewFile, tpl + "new.txt");
    struct Case {
        const char* what;
        void (*prepare)(Recovery&, const std::string&);
    } cases[] = {
        {"path outside its template directory",
         [](Recovery& r, const std::string&) {
             r.WriteRecord(Entry(JournalKind::kNewFile, r.tpl + "../outside.txt"));
         }},
        {"template directory not absolute",
         [](Recovery& r, const std::string& e) { r.WriteRecord(e, "templates/"); }},
        {"another user's record",
         [](Recovery& r, const std::string& e) {
             r.WriteRecord(e);
             ASSERT_EQ(0, chown(r.record.c_str(), 4242, 4242));
         }},
        {"a link in the record's place",
         [](Recovery& r, const std::string& e) {
             r.box.write("elsewhere.journal", "");
             r.WriteRecord(e);
             rename(r.record.c_str(), r.box.at("elsewhere.journal").c_str());
             ASSERT_EQ(0, symlink(r.box.at("elsewhere.journal").c_str(), r.record.c_str()));
         }},
    };
    for (const Case& c : cases) {
        unlink(record.c_str());
        c.prepare(*this, newFile);
        const auto runs = Recover();
        ASSERT_EQ(1u, runs.size()) << c.what;
        EXPECT_EQ(RecoveryOutcome::kUnreadable, runs[0].outcome) << c.what;
        EXPECT_TRUE(Sandbox::exists(tpl + "new.txt")) << c.what;
        EXPECT_TRUE(Sandbox::exists(record)) << c.what;
    }
}

TEST_F(Recovery, ALiveRunIsNotTouched) {
    WriteRecord(Entry(JournalKind::kNewFile, tpl + "new.txt"));
    const int fd = open(record.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(0, flock(fd, LOCK_EX));
    EXPECT_TRUE(Recover().empty());
    close(fd);
    EXPECT_TRUE(Sandbox::exists(tpl + "new.txt"));
    const auto runs = Recover();
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(RecoveryOutcome::kUndone, runs[0].outcome);
    EXPECT_FALSE(Sandbox::exists(tpl + "new.txt"));
    EXPECT_TRUE(StagingNames(box.at("tmp")).empty());
}

TEST_F(Recovery, AFileChangedSinceTheRunIsKeptAndReported) {
    SetTime(tpl + "new.txt", kKitSeconds);
    WriteRecord(Entry(JournalKind::kNewFile, tpl + "new.txt") +
                Entry(JournalKind::kWritten, tpl + "new.txt", 3, kKitSeconds));
    const auto runs = Recover();
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(RecoveryOutcome::kIncomplete, runs[0].outcome);
    EXPECT_TRUE(runs[0].keptFolder.empty());
    EXPECT_EQ("written by the run", Sandbox::read(tpl + "new.txt"));
    EXPECT_FALSE(Sandbox::exists(record));
}

// A directory of the template tree swapped for a link after the run: the
// recovery does not reach through it.
TEST_F(Recovery, NothingIsFollowedThroughALink) {
    box.write("victim/new.txt", "not the run's");
    ASSERT_EQ(0, symlink(box.at("victim").c_str(), (tpl + "sub").c_str()));
    WriteRecord(Entry(JournalKind::kDirectory, tpl + "sub") +
                Entry(JournalKind::kNewFile, tpl + "sub/new.txt"));
    const auto runs = Recover();
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(RecoveryOutcome::kIncomplete, runs[0].outcome);
    EXPECT_EQ("not the run's", Sandbox::read(box.at("victim/new.txt")));
}

}  // namespace
}  // namespace installtest
