// The end of the process: while work of ours still runs on another thread,
// exit's teardown is skipped, yet what the program printed still reaches its
// output.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include "platform/processend.h"

namespace {

enum class Work { none, inFlight, ended };

struct Ending {
    const char* name;
    Work work;
    bool exitHandlersRun;
};

void PrintTo(const Ending& e, std::ostream* os) {
    *os << e.name;
}

class EndProcess : public ::testing::TestWithParam<Ending> {};

TEST_P(EndProcess, SkipsExitTeardownOnlyWhileWorkIsInFlight) {
    const Ending ending = GetParam();
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(out[0]);
        dup2(out[1], STDOUT_FILENO);
        std::atexit([] { std::fputs(" exit handlers", stdout); });
        // Buffered, not yet written: the end must flush it.
        std::fputs("printed", stdout);
        std::promise<void> started;  // outlives the worker's use of it
        if (ending.work != Work::none) {
            std::thread worker([&started, work = ending.work] {
                const quintelle::platform::WorkInFlight inFlight;
                started.set_value();
                // Still at work when the process ends, or done before.
                if (work == Work::inFlight) std::this_thread::sleep_for(std::chrono::hours(1));
            });
            started.get_future().wait();
            if (ending.work == Work::ended)
                worker.join();
            else
                worker.detach();
        }
        std::exit(quintelle::platform::endProcess(7));
    }
    close(out[1]);
    std::string printed;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        printed.append(buffer, size_t(n));
    close(out[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
    EXPECT_EQ(printed, ending.exitHandlersRun ? "printed exit handlers" : "printed");
}

INSTANTIATE_TEST_SUITE_P(Endings, EndProcess,
                         ::testing::Values(Ending{"withoutWork", Work::none, true},
                                           Ending{"whileWorkIsInFlight", Work::inFlight, false},
                                           Ending{"afterWorkEnded", Work::ended, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
