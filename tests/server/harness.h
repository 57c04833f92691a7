#pragma once
// What the service tests stand up for themselves: temporary folders, a
// throwaway PostgreSQL cluster and quintelle-server processes on loopback.
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace quintelle::testing {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// A private PostgreSQL cluster in a temporary folder, reachable only through
// its Unix socket there. As root the server runs as the postgres system user.
class PgCluster {
  public:
    PgCluster();
    ~PgCluster();
    // Creates an empty database and returns its postgresql:// address.
    std::string newDatabase();
    // Stops the database server, dropping every connection, and starts it again.
    void restart();
    // The process-wide cluster, started on first use.
    static PgCluster& shared();

  private:
    std::string run(const std::vector<std::string>& command);
    void pgCtl(const std::vector<std::string>& args);
    TempDir dir_;
    std::filesystem::path bin_;
    std::string user_;  // empty: run as ourselves
    int databases_ = 0;
};

// Both storage engines the service runs on, for parameterised suites.
enum class Engine { Sqlite, Postgres };
std::string engineName(Engine engine);
// A fresh database of that engine; SQLite files go into folder.
std::string freshDatabase(Engine engine, const std::filesystem::path& folder);

struct Reply {
    int status = 0;
    std::string body;
    std::map<std::string, std::string> headers;  // names in lower case
};

// Sends exactly "GET target HTTP/1.0" with a Host header and reads the
// reply until the server closes, as the game's clients do. extraHeaders are
// whole header lines ("Name: value\r\n"); one naming Host replaces ours.
// from is the loopback address the request comes from. A reply not complete
// within timeout has status 0.
Reply httpGet(int port, const std::string& target, const std::string& extraHeaders = "",
              const std::string& from = "127.0.0.1",
              std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Slow clients: count connections from the given loopback addresses in turn,
// each sending a request that never ends, one byte per interval. Connections
// the server closes are counted and, with reconnect, opened again. All close
// when the object goes.
class Tricklers {
  public:
    Tricklers(int port, int count, std::vector<std::string> from,
              std::chrono::milliseconds interval, bool reconnect);
    ~Tricklers();
    Tricklers(const Tricklers&) = delete;
    Tricklers& operator=(const Tricklers&) = delete;
    int open() const { return open_; }
    int closedByServer() const { return closed_; }

  private:
    void run(int port, int count, std::vector<std::string> from, std::chrono::milliseconds interval,
             bool reconnect);
    std::atomic<bool> stop_ = false;
    std::atomic<int> open_ = 0, closed_ = 0;
    std::thread thread_;
};

// The high-score page as rows, in page order.
struct Row {
    std::string rank, name, score, date;
};
std::vector<Row> rowsOf(const std::string& page);
// The rows of the page of the server on port.
std::vector<Row> page(int port);

// The target of a post, the values put in as they stand (as the game does).
std::string post(const std::string& name, const std::string& date, const std::string& score);

class ServerProcess {
  public:
    // Starts quintelle-server on 127.0.0.1 and a free port with the given
    // extra options; its standard error goes to a file.
    ServerProcess(const std::string& db, std::vector<std::string> options = {});
    ~ServerProcess();
    int port() const { return port_; }
    // Sends the signal, waits, and returns the exit status (-1 when killed
    // by the signal).
    int stop(int signal = 15);
    std::string log() const;

  private:
    pid_t pid_ = -1;
    int port_ = 0;
    TempDir dir_;
};

// Runs the server to completion with the given arguments; status and output.
struct RunResult {
    int status = -1;
    std::string output;  // standard output and error together
};
RunResult runServer(const std::vector<std::string>& args);

}  // namespace quintelle::testing
