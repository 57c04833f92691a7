// Playing without a mouse: the grid cursor, the panels' keys and focus, and
// the texts a screen reader reads from the board.
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <array>

#include "game/PokerHand.h"
#include "game/names.h"
#include "game/scoring.h"
#include "mainwindow_fixture.h"
#include "ui/controls/tag.h"
#include "ui/main/program.h"
#include "ui/tally/tallylistform.h"

using quintelle::ui::CardImage;

namespace {

// Seeds whose deal, laid by kPlan, ends the first round as named (the round
// clock held at 0 seconds).
constexpr std::uint32_t kSeedGameOver = 1;
constexpr std::uint32_t kSeedCleared = 6120;

// The centre cell three times (a card, the replacement, a refusal), then the
// other 24 cells from the bottom right back to the top left.
std::vector<int> plan() {
    std::vector<int> cells = {33, 33, 33};
    for (int a = 55; a >= 11; --a)
        if (a % 10 >= 1 && a % 10 <= 5 && a != 33) cells.push_back(a);
    return cells;
}

QString accessibleName(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("<no interface>");
}

}  // namespace

class KeyboardTest : public MainWindowTest {
  protected:
    Tmain& openActive() {
        Tmain& w = open();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }

    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = window().focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, k, modifiers);
    }

    QWidget* board() { return find(QStringLiteral("panel_board1")); }
    QWidget* frame() { return board()->findChild<QWidget*>(QStringLiteral("cursor_frame")); }
    QString focusName() {
        return window().focusWidget() ? window().focusWidget()->objectName() : QString();
    }

    // Name panel closed with Enter, then a game started with Enter on the
    // board; the clock is held so no time bonus depends on the machine.
    void startByKeys(std::uint32_t seed) {
        ASSERT_EQ(focusName(), QStringLiteral("edit_aname"));
        key(Qt::Key_Return);
        ASSERT_EQ(focusName(), QStringLiteral("panel_board1"));
        window().random().seed(seed);
        key(Qt::Key_Return);
        window().turntime().stop();
        ASSERT_TRUE(window().game().dealing());
    }

    // Moves the cursor with the keys a player would use, then lays the card.
    void layByKeys(int target, Qt::Key press = Qt::Key_Return) {
        int at = window().cursorCell();
        if (target == 11) {
            key(Qt::Key_Home, Qt::ControlModifier);
        } else if (target == 55) {
            key(Qt::Key_End, Qt::ControlModifier);
        } else {
            for (; at / 10 < target / 10; at += 10) key(Qt::Key_Down);
            for (; at / 10 > target / 10; at -= 10) key(Qt::Key_Up);
            if (target % 10 == 1)
                key(Qt::Key_Home);
            else if (target % 10 == 5)
                key(Qt::Key_End);
            else {
                for (; at % 10 < target % 10; ++at) key(Qt::Key_Right);
                for (; at % 10 > target % 10; --at) key(Qt::Key_Left);
            }
        }
        ASSERT_EQ(window().cursorCell(), target);
        key(press);
        EXPECT_EQ(window().cursorCell(), target) << "the cursor stays where the card went";
    }

    void playRoundByKeys() {
        const Qt::Key presses[] = {Qt::Key_Return, Qt::Key_Space, Qt::Key_Enter};
        int n = 0;
        for (int cell : plan()) layByKeys(cell, presses[n++ % 3]);
        ASSERT_FALSE(window().game().dealing());
    }
};

// What one game leaves behind: the grid, the cues and the tally file.
struct Outcome {
    std::array<int, 25> grid{};
    std::array<int, 25> shown{};
    std::vector<QString> sounds;
    QByteArray tally;
    int total = 0;
};

