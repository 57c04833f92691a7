// Quitting on a real desktop with sounds on and a live sound server: every
// exit is clean and prompt, whatever cue was sounding.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QThread>

#include "tests/support/desktop.h"

using quintelle::testing::Desktop;
using quintelle::testing::GameProcess;

namespace {

// What a crash, an allocator check or a sanitizer leaves on the console.
bool reportsAFault(const QString& output) {
    static const QRegularExpression fault(QStringLiteral(
        "Sanitizer|malloc|double free|corrupted|Segmentation|Aborted|terminate called"));
    return output.contains(fault);
}

}  // namespace

// Five starts and exits per row; the rows run side by side under ctest -j.
class StartAndExit : public ::testing::TestWithParam<int> {};

TEST_P(StartAndExit, EndsWithExitCodeZeroEveryTime) {
    Desktop desktop({.windowManager = true, .sound = true});
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    for (int cycle = 0; cycle < 5; ++cycle) {
        SCOPED_TRACE(cycle);
        GameProcess game(desktop);
        ASSERT_TRUE(game.start()) << game.output().toStdString();
        // Vary the moment of leaving: while the start-up cue still sounds,
        // just after it, and after a game's first cues.
        if (cycle % 3 == 1) QThread::msleep(900);
        if (cycle % 3 == 2) {
            game.click(game.startButton());
            game.click(game.cellCentre(1, 1));
        }
        game.close();
        const auto code = game.waitForExit(15000);
        EXPECT_EQ(code, std::optional<int>(0)) << game.output().toStdString();
        EXPECT_FALSE(reportsAFault(game.output())) << game.output().toStdString();
        const auto settings = game.readFile(QStringLiteral("quintelle.ini"));
        ASSERT_TRUE(settings.has_value());
        EXPECT_TRUE(settings->contains("Sounds=yes"));
    }
}

INSTANTIATE_TEST_SUITE_P(TwentyTimes, StartAndExit, ::testing::Range(0, 4));
