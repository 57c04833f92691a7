// The server as a player's game and an operator meet it: a real process on
// loopback, a real database of each engine, requests as raw bytes.
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <fstream>
#include <random>
#include <regex>
#include <thread>

#include "tests/server/harness.h"

namespace quintelle::testing {
namespace {

class Service : public ::testing::TestWithParam<Engine> {
  protected:
    TempDir files;
    std::string db = freshDatabase(GetParam(), files.path());
};

TEST_P(Service, RanksByScoreAndTiesByArrival) {
    ServerProcess server(db);
    for (auto [name, score] : {std::pair{"Ann", "100"},
                               {"Bob", "300"},
                               {"Cy", "100"},
                               {"Dee", "200"},
                               {"Eve", "-5"},
                               {"Fay", "100"}}) {
        ASSERT_EQ(httpGet(server.port(), post(name, "3/5/26", score)).status, 200) << name;
    }
    std::vector<Row> rows = page(server.port());
    std::vector<std::string> order;
    for (const Row& r : rows) order.push_back(r.rank + " " + r.name + " " + r.score);
    EXPECT_EQ(order, (std::vector<std::string>{"1 Bob 300", "2 Dee 200", "3 Ann 100", "4 Cy 100",
                                               "5 Fay 100", "6 Eve -5"}));
    EXPECT_EQ(rows.front().date, "3/5/26");
}

TEST_P(Service, NamesAreStoredWholeAndShownEscaped) {
    struct Case {
        std::string sent, shown;
    };
    const Case cases[] = {
        {"Tom&Jerry", "Tom&amp;Jerry"},
        {"a=b&c=d", "a=b&amp;c=d"},
        {"x%26date%3D1/1/01", "x&amp;date=1/1/01"},  // escaped, so not a second date
        {"Zoe%CC%88", "Zo\xC3\xAB"},                 // stored composed on every engine
        {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"%3Cb%3E%22q%22", "&lt;b&gt;&quot;q&quot;"},
        {"Zo%C3%AB", "Zo\xC3\xAB"},
        {"100%", "100%"},
    };
    ServerProcess server(db, {"--posts-per-minute", "0"});
    int score = 1000;
    for (const Case& c : cases) {
        Reply reply = httpGet(server.port(), post(c.sent, "12/31/09", std::to_string(--score)));
        ASSERT_EQ(reply.status, 200) << c.sent << ": " << reply.body;
        EXPECT_FALSE(reply.body.empty());
    }
    std::vector<Row> rows = page(server.port());
    ASSERT_EQ(rows.size(), std::size(cases));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].name, cases[i].shown) << cases[i].sent;
        EXPECT_EQ(rows[i].date, "12/31/09");
    }
    Reply raw = httpGet(server.port(), "/counter/quintelle.shtml");
    EXPECT_EQ(raw.body.find("<script>"), std::string::npos);
}

TEST_P(Service, RefusesBadPostsWithATextAndStoresNothing) {
    const std::string longText(65, 'n'), fullText(64, 'n');
    const std::string refused[] = {
        post("Ann", "3/5/26", "abc"),
        post("Ann", "3/5/26", ""),
        post("Ann", "3/5/26", "2147483648"),
        post("Ann", "3/5/26", "-2147483649"),
        post("Ann", "3/5/26", "1.5"),
        post("Ann", "3/5/26", "+7"),
        post("Ann", "3/5/26", "12%00"),
        post(longText, "3/5/26", "1"),
        post("Ann", longText, "1"),
        post("", "3/5/26", "1"),
        post("Ann%0D%0AX", "3/5/26", "1"),
        post("Ann", "", "1"),
        post("Ann", "3/5/26", "5&score=6"),
        post("Ann", "1/2/26&date=3/5/26", "5"),
        post("x&date=1/1/01", "3/5/26", "5"),
        post("%ff%fe", "3/5/26", "1"),
        post("Ann", "%C0%AF", "1"),
        post("%E2%80%AEnnA", "3/5/26", "1"),
        "/cgi-bin/quintelle.cgi?name=Ann&date=3/5/26",
        "/cgi-bin/quintelle.cgi?name=Ann&score=5",
        "/cgi-bin/quintelle.cgi?date=3/5/26&score=5&name=Ann",
        "/cgi-bin/quintelle.cgi?name=Ann&score=5&date=3/5/26",
        "/cgi-bin/quintelle.cgi",
    };
    ServerProcess server(db, {"--posts-per-minute", "0"});
    for (const std::string& target : refused) {
        Reply reply = httpGet(server.port(), target);
        EXPECT_EQ(reply.status, 400) << target;
        EXPECT_FALSE(reply.body.empty()) << target;
    }
    EXPECT_TRUE(page(server.port()).empty());

    // The limits themselves are accepted.
    EXPECT_EQ(httpGet(server.port(), post(fullText, fullText, "2147483647")).status, 200);
    EXPECT_EQ(httpGet(server.port(), post("Min", "1/1/09", "-2147483648")).status, 200);
    std::vector<Row> rows = page(server.port());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].score, "2147483647");
    EXPECT_EQ(rows[1].score, "-2147483648");
}

