// The JSON event lines for wrapping programs: every line parses whatever the
// names hold, progress is paced but its last state is never lost, and a
// reader that goes away silences the events without harm.
#include "wizard/status_events.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace {

// A pipe whose read end collects the lines.
class EventPipe {
  public:
    EventPipe() {
        EXPECT_EQ(0, pipe(fds_));
        fcntl(fds_[0], F_SETFL, O_NONBLOCK);
    }
    ~EventPipe() {
        CloseRead();
        close(fds_[1]);
    }
    int WriteEnd() const { return fds_[1]; }
    void CloseRead() {
        if (fds_[0] >= 0) {
            close(fds_[0]);
            fds_[0] = -1;
        }
    }
    // Whatever the pipe holds now.
    std::string Take() {
        std::string text;
        char buffer[4096];
        ssize_t n;
        while ((n = read(fds_[0], buffer, sizeof buffer)) > 0) {
            text.append(buffer, size_t(n));
        }
        return text;
    }
    std::vector<nlohmann::json> Lines() { return Parse(Take()); }
    static std::vector<nlohmann::json> Parse(const std::string& text) {
        std::vector<nlohmann::json> lines;
        size_t start = 0;
        for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
            lines.push_back(nlohmann::json::parse(text.substr(start, end - start)));
        }
        EXPECT_EQ(start, text.size()) << "a line without its line feed";
        return lines;
    }

  private:
    int fds_[2] = {-1, -1};
};

TEST(StatusEvents, AwkwardNamesStillGiveValidJson) {
    EventPipe pipe;
    wizard::StatusEvents events(pipe.WriteEnd());
    const std::string names[] = {"quote\" back\\slash", std::string("nul\0tab\tline\n", 13),
                                 "broken \xC3\x28 utf-8 \xFF", "ünïcödé/日本"};
    events.Start(4, names[0], {1, 2, 0, 1, 0});
    for (int i = 0; i < 4; ++i) {
        events.Progress(100 * i / 4 + 1, names[i], uint64_t(i), 4);
        usleep(60000);  // beyond the pacing interval: every line is written
    }
    events.Error(87, names[2]);
    std::vector<nlohmann::json> lines = pipe.Lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0]["event"], "start");
    EXPECT_EQ(lines[0]["directory"], names[0]);
    EXPECT_EQ(lines[0]["update"], 2);
    EXPECT_EQ(lines[0]["blocked"], 1);
    EXPECT_EQ(lines[2]["file"], names[1]);
    EXPECT_EQ(lines[4]["file"], names[3]);
    EXPECT_EQ(lines[5]["event"], "error");
    EXPECT_EQ(lines[5]["code"], 87);
    // The broken bytes are replaced, the rest of the name is kept.
    EXPECT_EQ(lines[3]["file"].get<std::string>().rfind("broken ", 0), 0u);
}

TEST(StatusEvents, ProgressIsPacedButTheLastStateAlwaysArrives) {
    EventPipe pipe;
    wizard::StatusEvents events(pipe.WriteEnd());
    events.Start(1000, "/t", {});
    for (int i = 0; i < 1000; ++i) {
        events.Progress(i / 10, "f" + std::to_string(i), uint64_t(i), 1000);
    }
    events.Finished(990, 10);
    std::vector<nlohmann::json> lines = pipe.Lines();
    // A thousand posts in far less than a second: a handful of lines.
    ASSERT_GE(lines.size(), 3u);
    EXPECT_LT(lines.size(), 100u);
    EXPECT_EQ(lines[1]["done"], 0);
    const nlohmann::json& last = lines[lines.size() - 2];
    EXPECT_EQ(last["event"], "progress");
    EXPECT_EQ(last["done"], 999);
    EXPECT_EQ(lines.back()["event"], "finished");
    EXPECT_EQ(lines.back()["copied"], 990);
    EXPECT_EQ(lines.back()["kept"], 10);
    int percent = -1;
    for (const auto& line : lines) {
        if (line["event"] == "progress") {
            EXPECT_GE(line["percent"].get<int>(), percent);
            percent = line["percent"];
        }
    }
    // Nothing follows the final line.
    events.Progress(100, "f999", 1000, 1000);
    EXPECT_TRUE(pipe.Lines().empty());
    // 100 % is never held back, however soon it comes.
    wizard::StatusEvents again(pipe.WriteEnd());
    again.Progress(99, "f998", 998, 1000);
    again.Progress(100, "f999", 1000, 1000);
    lines = pipe.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1]["percent"], 100);
}

TEST(StatusEvents, AReaderThatGoesAwaySilencesTheEvents) {
    struct sigaction ignore = {};
    struct sigaction old = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &old);
    EventPipe pipe;
    wizard::StatusEvents events(pipe.WriteEnd());
    events.Start(1, "/t", {});
    pipe.CloseRead();
    events.Progress(50, "f", 0, 1);
    EXPECT_FALSE(events.Enabled());
    events.Finished(1, 0);
    events.Cancelled();
    sigaction(SIGPIPE, &old, nullptr);

    wizard::StatusEvents none(-1);
    EXPECT_FALSE(none.Enabled());
    none.Start(1, "/t", {});
}

// A reader that stays but reads slowly, or not at all, never holds the run
// up: progress waits in place (the newest line only), a line begun is
// finished before another, and the final line waits a bounded time.
TEST(StatusEvents, AReaderThatDoesNotReadNeverHoldsTheRunUp) {
    EventPipe pipe;
    fcntl(pipe.WriteEnd(), F_SETPIPE_SZ, 4096);
    const int flags = fcntl(pipe.WriteEnd(), F_GETFL);
    const std::string longName(1500, 'n');
    std::string text;
    {
        wizard::StatusEvents events(pipe.WriteEnd());
        events.Start(10, "/t", {});
        // Far more than the pipe holds; a blocking write would hang here.
        for (int i = 0; i < 8; ++i) {
            events.Progress(i * 10, longName + std::to_string(i), uint64_t(i), 10);
            usleep(60000);  // beyond the pacing interval
        }
        text = pipe.Take();
        events.Finished(9, 1);
        text += pipe.Take();
    }
    const std::vector<nlohmann::json> lines = EventPipe::Parse(text);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_LT(lines.size(), 10u);
    EXPECT_EQ(lines.front()["event"], "start");
    // The newest state, not the oldest held one, arrives before the end.
    EXPECT_EQ(lines[lines.size() - 2]["file"], longName + "7");
    EXPECT_EQ(lines.back()["event"], "finished");
    EXPECT_EQ(flags, fcntl(pipe.WriteEnd(), F_GETFL)) << "the descriptor's flags were not put back";

    // Full and never read: the final line gives up after its bounded wait.
    fcntl(pipe.WriteEnd(), F_SETFL, flags | O_NONBLOCK);
    const std::string filler(4096, 'x');
    while (write(pipe.WriteEnd(), filler.data(), filler.size()) > 0) {
    }
    fcntl(pipe.WriteEnd(), F_SETFL, flags);
    wizard::StatusEvents stuck(pipe.WriteEnd());
    stuck.Progress(50, "f", 0, 1);
    EXPECT_TRUE(stuck.Enabled());
    stuck.Cancelled();
    EXPECT_FALSE(stuck.Enabled());
}

}  // namespace
