// The server against hostile clients and a failing database, each attack a
// bounded replay against the real process on loopback: slow clients, a file
// swapped while it is served, links out of the files folder, a forged Host
// or forwarded address, the database restarted, the server killed mid-storm.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <atomic>
#include <fstream>
#include <set>
#include <thread>

#include "tests/server/harness.h"

namespace quintelle::testing {
namespace {

using namespace std::chrono_literals;

void writeFile(const std::filesystem::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

TEST(Attacks, SlowClientsAreCutAtTheDeadlineAndHoldNobodyUp) {
    TempDir dir;
    ServerProcess server(freshDatabase(Engine::Sqlite, dir.path()),
                         {"--request-timeout", "2", "--connections-per-address", "20"});
    {
        Tricklers slow(server.port(), 40, {"127.0.0.2", "127.0.0.3"}, 300ms, false);
        ASSERT_EQ(slow.open(), 40);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(
                httpGet(server.port(), "/counter/quintelle.shtml", "", "127.0.0.1", 5s).status,
                200);
        }
        // An address holding its share gets no more connections.
        EXPECT_EQ(httpGet(server.port(), "/", "", "127.0.0.2", 3s).status, 0);
        // The whole request head is due within the deadline, however it trickles.
        auto until = std::chrono::steady_clock::now() + 8s;
        while (slow.closedByServer() < 40 && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(50ms);
        }
        EXPECT_EQ(slow.closedByServer(), 40);
    }
    EXPECT_EQ(httpGet(server.port(), "/", "", "127.0.0.2").status, 200);
}

// An installer and its manifest renamed into place over and over while they
// are downloaded: each download is one version whole.
TEST(Attacks, AFileReplacedWhileServedGoesOutWholeOldOrNew) {
    TempDir dir;
    std::filesystem::path files = dir.path() / "files";
    std::filesystem::create_directory(files);
    struct Version {
        std::string installer, manifest;
    };
    const Version versions[] = {{std::string(300'000, 'A'), "version 1\n"},
                                {std::string(200'000, 'B'), "version 2, a longer manifest\n"}};
    writeFile(files / "qtlsetup.exe", versions[0].installer);
    writeFile(files / "qtlsetup.manifest", versions[0].manifest);
    ServerProcess server(freshDatabase(Engine::Sqlite, dir.path()), {"--files", files.string()});

    std::atomic<bool> done = false;
    std::thread swapper([&] {
        for (int i = 0; !done && i < 20'000; ++i) {
            const Version& v = versions[i % 2];
            writeFile(files / "next.exe", v.installer);
            writeFile(files / "next.manifest", v.manifest);
            std::filesystem::rename(files / "next.exe", files / "qtlsetup.exe");
            std::filesystem::rename(files / "next.manifest", files / "qtlsetup.manifest");
        }
    });
    std::atomic<int> whole = 0, other = 0;
    std::vector<std::thread> downloaders;
    for (int t = 0; t < 4; ++t) {
        downloaders.emplace_back([&] {
            for (int i = 0; i < 150; ++i) {
                Reply exe = httpGet(server.port(), "/quintelle/qtlsetup.exe");
                Reply manifest = httpGet(server.port(), "/quintelle/qtlsetup.manifest");
                bool ok =
                    exe.status == 200 && manifest.status == 200 &&
                    (exe.body == versions[0].installer || exe.body == versions[1].installer) &&
                    (manifest.body == versions[0].manifest ||
                     manifest.body == versions[1].manifest);
                ++(ok ? whole : other);
            }
        });
    }
    for (std::thread& t : downloaders) t.join();
    done = true;
    swapper.join();
    EXPECT_EQ(whole, 600);
    EXPECT_EQ(other, 0);

    Reply manifest = httpGet(server.port(), "/quintelle/qtlsetup.manifest");
    EXPECT_EQ(manifest.headers["content-type"], "text/plain");
    EXPECT_EQ(manifest.headers["cache-control"], "no-store");
    EXPECT_EQ(httpGet(server.port(), "/quintelle/qtlsetup.exe").headers["cache-control"],
              "no-store");
}

TEST(Attacks, NoFileIsServedThroughALinkOutOfTheFolder) {
    TempDir dir;
    std::filesystem::path files = dir.path() / "files";
    std::filesystem::create_directories(files / "releases");
    writeFile(dir.path() / "secret.txt", "not for players");
    writeFile(files / "releases" / "qtlsetup-1.0.1.exe", "installer 1.0.1");
    struct Case {
        std::string name;
        std::function<void(const std::filesystem::path&)> make;
        int status;
        std::string body;
    };
    const Case cases[] = {
        {"qtlsetup.exe",
         [&](auto& p) { std::filesystem::create_symlink(dir.path() / "secret.txt", p); }, 404, ""},
        {"qtlsetup.manifest", [&](auto& p) { std::filesystem::create_symlink("../secret.txt", p); },
         404, ""},
        {"qtlsetup.exe",
         [&](auto& p) { std::filesystem::create_symlink("releases/qtlsetup-1.0.1.exe", p); }, 200,
         "installer 1.0.1"},
        {"qtlsetup.exe", [&](auto& p) { std::filesystem::create_directory(p); }, 404, ""},
        {"qtlsetup.manifest", [&](auto& p) { mkfifo(p.c_str(), 0600); }, 404, ""},
    };
    ServerProcess server(freshDatabase(Engine::Sqlite, dir.path()), {"--files", files.string()});
    for (const Case& c : cases) {
        std::filesystem::path path = files / c.name;
        c.make(path);
        Reply reply = httpGet(server.port(), "/quintelle/" + c.name, "", "127.0.0.1", 5s);
        EXPECT_EQ(reply.status, c.status) << c.name;
        if (c.status == 200) {
            EXPECT_EQ(reply.body, c.body);
        }
        EXPECT_EQ(reply.body.find("not for players"), std::string::npos);
        bool offered = httpGet(server.port(), "/").body.find("qtlsetup.exe") != std::string::npos;
        if (c.name == "qtlsetup.exe") {
            EXPECT_EQ(offered, c.status == 200) << c.name;
        }
        std::filesystem::remove(path);
    }
}

TEST(Attacks, LinksComeFromThePublicAddressNeverFromHost) {
    TempDir dir;
    std::string db = freshDatabase(Engine::Sqlite, dir.path());
    writeFile(dir.path() / "qtlsetup.exe", "x");
    ServerProcess given(
        db, {"--files", dir.path().string(), "--public-url", "https://scores.example/"});
    ServerProcess unset(db, {"--files", dir.path().string()});
    struct Case {
        int port;
        std::string base;
    };
    for (const Case& c : {Case{given.port(), "https://scores.example"},
                          Case{unset.port(), "http://127.0.0.1:" + std::to_string(unset.port())}}) {
        for (const char* target : {"/", "/counter/quintelle.shtml"}) {
            Reply reply = httpGet(c.port, target, "Host: evil.example\r\n");
            EXPECT_EQ(reply.body.find("evil"), std::string::npos) << target;
            EXPECT_NE(reply.body.find("src=\"" + c.base + "/quintelle/logo.jpg\""),
                      std::string::npos)
                << reply.body;
        }
        EXPECT_NE(httpGet(c.port, "/", "Host: evil.example\r\n")
                      .body.find("href=\"" + c.base + "/quintelle/qtlsetup.exe\""),
                  std::string::npos);
    }
}

TEST(Attacks, ForwardedAddressesCountOnlyFromATrustedProxy) {
    TempDir dir;
    std::string db = freshDatabase(Engine::Sqlite, dir.path());
    ServerProcess proxied(db, {"--posts-per-minute", "2", "--trusted-proxy", "127.0.0.1"});
    auto from = [](const std::string& address) { return "X-Forwarded-For: " + address + "\r\n"; };
    int p = proxied.port();
    EXPECT_EQ(httpGet(p, post("A", "1/1/26", "1"), from("203.0.113.1")).status, 200);
    EXPECT_EQ(httpGet(p, post("A", "1/1/26", "1"), from("198.51.100.9, 203.0.113.1")).status, 200);
    EXPECT_EQ(httpGet(p, post("A", "1/1/26", "1"), from("203.0.113.1")).status, 429);
    EXPECT_EQ(httpGet(p, post("B", "1/1/26", "1"), from("203.0.113.2")).status, 200);

    // From anyone else the header is the client's own word: ignored.
    ServerProcess direct(db, {"--posts-per-minute", "2"});
    int d = direct.port();
    const char* claims[] = {"192.0.2.1", "192.0.2.2", "192.0.2.3"};
    std::vector<int> statuses;
    for (const char* claim : claims) {
        statuses.push_back(httpGet(d, post("C", "1/1/26", "1"), from(claim), "127.0.0.5").status);
    }
    EXPECT_EQ(statuses, (std::vector<int>{200, 200, 429}));
}

TEST(Attacks, PostgresRestartedUnderTheServerIsReconnected) {
    std::string db = PgCluster::shared().newDatabase();
    ServerProcess server(db, {"--posts-per-minute", "0"});
    // Several pooled connections, all of which the restart leaves dead.
    std::vector<std::thread> posters;
    for (int t = 0; t < 4; ++t) {
        posters.emplace_back(
            [&, t] { httpGet(server.port(), post("Before" + std::to_string(t), "1/1/26", "1")); });
    }
    for (std::thread& t : posters) t.join();
    PgCluster::shared().restart();
    for (int i = 0; i < 4; ++i) {
        Reply reply = httpGet(server.port(), post("After" + std::to_string(i), "1/1/26", "2"));
        EXPECT_EQ(reply.status, 200) << reply.body;
    }
    EXPECT_EQ(page(server.port()).size(), 8u);
    EXPECT_EQ(server.log().find("database:"), std::string::npos) << server.log();
}

// Posters storm the server and it is killed outright in the middle: after a
// restart every answered post is on the list once, and no post twice.
class Storm : public ::testing::TestWithParam<Engine> {};

TEST_P(Storm, KillNineLosesAndDoublesNothing) {
    TempDir dir;
    std::string db = freshDatabase(GetParam(), dir.path());
    std::mutex mutex;
    std::set<std::string> answered;
    {
        ServerProcess server(db, {"--posts-per-minute", "0"});
        std::vector<std::thread> posters;
        for (int t = 0; t < 4; ++t) {
            posters.emplace_back([&, t] {
                for (int i = 0; i < 60; ++i) {
                    std::string name = "S" + std::to_string(t) + "n" + std::to_string(i);
                    if (httpGet(server.port(), post(name, "1/1/26", std::to_string(i)), "",
                                "127.0.0.1", 5s)
                            .status == 200) {
                        std::lock_guard lock(mutex);
                        answered.insert(name);
                    }
                }
            });
        }
        for (auto until = std::chrono::steady_clock::now() + 20s;
             std::chrono::steady_clock::now() < until;) {
            std::this_thread::sleep_for(1ms);
            std::lock_guard lock(mutex);
            if (answered.size() >= 60) break;
        }
        server.stop(SIGKILL);
        for (std::thread& t : posters) t.join();
    }
    ASSERT_GE(answered.size(), 60u);
    ServerProcess again(db, {"--top", "10000"});
    std::multiset<std::string> stored;
    for (const Row& r : page(again.port())) stored.insert(r.name);
    for (const std::string& name : answered) EXPECT_EQ(stored.count(name), 1u) << name;
    for (const std::string& name : stored) EXPECT_EQ(stored.count(name), 1u) << name;
}

INSTANTIATE_TEST_SUITE_P(Engines, Storm, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         [](const auto& info) { return engineName(info.param); });

}  // namespace
}  // namespace quintelle::testing
