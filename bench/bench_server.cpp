// The score service under load: 8 clients post 4,000 scores, then read the
// page 1,000 times, on each storage engine. Each rate stands beside the rate
// of a trivial handler of the same server in the same run (the HTTP floor).
// Then 200 slow clients trickle requests at it from ten addresses: a normal
// page read is timed while they stay, and the posts are measured again.
// The Daily Deal on each engine: what a placement adds to a trivial POST's
// round trip, one at a time, and whole rounds per second from 8 players
// beside the rate of trivial POSTs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <set>
#include <stdexcept>
#include <thread>

#include "data/dailyprotocol.h"
#include "server/daily.h"
#include "server/http.h"
#include "server/scorestore.h"
#include "server/service.h"
#include "tests/server/harness.h"

namespace {

using namespace quintelle;
using Clock = std::chrono::steady_clock;

constexpr int kClients = 8;
constexpr int kPosts = 4000;
constexpr int kReads = 1000;
constexpr int kSlowClients = 200;
constexpr int kProbes = 100;

// Requests per second for total requests spread over kClients clients, each
// request on a new connection as the game makes them; 0 when any failed.
double rate(int port, int total, const std::function<std::string(int, int)>& target) {
    std::atomic<int> failures = 0;
    auto start = Clock::now();
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            for (int i = c; i < total; i += kClients) {
                if (testing::httpGet(port, target(c, i)).status != 200) ++failures;
            }
        });
    }
    for (std::thread& t : clients) t.join();
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return failures > 0 ? 0.0 : total / seconds;
}

std::function<std::string(int, int)> posts(const std::string& tag) {
    return [tag](int c, int i) {
        return "/cgi-bin/quintelle.cgi?name=" + tag + std::to_string(c) + "-" + std::to_string(i) +
               "&date=3/5/26&score=" + std::to_string(i);
    };
}

// Milliseconds each of kProbes page reads took, one after another; an
// unanswered read counts as its whole timeout, and three of them end it.
std::vector<double> probe(int port) {
    std::vector<double> ms;
    int unanswered = 0;
    for (int i = 0; i < kProbes && unanswered < 3; ++i) {
        auto start = Clock::now();
        bool answered = testing::httpGet(port, "/counter/quintelle.shtml", "", "127.0.0.1",
                                         std::chrono::seconds(5))
                            .status == 200;
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        unanswered += !answered;
    }
    std::sort(ms.begin(), ms.end());
    return ms;
}

void serviceUnderLoad(benchmark::State& state, testing::Engine engine) {
    testing::TempDir dir;
    std::string db = testing::freshDatabase(engine, dir.path());
    server::Database database(db);
    server::ScoreStore store(database);
    server::DailyStore dailyStore(database);
    server::ServiceSettings settings;
    settings.postsPerMinute = 0;  // every client posts from 127.0.0.1
    server::DailyDeal daily(dailyStore, settings.daily, {}, server::wallClockMs);
    std::vector<server::Route> routes = server::serviceRoutes(store, daily, settings);
    routes.push_back(
        {"/trivial", [](const server::Request&) { return server::Response::text(200, "ok"); }});
    server::HttpServer http(server::HttpLimits{}, nullptr);
    int port = http.bind("127.0.0.1", 0);
    http.start(std::move(routes));

    for (auto _ : state) {
        auto trivial = [](int, int) { return std::string("/trivial"); };
        double postFloor = rate(port, kPosts, trivial);
        double calm = rate(port, kPosts, posts("c"));
        double readFloor = rate(port, kReads, trivial);
        double reads = rate(port, kReads, [](int, int) { return "/counter/quintelle.shtml"; });

        std::vector<std::string> sources;
        for (int a = 2; a < 12; ++a) sources.push_back("127.0.0." + std::to_string(a));
        double attacked = 0;
        int held = 0;
        std::vector<double> probes;
        {
            testing::Tricklers slow(port, kSlowClients, sources, std::chrono::seconds(1), true);
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            probes = probe(port);
            if (probes.size() == kProbes) attacked = rate(port, kPosts, posts("a"));
            held = slow.open();
        }

        // Every post stored exactly once.
        int expected = kPosts * (attacked > 0 ? 2 : 1);
        std::set<std::string> names;
        for (const auto& s : store.top(2 * kPosts + 1)) names.insert(s.name);
        if (calm == 0 || store.size() != expected || static_cast<int>(names.size()) != expected) {
            state.SkipWithError("posts failed, lost or stored twice");
        }
        state.counters["posts/s"] = calm;
        state.counters["post_floor/s"] = postFloor;
        state.counters["post_ratio"] = calm / postFloor;
        state.counters["reads/s"] = reads;
        state.counters["read_floor/s"] = readFloor;
        state.counters["read_ratio"] = reads / readFloor;
        state.counters["slow_probe_median_ms"] = probes[probes.size() / 2];
        state.counters["slow_probe_max_ms"] = probes.back();
        state.counters["slow_clients_open"] = held;
        state.counters["slow_posts/s"] = attacked;
        state.counters["slow_post_ratio"] = attacked / calm;
    }
    http.stop();
}

