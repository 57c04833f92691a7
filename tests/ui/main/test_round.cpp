// A whole round played with mouse clicks on the cells, the round clock, and
// the sound cues the board requests.
#include <QTimer>
#include <algorithm>
#include <map>

#include "mainwindow_fixture.h"
#include "ui/controls/tag.h"

using quintelle::ui::CardImage;

namespace {

QImage rendered(QWidget* w) {
    return w->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

class RoundTest : public MainWindowTest {
  protected:
    CardImage* offer() { return find<CardImage>(QStringLiteral("image_topcard")); }

    void expectCellShowsGrid(int r, int c) {
        SCOPED_TRACE(r * 10 + c);
        EXPECT_EQ(cell(r, c)->shownCard(), window().game().grid(r, c));
        EXPECT_EQ(tagOf(cell(r, c)), window().game().grid(r, c));
    }

    void expectOfferShown() {
        EXPECT_EQ(offer()->shownCard(), window().game().topcard());
        EXPECT_EQ(tagOf(offer()), window().game().topcard());
    }
};

TEST_F(RoundTest, AWholeRoundPlayedByClicks) {
    open();
    click(QStringLiteral("button_start"));
    ASSERT_TRUE(window().game().dealing());
    EXPECT_FALSE(find(QStringLiteral("panel_name"))->isVisible());
    EXPECT_EQ(textOf(QStringLiteral("label_cardcount")), QStringLiteral("Cards Left: 26"));
    EXPECT_EQ(textOf(QStringLiteral("label_roundnum")), QStringLiteral("Round: 1"));
    EXPECT_EQ(textOf(QStringLiteral("label_name")), QStringLiteral("Good Luck Guest"));
    expectOfferShown();
    EXPECT_GE(offer()->shownCard(), 1);

    // Cell 11 twice (the second is the replacement), then the other 24 cells.
    std::vector<std::pair<int, int>> clicks = {{1, 1}, {1, 1}};
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c)
            if (r * 10 + c != 11) clicks.emplace_back(r, c);
    ASSERT_EQ(clicks.size(), 26u);

    int placed = 0;
    for (const auto& [r, c] : clicks) {
        SCOPED_TRACE(placed);
        const bool replacing = placed == 1;
        const int card = window().game().topcard();
        sounds().clear();
        QTest::mouseClick(cell(r, c), Qt::LeftButton);
        ++placed;

        EXPECT_EQ(window().game().grid(r, c), card);
        expectCellShowsGrid(r, c);
        EXPECT_EQ(textOf(QStringLiteral("label_cardcount")),
                  QStringLiteral("Cards Left: %1").arg(26 - placed));
        EXPECT_EQ(find(QStringLiteral("image_replace"))->isVisible(), placed < 2);
        if (placed < 26) expectOfferShown();
        if (replacing) {
            EXPECT_EQ(sounds(), std::vector<QString>{QStringLiteral("play REPLACE")});
            // Nothing of the covered card may show: the cell looks exactly
            // like a fresh cell holding the new card.
            CardImage fresh(cell(r, c)->parentWidget(), "fresh", QPoint(0, 0));
            fresh.drawCard(card);
            EXPECT_EQ(rendered(cell(r, c)), rendered(&fresh));
        } else if (placed == 1) {
            EXPECT_EQ(sounds(), std::vector<QString>{QStringLiteral("play PLACECARD")});
        }
    }

    const auto& game = window().game();
    EXPECT_FALSE(game.dealing());
    EXPECT_EQ(offer()->shownCard(), 0);  // the card back, not an empty frame
    EXPECT_EQ(tagOf(offer()), 0);
    for (int n = 1; n <= 10; ++n) {
        bool number = false;
        const int shown = textOf(QStringLiteral("label_line%1").arg(n)).toInt(&number);
        EXPECT_TRUE(number) << n;
        EXPECT_EQ(shown, game.linescore(n)) << n;
    }
    EXPECT_EQ(textOf(QStringLiteral("label_thisturn")), QString::number(game.roundscore()));
    EXPECT_FALSE(window().turntime().isActive());

    const bool cleared = game.totalscore() >= game.targetscore();
    EXPECT_EQ(find(QStringLiteral("panel_continue"))->isVisible(), cleared);
    EXPECT_EQ(find(QStringLiteral("panel_cleared"))->isVisible(), !cleared);
    EXPECT_EQ(sounds().back(),
              cleared ? QStringLiteral("play ROUNDOVER") : QStringLiteral("play WINNER"));

    // With a result panel up, no cell takes a card, whether the panel covers
    // it or not.
    sounds().clear();
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) {
            const int before = cell(r, c)->shownCard();
            QTest::mouseClick(cell(r, c), Qt::LeftButton);
            EXPECT_EQ(cell(r, c)->shownCard(), before);
            expectCellShowsGrid(r, c);
        }
    EXPECT_EQ(offer()->shownCard(), 0);
    EXPECT_TRUE(sounds().empty());
}