class KeyboardEqualsMouseTest : public KeyboardTest {
  protected:
    Outcome play(bool keyboard, const QString& subfolder) {
        const QString dir = folder() + u'/' + subfolder;
        QDir().mkpath(dir);
        quintelle::platform::setExecutableFolder(dir);
        auto sounds = std::make_shared<std::vector<QString>>();
        quintelle::platform::installSoundBackend(std::make_unique<SoundRecorder>(sounds));
        Outcome out;
        {
            quintelle::ui::ProgramWindows program;
            Tmain& main = program.main();
            showFirstFrame(main);
            main.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&main));
            auto key = [&main](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
                QTest::keyClick(main.focusWidget(), k, m);
            };
            auto click = [&main](const QString& name) {
                QTest::mouseClick(main.control(name), Qt::LeftButton);
            };
            if (keyboard) {
                key(Qt::Key_Return);
                main.random().seed(kSeedGameOver);
                key(Qt::Key_Return);
            } else {
                click(QStringLiteral("button_namedone"));
                main.random().seed(kSeedGameOver);
                click(QStringLiteral("button_start"));
            }
            main.turntime().stop();
            for (int cell : plan()) {
                if (keyboard) {
                    // Straight to the cell by Ctrl+Home, then Down and Right.
                    key(Qt::Key_Home, Qt::ControlModifier);
                    for (int r = 1; r < cell / 10; ++r) key(Qt::Key_Down);
                    for (int c = 1; c < cell % 10; ++c) key(Qt::Key_Right);
                    key(Qt::Key_Space);
                } else {
                    click(QStringLiteral("image_card%1").arg(cell));
                }
            }
            EXPECT_FALSE(main.game().dealing());
            for (int i = 0; i < 25; ++i) {
                const int r = i / 5 + 1, c = i % 5 + 1;
                out.grid[i] = main.game().grid(r, c);
                out.shown[i] = qobject_cast<CardImage*>(
                                   main.control(QStringLiteral("image_card%1%2").arg(r).arg(c)))
                                   ->shownCard();
            }
            out.total = main.game().totalscore();
        }
        out.sounds = *sounds;
        QFile tally(dir + QStringLiteral("/quintelletally.tld"));
        EXPECT_TRUE(tally.open(QIODevice::ReadOnly));
        out.tally = tally.readAll();
        return out;
    }
};

TEST_F(KeyboardEqualsMouseTest, ARoundByKeysEndsExactlyAsTheSameRoundByClicks) {
    const Outcome mouse = play(false, QStringLiteral("mouse"));
    const Outcome keys = play(true, QStringLiteral("keys"));
    EXPECT_EQ(keys.grid, mouse.grid);
    EXPECT_EQ(keys.shown, mouse.shown);
    EXPECT_EQ(keys.total, mouse.total);
    EXPECT_EQ(keys.sounds, mouse.sounds);
    EXPECT_EQ(keys.tally, mouse.tally);
    // The plan's refusal and the game's end are in both.
    EXPECT_NE(std::find(mouse.sounds.begin(), mouse.sounds.end(), QStringLiteral("play INVALID")),
              mouse.sounds.end());
    EXPECT_EQ(mouse.sounds.back(), QStringLiteral("play WINNER"));
    EXPECT_FALSE(mouse.tally.isEmpty());
}

TEST_F(KeyboardTest, EveryKeyMovesTheCursorWithoutWrapping) {
    openActive();
    startByKeys(kSeedGameOver);
    struct Row {
        int from;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int to;
    };
    const Row rows[] = {
        {11, Qt::Key_Left, Qt::NoModifier, 11},      {11, Qt::Key_Up, Qt::NoModifier, 11},
        {11, Qt::Key_Right, Qt::NoModifier, 12},     {11, Qt::Key_Down, Qt::NoModifier, 21},
        {15, Qt::Key_Right, Qt::NoModifier, 15},     {51, Qt::Key_Down, Qt::NoModifier, 51},
        {55, Qt::Key_Right, Qt::NoModifier, 55},     {55, Qt::Key_Down, Qt::NoModifier, 55},
        {33, Qt::Key_Home, Qt::NoModifier, 31},      {33, Qt::Key_End, Qt::NoModifier, 35},
        {33, Qt::Key_Home, Qt::ControlModifier, 11}, {33, Qt::Key_End, Qt::ControlModifier, 55},
        {42, Qt::Key_Up, Qt::NoModifier, 32},        {42, Qt::Key_Left, Qt::NoModifier, 41},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(QStringLiteral("%1 key %2").arg(row.from).arg(row.key).toStdString());
        window().moveCursorTo(row.from);
        key(row.key, row.modifiers);
        EXPECT_EQ(window().cursorCell(), row.to);
    }
    // Addresses outside the grid leave the cursor where it is.
    for (int bad : {0, 10, 16, 60, 66, -11}) {
        window().moveCursorTo(bad);
        EXPECT_EQ(window().cursorCell(), 41) << bad;
    }
    // Moving lays nothing.
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) EXPECT_EQ(tagOf(cell(r, c)), 0);
}

