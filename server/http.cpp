#include "server/http.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netdb.h>
#include <strings.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "server/text.h"

namespace quintelle::server {

using Clock = std::chrono::steady_clock;

Response::Response(Response&& other) noexcept {
    *this = std::move(other);
}

Response& Response::operator=(Response&& other) noexcept {
    if (this == &other) return *this;
    if (file >= 0) close(file);
    status = other.status;
    contentType = std::move(other.contentType);
    body = std::move(other.body);
    headers = std::move(other.headers);
    file = std::exchange(other.file, -1);
    fileSize = other.fileSize;
    return *this;
}

Response::~Response() {
    if (file >= 0) close(file);
}

Response Response::text(int status, std::string body) {
    Response r;
    r.status = status;
    r.body = std::move(body);
    return r;
}

std::string canonicalAddress(std::string_view text) {
    std::string s(text);
    char out[INET6_ADDRSTRLEN];
    in_addr v4;
    in6_addr v6;
    if (inet_pton(AF_INET, s.c_str(), &v4) == 1) {
        return inet_ntop(AF_INET, &v4, out, sizeof out);
    }
    if (inet_pton(AF_INET6, s.c_str(), &v6) != 1) return {};
    if (IN6_IS_ADDR_V4MAPPED(&v6)) {
        std::memcpy(&v4, v6.s6_addr + 12, 4);
        return inet_ntop(AF_INET, &v4, out, sizeof out);
    }
    return inet_ntop(AF_INET6, &v6, out, sizeof out);
}

std::string clientAddress(const std::string& peer, std::string_view forwardedFor,
                          const std::vector<std::string>& trusted) {
    auto isTrusted = [&](const std::string& a) {
        return std::find(trusted.begin(), trusted.end(), a) != trusted.end();
    };
    std::string client = peer;
    // Each proxy appends the address it was reached from; walk back from the
    // right while the hop was one of ours.
    while (isTrusted(client) && !forwardedFor.empty()) {
        std::size_t comma = forwardedFor.rfind(',');
        std::string_view last =
            comma == std::string_view::npos ? forwardedFor : forwardedFor.substr(comma + 1);
        forwardedFor = comma == std::string_view::npos ? "" : forwardedFor.substr(0, comma);
        while (!last.empty() && (last.front() == ' ' || last.front() == '\t'))
            last.remove_prefix(1);
        while (!last.empty() && (last.back() == ' ' || last.back() == '\t')) last.remove_suffix(1);
        std::string address = canonicalAddress(last);
        if (address.empty()) break;
        client = address;
    }
    return client;
}

namespace {

// One TCP connection, from its start to its close.
struct Connection {
    int fd = -1;
    std::string peer;
    std::string target;       // of the request being read or answered
    Clock::time_point since;  // when its current request began
    Clock::time_point handlerStart;
    bool reading = true;     // the request head is still arriving
    bool cut = false;        // closed for missing its deadline
    bool answering = false;  // counted in busy until the answer is out
};

std::string peerText(const sockaddr* address) {
    char out[INET6_ADDRSTRLEN] = "";
    if (address->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, out,
                  sizeof out);
    } else if (address->sa_family == AF_INET6) {
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, out,
                  sizeof out);
    }
    return canonicalAddress(out);
}

}  // namespace

struct HttpServer::State {
    std::unordered_map<std::string, Handler> routes;
    HttpLimits limits;
    std::ostream* log = nullptr;
    std::mutex logMutex;

    MHD_Daemon* daemon = nullptr;
    int listenFd = -1;

    std::mutex mutex;  // guards the two below and every Connection's flags
    std::unordered_set<Connection*> connections;
    std::unordered_map<std::string, int> perAddress;
    std::atomic<int> busy = 0;  // requests being answered

    std::thread reaper;
    std::mutex reaperMutex;
    std::condition_variable reaperWake;
    bool stopping = false;

    bool trusted(const std::string& address) const {
        return std::find(limits.trustedProxies.begin(), limits.trustedProxies.end(), address) !=
               limits.trustedProxies.end();
    }

    // Cuts every connection whose request head is overdue. Shutting the
    // socket down (not closing it) makes the event loop see the end of the
    // stream and close it in its own time; the lock keeps the descriptor ours.
    void reap() {
        std::unique_lock wait(reaperMutex);
        while (
            !reaperWake.wait_for(wait, std::chrono::milliseconds(100), [&] { return stopping; })) {
            auto now = Clock::now();
            std::lock_guard lock(mutex);
            for (Connection* c : connections) {
                if (c->reading && !c->cut && now - c->since > limits.request) {
                    shutdown(c->fd, SHUT_RDWR);
                    c->cut = true;
                }
            }
        }
    }

