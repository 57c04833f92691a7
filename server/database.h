#pragma once
// One small SQL surface over the two engines the score service runs on, so
// every query is written once: statements use $1, $2, … placeholders, which
// both SQLite and PostgreSQL accept, and values are always bound, never
// spliced into the text.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quintelle::server {

struct DatabaseError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The link to the database broke under a statement; its connection is dead.
struct LinkLost : DatabaseError {
    using DatabaseError::DatabaseError;
};

using SqlValue = std::variant<std::string, std::int64_t>;
using SqlRow = std::vector<std::string>;

class Connection {
  public:
    virtual ~Connection() = default;

    // Runs one statement with bound values; rows come back as text.
    virtual std::vector<SqlRow> query(std::string_view sql,
                                      const std::vector<SqlValue>& values = {}) = 0;

    // Opens a transaction that will write, taking the engine's write lock up
    // front where the engine has one, so two writers never deadlock on upgrade.
    virtual void beginWrite() = 0;

    // Serialises schema changes among several servers starting on one
    // database; call inside beginWrite().
    virtual void lockSchema() = 0;

    // Column definition of an ascending generated row key.
    virtual std::string_view rowKeyColumn() const = 0;

    // False once the link to the database is gone; the connection is then dropped.
    virtual bool usable() const = 0;
};

// A file path opens (or creates) an SQLite database; a postgresql:// or
// postgres:// address connects to PostgreSQL.
std::unique_ptr<Connection> openConnection(const std::string& target);

bool isPostgresAddress(std::string_view target);

// The connections to one database, shared by every request thread and every
// store kept in it. run() lends work a connection; when its link turns out
// lost (the database restarted, a firewall dropped it), the work runs once
// more on a fresh connection before the error reaches the caller.
class Database {
  public:
    explicit Database(std::string target);
    ~Database();
    void run(const std::function<void(Connection&)>& work);

  private:
    class Lease;
    std::string target_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<Connection>> idle_;
};

// A write transaction, rolled back unless committed. A link lost during the
// commit is not LinkLost: the write may have been kept, so it is not redone.
class Transaction {
  public:
    explicit Transaction(Connection& c);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

  private:
    Connection& c_;
    bool open_ = true;
};

}  // namespace quintelle::server
