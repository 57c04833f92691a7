// The scripted server is what every network test trusts, so its recording
// and its answers are checked here with a bare socket client.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/scripted_server.h"

using namespace quintelle::testsupport;
using namespace std::chrono_literals;
using namespace std::string_literals;

namespace {

int connectTo(std::uint16_t port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

void sendAll(int fd, const std::string& bytes) {
    ASSERT_EQ(send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
}

// Reads until the server closes (or 5 s pass); the pieces as they came.
std::vector<std::string> readPieces(int fd, std::chrono::milliseconds limit = 5000ms) {
    std::vector<std::string> pieces;
    const auto end = std::chrono::steady_clock::now() + limit;
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        pieces.emplace_back(buffer, static_cast<std::size_t>(n));
    }
    return pieces;
}

std::string joined(const std::vector<std::string>& pieces) {
    std::string all;
    for (const auto& p : pieces) all += p;
    return all;
}

const std::string kGet = "GET /x HTTP/1.0\r\nHost: a\r\n\r\n";

}  // namespace

TEST(ScriptedServer, RecordsRequestsByteExactIncludingTheirBodies) {
    ScriptedServer server({Reply::ok("fine")});
    const std::string request = "POST /p?a=1 HTTP/1.0\r\ncontent-LENGTH: 7\r\n\r\nab\0c\r\nd"s;
    const int fd = connectTo(server.port());
    ASSERT_GE(fd, 0);
    // The request arrives in two pieces; the body is framed by its length.
    sendAll(fd, request.substr(0, 20));
    std::this_thread::sleep_for(50ms);
    sendAll(fd, request.substr(20));
    const std::string answer = joined(readPieces(fd));
    close(fd);
    EXPECT_EQ(answer,
              "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: 4\r\n\r\nfine");
    ASSERT_TRUE(server.waitForRequests(1));
    EXPECT_EQ(server.requests()[0].bytes, request);
    EXPECT_EQ(server.requests()[0].connection, 0);
}

TEST(ScriptedServer, AnswersInPiecesWithPausesAndStopsAtAnEarlyClose) {
    ScriptedServer server({Reply().send("one").pause(150ms).send("two").close().send("never")});
    const int fd = connectTo(server.port());
    sendAll(fd, kGet);
    const auto started = std::chrono::steady_clock::now();
    const auto pieces = readPieces(fd);
    close(fd);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 140ms);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], "one");
    EXPECT_EQ(pieces[1], "two");
}

TEST(ScriptedServer, FollowsTheScriptInOrderThenRepeatsItsLastReply) {
    ScriptedServer server({Reply().send("first"), Reply::hangUp(), Reply().send("last")});
    std::vector<std::string> answers;
    for (int i = 0; i < 4; ++i) {
        const int fd = connectTo(server.port());
        sendAll(fd, kGet);
        answers.push_back(joined(readPieces(fd)));
        close(fd);
    }
    EXPECT_EQ(answers, (std::vector<std::string>{"first", "", "last", "last"}));
    EXPECT_EQ(server.connections(), 4);
    EXPECT_EQ(server.requests().size(), 4u);
}

TEST(ScriptedServer, KeepAliveAnswersTheNextRequestOnTheSameConnection) {
    ScriptedServer server({Reply().send("A").keepAlive(), Reply().send("B")});
    const int fd = connectTo(server.port());
    sendAll(fd, kGet);
    ASSERT_TRUE(server.waitForRequests(1));
    sendAll(fd, kGet);
    EXPECT_EQ(joined(readPieces(fd)), "AB");
    close(fd);
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].connection, 0);
    EXPECT_EQ(server.connections(), 1);
}

TEST(ScriptedServer, CanSpeakFirstAndStopEndsASilentReplyAtOnce) {
    auto server = std::make_unique<ScriptedServer>(
        std::vector<Reply>{Reply().withoutRequest().send("hello").pause(milliseconds::max())});
    const int fd = connectTo(server->port());
    EXPECT_EQ(joined(readPieces(fd, 300ms)), "hello");
    EXPECT_TRUE(server->requests().empty());
    const auto started = std::chrono::steady_clock::now();
    server.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
    close(fd);
}

TEST(ScriptedServer, RecordsARequestCutShortByTheClient) {
    ScriptedServer server;
    const int fd = connectTo(server.port());
    sendAll(fd, "GET /half HTTP/1.0\r\nHo");
    shutdown(fd, SHUT_WR);
    ASSERT_TRUE(server.waitForRequests(1));
    EXPECT_EQ(server.requests()[0].bytes, "GET /half HTTP/1.0\r\nHo");
    close(fd);
}

TEST(ScriptedServerProcess, PrintsItsPortRecordsRequestsToFilesAndStopsOnSigterm) {
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("scripted-server-test-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "record");
    {
        std::ofstream script(dir / "script");
        script << "# two replies\nreply\nsend HTTP/1.0 200 OK\\r\\n\\r\\nx\\x41\\0y\n"
                  "reply\nok second\n";
    }
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        execl(SCRIPTED_SERVER_EXE, "scripted_server", (dir / "script").c_str(),
              (dir / "record").c_str(), nullptr);
        _exit(127);
    }
    close(out[1]);
    std::string line;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
    close(out[0]);
    const int port = std::atoi(line.c_str());
    ASSERT_GT(port, 0) << line;

    std::vector<std::string> answers;
    for (int i = 0; i < 2; ++i) {
        const int fd = connectTo(static_cast<std::uint16_t>(port));
        sendAll(fd, "GET /" + std::to_string(i) + " HTTP/1.0\r\n\r\n");
        answers.push_back(joined(readPieces(fd)));
        close(fd);
    }
    EXPECT_EQ(answers[0], std::string("HTTP/1.0 200 OK\r\n\r\nxA\0y", 23));
    EXPECT_NE(answers[1].find("\r\n\r\nsecond"), std::string::npos);

    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (int i = 0; i < 2; ++i) {
        std::ifstream file(dir / "record" / ("request-" + std::to_string(i + 1)), std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        EXPECT_EQ(bytes.str(), "GET /" + std::to_string(i) + " HTTP/1.0\r\n\r\n");
    }
    fs::remove_all(dir);
}
