// Posting a finished game's score from the game-over panel: the request on
// the wire, the wait with its dots and its one "Posting Failed.", and the
// way a post ends.
#include "highscore_fixture.h"
#include "platform/dates.h"

using namespace quintelle;
using namespace quintelle::testsupport;
using namespace std::chrono_literals;

namespace {

QString waitCaption(Tmain& main) {
    return static_cast<TFlatPanel*>(main.control(QStringLiteral("panel_wait")))->caption();
}

}  // namespace

class Posting : public HighscoreTest {
  protected:
    // The game is over with `score` and the name box holding `name`.
    void gameOver(int score, const QString& name) {
        window().board().setTag(quintelle::controls::label_score, score);
        find<QLineEdit>(QStringLiteral("edit_name"))->setText(name);
        window().board().show(quintelle::controls::panel_cleared);
    }
    std::string today() const {
        return platform::postingDate(QDate::currentDate(), platform::dateSeparator()).toStdString();
    }
};

TEST_F(Posting, PutsNameDateAndScoreIntoTheQueryAsTheyStand) {
    struct Row {
        QString name;
        int score;
        std::string query;  // with DATE for today's date
        QString boxAfter;
    } rows[] = {{QStringLiteral("Ann Lee&Co"), 1234, "name=Ann%20Lee&Co&date=DATE&score=1234",
                 QStringLiteral("Ann Lee&Co")},
                {QString(), 0, "name=Guest&date=DATE&score=0", QStringLiteral("Guest")},
                {QStringLiteral("a=b"), 77, "name=a=b&date=DATE&score=77", QStringLiteral("a=b")}};
    start({Reply::hangUp()});
    BoxCounter boxes;  // each post fails at once
    std::size_t n = 0;
    for (const Row& row : rows) {
        gameOver(row.score, row.name);
        click(QStringLiteral("button_sendscore"));
        std::string expected = "/cgi-bin/quintelle.cgi?" + row.query;
        expected.replace(expected.find("DATE"), 4, today());
        // Spaces go percent-encoded; the date's separator is sent raw.
        EXPECT_EQ(target(n++), expected);
        EXPECT_EQ(textOf(QStringLiteral("edit_name")), row.boxAfter);
        waitIdle(highscore().sendit());
    }
}

TEST_F(Posting, AOneByteAnswerEndsTheWaitAndOpensTheWindowWithThePage) {
    start({Reply::ok("1"), Reply::ok("<p>The list</p>")});
    gameOver(500, QStringLiteral("Bo"));
    click(QStringLiteral("button_sendscore"));
    EXPECT_TRUE(find(QStringLiteral("panel_wait"))->isVisible());
    EXPECT_TRUE(window().postingWait().Timer1().isActive());
    EXPECT_EQ(window().postingWait().waitcount(), 40);
    ASSERT_TRUE(QTest::qWaitFor([&] { return highscore().isVisible(); }, 10000));
    EXPECT_FALSE(find(QStringLiteral("panel_cleared"))->isVisible());
    EXPECT_FALSE(window().postingWait().Timer1().isActive());
    EXPECT_EQ(target(1), "/counter/quintelle.shtml");
    waitForPage();
    EXPECT_EQ(highscore().displayhtml()->toPlainText(), QStringLiteral("The list"));
}

TEST_F(Posting, NoAnswerSaysPostingFailedOnceOnTheFortiethTick) {
    start({Reply::silence()});
    gameOver(10, QStringLiteral("Cy"));
    click(QStringLiteral("button_sendscore"));
    ASSERT_TRUE(window().postingWait().Timer1().isActive());
    window().postingWait().Timer1().start(3600 * 1000);  // the test ticks it by hand
    int ticksWhileOpen = 0;
    BoxCounter boxes([&] {
        // Ticks while the box is up keep animating and raise no second box.
        window().postingWait().Timer1Timer();
        window().postingWait().Timer1Timer();
        ticksWhileOpen = window().postingWait().waitcount();
    });
    const QString dots[] = {".", "..", "...", "....", "....."};
    for (int tick = 1; tick <= 39; ++tick) {
        window().postingWait().Timer1Timer();
        ASSERT_EQ(waitCaption(window()),
                  QStringLiteral("Posting Score, Please Wait") + dots[(tick - 1) % 5]);
    }
    EXPECT_TRUE(boxes.texts.isEmpty());
    EXPECT_TRUE(window().postingWait().Timer1().isActive());
    window().postingWait().Timer1Timer();
    EXPECT_EQ(boxes.texts, QStringList{QStringLiteral("Posting Failed.")});
    EXPECT_EQ(ticksWhileOpen, -2);
    EXPECT_FALSE(window().postingWait().Timer1().isActive());
    // The strip is gone from over SEND SCORE and HIGH SCORES.
    EXPECT_FALSE(find(QStringLiteral("panel_wait"))->isVisible());
    EXPECT_TRUE(find(QStringLiteral("panel_cleared"))->isVisible());
    // 42 ticks in all: the dots ran round eight times and on to two.
    EXPECT_EQ(waitCaption(window()), QStringLiteral("Posting Score, Please Wait.."));
}