TEST_F(KeyboardTest, TheHighlightShowsOverTheCellAndNeverChangesIt) {
    openActive();
    startByKeys(kSeedGameOver);
    ASSERT_TRUE(frame()->isVisible());
    EXPECT_EQ(window().cursorCell(), 11) << "each round starts at the top left";
    layByKeys(22);
    layByKeys(44, Qt::Key_Space);

    for (int address : {22, 44, 13}) {
        SCOPED_TRACE(address);
        CardImage* target = cell(address / 10, address % 10);
        const int tag = tagOf(target), card = target->shownCard();
        const QImage alone = target->grab().toImage();
        const QRect area = target->geometry();
        window().moveCursorTo(address == 13 ? 14 : 13);
        const QImage unframed = board()->grab(area).toImage();
        window().moveCursorTo(address);
        const QImage framed = board()->grab(area).toImage();
        EXPECT_NE(framed, unframed) << "the frame shows over cards and empty places alike";
        EXPECT_EQ(tagOf(target), tag);
        EXPECT_EQ(target->shownCard(), card);
        EXPECT_EQ(target->grab().toImage(), alone);
        // The middle of the cell is left as it is.
        EXPECT_EQ(framed.copy(area.width() / 2 - 10, area.height() / 2 - 10, 20, 20),
                  unframed.copy(area.width() / 2 - 10, area.height() / 2 - 10, 20, 20));
    }

    // A click lets the frame through to the cell under it.
    const int offered = window().game().topcard();
    QTest::mouseClick(cell(1, 3), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(window().game().grid(1, 3), offered);
}

TEST_F(KeyboardTest, KeysDoNothingOutsideDealingExceptEnterStartingAGame) {
    openActive();
    key(Qt::Key_Escape);  // the name panel's CANCEL
    ASSERT_FALSE(find(QStringLiteral("panel_name"))->isVisible());
    ASSERT_EQ(focusName(), QStringLiteral("panel_board1"));
    sounds().clear();
    auto expectIdle = [this](const char* when) {
        SCOPED_TRACE(when);
        for (Qt::Key k : {Qt::Key_Right, Qt::Key_Down, Qt::Key_End, Qt::Key_Space}) key(k);
        EXPECT_FALSE(frame()->isVisible());
        EXPECT_TRUE(sounds().empty());
    };
    expectIdle("before the first game");
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) EXPECT_EQ(cell(r, c)->shownCard(), -1);

    window().random().seed(kSeedGameOver);
    key(Qt::Key_Return);
    window().turntime().stop();
    ASSERT_TRUE(window().game().dealing());
    for (int c : plan()) window().game().place(c);
    ASSERT_TRUE(find(QStringLiteral("panel_cleared"))->isVisible());
    EXPECT_EQ(focusName(), QStringLiteral("edit_name"));

    // With the panel up, Enter on the board starts nothing.
    board()->setFocus();
    key(Qt::Key_Return);
    EXPECT_FALSE(window().game().dealing());
    find(QStringLiteral("edit_name"))->setFocus();
    key(Qt::Key_Escape);
    ASSERT_FALSE(find(QStringLiteral("panel_cleared"))->isVisible());
    EXPECT_EQ(focusName(), QStringLiteral("panel_board1"));

    std::array<int, 25> before{};
    for (int i = 0; i < 25; ++i) before[i] = tagOf(cell(i / 5 + 1, i % 5 + 1));
    sounds().clear();
    expectIdle("after the game");
    for (int i = 0; i < 25; ++i) EXPECT_EQ(tagOf(cell(i / 5 + 1, i % 5 + 1)), before[i]);

    // No round and no panel: Enter is START GAME, and the cursor is back at
    // the top left.
    window().moveCursorTo(44);
    key(Qt::Key_Return);
    EXPECT_TRUE(window().game().dealing());
    EXPECT_EQ(window().game().roundnum(), 1);
    EXPECT_EQ(window().cursorCell(), 11);
    EXPECT_TRUE(frame()->isVisible());
}

