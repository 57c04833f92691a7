#include "tests/support/scripted_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <stdexcept>

namespace quintelle::testsupport {

Reply Reply::ok(const std::string& body, const std::string& contentType) {
    return Reply().send("HTTP/1.0 200 OK\r\nContent-Type: " + contentType +
                        "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
}

Reply Reply::status(int code, const std::string& reason, const std::string& body) {
    return Reply().send("HTTP/1.0 " + std::to_string(code) + " " + reason +
                        "\r\nContent-Type: text/html\r\nContent-Length: " +
                        std::to_string(body.size()) + "\r\n\r\n" + body);
}

Reply& Reply::send(std::string bytes) {
    steps_.push_back({Step::Send, std::move(bytes), milliseconds(0)});
    return *this;
}

Reply& Reply::pause(milliseconds ms) {
    steps_.push_back({Step::Pause, {}, ms});
    return *this;
}

Reply& Reply::close() {
    steps_.push_back({Step::Close, {}, milliseconds(0)});
    return *this;
}

Reply& Reply::keepAlive() {
    keepAlive_ = true;
    return *this;
}

Reply& Reply::withoutRequest() {
    readRequest_ = false;
    return *this;
}

namespace {

// Content-Length of a request head, 0 when absent or unreadable.
std::size_t contentLength(const std::string& head) {
    std::string lower(head);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto at = lower.find("\r\ncontent-length:");
    if (at == std::string::npos) return 0;
    return std::strtoul(lower.c_str() + at + 17, nullptr, 10);
}

}  // namespace

ScriptedServer::ScriptedServer(std::vector<Reply> script, bool ipv6)
    : ipv6_(ipv6), script_(std::move(script)) {
    if (pipe(wakeFds_) != 0) throw std::runtime_error("scripted server: pipe failed");
    listenFd_ = socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) throw std::runtime_error("scripted server: socket failed");
    int rc;
    if (ipv6) {
        sockaddr_in6 addr{};
        addr.sin6_family = AF_INET6;
        addr.sin6_addr = in6addr_loopback;
        rc = bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin6_port);
    } else {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        rc = bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
    }
    if (rc != 0 || listen(listenFd_, 64) != 0) {
        ::close(listenFd_);
        throw std::runtime_error("scripted server: cannot listen on the loopback address");
    }
    acceptor_ = std::thread([this] { acceptLoop(); });
}

ScriptedServer::~ScriptedServer() {
    stop();
}

void ScriptedServer::stop() {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        stopping_ = true;
    }
    changed_.notify_all();
    // Never read: the pipe stays readable and wakes every poll from now on.
    [[maybe_unused]] auto n = write(wakeFds_[1], "x", 1);
    acceptor_.join();
    for (auto& worker : workers_) worker.join();
    ::close(listenFd_);
    ::close(wakeFds_[0]);
    ::close(wakeFds_[1]);
}

void ScriptedServer::script(std::vector<Reply> replies) {
    std::lock_guard lock(mutex_);
    script_ = std::move(replies);
}

std::string ScriptedServer::origin() const {
    return "http://" + hostPort();
}

std::string ScriptedServer::hostPort() const {
    return (ipv6_ ? "[::1]:" : "127.0.0.1:") + std::to_string(port_);
}

std::vector<RecordedRequest> ScriptedServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

int ScriptedServer::connections() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

bool ScriptedServer::waitForRequests(std::size_t n, milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return requests_.size() >= n; });
}

bool ScriptedServer::waitForConnections(int n, milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return connections_ >= n; });
}

void ScriptedServer::onRequest(std::function<void(const RecordedRequest&)> sink) {
    std::lock_guard lock(mutex_);
    sink_ = std::move(sink);
}

Reply ScriptedServer::replyFor(std::size_t turn) const {
    std::lock_guard lock(mutex_);
    if (script_.empty()) return Reply::hangUp();
    return script_[std::min(turn, script_.size() - 1)];
}

