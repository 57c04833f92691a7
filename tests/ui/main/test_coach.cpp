// Ctrl+H during a round rings one cell the rules allow, and nothing else of
// the window changes; outside a round it does nothing; the ring goes with the
// next placement, and an answer to a position already left is dropped.
#include <QLabel>

#include "game/coach.h"
#include "mainwindow_fixture.h"
#include "ui/controls/tag.h"

namespace {

class CountingTally : public quintelle::TallySink {
  public:
    void addtomineincrease(int) override { ++calls; }
    bool checkscore(int, const std::string&) override {
        ++calls;
        return false;
    }
    int calls = 0;
};

}  // namespace

class CoachTest : public MainWindowTest {
  protected:
    Tmain& openActive() {
        Tmain& w = open();
        w.setWindows(Tmain::Windows{nullptr, nullptr, nullptr, nullptr, &tally, nullptr, {}});
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }

    void pressCtrlH() { QTest::keyClick(&window(), Qt::Key_H, Qt::ControlModifier); }

    QWidget* ring() {
        auto* w = window().findChild<QWidget*>(QStringLiteral("image_hint"));
        return w && w->isVisible() ? w : nullptr;
    }

    // Every tag and text of the window's controls, to see that nothing moved.
    QStringList snapshot() {
        QStringList all;
        for (QWidget* w : window().findChildren<QWidget*>()) {
            if (w->objectName().isEmpty() || w->objectName() == QStringLiteral("image_hint"))
                continue;
            QString line = w->objectName() + u'=' + QString::number(tagOf(w));
            if (auto* label = qobject_cast<QLabel*>(w)) line += u' ' + label->text();
            if (auto* cardImage = qobject_cast<quintelle::ui::CardImage*>(w))
                line += u' ' + QString::number(cardImage->shownCard());
            all << line + (w->isVisible() ? QStringLiteral(" shown") : QString());
        }
        all.sort();
        return all;
    }

    // The cell the ring sits on, as row*10+column.
    int ringedAddress() {
        for (int r = 1; r <= 5; ++r)
            for (int c = 1; c <= 5; ++c)
                if (ring()->geometry().center() == cell(r, c)->geometry().center())
                    return r * 10 + c;
        return 0;
    }

    CountingTally tally;
};

TEST_F(CoachTest, DuringARoundRingsOneAllowedCellAndChangesNothingElse) {
    openActive();
    click(QStringLiteral("button_start"));
    // Into the round, with the replacement spent, so the rules forbid the
    // filled cells.
    for (int address : {11, 11, 12, 21, 33, 45, 54})
        QTest::mouseClick(cell(address / 10, address % 10), Qt::LeftButton);
    ASSERT_FALSE(window().game().canreplace());
    QCoreApplication::processEvents();  // the placements are said before the hint

    const QStringList before = snapshot();
    const auto& game = window().game();
    const int nextcard = game.nextcard(), talliedBefore = tally.calls;
    const quintelle::Deck deck = game.deck();
    sounds().clear();

    pressCtrlH();
    QTRY_VERIFY_WITH_TIMEOUT(ring() != nullptr, 5000);
    const int address = ringedAddress();
    ASSERT_NE(address, 0);
    EXPECT_EQ(game.grid(address / 10, address % 10), 0) << address;
    EXPECT_EQ(window().cursorCell(), address) << "the keyboard cursor follows the hint";

    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(sounds().empty());
    EXPECT_EQ(tally.calls, talliedBefore);
    EXPECT_EQ(game.nextcard(), nextcard);
    EXPECT_EQ(game.deck(), deck);

    // The next placement takes the ring away.
    QTest::mouseClick(cell(address / 10, address % 10), Qt::LeftButton);
    EXPECT_EQ(ring(), nullptr);
}

TEST_F(CoachTest, WithTheReplacementLeftAFilledCellMayBeRinged) {
    openActive();
    click(QStringLiteral("button_start"));
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) QTest::mouseClick(cell(r, c), Qt::LeftButton);
    ASSERT_TRUE(window().game().canreplace());
    ASSERT_TRUE(window().game().dealing());  // the full grid waits for the 26th card

    pressCtrlH();
    QTRY_VERIFY_WITH_TIMEOUT(ring() != nullptr, 5000);
    const int address = ringedAddress();
    EXPECT_NE(window().game().grid(address / 10, address % 10), 0);

    QTest::mouseClick(cell(address / 10, address % 10), Qt::LeftButton);  // ends the round
    EXPECT_FALSE(window().game().dealing());
    EXPECT_EQ(ring(), nullptr);
    pressCtrlH();
    QTest::qWait(400);
    EXPECT_EQ(ring(), nullptr);
}

TEST_F(CoachTest, OutsideARoundNothingHappens) {
    openActive();
    find(QStringLiteral("panel_name"))->hide();
    const QStringList before = snapshot();
    sounds().clear();
    pressCtrlH();
    QTest::qWait(400);
    EXPECT_EQ(ring(), nullptr);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(sounds().empty());
}

TEST_F(CoachTest, AnAnswerForAPositionAlreadyLeftIsDropped) {
    openActive();
    click(QStringLiteral("button_start"));
    QTest::mouseClick(cell(3, 3), Qt::LeftButton);
    pressCtrlH();
    QTest::mouseClick(cell(1, 1), Qt::LeftButton);  // before the coach can answer
    QTest::qWait(2 * 150 + 300);
    EXPECT_EQ(ring(), nullptr);
    // Asking again in the new position is answered.
    pressCtrlH();
    QTRY_VERIFY_WITH_TIMEOUT(ring() != nullptr, 5000);
}