TEST_F(KeyboardTest, TheGameOverPanelGoesRoundItsControlsAndEscapeCancels) {
    openActive();
    startByKeys(kSeedGameOver);
    for (int c : plan()) window().game().place(c);
    ASSERT_TRUE(find(QStringLiteral("panel_cleared"))->isVisible());

    const QStringList order = {QStringLiteral("edit_name"), QStringLiteral("button_sendscore"),
                               QStringLiteral("button_highscores"),
                               QStringLiteral("button_cancel")};
    EXPECT_EQ(focusName(), order[0]);
    for (int i = 1; i <= 8; ++i) {
        key(Qt::Key_Tab);
        EXPECT_EQ(focusName(), order[i % 4]) << "tab " << i;
    }
    for (int i = 7; i >= 0; --i) {
        key(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(focusName(), order[i % 4]) << "shift+tab to " << i;
    }
    // The buttons show the focus: a focused button looks different.
    QWidget* cancel = find(QStringLiteral("button_cancel"));
    const QImage unfocused = cancel->grab().toImage();
    cancel->setFocus();
    EXPECT_NE(cancel->grab().toImage(), unfocused);

    // Typing goes into the name box, T too (elsewhere it says the round's
    // state); Escape is CANCEL from anywhere on it.
    find(QStringLiteral("edit_name"))->setFocus();
    QTest::keyClicks(window().focusWidget(), QStringLiteral("Anton"));
    EXPECT_TRUE(textOf(QStringLiteral("edit_name")).endsWith(QStringLiteral("Anton")));
    key(Qt::Key_Escape);
    EXPECT_FALSE(find(QStringLiteral("panel_cleared"))->isVisible());
    EXPECT_EQ(focusName(), QStringLiteral("panel_board1"));
    EXPECT_FALSE(window().game().dealing());

    // Enter on the focused CANCEL presses it too.
    window().board().show(quintelle::controls::panel_cleared);
    EXPECT_EQ(focusName(), QStringLiteral("edit_name"));
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(focusName(), QStringLiteral("button_cancel"));
    key(Qt::Key_Return);
    EXPECT_FALSE(find(QStringLiteral("panel_cleared"))->isVisible());
}

TEST_F(KeyboardTest, EnterOnTheContinuePanelStartsTheNextRound) {
    openActive();
    startByKeys(kSeedCleared);
    playRoundByKeys();
    ASSERT_TRUE(find(QStringLiteral("panel_continue"))->isVisible())
        << "total " << window().game().totalscore();
    EXPECT_EQ(focusName(), QStringLiteral("button_continue"));
    EXPECT_FALSE(frame()->isVisible());
    sounds().clear();
    key(Qt::Key_Return);
    EXPECT_FALSE(find(QStringLiteral("panel_continue"))->isVisible());
    EXPECT_EQ(window().game().roundnum(), 2);
    EXPECT_TRUE(window().game().dealing());
    EXPECT_EQ(sounds(), std::vector<QString>{QStringLiteral("play TURNNEW")});
    EXPECT_EQ(focusName(), QStringLiteral("image_card11"));
    EXPECT_EQ(window().cursorCell(), 11);
    EXPECT_TRUE(frame()->isVisible());
}

TEST_F(KeyboardTest, CellNamesFollowTheCardsAsTheyArePlacedAndReplaced) {
    openActive();
    // The program's messages are said by one notification, each step of the
    // game in one message; it is emptied a while after.
    QLabel* announcer = window().findChild<QLabel*>(QStringLiteral("label_announce"));
    auto announced = [announcer] {
        QCoreApplication::processEvents();
        auto* iface = QAccessible::queryAccessibleInterface(announcer);
        return announcer->isVisible() ? iface->text(QAccessible::Name) : QString();
    };
    EXPECT_EQ(QAccessible::queryAccessibleInterface(announcer)->role(),
              QAccessible::Notification);
    EXPECT_EQ(accessibleName(cell(2, 3)), QStringLiteral("Row 2, column 3: empty"));
    startByKeys(kSeedGameOver);
    auto cardName = [](int code) { return QString::fromStdString(quintelle::cardname(code)); };
    QWidget* offer = find(QStringLiteral("image_topcard"));
    EXPECT_EQ(accessibleName(offer),
              QStringLiteral("Card on offer: ") + cardName(window().game().topcard()));
    EXPECT_EQ(announced(), QStringLiteral("Round: 1. Target Score: %1. Card on offer: %2")
                               .arg(window().game().targetscore())
                               .arg(cardName(window().game().topcard())));

    layByKeys(23);
    const int first = window().game().grid(2, 3);
    EXPECT_EQ(accessibleName(cell(2, 3)), QStringLiteral("Row 2, column 3: ") + cardName(first));
    EXPECT_EQ(announced(), QStringLiteral("%1 placed at row 2, column 3; next: %2. "
                                          "Replacement available")
                               .arg(cardName(first), cardName(window().game().topcard())));
    layByKeys(23);  // the replacement
    const int second = window().game().grid(2, 3);
    ASSERT_NE(second, first);
    EXPECT_EQ(accessibleName(cell(2, 3)), QStringLiteral("Row 2, column 3: ") + cardName(second));
    EXPECT_EQ(accessibleName(offer),
              QStringLiteral("Card on offer: ") + cardName(window().game().topcard()));
    EXPECT_EQ(announced(), QStringLiteral("%1 replaces %2 at row 2, column 3; next: %3. "
                                          "Replacement used")
                               .arg(cardName(second), cardName(first),
                                    cardName(window().game().topcard())));

    layByKeys(23);  // refused
    EXPECT_EQ(announced(), QStringLiteral("No replacement left"));
    // T says the round's state; the clock's label is named once, not per second.
    key(Qt::Key_T);
    EXPECT_TRUE(announced().startsWith(QStringLiteral("Card on offer: ")));
    EXPECT_TRUE(announced().contains(QStringLiteral("Cards Left: 24"))) << announced().toStdString();
    EXPECT_TRUE(announced().endsWith(QStringLiteral("No replacement left")));

    for (int c : plan())
        if (c != 33) window().game().place(c);
    window().game().place(33);
    ASSERT_FALSE(window().game().dealing());
    EXPECT_EQ(accessibleName(offer), QStringLiteral("No card on offer"));
    for (int line = 1; line <= 10; ++line) {
        int cards[5];
        for (int i = 0; i < 5; ++i)
            cards[i] = line <= 5 ? window().game().grid(line, i + 1)
                                 : window().game().grid(i + 1, line - 5);
        const int hand = quintelle::classifyhand(cards[0], cards[1], cards[2], cards[3], cards[4]);
        const QString points = textOf(QStringLiteral("label_line%1").arg(line));
        ASSERT_EQ(points.toInt(), quintelle::handpoints(hand));
        const QString which = line <= 5 ? QStringLiteral("Row %1").arg(line)
                                        : QStringLiteral("Column %1").arg(line - 5);
        EXPECT_EQ(accessibleName(find(QStringLiteral("label_line%1").arg(line))),
                  QStringLiteral("%1: %2, %3 points")
                      .arg(which, QString::fromLatin1(quintelle::handname(hand).data()), points));
    }
    // The game-over panel is a dialog named for its title, its lines its
    // description, and active, so a screen reader says it as the focus enters.
    auto* gameOver = QAccessible::queryAccessibleInterface(find(QStringLiteral("panel_cleared")));
    EXPECT_EQ(gameOver->role(), QAccessible::Dialog);
    EXPECT_TRUE(gameOver->state().active);
    EXPECT_EQ(gameOver->text(QAccessible::Name),
              QStringLiteral("Game Over! %1.").arg(textOf(QStringLiteral("label_score1"))));
    EXPECT_TRUE(gameOver->text(QAccessible::Description)
                    .contains(textOf(QStringLiteral("label_score1"))));

    // A new round empties the names with the cells.
    window().button_startClick();
    EXPECT_EQ(accessibleName(cell(2, 3)), QStringLiteral("Row 2, column 3: empty"));
    EXPECT_EQ(accessibleName(find(QStringLiteral("label_line4"))),
              QStringLiteral("Row 4: not scored yet"));
}

TEST_F(KeyboardTest, LabelsReadTheirTextsAndButtonsTheirWords) {
    openActive();
    const QStringList labels = {QStringLiteral("label_roundnum"), QStringLiteral("label_cardcount"),
                                QStringLiteral("label_targetscore"), QStringLiteral("label_score"),
                                QStringLiteral("label_timer")};
    for (const QString& name : labels)
        EXPECT_EQ(accessibleName(find(name)), textOf(name)) << name.toStdString();
    EXPECT_EQ(accessibleName(find(QStringLiteral("image_replace"))),
              QStringLiteral("Replacement available"));
    EXPECT_EQ(accessibleName(&window()), QStringLiteral("Quintelle"));

    const std::pair<const char*, const char*> buttons[] = {
        {"button_start", "Start Game"},       {"button_continue", "Done"},
        {"button_cancel", "Cancel"},          {"button_sendscore", "Send Score"},
        {"button_highscores", "High Scores"}, {"button_namedone", "Done"},
        {"button_namecancel", "Cancel"},      {"button_updateyes", "Yes"},
        {"button_updatecancel", "Cancel"}};
    for (const auto& [name, said] : buttons) {
        QAccessibleInterface* iface =
            QAccessible::queryAccessibleInterface(find(QString::fromLatin1(name)));
        ASSERT_NE(iface, nullptr) << name;
        EXPECT_EQ(iface->role(), QAccessible::Button) << name;
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromLatin1(said)) << name;
    }
    // A screen reader can press a button.
    QAccessibleInterface* start =
        QAccessible::queryAccessibleInterface(find(QStringLiteral("button_start")));
    ASSERT_NE(start->actionInterface(), nullptr);
    start->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(window().game().dealing());
}

