// The Daily Deal against the real server process on each engine: rounds
// played over the protocol score exactly as the game's own controller scores
// the same cards and clicks; nothing a client sends learns a card early or
// changes a round; copies on one PostgreSQL carry on one another's sessions.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <regex>
#include <thread>

#include "game/controller.h"
#include "tests/game/recorders.h"
#include "tests/server/harness.h"

namespace quintelle::testing {
namespace {

using daily::Deal;
using daily::Failure;
using daily::Result;

// One round as the player's game sees it: the cards received, the cells chosen.
struct Played {
    Played(std::string name, Deal deal) : name(std::move(name)), deal(std::move(deal)) {}
    std::string name;
    Deal deal;  // the card on offer now
    std::vector<int> cards, cells;
    std::optional<Result> result;
};

Deal opened(int port, const std::string& name, const std::string& from = "127.0.0.1") {
    DailyAnswer a =
        dailyPost(port, daily::kSessionPath, daily::format(daily::Open{name, ""}), from);
    EXPECT_EQ(a.status, 200);
    return std::get<Deal>(a.reply);
}

Deal resumed(int port, const std::string& session) {
    return std::get<Deal>(
        dailyPost(port, daily::kSessionPath, daily::format(daily::Open{"", session})).reply);
}

void place(int port, Played& p, int cell) {
    DailyAnswer a = dailyPost(port, daily::kPlacePath,
                              daily::format(daily::Place{p.deal.session, p.deal.move, cell}));
    ASSERT_EQ(a.status, 200) << std::get<Failure>(a.reply).message;
    p.cards.push_back(p.deal.card);
    p.cells.push_back(cell);
    if (auto* r = std::get_if<Result>(&a.reply)) {
        p.result = *r;
    } else {
        p.deal = std::get<Deal>(a.reply);
    }
}

int randomLegalCell(const Deal& d, std::mt19937& rng) {
    std::vector<int> cells;
    for (int i = 0; i < 25; ++i)
        if (d.grid[i] == 0 || d.canReplace) cells.push_back((i / 5 + 1) * 10 + i % 5 + 1);
    return cells[rng() % cells.size()];
}

// The program's own controller lays the same cards on the same cells, its
// clock at the server's seconds when the last card goes down, and must end
// the round with the server's score.
void expectGameAgrees(const Played& p) {
    RecordedGame recorded;
    GameController& game = recorded.game;
    recorded.random.deal(p.cards);
    game.startGame();
    for (std::size_t k = 0; k + 1 < p.cells.size(); ++k) game.place(p.cells[k]);
    for (int s = 0; s < p.result->seconds; ++s) game.tick();
    game.place(p.cells.back());
    ASSERT_FALSE(game.dealing());
    EXPECT_EQ(game.roundscore(), p.result->points);
    EXPECT_EQ(game.timebonus(), p.result->bonus);
    EXPECT_EQ(game.totalscore(), p.result->score);
    for (int i = 0; i < 25; ++i) EXPECT_EQ(game.grid(i / 5 + 1, i % 5 + 1), p.result->grid[i]);
    for (int n = 1; n <= 10; ++n) EXPECT_EQ(game.linescore(n), p.result->lines[n - 1]);
}

struct Listed {
    std::string name;
    int score;
};

std::vector<Listed> dayList(int port) {
    static const std::regex row(
        R"(<tr><td align="right">\d+</td><td>([^<]*)</td><td align="right">(\d+)</td>)");
    std::string page = httpGet(port, std::string(daily::kListPath)).body;
    std::vector<Listed> rows;
    for (std::sregex_iterator i(page.begin(), page.end(), row), end; i != end; ++i)
        rows.push_back({(*i)[1], std::stoi((*i)[2])});
    return rows;
}

class Daily : public ::testing::TestWithParam<Engine> {
  protected:
    TempDir files;
    std::string db = freshDatabase(GetParam(), files.path());
};

// Thirty rounds of random legal play, three under way at a time and names
// repeating, so a name's rounds finish in an order of their own.
TEST_P(Daily, EveryRoundScoresAsTheGameScoresItAndANamesFirstFinishedRoundCounts) {
    ServerProcess server(db, {"--daily-sessions-per-hour", "0", "--par-playouts", "30"});
    std::mt19937 rng(20260305);
    const std::string names[] = {"Ann", "Bob", "Cy", "Zo\xC3\xAB", "Dee"};
    std::map<std::string, int> counted;
    std::vector<Played> live;
    std::vector<int> firstCards;
    for (int started = 0; started < 30 || !live.empty();) {
        while (live.size() < 3 && started < 30) {
            const std::string& name = names[rng() % std::size(names)];
            live.emplace_back(name, opened(server.port(), name));
            ++started;
        }
        const std::size_t i = rng() % live.size();
        Played& p = live[i];
        ASSERT_NO_FATAL_FAILURE(place(server.port(), p, randomLegalCell(p.deal, rng)));
        if (!p.result) continue;
        if (firstCards.empty()) firstCards = p.cards;
        EXPECT_EQ(p.cards, firstCards) << "every round of the day is dealt the same cards";
        const bool first = counted.emplace(p.name, p.result->score).second;
        EXPECT_EQ(p.result->ranked, first) << p.name;
        EXPECT_EQ(p.result->counted, first ? std::nullopt : std::optional(counted[p.name]));
        expectGameAgrees(p);
        live.erase(live.begin() + static_cast<long>(i));
    }
    std::vector<Listed> rows = dayList(server.port());
    ASSERT_EQ(rows.size(), counted.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].score, counted[rows[i].name]) << rows[i].name;
        if (i > 0) {
            EXPECT_GE(rows[i - 1].score, rows[i].score);
        }
    }
}

