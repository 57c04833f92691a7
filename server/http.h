#pragma once
// The service's HTTP layer for the open internet, over GNU libmicrohttpd: a
// few threads each watch many connections, so slow clients hold no thread;
// every request must arrive whole within a deadline; an address may hold
// only so many connections at once; routes are one table of exact paths.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quintelle::server {

struct Request {
    std::string method;
    std::string target;  // as sent: path and query, nothing decoded
    std::string path;    // target up to any "?"
    // The address posts are counted by: the peer's, or the address a trusted
    // proxy forwarded for it.
    std::string client;
};

struct Response {
    int status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    // A body read from an open file instead (owned: closed after sending).
    int file = -1;
    std::uint64_t fileSize = 0;

    Response() = default;
    Response(Response&& other) noexcept;
    Response& operator=(Response&& other) noexcept;
    ~Response();

    static Response text(int status, std::string body);
};

using Handler = std::function<Response(const Request&)>;

// GET and HEAD of one exact path.
struct Route {
    std::string path;
    Handler handler;
};

struct HttpLimits {
    std::chrono::milliseconds request = std::chrono::seconds(10);  // whole request head
    std::chrono::seconds idle =
        std::chrono::seconds(30);             // silence while answering or between requests
    int connectionsPerAddress = 32;           // 0: no limit
    int threads = 8;                          // handlers may wait on the database
    std::vector<std::string> trustedProxies;  // numeric addresses
};

// Numeric address text in one form: IPv4 dotted (also for IPv4-mapped IPv6),
// IPv6 compressed; empty when text is not an address.
std::string canonicalAddress(std::string_view text);

// The client behind forwardedFor (X-Forwarded-For values joined by ",") when
// the peer is a trusted proxy: the rightmost address no trusted proxy added.
// The peer itself otherwise, or when the header holds no usable address.
std::string clientAddress(const std::string& peer, std::string_view forwardedFor,
                          const std::vector<std::string>& trusted);

class HttpServer {
  public:
    // log gets one line per answered request; may be null.
    HttpServer(HttpLimits limits, std::ostream* log);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds host:port (port 0: a free one) and returns the port. Throws
    // std::system_error naming the cause.
    int bind(const std::string& host, int port);

    // Serves routes on the bound port from now on.
    void start(std::vector<Route> routes);

    // Stops taking connections, lets answers under way go out (for up to
    // grace), then closes everything.
    void stop(std::chrono::milliseconds grace = std::chrono::seconds(5));

    struct State;

  private:
    std::unique_ptr<State> state_;
};

}  // namespace quintelle::server
