// The round history and the statistics window of the built program: a round
// laid with real keys is kept with its placements in the order they were
// made; Ctrl+T opens the window, framed and inside the screen; Escape closes
// it; and the history is whole after the game is ended by SIGTERM.
#include <gtest/gtest.h>
#include <signal.h>

#include <QRegularExpression>

#include "data/history.h"
#include "tests/desktop/panels.h"
#include "tests/support/desktop.h"

using namespace quintelle::testing;

TEST(StatisticsOnTheDesktop, ARoundPlayedByKeysIsKeptInOrderAndShown) {
    // Cell 11 twice (a card, then the replacement), then a snake, row by row.
    QStringList keys = {QStringLiteral("Return"), QStringLiteral("Return")};
    std::array<int, 26> cells{0, 0};
    std::size_t laid = 2;
    for (int row = 0; row < 5; ++row) {
        if (row > 0) {
            keys << QStringLiteral("Down") << QStringLiteral("Return");
            cells[laid++] = row * 5 + (row % 2 ? 4 : 0);
        }
        for (int step = 1; step < 5; ++step) {
            keys << (row % 2 ? QStringLiteral("Left") : QStringLiteral("Right"))
                 << QStringLiteral("Return");
            cells[laid++] = row * 5 + (row % 2 ? 4 - step : step);
        }
    }
    ASSERT_EQ(laid, 26u);

    Desktop desktop;
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    GameProcess game(desktop);
    game.writeSettings({QStringLiteral("Update=false")});
    ASSERT_TRUE(game.start()) << game.output().toStdString();
    game.key(QStringLiteral("Return"));  // DONE on the name panel
    game.key(QStringLiteral("Return"));  // START GAME
    for (const QString& key : keys) game.key(key);
    ASSERT_TRUE(waitUntil([&] { return roundResult(game) != RoundResult::None; }, 20000));

    game.key(QStringLiteral("ctrl+t"));
    unsigned long window = 0;
    ASSERT_TRUE(waitUntil(
        [&] {
            return (window = desktop.findWindow(game.processId(), QStringLiteral("Statistics"))) !=
                   0;
        },
        10000))
        << game.output().toStdString();
    const QImage shown = desktop.grabWindow(window);
    EXPECT_LE(shown.width(), desktop.screenSize().width());
    EXPECT_LE(shown.height(), desktop.screenSize().height());
    game.key(QStringLiteral("Escape"));
    EXPECT_TRUE(waitUntil(
        [&] { return desktop.findWindow(game.processId(), QStringLiteral("Statistics")) == 0; },
        10000));

    ASSERT_EQ(::kill(pid_t(game.processId()), SIGTERM), 0);
    EXPECT_EQ(game.waitForExit(), std::optional<int>(0)) << game.output().toStdString();
    const auto history =
        quintelle::HistoryStore(std::filesystem::path(game.folder().toStdString()) / "history")
            .loadAll();
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].round.cells, cells);
    EXPECT_EQ(history[0].game, 1u);
    EXPECT_EQ(history[0].round.roundInGame, 1);
}
