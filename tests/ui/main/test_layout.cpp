// The board's layout table, what the board shows before the first game, and
// the board scaled with its window.
// The table is data; its tests check what must hold of any layout: names
// unique, every control the game names present, every control inside its
// parent, every text inside its box.
#include <QFontMetrics>
#include <QLabel>
#include <QWidget>
#include <set>

#include "mainwindow_fixture.h"
#include "ui/controls/tag.h"
#include "ui/main/boardlayout.h"
#include "ui/art/art.h"
#include "ui/main/boardscale.h"

namespace {

using quintelle::ui::LayoutControl;

// The texts the game writes at their widest, beside each label's design text.
const std::map<QString, QString>& widestTexts() {
    static const std::map<QString, QString> texts = {{"label_roundnum", "Round: 100"},
                                                     {"label_cardcount", "Cards Left: 26"},
                                                     {"label_timer", "Time: 10:00"},
                                                     {"label_targetscore", "Target Score: 9999"},
                                                     {"label_score", "Score: 9999"},
                                                     {"label_thisturn", "999"},
                                                     {"label_previous", "Previous Score: 9999"},
                                                     {"label_turnscore", "This Round: 999"},
                                                     {"label_timebonus", "Time Bonus: 50"},
                                                     {"label_total", "Total: 9999"},
                                                     {"label_ts", "Target Score: 9999"},
                                                     {"label_previous1", "Previous Score: 9999"},
                                                     {"label_turnscore1", "This Round: 999"},
                                                     {"label_timebonus1", "Time Bonus: 50"},
                                                     {"label_score1", "Total: 9999"},
                                                     {"label_ts1", "Target Score: 9999"},
                                                     {"label_continue", "I's so Proud!"},
                                                     {"label_update", "Updating. Please Wait..."},
                                                     {"label_name", "Good Luck Maximilian"}};
    return texts;
}

// The area a label's text takes in its box, for its font and alignment.
QRect textArea(const QLabel& label, const QString& text) {
    const QFontMetrics metrics(label.font());
    const int flags = int(label.alignment()) | (label.wordWrap() ? int(Qt::TextWordWrap) : 0);
    return metrics.boundingRect(label.geometry(), flags, text);
}

}  // namespace

TEST(BoardLayout, NamesAreUniqueAndEveryParentComesFirst) {
    std::set<QString> names{quintelle::ui::kClient};
    for (const LayoutControl& row : quintelle::ui::boardLayout()) {
        EXPECT_TRUE(names.count(row.parent)) << row.name.toStdString() << " before its parent";
        EXPECT_TRUE(names.insert(row.name).second) << row.name.toStdString() << " twice";
    }
    for (const quintelle::Control c : quintelle::controls::all())
        EXPECT_TRUE(names.count(quintelle::ui::nameOf(c))) << c.name() << " not on the board";
}

TEST_F(MainWindowTest, EveryControlAndEveryTextLiesInsideItsParent) {
    open();
    QWidget* client = window().centralWidget();
    EXPECT_EQ(client->size(), quintelle::ui::kDesignClient);
    for (const LayoutControl& row : quintelle::ui::boardLayout()) {
        SCOPED_TRACE(row.name.toStdString());
        QWidget* w = window().control(row.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->parentWidget()->objectName(), row.parent);
        EXPECT_EQ(w->geometry(), row.rect);
        const QRect parent = w->parentWidget()->rect();
        auto* label = qobject_cast<QLabel*>(w);
        if (!label) {
            EXPECT_TRUE(parent.contains(w->geometry())) << "outside its parent";
            continue;
        }
        // A label's box may overhang its parent where the design has it;
        // what it shows may not, nor leave its box: across, and for a text
        // that wraps, down too (a single line's spacing may exceed its box,
        // its letters do not).
        const QRect box = w->geometry();
        for (const QString& text :
             {label->text(),
              widestTexts().count(row.name) ? widestTexts().at(row.name) : label->text()}) {
            if (text.isEmpty()) continue;
            const QRect area = textArea(*label, text);
            SCOPED_TRACE(text.toStdString() + " takes " + std::to_string(area.width()));
            EXPECT_TRUE(area.left() >= box.left() && area.right() <= box.right());
            EXPECT_TRUE(area.left() >= parent.left() && area.right() <= parent.right());
            if (label->wordWrap()) EXPECT_LE(area.bottom(), box.bottom());
        }
    }
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

// The board at other scales: the same table, every rectangle and font scaled,
// centred in the window's area, the texts still inside their boxes, the
// pictures drawn at the size shown, and a round played by clicks at the
// scaled places ending exactly as at the design size.
class ScaledBoardTest : public MainWindowTest {
  protected:
    // Opens the window at `scale`, with `extra` pixels more than the board
    // needs, and lets the pictures settle.
    void openAt(double scale, QSize extra = {}) {
        open();
        Tmain& main = window();
        main.resize(quintelle::ui::clientFor(scale) + extra +
                    QSize(0, main.centralWidget()->y()));
        QTest::qWait(250);
    }

    // Clicks whatever control lies at a design point of the inner board.
    void clickAt(QPoint design) {
        QWidget* board = find(QStringLiteral("panel_board1"));
        const double s = window().board().scale();
        const QPoint at = (QPointF(design) * s).toPoint();
        QWidget* target = board->childAt(at);
        ASSERT_NE(target, nullptr);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(board, at));
    }

    // A seeded round laid by clicks at the cells' scaled centres; the texts
    // of the board at its end.
    QStringList playRound() {
        click(QStringLiteral("button_namedone"));
        window().random().seed(20260401);
        click(QStringLiteral("button_start"));
        window().turntime().stop();
        for (int r = 1; r <= 5; ++r)
            for (int c = 1; c <= 5; ++c) clickAt(QPoint(9 + 35 + 75 * (c - 1), 8 + 48 + 100 * (r - 1)));
        clickAt(QPoint(9 + 35 + 150, 8 + 48 + 200));
        QStringList shown;
        for (const char* name : {"label_score", "label_line1", "label_line5", "label_line6",
                                 "label_line10", "label_thisturn", "label_total", "label_score1"})
            shown << textOf(QString::fromLatin1(name));
        for (int r = 1; r <= 5; ++r)
            for (int c = 1; c <= 5; ++c) shown << QString::number(cell(r, c)->shownCard());
        return shown;
    }
};

