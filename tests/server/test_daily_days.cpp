// The Daily Deal across days, served in process where the clock is ours: a
// round's time is the server's own, a day's sessions close ten minutes into
// the next day, only then are its seed, deal and grids shown, and later its
// practice rounds and at last the whole day are pruned.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "game/dailydeal.h"
#include "server/daily.h"
#include "server/dailyseed.h"
#include "tests/server/harness.h"

namespace quintelle::testing {
namespace {

using daily::Deal;
using daily::Result;

constexpr std::int64_t kDay = 86'400'000, kMinute = 60'000;
constexpr int kToday = 20'517;  // 2026-03-05

struct Round {
    std::string session;
    daily::Reply last;
    std::vector<int> cards;
};

class DailyDays : public ::testing::TestWithParam<Engine> {
  protected:
    DailyDays() {
        port = http.bind("127.0.0.1", 0);
        http.start(deal.routes());
    }

    // Lays count cards on the cells in order, the 26th covering the first;
    // pause passes before the last of them.
    Round play(const std::string& name, int count, std::int64_t pause = 0) {
        Deal d = std::get<Deal>(dailyPost(port, daily::kSessionPath, "name=" + name).reply);
        Round r{d.session, d, {}};
        for (int k = 0; k < count; ++k) {
            if (k == count - 1) now += pause;
            r.cards.push_back(d.card);
            const int cell = k < 25 ? (k / 5 + 1) * 10 + k % 5 + 1 : 11;
            r.last = dailyPost(port, daily::kPlacePath,
                               daily::format(daily::Place{d.session, d.move, cell}))
                         .reply;
            if (auto* next = std::get_if<Deal>(&r.last)) d = *next;
        }
        return r;
    }

    Reply get(std::string_view path, const std::string& query = "?day=2026-03-05") {
        return httpGet(port, std::string(path) + query);
    }

    static bool eventually(const std::function<bool()>& check) {
        for (int i = 0; i < 300; ++i) {
            if (check()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    TempDir dir;
    std::string db = freshDatabase(GetParam(), dir.path());
    server::Database database{db};
    server::DailyStore store{database};
    std::atomic<std::int64_t> now{kToday * kDay + 12 * 60 * kMinute};
    server::DailyDeal deal{store,
                           {.sessionsPerHour = 0, .parPlayouts = 40, .keepDays = 30},
                           server::linksUnder(""),
                           [this] { return now.load(); }};
    server::HttpServer http{{}, nullptr};  // last: stops first
    int port = 0;
};

TEST_P(DailyDays, ADayClosesThenShowsItsCardsAndIsPrunedLater) {
    const Round ann = play("Ann", 26, 45'000);
    const Result annResult = std::get<Result>(ann.last);
    EXPECT_EQ(annResult.seconds, 45);
    EXPECT_EQ(annResult.bonus, 35);
    const Round bob = play("Bob", 26), bobAgain = play("Bob", 26), cy = play("Cy", 3);
    EXPECT_FALSE(std::get<Result>(bobAgain.last).ranked);

    const std::string seed = *store.storedSeed(kToday);
    const int par = *expertpar(server::dealOf(seed), 40, kToday);
    ASSERT_TRUE(eventually([&] { return store.par(kToday) == par; }));
    EXPECT_NE(get(daily::kListPath).body.find("Expert&#39;s par: " + std::to_string(par)),
              std::string::npos);

    // Nine minutes into the next day the round goes on and the cards stay hidden.
    now = (kToday + 1) * kDay + 9 * kMinute;
    Deal cyDeal = std::get<Deal>(cy.last);
    DailyAnswer late = dailyPost(port, daily::kPlacePath,
                                 daily::format(daily::Place{cy.session, cyDeal.move, 14}));
    ASSERT_EQ(late.status, 200);
    cyDeal = std::get<Deal>(late.reply);
    EXPECT_EQ(get(daily::kRevealPath).status, 403);
    EXPECT_EQ(get(daily::kDealPath).status, 403);

    now = (kToday + 1) * kDay + 10 * kMinute;
    DailyAnswer over = dailyPost(port, daily::kPlacePath,
                                 daily::format(daily::Place{cy.session, cyDeal.move, 15}));
    EXPECT_EQ(over.status, 410);
    Reply revealed = get(daily::kRevealPath);
    ASSERT_EQ(revealed.status, 200);
    daily::Form fields = std::get<daily::Form>(daily::parseForm(revealed.body));
    EXPECT_EQ(*fields.find("seed"), seed);
    std::string cards;
    for (int c : ann.cards) cards += (cards.empty() ? "" : ",") + std::to_string(c);
    EXPECT_EQ(*fields.find("cards"), cards);
    EXPECT_EQ(bob.cards, ann.cards);
    EXPECT_EQ(*fields.find("par"), std::to_string(par));
    EXPECT_NE(get(daily::kDealPath)
                  .body.find("Seed: " + seed.substr(0, 16) + " " + seed.substr(16, 16) + " " +
                             seed.substr(32, 16) + " " + seed.substr(48)),
              std::string::npos);
    for (const auto& [name, score] :
         {std::pair{"Ann", annResult.score}, {"Bob", std::get<Result>(bob.last).score}}) {
        Reply grid = get(daily::kGridPath, "?day=2026-03-05&name=" + std::string(name));
        EXPECT_NE(grid.body.find(std::string(name) + " on 2026-03-05"), std::string::npos);
        EXPECT_NE(grid.body.find("score " + std::to_string(score) + ","), std::string::npos);
    }
    EXPECT_EQ(get(daily::kGridPath, "?day=2026-03-05&name=Cy").status, 404);
    EXPECT_NE(get(daily::kListPath).body.find("grid?day=2026-03-05&amp;name=Ann"),
              std::string::npos);

    // An hour after the close the rounds that do not count go, and no
    // address is kept.
    now = (kToday + 1) * kDay + 71 * kMinute;
    get(daily::kListPath, "");
    EXPECT_TRUE(
        eventually([&] { return !store.find(bobAgain.session) && !store.find(cy.session); }));
    EXPECT_TRUE(store.find(ann.session));
    for (const auto& row : server::openConnection(db)->query("SELECT address FROM daily_sessions"))
        EXPECT_EQ(row[0], "");

    // Past the days kept, the day goes whole.
    now = (kToday + 31) * kDay + 2 * 60 * kMinute;
    get(daily::kListPath, "");
    EXPECT_TRUE(eventually([&] { return !store.storedSeed(kToday) && !store.find(ann.session); }));
    EXPECT_EQ(get(daily::kListPath).status, 404);
}

INSTANTIATE_TEST_SUITE_P(Engines, DailyDays, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const auto& info) { return engineName(info.param); });

}  // namespace
}  // namespace quintelle::testing
