// The run record and its recovery: the record's reader against cut-short
// and damaged bytes in both layouts; real runs killed in a child process,
// then the user's edits, a wiped temporary directory, a foreign or linked
// staging folder, before the next start's recovery; the survey that only
// looks; and records of the previous layout in the temporary directory.
#include "install/run_recovery.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>

#include "fault_file_system.h"
#include "install/run_journal.h"
#include "install_test_support.h"

namespace installtest {
namespace {

using install::JournalContents;
using install::JournalEntry;
using install::JournalKind;
using install::RecoveryOutcome;

std::string Previous(JournalKind kind, const std::string& path, uint64_t size = 0,
                     int64_t seconds = 0) {
    JournalEntry e;
    e.kind = kind;
    e.path = u16(path);
    e.size = size;
    e.seconds = seconds;
    return install::EncodePreviousEntry(e);
}

TEST(RunJournal, ReaderAcceptsOnlyWholeRecordsAndACutShortTail) {
    JournalEntry written;
    written.kind = JournalKind::kWritten;
    written.path = u"/t/a";
    written.identity.device = 7;
    written.identity.inode = 1234567890123ull;
    const std::string header = install::EncodeJournalHeader(u"/t/", {1, 2}, u"/s/kvtmp0/");
    const std::string one = install::EncodeJournalEntry(written);
    const std::string previous = install::EncodePreviousHeader(u"/t/", u"/tmp/kvtmp0/");
    const std::string oldOne = Previous(JournalKind::kNewFile, "/t/a-name-longer-than-an-entry");
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
        {"wrong magic", "XXJRNL02" + header.substr(8), false, 0},
        {"damaged entry", header + one.substr(0, 5) + "?" + one.substr(6), false, 0},
        {"directory entry after the header", header + header.substr(8), false, 0},
        {"previous layout", previous + oldOne, true, 1},
        {"previous layout, cut-short tail", previous + oldOne + oldOne.substr(0, 5), true, 1},
        {"an entry of the other layout", header + oldOne, false, 0},
    };
    for (const Case& c : cases) {
        JournalContents contents;
        EXPECT_EQ(c.readable, install::ParseJournal(c.bytes, contents)) << c.what;
        EXPECT_EQ(c.entries, contents.entries.size()) << c.what;
    }
    JournalContents contents;
    ASSERT_TRUE(install::ParseJournal(header + one, contents));
    EXPECT_TRUE(contents.identities);
    EXPECT_EQ(2u, contents.templateIdentity.inode);
    EXPECT_EQ(written.identity, contents.entries[0].identity);
    ASSERT_TRUE(install::ParseJournal(previous + oldOne, contents));
    EXPECT_FALSE(contents.identities);
}

// Runs `job` into `tpl` in a child process that dies at the k-th
// disk-changing operation, as a kill would.
void RunAndDieAt(Job<FaultFileSystem>& job, const std::string& tpl, int k) {
    fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        FaultFileSystem::ArmDeath(k);
        job.Run(tpl);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    FaultFileSystem::Disarm();
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == FaultFileSystem::kDeathStatus);
}

class KilledRun : public ::testing::Test {
  public:
    Sandbox box;
    ScopedTempDir temp{box.at("tmp")};
    Job<FaultFileSystem> job{box};
    std::string tpl = box.at("templates/");
    int total = 0;
    Snapshot before;
    Snapshot installed;
    std::map<std::string, int64_t> times;
    size_t seenWhileLive = 0;
    bool checked = false;

    void SetUp() override {
        FaultFileSystem::Disarm();
        box.write("templates/replaced.txt", "earlier version");
        box.write("templates/edited.txt", "earlier version of edited");
        box.write("templates/other/linked.txt", "hard-linked earlier version");
        ASSERT_EQ(0, link(box.at("templates/other/linked.txt").c_str(),
                          box.at("templates/linked.txt").c_str()));
        for (const char* f : {"replaced.txt", "edited.txt", "linked.txt"}) {
            SetTime(tpl + f, kKitSeconds - 60);
        }
        std::vector<KitFile> files = {{"replaced.txt", "kit"},
                                      {"edited.txt", "kit's edited"},
                                      {"linked.txt", "kit's linked"},
                                      {"added.txt", "new"},
                                      {"new\\deep\\file.txt", "new, deep"}};
        for (int i = 0; i < 40; ++i) {
            files.push_back({"many\\f" + std::to_string(i), "file " + std::to_string(i)});
        }
        files.push_back({"last.txt", "written last"});
        ASSERT_TRUE(job.Open(files));
        AgeDirectories(tpl);
        before = TakeSnapshot(tpl);
        times = DirectoryTimes(tpl);
        ASSERT_EQ(0, system(("cp -a '" + tpl + "' '" + box.at("pristine") + "'").c_str()));
        // An undisturbed run on a copy: how many operations a run takes.
        const std::string copy = box.at("copy/");
        ASSERT_EQ(0, system(("cp -a '" + tpl + "' '" + copy + "'").c_str()));
        FaultFileSystem::Arm(0, 0);
        ASSERT_EQ(0u, job.Run(copy));
        total = FaultFileSystem::Count();
        installed = TakeSnapshot(copy);
        FaultFileSystem::Disarm();
    }
    void TearDown() override { FaultFileSystem::Disarm(); }

