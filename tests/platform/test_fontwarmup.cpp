// The font configuration read on a thread of its own ahead of the first text.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/fontwarmup.h"

namespace {

using quintelle::platform::FontConfigurationWarmUp;

std::atomic<int> reads{0};
std::atomic<bool> readDone{false};
std::thread::id readOn;

// A reader slow enough that a wait that did not wait would find it unfinished.
int slowReader() {
    readOn = std::this_thread::get_id();
    ++reads;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    readDone = true;
    return 1;
}

class FontWarmUp : public ::testing::Test {
  protected:
    void SetUp() override {
        reads = 0;
        readDone = false;
        readOn = {};
    }
};

TEST_F(FontWarmUp, ReadsOnceOnAThreadOfItsOwnAndWaitReturnsOnceItHasRead) {
    FontConfigurationWarmUp warmUp(&slowReader);
    warmUp.wait();
    EXPECT_TRUE(readDone);
    EXPECT_EQ(reads, 1);
    EXPECT_NE(readOn, std::this_thread::get_id());
    warmUp.wait();  // a second wait has nothing left to wait for
    EXPECT_EQ(reads, 1);
}

TEST_F(FontWarmUp, GoingOutOfScopeWaitsForTheRead) {
    { FontConfigurationWarmUp warmUp(&slowReader); }
    EXPECT_TRUE(readDone);
}

TEST_F(FontWarmUp, WithoutAReaderThereIsNothingToWaitFor) {
    FontConfigurationWarmUp warmUp(nullptr);
    warmUp.wait();
    EXPECT_EQ(reads, 0);
}

// Qt Gui on this platform draws text through fontconfig: the program's own
// warm-up must find its set-up among the libraries already loaded.
TEST_F(FontWarmUp, FindsTheSetUpOfTheLibraryQtGuiDrawsTextWith) {
    EXPECT_NE(quintelle::platform::fontConfigurationReader(), nullptr);
}

}  // namespace
