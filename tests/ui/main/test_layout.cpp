// Where every control of the board sits, and what the board shows before the
// first game.
#include <QWidget>

#include "mainwindow_fixture.h"
#include "ui/controls/tag.h"

namespace {

struct Placement {
    QString name;
    QString parent;
    QRect geometry;
};

std::vector<Placement> boardLayout() {
    std::vector<Placement> rows = {
        {"panel_board", "client", {2, 5, 671, 577}},
        {"label_name", "panel_board", {14, 10, 327, 16}},
        {"panel_board1", "panel_board", {6, 33, 659, 538}},
        {"Image27", "panel_board1", {3, 2, 455, 534}},
        {"image_logo", "panel_board1", {462, 497, 194, 40}},
        {"label_score", "panel_board1", {497, 224, 129, 20}},
        {"Image1", "panel_board1", {495, 172, 135, 29}},
        {"image_timer", "panel_board1", {497, 174, 131, 25}},
        {"label_timer", "panel_board1", {501, 177, 87, 19}},
        {"label_thisturn", "panel_board1", {395, 506, 54, 19}},
        {"Image3", "panel_board1", {504, 4, 117, 163}},
        {"image_topcard", "panel_board1", {527, 46, 71, 96}},
        {"label_roundnum", "panel_board1", {510, 9, 105, 16}},
        {"image_replace", "panel_board1", {514, 146, 97, 14}},
        {"label_cardcount", "panel_board1", {509, 25, 107, 16}},
        {"label_targetscore", "panel_board1", {497, 208, 129, 13}},
        {"button_start", "panel_board1", {494, 462, 135, 29}},
        {"Image2", "panel_board1", {466, 250, 192, 208}},
        {"panel_name", "panel_board1", {27, 112, 329, 161}},
        {"panel_cleared", "panel_board1", {28, 89, 329, 336}},
        {"panel_continue", "panel_board1", {27, 88, 329, 297}},

        {"Image4", "panel_cleared", {0, 0, 329, 336}},
        {"Label1", "panel_cleared", {-1, 10, 327, 24}},
        {"label_previous1", "panel_cleared", {32, 45, 265, 20}},
        {"label_turnscore1", "panel_cleared", {32, 69, 265, 20}},
        {"label_timebonus1", "panel_cleared", {32, 93, 265, 20}},
        {"label_score1", "panel_cleared", {2, 121, 327, 24}},
        {"label_ts1", "panel_cleared", {32, 150, 265, 20}},
        {"Label3", "panel_cleared", {2, 173, 327, 24}},
        {"edit_name", "panel_cleared", {83, 195, 161, 32}},
        {"button_sendscore", "panel_cleared", {26, 245, 135, 29}},
        {"button_highscores", "panel_cleared", {171, 245, 135, 29}},
        {"button_cancel", "panel_cleared", {114, 293, 95, 29}},
        {"panel_wait", "panel_cleared", {19, 238, 288, 46}},

        {"Image5", "panel_continue", {0, 0, 329, 297}},
        {"label_continue", "panel_continue", {8, 8, 313, 24}},
        {"Label2", "panel_continue", {8, 40, 313, 63}},
        {"label_previous", "panel_continue", {32, 109, 265, 20}},
        {"label_turnscore", "panel_continue", {32, 133, 265, 20}},
        {"label_timebonus", "panel_continue", {32, 157, 265, 20}},
        {"label_total", "panel_continue", {32, 181, 265, 20}},
        {"label_ts", "panel_continue", {32, 213, 265, 20}},
        {"button_continue", "panel_continue", {117, 250, 95, 29}},
    };
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c)
            rows.push_back({QStringLiteral("image_card%1%2").arg(r).arg(c),
                            "panel_board1",
                            {9 + 75 * (c - 1), 8 + 100 * (r - 1), 71, 96}});
    const int rowTops[5] = {47, 147, 247, 348, 447};
    const int columnLefts[5] = {7, 87, 162, 236, 311};
    for (int n = 1; n <= 5; ++n)
        rows.push_back(
            {QStringLiteral("label_line%1").arg(n), "panel_board1", {397, rowTops[n - 1], 56, 19}});
    for (int n = 6; n <= 10; ++n)
        rows.push_back({QStringLiteral("label_line%1").arg(n),
                        "panel_board1",
                        {columnLefts[n - 6], 514, 73, 19}});
    return rows;
}

}  // namespace

