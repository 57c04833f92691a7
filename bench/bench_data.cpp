#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "data/gridtext.h"
#include "data/lzrw1.h"

namespace {

using namespace quintelle;
using Bytes = std::vector<std::uint8_t>;

// A full tally: counters plus ten named, dated, scored entries.
Bytes tallyText() {
    TextGrid grid(9, 12);
    for (int c = 0; c <= 4; ++c) grid.set(c, 0, std::to_string(137 * (c + 1)));
    for (int r = 1; r <= 10; ++r) {
        grid.set(0, r, "Player" + std::to_string(r));
        grid.set(1, r, std::to_string(2400 - 150 * r));
        grid.set(2, r, "0" + std::to_string(r % 9 + 1) + "/12/2024");
    }
    const std::string text = savegrid(grid);
    return Bytes(text.begin(), text.end());
}

// 1 MB that compresses the way text does: words with some noise.
Bytes megabyte() {
    static const char* const words[] = {"round ", "score ",    "cleared ", "target ",
                                        "flush ", "-1000\r\n", "Guest "};
    std::mt19937 random(3);
    Bytes data;
    while (data.size() < (1u << 20)) {
        const std::string_view word = words[random() % 7];
        data.insert(data.end(), word.begin(), word.end());
        if (random() % 8 == 0) data.push_back(static_cast<std::uint8_t>(random()));
    }
    data.resize(1u << 20);
    return data;
}

void compressBench(benchmark::State& state, const Bytes& input) {
    for (auto _ : state) benchmark::DoNotOptimize(compressFast(input));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

void decompressBench(benchmark::State& state, const Bytes& input) {
    const Bytes file = compressFast(input);
    for (auto _ : state) benchmark::DoNotOptimize(decompress(file));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
    state.counters["ratio"] = static_cast<double>(file.size()) / static_cast<double>(input.size());
}

void BM_compressTally(benchmark::State& state) {
    compressBench(state, tallyText());
}
void BM_decompressTally(benchmark::State& state) {
    decompressBench(state, tallyText());
}
void BM_compress1MB(benchmark::State& state) {
    compressBench(state, megabyte());
}
void BM_decompress1MB(benchmark::State& state) {
    decompressBench(state, megabyte());
}
BENCHMARK(BM_compressTally);
BENCHMARK(BM_decompressTally);
BENCHMARK(BM_compress1MB);
BENCHMARK(BM_decompress1MB);

void BM_saveLoadTallyGrid(benchmark::State& state) {
    const Bytes text = tallyText();
    const std::string_view bytes(reinterpret_cast<const char*>(text.data()), text.size());
    TextGrid grid;
    for (auto _ : state) {
        loadgrid(grid, bytes);
        benchmark::DoNotOptimize(savegrid(grid));
    }
}
BENCHMARK(BM_saveLoadTallyGrid);

}  // namespace
