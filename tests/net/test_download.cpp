// The download client against a real server on the loopback address: every
// kind of answer the installer download can meet, judged by the bytes on the
// wire, the file written and what RunGet reports.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTimer>

#include "net/httpcli.h"
#include "tests/support/scripted_server.h"

namespace {

using quintelle::testsupport::Reply;
using quintelle::testsupport::ScriptedServer;
using std::chrono::milliseconds;

// One byte at a time, with a pause after each.
Reply trickle(const std::string& bytes) {
    Reply reply;
    for (char c : bytes) reply.send(std::string(1, c)).pause(milliseconds(1));
    return reply;
}

struct DownloadRow {
    const char* name;
    const char* path;  // on the scripted server
    std::vector<Reply> script;
    int raised;  // -1: RunGet returned
    int status;
    const char* reason;
    QByteArray body;
    const char* requestLines;  // every request line, joined by "|"
    int connections;
};

struct Outcome {
    int raised = -1;
    QByteArray body;
};

Outcome download(THttpCli& client, const QString& url) {
    Outcome outcome;
    QBuffer body;
    body.open(QIODevice::WriteOnly);
    client.URL = url;
    client.ReceiveStream = &body;
    try {
        client.RunGet();
    } catch (const EHttpException& e) {
        outcome.raised = e.ErrorCode;
    }
    client.ReceiveStream = nullptr;
    outcome.body = body.data();
    return outcome;
}

std::string requestLines(const ScriptedServer& server) {
    std::string lines;
    for (const auto& request : server.requests()) {
        if (!lines.empty()) lines += '|';
        lines += request.bytes.substr(0, request.bytes.find("\r\n"));
    }
    return lines;
}

TEST(Download, EveryAnswerFromARealServer) {
    const std::string ok5 = "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhelloEXTRA";
    const std::string redirectTo =
        "HTTP/1.1 302 Found\r\nLocation: /b\r\nContent-Length: 4\r\n\r\n";
    const DownloadRow rows[] = {
        {"length 5, extra bytes ignored",
         "/a.exe",
         {Reply().send(ok5)},
         -1,
         200,
         "OK",
         "hello",
         "GET /a.exe HTTP/1.0",
         1},
        {"no length: until close",
         "/a",
         {Reply().send("HTTP/1.0 200 OK\r\n\r\nto the end")},
         -1,
         200,
         "OK",
         "to the end",
         "GET /a HTTP/1.0",
         1},
        {"302 to an absolute path",
         "/dir/a.exe",
         {Reply().send("HTTP/1.0 302 Found\r\nLocation: /new.exe\r\n\r\nredirect page"),
          Reply::ok("installer")},
         -1,
         200,
         "OK",
         "installer",
         "GET /dir/a.exe HTTP/1.0|GET /new.exe HTTP/1.0",
         2},
        {"relative location",
         "/dir/a.exe",
         {Reply().send("HTTP/1.0 301 Moved\r\nLocation: b.exe\r\n\r\n"), Reply::ok("b")},
         -1,
         200,
         "OK",
         "b",
         "GET /dir/a.exe HTTP/1.0|GET /dir/b.exe HTTP/1.0",
         2},
        {"header names in any case",
         "/a",
         {Reply().send("HTTP/1.0 200 OK\r\ncOnTeNt-LeNgTh: 3\r\n\r\nabcdef")},
         -1,
         200,
         "OK",
         "abc",
         "GET /a HTTP/1.0",
         1},
        {"1.1 404",
         "/a",
         {Reply().send("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found")},
         404,
         404,
         "Not Found",
         "not found",
         "GET /a HTTP/1.0",
         1},
        {"<html> first line",
         "/a",
         {Reply().send("<html><p>page</p></html>\n")},
         400,
         0,
         "",
         "<html><p>page</p></html>\n",
         "GET /a HTTP/1.0",
         1},
        {"100 continue",
         "/a",
         {Reply().send("HTTP/1.1 100 Continue\r\n\r\n").pause(milliseconds(20)).send(ok5)},
         -1,
         200,
         "OK",
         "hello",
         "GET /a HTTP/1.0",
         1},
        {"1.1 redirect reuses the connection",
         "/a",
         {Reply().send(redirectTo).pause(milliseconds(20)).send("page").keepAlive(),
          Reply::ok("ok")},
         -1,
         200,
         "OK",
         "ok",
         "GET /a HTTP/1.0|GET /b HTTP/1.0",
         1},
        {"redirect loop ends after 20",
         "/a",
         {Reply().send("HTTP/1.0 302 Found\r\nLocation: /a\r\n\r\n")},
         400,
         400,
         "Too many redirects",
         "",
         nullptr,
         21},
        {"header line over the buffer",
         "/a",
         {Reply().send("HTTP/1.0 200 OK\r\nX-Long: " + std::string(9000, 'x') + "\r\n\r\nbody")},
         400,
         400,
         "HTTP line too long",
         "",
         "GET /a HTTP/1.0",
         1},
        {"close mid-header",
         "/a",
         {Reply().send("HTTP/1.0 200 OK\r\nContent-Len").close()},
         400,
         400,
         "Connection closed inside the header",
         "",
         "GET /a HTTP/1.0",
         1},
        {"closed before a byte", "/a", {Reply::hangUp()}, 400, 0, "", "", "GET /a HTTP/1.0", 1},
        {"trickled one byte at a time",
         "/a",
         {trickle(ok5)},
         -1,
         200,
         "OK",
         "hello",
         "GET /a HTTP/1.0",
         1},
    };
    for (const DownloadRow& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedServer server(row.script);
        THttpCli client;
        const Outcome outcome =
            download(client, QString::fromStdString(server.origin()) + QString(row.path));
        EXPECT_EQ(outcome.raised, row.raised);
        EXPECT_EQ(client.ResponseStatus(), row.status);
        EXPECT_EQ(client.ResponseReason(), row.reason);
        EXPECT_EQ(outcome.body, row.body);
        EXPECT_EQ(client.HttpState(), THttpCli::httpReady);
        if (row.requestLines) {
            EXPECT_EQ(requestLines(server), row.requestLines);
        }
        EXPECT_EQ(server.connections(), row.connections);
    }
}

// What the server cannot make the client do: wait without end, or count a
// body as whole that is not the length the caller expects.
TEST(Download, EveryRequestEndsWithinItsBounds) {
    Reply drip;
    drip.send("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n");
    for (int i = 0; i < 100; ++i) drip.send("x").pause(milliseconds(100));
    const struct Row {
        const char* name;
        Reply reply;
        qint64 expected;
        const char* reason;
        QByteArray body;
    } rows[] = {
        {"silent after connecting", Reply::silence(), -1, "No answer for 1 seconds", ""},
        {"dripping past the deadline", drip, -1, "Not done within 2 seconds", ""},
        {"announces another length", Reply::ok("0123456789"), 5,
         "The answer has 10 bytes, not the 5 expected", ""},
        {"runs past the expected length", Reply().send("HTTP/1.0 200 OK\r\n\r\n0123456789"), 5,
         "The body runs past the 5 bytes expected", ""},
        {"cut short without a length", Reply().send("HTTP/1.0 200 OK\r\n\r\n012"), 5,
         "Connection closed before the whole body arrived", "012"},
        {"expected and whole", Reply::ok("01234"), 5, "OK", "01234"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedServer server({row.reply});
        THttpCli client;
        client.StallLimitMs = 1000;
        client.DeadlineMs = 2000;
        client.ExpectedLength = row.expected;
        QElapsedTimer wall;
        wall.start();
        const Outcome outcome = download(client, QString::fromStdString(server.origin()) + "/a");
        EXPECT_LT(wall.elapsed(), 4000);
        EXPECT_EQ(client.ResponseReason(), row.reason);
        EXPECT_EQ(outcome.raised == -1, client.Complete());
        if (outcome.raised != -1)
            EXPECT_TRUE(outcome.body.startsWith(row.body)) << outcome.body.size();
        else
            EXPECT_EQ(outcome.body, row.body);
    }
}

TEST(Download, TheRequestIsExactOnTheWire) {
    ScriptedServer server({Reply::ok("x")});
    THttpCli client;
    download(client, QString::fromStdString(server.origin()) + "/quintelle/qtlsetup.exe");
    ASSERT_TRUE(server.waitForRequests(1));
    EXPECT_EQ(server.requests()[0].bytes,
              "GET /quintelle/qtlsetup.exe HTTP/1.0\r\n"
              "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
              "User-Agent: Mozilla/3.0 (compatible)\r\n"
              "Host: 127.0.0.1\r\n"
              "\r\n");
}

TEST(Download, FailuresToConnectRaise404WithTheirReason) {
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    const struct {
        QString url;
        const char* reasonStart;
    } rows[] = {
        {QStringLiteral("http://127.0.0.1:%1/a").arg(closedPort), "Connection refused"},
        {QStringLiteral("http:///a"), "can't resolve hostname to IP address"},
        {QStringLiteral("HTTP://127.0.0.1/a"), "can't resolve hostname to IP address"},
        {QStringLiteral("http://127.0.0.1:http/a"), "can't connect: "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.url.toStdString());
        THttpCli client;
        EXPECT_EQ(download(client, row.url).raised, 404);
        EXPECT_TRUE(client.ResponseReason().startsWith(row.reasonStart))
            << client.ResponseReason().toStdString();
    }
}

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

TEST(Download, WaitingKeepsTheLoopRunningAndTheProcessorIdle) {
    // Ten pieces a tenth of a second apart: a slow server.
    Reply slow;
    slow.send("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\n");
    for (int i = 0; i < 10; ++i) slow.pause(milliseconds(100)).send("x");
    ScriptedServer server({slow});
    THttpCli client;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);
    QElapsedTimer wall;
    wall.start();
    const double cpu = processCpuSeconds();
    const Outcome outcome = download(client, QString::fromStdString(server.origin()) + "/a");
    const double used = processCpuSeconds() - cpu;
    EXPECT_EQ(outcome.body, "xxxxxxxxxx");
    EXPECT_GE(ticks, 10);
    EXPECT_GE(wall.elapsed(), 900);
    // A loop that polled or spun would burn most of the second.
    EXPECT_LT(used, 0.25) << used;
}

TEST(Download, QuittingTheProgramAbortsTheWait) {
    ScriptedServer server(
        {Reply().send("HTTP/1.0 200 OK\r\n\r\npartial").pause(milliseconds(60000))});
    THttpCli client;
    Outcome outcome;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(200, [] { QCoreApplication::quit(); });
        outcome = download(client, QString::fromStdString(server.origin()) + "/a");
    });
    QElapsedTimer wall;
    wall.start();
    QCoreApplication::exec();
    EXPECT_LT(wall.elapsed(), 10000);
    EXPECT_EQ(outcome.raised, 404);
    EXPECT_EQ(client.ResponseReason(), "Connection aborted on request");
    EXPECT_EQ(outcome.body, "partial");
    EXPECT_EQ(client.HttpState(), THttpCli::httpReady);
}

}  // namespace
