// The score service under load: 8 clients post 4,000 scores, then read the
// page 1,000 times, on each storage engine. Each rate stands beside the rate
// of a trivial handler of the same server in the same run (the HTTP floor).
// Then 200 slow clients trickle requests at it from ten addresses: a normal
// page read is timed while they stay, and the posts are measured again.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <set>
#include <stdexcept>
#include <thread>

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
    server::ServiceSettings settings;
    settings.postsPerMinute = 0;  // every client posts from 127.0.0.1
    std::vector<server::Route> routes = server::serviceRoutes(store, settings);
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

BENCHMARK_CAPTURE(serviceUnderLoad, SQLite, testing::Engine::Sqlite)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(serviceUnderLoad, PostgreSQL, testing::Engine::Postgres)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