TEST_F(KeyboardTest, TheGridIsATableOfFocusableCellsAndTheCursorIsTheFocus) {
    openActive();
    startByKeys(kSeedGameOver);
    QAccessibleInterface* boardIface = QAccessible::queryAccessibleInterface(board());
    QAccessibleInterface* grid = boardIface->child(0);
    ASSERT_EQ(grid->role(), QAccessible::Table);
    ASSERT_EQ(grid->parent(), boardIface);
    QAccessibleTableInterface* table = grid->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 5);
    EXPECT_EQ(table->columnCount(), 5);
    // The cells are the table's, not the board's.
    for (int i = 1; i < boardIface->childCount(); ++i)
        EXPECT_NE(boardIface->child(i)->role(), QAccessible::Cell) << i;
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) {
            QAccessibleInterface* iface = table->cellAt(r - 1, c - 1);
            ASSERT_EQ(iface->object(), cell(r, c));
            EXPECT_EQ(iface->role(), QAccessible::Cell);
            EXPECT_EQ(iface->parent(), grid);
            EXPECT_EQ(grid->child(grid->indexOfChild(iface)), iface);
            EXPECT_EQ(iface->tableCellInterface()->rowIndex(), r - 1);
            EXPECT_EQ(iface->tableCellInterface()->columnIndex(), c - 1);
            EXPECT_TRUE(iface->state().focusable);
            EXPECT_EQ(iface->state().focused, r == 1 && c == 1) << r << c;
        }

    // The cursor is the focus, and the board hands its focus on to it.
    key(Qt::Key_Right);
    key(Qt::Key_Down);
    EXPECT_EQ(focusName(), QStringLiteral("image_card22"));
    EXPECT_TRUE(table->cellAt(1, 1)->state().focused);
    find(QStringLiteral("button_start"))->setFocus();
    board()->setFocus(Qt::BacktabFocusReason);
    EXPECT_EQ(focusName(), QStringLiteral("image_card22"));

    // Pressing a cell lays the card on offer there and puts the cursor on it.
    QAccessibleInterface* target = table->cellAt(3, 2);
    ASSERT_TRUE(target->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::pressAction()));
    const int offered = window().game().topcard();
    target->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(window().game().grid(4, 3), offered);
    EXPECT_EQ(window().cursorCell(), 43);
    EXPECT_EQ(focusName(), QStringLiteral("image_card43"));
}
