#include "server/scorestore.h"

#include <charconv>

namespace quintelle::server {

// A pooled connection for one request; returned to the pool afterwards unless
// the link broke, in which case the next lease opens a fresh one.
class ScoreStore::Lease {
  public:
    Lease(ScoreStore& store, std::unique_ptr<Connection> c) : store_(store), c_(std::move(c)) {}
    Lease(Lease&&) = default;
    ~Lease() {
        if (c_ && c_->usable()) {
            std::lock_guard lock(store_.mutex_);
            store_.idle_.push_back(std::move(c_));
        }
    }
    Connection& operator*() { return *c_; }
    Connection* operator->() { return c_.get(); }

  private:
    ScoreStore& store_;
    std::unique_ptr<Connection> c_;
};

namespace {

std::int64_t toInt(const std::string& text) {
    std::int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// Rolls back whatever transaction is open when a statement throws.
class Transaction {
  public:
    explicit Transaction(Connection& c) : c_(c) { c_.beginWrite(); }
    ~Transaction() {
        if (open_) {
            try {
                c_.query("ROLLBACK", {});
            } catch (const DatabaseError&) {
            }
        }
    }
    void commit() {
        c_.query("COMMIT", {});
        open_ = false;
    }

  private:
    Connection& c_;
    bool open_ = true;
};

}  // namespace

ScoreStore::ScoreStore(std::string target) : target_(std::move(target)) {
    Lease c = lease();
    createSchema(*c);
}

ScoreStore::~ScoreStore() = default;

ScoreStore::Lease ScoreStore::lease() {
    {
        std::lock_guard lock(mutex_);
        if (!idle_.empty()) {
            std::unique_ptr<Connection> c = std::move(idle_.back());
            idle_.pop_back();
            return Lease(*this, std::move(c));
        }
    }
    return Lease(*this, openConnection(target_));
}

void ScoreStore::createSchema(Connection& c) {
    Transaction t(c);
    c.lockSchema();
    c.query("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)", {});
    std::vector<SqlRow> rows = c.query("SELECT version FROM schema_version", {});
    if (!rows.empty()) {
        std::int64_t found = toInt(rows.front().front());
        if (found > kSchemaVersion) {
            throw DatabaseError("the database has schema version " + std::to_string(found) +
                                ", newer than this server's " + std::to_string(kSchemaVersion));
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
    c.query("INSERT INTO schema_version (version) VALUES ($1)", {std::int64_t{kSchemaVersion}});
    t.commit();
}

PostOutcome ScoreStore::add(const ScorePost& post, const std::string& address, std::int64_t nowMs,
                            int postsPerMinute) {
    Lease c = lease();
    Transaction t(*c);
    if (postsPerMinute > 0) {
        c->query(
            "INSERT INTO clients (address) VALUES ($1)"
            " ON CONFLICT (address) DO UPDATE SET address = excluded.address",
            {address});
        std::vector<SqlRow> recent =
            c->query("SELECT COUNT(*) FROM scores WHERE address = $1 AND received > $2",
                     {address, nowMs - 60'000});
        if (toInt(recent.front().front()) >= postsPerMinute) return PostOutcome::TooMany;
    }
    c->query(
        "INSERT INTO scores (name, date, score, received, address)"
        " VALUES ($1, $2, $3, $4, $5)",
        {post.name, post.date, std::int64_t{post.score}, nowMs, address});
    t.commit();
    return PostOutcome::Stored;
}

std::vector<RankedScore> ScoreStore::top(int count) {
    Lease c = lease();
    std::vector<RankedScore> list;
    for (SqlRow& row : c->query("SELECT name, date, score FROM scores"
                                " ORDER BY score DESC, received, id LIMIT $1",
                                {std::int64_t{count}})) {
        list.push_back({std::move(row[0]), std::move(row[1]), toInt(row[2])});
    }
    return list;
}

std::int64_t ScoreStore::size() {
    Lease c = lease();
    return toInt(c->query("SELECT COUNT(*) FROM scores", {}).front().front());
}

}  // namespace quintelle::server