// A trivial POST, the floor the Daily Deal's requests stand beside.
const server::Route kTrivialPost = {
    "/trivial", [](const server::Request&) { return server::Response::text(200, "ok"); }, true};

double millisecondsFor(const std::function<void()>& work) {
    auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// One whole round: 25 cells in order, the 26th card covering the first.
// False when any answer was not the protocol's next step; each placement's
// time goes into placements when given.
bool playRound(int port, const std::string& name, std::vector<double>* placements = nullptr) {
    daily::Reply reply = testing::dailyPost(port, daily::kSessionPath, "name=" + name).reply;
    for (int k = 0; k < 26; ++k) {
        const auto* deal = std::get_if<daily::Deal>(&reply);
        if (!deal) return false;
        const int cell = k < 25 ? (k / 5 + 1) * 10 + k % 5 + 1 : 11;
        const std::string body = daily::format(daily::Place{deal->session, deal->move, cell});
        const double ms = millisecondsFor(
            [&] { reply = testing::dailyPost(port, daily::kPlacePath, body).reply; });
        if (placements) placements->push_back(ms);
    }
    return std::holds_alternative<daily::Result>(reply);
}

// Seconds kClients clients take to run total jobs between them.
double secondsFor(int total, const std::function<bool(int)>& job, std::atomic<int>& done) {
    return millisecondsFor([&] {
               std::vector<std::thread> clients;
               for (int c = 0; c < kClients; ++c) {
                   clients.emplace_back([&, c] {
                       for (int i = c; i < total; i += kClients) done += job(i);
                   });
               }
               for (std::thread& t : clients) t.join();
           }) /
           1000;
}

void dailyRounds(benchmark::State& state, testing::Engine engine) {
    constexpr int kTimedRounds = 20, kRounds = 240;
    testing::TempDir dir;
    server::Database database(testing::freshDatabase(engine, dir.path()));
    server::DailyStore store(database);
    server::DailyDeal deal(store, {.sessionsPerHour = 0, .parPlayouts = 50}, {},
                           server::wallClockMs);
    std::vector<server::Route> routes = deal.routes();
    routes.push_back(kTrivialPost);
    server::HttpServer http(server::HttpLimits{}, nullptr);
    int port = http.bind("127.0.0.1", 0);
    http.start(std::move(routes));
    playRound(port, "warm");  // the day's seed and par are made here, not timed

    for (auto _ : state) {
        std::vector<double> trivial, placements;
        bool ok = true;
        for (int r = 0; r < kTimedRounds; ++r) {
            for (int i = 0; i < 26; ++i) {
                trivial.push_back(millisecondsFor(
                    [&] { testing::httpPost(port, "/trivial", "session=x&move=1&cell=11"); }));
            }
            ok = playRound(port, "t" + std::to_string(r), &placements) && ok;
        }
        std::atomic<int> trivialDone = 0, played = 0;
        double floorRate =
            kRounds * 27 /
            secondsFor(
                kRounds * 27,
                [&](int) { return testing::httpPost(port, "/trivial", "a=1").status == 200; },
                trivialDone);
        double rounds =
            kRounds /
            secondsFor(
                kRounds, [&](int i) { return playRound(port, "p" + std::to_string(i)); }, played);
        if (!ok || played != kRounds || trivialDone != kRounds * 27) {
            state.SkipWithError("a round or a request went wrong");
        }
        state.counters["placement_ms"] = median(placements);
        state.counters["trivial_post_ms"] = median(trivial);
        state.counters["placement_added_ms"] = median(placements) - median(trivial);
        state.counters["rounds/s"] = rounds;
        state.counters["requests/s"] = rounds * 27;
        state.counters["floor_requests/s"] = floorRate;
        state.counters["request_ratio"] = rounds * 27 / floorRate;
    }
    http.stop();
}

BENCHMARK_CAPTURE(serviceUnderLoad, SQLite, testing::Engine::Sqlite)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(serviceUnderLoad, PostgreSQL, testing::Engine::Postgres)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(dailyRounds, SQLite, testing::Engine::Sqlite)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(dailyRounds, PostgreSQL, testing::Engine::Postgres)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