TEST_P(Service, LimitsPostsPerAddressPerMinute) {
    ServerProcess server(db);
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(httpGet(server.port(), post("P" + std::to_string(i), "3/5/26", "5")).status, 200);
    }
    Reply refused = httpGet(server.port(), post("P10", "3/5/26", "5"));
    EXPECT_EQ(refused.status, 429);
    EXPECT_FALSE(refused.body.empty());
    EXPECT_EQ(page(server.port()).size(), 10u);
}

TEST_P(Service, StopsCleanlyAndKeepsEveryAcceptedScore) {
    std::atomic<int> accepted = 0;
    {
        ServerProcess server(db, {"--posts-per-minute", "0", "--top", "10000"});
        std::vector<std::thread> posters;
        for (int t = 0; t < 4; ++t) {
            posters.emplace_back([&, t] {
                for (int i = 0; i < 40; ++i) {
                    std::string name = "T" + std::to_string(t) + "n" + std::to_string(i);
                    if (httpGet(server.port(), post(name, "3/5/26", std::to_string(i))).status ==
                        200) {
                        ++accepted;
                    }
                }
            });
        }
        // Stop while the posters are still at it.
        while (accepted < 40) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        EXPECT_EQ(server.stop(), 0);
        for (std::thread& t : posters) t.join();
    }
    ASSERT_GE(accepted, 40);
    ServerProcess again(db, {"--top", "10000"});
    EXPECT_EQ(page(again.port()).size(), static_cast<std::size_t>(accepted.load()));
}

TEST_P(Service, ServesVersionTextInstallerAndLogo) {
    std::string installer(300'000, '\0');
    std::mt19937 random(7);
    for (char& c : installer) c = static_cast<char>(random());
    std::ofstream(files.path() / "qtlsetup.exe", std::ios::binary) << installer;

    ServerProcess server(db, {"--files", files.path().string(), "--version-text", "1.2.3"});
    Reply version = httpGet(server.port(), "/quintelle/quintelleversion.txt");
    EXPECT_EQ(version.status, 200);
    EXPECT_EQ(version.body, "1.2.3");

    Reply download = httpGet(server.port(), "/quintelle/qtlsetup.exe");
    EXPECT_EQ(download.status, 200);
    EXPECT_EQ(download.headers["content-length"], std::to_string(installer.size()));
    EXPECT_TRUE(download.body == installer) << "installer differs, " << download.body.size();

    Reply logo = httpGet(server.port(), "/quintelle/logo.jpg");
    EXPECT_EQ(logo.headers["content-type"], "image/jpeg");
    ASSERT_GT(logo.body.size(), 4u);
    EXPECT_EQ(logo.body.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(logo.body.substr(logo.body.size() - 2), "\xFF\xD9");

    std::string host = "http://127.0.0.1:" + std::to_string(server.port());
    Reply scores = httpGet(server.port(), "/counter/quintelle.shtml");
    EXPECT_NE(scores.body.find("src=\"" + host + "/quintelle/logo.jpg\""), std::string::npos);
    EXPECT_NE(scores.body.find("href=\"" + host + "/\""), std::string::npos);
    Reply home = httpGet(server.port(), "/");
    EXPECT_EQ(home.status, 200);
    EXPECT_NE(home.body.find(host + "/quintelle/qtlsetup.exe"), std::string::npos);
}

TEST_P(Service, DefaultsAndMissingFiles) {
    ServerProcess server(db);
    EXPECT_EQ(httpGet(server.port(), "/quintelle/quintelleversion.txt").body, "1.0.0");
    for (const char* target : {"/quintelle/qtlsetup.exe", "/nowhere", "/quintelle/../etc/passwd"}) {
        Reply reply = httpGet(server.port(), target);
        EXPECT_EQ(reply.status, 404) << target;
        EXPECT_FALSE(reply.body.empty()) << target;
    }
    EXPECT_EQ(httpGet(server.port(), "/").body.find("qtlsetup.exe"), std::string::npos);
}

TEST_P(Service, LogsOneLinePerRequest) {
    ServerProcess server(db);
    httpGet(server.port(), post("Ann", "3/5/26", "1"));
    httpGet(server.port(), post("Ann\x01", "3/5/26", "x"));
    httpGet(server.port(), "/counter/quintelle.shtml");
    server.stop();
    std::string log = server.log();
    static const std::regex line(
        R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z 127\.0\.0\.1 GET (\S+) (\d{3}) \d+\.\dms)");
    std::vector<std::string> seen;
    for (std::sregex_iterator i(log.begin(), log.end(), line), end; i != end; ++i) {
        seen.push_back((*i)[1].str() + " " + (*i)[2].str());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "/cgi-bin/quintelle.cgi?name=Ann&date=3/5/26&score=1 200",
                        "/cgi-bin/quintelle.cgi?name=Ann\\x01&date=3/5/26&score=x 400",
                        "/counter/quintelle.shtml 200"}))
        << log;
}

