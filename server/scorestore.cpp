#include "server/scorestore.h"

#include "server/schema.h"

namespace quintelle::server {

ScoreStore::ScoreStore(Database& db) : db_(db) {
    prepareSchema(db_);
}

PostOutcome ScoreStore::add(const ScorePost& post, const std::string& address, std::int64_t nowMs,
                            int postsPerMinute) {
    PostOutcome outcome = PostOutcome::Stored;
    db_.run([&](Connection& c) {
        Transaction t(c);
        outcome = PostOutcome::Stored;
        if (postsPerMinute > 0) {
            lockClient(c, address);
            std::vector<SqlRow> recent =
                c.query("SELECT COUNT(*) FROM scores WHERE address = $1 AND received > $2",
                        {address, nowMs - 60'000});
            if (sqlInt(recent.front().front()) >= postsPerMinute) {
                outcome = PostOutcome::TooMany;
                return;
            }
        }
        c.query(
            "INSERT INTO scores (name, date, score, received, address)"
            " VALUES ($1, $2, $3, $4, $5)",
            {post.name, post.date, std::int64_t{post.score}, nowMs, address});
        t.commit();
    });
    return outcome;
}

std::vector<RankedScore> ScoreStore::top(int count) {
    std::vector<RankedScore> list;
    db_.run([&](Connection& c) {
        list.clear();
        for (SqlRow& row : c.query("SELECT name, date, score FROM scores"
                                   " ORDER BY score DESC, received, id LIMIT $1",
                                   {std::int64_t{count}})) {
            list.push_back({std::move(row[0]), std::move(row[1]), sqlInt(row[2])});
        }
    });
    return list;
}

std::int64_t ScoreStore::size() {
    std::int64_t count = 0;
    db_.run([&](Connection& c) {
        count = sqlInt(c.query("SELECT COUNT(*) FROM scores", {}).front().front());
    });
    return count;
}

}  // namespace quintelle::server