TEST_F(RoundTest, StartCutsOffTheStartUpCueAndDealsToTheSoundOfTurnnew) {
    open();
    EXPECT_EQ(sounds(), std::vector<QString>{QStringLiteral("play ENTERED")});
    sounds().clear();
    click(QStringLiteral("button_start"));
    // "startgame" has no sound of its own; only the round's cue starts.
    EXPECT_EQ(sounds(), std::vector<QString>{QStringLiteral("play TURNNEW")});
}

TEST_F(RoundTest, AFilledCellWithoutReplacementLeftIsRefused) {
    open();
    click(QStringLiteral("button_start"));
    QTest::mouseClick(cell(3, 3), Qt::LeftButton);
    QTest::mouseClick(cell(3, 3), Qt::LeftButton);
    const int shown = cell(3, 3)->shownCard();
    const int offered = window().game().topcard();
    sounds().clear();
    QTest::mouseClick(cell(3, 3), Qt::LeftButton);
    EXPECT_EQ(sounds(), std::vector<QString>{QStringLiteral("play INVALID")});
    EXPECT_EQ(cell(3, 3)->shownCard(), shown);
    EXPECT_EQ(offer()->shownCard(), offered);
    EXPECT_EQ(textOf(QStringLiteral("label_cardcount")), QStringLiteral("Cards Left: 24"));
}

TEST_F(RoundTest, ACellClickBeforeAnyGamePlaysNothing) {
    open();
    click(QStringLiteral("button_namecancel"));
    ASSERT_FALSE(find(QStringLiteral("panel_name"))->isVisible());
    sounds().clear();
    QTest::mouseClick(cell(2, 2), Qt::LeftButton);
    EXPECT_TRUE(sounds().empty());
    EXPECT_EQ(cell(2, 2)->shownCard(), -1);
}

TEST_F(RoundTest, WithPlaySoundsOffNoCueReachesTheSoundService) {
    writeIni({QStringLiteral("Sounds=no")});
    open();
    click(QStringLiteral("button_start"));
    QTest::mouseClick(cell(1, 1), Qt::LeftButton);
    QTest::mouseClick(cell(1, 1), Qt::LeftButton);
    QTest::mouseClick(cell(1, 2), Qt::LeftButton);
    QTest::mouseClick(cell(1, 1), Qt::LeftButton);
    EXPECT_EQ(window().game().nextcard(), 4);
    EXPECT_TRUE(sounds().empty());
}

