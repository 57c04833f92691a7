#include "server/schema.h"

#include <string>

namespace quintelle::server {
namespace {

// The high-score list.
void version1(Connection& c) {
    c.query("CREATE TABLE scores (id " + std::string(c.rowKeyColumn()) +
                ", name TEXT NOT NULL, date TEXT NOT NULL, score INTEGER NOT NULL,"
                " received BIGINT NOT NULL, address TEXT NOT NULL)",
            {});
    c.query("CREATE INDEX scores_rank ON scores (score DESC, received, id)", {});
    c.query("CREATE INDEX scores_address ON scores (address, received)", {});
    // One row per client address: locking it serialises that address's posts
    // and new sessions.
    c.query("CREATE TABLE clients (address TEXT PRIMARY KEY)", {});
}

// The Daily Deal: a secret seed and the expert's par per UTC day (days since
// 1970-01-01), and the sessions dealt from it. A session's moves are the
// cell addresses of its accepted placements, comma-separated; times are
// milliseconds since 1970. At most one finished session per day and name is
// ranked.
void version2(Connection& c) {
    c.query(
        "CREATE TABLE daily_days (day INTEGER PRIMARY KEY, seed TEXT NOT NULL,"
        " par INTEGER, par_claimed BIGINT)",
        {});
    c.query("CREATE TABLE daily_sessions (id " + std::string(c.rowKeyColumn()) +
                ", token TEXT NOT NULL UNIQUE, day INTEGER NOT NULL, name TEXT NOT NULL,"
                " address TEXT NOT NULL, started BIGINT NOT NULL, moves TEXT NOT NULL,"
                " finished BIGINT, points INTEGER, seconds INTEGER, score INTEGER,"
                " ranked INTEGER NOT NULL DEFAULT 0)",
            {});
    c.query("CREATE UNIQUE INDEX daily_counted ON daily_sessions (day, name) WHERE ranked = 1", {});
    c.query(
        "CREATE INDEX daily_list ON daily_sessions (day, ranked, score DESC, seconds, finished)",
        {});
    c.query("CREATE INDEX daily_address ON daily_sessions (address, started)", {});
}

void upgrade(Connection& c) {
    Transaction t(c);
    c.lockSchema();
    c.query("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)", {});
    std::vector<SqlRow> rows = c.query("SELECT version FROM schema_version", {});
    std::int64_t found = rows.empty() ? 0 : sqlInt(rows.front().front());
    if (found > kSchemaVersion) {
        throw DatabaseError("the database has schema version " + std::to_string(found) +
                            ", newer than this server's " + std::to_string(kSchemaVersion));
    }
    void (*const steps[])(Connection&) = {version1, version2};
    for (std::int64_t v = found; v < kSchemaVersion; ++v) steps[v](c);
    if (rows.empty()) {
        c.query("INSERT INTO schema_version (version) VALUES ($1)", {std::int64_t{kSchemaVersion}});
    } else if (found < kSchemaVersion) {
        c.query("UPDATE schema_version SET version = $1", {std::int64_t{kSchemaVersion}});
    }
    t.commit();
}

}  // namespace

void prepareSchema(Database& db) {
    db.run(upgrade);
}

void lockClient(Connection& c, const std::string& address) {
    c.query(
        "INSERT INTO clients (address) VALUES ($1)"
        " ON CONFLICT (address) DO UPDATE SET address = excluded.address",
        {address});
}

}  // namespace quintelle::server