    // Back to the state before the run, with no record anywhere.
    void Reset() {
        ASSERT_EQ(0, system(("rm -rf '" + tpl + "' '" + StatePlace() + "' && cp -a '" +
                             box.at("pristine") + "' '" + tpl + "'")
                                .c_str()));
    }

    std::string Kept(const std::vector<install::RecoveredRun>& runs) const {
        return runs.empty() ? "" : utf8(runs[0].keptFolder);
    }
};

// A restart that emptied the temporary directory: the earlier versions were
// never there, and all come back, hard links included.
TEST_F(KilledRun, EverythingComesBackAfterTheTemporaryDirectoryIsEmptied) {
    for (int k : {total / 4, total / 2, total - 8}) {
        RunAndDieAt(job, tpl, k);
        ASSERT_EQ(0, system(("rm -rf '" + box.at("tmp") + "'/*").c_str()));
        const auto runs = install::RunRecovery<FileSystem>().RecoverAll();
        ASSERT_EQ(1u, runs.size()) << "k=" << k;
        EXPECT_EQ(RecoveryOutcome::kUndone, runs[0].outcome) << "k=" << k;
        EXPECT_EQ("", Difference(before, TakeSnapshot(tpl))) << "k=" << k;
        EXPECT_EQ(times, DirectoryTimes(tpl)) << "k=" << k;
        EXPECT_EQ(Inode(tpl + "linked.txt"), Inode(tpl + "other/linked.txt")) << "k=" << k;
        EXPECT_TRUE(StagingNames(box.at("tmp")).empty()) << "k=" << k;
    }
}

// After the crash the user edits a file the run had replaced and one it had
// added, and writes their own where the run had not yet written. The survey
// tells what the recovery will do and changes nothing; the recovery leaves
// the user's files alone, keeps the earlier version the edit would have lost
// in the folder it names, and undoes everything else.
TEST_F(KilledRun, TheUsersLaterWorkSurvivesAndTheEarlierVersionIsKept) {
    // Killed once the announcements of the first batch are on disk, and
    // edited.txt, added.txt are written, but not last.txt.
    int k = 1;
    for (;; ++k) {
        ASSERT_LT(k, total);
        RunAndDieAt(job, tpl, k);
        if (Sandbox::read(tpl + "edited.txt") == "kit's edited" &&
            Sandbox::exists(tpl + "added.txt")) {
            break;
        }
        install::RunRecovery<FileSystem>().RecoverAll();
    }
    ASSERT_FALSE(Sandbox::exists(tpl + "last.txt"));
    box.write("templates/edited.txt", "the user's edit");
    box.write("templates/added.txt", "the user's edit of a new file");
    box.write("templates/last.txt", "the user's own");

    const Snapshot crashed = TakeSnapshot(tpl);
    const Snapshot place = TakeSnapshot(StatePlace());
    const auto survey = install::RunRecovery<FileSystem>().Survey();
    EXPECT_EQ("", Difference(crashed, TakeSnapshot(tpl)));
    EXPECT_EQ("", Difference(place, TakeSnapshot(StatePlace())));

    const auto runs = install::RunRecovery<FileSystem>().RecoverAll();
    ASSERT_EQ(1u, survey.size());
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(RecoveryOutcome::kIncomplete, survey[0].outcome);
    EXPECT_EQ(RecoveryOutcome::kIncomplete, runs[0].outcome);
    EXPECT_EQ(survey[0].leftAlone, runs[0].leftAlone);
    EXPECT_EQ(survey[0].keptFolder, runs[0].keptFolder);
    std::vector<std::string> leftAlone;
    for (const auto& path : runs[0].leftAlone) {
        leftAlone.push_back(utf8(path));
    }
    std::sort(leftAlone.begin(), leftAlone.end());
    EXPECT_EQ(std::vector<std::string>({tpl + "added.txt", tpl + "edited.txt"}), leftAlone);

    EXPECT_EQ("the user's edit", Sandbox::read(tpl + "edited.txt"));
    EXPECT_EQ("the user's edit of a new file", Sandbox::read(tpl + "added.txt"));
    EXPECT_EQ("the user's own", Sandbox::read(tpl + "last.txt"));
    EXPECT_EQ("earlier version", Sandbox::read(tpl + "replaced.txt"));
    EXPECT_FALSE(Sandbox::exists(tpl + "new"));
    ASSERT_FALSE(Kept(runs).empty());
    EXPECT_EQ("earlier version of edited", Sandbox::read(Kept(runs) + "edited.txt"));
    // The decision is final: the next start has nothing more to do.
    EXPECT_TRUE(install::RunRecovery<FileSystem>().RecoverAll().empty());
    EXPECT_EQ("earlier version of edited", Sandbox::read(Kept(runs) + "edited.txt"));
}

