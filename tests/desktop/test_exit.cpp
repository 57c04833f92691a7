// Quitting on a real desktop with sounds on and a live sound server: every
// exit is clean and prompt, whatever cue was sounding, and whether the
// player closed the window or the session asked the program to end.
#include <gtest/gtest.h>

#include <signal.h>

#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include "data/tallystore.h"
#include "tests/support/desktop.h"

using quintelle::testing::Desktop;
using quintelle::testing::GameProcess;
using quintelle::testing::waitUntil;

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

// A logout, `kill` or Ctrl+C in the middle of a round ends the game as its
// close button does: the round just started is in the tally, the settings
// are written, and the exit code is a normal close's.
struct Signal {
    const char* name;
    int number;
};

void PrintTo(const Signal& s, std::ostream* os) {
    *os << s.name;
}

class EndRequest : public ::testing::TestWithParam<Signal> {};

TEST_P(EndRequest, DuringARoundSavesTheTallyAndTheSettingsAndEndsNormally) {
    Desktop desktop({.windowManager = true, .sound = true});
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    GameProcess game(desktop);
    game.writeSettings({QStringLiteral("Update=false"), QStringLiteral("Name=Sig")});
    ASSERT_TRUE(game.start()) << game.output().toStdString();
    game.click(game.startButton());
    game.click(game.cellCentre(3, 3));
    QThread::msleep(300);  // the clicks are handled

    ASSERT_EQ(::kill(pid_t(game.processId()), GetParam().number), 0);
    EXPECT_EQ(game.waitForExit(5000), std::optional<int>(0)) << game.output().toStdString();
    EXPECT_FALSE(reportsAFault(game.output())) << game.output().toStdString();

    quintelle::TallyModel tally([] { return std::string(); });
    quintelle::TallyStore(game.folder().toStdString()).load(tally);
    EXPECT_EQ(tally.statistic(quintelle::TallyModel::kRoundsPlayed), "1");
    const auto settings = game.readFile(QStringLiteral("quintelle.ini"));
    ASSERT_TRUE(settings.has_value());
    for (const char* key : {"Top=", "Left=", "Width=", "Height=", "Name=Sig\r\n", "Sounds=yes"})
        EXPECT_TRUE(settings->contains(key)) << key << " in\n" << settings->toStdString();
}

INSTANTIATE_TEST_SUITE_P(Signals, EndRequest,
                         ::testing::Values(Signal{"SIGTERM", SIGTERM}, Signal{"SIGINT", SIGINT},
                                           Signal{"SIGHUP", SIGHUP}),
                         [](const auto& info) { return std::string(info.param.name); });

// At a logout the session manager asks the program to save; the game ends
// there and then, its tally and settings written, before it answers.
TEST(EndRequest, TheSessionManagersSaveRequestEndsTheGameAsItsCloseButtonDoes) {
    Desktop desktop;
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    QProcess manager;
    manager.setProcessEnvironment(desktop.environment());
    manager.start(QStringLiteral(SESSION_MANAGER_EXE), QStringList());
    ASSERT_TRUE(manager.waitForStarted(10000));
    QByteArray said;
    auto hears = [&](const QByteArray& line) {
        return waitUntil(
            [&] {
                said += manager.readAllStandardOutput();
                return said.contains(line);
            },
            20000);
    };
    ASSERT_TRUE(hears("SESSION_MANAGER=local/"));
    GameProcess game(desktop);
    game.setEnvironment(QStringLiteral("SESSION_MANAGER"),
                        QString::fromLatin1(said.split('\n').first().mid(16)));
    ASSERT_TRUE(game.start()) << game.output().toStdString();
    ASSERT_TRUE(hears("registered")) << said.toStdString();
    game.click(game.startButton());
    game.click(game.cellCentre(3, 3));
    QThread::msleep(300);

    manager.write("save\n");
    EXPECT_TRUE(hears("saved yes")) << said.toStdString();
    EXPECT_EQ(game.waitForExit(10000), std::optional<int>(0)) << game.output().toStdString();
    quintelle::TallyModel tally([] { return std::string(); });
    quintelle::TallyStore(game.folder().toStdString()).load(tally);
    EXPECT_EQ(tally.statistic(quintelle::TallyModel::kRoundsPlayed), "1");
    EXPECT_TRUE(game.readFile(QStringLiteral("quintelle.ini"))->contains("Sounds=yes"));
    manager.closeWriteChannel();
    manager.waitForFinished(5000);
}