TEST_F(MainWindowTest, EveryControlSitsAtItsPlaceInItsParent) {
    open();
    for (const Placement& row : boardLayout()) {
        SCOPED_TRACE(row.name.toStdString());
        QWidget* w = window().control(row.name);
        ASSERT_NE(w, nullptr);
        ASSERT_NE(w->parentWidget(), nullptr);
        EXPECT_EQ(w->parentWidget()->objectName(), row.parent);
        EXPECT_EQ(w->geometry(), row.geometry);
    }
    EXPECT_EQ(window().centralWidget()->size(), Tmain::kMinimumClient);
    EXPECT_EQ(window().centralWidget()->size(), QSize(676, 582));
}

TEST_F(MainWindowTest, EachCellIsTheTopmostControlAtItsPlace) {
    // A cell hidden under a picture would never receive its click.
    open();
    click(QStringLiteral("button_namecancel"));
    QWidget* board = find(QStringLiteral("panel_board1"));
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) {
            SCOPED_TRACE(r * 10 + c);
            quintelle::ui::CardImage* image = cell(r, c);
            EXPECT_EQ(board->childAt(image->geometry().center()), image);
            EXPECT_EQ(image->property("hint").toString(), QString::number(r * 10 + c));
        }
}

TEST_F(MainWindowTest, BoardBeforeTheFirstGameShowsItsDesignState) {
    open();
    const std::pair<const char*, const char*> texts[] = {
        {"label_name", "Welcome to Quintelle  by Orvanta Software!"},
        {"label_roundnum", "Round: 100"},
        {"label_targetscore", "Target Score: 200"},
        {"label_timer", "Time: 0:00"},
        {"label_score", "Score: 0"},
        {"label_cardcount", "Cards Left: "},
        {"label_thisturn", "0"},
        {"label_line4", "0"},
        {"label_line10", "0"},
        {"Label1", "Game Over!"},
        {"label_continue", "WAY TO GO!"},
        {"Label2", "You earned enough to continue to the next round!"},
    };
    for (const auto& [name, text] : texts) EXPECT_EQ(textOf(name), QString::fromUtf8(text)) << name;

    for (const char* name : {"panel_cleared", "panel_continue", "panel_wait", "image_replace"})
        EXPECT_FALSE(find(name)->isVisible()) << name;
    EXPECT_TRUE(find(QStringLiteral("panel_name"))->isVisible());
    EXPECT_EQ(tagOf(find(QStringLiteral("image_replace"))), 1);
    EXPECT_EQ(find<quintelle::ui::CardImage>(QStringLiteral("image_topcard"))->shownCard(), -1);
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) EXPECT_EQ(cell(r, c)->shownCard(), -1);
    EXPECT_FALSE(window().turntime().isActive());
}

TEST_F(MainWindowTest, TypingIsLimitedToTenCharactersButASavedLongNameStaysWhole) {
    writeIni({QStringLiteral("Name=ABCDEFGHIJKLMNO")});
    open();
    for (const char* name : {"edit_name", "edit_aname"}) {
        SCOPED_TRACE(name);
        auto* edit = find<QLineEdit>(name);
        EXPECT_EQ(edit->text(), QStringLiteral("ABCDEFGHIJKLMNO"));
    }
    // Shortening it is typing too, and then it may not grow again.
    auto* typed = find<QLineEdit>(QStringLiteral("edit_aname"));
    typed->end(false);
    QTest::keyClick(typed, Qt::Key_Backspace);
    QTest::keyClick(typed, Qt::Key_X);
    EXPECT_EQ(typed->text(), QStringLiteral("ABCDEFGHIJKLMN"));

    window().close();
    EXPECT_EQ(iniValue(QStringLiteral("Name")), QStringLiteral("ABCDEFGHIJKLMNO"));
}

TEST_F(MainWindowTest, NameBoxesTakeAtMostTenTypedCharacters) {
    open();
    for (const char* name : {"edit_name", "edit_aname"}) {
        SCOPED_TRACE(name);
        auto* edit = find<QLineEdit>(name);
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("abcdefghijkl"));
        EXPECT_EQ(edit->text(), QStringLiteral("abcdefghij"));
    }
}
