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

// Progress posts wake the dialog only as often as a person could see a
// change; every final post and the run end always wake it.
TEST(Channel, ProgressPostsWakeTheDialogAtMostTwentyTimesASecond) {
    InstallProcessData channel;
    std::atomic<int> wakeups{0};
    channel.SetNotify([](void* n) { ++*static_cast<std::atomic<int>*>(n); }, &wakeups,
                      InstallProcessData::Wake::kVisibleChanges);
    channel.Start(nullptr, u"/t");
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 200000; ++i) {
        channel.PostStatus(0, u"/t/file", i / 2000);
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // One for the first post, one per interval, one per big step of the bar.
    const int allowed =
        1 + int(elapsed / InstallProcessData::kWakeInterval) + 100 / InstallProcessData::kWakeStep;
    EXPECT_GE(wakeups.load(), 1);  // the first post
    EXPECT_LE(wakeups.load(), allowed);
    // The same percentage never wakes it again, however late.
    const int before = wakeups.load();
    channel.PostStatus(0, u"/t/file", 99);
    std::this_thread::sleep_until(std::chrono::steady_clock::now() +
                                  InstallProcessData::kWakeInterval);
    channel.PostStatus(0, u"/t/other", 99);
    EXPECT_LE(wakeups.load(), before + 1);
    const int settled = wakeups.load();
    channel.PostStatus(0, u"finish", 100);
    channel.PostStatus(87, u"error", 40);
    channel.MarkRunEnded(87);
    EXPECT_EQ(settled + 3, wakeups.load());
    // A new run starts afresh, and a small kit's files each move the bar far
    // enough to wake the dialog at once.
    channel.Start(nullptr, u"/t");
    for (int percent : {0, 33, 66}) {
        channel.PostStatus(0, u"/t/file", percent);
    }
    EXPECT_EQ(settled + 6, wakeups.load());
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