bool ScriptedServer::sleepFor(milliseconds ms) {
    std::unique_lock lock(mutex_);
    const auto stopped = [this] { return stopping_; };
    if (ms >= std::chrono::hours(24)) {
        changed_.wait(lock, stopped);
        return false;
    }
    return !changed_.wait_for(lock, ms, stopped);
}

void ScriptedServer::acceptLoop() {
    for (;;) {
        pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        std::lock_guard lock(mutex_);
        const int connection = connections_++;
        workers_.emplace_back([this, fd, connection] { serve(fd, connection); });
        changed_.notify_all();
    }
}

namespace {

// Waits until fd is ready for `events` or the wake pipe fires.
bool waitReady(int fd, short events, int wakeFd) {
    pollfd fds[2] = {{fd, events, 0}, {wakeFd, POLLIN, 0}};
    while (poll(fds, 2, -1) < 0) {
    }
    return fds[1].revents == 0;
}

}  // namespace

bool ScriptedServer::readRequest(int fd, std::string& pending) {
    std::string& buffer = pending;
    std::size_t headEnd;
    char chunk[16384];
    const auto readSome = [&] {
        if (!waitReady(fd, POLLIN, wakeFds_[0])) return false;
        const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) return false;
        buffer.append(chunk, static_cast<std::size_t>(n));
        return true;
    };
    while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
        if (!readSome()) return false;
    }
    const std::size_t total = headEnd + 4 + contentLength(buffer.substr(0, headEnd + 2));
    while (buffer.size() < total) {
        if (!readSome()) return false;
    }
    return true;
}

void ScriptedServer::serve(int fd, int connection) {
    std::string pending;
    bool open = true;
    while (open) {
        std::size_t turn;
        {
            std::lock_guard lock(mutex_);
            turn = turns_;
        }
        Reply reply = replyFor(turn);
        if (reply.readsRequest()) {
            const bool whole = readRequest(fd, pending);
            if (pending.empty()) break;
            // A request cut short by the peer is still recorded as it came.
            std::size_t length = pending.size();
            const auto headEnd = pending.find("\r\n\r\n");
            if (whole) length = headEnd + 4 + contentLength(pending.substr(0, headEnd + 2));
            RecordedRequest request{connection, pending.substr(0, length)};
            pending.erase(0, length);
            std::function<void(const RecordedRequest&)> sink;
            {
                std::lock_guard lock(mutex_);
                turn = turns_++;
                requests_.push_back(request);
                sink = sink_;
            }
            changed_.notify_all();
            if (sink) sink(request);
            if (!whole) break;
            reply = replyFor(turn);
        } else {
            std::lock_guard lock(mutex_);
            ++turns_;
        }
        for (const auto& step : reply.steps()) {
            if (step.kind == Reply::Step::Close) {
                open = false;
                break;
            }
            if (step.kind == Reply::Step::Pause) {
                if (!sleepFor(step.pause)) open = false;
                if (!open) break;
                continue;
            }
            std::size_t sent = 0;
            while (open && sent < step.bytes.size()) {
                if (!waitReady(fd, POLLOUT, wakeFds_[0])) {
                    open = false;
                    break;
                }
                const ssize_t n =
                    ::send(fd, step.bytes.data() + sent, step.bytes.size() - sent, MSG_NOSIGNAL);
                if (n <= 0)
                    open = false;
                else
                    sent += static_cast<std::size_t>(n);
            }
            if (!open) break;
        }
        if (!reply.keepsAlive()) break;
    }
    // Close gently: a reset would make the client drop answer bytes it has
    // not read yet.
    shutdown(fd, SHUT_WR);
    char sink[4096];
    pollfd fds[1] = {{fd, POLLIN, 0}};
    while (poll(fds, 1, 200) > 0 && recv(fd, sink, sizeof sink, 0) > 0) {
    }
    ::close(fd);
}

}  // namespace quintelle::testsupport
