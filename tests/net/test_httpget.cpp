// The background fetch against a scripted server: the request bytes on the
// wire, the body as delivered, and the component's one-transfer-at-a-time
// and abort rules.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

#include "net/httpget.h"
#include "platform/processend.h"
#include "tests/support/scripted_server.h"

using namespace quintelle::testsupport;
using namespace std::chrono_literals;
using namespace std::string_literals;

namespace {

struct Outcome {
    int done = 0;
    int errors = 0;
    QByteArray body;
};

void record(THTTPGet& get, Outcome& outcome) {
    get.OnDoneString = [&](THTTPGet* sender, const QByteArray& body) {
        EXPECT_EQ(sender, &get);
        ++outcome.done;
        outcome.body = body;
    };
    get.OnError = [&](THTTPGet* sender) {
        EXPECT_EQ(sender, &get);
        ++outcome.errors;
    };
}

// Runs one fetch of `path` from the server and waits for its event.
Outcome fetch(THTTPGet& get, const ScriptedServer& server, const QString& path,
              int timeoutMs = 10000) {
    Outcome outcome;
    record(get, outcome);
    get.URL = QStringLiteral("http://127.0.0.1") + path;
    get.Port = server.port();
    get.StartFetch();
    EXPECT_TRUE(get.busy());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !get.busy(); }, timeoutMs));
    EXPECT_FALSE(get.busy());
    return outcome;
}

std::string host(const ScriptedServer& server) {
    return "Host: 127.0.0.1:" + std::to_string(server.port()) + "\r\n";
}

}  // namespace

struct RequestRow {
    const char* name;
    QString url;  // "%1" stands for the server's address
    QString agent;
    QString postQuery;
    std::string firstLine;
    std::string headers;  // after Host
    std::string body;
};

class RequestBytes : public ::testing::TestWithParam<RequestRow> {};

TEST_P(RequestBytes, GoOnTheWireExactly) {
    const RequestRow& row = GetParam();
    ScriptedServer server({Reply::ok("x")});
    THTTPGet get;
    get.Agent = row.agent;
    get.PostQuery = row.postQuery;
    Outcome outcome;
    record(get, outcome);
    get.URL = row.url.arg(QStringLiteral("127.0.0.1"));
    get.Port = server.port();
    get.StartFetch();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !get.busy(); }, 10000));
    ASSERT_TRUE(server.waitForRequests(1, 0ms));
    EXPECT_EQ(server.requests()[0].bytes,
              row.firstLine + "\r\n" + host(server) + row.headers + "\r\n" + row.body);
    EXPECT_EQ(outcome.done, 1);
}

const std::string kGetHeaders =
    "User-Agent: Quintelle HTTPGet\r\nAccept: */*\r\nPragma: no-cache\r\n";

