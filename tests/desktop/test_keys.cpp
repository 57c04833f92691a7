// A whole round of the built program played with real key presses only: the
// name typed into the name panel, the game started, 26 cards laid with the
// arrows and Enter or Space, the result shown, and the round in the tally.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "data/tallystore.h"
#include "tests/desktop/panels.h"
#include "tests/support/desktop.h"

using namespace quintelle::testing;

namespace {

// The keys that lay a round on a grid whose cursor starts at the top left:
// that cell twice (a card, then the replacement), then the other 24 cells in
// a snake, row by row. Enter and Space take turns at laying.
QStringList roundKeys() {
    QStringList keys = {QStringLiteral("Return"), QStringLiteral("space")};
    bool enter = true;
    for (int row = 1; row <= 5; ++row) {
        if (row > 1) {
            keys << QStringLiteral("Down")
                 << (enter ? QStringLiteral("Return") : QStringLiteral("space"));
            enter = !enter;
        }
        for (int step = 1; step < 5; ++step) {
            keys << (row % 2 ? QStringLiteral("Right") : QStringLiteral("Left"))
                 << (enter ? QStringLiteral("Return") : QStringLiteral("space"));
            enter = !enter;
        }
    }
    return keys;
}

}  // namespace

TEST(KeyboardPlay, ARoundFromTheNamePanelToItsResultWithKeysAlone) {
    const QStringList keys = roundKeys();
    ASSERT_EQ(keys.filter(QRegularExpression(QStringLiteral("^(Return|space)$"))).size(), 26);

    Desktop desktop;
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    GameProcess game(desktop);
    game.writeSettings({QStringLiteral("Update=false")});
    ASSERT_TRUE(game.start()) << game.output().toStdString();

    // The name panel has the focus, its box the old name selected.
    game.key(QStringLiteral("ctrl+a"));
    game.type(QStringLiteral("Kay"));
    game.key(QStringLiteral("Return"));  // DONE
    game.key(QStringLiteral("Return"));  // START GAME, from the board
    for (const QString& key : keys) {
        // Nothing ends the round before its 26th card.
        ASSERT_EQ(roundResult(game), RoundResult::None) << "before " << key.toStdString();
        game.key(key);
    }

    RoundResult result = RoundResult::None;
    ASSERT_TRUE(waitUntil([&] { return (result = roundResult(game)) != RoundResult::None; }, 20000))
        << "no result panel after 26 placements";

    game.close();
    ASSERT_EQ(game.waitForExit(), std::optional<int>(0)) << game.output().toStdString();

    quintelle::TallyModel tally([] { return std::string(); });
    quintelle::TallyStore(game.folder().toStdString()).load(tally);
    EXPECT_EQ(tally.statistic(quintelle::TallyModel::kRoundsPlayed), "1");
    if (result == RoundResult::GameOver) {
        EXPECT_EQ(tally.statistic(quintelle::TallyModel::kRoundsCleared), "0");
        EXPECT_EQ(tally.place(1).name, "Kay") << "the typed name ends the game";
        EXPECT_NE(tally.place(1).tag, quintelle::TallyModel::kEmptyScore);
    } else {
        EXPECT_EQ(tally.statistic(quintelle::TallyModel::kRoundsCleared), "1");
        EXPECT_EQ(tally.place(1).tag, quintelle::TallyModel::kEmptyScore);
    }
    const auto settings = game.readFile(QStringLiteral("quintelle.ini"));
    ASSERT_TRUE(settings.has_value());
    EXPECT_TRUE(settings->contains("Name=Kay\r\n")) << settings->toStdString();
}