    void logLine(const Request& req, int status, double ms) {
        if (!log) return;
        auto wall = std::chrono::system_clock::now();
        std::time_t seconds = std::chrono::system_clock::to_time_t(wall);
        std::tm utc{};
        gmtime_r(&seconds, &utc);
        char stamp[40];
        std::size_t n = std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &utc);
        auto millis =
            std::chrono::duration_cast<std::chrono::milliseconds>(wall.time_since_epoch()).count() %
            1000;
        std::snprintf(stamp + n, sizeof stamp - n, ".%03dZ", static_cast<int>(millis));
        char tail[48];
        std::snprintf(tail, sizeof tail, " %d %.1fms\n", status, ms);
        std::string line = std::string(stamp) + " " + printable(req.client) + " " +
                           printable(req.method) + " " + printable(req.target) + tail;
        std::lock_guard guard(logMutex);
        *log << line << std::flush;
    }

    Response dispatch(const Request& req) {
        auto route = routes.find(req.path);
        if (route == routes.end()) return Response::text(404, "Not found.\n");
        if (req.method != "GET" && req.method != "HEAD") {
            Response r = Response::text(405, "Only GET and HEAD are answered here.\n");
            r.headers.emplace_back("Allow", "GET, HEAD");
            return r;
        }
        try {
            return route->second(req);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "quintelle-server: %s\n", printable(e.what()).c_str());
        } catch (...) {
        }
        return Response::text(500, "Internal error.\n");
    }
};

namespace {

using State = HttpServer::State;

MHD_Result acceptPolicy(void* cls, const sockaddr* address, socklen_t) {
    auto* s = static_cast<State*>(cls);
    if (s->limits.connectionsPerAddress <= 0) return MHD_YES;
    std::string peer = peerText(address);
    if (s->trusted(peer)) return MHD_YES;
    std::lock_guard lock(s->mutex);
    auto found = s->perAddress.find(peer);
    bool full = found != s->perAddress.end() && found->second >= s->limits.connectionsPerAddress;
    return full ? MHD_NO : MHD_YES;
}

void connectionEvent(void* cls, MHD_Connection* connection, void** context,
                     MHD_ConnectionNotificationCode code) {
    auto* s = static_cast<State*>(cls);
    if (code == MHD_CONNECTION_NOTIFY_STARTED) {
        auto* c = new Connection;
        const MHD_ConnectionInfo* fd =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
        const MHD_ConnectionInfo* address =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
        c->fd = fd ? fd->connect_fd : -1;
        c->peer = address ? peerText(address->client_addr) : std::string();
        c->since = Clock::now();
        std::lock_guard lock(s->mutex);
        s->connections.insert(c);
        ++s->perAddress[c->peer];
        *context = c;
        return;
    }
    auto* c = static_cast<Connection*>(*context);
    if (!c) return;
    std::lock_guard lock(s->mutex);
    s->connections.erase(c);
    if (--s->perAddress[c->peer] <= 0) s->perAddress.erase(c->peer);
    if (c->answering) --s->busy;
    delete c;
    *context = nullptr;
}

Connection* connectionOf(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    return info ? static_cast<Connection*>(info->socket_context) : nullptr;
}

// Called with the request target as sent, before it is decoded or split.
void* requestBegins(void* cls, const char* uri, MHD_Connection* connection) {
    auto* s = static_cast<State*>(cls);
    Connection* c = connectionOf(connection);
    if (!c) return nullptr;
    std::lock_guard lock(s->mutex);
    c->target = uri;
    return c;
}

void requestEnds(void* cls, MHD_Connection*, void** context, MHD_RequestTerminationCode) {
    auto* s = static_cast<State*>(cls);
    auto* c = static_cast<Connection*>(*context);
    if (!c) return;
    std::lock_guard lock(s->mutex);
    // A connection kept open waits for its next request under the same deadline.
    c->since = Clock::now();
    c->reading = true;
    if (c->answering) --s->busy;
    c->answering = false;
}

MHD_Result collectForwarded(void* cls, MHD_ValueKind, const char* key, const char* value) {
    if (strcasecmp(key, "X-Forwarded-For") == 0 && value) {
        auto* joined = static_cast<std::string*>(cls);
        if (!joined->empty()) *joined += ",";
        *joined += value;
    }
    return MHD_YES;
}

MHD_Result answer(void* cls, MHD_Connection* connection, const char*, const char* method,
                  const char*, const char*, std::size_t* uploadSize, void** context) {
    auto* s = static_cast<State*>(cls);
    auto* c = static_cast<Connection*>(*context);
    if (!c) return MHD_NO;
    {
        std::lock_guard lock(s->mutex);
        if (c->answering) {
            *uploadSize = 0;  // a body nobody asked for is dropped
            return MHD_YES;
        }
        if (c->cut) return MHD_NO;
        c->reading = false;
        c->answering = true;
        ++s->busy;
    }
    auto start = Clock::now();
    Request req;
    req.method = method;
    req.target = c->target;
    req.path = req.target.substr(0, req.target.find('?'));
    req.client = c->peer;
    if (s->trusted(c->peer)) {
        std::string forwarded;
        MHD_get_connection_values(connection, MHD_HEADER_KIND, collectForwarded, &forwarded);
        req.client = clientAddress(c->peer, forwarded, s->limits.trustedProxies);
    }
    Response res = s->dispatch(req);

    MHD_Response* out =
        res.file >= 0 ? MHD_create_response_from_fd64(res.fileSize, std::exchange(res.file, -1))
                      : MHD_create_response_from_buffer(res.body.size(), res.body.data(),
                                                        MHD_RESPMEM_MUST_COPY);
    if (!out) return MHD_NO;
    MHD_add_response_header(out, MHD_HTTP_HEADER_CONTENT_TYPE, res.contentType.c_str());
    for (const auto& [name, value] : res.headers) {
        MHD_add_response_header(out, name.c_str(), value.c_str());
    }
    MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(res.status), out);
    MHD_destroy_response(out);
    s->logLine(req, res.status,
               std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    return queued;
}

// Descriptors for connections: all the process may open, less a reserve for
// database links and served files.
unsigned connectionLimit() {
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);
    getrlimit(RLIMIT_NOFILE, &files);
    rlim_t usable = files.rlim_cur > 256 ? files.rlim_cur - 128 : files.rlim_cur / 2;
    return static_cast<unsigned>(std::min<rlim_t>(usable, 100000));
}

}  // namespace

