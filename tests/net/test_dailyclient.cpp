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

const std::string kSession = "00112233445566778899aabbccddeeff";

std::string deal(int move, int card, const std::string& session = kSession) {
    daily::Deal d;
    d.day = "2026-12-09";
    d.session = session;
    d.move = move;
    d.card = card;
    return daily::format(d);
}

std::string over(int score) {
    daily::Result r;
    r.day = "2026-12-09";
    r.session = kSession;
    for (int i = 0; i < 25; ++i) r.grid[std::size_t(i)] = i + 1;
    r.points = score - 50;
    r.bonus = 50;
    r.score = score;
    r.ranked = true;
    r.rank = 1;
    r.players = 1;
    r.par = 138;
    return daily::format(r);
}

Reply form(const std::string& body) {
    return Reply::ok(body, "application/x-www-form-urlencoded");
}

Reply refusal(int status, const char* reason, const char* error) {
    return Reply::status(status, reason, daily::format(daily::Failure{error, "No."}));
}

// What the client reported, as one line.
struct Heard {
    QString what;
    void listen(net::DailyClient& client) {
        client.setHandlers(
            {[this](const daily::Deal& d) { what = QStringLiteral("deal %1 %2").arg(d.move).arg(d.card); },
             [this](const daily::Result& r) { what = QStringLiteral("over %1").arg(r.score); },
             [this](const QString& why) { what = QStringLiteral("failed: ") + why; }});
    }
};

struct Row {
    const char* name;
    std::vector<Reply> script;
    int placeMove;  // 0: only open; else open, then place this move at cell 33
    const char* heard;  // the report, or the start of a failure's words
    std::vector<std::string> paths;  // the requests' targets and bodies, "path body"
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

std::string open() {
    return "/daily/1/session name=Ann+Lee";
}
std::string place(int move) {
    return "/daily/1/place session=" + kSession + "&move=" + std::to_string(move) + "&cell=33";
}
std::string resume() {
    return "/daily/1/session session=" + kSession;
}

// The target and body of a recorded request.
std::string targetAndBody(const std::string& bytes) {
    const auto space = bytes.find(' '), second = bytes.find(' ', space + 1);
    const auto body = bytes.find("\r\n\r\n");
    return bytes.substr(space + 1, second - space - 1) + " " +
           (body == std::string::npos ? "" : bytes.substr(body + 4));
}

}  // namespace

class DailyClientRows : public ::testing::TestWithParam<Row> {
  protected:
    void TearDown() override { net::resetVendorServer(); }
};

TEST_P(DailyClientRows, ReportsOnceWithinItsBounds) {
    const Row& row = GetParam();
    ScriptedServer server(row.script);
    net::setVendorServer(*net::parseServer(QString::fromStdString(server.hostPort())));
    net::DailyClient::Bounds bounds;
    bounds.deadline = 1500ms;
    bounds.stall = 700ms;
    bounds.resumes = 2;
    bounds.firstPause = 50ms;
    net::DailyClient client(nullptr, bounds);
    Heard heard;
    heard.listen(client);

    QElapsedTimer clock;
    clock.start();
    client.open(QStringLiteral("Ann Lee"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client.busy(); }, 10000));
    if (row.placeMove) {
        ASSERT_EQ(heard.what.left(4), QStringLiteral("deal"));
        client.place(row.placeMove, 33);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !client.busy(); }, 10000));
    }
    EXPECT_TRUE(heard.what.startsWith(QLatin1String(row.heard))) << heard.what.toStdString();
    EXPECT_LT(clock.elapsed(), 6000);

    std::vector<std::string> sent;
    for (const RecordedRequest& r : server.requests()) sent.push_back(targetAndBody(r.bytes));
    EXPECT_EQ(sent, row.paths);
    for (const RecordedRequest& r : server.requests())
        EXPECT_NE(r.bytes.find("Content-Type: application/x-www-form-urlencoded\r\n"),
                  std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DailyClientRows,
    ::testing::Values(
        Row{"Dealt", {form(deal(1, 50))}, 0, "deal 1 50", {open()}},
        Row{"NextCard", {form(deal(1, 50)), form(deal(2, 7))}, 1, "deal 2 7", {open(), place(1)}},
        Row{"Result", {form(deal(26, 50)), form(over(131))}, 26, "over 131", {open(), place(26)}},
        Row{"TooMany",
            {refusal(429, "Too Many Requests", "too-many")},
            0,
            "failed: Too many Daily Deal rounds",
            {open()}},
        Row{"Unreachable", {Reply::hangUp()}, 0, "failed: No usable answer came from the Daily Deal server", {open()}},
        Row{"Garbage", {form("<html>hello</html>")}, 0, "failed: The Daily Deal server sent an answer", {open()}},
        Row{"ErrorPage",
            {Reply::status(502, "Bad Gateway", "<html>proxy</html>")},
            0,
            "failed: The Daily Deal server refused the request (502 Bad Gateway)",
            {open()}},
        Row{"Stall", {Reply::silence()}, 0, "failed: No usable answer came from the Daily Deal server", {open()}},
        Row{"Drip",
            {Reply().send("HTTP/1.0 200 OK\r\n").pause(400ms).send("C").pause(400ms).send("o")
                 .pause(400ms).send("n").pause(400ms).send("t").pause(400ms).send("e")},
            0,
            "failed: No usable answer came from the Daily Deal server",
            {open()}},
        Row{"Flood",
            {form(std::string(200000, 'a'))},
            0,
            "failed: No usable answer came from the Daily Deal server",
            {open()}},
        Row{"AnotherSession",
            {form(deal(1, 50)), form(deal(2, 7, std::string(32, 'f')))},
            1,
            "failed: The Daily Deal server answered for another round",
            {open(), place(1)}},
        Row{"CardAhead",
            {form(deal(1, 50)), form(deal(3, 7))},
            1,
            "failed: The Daily Deal server's round does not match",
            {open(), place(1)}},
        Row{"LostAnswerPlacementTaken",
            {form(deal(1, 50)), Reply::hangUp(), form(deal(2, 7))},
            1,
            "deal 2 7",
            {open(), place(1), resume()}},
        Row{"LostPlacementSentAgain",
            {form(deal(1, 50)), Reply::hangUp(), form(deal(1, 50)), form(deal(2, 7))},
            1,
            "deal 2 7",
            {open(), place(1), resume(), place(1)}},
        Row{"LostForGood",
            {form(deal(1, 50)), Reply::hangUp()},
            1,
            "failed: The connection to the Daily Deal server was lost",
            {open(), place(1), resume(), resume()}},
        Row{"RefusedPlacement",
            {form(deal(1, 50)), refusal(409, "Conflict", "out-of-turn")},
            1,
            "failed: The server did not accept the placement",
            {open(), place(1)}}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });
