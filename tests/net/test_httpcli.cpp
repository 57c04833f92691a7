// The download client's protocol, driven through a scripted socket: what goes
// out on the wire, how every kind of answer ends, and the order of events.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QTimer>

#include "net/httpcli.h"
#include "tests/net/fakesocket.h"

namespace {

using quintelle::net::parseHttpAddress;

struct AddressRow {
    const char* url;
    const char* scheme;
    const char* user;
    const char* password;
    const char* host;
    const char* port;
    const char* path;
};

TEST(HttpAddress, SplitsEveryPart) {
    const AddressRow rows[] = {
        {"http://host/a.exe", "http", "", "", "host", "80", "/a.exe"},
        {"http://host", "http", "", "", "host", "80", "/"},
        {"http://host:8080/x?q=1", "http", "", "", "host", "8080", "/x?q=1"},
        {"http://host?q=1", "http", "", "", "host", "80", "/?q=1"},
        {"http://u:p:w@host:81/x", "http", "u", "p:w", "host", "81", "/x"},
        {"http://a@b@host/x", "http", "a@b", "", "host", "80", "/x"},
        {"ftp+x.1://host/x", "ftp+x.1", "", "", "host", "80", "/x"},
        {"host/path", "http", "", "", "host", "80", "/path"},
        {"/bare/path", "http", "", "", "", "80", "/bare/path"},
        {"HTTP://host/x", "http", "", "", "", "80", "/x"},
        {"http://[::1]:8080/x", "http", "", "", "::1", "8080", "/x"},
        {"host/q?u=http://other/", "http", "", "", "host", "80", "/q?u=http://other/"},
    };
    for (const AddressRow& row : rows) {
        SCOPED_TRACE(row.url);
        const auto a = parseHttpAddress(QString::fromUtf8(row.url));
        EXPECT_EQ(a.scheme, row.scheme);
        EXPECT_EQ(a.user, row.user);
        EXPECT_EQ(a.password, row.password);
        EXPECT_EQ(a.host, row.host);
        EXPECT_EQ(a.port, row.port);
        EXPECT_EQ(a.path, row.path);
    }
}

struct Run {
    FakeSocket* socket;
    std::unique_ptr<THttpCli> client;
    QBuffer body;
    QStringList events;
};

std::unique_ptr<Run> makeRun(const QList<QByteArray>& responses) {
    auto run = std::make_unique<Run>();
    auto socket = std::make_unique<FakeSocket>();
    run->socket = socket.get();
    socket->responses = responses;
    run->client = std::make_unique<THttpCli>(std::move(socket));
    run->body.open(QIODevice::WriteOnly);
    run->client->ReceiveStream = &run->body;
    THttpCli* c = run->client.get();
    QStringList* e = &run->events;
    QObject::connect(c, &THttpCli::OnStateChange,
                     [c, e] { *e << QString::number(c->HttpState()); });
    QObject::connect(c, &THttpCli::OnSessionConnected, [e] { *e << "connected"; });
    QObject::connect(c, &THttpCli::OnRequestHeaderBegin, [e] { *e << "reqBegin"; });
    QObject::connect(c, &THttpCli::OnRequestHeaderEnd, [e] { *e << "reqEnd"; });
    QObject::connect(c, &THttpCli::OnHeaderBegin, [e] { *e << "hdrBegin"; });
    QObject::connect(c, &THttpCli::OnHeaderEnd, [e] { *e << "hdrEnd"; });
    QObject::connect(c, &THttpCli::OnLocationChange, [e] { *e << "location"; });
    QObject::connect(c, &THttpCli::OnDocBegin, [e] { *e << "docBegin"; });
    QObject::connect(c, &THttpCli::OnDocEnd, [e] { *e << "docEnd"; });
    QObject::connect(c, &THttpCli::OnRequestDone, [e](THttpCli::THttpRequest, int error) {
        *e << QString("done %1").arg(error);
    });
    return run;
}

// Runs RunGet and returns the code it raised, or -1 when it returned.
int runGet(THttpCli& client) {
    try {
        client.RunGet();
        return -1;
    } catch (const EHttpException& e) {
        return e.ErrorCode;
    }
}

struct ExchangeRow {
    const char* name;
    const char* url;
    QList<QByteArray> responses;
    bool keepOpen;  // the server keeps the connection after an answer
    bool trickle;   // one byte at a time
    int raised;     // -1: RunGet returned
    int status;
    const char* reason;
    QByteArray body;
    qint64 bodyLength;
    const char* newLocation;
    QByteArray requestLines;  // every request line sent, joined by "|"
    int connections;
};

QByteArray requestLines(const QByteArray& sent) {
    QList<QByteArray> lines;
    for (const QByteArray& request : sent.split('\n'))
        if (request.startsWith("GET ")) lines << request.trimmed();
    return lines.join('|');
}

TEST(HttpExchange, EveryKindOfAnswerEndsAsDesigned) {
    const QByteArray ok5 = "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhelloEXTRA";
    const ExchangeRow rows[] = {
        {"length cuts extra bytes",
         "http://h.test/a.exe",
         {ok5},
         false,
         false,
         -1,
         200,
         "OK",
         "hello",
         5,
         "http://h.test/a.exe",
         "GET /a.exe HTTP/1.0",
         1},
        {"trickled",
         "http://h.test/a.exe",
         {ok5},
         false,
         true,
         -1,
         200,
         "OK",
         "hello",
         5,
         "http://h.test/a.exe",
         "GET /a.exe HTTP/1.0",
         1},
        {"until close",
         "http://h.test/a",
         {"HTTP/1.0 200 OK\r\n\r\nall of it"},
         false,
         false,
         -1,
         200,
         "OK",
         "all of it",
         -1,
         "http://h.test/a",
         "GET /a HTTP/1.0",
         1},
        {"names in any case",
         "http://h.test/a",
         {"HTTP/1.0 200 OK\r\nCONTENT-LENGTH: 2\r\ncontent-type: X/Y\r\n\r\nabc"},
         false,
         false,
         -1,
         200,
         "OK",
         "ab",
         2,
         "http://h.test/a",
         "GET /a HTTP/1.0",
         1},
        {"302 absolute path",
         "http://h.test/dir/a.exe",
         {"HTTP/1.0 302 Found\r\nLocation: /new/b.exe\r\n\r\nmoved page",
          "HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\nnew"},
         false,
         false,
         -1,
         200,
         "OK",
         "new",
         3,
         "http://h.test/new/b.exe",
         "GET /dir/a.exe HTTP/1.0|GET /new/b.exe HTTP/1.0",
         2},
        {"relative location",
         "http://h.test/dir/a.exe?v=1",
         {"HTTP/1.0 301 Moved\r\nlocation: b.exe\r\n\r\n", "HTTP/1.0 200 OK\r\n\r\nb"},
         false,
         false,
         -1,
         200,
         "OK",
         "b",
         -1,
         "http://h.test/dir/b.exe",
         "GET /dir/a.exe?v=1 HTTP/1.0|GET /dir/b.exe HTTP/1.0",
         2},
        {"absolute URL with fragment",
         "http://h.test/a",
         {"HTTP/1.0 302 Found\r\nLocation: http://o.test:81/c#frag\r\n\r\n",
          "HTTP/1.0 200 OK\r\n\r\nc"},
         false,
         false,
         -1,
         200,
         "OK",
         "c",
         -1,
         "http://o.test:81/c",
         "GET /a HTTP/1.0|GET /c HTTP/1.0",
         2},
        {"1.1 redirect reuses the connection",
         "http://h.test/a",
         {"HTTP/1.1 302 Found\r\nLocation: /b\r\nContent-Length: 4\r\n\r\nskip",
          "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"},
         true,
         true,
         -1,
         200,
         "OK",
         "ok",
         2,
         "http://h.test/b",
         "GET /a HTTP/1.0|GET /b HTTP/1.0",
         1},
        {"redirect loop ends",
         "http://h.test/a",
         {"HTTP/1.0 302 Found\r\nLocation: /a\r\n\r\n"},
         false,
         false,
         400,
         400,
         "Too many redirects",
         "",
         -1,
         "http://h.test/a",
         "",
         21},
        {"1.1 404",
         "http://h.test/a",
         {"HTTP/1.1 404 Not Found\r\nContent-Length: 100\r\n\r\npartial"},
         true,
         false,
         404,
         404,
         "Not Found",
         "partial",
         100,
         "http://h.test/a",
         "GET /a HTTP/1.0",
         1},
        {"html without header",
         "http://h.test/a",
         {"<hTmL><body>x</body>\r\nmore"},
         false,
         true,
         400,
         0,
         "",
         "<hTmL><body>x</body>\r\nmore",
         -1,
         "http://h.test/a",
         "GET /a HTTP/1.0",
         1},
        {"100 continue",
         "http://h.test/a",
         {"HTTP/1.1 100 Continue\r\nX: y\r\n\r\nHTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\nz"},
         false,
         false,
         -1,
         200,
         "OK",
         "z",
         1,
         "http://h.test/a",
         "GET /a HTTP/1.0",
         1},
        {"nothing before close",
         "http://h.test/a",
         {""},
         false,
         false,
         400,
         0,
         "",
         "",
         -1,
         "http://h.test/a",
         "GET /a HTTP/1.0",
         1},
        {"close mid-header",
         "http://h.test/a",
         {"HTTP/1.0 200 OK\r\nContent-Le"},
         false,
         false,
         400,
         400,
         "Connection closed inside the header",
         "",
         -1,
         "http://h.test/a",
         "GET /a HTTP/1.0",
         1},
        {"status code not a number",
         "http://h.test/a",
         {"HTTP/1.0 2x0 OK\r\n\r\nbody"},
         false,
         false,
         400,
         400,
         "Malformed status line",
         "",
         -1,
         "http://h.test/a",
         "GET /a HTTP/1.0",
         1},
        {"not HTTP/1",
         "http://h.test/a",
         {"HTTP/2 200\r\nContent-Length: 2\r\n\r\nsh"},
         false,
         false,
         400,
         400,
         "Malformed status line",
         "",
         -1,
         "http://h.test/a",
         "GET /a HTTP/1.0",
         1},
        {"header over 64 KiB in short lines",
         "http://h.test/a",
         {"HTTP/1.0 200 OK\r\n" + QByteArray("X: y\r\n").repeated(20000) + "\r\nbody"},
         false,
         false,
         400,
         400,
         "Header over 65536 bytes",
         "",
         -1,
         "http://h.test/a",
         "GET /a HTTP/1.0",
         1},
        {"line over the buffer",
         "http://h.test/a",
         {"HTTP/1.0 200 OK\r\nX: " + QByteArray(9000, 'x') + "\r\n\r\n"},
         false,
         false,
         400,
         400,
         "HTTP line too long",
         "",
         -1,
         "http://h.test/a",
         "GET /a HTTP/1.0",
         1},
        {"body cut short",
         "http://h.test/a",
         {"HTTP/1.0 200 OK\r\nContent-Length: 9\r\n\r\nabc"},
         false,
         false,
         400,
         400,
         "Connection closed before the whole body arrived",
         "abc",
         9,
         "http://h.test/a",
         "GET /a HTTP/1.0",
         1},
        {"bad length",
         "http://h.test/a",
         {"HTTP/1.0 200 OK\r\nContent-Length: -3\r\n\r\nabc"},
         false,
         false,
         400,
         400,
         "Malformed Content-Length",
         "",
         -1,
         "http://h.test/a",
         "GET /a HTTP/1.0",
         1},
        {"unknown scheme casing",
         "HTTP://h.test/a",
         {ok5},
         false,
         false,
         404,
         404,
         "can't resolve hostname to IP address",
         "",
         -1,
         "HTTP://h.test/a",
         "",
         0},
    };
    for (const ExchangeRow& row : rows) {
        SCOPED_TRACE(row.name);
        auto run = makeRun(row.responses);
        run->socket->closeAfterResponse = !row.keepOpen;
        if (row.trickle) run->socket->pieceSize = [](qsizetype) { return 1; };
        if (QByteArray(row.url).startsWith("HTTP:")) run->socket->lookupFails = true;
        run->client->URL = QString::fromUtf8(row.url);
        EXPECT_EQ(runGet(*run->client), row.raised);
        EXPECT_EQ(run->client->HttpState(), THttpCli::httpReady);
        EXPECT_EQ(run->client->ResponseStatus(), row.status);
        EXPECT_EQ(run->client->ResponseReason(), row.reason);
        EXPECT_EQ(run->body.data(), row.body);
        EXPECT_EQ(run->client->BodyLength(), row.bodyLength);
        EXPECT_EQ(run->client->NewLocation(), row.newLocation);
        if (row.requestLines.size() || row.connections == 0) {
            EXPECT_EQ(requestLines(run->socket->sent), row.requestLines);
        }
        EXPECT_EQ(run->socket->connections, row.connections);
    }
}

TEST(HttpExchange, RequestBytesAreExact) {
    auto run = makeRun({"HTTP/1.0 200 OK\r\n\r\n"});
    run->client->URL = "http://user:pw@h.test:8080/dir/a b.exe?x=1#frag";
    runGet(*run->client);
    EXPECT_EQ(run->socket->sent,
              "GET /dir/a%20b.exe?x=1 HTTP/1.0\r\n"
              "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
              "User-Agent: Mozilla/3.0 (compatible)\r\n"
              "Host: h.test\r\n"
              "Authorization: Basic dXNlcjpwdw==\r\n"
              "\r\n");
}

TEST(HttpExchange, EventsComeInOrder) {
    auto run = makeRun({"HTTP/1.0 302 Found\r\nLocation: /b\r\n\r\n",
                        "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok"});
    run->client->URL = "http://h.test/a";
    runGet(*run->client);
    EXPECT_EQ(run->events.join(' ').toStdString(),
              "1 2 3 4 connected 5 reqBegin reqEnd hdrBegin hdrEnd location 1 2 3 4 connected 5 "
              "reqBegin reqEnd hdrBegin hdrEnd 6 docBegin 7 docEnd 0 done 0");
}

TEST(HttpExchange, FailedConnectionsRaise404WithTheirReason) {
    auto run = makeRun({"HTTP/1.0 200 OK\r\n\r\n"});
    run->socket->connectError = 2;
    run->client->URL = "http://h.test/a";
    EXPECT_EQ(runGet(*run->client), 404);
    EXPECT_EQ(run->client->ResponseReason(), "Connection refused (Error #2)");
}

TEST(HttpExchange, RefusesWhatItCannotStart) {
    auto run = makeRun({"HTTP/1.0 200 OK\r\n\r\n"});
    run->client->URL = "http://h.test/a";
    run->client->RequestVer = "2.0";
    EXPECT_EQ(runGet(*run->client), 5);
    run->client->RequestVer = "1.0";
    run->client->GetASync();
    EXPECT_EQ(runGet(*run->client), 1);  // busy
    run->client->Abort();
    EXPECT_EQ(runGet(*run->client), 1);  // still ending
}

TEST(HttpExchange, AbortEndsARunningRequestAndClosesAnIdleOne) {
    auto run = makeRun({"HTTP/1.0 200 OK\r\n\r\nbody"});
    run->socket->closeAfterResponse = false;
    run->client->URL = "http://h.test/a";
    QObject::connect(run->client.get(), &THttpCli::OnDocBegin, run->client.get(),
                     [&] { run->client->Abort(); });
    EXPECT_EQ(runGet(*run->client), 404);
    EXPECT_EQ(run->client->ResponseReason(), "Connection aborted on request");
    EXPECT_TRUE(run->events.contains("done 3"));
    run->client->Abort();
    EXPECT_EQ(run->client->ResponseStatus(), 200);
    EXPECT_EQ(run->client->ResponseReason(), "OK");
}

TEST(HttpExchange, RunGetKeepsTheEventLoopAndStopsWhenTheProgramQuits) {
    auto run = makeRun({"HTTP/1.0 200 OK\r\n\r\nneverending"});
    run->socket->closeAfterResponse = false;  // the server never finishes
    run->client->URL = "http://h.test/a";
    int ticks = 0;
    int raised = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks == 3) QCoreApplication::quit();
    });
    QTimer::singleShot(0, [&] {
        timer.start(5);
        raised = runGet(*run->client);
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(raised, 404);
    EXPECT_EQ(run->client->ResponseReason(), "Connection aborted on request");
    EXPECT_EQ(run->client->HttpState(), THttpCli::httpReady);
}

}  // namespace
