// The Daily Deal as the game sees it: the time from sending a placement to
// holding the next card, through the game's own client (a background fetch
// on libcurl) and the real quintelle-server on loopback, against the floor of
// a trivial request (the version text) to the same server by the same fetch,
// interleaved in one run. Reported as medians and their ratio.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <algorithm>

#include "net/dailyclient.h"
#include "net/server.h"
#include "platform/processend.h"
#include "tests/server/harness.h"

using namespace quintelle;

namespace {

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// Milliseconds until `start`'s work quits the loop it is given.
double waitFor(const std::function<void(QEventLoop&)>& start) {
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    start(loop);
    loop.exec();
    return double(clock.nsecsElapsed()) / 1e6;
}

void placementAsTheGameSeesIt(benchmark::State& state) {
    constexpr int kRounds = 6;
    testing::TempDir dir;
    testing::ServerProcess server((dir.path() / "daily.db").string(),
                                  {"--par-playouts", "50", "--daily-sessions-per-hour", "0"});
    net::setVendorServer(*net::parseServer(QStringLiteral("127.0.0.1:%1").arg(server.port())));

    QEventLoop* running = nullptr;
    int move = 0;
    bool failed = false;
    net::DailyClient client;
    client.setHandlers({[&](const daily::Deal& d) {
                            move = d.move;
                            running->quit();
                        },
                        [&](const daily::Result&) { running->quit(); },
                        [&](const QString&) {
                            failed = true;
                            running->quit();
                        }});
    THTTPGet trivial;
    trivial.OnDoneString = [&](THTTPGet*, const QByteArray&) { running->quit(); };
    trivial.OnError = [&](THTTPGet*) {
        failed = true;
        running->quit();
    };
    auto round = [&](const QString& name, std::vector<double>* placements,
                     std::vector<double>* floor) {
        waitFor([&](QEventLoop& loop) {
            running = &loop;
            client.open(name);
        });
        for (int k = 0; k < 26 && !failed; ++k) {
            const int cell = k < 25 ? (k / 5 + 1) * 10 + k % 5 + 1 : 11;
            const double placed = waitFor([&](QEventLoop& loop) {
                running = &loop;
                client.place(move, cell);
            });
            const double plain = waitFor([&](QEventLoop& loop) {
                running = &loop;
                net::aimAtVendor(trivial, net::vendorpath::versionText());
                trivial.StartFetch();
            });
            if (placements) placements->push_back(placed);
            if (floor) floor->push_back(plain);
        }
    };
    round(QStringLiteral("warm"), nullptr, nullptr);  // the day's seed is made here

    std::vector<double> placements, floor;
    for (auto _ : state)
        for (int r = 0; r < kRounds; ++r)
            round(QStringLiteral("Bench %1").arg(r), &placements, &floor);
    if (failed) {
        state.SkipWithError("a request failed");
        return;
    }
    const double p = median(placements), f = median(floor);
    state.counters["placement_ms"] = p;
    state.counters["floor_ms"] = f;
    state.counters["added_ms"] = p - f;
    state.counters["ratio"] = p / f;
}

}  // namespace

BENCHMARK(placementAsTheGameSeesIt)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) unsetenv(name);
    {
        QCoreApplication app(argc, argv);
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    return platform::endProcess(0);
}
