// Requests to end the program from outside: each of the three signals reaches
// the answer from the event loop, one that was ignored at start stays
// ignored, and without the intake the signals end the process again.
#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QTest>

#include "platform/endrequests.h"

namespace {

void (*dispositionOf(int signal))(int) {
    struct sigaction now {};
    sigaction(signal, nullptr, &now);
    return now.sa_handler;
}

}  // namespace

TEST(EndRequests, EachSignalIsAnsweredFromTheEventLoopAndAnIgnoredOneStaysIgnored) {
    signal(SIGHUP, SIG_IGN);  // as `nohup` starts a program
    {
        quintelle::platform::EndRequests requests;
        EXPECT_EQ(dispositionOf(SIGHUP), SIG_IGN);
        int answered = 0;
        raise(SIGTERM);  // before anyone answers: it waits
        requests.answerWith([&] { ++answered; });
        EXPECT_EQ(answered, 0) << "answered inside the handler";
        EXPECT_TRUE(QTest::qWaitFor([&] { return answered == 1; }, 2000));
        for (const int signal : {SIGINT, SIGTERM}) {
            raise(signal);
            EXPECT_TRUE(QTest::qWaitFor([&] { return answered == 2; }, 2000)) << signal;
            answered = 1;
        }
    }
    EXPECT_EQ(dispositionOf(SIGTERM), SIG_DFL);
    EXPECT_EQ(dispositionOf(SIGINT), SIG_DFL);
    EXPECT_EQ(dispositionOf(SIGHUP), SIG_IGN);
    signal(SIGHUP, SIG_DFL);
}