// The staging folder a record names, replaced by a link, opened to others,
// or (as root) handed to another user: refused and reported, nothing moved.
TEST_F(KilledRun, AStagingFolderNotTheUsersOwnIsRefused) {
    struct Case {
        const char* what;
        bool asRoot;
        void (*spoil)(const std::string& staging, Sandbox& box);
    } cases[] = {
        {"a link", false,
         [](const std::string& staging, Sandbox& box) {
             box.write("elsewhere/replaced.txt", "planted");
             ASSERT_EQ(0, system(("rm -rf '" + staging + "'").c_str()));
             ASSERT_EQ(0, symlink(box.at("elsewhere").c_str(), staging.c_str()));
         }},
        {"open to others", false,
         [](const std::string& staging, Sandbox&) { ASSERT_EQ(0, chmod(staging.c_str(), 0755)); }},
        {"another user's", true,
         [](const std::string& staging, Sandbox&) {
             ASSERT_EQ(0, chown(staging.c_str(), 4242, 4242));
         }},
    };
    for (const Case& c : cases) {
        if (c.asRoot && geteuid() != 0) {
            continue;
        }
        RunAndDieAt(job, tpl, total / 2);
        const std::string staging = StatePlace() + "/kvtmp0";
        ASSERT_TRUE(Sandbox::exists(staging)) << c.what;
        c.spoil(staging, box);
        const Snapshot crashed = TakeSnapshot(tpl);
        auto runs = install::RunRecovery<FileSystem>().RecoverAll();
        ASSERT_EQ(1u, runs.size()) << c.what;
        EXPECT_EQ(RecoveryOutcome::kUnreadable, runs[0].outcome) << c.what;
        EXPECT_TRUE(runs[0].refused) << c.what;
        EXPECT_EQ("", Difference(crashed, TakeSnapshot(tpl))) << c.what;
        // Put right, the same record undoes the run.
        ASSERT_EQ(0, system(("rm -rf '" + staging + "' '" + box.at("elsewhere") + "'").c_str()));
        runs = install::RunRecovery<FileSystem>().RecoverAll();
        ASSERT_EQ(1u, runs.size()) << c.what;
        EXPECT_NE(RecoveryOutcome::kUnreadable, runs[0].outcome) << c.what;
        Reset();
    }
}

// The record is linked in under its name already locked: a start at any
// moment of its creation never takes a live run for a dead one.
TEST_F(KilledRun, ARecordIsNeverSeenUnlocked) {
    struct Check {
        static void Recover(void* self) {
            auto* t = static_cast<KilledRun*>(self);
            t->seenWhileLive = install::RunRecovery<FileSystem>().RecoverAll().size();
            t->checked = true;
        }
    };
    // Operation 1 creates the record; a second start comes at each of the
    // next ones.
    for (int k = 2; k <= 4; ++k) {
        checked = false;
        FaultFileSystem::OnOperation(k, &Check::Recover, this);
        EXPECT_EQ(0u, job.Run(tpl)) << "k=" << k;
        FaultFileSystem::Disarm();
        EXPECT_TRUE(checked) << "k=" << k;
        EXPECT_EQ(0u, seenWhileLive) << "k=" << k;
        EXPECT_EQ("", Difference(installed, TakeSnapshot(tpl))) << "k=" << k;
    }
}

// Records of the previous layout, in the temporary directory itself, as a
// run killed under the previous version left them.
class PreviousLayout : public ::testing::Test {
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
        chmod(record.c_str(), 0600);
    }
    std::vector<install::RecoveredRun> Recover() {
        return install::RunRecovery<FileSystem>().RecoverAll();
    }
};