TEST_F(RoundTest, TheClockCountsSecondsInTextAndBar) {
    open();
    click(QStringLiteral("button_start"));
    QTimer& clock = window().turntime();
    ASSERT_TRUE(clock.isActive());
    EXPECT_EQ(clock.interval(), 1000);

    QWidget* bar = find(QStringLiteral("image_timer"));
    const std::map<int, std::pair<QString, int>> checkpoints = {
        {1, {"Time: 0:01", 1}},     {5, {"Time: 0:05", 5}},     {59, {"Time: 0:59", 59}},
        {60, {"Time: 1:00", 60}},   {61, {"Time: 1:01", 61}},   {75, {"Time: 1:15", 75}},
        {131, {"Time: 2:11", 131}}, {132, {"Time: 2:12", 131}}, {600, {"Time: 10:00", 131}},
    };
    for (int second = 1; second <= 600; ++second) {
        QMetaObject::invokeMethod(&clock, "timeout");  // a tick, without the second's wait
        if (auto it = checkpoints.find(second); it != checkpoints.end()) {
            SCOPED_TRACE(second);
            EXPECT_EQ(textOf(QStringLiteral("label_timer")), it->second.first);
            EXPECT_EQ(bar->width(), it->second.second);
            EXPECT_EQ(bar->height(), 25);
        }
    }
    EXPECT_EQ(window().game().seconds(), 600);

    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) window().game().place(r * 10 + c);
    window().game().place(11);
    EXPECT_FALSE(window().game().dealing());
    EXPECT_FALSE(clock.isActive());
    EXPECT_EQ(textOf(QStringLiteral("label_timer")), QStringLiteral("Time: 10:00"));
}

// Ticks on the clock frame mark where the bonus drops (30, 60 and 90 pixels
// of the bar's run); the growing bar covers each on the very second it drops,
// while the notches in the frame's rim stay in sight.
TEST_F(RoundTest, TheBarCoversEachBonusTickOnTheSecondTheBonusDrops) {
    open();
    click(QStringLiteral("button_start"));
    QTimer& clock = window().turntime();
    QWidget* board = find(QStringLiteral("panel_board1"));
    const int barLeft = find(QStringLiteral("image_timer"))->x();
    const int rim = find(QStringLiteral("Image1"))->y() + 1;
    const int stub = rim + 2;  // above the clock text, in the well
    auto darkerThanBeside = [&](const QImage& shown, int x, int y) {
        return qGray(shown.pixel(x, y)) + 40 <
               std::max(qGray(shown.pixel(x - 2, y)), qGray(shown.pixel(x + 2, y)));
    };
    int second = 0;
    for (int step : {30, 60, 90}) {
        SCOPED_TRACE(step);
        while (second < step) {
            QMetaObject::invokeMethod(&clock, "timeout");
            ++second;
        }
        QImage shown = board->grab().toImage();
        EXPECT_TRUE(darkerThanBeside(shown, barLeft + step, stub)) << "tick ahead of the bar";
        EXPECT_TRUE(darkerThanBeside(shown, barLeft + step, rim));
        QMetaObject::invokeMethod(&clock, "timeout");
        ++second;
        shown = board->grab().toImage();
        EXPECT_FALSE(darkerThanBeside(shown, barLeft + step, stub)) << "covered by the bar";
        EXPECT_TRUE(darkerThanBeside(shown, barLeft + step, rim)) << "rim notch stays";
    }
}

TEST_F(RoundTest, ANewGameDuringARoundRestartsTheClockAtZero) {
    open();
    click(QStringLiteral("button_start"));
    QTimer& clock = window().turntime();
    for (int i = 0; i < 5; ++i) QMetaObject::invokeMethod(&clock, "timeout");
    QTest::mouseClick(cell(1, 1), Qt::LeftButton);
    click(QStringLiteral("button_start"));
    EXPECT_TRUE(clock.isActive());
    EXPECT_EQ(window().game().seconds(), 0);
    EXPECT_EQ(window().game().roundnum(), 1);
    EXPECT_EQ(cell(1, 1)->shownCard(), -1);
    EXPECT_EQ(textOf(QStringLiteral("label_cardcount")), QStringLiteral("Cards Left: 26"));
    // The text and bar keep the last values until the first tick of the round.
    EXPECT_EQ(textOf(QStringLiteral("label_timer")), QStringLiteral("Time: 0:05"));
    QMetaObject::invokeMethod(&clock, "timeout");
    EXPECT_EQ(textOf(QStringLiteral("label_timer")), QStringLiteral("Time: 0:01"));
    EXPECT_EQ(find(QStringLiteral("image_timer"))->width(), 1);
}
