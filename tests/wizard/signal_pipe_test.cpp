// The self-pipe of the termination signals: a real signal becomes a byte
// that Take reads once, and Uninstall gives the signals their earlier
// handlers back.
#include "wizard/signal_pipe.h"

#include <gtest/gtest.h>
#include <signal.h>

namespace {

int g_earlierHandlerRan = 0;

TEST(SignalPipe, SignalsArriveOnceEachAndHandlersComeBack) {
    struct sigaction earlier = {};
    earlier.sa_handler = [](int) { ++g_earlierHandlerRan; };
    sigemptyset(&earlier.sa_mask);
    struct sigaction saved[3];
    const int signals[] = {SIGTERM, SIGINT, SIGHUP};
    for (int i = 0; i < 3; ++i) {
        sigaction(signals[i], &earlier, &saved[i]);
    }
    {
        wizard::SignalPipe pipe;
        ASSERT_TRUE(pipe.Install());
        ASSERT_GE(pipe.ReadFd(), 0);
        EXPECT_EQ(0, pipe.Take());
        for (int signo : signals) {
            raise(signo);
            EXPECT_EQ(signo, pipe.Take());
            EXPECT_EQ(0, pipe.Take());
        }
        // Two at once: the first is reported, both are consumed.
        raise(SIGHUP);
        raise(SIGTERM);
        EXPECT_EQ(SIGHUP, pipe.Take());
        EXPECT_EQ(0, pipe.Take());
        EXPECT_EQ(0, g_earlierHandlerRan);
        pipe.Uninstall();
        raise(SIGTERM);
        EXPECT_EQ(1, g_earlierHandlerRan);
        EXPECT_EQ(0, pipe.Take());
    }
    for (int i = 0; i < 3; ++i) {
        sigaction(signals[i], &saved[i], nullptr);
    }
}

}  // namespace