TEST_F(ScaledBoardTest, EveryControlFollowsTheScaleAndEveryTextStaysInItsBox) {
    for (const double scale : {0.6, 1.37, 2.5}) {
        SCOPED_TRACE(scale);
        openAt(scale, QSize(40, 0));
        ASSERT_NEAR(window().board().scale(), scale, 0.002);
        const double s = window().board().scale();
        const QSize client = window().centralWidget()->size();
        const QPoint centred((client.width() - quintelle::ui::scaledLength(676, s)) / 2,
                             (client.height() - quintelle::ui::scaledLength(582, s)) / 2);
        EXPECT_GE(centred.x(), 19);
        for (const LayoutControl& row : quintelle::ui::boardLayout()) {
            SCOPED_TRACE(row.name.toStdString());
            QWidget* w = window().control(row.name);
            QRect expected = quintelle::ui::scaledRect(row.rect, s);
            if (row.parent == quintelle::ui::kClient) expected.translate(centred);
            EXPECT_EQ(w->geometry(), expected);
            auto* label = qobject_cast<QLabel*>(w);
            if (!label) continue;
            const QString widest =
                widestTexts().count(row.name) ? widestTexts().at(row.name) : label->text();
            if (widest.isEmpty()) continue;
            const QRect area = textArea(*label, widest);
            EXPECT_TRUE(area.left() >= expected.left() && area.right() <= expected.right())
                << widest.toStdString() << " takes " << area.width();
            if (label->wordWrap()) EXPECT_LE(area.bottom(), expected.bottom());
        }
    }
}

TEST_F(ScaledBoardTest, PicturesAreDrawnAtTheSizeShownNotStretched) {
    for (const double shownAt : {0.6, 1.5}) {
        SCOPED_TRACE(shownAt);
        openAt(shownAt);
        const double scale = window().board().scale();
        click(QStringLiteral("button_namedone"));
        click(QStringLiteral("button_start"));
        auto* offer = find<quintelle::ui::CardImage>(QStringLiteral("image_topcard"));
        const QImage shown = offer->grab().toImage();
        const QImage drawn = quintelle::art::card(offer->shownCard(), scale).toImage();
        EXPECT_EQ(shown.size(), drawn.size());
        EXPECT_EQ(drawn.size(), quintelle::ui::scaledRect(QRect(QPoint(), quintelle::art::cardSize),
                                                          scale).size());
        int differing = 0;
        for (int y = 0; y < std::min(shown.height(), drawn.height()); ++y)
            for (int x = 0; x < std::min(shown.width(), drawn.width()); ++x)
                differing += qAlpha(drawn.pixel(x, y)) == 255 &&  // rounded corners show the felt
                             shown.pixel(x, y) != drawn.pixel(x, y);
        EXPECT_EQ(differing, 0);
    }
}

TEST_F(ScaledBoardTest, ARoundByClicksAtScaledPlacesEndsAsAtTheDesignSize) {
    openAt(1.0);
    const QStringList design = playRound();
    for (const double scale : {0.6, 2.5}) {
        SCOPED_TRACE(scale);
        openAt(scale);
        EXPECT_EQ(playRound(), design);
    }
}

TEST_F(ScaledBoardTest, TheCursorStaysOnItsCellAsTheBoardScales) {
    openAt(1.0);
    click(QStringLiteral("button_namedone"));
    click(QStringLiteral("button_start"));
    window().moveCursorTo(34);
    QWidget* cursor = window().findChild<QWidget*>(QStringLiteral("cursor_frame"));
    ASSERT_NE(cursor, nullptr);
    window().resize(quintelle::ui::clientFor(1.75) + QSize(0, window().centralWidget()->y()));
    QTest::qWait(250);
    EXPECT_EQ(cursor->geometry(), cell(3, 4)->geometry().adjusted(-2, -2, 2, 2));
}
