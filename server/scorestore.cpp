#include "server/scorestore.h"

#include <charconv>

namespace quintelle::server {
namespace {

std::int64_t toInt(const std::string& text) {
    std::int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

void createSchema(Connection& c) {
    Transaction t(c);
    c.lockSchema();
    c.query("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)", {});
    std::vector<SqlRow> rows = c.query("SELECT version FROM schema_version", {});
    if (!rows.empty()) {
        std::int64_t found = toInt(rows.front().front());
        if (found > ScoreStore::kSchemaVersion) {
            throw DatabaseError("the database has schema version " + std::to_string(found) +
                                ", newer than this server's " +
                                std::to_string(ScoreStore::kSchemaVersion));
        }
        t.commit();
        return;
    }
    c.query("CREATE TABLE scores (id " + std::string(c.rowKeyColumn()) +
                ", name TEXT NOT NULL, date TEXT NOT NULL, score INTEGER NOT NULL,"
                " received BIGINT NOT NULL, address TEXT NOT NULL)",
            {});
    c.query("CREATE INDEX scores_rank ON scores (score DESC, received, id)", {});
    c.query("CREATE INDEX scores_address ON scores (address, received)", {});
    // One row per posting address: locking it serialises that address's posts.
    c.query("CREATE TABLE clients (address TEXT PRIMARY KEY)", {});
    c.query("INSERT INTO schema_version (version) VALUES ($1)",
            {std::int64_t{ScoreStore::kSchemaVersion}});
    t.commit();
}

}  // namespace

ScoreStore::ScoreStore(Database& db) : db_(db) {
    db_.run(createSchema);
}

PostOutcome ScoreStore::add(const ScorePost& post, const std::string& address, std::int64_t nowMs,
                            int postsPerMinute) {
    PostOutcome outcome = PostOutcome::Stored;
    db_.run([&](Connection& c) {
        Transaction t(c);
        outcome = PostOutcome::Stored;
        if (postsPerMinute > 0) {
            c.query(
                "INSERT INTO clients (address) VALUES ($1)"
                " ON CONFLICT (address) DO UPDATE SET address = excluded.address",
                {address});
            std::vector<SqlRow> recent =
                c.query("SELECT COUNT(*) FROM scores WHERE address = $1 AND received > $2",
                        {address, nowMs - 60'000});
            if (toInt(recent.front().front()) >= postsPerMinute) {
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
            list.push_back({std::move(row[0]), std::move(row[1]), toInt(row[2])});
        }
    });
    return list;
}

std::int64_t ScoreStore::size() {
    std::int64_t count = 0;
    db_.run([&](Connection& c) {
        count = toInt(c.query("SELECT COUNT(*) FROM scores", {}).front().front());
    });
    return count;
}

}  // namespace quintelle::server