INSTANTIATE_TEST_SUITE_P(
    HTTPGet, RequestBytes,
    ::testing::Values(
        RequestRow{"Get", "http://%1/counter/quintelle.shtml", "Quintelle HTTPGet", "",
                   "GET /counter/quintelle.shtml HTTP/1.0", kGetHeaders, ""},
        RequestRow{"NoAgent", "http://%1/a", "", "", "GET /a HTTP/1.0",
                   "Accept: */*\r\nPragma: no-cache\r\n", ""},
        RequestRow{"Post", "http://%1/form", "Quintelle HTTPGet", "a=1&b=two words",
                   "POST /form HTTP/1.0",
                   kGetHeaders + "Content-Type: application/x-www-form-urlencoded\r\n"
                                 "Content-Length: 15\r\n",
                   "a=1&b=two words"},
        RequestRow{"CapitalScheme", "HTTP://%1/Up/Case", "Quintelle HTTPGet", "",
                   "GET /Up/Case HTTP/1.0", kGetHeaders, ""},
        RequestRow{"NoScheme", "%1/plain", "Quintelle HTTPGet", "", "GET /plain HTTP/1.0",
                   kGetHeaders, ""},
        RequestRow{"SchemeOnlyInQuery", "http://%1/go?to=http://elsewhere/x", "Quintelle HTTPGet",
                   "", "GET /go?to=http://elsewhere/x HTTP/1.0", kGetHeaders, ""},
        RequestRow{"PostingQuery",
                   "http://%1/cgi-bin/quintelle.cgi?name=Ann Lee&Co&date=3/5/26&score=0",
                   "Quintelle HTTPGet", "",
                   "GET /cgi-bin/quintelle.cgi?name=Ann%20Lee&Co&date=3/5/26&score=0 HTTP/1.0",
                   kGetHeaders, ""},
        RequestRow{"UnsafeBytesEncoded", QStringLiteral("http://%1/a#b\tc\u00e9?x=%41+/../y"),
                   "Quintelle HTTPGet", "", "GET /a%23b%09c%C3%A9?x=%41+/../y HTTP/1.0",
                   kGetHeaders, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HTTPGet, SendsRefererAndCredentialsWhenSet) {
    ScriptedServer server({Reply::ok("x")});
    THTTPGet get;
    get.Referer = QStringLiteral("http://from/here");
    get.UserName = QStringLiteral("ann");
    get.Password = QStringLiteral("pw");
    get.AcceptTypes = QStringLiteral("text/html");
    fetch(get, server, QStringLiteral("/"));
    ASSERT_TRUE(server.waitForRequests(1, 0ms));
    const std::string request = server.requests()[0].bytes;
    EXPECT_NE(request.find("\r\nReferer: http://from/here\r\n"), std::string::npos) << request;
    EXPECT_NE(request.find("\r\nAuthorization: Basic YW5uOnB3\r\n"), std::string::npos) << request;
    EXPECT_NE(request.find("\r\nAccept: text/html\r\n"), std::string::npos) << request;
}

struct BodyRow {
    const char* name;
    Reply reply;
    std::string expected;  // delivered through OnDoneString; empty: OnError
    int status = 200;
    const char* reason = "OK";
    const char* error = "";  // what LastResult() says went wrong
};

class Bodies : public ::testing::TestWithParam<BodyRow> {};

std::string pattern(std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += static_cast<char>('a' + i % 26);
    return s;
}

TEST_P(Bodies, AreDeliveredWholeOrRaiseOnError) {
    const BodyRow& row = GetParam();
    ScriptedServer server({row.reply});
    THTTPGet get;
    const Outcome outcome = fetch(get, server, QStringLiteral("/page"));
    EXPECT_EQ(get.LastResult().Status, row.status);
    EXPECT_EQ(get.LastResult().Reason, row.reason);
    EXPECT_EQ(get.LastResult().Error, row.error);
    EXPECT_EQ(get.LastResult().URL, QStringLiteral("http://127.0.0.1/page"));
    if (row.expected.empty()) {
        EXPECT_EQ(outcome.done, 0);
        EXPECT_EQ(outcome.errors, 1);
    } else {
        EXPECT_EQ(outcome.errors, 0);
        ASSERT_EQ(outcome.done, 1);
        EXPECT_EQ(outcome.body.toStdString(), row.expected);
    }
}

const std::string kHead = "HTTP/1.0 200 OK\r\n\r\n";

INSTANTIATE_TEST_SUITE_P(
    HTTPGet, Bodies,
    ::testing::Values(
        BodyRow{"OneByte", Reply::ok("1"), "1"},
        BodyRow{"InPieces",
                Reply()
                    .send("HTTP/1.0 200 OK\r\nContent-Length: 3000\r\n\r\n" + pattern(1000))
                    .pause(50ms)
                    .send(pattern(3000).substr(1000, 1500))
                    .pause(50ms)
                    .send(pattern(3000).substr(2500)),
                pattern(1000) + pattern(3000).substr(1000)},
        BodyRow{"ZeroByteInside", Reply::ok("ab\0cd"s), "ab\0cd"s},
        BodyRow{"ErrorPage", Reply::status(404, "Not Found", "<p>gone</p>"), "", 404, "Not Found",
                "The server answered 404 Not Found"},
        BodyRow{"RateLimited",
                Reply::status(429, "Too Many Requests", "Too many scores from your address"), "",
                429, "Too Many Requests", "The server answered 429 Too Many Requests"},
        BodyRow{"Redirect", Reply().send("HTTP/1.0 302 Found\r\nLocation: /x\r\n\r\n"), "", 302,
                "Found", "The server answered 302 Found"},
        BodyRow{"EndsAtClose", Reply().send(kHead + "until close"), "until close"},
        BodyRow{"CutShort",
                Reply().send("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\npartial").close(), "",
                200, "OK", "The answer was cut short"},
        BodyRow{"EmptyBody", Reply::ok(""), "", 200, "OK", "The answer was empty"},
        BodyRow{"NoAnswer", Reply::hangUp(), "", 0, "", "The server closed without answering"},
        BodyRow{"NotHttp1", Reply().send("HTTP/2 200\r\n\r\nsh"), "", 200, "",
                "The answer is not HTTP/1"},
        BodyRow{"HugeHeader",
                Reply().send("HTTP/1.0 200 OK\r\n" + std::string(70000, 'X') + ": y\r\n\r\nz"), "",
                200, "OK", "The answer's header is over 65536 bytes"},
        BodyRow{"Garbage", Reply().send("\x01\x02 not http at all\r\n\r\n"), "", 0, "",
                "The answer is not HTTP/1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HTTPGet, AddressesThatCannotBeRequestedFailWithoutAConnection) {
    ScriptedServer server({Reply::ok("x")});
    const std::string port = std::to_string(server.port());
    for (const QString& url :
         {QStringLiteral("http://127.0.0.1"), QStringLiteral("127.0.0.1"),
          QStringLiteral("http://127.0.0.1:%1/x").arg(server.port()), QStringLiteral("http:///x"),
          QStringLiteral("http://user@127.0.0.1/x")}) {
        THTTPGet get;
        Outcome outcome;
        record(get, outcome);
        get.URL = url;
        get.Port = server.port();
        get.StartFetch();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !get.busy(); }, 10000));
        EXPECT_EQ(outcome.errors, 1) << url.toStdString();
        EXPECT_EQ(outcome.done, 0) << url.toStdString();
    }
    EXPECT_EQ(server.connections(), 0);
}

TEST(HTTPGet, ARefusedConnectionRaisesOnError) {
    std::uint16_t port;
    {
        ScriptedServer gone;
        port = gone.port();
    }
    THTTPGet get;
    Outcome outcome;
    record(get, outcome);
    get.URL = QStringLiteral("http://127.0.0.1/x");
    get.Port = port;
    get.StartFetch();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !get.busy(); }, 10000));
    EXPECT_EQ(outcome.errors, 1);
}

