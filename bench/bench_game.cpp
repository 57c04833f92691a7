#include <benchmark/benchmark.h>

#include "game/PokerHand.h"
#include "game/deck.h"

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
}
BENCHMARK(BM_classifyhand);

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
