#pragma once
// The high-score list as the service keeps it: posts go in with the time they
// arrived and the address they came from, the list comes out ranked. Safe to
// use from every request thread; several server processes may share one
// PostgreSQL database (or one SQLite file) at once.
#include <cstdint>
#include <string>
#include <vector>

#include "server/database.h"

namespace quintelle::server {

struct ScorePost {
    std::string name;
    std::string date;
    std::int32_t score = 0;
};

struct RankedScore {
    std::string name;
    std::string date;
    std::int64_t score = 0;
};

enum class PostOutcome { Stored, TooMany };

class ScoreStore {
  public:
    // The layout this build reads and writes; a database stamped with a
    // higher number was made by a newer server and is refused.
    static constexpr int kSchemaVersion = 1;

    // Creates or checks the list's tables in db. Throws DatabaseError.
    explicit ScoreStore(Database& db);

    // Stores the post unless the address already has postsPerMinute posts
    // received in the last minute (0: no limit). The count and the insert
    // happen under one lock per address, so it holds across server copies.
    PostOutcome add(const ScorePost& post, const std::string& address, std::int64_t nowMs,
                    int postsPerMinute);

    // Highest scores first; among equal scores the earlier post first.
    std::vector<RankedScore> top(int count);

    std::int64_t size();

  private:
    Database& db_;
};

}  // namespace quintelle::server