TEST_F(PreviousLayout, AKilledRunIsUndone) {
    box.write("templates/replaced.txt", "the run's");
    box.write("tmp/kvtmp3/replaced.txt", "earlier version");
    ASSERT_EQ(0, chmod(box.at("tmp/kvtmp3").c_str(), 0700));
    SetTime(tpl + "new.txt", kKitSeconds);
    WriteRecord(Previous(JournalKind::kNewFile, tpl + "new.txt") +
                Previous(JournalKind::kWritten, tpl + "new.txt", 18, kKitSeconds) +
                Previous(JournalKind::kBackup, tpl + "replaced.txt") +
                Previous(JournalKind::kSaved, tpl + "replaced.txt"));
    const auto runs = Recover();
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(RecoveryOutcome::kUndone, runs[0].outcome);
    EXPECT_FALSE(Sandbox::exists(tpl + "new.txt"));
    EXPECT_EQ("earlier version", Sandbox::read(tpl + "replaced.txt"));
    EXPECT_TRUE(StagingNames(box.at("tmp")).empty());
}

TEST_F(PreviousLayout, RecordsThatMustNotBeActedOnAreLeftAlone) {
    const std::string newFile = Previous(JournalKind::kNewFile, tpl + "new.txt");
    struct Case {
        const char* what;
        bool reported;
        void (*prepare)(PreviousLayout&, const std::string&);
    } cases[] = {
        {"path outside its template directory", true,
         [](PreviousLayout& r, const std::string&) {
             r.WriteRecord(Previous(JournalKind::kNewFile, r.tpl + "../outside.txt"));
         }},
        {"template directory not absolute", true,
         [](PreviousLayout& r, const std::string& e) { r.WriteRecord(e, "templates/"); }},
        {"open to others", false,
         [](PreviousLayout& r, const std::string& e) {
             r.WriteRecord(e);
             ASSERT_EQ(0, chmod(r.record.c_str(), 0644));
         }},
        {"a link in the record's place", false,
         [](PreviousLayout& r, const std::string& e) {
             r.box.write("elsewhere.journal", "");
             r.WriteRecord(e);
             rename(r.record.c_str(), r.box.at("elsewhere.journal").c_str());
             ASSERT_EQ(0, symlink(r.box.at("elsewhere.journal").c_str(), r.record.c_str()));
         }},
        // Someone else made a folder of the staging folder's name.
        {"staging folder open to others", true,
         [](PreviousLayout& r, const std::string& e) {
             r.WriteRecord(e);
             r.box.write("tmp/kvtmp3/new.txt", "planted");
         }},
    };
    for (const Case& c : cases) {
        unlink(record.c_str());
        testing_support::remove_tree(box.at("tmp/kvtmp3"));
        c.prepare(*this, newFile);
        const auto runs = Recover();
        // Not this user's own in a shared directory: someone else's business.
        ASSERT_EQ(c.reported ? 1u : 0u, runs.size()) << c.what;
        if (c.reported) {
            EXPECT_EQ(RecoveryOutcome::kUnreadable, runs[0].outcome) << c.what;
        }
        EXPECT_EQ("written by the run", Sandbox::read(tpl + "new.txt")) << c.what;
        EXPECT_TRUE(Sandbox::exists(record)) << c.what;
    }
}

TEST_F(PreviousLayout, ALiveRunIsNotTouched) {
    WriteRecord(Previous(JournalKind::kNewFile, tpl + "new.txt"));
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

TEST_F(PreviousLayout, AFileChangedSinceTheRunIsKeptAndReported) {
    SetTime(tpl + "new.txt", kKitSeconds);
    WriteRecord(Previous(JournalKind::kNewFile, tpl + "new.txt") +
                Previous(JournalKind::kWritten, tpl + "new.txt", 3, kKitSeconds));
    const auto runs = Recover();
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(RecoveryOutcome::kIncomplete, runs[0].outcome);
    EXPECT_TRUE(runs[0].keptFolder.empty());
    EXPECT_EQ("written by the run", Sandbox::read(tpl + "new.txt"));
    EXPECT_FALSE(Sandbox::exists(record));
}

// A directory of the template tree swapped for a link after the run: the
// recovery does not reach through it.
TEST_F(PreviousLayout, NothingIsFollowedThroughALink) {
    box.write("victim/new.txt", "not the run's");
    ASSERT_EQ(0, symlink(box.at("victim").c_str(), (tpl + "sub").c_str()));
    WriteRecord(Previous(JournalKind::kDirectory, tpl + "sub") +
                Previous(JournalKind::kNewFile, tpl + "sub/new.txt"));
    const auto runs = Recover();
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(RecoveryOutcome::kIncomplete, runs[0].outcome);
    EXPECT_EQ("not the run's", Sandbox::read(box.at("victim/new.txt")));
}

}  // namespace
}  // namespace installtest
