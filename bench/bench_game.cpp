#include <benchmark/benchmark.h>

#include "game/PokerHand.h"
#include "game/coach.h"
#include "game/deck.h"
#include "game/handeval.h"

namespace {

using namespace quintelle;

void BM_classifyhand(benchmark::State& state) {
    Random random(12345);
    Deck deck{};
    shufflecards(deck, random);
    int i = 0;
    for (auto _ : state) {
        const int base = 1 + (i++ % 40);
        benchmark::DoNotOptimize(classifyhand(deck[base], deck[base + 1], deck[base + 2],
                                              deck[base + 3], deck[base + 4]));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_classifyhand);

// The coach's classifier on the same hands; compare items/s with the above.
void BM_fastclass(benchmark::State& state) {
    Random random(12345);
    Deck deck{};
    shufflecards(deck, random);
    int i = 0;
    for (auto _ : state) {
        const int base = 1 + (i++ % 40);
        benchmark::DoNotOptimize(
            fastclass(deck[base], deck[base + 1], deck[base + 2], deck[base + 3], deck[base + 4]));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_fastclass);

// One coach decision a third of the way into a round, by playout budget.
void BM_coachmove(benchmark::State& state) {
    Random random(7);
    Deck deck{};
    shufflecards(deck, random);
    Position p = Position::start(deck[1]);
    for (int k = 1; k <= 8; ++k) p.place(*greedymove(p), deck[k + 1]);
    for (auto _ : state)
        benchmark::DoNotOptimize(coachmove(p, Budget{static_cast<int>(state.range(0)), 0, 1}));
}
BENCHMARK(BM_coachmove)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_shufflecards(benchmark::State& state) {
    Random random(1);
    Deck deck{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(shufflecards(deck, random));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_shufflecards);

}  // namespace
