#include "tests/server/harness.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace quintelle::testing {
namespace {

struct Spawned {
    pid_t pid;
    int output;  // read end of the child's standard output
};

// Starts program with args; stdout to a pipe, stderr to errorFile (or the
// same pipe when empty).
Spawned spawn(const std::vector<std::string>& args, const std::string& errorFile) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    if (errorFile.empty()) {
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    } else {
        posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (rc != 0) {
        close(pipeFds[0]);
        throw std::runtime_error("cannot start " + args[0]);
    }
    return {pid, pipeFds[0]};
}

int waitStatus(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readAll(int fd) {
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
}

std::filesystem::path postgresBin() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", error)) {
        if (std::filesystem::exists(entry.path() / "bin" / "initdb")) return entry.path() / "bin";
    }
    throw std::runtime_error("PostgreSQL server programs not found; run scripts/bootstrap");
}

}  // namespace

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quintelle-srv-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

PgCluster::PgCluster() : bin_(postgresBin()) {
    if (geteuid() == 0) {
        // The database server refuses to run as root.
        user_ = getpwnam("postgres") ? "postgres" : "nobody";
        passwd* account = getpwnam(user_.c_str());
        if (!account || chown(dir_.path().c_str(), account->pw_uid, account->pw_gid) != 0) {
            throw std::runtime_error("cannot hand the cluster folder to " + user_);
        }
    }
    std::string data = (dir_.path() / "data").string();
    run({(bin_ / "initdb").string(), "-D", data, "-U", "quintelle", "-A", "trust", "--no-sync",
         "-E", "UTF8", "--locale=C"});
    pgCtl({"start"});
}

void PgCluster::pgCtl(const std::vector<std::string>& args) {
    // No TCP listener at all: the socket lives in our folder, so parallel
    // test programs never collide.
    std::vector<std::string> command = {
        (bin_ / "pg_ctl").string(),
        "-D",
        (dir_.path() / "data").string(),
        "-w",
        "-s",
        "-l",
        (dir_.path() / "log").string(),
        "-o",
        "-c listen_addresses= -c unix_socket_directories=" + dir_.path().string() +
            " -c fsync=off -c max_connections=200 -p 5432"};
    command.insert(command.end(), args.begin(), args.end());
    run(command);
}

void PgCluster::restart() {
    pgCtl({"-m", "fast", "restart"});
}

PgCluster::~PgCluster() {
    try {
        run({(bin_ / "pg_ctl").string(), "-D", (dir_.path() / "data").string(), "-w", "-s", "-m",
             "immediate", "stop"});
    } catch (const std::exception&) {
    }
}

std::string PgCluster::run(const std::vector<std::string>& command) {
    std::vector<std::string> args = command;
    if (!user_.empty()) args.insert(args.begin(), {"/usr/sbin/runuser", "-u", user_, "--"});
    Spawned child = spawn(args, "");
    std::string output = readAll(child.output);
    close(child.output);
    if (waitStatus(child.pid) != 0) {
        throw std::runtime_error(command.front() + " failed: " + output);
    }
    return output;
}

std::string PgCluster::newDatabase() {
    std::string name = "scores" + std::to_string(++databases_);
    run({(bin_ / "psql").string(), "-q", "-h", dir_.path().string(), "-p", "5432", "-U",
         "quintelle", "-d", "postgres", "-c", "CREATE DATABASE " + name});
    return "postgresql://quintelle@/" + name + "?host=" + dir_.path().string() + "&port=5432";
}

PgCluster& PgCluster::shared() {
    static PgCluster cluster;
    return cluster;
}

std::string engineName(Engine engine) {
    return engine == Engine::Sqlite ? "SQLite" : "PostgreSQL";
}

std::string freshDatabase(Engine engine, const std::filesystem::path& folder) {
    if (engine == Engine::Postgres) return PgCluster::shared().newDatabase();
    static int files = 0;
    return (folder / ("scores" + std::to_string(++files) + ".db")).string();
}

