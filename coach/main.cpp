// quintelle-coach: the coach against random placement and a one-step greedy
// player on the same seeded deals.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "game/coach.h"
#include "game/deck.h"

using namespace quintelle;

namespace {

struct Options {
    int deals = 100;
    std::uint32_t seed = 1;
    Budget budget{0, 150, 0};
    int threads = 1;
};

void usage() {
    std::fprintf(stderr,
                 "usage: quintelle-coach [--deals N] [--seed S] [--budget B] [--threads T]\n"
                 "  B is the coach's time per decision in milliseconds (150, as in the game),\n"
                 "  or a playout count when followed by p (2000p: repeatable).\n");
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return false;
        const std::string value = argv[++i];
        char* end = nullptr;
        const long n = std::strtol(value.c_str(), &end, 10);
        if (end == value.c_str() || n < 0) return false;
        if (arg == "--deals" && !*end && n > 0) {
            o.deals = static_cast<int>(n);
        } else if (arg == "--seed" && !*end) {
            o.seed = static_cast<std::uint32_t>(n);
        } else if (arg == "--threads" && !*end && n > 0) {
            o.threads = static_cast<int>(n);
        } else if (arg == "--budget" && n > 0 && (!*end || !std::strcmp(end, "p"))) {
            o.budget.playouts = *end ? static_cast<int>(n) : 0;
            o.budget.milliseconds = *end ? 0 : static_cast<int>(n);
        } else {
            return false;
        }
    }
    return true;
}

struct Tally {
    long points = 0;
    int atLeast100 = 0;
    void add(int p) {
        points += p;
        atLeast100 += p >= 100;
    }
};

double percentile(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    const auto k = static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5);
    std::nth_element(v.begin(), v.begin() + static_cast<long>(k), v.end());
    return v[k];
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        usage();
        return 2;
    }
    std::vector<Tally> coach(o.deals), greedy(o.deals), random(o.deals);
    std::vector<std::vector<double>> times(static_cast<std::size_t>(o.threads));
    std::atomic<int> nextDeal{0};
    auto work = [&](int worker) {
        for (int d; (d = nextDeal++) < o.deals;) {
            Random shuffle(o.seed + static_cast<std::uint32_t>(d));
            Deck deck{};
            shufflecards(deck, shuffle);
            std::uint64_t decision = 0;
            coach[d].add(playround(deck, [&](const Position& p) {
                Budget b = o.budget;
                b.seed = (static_cast<std::uint64_t>(o.seed) << 32) +
                         static_cast<std::uint64_t>(d) * 64 + decision++;
                const auto t0 = std::chrono::steady_clock::now();
                const int cell = *coachmove(p, b);
                times[worker].push_back(
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                        .count());
                return cell;
            }));
            greedy[d].add(playround(deck, [](const Position& p) { return *greedymove(p); }));
            std::uint64_t state = o.seed * 1000003ull + static_cast<std::uint64_t>(d);
            random[d].add(
                playround(deck, [&](const Position& p) { return *randommove(p, state); }));
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < o.threads; ++t) pool.emplace_back(work, t);
    work(0);
    for (auto& t : pool) t.join();

    std::printf("%d deals from seed %u, coach budget %d %s per decision, %d thread(s)\n", o.deals,
                o.seed, o.budget.playouts ? o.budget.playouts : o.budget.milliseconds,
                o.budget.playouts ? "playouts" : "ms", o.threads);
    std::printf("%-8s %12s %10s\n", "player", "points/round", ">= 100");
    auto row = [&](const char* name, const std::vector<Tally>& t) {
        Tally sum;
        for (const Tally& x : t) {
            sum.points += x.points;
            sum.atLeast100 += x.atLeast100;
        }
        std::printf("%-8s %12.1f %9.1f%%\n", name, static_cast<double>(sum.points) / o.deals,
                    100.0 * sum.atLeast100 / o.deals);
    };
    row("coach", coach);
    row("greedy", greedy);
    row("random", random);
    std::vector<double> all;
    for (auto& t : times) all.insert(all.end(), t.begin(), t.end());
    std::printf("coach decision time: median %.1f ms, p95 %.1f ms, max %.1f ms (%zu decisions)\n",
                percentile(all, 0.5), percentile(all, 0.95),
                all.empty() ? 0.0 : *std::max_element(all.begin(), all.end()), all.size());
    return 0;
}
