// Posting a finished game's score from the built program on a real desktop:
// the request as it arrives on the wire, the high-score window with the
// served page, and the same score in the local tally.
#include <gtest/gtest.h>

#include <QDate>
#include <QRegularExpression>

#include "data/tallystore.h"
#include "tests/desktop/panels.h"
#include "tests/support/desktop.h"
#include "tests/support/scripted_server.h"

using namespace quintelle::testing;
using quintelle::testsupport::Reply;
using quintelle::testsupport::ScriptedServer;

namespace {

// The page's one table cell, in a colour found nowhere else in the program.
constexpr QRgb kPageColour = qRgb(0x1e, 0x90, 0xff);
const char* const kPage =
    "<html><body><h1>High Scores</h1>"
    "<table width=\"100%\" cellpadding=\"40\"><tr><td bgcolor=\"#1e90ff\">Ann Lee</td></tr>"
    "</table></body></html>";

// "GET <target> HTTP/1.0" with the headers every background fetch sends.
std::string request(const std::string& target, const ScriptedServer& server) {
    return "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(server.port()) +
           "\r\nUser-Agent: Quintelle HTTPGet\r\nAccept: */*\r\nPragma: no-cache\r\n\r\n";
}

// Month/day/two-digit year, as a player under the C locale writes dates.
std::string postingDate(const QDate& date) {
    return QStringLiteral("%1/%2/%3")
        .arg(date.month())
        .arg(date.day())
        .arg(date.year() % 100, 2, 10, QLatin1Char('0'))
        .toStdString();
}

// Lays a round's 26 cards with the mouse: the top left cell twice (a card and
// the replacement), then the other cells row by row.
void playRoundByMouse(const GameProcess& game) {
    game.click(game.cellCentre(1, 1));
    for (int r = 1; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c) game.click(game.cellCentre(r, c));
}

int countColour(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
    return n;
}

}  // namespace

TEST(OnlineScores, ALostGamePostsItsScoreAndShowsTheServedList) {
    // The date's separator comes from the player's locale: pin it.
    qputenv("LC_ALL", "C.UTF-8");
    Desktop desktop;
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    ScriptedServer server({Reply::ok("thank you\n", "text/plain"), Reply::ok(kPage)});
    GameProcess game(desktop);
    game.writeSettings({QStringLiteral("Update=false"),
                        QStringLiteral("Server=") + QString::fromStdString(server.hostPort())});
    ASSERT_TRUE(game.start()) << game.output().toStdString();

    // Rounds until one misses its target; each cleared one is continued.
    game.key(QStringLiteral("Return"));  // the name panel's DONE
    game.click(game.startButton());
    RoundResult result = RoundResult::None;
    for (int round = 1; round <= 20 && result != RoundResult::GameOver; ++round) {
        playRoundByMouse(game);
        ASSERT_TRUE(
            waitUntil([&] { return (result = roundResult(game)) != RoundResult::None; }, 20000))
            << "no result panel after round " << round;
        if (result == RoundResult::Continue) game.click(game.onBoard(continueButton()));
    }
    ASSERT_EQ(result, RoundResult::GameOver);

    const QDate before = QDate::currentDate();
    game.click(game.onBoard(gameOverNameBox()));
    game.key(QStringLiteral("ctrl+a"));
    game.type(QStringLiteral("Ann Lee"));
    game.click(game.onBoard(sendScoreButton()));

    ASSERT_TRUE(server.waitForRequests(2, std::chrono::seconds(30)))
        << server.requests().size() << " requests\n"
        << game.output().toStdString();
    const QDate after = QDate::currentDate();
    const std::string post = server.requests()[0].bytes;
    const std::string page = server.requests()[1].bytes;

    // The high-score window opens over the game and shows the served page.
    unsigned long list = 0;
    int pageCells = 0;
    EXPECT_TRUE(waitUntil(
        [&] {
            list = desktop.findWindow(game.processId(), QStringLiteral("Quintelle - High Scores"));
            pageCells = countColour(desktop.grabWindow(list), kPageColour);
            return pageCells > 10000;
        },
        20000))
        << "window " << list << ", " << pageCells << " pixels of the page's cell";

    game.close();
    ASSERT_EQ(game.waitForExit(), std::optional<int>(0)) << game.output().toStdString();

    // The tally entered the final score when the game ended; the post
    // carries the same number.
    quintelle::TallyModel tally([] { return std::string(); });
    quintelle::TallyStore(game.folder().toStdString()).load(tally);
    const std::string score = tally.place(1).score;
    ASSERT_TRUE(QRegularExpression(QStringLiteral("^-?\\d+$"))
                    .match(QString::fromStdString(score))
                    .hasMatch())
        << score;

    auto posting = [&](const QDate& date) {
        return request(
            "/cgi-bin/quintelle.cgi?name=Ann%20Lee&date=" + postingDate(date) + "&score=" + score,
            server);
    };
    EXPECT_TRUE(post == posting(before) || post == posting(after)) << post;
    EXPECT_EQ(page, request("/counter/quintelle.shtml", server));
    EXPECT_EQ(server.requests().size(), 2u) << "nothing but the post and the page";
}
