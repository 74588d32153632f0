// The dialog-worker channel and the worker thread, used from two threads the
// way the dialog uses them (and run under ThreadSanitizer in CI).
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "install/install_thread.h"
#include "install_test_support.h"
#include "kit/install_data.h"

namespace installtest {
namespace {

using RealKit = InstallData<LZCompressor, FileSystem>;

TEST(Channel, StartCompletesTheDirectoryAndClearsTheLastRun) {
    InstallProcessData channel;
    RealKit* kit = nullptr;
    stdx::string16 dir;
    const struct {
        const char16_t* given;
        const char16_t* stored;
    } cases[] = {{u"/t", u"/t/"}, {u"/t/", u"/t/"}, {u"c:\\t\\", u"c:\\t\\"}, {u"", u""}};
    for (const auto& c : cases) {
        channel.Start(nullptr, c.given);
        channel.ReadJob(kit, dir);
        EXPECT_TRUE(dir == c.stored) << utf8(c.given);
    }
    channel.PostStatus(5, u"text", 40);
    channel.RequestCancel(true);
    channel.MarkRunEnded(5);
    channel.Start(nullptr, u"/t");
    uint32_t code = 1;
    stdx::string16 text;
    int progress = -1;
    channel.ReadStatus(code, text, progress);
    EXPECT_EQ(0u, code);
    EXPECT_EQ(0, progress);
    EXPECT_TRUE(text == u"text");  // the text survives until the next post
    EXPECT_FALSE(channel.IsCancelRequested());
    uint32_t result = 99;
    EXPECT_FALSE(channel.ReadRunEnd(result));
    EXPECT_EQ(99u, result);
}

// A clock the test moves by hand: the coalescing is checked without any
// assumption about how fast the machine posts.
std::atomic<int64_t> g_fakeMilliseconds{0};
std::chrono::steady_clock::time_point FakeNow() {
    return std::chrono::steady_clock::time_point(std::chrono::milliseconds(g_fakeMilliseconds));
}

// Progress posts wake the dialog at most once per kWakeInterval (25 times a
// second), whatever the number of files; every final post and the run end
// always wake it.
TEST(Channel, ProgressPostsWakeTheDialogAtMostTwentyFiveTimesASecond) {
    InstallProcessData channel;
    std::atomic<int> wakeups{0};
    channel.SetNotify([](void* n) { ++*static_cast<std::atomic<int>*>(n); }, &wakeups,
                      InstallProcessData::Wake::kCoalesced);
    channel.SetClock(&FakeNow);
    g_fakeMilliseconds = 1000;
    channel.Start(nullptr, u"/t");
    // 100,000 files in 10 seconds of the fake clock, 0.1 ms a file.
    for (int i = 0; i < 100000; ++i) {
        if (i % 10 == 0) {
            ++g_fakeMilliseconds;
        }
        channel.PostProgress(u"/t/file", i / 1000, uint64_t(i));
    }
    EXPECT_EQ(10000 / 40, wakeups.load());
    // The dialog still reads the latest post when it wakes.
    uint32_t code = 1;
    stdx::string16 text;
    int progress = 0;
    uint64_t done = 0;
    channel.ReadStatus(code, text, progress, done);
    EXPECT_EQ(99999u, done);
    EXPECT_EQ(99, progress);
    // No time passing: however many posts, no wake-up; then the interval.
    const int settled = wakeups.load();
    for (int i = 0; i < 1000; ++i) {
        channel.PostProgress(u"/t/file", 99, uint64_t(i));
    }
    EXPECT_EQ(settled, wakeups.load());
    g_fakeMilliseconds += InstallProcessData::kWakeInterval.count();
    channel.PostProgress(u"/t/file", 99, 0);
    EXPECT_EQ(settled + 1, wakeups.load());
    // Final posts and the run end wake it at once.
    channel.PostStatus(0, u"finish", 100);
    channel.PostStatus(87, u"error", 40);
    channel.MarkRunEnded(87);
    EXPECT_EQ(settled + 4, wakeups.load());
    // A new run wakes it at its first post, and each file of a small kit
    // moves the bar far enough to wake it, however fast they come.
    channel.Start(nullptr, u"/t");
    for (int percent : {0, 33, 66}) {
        channel.PostProgress(u"/t/file", percent, uint64_t(percent / 33));
    }
    EXPECT_EQ(settled + 7, wakeups.load());
    channel.SetNotify(nullptr, nullptr);
}

TEST(Channel, ConcurrentPostsAndReadsSeeWholePosts) {
    InstallProcessData channel;
    std::atomic<bool> done{false};
    pthread_t writer;
    ASSERT_EQ(0, pthread_create(
                     &writer, nullptr,
                     [](void* c) -> void* {
                         auto* ch = static_cast<InstallProcessData*>(c);
                         for (int i = 0; i < 20000; ++i) {
                             // Code, text and progress always belong together.
                             ch->PostStatus(uint32_t(i), stdx::format_int(i), i % 101);
                         }
                         ch->MarkRunEnded(0);
                         return nullptr;
                     },
                     &channel));
    uint32_t result = 1;
    int reads = 0;
    bool ended = false;
    do {
        ended = channel.ReadRunEnd(result);
        uint32_t code = 0;
        stdx::string16 text;
        int progress = 0;
        channel.ReadStatus(code, text, progress);
        if (!text.empty()) {
            ASSERT_TRUE(text == stdx::format_int(int(code)));
            ASSERT_EQ(int(code % 101), progress);
        }
        ++reads;
    } while (!ended);
    pthread_join(writer, nullptr);
    EXPECT_EQ(0u, result);
    EXPECT_GT(reads, 0);
}

// A paused worker waits at its next step until the dialog lets it go, and
// then sees the answer the dialog gave.
TEST(Channel, PausedWorkerWaitsForTheAnswer) {
    for (bool cancel : {false, true}) {
        InstallProcessData channel;
        channel.PauseWorker(true);
        std::atomic<int> passed{0};
        std::atomic<bool> sawCancel{false};
        std::thread worker([&] {
            sawCancel = channel.AwaitGoAhead();
            passed = 1;
        });
        // The worker cannot pass while paused, whatever it is given.
        for (int i = 0; i < 20; ++i) {
            std::this_thread::yield();
        }
        EXPECT_EQ(passed.load(), 0);
        channel.RequestCancel(cancel);
        channel.PauseWorker(false);
        worker.join();
        EXPECT_EQ(passed.load(), 1);
        EXPECT_EQ(sawCancel.load(), cancel);
    }
}

class Worker : public ::testing::Test {
  protected:
    Sandbox box;
    ScopedTempDir temp{box.at("tmp")};
    RealKit kit;
    InstallProcessData channel;
    std::string tpl = box.at("templates/");