TEST_P(Daily, NoForgedLateOrRepeatedRequestLearnsACardOrChangesTheRound) {
    ServerProcess server(db, {"--par-playouts", "30"});
    const int port = server.port();
    Played p("Eve", opened(port, "Eve"));
    // Five cards down, the fifth covering the first: the replacement is used.
    for (int cell : {11, 12, 13, 14, 11}) ASSERT_NO_FATAL_FAILURE(place(port, p, cell));
    ASSERT_EQ(p.deal.move, 6);
    ASSERT_FALSE(p.deal.canReplace);
    const std::string s = "session=" + p.deal.session, other(32, 'a');
    const std::string form(daily::kFormType);
    struct Row {
        std::string_view path;
        std::string body;
        int status;
        std::string error;
        std::string type = std::string(daily::kFormType);
    };
    const Row rows[] = {
        {daily::kPlacePath, s + "&move=5&cell=11", 409, "out-of-turn"},  // the last one again
        {daily::kPlacePath, s + "&move=5&cell=15", 409, "out-of-turn"},
        {daily::kPlacePath, s + "&move=7&cell=15", 409, "out-of-turn"},
        {daily::kPlacePath, s + "&move=6&cell=12", 409, "illegal-cell"},
        {daily::kPlacePath, "session=" + other + "&move=6&cell=15", 404, "unknown-session"},
        {daily::kPlacePath, s + "&move=0&cell=15", 400, "malformed"},
        {daily::kPlacePath, s + "&move=27&cell=15", 400, "malformed"},
        {daily::kPlacePath, s + "&move=-6&cell=15", 400, "malformed"},
        {daily::kPlacePath, s + "&move=6&cell=16", 400, "malformed"},
        {daily::kPlacePath, s + "&move=6&cell=61", 400, "malformed"},
        {daily::kPlacePath, s + "&move=6&cell=1.5", 400, "malformed"},
        {daily::kPlacePath, s + "&move=6&cell=", 400, "malformed"},
        {daily::kPlacePath, s + "&move=6", 400, "malformed"},
        {daily::kPlacePath, s + "&move=6&cell=15&cell=15", 400, "malformed"},
        {daily::kPlacePath, s + "&move=6&cell=15&card=7", 400, "malformed"},
        {daily::kPlacePath, s + "&move=6&cell=15%", 400, "malformed"},
        {daily::kPlacePath, "session=ABC&move=6&cell=15", 400, "malformed"},
        {daily::kPlacePath, s + "&move=6&cell=15", 415, "malformed", "text/plain"},
        {daily::kSessionPath, "name=Eve&" + s, 400, "malformed"},
        {daily::kSessionPath, "name=", 400, "malformed"},
        {daily::kSessionPath, "name=%E2%80%AEveE", 400, "malformed"},
        {daily::kSessionPath, "name=" + std::string(65, 'x'), 400, "malformed"},
        {daily::kSessionPath, "session=" + other, 404, "unknown-session"},
    };
    for (const Row& row : rows) {
        Reply reply = httpPost(port, std::string(row.path), row.body, row.type);
        EXPECT_EQ(reply.status, row.status) << row.body;
        EXPECT_EQ(reply.body.find("card="), std::string::npos) << reply.body;
        auto parsed = daily::parseReply(reply.body);
        ASSERT_TRUE(std::holds_alternative<daily::Reply>(parsed)) << reply.body;
        EXPECT_EQ(std::get<Failure>(std::get<daily::Reply>(parsed)).error, row.error) << row.body;
        const Deal now = resumed(port, p.deal.session);
        EXPECT_EQ(now.move, 6);
        EXPECT_EQ(now.card, p.deal.card);
        EXPECT_EQ(now.grid, p.deal.grid);
    }
    for (int cell = 15; !p.result; ++cell) {
        if (cell % 10 >= 1 && cell % 10 <= 5) {
            ASSERT_NO_FATAL_FAILURE(place(port, p, cell));
        }
    }
    EXPECT_EQ(dailyPost(port, daily::kPlacePath, s + "&move=26&cell=15").status, 409);
    // Today's cards stay secret, also from a player who has seen them all.
    const std::string today = "?day=" + p.result->day;
    for (std::string_view path : {daily::kRevealPath, daily::kDealPath}) {
        EXPECT_EQ(httpGet(port, std::string(path) + today).status, 403) << path;
    }
    EXPECT_EQ(httpGet(port, std::string(daily::kGridPath) + today + "&name=Eve").status, 403);
}

INSTANTIATE_TEST_SUITE_P(Engines, Daily, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const auto& info) { return engineName(info.param); });

// Two copies behind a load balancer on one PostgreSQL database.
TEST(DailyCopies, ASessionGoesOnOnEitherCopyAndEachPlacementCountsOnce) {
    std::string db = PgCluster::shared().newDatabase();
    const std::vector<std::string> options = {"--par-playouts", "30", "--daily-sessions-per-hour",
                                              "2"};
    ServerProcess a(db, options), b(db, options);
    Played p("Kim", opened(a.port(), "Kim", "127.0.0.7"));
    std::vector<int> cells;
    for (int i = 0; i < 25; ++i) cells.push_back((i / 5 + 1) * 10 + i % 5 + 1);
    cells.push_back(33);
    for (std::size_t k = 0; k < cells.size(); ++k) {
        if (k != 12) {
            ASSERT_NO_FATAL_FAILURE(place(k % 2 ? a.port() : b.port(), p, cells[k]));
            continue;
        }
        // The same placement reaches both copies at once: one takes it.
        const std::string body = daily::format(daily::Place{p.deal.session, p.deal.move, cells[k]});
        DailyAnswer answers[2];
        std::thread other([&] { answers[1] = dailyPost(b.port(), daily::kPlacePath, body); });
        answers[0] = dailyPost(a.port(), daily::kPlacePath, body);
        other.join();
        std::multiset<int> statuses = {answers[0].status, answers[1].status};
        ASSERT_EQ(statuses, (std::multiset<int>{200, 409}));
        p.cards.push_back(p.deal.card);
        p.cells.push_back(cells[k]);
        p.deal = std::get<Deal>(answers[answers[0].status == 200 ? 0 : 1].reply);
        EXPECT_EQ(resumed(a.port(), p.deal.session).card, resumed(b.port(), p.deal.session).card);
    }
    ASSERT_TRUE(p.result);
    expectGameAgrees(p);
    auto again = dailyPost(a.port(), daily::kSessionPath, "session=" + p.deal.session);
    EXPECT_EQ(std::get<Result>(again.reply).score, p.result->score);
    for (int port : {a.port(), b.port()}) {
        std::vector<Listed> rows = dayList(port);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].score, p.result->score);
    }
    // The limit on new rounds per address holds across the copies.
    EXPECT_EQ(dailyPost(b.port(), daily::kSessionPath, "name=Kim", "127.0.0.7").status, 200);
    DailyAnswer refused = dailyPost(a.port(), daily::kSessionPath, "name=Kim", "127.0.0.7");
    EXPECT_EQ(refused.status, 429);
    EXPECT_EQ(std::get<Failure>(refused.reply).error, "too-many");
    EXPECT_EQ(dailyPost(a.port(), daily::kSessionPath, "name=Lu", "127.0.0.8").status, 200);
}

}  // namespace
}  // namespace quintelle::testing