namespace {

// A connected socket to the server, from a loopback address of our choice; -1
// when the connection fails.
int connectFrom(int port, const std::string& from) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (inet_pton(AF_INET, from.c_str(), &local.sin_addr) != 1 ||
        bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

Reply httpGet(int port, const std::string& target, const std::string& extraHeaders,
              const std::string& from, std::chrono::milliseconds timeout) {
    Reply reply;
    int fd = connectFrom(port, from);
    if (fd < 0) return reply;
    std::string host = extraHeaders.find("Host:") == std::string::npos
                           ? "Host: 127.0.0.1:" + std::to_string(port) + "\r\n"
                           : "";
    std::string request =
        "GET " + target + " HTTP/1.0\r\n" + host + "Accept: */*\r\n" + extraHeaders + "\r\n";
    for (std::size_t sent = 0; sent < request.size();) {
        ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    std::string raw;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            close(fd);
            return reply;  // not complete in time
        }
        char buffer[65536];
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        raw.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    std::size_t end = raw.find("\r\n\r\n");
    if (end == std::string::npos || raw.size() < 12) return reply;
    reply.status = std::atoi(raw.substr(9, 3).c_str());
    reply.body = raw.substr(end + 4);
    std::istringstream lines(raw.substr(0, end));
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string name = line.substr(0, colon);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        if (!value.empty() && value.back() == '\r') value.pop_back();
        reply.headers[name] = value;
    }
    return reply;
}

std::vector<Row> rowsOf(const std::string& page) {
    static const std::regex row(
        R"(<tr><td align="right">(\d+)</td><td>([^<]*)</td><td align="right">(-?\d+)</td><td>([^<]*)</td></tr>)");
    std::vector<Row> rows;
    for (std::sregex_iterator i(page.begin(), page.end(), row), end; i != end; ++i) {
        rows.push_back({(*i)[1], (*i)[2], (*i)[3], (*i)[4]});
    }
    return rows;
}

std::vector<Row> page(int port) {
    Reply reply = httpGet(port, "/counter/quintelle.shtml");
    if (reply.status != 200) throw std::runtime_error("no high-score page: " + reply.body);
    return rowsOf(reply.body);
}

std::string post(const std::string& name, const std::string& date, const std::string& score) {
    return "/cgi-bin/quintelle.cgi?name=" + name + "&date=" + date + "&score=" + score;
}

Tricklers::Tricklers(int port, int count, std::vector<std::string> from,
                     std::chrono::milliseconds interval, bool reconnect)
    : thread_(&Tricklers::run, this, port, count, std::move(from), interval, reconnect) {
    // Returns once every connection has been tried.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (open_ + closed_ < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

Tricklers::~Tricklers() {
    stop_ = true;
    thread_.join();
}

void Tricklers::run(int port, int count, std::vector<std::string> from,
                    std::chrono::milliseconds interval, bool reconnect) {
    static const std::string request =
        "GET /counter/quintelle.shtml HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ";
    struct Slow {
        int fd = -1;
        std::size_t sent = 0;
    };
    std::vector<Slow> slow(static_cast<std::size_t>(count));
    auto opening = [&](std::size_t i) {
        slow[i] = {connectFrom(port, from[i % from.size()]), 0};
        if (slow[i].fd < 0) {
            ++closed_;
        } else {
            ++open_;
        }
    };
    for (std::size_t i = 0; i < slow.size(); ++i) opening(i);
    auto nextByte = std::chrono::steady_clock::now();
    while (!stop_) {
        std::vector<pollfd> watched;
        for (const Slow& s : slow) watched.push_back({s.fd, POLLIN, 0});
        poll(watched.data(), watched.size(), 20);
        bool sendNow = std::chrono::steady_clock::now() >= nextByte;
        if (sendNow) nextByte += interval;
        for (std::size_t i = 0; i < slow.size(); ++i) {
            Slow& s = slow[i];
            if (s.fd < 0) {
                if (reconnect) opening(i);
                continue;
            }
            char c;
            bool gone = (watched[i].revents & (POLLIN | POLLHUP | POLLERR)) &&
                        recv(s.fd, &c, 1, MSG_DONTWAIT) <= 0;
            if (!gone && sendNow) {
                char byte = s.sent < request.size() ? request[s.sent] : 'a';
                gone = send(s.fd, &byte, 1, MSG_NOSIGNAL | MSG_DONTWAIT) != 1;
                ++s.sent;
            }
            if (gone) {
                close(s.fd);
                s.fd = -1;
                --open_;
                ++closed_;
            }
        }
    }
    for (const Slow& s : slow) {
        if (s.fd >= 0) close(s.fd);
    }
}

ServerProcess::ServerProcess(const std::string& db, std::vector<std::string> options) {
    std::vector<std::string> args = {QUINTELLE_SERVER_BINARY, "--listen", "127.0.0.1:0", "--db",
                                     db};
    args.insert(args.end(), options.begin(), options.end());
    Spawned child = spawn(args, (dir_.path() / "stderr.log").string());
    pid_ = child.pid;
    // The first line names the port the kernel picked.
    std::string line;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd p{child.output, POLLIN, 0};
        if (poll(&p, 1, 200) <= 0) continue;
        char c[256];
        ssize_t n = read(child.output, c, sizeof c);
        if (n <= 0) break;
        line.append(c, static_cast<std::size_t>(n));
    }
    close(child.output);
    std::size_t colon = line.rfind(':');
    if (line.find("listening on") == std::string::npos || colon == std::string::npos) {
        stop();
        throw std::runtime_error("server did not start: " + line + log());
    }
    port_ = std::atoi(line.c_str() + colon + 1);
}

ServerProcess::~ServerProcess() {
    if (pid_ > 0) stop();
}

int ServerProcess::stop(int signal) {
    if (pid_ <= 0) return -1;
    kill(pid_, signal);
    int status = waitStatus(pid_);
    pid_ = -1;
    return status;
}

std::string ServerProcess::log() const {
    std::ifstream file(dir_.path() / "stderr.log");
    return std::string(std::istreambuf_iterator<char>(file), {});
}

RunResult runServer(const std::vector<std::string>& args) {
    std::vector<std::string> full = {QUINTELLE_SERVER_BINARY};
    full.insert(full.end(), args.begin(), args.end());
    Spawned child = spawn(full, "");
    RunResult result;
    // A server that unexpectedly starts serving is stopped after a while.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        pollfd p{child.output, POLLIN, 0};
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child.pid, SIGKILL);
            break;
        }
        if (poll(&p, 1, 100) <= 0) continue;
        char buffer[4096];
        ssize_t n = read(child.output, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno != EINTR)) break;
        if (n > 0) result.output.append(buffer, static_cast<std::size_t>(n));
    }
    close(child.output);
    result.status = waitStatus(child.pid);
    return result;
}

}  // namespace quintelle::testing