INSTANTIATE_TEST_SUITE_P(Engines, Service, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const auto& info) { return engineName(info.param); });

// Several copies behind a load balancer share one PostgreSQL database.
TEST(ServiceCopies, ShareOneListAndOneRateLimit) {
    std::string db = PgCluster::shared().newDatabase();
    ServerProcess first(db), second(db);
    ASSERT_EQ(httpGet(first.port(), post("One", "3/5/26", "10")).status, 200);
    ASSERT_EQ(httpGet(second.port(), post("Two", "3/5/26", "20")).status, 200);
    for (int port : {first.port(), second.port()}) {
        std::vector<Row> rows = page(port);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].name, "Two");
        EXPECT_EQ(rows[1].name, "One");
    }
    // Both copies post at once; together they accept exactly the limit.
    std::atomic<int> accepted = 0, refused = 0;
    std::vector<std::thread> posters;
    for (int t = 0; t < 4; ++t) {
        posters.emplace_back([&, t] {
            for (int i = 0; i < 3; ++i) {
                int port = t % 2 ? first.port() : second.port();
                int status = httpGet(port, post("R", "3/5/26", "1")).status;
                (status == 200 ? accepted : refused) += status == 200 || status == 429;
            }
        });
    }
    for (std::thread& t : posters) t.join();
    EXPECT_EQ(accepted, 8);
    EXPECT_EQ(refused, 4);
    EXPECT_EQ(page(first.port()).size(), 10u);
}

TEST(ServiceCommandLine, ExplainsWhatItCannotDo) {
    TempDir dir;
    ServerProcess running((dir.path() / "a.db").string());
    std::string busy = "127.0.0.1:" + std::to_string(running.port());
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string says;
    };
    const Case cases[] = {
        {{"--help"}, 0, "--listen ADDRESS:PORT"},
        {{"--listen", busy, "--db", (dir.path() / "b.db").string()}, 1, "cannot listen on " + busy},
        {{"--listen", "127.0.0.1"}, 2, "--listen wants ADDRESS:PORT"},
        {{"--top", "0"}, 2, "--top wants"},
        {{"--bogus"}, 2, "unknown option '--bogus'"},
        {{"--db"}, 2, "--db needs a value"},
        {{"--listen", "127.0.0.1:0", "--db", (dir.path() / "missing" / "x.db").string()},
         1,
         "cannot open"},
    };
    for (const Case& c : cases) {
        RunResult result = runServer(c.args);
        EXPECT_EQ(result.status, c.status) << c.args.front() << "\n" << result.output;
        EXPECT_NE(result.output.find(c.says), std::string::npos) << result.output;
    }
}

}  // namespace
}  // namespace quintelle::testing
