// The score store on each engine, in process, where time can be chosen.
#include <gtest/gtest.h>

#include "server/dailystore.h"
#include "server/schema.h"
#include "server/scorestore.h"
#include "tests/server/harness.h"

namespace quintelle::testing {
namespace {

using server::Database;
using server::DatabaseError;
using server::PostOutcome;
using server::ScoreStore;

class Store : public ::testing::TestWithParam<Engine> {
  protected:
    TempDir dir;
    std::string db = freshDatabase(GetParam(), dir.path());
    Database database{db};
};

TEST_P(Store, RateLimitWindowSlidesWithTime) {
    ScoreStore store(database);
    const std::int64_t t0 = 1'800'000'000'000;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(store.add({"A", "1/1/26", i}, "10.0.0.1", t0 + i * 1000, 3), PostOutcome::Stored);
    }
    EXPECT_EQ(store.add({"A", "1/1/26", 9}, "10.0.0.1", t0 + 59'999, 3), PostOutcome::TooMany);
    EXPECT_EQ(store.add({"B", "1/1/26", 9}, "10.0.0.2", t0 + 59'999, 3), PostOutcome::Stored);
    // A minute after the first post one slot is free again, and only one.
    EXPECT_EQ(store.add({"A", "1/1/26", 9}, "10.0.0.1", t0 + 60'000, 3), PostOutcome::Stored);
    EXPECT_EQ(store.add({"A", "1/1/26", 9}, "10.0.0.1", t0 + 60'001, 3), PostOutcome::TooMany);
    EXPECT_EQ(store.size(), 5);
}

TEST_P(Store, EqualScoresRankByArrivalNotByName) {
    ScoreStore store(database);
    store.add({"Zed", "1/1/26", 50}, "a", 2000, 0);
    store.add({"Amy", "1/1/26", 50}, "a", 3000, 0);
    store.add({"Max", "1/1/26", 50}, "a", 1000, 0);
    std::vector<std::string> names;
    for (const auto& s : store.top(2)) names.push_back(s.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Max", "Zed"}));
}

TEST_P(Store, ReopensItsOwnSchemaAndRefusesANewerOne) {
    { ScoreStore(database).add({"Kept", "1/1/26", 1}, "a", 1, 0); }
    Database again(db);
    EXPECT_EQ(ScoreStore(again).size(), 1);
    auto c = server::openConnection(db);
    c->query("UPDATE schema_version SET version = $1", {std::int64_t{server::kSchemaVersion + 1}});
    Database newer(db);
    EXPECT_THROW(ScoreStore store(newer), DatabaseError);
}

// A database made by a server of the first layout, with a score on its list.
TEST_P(Store, UpgradesAnOlderLayoutKeepingItsScores) {
    {
        auto c = server::openConnection(db);
        c->query("CREATE TABLE schema_version (version INTEGER NOT NULL)");
        c->query("INSERT INTO schema_version (version) VALUES (1)");
        c->query("CREATE TABLE scores (id " + std::string(c->rowKeyColumn()) +
                 ", name TEXT NOT NULL, date TEXT NOT NULL, score INTEGER NOT NULL,"
                 " received BIGINT NOT NULL, address TEXT NOT NULL)");
        c->query("CREATE TABLE clients (address TEXT PRIMARY KEY)");
        c->query(
            "INSERT INTO scores (name, date, score, received, address)"
            " VALUES ('Old', '1/1/26', 7, 1, 'a')");
    }
    ScoreStore scores(database);
    server::DailyStore daily(database);
    EXPECT_EQ(scores.top(1).front().name, "Old");
    EXPECT_EQ(daily.seed(1, std::string(64, 'a')), std::string(64, 'a'));
    EXPECT_EQ(server::openConnection(db)->query("SELECT version FROM schema_version"),
              (std::vector<server::SqlRow>{{std::to_string(server::kSchemaVersion)}}));
}

INSTANTIATE_TEST_SUITE_P(Engines, Store, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const auto& info) { return engineName(info.param); });

}  // namespace
}  // namespace quintelle::testing
