// A round played by keys with Orca running, judged by what Orca said: the
// cell under the cursor as it moves, every card offered and placed, the
// replacement, and the round's result.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "tests/desktop/panels.h"
#include "tests/support/desktop.h"
#include "tests/support/screenreader.h"

using namespace quintelle::testing;

namespace {

// The number of utterances that match `pattern`.
qsizetype count(const QStringList& said, const QString& pattern) {
    return said.filter(QRegularExpression(pattern)).size();
}

}  // namespace

TEST(ScreenReader, OrcaSaysEveryCardOfferedAndPlacedAndTheRoundsResult) {
    Desktop desktop;
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    ScreenReader orca(desktop);
    ASSERT_TRUE(orca.ready()) << orca.error().toStdString();
    GameProcess game(desktop);
    game.writeSettings({QStringLiteral("Update=false")});
    orca.attach(game);
    ASSERT_TRUE(game.start()) << game.output().toStdString();

    // The name panel is a dialog; its box has the focus.
    ASSERT_TRUE(orca.waitForSpeech(QStringLiteral("ENTER YOUR NAME. dialog")))
        << orca.spoken().join(u'\n').toStdString();
    game.key(QStringLiteral("Return"));  // DONE
    qsizetype mark = orca.spoken().size();
    game.key(QStringLiteral("Return"));  // START GAME, from the board
    ASSERT_TRUE(orca.waitForSpeech(QStringLiteral("Card on offer: "), 10000, mark))
        << orca.spoken().mid(mark).join(u'\n').toStdString();
    EXPECT_TRUE(orca.waitForSpeech(QStringLiteral("Row 1, column 1: empty"), 5000, mark));
    EXPECT_TRUE(orca.waitForSpeech(QStringLiteral("Round: 1. Target Score: "), 5000, mark));

    // The cursor is the focus: moving it says the cell.
    mark = orca.spoken().size();
    game.key(QStringLiteral("Right"));
    EXPECT_TRUE(orca.waitForSpeech(QStringLiteral("Row 1, column 2: empty"), 5000, mark))
        << orca.spoken().mid(mark).join(u'\n').toStdString();
    game.key(QStringLiteral("Left"));

    // The top left cell twice (a card, then the replacement), then the rest
    // row by row, waiting for each placement to be said.
    int placed = 0;
    auto lay = [&](int row, int column) {
        const qsizetype before = orca.spoken().size();
        game.key(QStringLiteral("Return"));
        ++placed;
        const QString at = QStringLiteral(" at row %1, column %2").arg(row).arg(column);
        return orca.waitForSpeech(at, 10000, before);
    };
    ASSERT_TRUE(lay(1, 1)) << orca.spoken().mid(mark).join(u'\n').toStdString();
    ASSERT_TRUE(lay(1, 1)) << orca.spoken().mid(mark).join(u'\n').toStdString();
    for (int row = 1; row <= 5; ++row)
        for (int column = 1; column <= 5; ++column) {
            if (row == 1 && column == 1) continue;
            if (column == 1) {
                game.key(QStringLiteral("Down"));
                game.key(QStringLiteral("Home"));
            } else {
                game.key(QStringLiteral("Right"));
            }
            ASSERT_TRUE(lay(row, column)) << row << "," << column << "\n"
                                          << orca.spoken().mid(mark).join(u'\n').toStdString();
        }
    ASSERT_EQ(placed, 26);

    RoundResult result = RoundResult::None;
    ASSERT_TRUE(waitUntil([&] { return (result = roundResult(game)) != RoundResult::None; }, 20000))
        << orca.spoken().mid(mark).join(u'\n').toStdString();
    // The result dialog is said with its score and the target.
    const QString dialog = result == RoundResult::GameOver
                               ? QStringLiteral("^Game Over! Total: \\d+\\. dialog .*Target Score: \\d+")
                               : QStringLiteral("Total: \\d+\\. dialog .*Target Score: \\d+");
    EXPECT_TRUE(waitUntil([&] { return count(orca.spoken(), dialog) == 1; }, 10000))
        << orca.spoken().mid(mark).join(u'\n').toStdString();

    const QStringList said = orca.spoken().mid(mark);
    // Each placement once, each with the card that follows it but the last.
    EXPECT_EQ(count(said, QStringLiteral(" placed at row \\d, column \\d; next: ")), 24)
        << said.join(u'\n').toStdString();
    EXPECT_EQ(count(said, QStringLiteral(" replaces .* at row 1, column 1; next: ")), 1);
    EXPECT_EQ(count(said, QStringLiteral(" placed at row 5, column 5\\.")), 1);
    EXPECT_EQ(count(said, QStringLiteral("Replacement used")), 1);

    // The tally, opened from the View menu by its mnemonic, is a dialog read
    // whole as it opens: its figures with their captions, the new entry marked.
    mark = orca.spoken().size();
    if (result == RoundResult::GameOver) {
        game.key(QStringLiteral("Escape"));
        // Back on the board, said whole down to its hint.
        EXPECT_TRUE(orca.waitForSpeech(QStringLiteral("Arrow keys choose a cell"), 10000, mark));
        mark = orca.spoken().size();
    }
    // Alt is held a moment before V, as a hand does: with a screen reader Qt
    // delivers a key only once the reader has seen it, and an Alt press
    // arriving after the V would toggle the menu bar and close the menu.
    desktop.run(QStringLiteral("xdotool"), {QStringLiteral("keydown"), QStringLiteral("alt"),
                                            QStringLiteral("sleep"), QStringLiteral("0.4"),
                                            QStringLiteral("key"), QStringLiteral("v"),
                                            QStringLiteral("keyup"), QStringLiteral("alt")});
    EXPECT_TRUE(orca.waitForSpeech(QStringLiteral("Tally List"), 10000, mark))
        << orca.spoken().mid(mark).join(u'\n').toStdString();
    game.key(QStringLiteral("Return"));
    const QString cleared = result == RoundResult::GameOver ? QStringLiteral("0") : QStringLiteral("1");
    const QString tally = QStringLiteral("Tally List dialog .*Total Rounds: 1 .*Rounds Cleared: ") +
                          cleared +
                          (result == RoundResult::GameOver
                               ? QStringLiteral(" .*1\\. [^,]+, Guest, \\d+, newest entry")
                               : QString());
    EXPECT_TRUE(waitUntil([&] { return count(orca.spoken().mid(mark), tally) == 1; }, 10000))
        << orca.spoken().mid(mark).join(u'\n').toStdString();
    EXPECT_TRUE(orca.waitForSpeech(QStringLiteral("Done push button"), 10000, mark));
    mark = orca.spoken().size();
    game.key(QStringLiteral("Escape"));
    EXPECT_TRUE(orca.waitForSpeech(QStringLiteral("Quintelle frame"), 10000, mark));

    // Help: Tab goes round the page buttons to the page, which is read whole.
    game.key(QStringLiteral("F1"));
    EXPECT_TRUE(orca.waitForSpeech(QStringLiteral("Help File dialog"), 10000, mark));
    const qsizetype tabs = orca.spoken().size();
    for (int i = 0; i < 6; ++i) game.key(QStringLiteral("Tab"));
    EXPECT_TRUE(orca.waitForSpeech(QStringLiteral("Hello, and thank you for trying Quintelle."),
                                   10000, tabs))
        << orca.spoken().mid(mark).join(u'\n').toStdString();

    game.close();
    EXPECT_EQ(game.waitForExit(), std::optional<int>(0)) << game.output().toStdString();
}
