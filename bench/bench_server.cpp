// The score service under load: 8 clients post 4,000 scores, then read the
// page 1,000 times, on each storage engine. Each rate stands beside the rate
// of a trivial handler of the same server in the same run (the HTTP floor).
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <set>
#include <stdexcept>
#include <thread>

#include "server/scorestore.h"
#include "server/service.h"
#include "tests/server/harness.h"

namespace {

using namespace quintelle;

constexpr int kClients = 8;
constexpr int kPosts = 4000;
constexpr int kReads = 1000;

// Requests per second for total requests spread over kClients clients, each
// request on a new connection as the game makes them.
double rate(int port, int total, const std::function<std::string(int, int)>& target) {
    std::atomic<int> failures = 0;
    auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            httplib::Client client("127.0.0.1", port);
            for (int i = c; i < total; i += kClients) {
                auto result = client.Get(target(c, i));
                if (!result || result->status != 200) ++failures;
            }
        });
    }
    for (std::thread& t : clients) t.join();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (failures > 0) throw std::runtime_error(std::to_string(failures) + " requests failed");
    return total / seconds;
}

void serviceUnderLoad(benchmark::State& state, testing::Engine engine) {
    testing::TempDir dir;
    std::string db = testing::freshDatabase(engine, dir.path());
    server::ScoreStore store(db);
    httplib::Server http;
    http.new_task_queue = [] { return new httplib::ThreadPool(16); };
    server::ServiceSettings settings;
    settings.postsPerMinute = 0;  // every client posts from 127.0.0.1
    server::installRoutes(http, store, settings);
    http.Get("/trivial", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("ok", "text/plain");
    });
    int port = http.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { http.listen_after_bind(); });
    while (!http.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));

    for (auto _ : state) {
        auto trivial = [](int, int) { return std::string("/trivial"); };
        double postFloor = rate(port, kPosts, trivial);
        double posts = rate(port, kPosts, [](int c, int i) {
            return "/cgi-bin/quintelle.cgi?name=c" + std::to_string(c) + "-" + std::to_string(i) +
                   "&date=3/5/26&score=" + std::to_string(i);
        });
        double readFloor = rate(port, kReads, trivial);
        double reads = rate(port, kReads, [](int, int) { return "/counter/quintelle.shtml"; });

        // Every post stored exactly once.
        std::set<std::string> names;
        for (const auto& s : store.top(kPosts + 1)) names.insert(s.name);
        if (store.size() != kPosts || names.size() != kPosts) {
            state.SkipWithError("scores lost or stored twice");
        }
        state.counters["posts/s"] = posts;
        state.counters["post_floor/s"] = postFloor;
        state.counters["post_ratio"] = posts / postFloor;
        state.counters["reads/s"] = reads;
        state.counters["read_floor/s"] = readFloor;
        state.counters["read_ratio"] = reads / readFloor;
    }
    http.stop();
    serving.join();
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
