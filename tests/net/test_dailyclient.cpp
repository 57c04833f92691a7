// The Daily Deal client against a scripted server: what it sends, what it
// makes of honest, refusing, lying, stalling and flooding answers, and how it
// finds a round whose answer was lost. Every row ends within its bounds.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

#include "net/dailyclient.h"
#include "net/server.h"
#include "tests/support/scripted_server.h"

using namespace quintelle;
using namespace quintelle::testsupport;
using namespace std::chrono_literals;

namespace {

const std::string kSession(32, 'a');

Reply form(const std::string& body) {
    return Reply::ok(body, "application/x-www-form-urlencoded");
}
Reply deal(int move, int card, const std::string& session = kSession) {
    return form(daily::format(daily::Deal{"2026-12-09", session, move, card}));
}
Reply over(int score) {
    daily::Result r{"2026-12-09", kSession};
    for (int i = 0; i < 25; ++i) r.grid[std::size_t(i)] = i + 1;
    r.score = score;
    r.ranked = true;
    r.rank = r.players = 1;
    return form(daily::format(r));
}
Reply refusal(int status, const char* reason, const char* error) {
    return Reply::status(status, reason, daily::format(daily::Failure{error, "No."}));
}

// The requests as "target body".
const std::string kOpen = "/daily/1/session name=Ann+Lee";
const std::string kResume = "/daily/1/session session=" + kSession;
std::string place(int move) {
    return "/daily/1/place session=" + kSession + "&move=" + std::to_string(move) + "&cell=33";
}
std::string targetAndBody(const std::string& bytes) {
    const auto space = bytes.find(' '), second = bytes.find(' ', space + 1);
    return bytes.substr(space + 1, second - space - 1) + " " + bytes.substr(bytes.find("\r\n\r\n") + 4);
}

}  // namespace

TEST(DailyClient, ReportsEachAnswerOnceWithinItsBounds) {
    const auto drip = Reply().send("HTTP/1.0 200 OK\r\n").pause(600ms).send("C").pause(600ms).send("o")
                          .pause(600ms).send("n").pause(600ms).send("t");
    struct Row {
        const char* name;
        std::vector<Reply> script;
        int move;           // 0: only open; else open, then place this move on cell 33
        const char* heard;  // the report, or the start of its words
        std::vector<std::string> sent;
    } rows[] = {
        {"dealt", {deal(1, 50)}, 0, "deal 1 50", {kOpen}},
        {"next card", {deal(1, 50), deal(2, 7)}, 1, "deal 2 7", {kOpen, place(1)}},
        {"result", {deal(26, 50), over(131)}, 26, "over 131", {kOpen, place(26)}},
        {"too many", {refusal(429, "Too Many Requests", "too-many")}, 0, "Too many Daily Deal", {kOpen}},
        {"hang-up", {Reply::hangUp()}, 0, "No usable answer", {kOpen}},
        {"garbage", {form("<html>hello</html>")}, 0, "The Daily Deal server sent an answer", {kOpen}},
        {"error page", {Reply::status(502, "Bad Gateway", "<html/>")}, 0,
         "The Daily Deal server refused the request (502 Bad Gateway)", {kOpen}},
        {"stall", {Reply::silence()}, 0, "No usable answer", {kOpen}},
        {"drip", {drip}, 0, "No usable answer", {kOpen}},
        {"flood", {form(std::string(200000, 'a'))}, 0, "No usable answer", {kOpen}},
        {"another session", {deal(1, 50), deal(2, 7, std::string(32, 'f'))}, 1,
         "The Daily Deal server answered for another round", {kOpen, place(1)}},
        {"card ahead", {deal(1, 50), deal(3, 7)}, 1, "The Daily Deal server's round does not match",
         {kOpen, place(1)}},
        {"lost answer, placement taken", {deal(1, 50), Reply::hangUp(), deal(2, 7)}, 1, "deal 2 7",
         {kOpen, place(1), kResume}},
        {"lost placement, sent again", {deal(1, 50), Reply::hangUp(), deal(1, 50), deal(2, 7)}, 1,
         "deal 2 7", {kOpen, place(1), kResume, place(1)}},
        {"lost for good", {deal(1, 50), Reply::hangUp()}, 1,
         "The connection to the Daily Deal server was lost", {kOpen, place(1), kResume, kResume}},
        {"placement refused", {deal(1, 50), refusal(409, "Conflict", "out-of-turn")}, 1,
         "The server did not accept the placement", {kOpen, place(1)}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedServer server(row.script);
        net::setVendorServer(*net::parseServer(QString::fromStdString(server.hostPort())));
        net::DailyClient client(nullptr, {.deadline = 1500ms, .stall = 700ms, .resumes = 2,
                                          .firstPause = 50ms});
        QString heard;
        client.setHandlers(
            {[&](const daily::Deal& d) { heard = QStringLiteral("deal %1 %2").arg(d.move).arg(d.card); },
             [&](const daily::Result& r) { heard = QStringLiteral("over %1").arg(r.score); },
             [&](const QString& why) { heard = why; }});
        QElapsedTimer clock;
        clock.start();
        client.open(QStringLiteral("Ann Lee"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !client.busy(); }, 10000));
        if (row.move) {
            client.place(row.move, 33);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !client.busy(); }, 10000));
        }
        EXPECT_TRUE(heard.startsWith(QLatin1String(row.heard))) << heard.toStdString();
        EXPECT_LT(clock.elapsed(), 6000);
        std::vector<std::string> sent;
        for (const RecordedRequest& r : server.requests()) sent.push_back(targetAndBody(r.bytes));
        EXPECT_EQ(sent, row.sent);
    }
    net::resetVendorServer();
}