TEST(HTTPGet, BinaryDataNeedsAContentLength) {
    for (const bool withLength : {true, false}) {
        ScriptedServer server({withLength ? Reply::ok("bin") : Reply().send(kHead + "bin")});
        THTTPGet get;
        get.BinaryData = true;
        const Outcome outcome = fetch(get, server, QStringLiteral("/f"));
        EXPECT_EQ(outcome.done, withLength ? 1 : 0);
        EXPECT_EQ(outcome.errors, withLength ? 0 : 1);
    }
}

// While a transfer runs, the same request joins it and a different one
// waits its turn: each start gets its answer, in order, and none is dropped.
TEST(HTTPGet, StartsWhileBusyJoinTheSameRequestAndQueueAnotherOne) {
    const struct Row {
        std::vector<const char*> starts;
        std::vector<const char*> requested;
    } rows[] = {{{"/one", "/one", "/one"}, {"/one"}},
                {{"/one", "/two", "/two", "/one", "/three"}, {"/one", "/two", "/three"}}};
    for (const Row& row : rows) {
        ScriptedServer server({Reply().pause(200ms).send(kHead + "answer")});
        THTTPGet get;
        QStringList answered;
        get.OnDoneString = [&](THTTPGet* sender, const QByteArray&) {
            answered << sender->LastResult().URL.mid(16);
        };
        get.Port = server.port();
        for (const char* path : row.starts) {
            get.URL = QStringLiteral("http://127.0.0.1") + path;
            get.StartFetch();
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return !get.busy(); }, 10000));
        QStringList expected;
        for (const char* path : row.requested) expected << path;
        EXPECT_EQ(answered, expected);
        const auto requests = server.requests();
        ASSERT_EQ(requests.size(), row.requested.size());
        for (std::size_t i = 0; i < requests.size(); ++i)
            EXPECT_EQ(requests[i].bytes.rfind("GET " + std::string(row.requested[i]) + " ", 0), 0u);
    }
}

