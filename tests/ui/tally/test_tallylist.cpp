// The tally list window: its layout, how it shows the tally (row styles,
// statistics, cut texts), its reset and done buttons, and the tally file it
// loads at creation and writes at destruction.
#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <memory>

#include "boxes.h"
#include "data/tally.h"
#include "data/tallystore.h"
#include "platform/appdir.h"
#include "platform/dates.h"
#include "platform/sound.h"
#include "ui/art/art.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/LbBack.h"
#include "ui/controls/TFlatPanelUnit.h"
#include "ui/controls/tag.h"
#include "ui/main/mainform.h"
#include "ui/main/widgets.h"
#include "ui/tally/tallylistform.h"

using quintelle::RowStyle;
using quintelle::TallyModel;

namespace {

const QColor kCream{245, 235, 216};
const QColor kWhite{255, 255, 255};
const QColor kRed{255, 0, 0};

QString today() {
    return quintelle::platform::shortDate(QDate::currentDate());
}

QLabel* labelOf(QWidget* w, const QString& name) {
    auto* label = w->findChild<QLabel*>(name);
    if (!label) ADD_FAILURE() << "no label " << name.toStdString();
    return label;
}
QLabel* labelOf(QWidget* w, const char* prefix, int n) {
    return labelOf(w, QString::fromLatin1(prefix) + QString::number(n));
}

QColor colourOf(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

// What a person reads off one row of the top ten.
struct Row {
    QString rank, date, name, score;
    int tag;
    bool operator==(const Row&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Row& r) {
    return os << r.rank.toStdString() << " [" << r.date.toStdString() << "] ["
              << r.name.toStdString() << "] [" << r.score.toStdString() << "] tag " << r.tag;
}

Row rowOf(QWidget* w, int n) {
    QLabel* high = labelOf(w, "label_high", n);
    return {labelOf(w, "label_num", n)->text(), labelOf(w, "label_date", n)->text(),
            labelOf(w, "label_name", n)->text(), high->text(), tagOf(high)};
}

std::vector<Row> rowsOf(QWidget* w) {
    std::vector<Row> rows;
    for (int n = 1; n <= 10; ++n) rows.push_back(rowOf(w, n));
    return rows;
}

std::vector<QString> statisticsOf(QWidget* w) {
    return {labelOf(w, "mylabel_", 1)->text(), labelOf(w, "mylabel_", 2)->text(),
            labelOf(w, "mylabel_", 3)->text()};
}

// The colour and boldness of all four labels of row n; the rank label too.
void expectRowStyle(QWidget* w, int n, RowStyle style) {
    const QColor colour = style == RowStyle::LaidOut    ? kCream
                          : style == RowStyle::NewEntry ? kRed
                                                        : kWhite;
    const bool bold = style != RowStyle::Normal;
    for (const char* prefix : {"label_num", "label_date", "label_name", "label_high"}) {
        QLabel* label = labelOf(w, prefix, n);
        EXPECT_EQ(colourOf(label), colour) << prefix << n;
        EXPECT_EQ(label->font().bold(), bold) << prefix << n;
        EXPECT_FALSE(label->font().underline()) << prefix << n;
        EXPECT_FALSE(label->font().italic()) << prefix << n;
        EXPECT_EQ(label->font().pixelSize(), 13) << prefix << n;
    }
}

QImage shot(QWidget* w) {
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Pixels of `area` (window coordinates) that are clearly pure red text.
int redPixels(const QImage& image, QRect area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c(image.pixel(x, y));
            if (c.red() > 200 && c.green() < 80 && c.blue() < 80) ++count;
        }
    return count;
}

QRect inWindow(QWidget* w, const QWidget* child) {
    return QRect(child->mapTo(w, QPoint(0, 0)), child->size());
}

class SilentSounds : public quintelle::platform::SoundBackend {
  public:
    void play(const QString&) override {}
    void stop() override {}
};

class TallyWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        quintelle::platform::setExecutableFolder(dir.path());
    }
    void TearDown() override { quintelle::platform::setExecutableFolder(QString()); }

    std::unique_ptr<Ttallylist> open() { return std::make_unique<Ttallylist>(&main, tile); }
    QString tallyPath() const { return dir.filePath(QStringLiteral("quintelletally.tld")); }

    static void showAndWait(QWidget* w) {
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    }

    QTemporaryDir dir;
    QWidget main;  // the window the tally list is centred over
    QImage tile = quintelle::art::woodTile();
};

// --- layout -------------------------------------------------------------

TEST_F(TallyWindow, IsLaidOutAsDesigned) {
    auto w = open();
    EXPECT_EQ(w->objectName(), QStringLiteral("tallylist"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Quintelle - Tally List"));
    EXPECT_TRUE(w->isWindow());
    EXPECT_FALSE(w->isVisible());  // created hidden
    EXPECT_EQ(w->size(), QSize(342, 425));
    EXPECT_EQ(w->minimumSize(), QSize(342, 425));
    EXPECT_EQ(w->maximumSize(), QSize(342, 425));
    EXPECT_EQ(w->palette().color(QPalette::Window), QColor(166, 103, 51));

    auto* background = w->findChild<TLbBackground*>(QStringLiteral("LbBackground1"));
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->owner(), w.get());
    EXPECT_TRUE(background->enabled());
    EXPECT_EQ(background->image(), tile);

    auto* panel = w->findChild<TFlatPanel*>(QStringLiteral("FlatPanel1"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->geometry(), QRect(6, 6, 331, 413));
    EXPECT_TRUE(panel->transparent());
    EXPECT_EQ(panel->colorHighLight(), QColor(0, 64, 0));
    EXPECT_EQ(panel->colorShadow(), QColor(0, 64, 0));

    struct Expected {
        const char* name;
        QRect geometry;
        const char* text;
        int pixelSize;
        bool underline;
        Qt::Alignment horizontal;
    };
    const Expected fixed[] = {
        {"label_myname", {1, 5, 328, 24}, "YOUR TALLY LIST", 19, true, Qt::AlignHCenter},
        {"label_totalrounds", {88, 42, 101, 16}, "Total Rounds:", 13, false, Qt::AlignRight},
        {"mylabel_1", {194, 42, 59, 16}, "0", 13, false, Qt::AlignHCenter},
        {"label_roundscleared", {69, 59, 120, 16}, "Rounds Cleared:", 13, false, Qt::AlignRight},
        {"mylabel_2", {194, 59, 59, 16}, "0", 13, false, Qt::AlignHCenter},
        {"label_clearpercentage",
         {40, 77, 149, 16},
         "Clear Percentage:",
         13,
         false,
         Qt::AlignRight},
        {"mylabel_3", {194, 77, 59, 16}, "0", 13, false, Qt::AlignHCenter},
        {"label_highscores", {1, 96, 328, 24}, "HIGH SCORES", 19, true, Qt::AlignHCenter},
    };
    for (const Expected& e : fixed) {
        SCOPED_TRACE(e.name);
        QLabel* label = labelOf(w.get(), QString::fromLatin1(e.name));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->parentWidget(), panel);
        EXPECT_EQ(label->geometry(), e.geometry);
        EXPECT_EQ(label->text(), QString::fromLatin1(e.text));
        EXPECT_EQ(label->font().family(), QStringLiteral("MS Sans Serif"));
        EXPECT_EQ(label->font().pixelSize(), e.pixelSize);
        EXPECT_TRUE(label->font().bold());
        EXPECT_EQ(label->font().underline(), e.underline);
        EXPECT_EQ(colourOf(label), kCream);
        EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask, e.horizontal);
        EXPECT_FALSE(label->autoFillBackground());
        EXPECT_FALSE(label->wordWrap());
    }

    for (int n = 1; n <= 10; ++n) {
        SCOPED_TRACE(n);
        const int top = 126 + 24 * (n - 1);
        QLabel* num = labelOf(w.get(), "label_num", n);
        QLabel* date = labelOf(w.get(), "label_date", n);
        QLabel* name = labelOf(w.get(), "label_name", n);
        QLabel* high = labelOf(w.get(), "label_high", n);
        EXPECT_EQ(num->geometry(), QRect(5, top, 24, 16));
        EXPECT_EQ(num->text(), QString::number(n) + u'.');
        EXPECT_EQ(num->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        EXPECT_EQ(date->geometry(), QRect(32, top, 101, 16));
        EXPECT_EQ(name->geometry(), QRect(136, top, 132, 16));
        EXPECT_EQ(high->pos(), QPoint(286, top));
        EXPECT_EQ(high->height(), 16);
        for (QLabel* label : {num, date, name, high}) {
            EXPECT_EQ(label->parentWidget(), panel);
            EXPECT_FALSE(label->wordWrap());
            EXPECT_EQ(label->font().family(), QStringLiteral("MS Sans Serif"));
        }
        expectRowStyle(w.get(), n, RowStyle::LaidOut);
    }

    auto* reset = w->findChild<ImageButton*>(QStringLiteral("button_resettally"));
    auto* done = w->findChild<ImageButton*>(QStringLiteral("button_done"));
    ASSERT_NE(reset, nullptr);
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(reset->geometry(), QRect(72, 376, 135, 29));
    EXPECT_EQ(done->geometry(), QRect(224, 376, 95, 29));
    EXPECT_EQ(reset->pixmap().toImage(),
              quintelle::art::buttonPicture(quintelle::art::ButtonWord::ResetTally, false,
                                            w->devicePixelRatioF())
                  .toImage());
    EXPECT_EQ(done->pixmap().toImage(),
              quintelle::art::buttonPicture(quintelle::art::ButtonWord::Done, false,
                                            w->devicePixelRatioF())
                  .toImage());
}

TEST_F(TallyWindow, FreshTallyShowsZeroStatisticsAndEmptyPlacesInCream) {
    auto w = open();
    EXPECT_EQ(statisticsOf(w.get()), (std::vector<QString>{"0", "0", "0"}));
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(rowOf(w.get(), n),
                  (Row{QString::number(n) + u'.', "", "", "", TallyModel::kEmptyScore}));
        expectRowStyle(w.get(), n, RowStyle::LaidOut);
    }
    EXPECT_FALSE(QFile::exists(tallyPath()));  // nothing is written before the exit
}

TEST_F(TallyWindow, ScoreLabelWidthFollowsItsText) {
    auto w = open();
    w->checkscore(123456, "Ann");
    QLabel* high = labelOf(w.get(), "label_high", 1);
    EXPECT_EQ(high->width(), high->fontMetrics().horizontalAdvance(QStringLiteral("123456")));
    w->checkscore(7, "Bob");
    QLabel* second = labelOf(w.get(), "label_high", 2);
    EXPECT_EQ(second->width(), second->fontMetrics().horizontalAdvance(QStringLiteral("7")));
    EXPECT_LT(second->width(), high->width());
    // Empty places have an empty, zero-wide score.
    EXPECT_EQ(labelOf(w.get(), "label_high", 3)->width(), 0);
}

// --- a game over entering the list ----------------------------------------

TEST_F(TallyWindow, GameOverEntryShowsItsRowRedBoldAndTheOthersWhitePlain) {
    auto w = open();
    for (auto [score, name] :
         {std::pair{500, "Ann"}, {400, "Bob"}, {300, "Cy"}, {200, "Dee"}, {100, "Eve"}})
        EXPECT_TRUE(w->checkscore(score, name));
    // A game over at 350: place 4, and places 4.. of before move one down.
    EXPECT_TRUE(w->checkscore(350, "Fay"));
    const std::vector<Row> expected = {
        {"1.", today(), "Ann", "500", 500}, {"2.", today(), "Bob", "400", 400},
        {"3.", today(), "Fay", "350", 350}, {"4.", today(), "Cy", "300", 300},
        {"5.", today(), "Dee", "200", 200}, {"6.", today(), "Eve", "100", 100},
    };
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(rowOf(w.get(), n), expected[n - 1]);
    for (int n = 7; n <= 10; ++n) EXPECT_EQ(rowOf(w.get(), n).score, QString());
    for (int n = 1; n <= 10; ++n)
        expectRowStyle(w.get(), n, n == 3 ? RowStyle::NewEntry : RowStyle::Normal);

    // Opening the window afterwards shows the same, and the red is on screen
    // in row 3 only.
    showAndWait(w.get());
    const QImage image = shot(w.get());
    for (int n = 1; n <= 6; ++n) {
        SCOPED_TRACE(n);
        for (const char* prefix : {"label_num", "label_date", "label_name", "label_high"}) {
            const int red = redPixels(image, inWindow(w.get(), labelOf(w.get(), prefix, n)));
            if (n == 3)
                EXPECT_GT(red, 5) << prefix;
            else
                EXPECT_EQ(red, 0) << prefix;
        }
    }
}

TEST_F(TallyWindow, ScoreBelowEveryPlaceIsNotEnteredButAllRowsTurnWhite) {
    auto w = open();
    for (int n = 0; n < 10; ++n)
        w->checkscore(1000 - n * 10, "P" + std::to_string(n));  // 1000 .. 910
    const auto before = rowsOf(w.get());
    EXPECT_FALSE(w->checkscore(900, "Late"));
    EXPECT_EQ(rowsOf(w.get()), before);
    for (int n = 1; n <= 10; ++n) expectRowStyle(w.get(), n, RowStyle::Normal);
}

TEST_F(TallyWindow, ListSurvivesARestartInTheLaidOutStyle) {
    auto w = open();
    w->addtomineincrease(1);
    w->addtomineincrease(2);
    w->addtomineincrease(1);
    w->checkscore(420, "Ann");
    w->checkscore(610, "Bob");
    const auto rows = rowsOf(w.get());
    const auto statistics = statisticsOf(w.get());
    EXPECT_EQ(statistics, (std::vector<QString>{"2", "1", "50"}));
    w.reset();  // the program ends: the tally file is written
    ASSERT_TRUE(QFile::exists(tallyPath()));

    BoxAnswerer boxes({QMessageBox::Ok});
    auto again = open();
    EXPECT_TRUE(boxes.seen().empty());  // a good file gives no message
    EXPECT_EQ(rowsOf(again.get()), rows);
    EXPECT_EQ(statisticsOf(again.get()), statistics);
    EXPECT_EQ(rowOf(again.get(), 1), (Row{"1.", today(), "Bob", "610", 610}));
    for (int n = 1; n <= 10; ++n) expectRowStyle(again.get(), n, RowStyle::LaidOut);
}

TEST_F(TallyWindow, WorksAndCountsWhileHidden) {
    auto w = open();
    ASSERT_FALSE(w->isVisible());
    w->checkscore(10, "Hid");
    EXPECT_EQ(rowOf(w.get(), 1).name, QStringLiteral("Hid"));
    showAndWait(w.get());
    w->hide();
    w->checkscore(20, "Den");
    EXPECT_EQ(rowOf(w.get(), 1).name, QStringLiteral("Den"));
    EXPECT_EQ(rowOf(w.get(), 2).name, QStringLiteral("Hid"));
}

TEST_F(TallyWindow, NamesAreShownAsTheirLocalBytes) {
    auto w = open();
    const QString name = QStringLiteral("J\u00f6rg");
    w->checkscore(5, name.toLocal8Bit().toStdString());
    EXPECT_EQ(rowOf(w.get(), 1).name, name);
    w->checkscore(4, "");
    EXPECT_EQ(rowOf(w.get(), 2).name, QString());  // an empty name is kept empty
}

// --- the tally file -------------------------------------------------------

TEST_F(TallyWindow, CorruptFileIsReportedOnceGivesAFreshTallyAndIsKeptAsBad) {
    const QByteArray garbage("this is not a tally file at all, just some bytes\r\n");
    {
        QFile file(tallyPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(garbage);
    }
    std::unique_ptr<Ttallylist> w;
    {
        BoxAnswerer boxes({QMessageBox::Ok});
        w = open();
        ASSERT_EQ(boxes.seen().size(), 1u);
        const SeenBox& box = boxes.seen().front();
        EXPECT_EQ(box.title, QStringLiteral("Quintelle"));
        EXPECT_EQ(box.icon, QMessageBox::Critical);
        EXPECT_FALSE(box.text.isEmpty());
        EXPECT_TRUE(box.text.endsWith(u'.') || box.text.endsWith(u'!')) << box.text.toStdString();
    }
    // The game goes on with a fresh tally.
    EXPECT_EQ(statisticsOf(w.get()), (std::vector<QString>{"0", "0", "0"}));
    for (int n = 1; n <= 10; ++n) EXPECT_EQ(rowOf(w.get(), n).score, QString());
    w->addtomineincrease(1);
    w->checkscore(77, "New");
    w.reset();

    // The unreadable file is kept aside whole, and the new tally is written.
    QFile bad(tallyPath() + QStringLiteral(".bad"));
    ASSERT_TRUE(bad.open(QIODevice::ReadOnly));
    EXPECT_EQ(bad.readAll(), garbage);
    BoxAnswerer boxes({QMessageBox::Ok});
    auto again = open();
    EXPECT_TRUE(boxes.seen().empty());
    EXPECT_EQ(rowOf(again.get(), 1), (Row{"1.", today(), "New", "77", 77}));
    EXPECT_EQ(statisticsOf(again.get()), (std::vector<QString>{"1", "0", "0"}));
}

TEST_F(TallyWindow, SaveThatCannotBeWrittenIsSilent) {
    auto w = open();
    w->checkscore(1, "Ann");
    // The folder goes away before the program ends.
    ASSERT_TRUE(QDir(dir.path()).removeRecursively());
    BoxAnswerer boxes({QMessageBox::Ok});
    w.reset();
    QTest::qWait(50);
    EXPECT_TRUE(boxes.seen().empty());
}

// --- reset and done -------------------------------------------------------

class TallyWindowReset : public TallyWindow {
  protected:
    void SetUp() override {
        TallyWindow::SetUp();
        w = open();
        for (int i = 0; i < 4; ++i) w->addtomineincrease(1);
        for (int i = 0; i < 3; ++i) w->addtomineincrease(2);
        w->addtomineincrease(1);  // 5 played, 3 cleared: 60
        w->checkscore(300, "Ann");
        w->checkscore(200, "Bob");
        rows = rowsOf(w.get());
        ASSERT_EQ(statisticsOf(w.get()), (std::vector<QString>{"5", "3", "60"}));
        showAndWait(w.get());
    }
    void clickReset() {
        auto* button = w->findChild<ImageButton*>(QStringLiteral("button_resettally"));
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }
    void expectUntouched() {
        EXPECT_EQ(rowsOf(w.get()), rows);
        EXPECT_EQ(statisticsOf(w.get()), (std::vector<QString>{"5", "3", "60"}));
        for (int n = 1; n <= 10; ++n)
            expectRowStyle(w.get(), n, n == 2 ? RowStyle::NewEntry : RowStyle::Normal);
    }
    void expectCleared() {
        EXPECT_EQ(statisticsOf(w.get()), (std::vector<QString>{"0", "0", "0"}));
        for (int n = 1; n <= 10; ++n) {
            EXPECT_EQ(rowOf(w.get(), n),
                      (Row{QString::number(n) + u'.', "", "", "", TallyModel::kEmptyScore}));
            expectRowStyle(w.get(), n, RowStyle::Normal);
        }
        EXPECT_TRUE(w->isVisible());
    }

    std::unique_ptr<Ttallylist> w;
    std::vector<Row> rows;
};

TEST_F(TallyWindowReset, AnsweredNoKeepsEverything) {
    int asked = 0;
    w->confirmReset = [&] {
        ++asked;
        return false;
    };
    clickReset();
    EXPECT_EQ(asked, 1);
    expectUntouched();
}

TEST_F(TallyWindowReset, AnsweredYesEmptiesTheListAndZeroesTheStatistics) {
    int asked = 0;
    w->confirmReset = [&] {
        ++asked;
        return true;
    };
    clickReset();
    EXPECT_EQ(asked, 1);
    expectCleared();
    // The next game over enters at place 1 again, and the cleared tally is
    // what the file gets at the exit.
    w->checkscore(0, "Zed");
    EXPECT_EQ(rowOf(w.get(), 1), (Row{"1.", today(), "Zed", "0", 0}));
    w.reset();
    auto again = open();
    EXPECT_EQ(rowOf(again.get(), 1), (Row{"1.", today(), "Zed", "0", 0}));
    EXPECT_EQ(rowOf(again.get(), 2).score, QString());
    EXPECT_EQ(statisticsOf(again.get()), (std::vector<QString>{"0", "0", "0"}));
}

TEST_F(TallyWindowReset, GoesThroughTheToolkitsYesNoBoxByDefault) {
    {
        BoxAnswerer boxes({QMessageBox::No});
        clickReset();
        ASSERT_EQ(boxes.seen().size(), 1u);
        const SeenBox& box = boxes.seen().front();
        EXPECT_EQ(box.title, QStringLiteral("Quintelle"));
        EXPECT_EQ(box.text, QStringLiteral("Are you sure you want to reset the Tally?"));
        EXPECT_EQ(box.buttons, QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box.icon, QMessageBox::Question);
        EXPECT_EQ(box.defaultButton, QMessageBox::No);
        expectUntouched();
    }
    {
        BoxAnswerer boxes({QMessageBox::Yes});
        clickReset();
        ASSERT_EQ(boxes.seen().size(), 1u);
        expectCleared();
    }
}

// A logout while the question is up ends every event loop, the box's too:
// the box closes unanswered, and the program's end must not wipe the tally.
TEST_F(TallyWindowReset, AQuestionClosedByTheProgramsEndKeepsEverything) {
    QTimer::singleShot(100, [] { QCoreApplication::exit(0); });
    clickReset();
    expectUntouched();
}

// What a player's keys do from the moment the window shows, its focus on
// DONE: no run of Enter and Escape wipes the tally.
struct ResetKeys {
    const char* name;
    std::vector<Qt::Key> onWindow;
    Qt::Key onBox;
    size_t boxes;
    bool staysOpen;
};

void PrintTo(const ResetKeys& keys, std::ostream* os) {
    *os << keys.name;
}

class TallyWindowResetKeys : public TallyWindowReset,
                             public ::testing::WithParamInterface<ResetKeys> {};

TEST_P(TallyWindowResetKeys, NeverWipeTheTally) {
    const ResetKeys& keys = GetParam();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    ASSERT_EQ(QApplication::focusWidget(),
              w->findChild<ImageButton*>(QStringLiteral("button_done")));
    BoxAnswerer boxes({keys.onBox});
    for (Qt::Key key : keys.onWindow)
        if (QWidget* focused = QApplication::focusWidget()) QTest::keyClick(focused, key);
    EXPECT_EQ(boxes.seen().size(), keys.boxes);
    EXPECT_EQ(w->isVisible(), keys.staysOpen);
    expectUntouched();
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TallyWindowResetKeys,
    ::testing::Values(ResetKeys{"EnterTwice", {Qt::Key_Return, Qt::Key_Return}, Qt::Key_Return,
                                0, false},
                      ResetKeys{"ResetThenEnter", {Qt::Key_Backtab, Qt::Key_Return}, Qt::Key_Return,
                                1, true},
                      ResetKeys{"ResetThenEscape", {Qt::Key_Backtab, Qt::Key_Return},
                                Qt::Key_Escape, 1, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TallyWindow, DoneAndTheTitleBarCloseOnlyHideTheWindow) {
    auto w = open();
    w->checkscore(42, "Ann");
    QPointer<Ttallylist> alive(w.get());
    showAndWait(w.get());
    auto* done = w->findChild<ImageButton*>(QStringLiteral("button_done"));
    ASSERT_NE(done, nullptr);
    QTest::mouseClick(done, Qt::LeftButton, {}, done->rect().center());
    EXPECT_FALSE(w->isVisible());
    ASSERT_TRUE(alive);
    EXPECT_EQ(rowOf(w.get(), 1).score, QStringLiteral("42"));

    showAndWait(w.get());
    EXPECT_TRUE(w->close());  // what the title-bar close does
    EXPECT_FALSE(w->isVisible());
    ASSERT_TRUE(alive);
    EXPECT_EQ(rowOf(w.get(), 1).score, QStringLiteral("42"));
    expectRowStyle(w.get(), 1, RowStyle::NewEntry);  // showing and hiding change nothing
}

// --- statistics -----------------------------------------------------------

TEST_F(TallyWindow, RoundsPlayedClearedAndPercentageAreShown) {
    auto w = open();
    w->addtomineincrease(1);
    EXPECT_EQ(statisticsOf(w.get()), (std::vector<QString>{"1", "0", "0"}));
    w->addtomineincrease(2);
    EXPECT_EQ(statisticsOf(w.get()),
              (std::vector<QString>{"1", "1", "0"}));  // only a round start recomputes
    w->addtomineincrease(1);
    EXPECT_EQ(statisticsOf(w.get()), (std::vector<QString>{"2", "1", "50"}));
    w->addtomineincrease(2);
    w->addtomineincrease(1);
    EXPECT_EQ(statisticsOf(w.get()), (std::vector<QString>{"3", "2", "66"}));  // 2 x 100 / 3, cut
    for (int i = 0; i < 7; ++i) {
        w->addtomineincrease(2);
        w->addtomineincrease(1);
    }
    EXPECT_EQ(statisticsOf(w.get()), (std::vector<QString>{"10", "9", "90"}));
}

// --- texts wider than their labels ----------------------------------------

TEST_F(TallyWindow, NameAndDateWiderThanTheirLabelsAreCutAtTheEdge) {
    auto w = open();
    const std::string longName = "Maximilian Wolfgang Amadeus";
    const QString longDate = QStringLiteral("Wednesday, 31 December 2008");
    // A date of the user's long-winded format, and a long name read from the
    // settings, stored in the tally.
    quintelle::TextGrid grid = w->model().grid();
    grid.set(0, 1, longDate.toStdString());
    grid.set(1, 1, "5000");
    grid.set(2, 1, longName);
    w->model().setGrid(grid);
    w->model().loadtally();
    showAndWait(w.get());
    ASSERT_EQ(w->devicePixelRatioF(), 1.0);  // the boxes below are in grabbed pixels

    QLabel* name = labelOf(w.get(), "label_name", 1);
    QLabel* date = labelOf(w.get(), "label_date", 1);
    ASSERT_GT(name->fontMetrics().horizontalAdvance(name->text()), 132);
    ASSERT_GT(date->fontMetrics().horizontalAdvance(date->text()), 101);
    EXPECT_EQ(name->text(), QString::fromStdString(longName));  // whole, not elided
    EXPECT_EQ(date->text(), longDate);
    EXPECT_EQ(name->size(), QSize(132, 16));
    EXPECT_EQ(date->size(), QSize(101, 16));

    const QImage cut = shot(w.get());
    const QRect nameBox = inWindow(w.get(), name);
    const QRect dateBox = inWindow(w.get(), date);

    // The same row with empty texts: what lies beyond the labels' edges.
    w->model().setGrid([&] {
        quintelle::TextGrid g = grid;
        g.set(0, 1, "");
        g.set(2, 1, "");
        return g;
    }());
    w->model().loadtally();
    const QImage empty = shot(w.get());

    // The texts drawn whole, with room to spare, one label at a time: inside
    // each label the cut picture must be the left part of the whole text,
    // neither elided nor wrapped.
    w->model().setGrid(grid);
    w->model().loadtally();
    auto widened = [&](QLabel* label) {
        const QSize size = label->size();
        label->resize(600, size.height());
        const QImage image = shot(w.get());
        label->resize(size);
        return image;
    };
    const QImage wholeName = widened(name);
    const QImage wholeDate = widened(date);
    EXPECT_EQ(cut.copy(nameBox), wholeName.copy(nameBox));
    EXPECT_EQ(cut.copy(dateBox), wholeDate.copy(dateBox));
    EXPECT_NE(wholeName, cut);  // the widened text did draw further
    EXPECT_NE(cut.copy(nameBox), empty.copy(nameBox));
    EXPECT_NE(cut.copy(nameBox.right() - 15, nameBox.top(), 16, 16),
              empty.copy(nameBox.right() - 15, nameBox.top(), 16, 16));  // text reaches the edge

    // Nothing beyond the edges: between the name and the score, and between
    // the date and the name, the picture is the empty one.
    const QRect afterName(
        nameBox.right() + 1, nameBox.top(),
        inWindow(w.get(), labelOf(w.get(), "label_high", 1)).left() - nameBox.right() - 1, 16);
    ASSERT_GT(afterName.width(), 0);
    EXPECT_EQ(cut.copy(afterName), empty.copy(afterName));
    const QRect afterDate(dateBox.right() + 1, dateBox.top(), nameBox.left() - dateBox.right() - 1,
                          16);
    ASSERT_GT(afterDate.width(), 0);
    EXPECT_EQ(cut.copy(afterDate), empty.copy(afterDate));
    // And nothing below: the row under it is empty in both.
    const QRect below(dateBox.left(), dateBox.bottom() + 1, nameBox.right() - dateBox.left() + 1,
                      8);
    EXPECT_EQ(cut.copy(below), empty.copy(below));
}

// --- with the real main window --------------------------------------------

TEST_F(TallyWindow, TakesTheMainWindowsTileAndIsShownFromTheViewMenu) {
    quintelle::platform::installSoundBackend(std::make_unique<SilentSounds>());
    {
        // Shown, the main window would check for updates; no server here.
        QFile settings(dir.filePath(QStringLiteral("quintelle.ini")));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[quintelle]\r\nUpdate=false\r\n");
    }
    Tmain mainWindow;
    auto w = std::make_unique<Ttallylist>(&mainWindow);
    auto* background = w->findChild<TLbBackground*>(QStringLiteral("LbBackground1"));
    ASSERT_NE(background, nullptr);
    EXPECT_FALSE(background->image().isNull());
    EXPECT_EQ(background->image(), mainWindow.backgroundTile());

    Tmain::Windows windows;
    windows.tallylist = w.get();
    windows.tally = w.get();
    mainWindow.setWindows(windows);
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));

    // The game's calls reach the window through the main window.
    mainWindow.button_startClick();  // round 1 counts as played
    mainWindow.turntime().stop();
    EXPECT_EQ(statisticsOf(w.get()), (std::vector<QString>{"1", "0", "0"}));
    auto* item = mainWindow.findChild<QAction*>(QStringLiteral("TallyList1"));
    ASSERT_NE(item, nullptr);
    item->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    EXPECT_TRUE(w->isVisible());
    // Centred over the main window; the frame the window manager adds at the
    // first showing may shift it by its own margins.
    const QPoint offset = w->frameGeometry().center() - mainWindow.frameGeometry().center();
    const QSize margins = w->frameGeometry().size() - w->size();
    EXPECT_LE(std::abs(offset.x()), margins.width() / 2 + 1);
    EXPECT_LE(std::abs(offset.y()), margins.height() / 2 + 1);
    w->close();
    EXPECT_FALSE(w->isVisible());
    w.reset();  // destroyed before the main window, as at exit
    EXPECT_TRUE(QFile::exists(tallyPath()));
}

// --- a full list -------------------------------------------------------------

TEST_F(TallyWindow, AFullListShowsAtTheWindowsSize) {
    auto w = open();
    for (int i = 0; i < 12; ++i) w->addtomineincrease(1);
    for (int i = 0; i < 7; ++i) w->addtomineincrease(2);
    w->addtomineincrease(1);
    for (auto [score, name] : {std::pair{1480, "Guest"},
                               {1210, "Orvanta"},
                               {990, "Maximilian Wolfgang Amadeus"},
                               {655, "Bea"},
                               {310, "Guest"}})
        w->checkscore(score, name);
    w->checkscore(1105, "Ann");  // the game just over: place 3 in red
    showAndWait(w.get());
    const QImage image = shot(w.get());
    EXPECT_EQ(image.size(), QSize(342, 425) * w->devicePixelRatioF());
}

}  // namespace