TEST_F(Posting, AnAnswerAfterTheFailureStillOpensTheWindow) {
    start({Reply().pause(400ms).send("HTTP/1.0 200 OK\r\n\r\nok"), Reply::ok("<p>late</p>")});
    gameOver(10, QStringLiteral("Di"));
    click(QStringLiteral("button_sendscore"));
    window().postingWait().Timer1().start(3600 * 1000);
    BoxCounter boxes;
    for (int tick = 1; tick <= 40; ++tick) window().postingWait().Timer1Timer();
    EXPECT_EQ(boxes.texts.size(), 1);
    EXPECT_FALSE(highscore().isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return highscore().isVisible(); }, 10000));
    EXPECT_FALSE(find(QStringLiteral("panel_cleared"))->isVisible());
}

// A post the server refuses, or one that fails before the fortieth tick, is
// told at once, once; the game-over panel stays with its buttons free, and
// the same score goes again at the next click.
TEST_F(Posting, ARefusedOrFailedPostIsToldAndTheScoreCanBeSentAgain) {
    const struct Row {
        const char* what;
        Reply answer;
        QString told;
    } rows[] = {
        {"429 with the server's reason",
         Reply::status(429, "Too Many Requests",
                       "Too many scores from your address, try again in a minute\n"),
         QStringLiteral("Too many scores from your address, try again in a minute")},
        {"503 with a page", Reply::status(503, "Service Unavailable", "<html>down</html>"),
         QStringLiteral("The server refused the score (503 Service Unavailable).")},
        {"no answer at all", Reply::hangUp(), QStringLiteral("Posting Failed.")},
    };
    std::vector<Reply> script;
    for (const Row& row : rows) script.push_back(row.answer);
    script.push_back(Reply::ok("Score received."));
    script.push_back(Reply::ok("<p>the list</p>"));
    start(script);
    gameOver(321, QStringLiteral("Fay"));
    BoxCounter boxes;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].what);
        click(QStringLiteral("button_sendscore"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.texts.size() == qsizetype(i + 1); }, 10000));
        EXPECT_EQ(boxes.texts.back(), rows[i].told);
        EXPECT_FALSE(window().postingWait().Timer1().isActive());
        EXPECT_FALSE(find(QStringLiteral("panel_wait"))->isVisible());
        EXPECT_TRUE(find(QStringLiteral("panel_cleared"))->isVisible());
        EXPECT_FALSE(highscore().isVisible());
    }
    click(QStringLiteral("button_sendscore"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return highscore().isVisible(); }, 10000));
    EXPECT_FALSE(find(QStringLiteral("panel_cleared"))->isVisible());
    EXPECT_EQ(boxes.texts.size(), qsizetype(std::size(rows)));
    EXPECT_EQ(target(3), target(0)) << "the same score, sent again";
    waitForPage();
}

TEST_F(Posting, ASecondClickWhileBusyMakesNoRequestAndRestartsTheCount) {
    start({Reply::silence()});
    gameOver(10, QStringLiteral("Ed"));
    click(QStringLiteral("button_sendscore"));
    window().postingWait().Timer1().start(3600 * 1000);
    for (int tick = 0; tick < 3; ++tick) window().postingWait().Timer1Timer();
    EXPECT_EQ(window().postingWait().waitcount(), 37);
    click(QStringLiteral("button_sendscore"));
    EXPECT_EQ(window().postingWait().waitcount(), 40);
    EXPECT_EQ(window().postingWait().dotcount(), 0);
    ASSERT_TRUE(server().waitForRequests(1));
    QTest::qWait(300);
    EXPECT_EQ(server().connections(), 1);
}

TEST_F(Posting, TheMenuAndThePanelButtonOpenTheWindowWithOneFetchAtATime) {
    start({Reply::silence()});
    EXPECT_TRUE(action(QStringLiteral("ViewHighScoreList1"))->isEnabled());
    action(QStringLiteral("ViewHighScoreList1"))->trigger();
    EXPECT_TRUE(highscore().isVisible());
    window().board().show(quintelle::controls::panel_cleared);
    click(QStringLiteral("button_highscores"));
    EXPECT_EQ(target(0), "/counter/quintelle.shtml");
    QTest::qWait(300);
    EXPECT_EQ(server().connections(), 1);
}