TEST(HTTPGet, AHandlerMayStartItsOwnComponentAgain) {
    ScriptedServer server({Reply::ok("x")});
    THTTPGet get;
    int done = 0;
    get.OnDoneString = [&](THTTPGet* sender, const QByteArray&) {
        if (++done == 1) sender->StartFetch();
    };
    get.URL = QStringLiteral("http://127.0.0.1/x");
    get.Port = server.port();
    get.StartFetch();
    EXPECT_TRUE(QTest::qWaitFor([&] { return done == 2 && !get.busy(); }, 10000));
    EXPECT_EQ(server.connections(), 2);
}

TEST(HTTPGet, AbortEndsAHungTransferAsFailedAtOnce) {
    ScriptedServer server({Reply::silence()});
    THTTPGet get;
    Outcome outcome;
    record(get, outcome);
    get.URL = QStringLiteral("http://127.0.0.1/x");
    get.Port = server.port();
    get.StartFetch();
    ASSERT_TRUE(server.waitForRequests(1));
    QElapsedTimer clock;
    clock.start();
    get.AbortFetch();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !get.busy(); }, 10000));
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(outcome.done, 0);
    EXPECT_EQ(outcome.errors, 1);
}

TEST(HTTPGet, DestructionWhileBusyRaisesNothing) {
    ScriptedServer server({Reply().pause(200ms).send(kHead + "late")});
    Outcome outcome;
    {
        THTTPGet get;
        record(get, outcome);
        get.URL = QStringLiteral("http://127.0.0.1/x");
        get.Port = server.port();
        get.StartFetch();
        ASSERT_TRUE(server.waitForRequests(1));
    }
    QTest::qWait(600);
    EXPECT_EQ(outcome.done + outcome.errors, 0);
}

TEST(HTTPGet, AFetchLeftBehindByItsComponentIsWorkInFlightUntilItEnds) {
    ScriptedServer server({Reply::silence()});
    {
        THTTPGet get;
        get.URL = QStringLiteral("http://127.0.0.1/x");
        get.Port = server.port();
        get.StartFetch();
        ASSERT_TRUE(server.waitForRequests(1));
    }
    // A process ending now would skip exit's teardown rather than take the
    // fetch's libraries down under it.
    EXPECT_TRUE(quintelle::platform::workInFlight());
    // Asked to stop by its component, it ends soon.
    EXPECT_TRUE(QTest::qWaitFor([] { return !quintelle::platform::workInFlight(); }, 5000));
}

TEST(HTTPGet, AServerThatStallsOrDripsEndsAsFailedWithinItsBounds) {
    Reply drip;
    drip.send("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n");
    for (int i = 0; i < 100; ++i) drip.send("x").pause(100ms);
    const std::pair<Reply, const char*> rows[] = {
        {Reply::silence(), "No answer for 1 seconds"},
        {Reply().send("HTTP/1.0 200 OK\r\n\r\nhalf").pause(milliseconds::max()),
         "No answer for 1 seconds"},
        {drip, "Not done within 2 seconds"}};
    for (const auto& [reply, error] : rows) {
        ScriptedServer server({reply});
        THTTPGet get;
        get.StallLimit = 1000ms;
        get.Deadline = 2000ms;
        QElapsedTimer clock;
        clock.start();
        const Outcome outcome = fetch(get, server, QStringLiteral("/x"));
        EXPECT_EQ(outcome.errors, 1);
        EXPECT_EQ(outcome.done, 0);
        EXPECT_EQ(get.LastResult().Error, error);
        EXPECT_GE(clock.elapsed(), 1000);
        EXPECT_LT(clock.elapsed(), 5000);
    }
}

TEST(HTTPGet, ABodyOverTheSizeLimitEndsAsFailed) {
    struct Row {
        std::size_t size;
        bool delivered;
    } rows[] = {{8u << 20, true}, {(8u << 20) + 1, false}};
    for (const Row& row : rows) {
        ScriptedServer server({Reply().send(kHead + std::string(row.size, 'z'))});
        THTTPGet get;
        const Outcome outcome = fetch(get, server, QStringLiteral("/big"), 30000);
        EXPECT_EQ(outcome.done, row.delivered ? 1 : 0) << row.size;
        EXPECT_EQ(outcome.errors, row.delivered ? 0 : 1) << row.size;
        if (row.delivered) {
            EXPECT_EQ(outcome.body.size(), static_cast<qsizetype>(row.size));
        }
    }
}