HttpServer::HttpServer(HttpLimits limits, std::ostream* log) : state_(std::make_unique<State>()) {
    for (std::string& a : limits.trustedProxies) a = canonicalAddress(a);
    state_->limits = std::move(limits);
    state_->log = log;
}

HttpServer::~HttpServer() {
    stop(std::chrono::milliseconds(0));
}

int HttpServer::bind(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (int rc = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found); rc != 0) {
        throw std::system_error(std::make_error_code(std::errc::invalid_argument),
                                gai_strerror(rc));
    }
    int error = EADDRNOTAVAIL;
    for (addrinfo* a = found; a && state_->listenFd < 0; a = a->ai_next) {
        int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        // Address reuse lets a restart bind at once, but no port sharing: a
        // second server on a busy port must fail rather than split the traffic.
        int on = 1;
        if (fd >= 0 && setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0 &&
            ::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, 511) == 0) {
            state_->listenFd = fd;
        } else {
            error = errno;
            if (fd >= 0) close(fd);
        }
    }
    freeaddrinfo(found);
    if (state_->listenFd < 0) throw std::system_error(error, std::generic_category());

    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    getsockname(state_->listenFd, reinterpret_cast<sockaddr*>(&bound), &length);
    return ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                             : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
}

void HttpServer::start(std::vector<Route> routes) {
    State* s = state_.get();
    for (Route& r : routes) s->routes.emplace(std::move(r.path), std::move(r.handler));
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    getsockname(s->listenFd, reinterpret_cast<sockaddr*>(&bound), &length);
    s->daemon = MHD_start_daemon(
        MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_USE_ITC |
            (bound.ss_family == AF_INET6 ? MHD_USE_IPv6 : 0),
        0, acceptPolicy, s, answer, s, MHD_OPTION_LISTEN_SOCKET, state_->listenFd,
        MHD_OPTION_THREAD_POOL_SIZE, static_cast<unsigned>(std::max(1, s->limits.threads)),
        MHD_OPTION_CONNECTION_TIMEOUT, static_cast<unsigned>(s->limits.idle.count()),
        MHD_OPTION_CONNECTION_LIMIT, connectionLimit(), MHD_OPTION_NOTIFY_CONNECTION,
        connectionEvent, s, MHD_OPTION_URI_LOG_CALLBACK, requestBegins, s,
        MHD_OPTION_NOTIFY_COMPLETED, requestEnds, s, MHD_OPTION_END);
    if (!s->daemon) {
        close(state_->listenFd);
        state_->listenFd = -1;
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                                "the HTTP daemon did not start");
    }
    s->reaper = std::thread([s] { s->reap(); });
}

void HttpServer::stop(std::chrono::milliseconds grace) {
    State* s = state_.get();
    if (!s->daemon) {
        if (s->listenFd >= 0) close(s->listenFd);  // bound, never started
        s->listenFd = -1;
        return;
    }
    MHD_quiesce_daemon(s->daemon);
    auto deadline = Clock::now() + grace;
    while (s->busy > 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    MHD_stop_daemon(s->daemon);
    s->daemon = nullptr;
    close(s->listenFd);
    s->listenFd = -1;
    {
        std::lock_guard lock(s->reaperMutex);
        s->stopping = true;
    }
    s->reaperWake.notify_all();
    s->reaper.join();
}

}  // namespace quintelle::server
