#include "server/database.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <string>

namespace quintelle::server {
namespace {

class SqliteConnection final : public Connection {
  public:
    explicit SqliteConnection(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw DatabaseError("cannot open " + path + ": " + message);
        }
        // Readers never wait for the writer in WAL mode; writers of other
        // threads or processes wait up to the busy timeout instead of failing.
        sqlite3_busy_timeout(db_, 10000);
        query("PRAGMA journal_mode=WAL", {});
        query("PRAGMA foreign_keys=ON", {});
    }
    ~SqliteConnection() override { sqlite3_close(db_); }

    std::vector<SqlRow> query(std::string_view sql, const std::vector<SqlValue>& values) override {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement,
                               nullptr) != SQLITE_OK) {
            throw DatabaseError(sqlite3_errmsg(db_));
        }
        std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> guard(statement,
                                                                         sqlite3_finalize);
        for (std::size_t i = 0; i < values.size(); ++i) {
            // Bound by name, so "$2" gets the second value wherever it first appears.
            std::string name = "$" + std::to_string(i + 1);
            int index = sqlite3_bind_parameter_index(statement, name.c_str());
            if (index == 0) continue;
            int rc =
                std::holds_alternative<std::int64_t>(values[i])
                    ? sqlite3_bind_int64(statement, index, std::get<std::int64_t>(values[i]))
                    : sqlite3_bind_text(statement, index, std::get<std::string>(values[i]).data(),
                                        static_cast<int>(std::get<std::string>(values[i]).size()),
                                        SQLITE_TRANSIENT);
            if (rc != SQLITE_OK) throw DatabaseError(sqlite3_errmsg(db_));
        }
        std::vector<SqlRow> rows;
        for (;;) {
            int rc = sqlite3_step(statement);
            if (rc == SQLITE_DONE) break;
            if (rc != SQLITE_ROW) throw DatabaseError(sqlite3_errmsg(db_));
            SqlRow row;
            int columns = sqlite3_column_count(statement);
            for (int c = 0; c < columns; ++c) {
                auto text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                row.emplace_back(text ? std::string(text, sqlite3_column_bytes(statement, c))
                                      : std::string());
            }
            rows.push_back(std::move(row));
        }
        return rows;
    }

    void beginWrite() override { query("BEGIN IMMEDIATE", {}); }
    void lockSchema() override {}  // BEGIN IMMEDIATE already excludes other writers
    std::string_view rowKeyColumn() const override { return "INTEGER PRIMARY KEY AUTOINCREMENT"; }
    bool usable() const override { return true; }

  private:
    sqlite3* db_ = nullptr;
};

class PostgresConnection final : public Connection {
  public:
    explicit PostgresConnection(const std::string& address) : pg_(PQconnectdb(address.c_str())) {
        if (!pg_ || PQstatus(pg_) != CONNECTION_OK) {
            std::string message = pg_ ? PQerrorMessage(pg_) : "out of memory";
            PQfinish(pg_);
            while (!message.empty() && message.back() == '\n') message.pop_back();
            throw DatabaseError("cannot connect to PostgreSQL: " + message);
        }
        // "already exists, skipping" and the like are not worth a log line.
        PQsetNoticeProcessor(
            pg_, [](void*, const char*) {}, nullptr);
    }
    ~PostgresConnection() override { PQfinish(pg_); }

    std::vector<SqlRow> query(std::string_view sql, const std::vector<SqlValue>& values) override {
        std::vector<std::string> texts;
        texts.reserve(values.size());
        for (const SqlValue& v : values) {
            texts.push_back(std::holds_alternative<std::int64_t>(v)
                                ? std::to_string(std::get<std::int64_t>(v))
                                : std::get<std::string>(v));
        }
        std::vector<const char*> pointers;
        std::vector<int> lengths;
        for (const std::string& t : texts) {
            pointers.push_back(t.c_str());
            lengths.push_back(static_cast<int>(t.size()));
        }
        std::unique_ptr<PGresult, decltype(&PQclear)> result(
            PQexecParams(pg_, std::string(sql).c_str(), static_cast<int>(texts.size()), nullptr,
                         pointers.data(), lengths.data(), nullptr, 0),
            PQclear);
        ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
            std::string message = result ? PQresultErrorMessage(result.get()) : PQerrorMessage(pg_);
            while (!message.empty() && message.back() == '\n') message.pop_back();
            if (!usable()) throw LinkLost(message);
            throw DatabaseError(message);
        }
        std::vector<SqlRow> rows;
        int count = PQntuples(result.get());
        int columns = PQnfields(result.get());
        for (int r = 0; r < count; ++r) {
            SqlRow row;
            for (int c = 0; c < columns; ++c) {
                row.emplace_back(PQgetvalue(result.get(), r, c), PQgetlength(result.get(), r, c));
            }
            rows.push_back(std::move(row));
        }
        return rows;
    }

    void beginWrite() override { query("BEGIN", {}); }
    // Any fixed key works; it only has to be the same for every server copy.
    void lockSchema() override { query("SELECT pg_advisory_xact_lock(7305416)", {}); }
    std::string_view rowKeyColumn() const override {
        return "BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY";
    }
    bool usable() const override { return PQstatus(pg_) == CONNECTION_OK; }

  private:
    PGconn* pg_;
};

}  // namespace

bool isPostgresAddress(std::string_view target) {
    return target.starts_with("postgresql://") || target.starts_with("postgres://");
}

std::unique_ptr<Connection> openConnection(const std::string& target) {
    if (isPostgresAddress(target)) return std::make_unique<PostgresConnection>(target);
    return std::make_unique<SqliteConnection>(target);
}

// A connection for one piece of work, back to the pool afterwards unless its
// link broke.
class Database::Lease {
  public:
    Lease(Database& db, std::unique_ptr<Connection> c) : db_(db), c_(std::move(c)) {}
    ~Lease() {
        if (c_->usable()) {
            std::lock_guard lock(db_.mutex_);
            db_.idle_.push_back(std::move(c_));
        }
    }
    Connection& operator*() { return *c_; }

  private:
    Database& db_;
    std::unique_ptr<Connection> c_;
};

Database::Database(std::string target) : target_(std::move(target)) {}

Database::~Database() = default;

void Database::run(const std::function<void(Connection&)>& work) {
    std::unique_ptr<Connection> pooled;
    {
        std::lock_guard lock(mutex_);
        if (!idle_.empty()) {
            pooled = std::move(idle_.back());
            idle_.pop_back();
        }
    }
    if (pooled) {
        try {
            Lease c(*this, std::move(pooled));
            work(*c);
            return;
        } catch (const LinkLost&) {
            // The other idle links are as old as this one: let them go too.
            std::lock_guard lock(mutex_);
            idle_.clear();
        }
    }
    Lease c(*this, openConnection(target_));
    work(*c);
}

Transaction::Transaction(Connection& c) : c_(c) {
    c_.beginWrite();
}

Transaction::~Transaction() {
    if (!open_) return;
    try {
        c_.query("ROLLBACK", {});
    } catch (const DatabaseError&) {
    }
}

void Transaction::commit() {
    try {
        c_.query("COMMIT", {});
    } catch (const LinkLost& e) {
        throw DatabaseError(std::string("link lost while committing: ") + e.what());
    }
    open_ = false;
}

}  // namespace quintelle::server
