#pragma once
// A scripted HTTP peer for network tests. It listens on 127.0.0.1 on a port
// the system picks, records the raw bytes of every request it reads and
// answers each connection with scripted bytes: whole, in pieces with pauses
// between them, cut short by an early close, or not at all.
//
// In a GoogleTest test:
//
//     ScriptedServer server;
//     server.script({Reply::ok("hello"), Reply().send("HTTP/1.0 200 OK\r\n\r\n").hangUp()});
//     ... point the client at "http://127.0.0.1:" + std::to_string(server.port()) ...
//     ASSERT_TRUE(server.waitForRequests(1));
//     EXPECT_EQ(server.requests()[0].bytes, "GET / HTTP/1.0\r\n...");
//
// The n-th request read is answered with the n-th reply of the script; once
// the script is used up, the last reply answers every further request (an
// empty script closes each connection after reading its request). Each
// connection is served on a thread of its own, so overlapping clients work.
// The destructor (or stop()) ends every pause at once and closes everything.
//
// For whole-program tests the same server runs as a process:
// `scripted_server SCRIPT RECORD_DIR` (see scripted_server_main.cpp).
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quintelle::testsupport {

using std::chrono::milliseconds;

// What the server does with one request: a list of steps run in order.
class Reply {
  public:
    struct Step {
        enum Kind { Send, Pause, Close } kind;
        std::string bytes;      // Send
        milliseconds pause{0};  // Pause
    };

    // "HTTP/1.0 <status>" with Content-Length and the body, then close.
    static Reply ok(const std::string& body, const std::string& contentType = "text/html");
    static Reply status(int code, const std::string& reason, const std::string& body);
    // Read the request, then close without a byte of answer.
    static Reply hangUp() { return Reply().close(); }
    // Read the request and send nothing until the server stops.
    static Reply silence() { return Reply().pause(milliseconds::max()); }

    Reply& send(std::string bytes);
    Reply& pause(milliseconds ms);
    // Close here; later steps are not run.
    Reply& close();
    // After the steps, keep the connection and read the next request on it
    // (answered by the next reply of the script) instead of closing.
    Reply& keepAlive();
    // Answer as soon as the connection is accepted, without reading a request.
    Reply& withoutRequest();

    const std::vector<Step>& steps() const { return steps_; }
    bool keepsAlive() const { return keepAlive_; }
    bool readsRequest() const { return readRequest_; }

  private:
    std::vector<Step> steps_;
    bool keepAlive_ = false;
    bool readRequest_ = true;
};

struct RecordedRequest {
    int connection;     // 0 for the first connection accepted, and so on
    std::string bytes;  // head and body exactly as received
};

class ScriptedServer {
  public:
    // Starts listening on 127.0.0.1 (or ::1 when ipv6) at once.
    explicit ScriptedServer(std::vector<Reply> script = {}, bool ipv6 = false);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    // Replaces the script; requests already answered are not replayed.
    void script(std::vector<Reply> replies);
    std::uint16_t port() const { return port_; }
    // "http://127.0.0.1:PORT" (or "http://[::1]:PORT").
    std::string origin() const;
    // "127.0.0.1:PORT": the host[:port] form.
    std::string hostPort() const;

    std::vector<RecordedRequest> requests() const;
    int connections() const;
    // True once at least n requests have been read completely.
    bool waitForRequests(std::size_t n, milliseconds timeout = milliseconds(10000)) const;
    bool waitForConnections(int n, milliseconds timeout = milliseconds(10000)) const;

    // Called with each request once it has been read whole, on the
    // connection's thread, before it is answered.
    void onRequest(std::function<void(const RecordedRequest&)> sink);

    void stop();

  private:
    void acceptLoop();
    void serve(int fd, int connection);
    bool readRequest(int fd, std::string& request);
    bool sleepFor(milliseconds ms);  // false when stopped meanwhile
    Reply replyFor(std::size_t turn) const;

    int listenFd_ = -1;
    int wakeFds_[2] = {-1, -1};  // pipe written by stop() to wake every poll
    bool ipv6_ = false;
    std::uint16_t port_ = 0;
    std::thread acceptor_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool stopping_ = false;
    std::vector<Reply> script_;
    std::vector<RecordedRequest> requests_;
    std::size_t turns_ = 0;  // replies handed out so far
    int connections_ = 0;
    std::vector<std::thread> workers_;
    std::function<void(const RecordedRequest&)> sink_;
};

}  // namespace quintelle::testsupport
