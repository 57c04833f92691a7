// The Daily Deal played by the built program on a real desktop against the
// real quintelle-server on loopback: chosen from the File menu by keyboard,
// laid by clicks, its result panel judged from the window's pixels and the
// day's list from the server. A second round the same day is practice: its
// panel says so in one more line, and the list keeps the first round.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QThread>

#include "tests/desktop/panels.h"
#include "tests/server/harness.h"
#include "tests/support/desktop.h"

using namespace quintelle::testing;

namespace {

// The daily result lies where the game-over panel does, without its name box.
bool dailyResultShown(const GameProcess& game) {
    const QImage client = game.grab();
    if (client.isNull()) return false;
    return woodShare(game, client, QRect(40, 95, 300, 10)) > 0.8 &&
           woodShare(game, client, QRect(40, 395, 300, 20)) > 0.5 &&
           creamShare(game, client, QRect(114, 287, 155, 26)) < 0.1;
}

// Pixels of the panel's cream text in the band of its n-th line (1..5).
int textInLine(const GameProcess& game, int n) {
    const QImage client = game.grab();
    const QRect band(game.onBoard(QPoint(28 + 6, 89 + 48 + 36 * (n - 1))), QSize(317, 28));
    int cream = 0;
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x = band.left(); x <= band.right(); ++x) {
            const QRgb p = client.pixel(x, y);
            cream += qRed(p) > 200 && qGreen(p) > 190 && qBlue(p) > 160;
        }
    return cream;
}

// Chooses File > Daily Deal by keyboard and lays the 26 cards in `order`,
// a pause after each click for the server's card (loopback answers in ms).
// With QUINTELLE_SHOTS_DIR set, the window as the player sees it goes there.
void keepShot(const GameProcess& game, const char* name) {
    const QString folder = qEnvironmentVariable("QUINTELLE_SHOTS_DIR");
    if (!folder.isEmpty()) game.grab().save(folder + u'/' + QLatin1String(name) + ".png");
}

void playDailyDeal(const GameProcess& game, const std::vector<int>& order,
                   const char* midRoundShot) {
    for (const char* key : {"alt", "Down", "Down", "Return"}) {
        game.key(QString::fromLatin1(key));
        QThread::msleep(200);
    }
    QThread::msleep(500);
    for (std::size_t i = 0; i < order.size(); ++i) {
        game.click(game.cellCentre(order[i] / 10, order[i] % 10));
        QThread::msleep(120);
        if (i == 12) keepShot(game, midRoundShot);
    }
}

// The score cells of the day's list rows that name `name`.
QStringList listedScores(int port, const QString& name) {
    const QString html = QString::fromStdString(httpGet(port, "/daily/1/list").body);
    const QRegularExpression row(name + QStringLiteral("(?:</a>)?</td><td[^>]*>(\\d+)<"));
    QStringList scores;
    for (auto it = row.globalMatch(html); it.hasNext();) scores << it.next().captured(1);
    return scores;
}

}  // namespace

TEST(DailyDeal, PlayedByClicksItRanksAndASecondRoundTheSameDayIsPractice) {
    TempDir data;
    ServerProcess server((data.path() / "daily.db").string(), {"--par-playouts", "50"});
    Desktop desktop({.screen = {1024, 768}});  // the board at its design size
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    GameProcess game(desktop);
    game.writeSettings({QStringLiteral("Update=false"), QStringLiteral("Name=Desk Ann"),
                        QStringLiteral("Server=127.0.0.1:%1").arg(server.port())});
    ASSERT_TRUE(game.start()) << game.output().toStdString();
    game.key(QStringLiteral("Return"));  // the name panel's DONE

    // First the top left twice (a card, then the replacement), then row by row.
    std::vector<int> rowByRow{11};
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) rowByRow.push_back(r * 10 + c);
    playDailyDeal(game, rowByRow, "daily-round");
    ASSERT_TRUE(waitUntil([&] { return dailyResultShown(game); }, 20000))
        << game.output().toStdString() << server.log();
    // Counted: the date, the points, the rank and "you .., expert ..".
    EXPECT_GT(textInLine(game, 4), 50);
    EXPECT_EQ(textInLine(game, 5), 0);
    keepShot(game, "daily-result");
    const QStringList first = listedScores(server.port(), QStringLiteral("Desk Ann"));
    ASSERT_EQ(first.size(), 1) << server.log();

    // The second round in another order, so its grid and score differ:
    // bottom right first, the replacement on it last.
    std::vector<int> backwards(rowByRow.rbegin(), rowByRow.rend() - 1);
    backwards.push_back(55);
    playDailyDeal(game, backwards, "daily-second-round");
    ASSERT_TRUE(waitUntil([&] { return textInLine(game, 5) > 50 && dailyResultShown(game); }, 20000))
        << "no practice result\n"
        << game.output().toStdString();
    keepShot(game, "daily-practice-result");
    EXPECT_EQ(listedScores(server.port(), QStringLiteral("Desk Ann")), first);

    game.close();
    EXPECT_EQ(game.waitForExit(), std::optional<int>(0)) << game.output().toStdString();
}