    void OpenKit(int files) {
        std::vector<KitFile> list;
        for (int i = 0; i < files; ++i) {
            list.push_back({"d" + std::to_string(i % 7) + "\\f" + std::to_string(i), "bytes"});
        }
        BuildKit(box.at("kelda.efd"), list);
        ASSERT_EQ(0u, kit.Open(u16(box.at("kelda.efd"))));
    }

    // The dialog's waiting loop: polls until the run has completely ended.
    uint32_t WaitForRunEnd() {
        uint32_t result = 0;
        while (!channel.ReadRunEnd(result)) {
            uint32_t code = 0;
            stdx::string16 text;
            int progress = 0;
            channel.ReadStatus(code, text, progress);
            usleep(200);
        }
        return result;
    }
};

TEST_F(Worker, RunsExactlyOneInstallationPerStart) {
    OpenKit(20);
    std::atomic<int> wakeups{0};
    channel.SetNotify([](void* n) { ++*static_cast<std::atomic<int>*>(n); }, &wakeups);
    InstallThread thread;
    thread.finishPauseMilliseconds = 0;
    channel.Start(&kit, u16(box.at("templates")));
    ASSERT_EQ(0, thread.Start(&channel));
    EXPECT_EQ(0, thread.CreateResult());
    EXPECT_EQ(0u, WaitForRunEnd());
    // The run end's wake-up follows the mark; once the worker has returned,
    // nothing of the run is left to happen and none starts by itself.
    thread.Wait();
    uint32_t code = 1;
    stdx::string16 text;
    int progress = 0;
    channel.ReadStatus(code, text, progress);
    EXPECT_EQ(0u, code);
    EXPECT_EQ(100, progress);
    // 20 progress posts, the finish post, the run end.
    EXPECT_EQ(22, wakeups.load());

    // A second Start runs once more: a removed file comes back.
    ASSERT_EQ(0, unlink((tpl + "d0/f0").c_str()));
    channel.Start(&kit, u16(tpl));
    ASSERT_EQ(0, thread.Start(&channel));
    EXPECT_EQ(0u, WaitForRunEnd());
    EXPECT_TRUE(Sandbox::exists(tpl + "d0/f0"));
    channel.SetNotify(nullptr, nullptr);
}

TEST_F(Worker, CancelEndsWithACompleteRollback) {
    OpenKit(400);
    box.mkdirs("templates");
    const Snapshot before = TakeSnapshot(tpl);
    // Copying is under way at the tenth post: the worker is paused there, as
    // the dialog's cancel question does, so the run cannot end before the
    // answer whatever the machine's speed.
    struct Hold {
        InstallProcessData* channel;
        int posts = 0;
        std::promise<void> paused;
    } hold{&channel};
    channel.SetNotify(
        [](void* h) {
            auto* hold = static_cast<Hold*>(h);
            if (++hold->posts == 10) {
                hold->channel->PauseWorker(true);
                hold->paused.set_value();
            }
        },
        &hold);
    InstallThread thread;
    channel.Start(&kit, u16(tpl));
    ASSERT_EQ(0, thread.Start(&channel));
    hold.paused.get_future().wait();
    channel.RequestCancel(true);
    channel.PauseWorker(false);
    const uint32_t result = WaitForRunEnd();
    thread.Wait();
    channel.SetNotify(nullptr, nullptr);
    EXPECT_EQ(1223u, result);
    uint32_t code = 1;
    stdx::string16 text;
    int progress = 0;
    channel.ReadStatus(code, text, progress);
    EXPECT_EQ(0u, code);  // a cancelled run makes no error post
    EXPECT_LT(progress, 100);
    EXPECT_EQ("", Difference(before, TakeSnapshot(tpl)));
    EXPECT_TRUE(StagingNames(box.at("tmp")).empty());
}

TEST_F(Worker, StopRequestedBeforeStartIsCleared) {
    OpenKit(3);
    InstallThread thread;
    thread.finishPauseMilliseconds = 0;
    thread.RequestStop();
    channel.Start(&kit, u16(tpl));
    ASSERT_EQ(0, thread.Start(&channel));
    EXPECT_EQ(0u, WaitForRunEnd());
    EXPECT_TRUE(Sandbox::exists(tpl + "d0/f0"));
}

TEST_F(Worker, FailedRunEndsAfterItsErrorPost) {
    OpenKit(5);
    box.write("templates/d1", "a file where a directory belongs");
    InstallThread thread;
    channel.Start(&kit, u16(tpl));
    ASSERT_EQ(0, thread.Start(&channel));
    EXPECT_EQ(2u, WaitForRunEnd());
    uint32_t code = 0;
    stdx::string16 text;
    int progress = 0;
    channel.ReadStatus(code, text, progress);
    EXPECT_EQ(2u, code);
    EXPECT_EQ(20, progress);
    EXPECT_EQ("Installation error", utf8(text));
    EXPECT_FALSE(Sandbox::exists(tpl + "d0"));
}

TEST_F(Worker, DestroyingTheThreadWaitsForTheRun) {
    OpenKit(50);
    {
        InstallThread thread;
        thread.finishPauseMilliseconds = 0;
        channel.Start(&kit, u16(tpl));
        ASSERT_EQ(0, thread.Start(&channel));
    }
    uint32_t result = 1;
    EXPECT_TRUE(channel.ReadRunEnd(result));
    EXPECT_EQ(0u, result);
}

// A worker that cannot be created must not leave the dialog waiting: the
// failure is returned, posted as an error and marked as the run's end.
TEST(WorkerCreation, FailureIsPostedAndEndsTheRun) {
    // Threads created with default attributes get an impossible stack.
    pthread_attr_t old;
    ASSERT_EQ(0, pthread_getattr_default_np(&old));
    pthread_attr_t huge;
    pthread_attr_init(&huge);
    ASSERT_EQ(0, pthread_attr_setstacksize(&huge, size_t(1) << 46));
    ASSERT_EQ(0, pthread_setattr_default_np(&huge));
    InstallProcessData channel;
    channel.PostStatus(0, u"Preparing to copy...", 0);
    int created = -1;
    {
        InstallThread thread;
        channel.Start(nullptr, u"/nonexistent/templates");
        created = thread.Start(&channel);
        pthread_setattr_default_np(&old);
        if (created == 0) {
            GTEST_SKIP() << "the system created a thread with a 64 TiB stack";
        }
        EXPECT_EQ(created, thread.CreateResult());
    }
    uint32_t result = 0;
    ASSERT_TRUE(channel.ReadRunEnd(result));
    EXPECT_EQ(87u, result);
    uint32_t code = 0;
    stdx::string16 text;
    int progress = -1;
    channel.ReadStatus(code, text, progress);
    EXPECT_EQ(87u, code);
    EXPECT_EQ("Installation error", utf8(text));
    EXPECT_EQ(0, progress);
}

}  // namespace
}  // namespace installtest
