// The score store on each engine, in process, where time can be chosen.
#include <gtest/gtest.h>

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
    c->query("UPDATE schema_version SET version = $1",
             {std::int64_t{ScoreStore::kSchemaVersion + 1}});
    Database newer(db);
    EXPECT_THROW(ScoreStore store(newer), DatabaseError);
}

INSTANTIATE_TEST_SUITE_P(Engines, Store, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const auto& info) { return engineName(info.param); });

}  // namespace
}  // namespace quintelle::testing
