// View → Statistics over rounds played on the main window: the history the
// rounds leave beside the settings, the window's figures, the best round's
// grid, the expert's share, the export, the keys, and a damaged history.
#include <QKeySequence>
#include <QShortcut>
#include <QTabBar>

#include "data/history.h"
#include "data/historystats.h"
#include "game/coach.h"
#include "game/names.h"
#include "mainwindow_fixture.h"
#include "ui/main/coach.h"
#include "ui/statistics/expertplay.h"
#include "ui/statistics/statistics.h"
#include "ui/statistics/statisticsform.h"

using quintelle::ui::Statistics;
using quintelle::ui::Tstatistics;

class StatisticsTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Statistics::setExpertBudget({40, 0, 1});  // quick and the same every run
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        Statistics::setExpertBudget({0, quintelle::ui::Coach::kBudgetMilliseconds, 1});
    }

    // Plays whole games with the greedy player until `rounds` have ended.
    void playRounds(int rounds) {
        auto& game = window().game();
        for (int n = 0; n < rounds; ++n) {
            if (n == 0 || !find(QStringLiteral("panel_continue"))->isVisible())
                click(QStringLiteral("button_start"));
            else
                click(QStringLiteral("button_continue"));
            while (game.dealing())
                game.place(quintelle::Position::address(*quintelle::greedymove(game.position())));
        }
    }
    std::filesystem::path historyFolder() const {
        return std::filesystem::path(folder().toStdString()) / "history";
    }
    Statistics& statistics() { return *window().findChild<Statistics*>(); }
    Tstatistics* openStatistics() {
        QTest::keyClick(&window(), Qt::Key_T, Qt::ControlModifier);
        Tstatistics* w = statistics().window();
        EXPECT_TRUE(w && w->isVisible());
        return w;
    }
    QString figure(Tstatistics* w, const char* name) {
        auto* label = w->findChild<QLabel*>(QString::fromLatin1(name));
        return label ? label->text() : QStringLiteral("<none>");
    }
};

TEST_F(StatisticsTest, RoundsPlayedShowInTheWindowAndTheirExpertShare) {
    open();
    playRounds(6);
    EXPECT_EQ(statistics().window(), nullptr);  // made when first asked for
    EXPECT_TRUE(QTest::qWaitFor([&] { return statistics().expert().idle(); }, 60000));

    const auto history = quintelle::HistoryStore(historyFolder()).loadAll();
    ASSERT_EQ(history.size(), 6u);
    const auto f = quintelle::figuresOf(history);
    Tstatistics* w = openStatistics();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->accessibleName(), QStringLiteral("Statistics"));
    EXPECT_EQ(figure(w, "label_rounds"), QStringLiteral("6"));
    EXPECT_EQ(figure(w, "label_games"), QString::number(f.games));
    EXPECT_EQ(figure(w, "label_cleared"), QString::number(f.cleared));
    EXPECT_EQ(figure(w, "label_average"), QString::number(f.averagePoints, 'f', 1));
    EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("label_rounds"))->accessibleName(),
              QStringLiteral("Rounds played: 6"));

    // Every round was played again by the expert, and the share is theirs.
    ASSERT_EQ(f.expertRounds, 6);
    const QString share =
        QString::number(100.0 * double(f.playerPoints) / double(f.expertPoints), 'f', 0);
    EXPECT_EQ(
        figure(w, "label_expert"),
        QStringLiteral("Your rounds averaged %1% of the expert's on the same cards.").arg(share));

    // The best round's grid, as it was laid, is what a screen reader hears.
    const auto& best = history[*f.bestRound].round;
    const auto grid = quintelle::finalGrid(best);
    const QString firstRow = QString::fromStdString(quintelle::cardname(grid[0][0]));
    EXPECT_TRUE(w->findChild<QWidget*>(QStringLiteral("image_bestround"))
                    ->accessibleDescription()
                    .startsWith(firstRow));

    // The whole history as CSV, one round a line.
    const QString csv = QDir(folder()).filePath(QStringLiteral("rounds.csv"));
    ASSERT_TRUE(w->exportTo(csv));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count('\n'), 7);

    // A round played while the window is open shows at once; Escape closes it.
    w->setPeriod(Tstatistics::LastWeek);
    playRounds(1);
    EXPECT_EQ(figure(w, "label_rounds"), QStringLiteral("7"));
    QTest::keyClick(w, Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(StatisticsTest, ADamagedHistoryIsSetAsideAndTheGameGoesOn) {
    std::filesystem::create_directories(historyFolder());
    writeFile(QStringLiteral("history/rounds-000001.qhr"),
              QByteArray("QTLHIS01") + QByteArray(150, 'x'));
    open();
    // The start reads nothing of the history.
    EXPECT_TRUE(
        QFile::exists(QDir(folder()).filePath(QStringLiteral("history/rounds-000001.qhr"))));
    playRounds(1);
    const auto boxes = window().findChildren<QMessageBox*>(QStringLiteral("history_problem"));
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0]->isVisible());
    EXPECT_TRUE(
        boxes[0]->text().contains(QStringLiteral("set aside as rounds-000001.qhr.damaged")));
    EXPECT_TRUE(QFile::exists(
        QDir(folder()).filePath(QStringLiteral("history/rounds-000001.qhr.damaged"))));
    EXPECT_EQ(quintelle::HistoryStore(historyFolder()).loadAll().size(), 1u);
    EXPECT_EQ(figure(openStatistics(), "label_rounds"), QStringLiteral("1"));
}
