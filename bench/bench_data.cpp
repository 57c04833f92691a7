#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
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
BENCHMARK(BM_compressTally);
BENCHMARK(BM_decompressTally);

constexpr std::size_t kEightMiB = std::size_t{8} << 20;

// 8 MiB of tally text: the grids of many players, each with its own names,
// scores and dates, one after the other.
const Bytes& tallyLikeText() {
    static const Bytes data = [] {
        static const char* const names[] = {"Guest", "Ann", "Bea Marlow", "Maximilian", "Oz"};
        std::mt19937 random(3);
        Bytes out;
        while (out.size() < kEightMiB) {
            TextGrid grid(9, 12);
            for (int c = 0; c <= 4; ++c) grid.set(c, 0, std::to_string(random() % 5000));
            for (int r = 1; r <= 10; ++r) {
                grid.set(0, r, names[random() % 5]);
                grid.set(1, r, r > 7 ? "-1000" : std::to_string(random() % 3000));
                grid.set(2, r,
                         std::to_string(random() % 28 + 1) + "/" +
                             std::to_string(random() % 12 + 1) + "/2026");
            }
            const std::string text = savegrid(grid);
            out.insert(out.end(), text.begin(), text.end());
        }
        out.resize(kEightMiB);
        return out;
    }();
    return data;
}

const Bytes& randomBytes() {
    static const Bytes data = [] {
        std::mt19937 random(5);
        Bytes out(kEightMiB);
        for (auto& b : out) b = static_cast<std::uint8_t>(random());
        return out;
    }();
    return data;
}

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// The floor: the median time of copying the same bytes, over many copies
// measured in this run, since a few vary by half with caches and clock speed.
double memcpySeconds(const Bytes& input) {
    Bytes copy(input.size());
    std::vector<double> times;
    for (int i = 0; i < 101; ++i) {
        const auto start = Clock::now();
        std::memcpy(copy.data(), input.data(), input.size());
        benchmark::ClobberMemory();
        times.push_back(secondsSince(start));
    }
    return median(times);
}

// Times `work` on `input` and reports it as a multiple of the floor measured
// just before it ("x_memcpy"); both are medians.
template <class Work>
void againstMemcpy(benchmark::State& state, const Bytes& input, Work work) {
    const double floor = memcpySeconds(input);
    std::vector<double> times;
    for (auto _ : state) {
        const auto start = Clock::now();
        work();
        const double seconds = secondsSince(start);
        state.SetIterationTime(seconds);
        times.push_back(seconds);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
    state.counters["x_memcpy"] = median(times) / floor;
}

void BM_memcpy8MiB(benchmark::State& state) {
    Bytes copy(kEightMiB);
    againstMemcpy(state, tallyLikeText(), [&] {
        std::memcpy(copy.data(), tallyLikeText().data(), kEightMiB);
        benchmark::ClobberMemory();
    });
}
void BM_compress8MiB(benchmark::State& state, const Bytes& (*input)()) {
    againstMemcpy(state, input(), [&] { benchmark::DoNotOptimize(compressFast(input())); });
}
void BM_decompress8MiB(benchmark::State& state, const Bytes& (*input)()) {
    const Bytes file = compressFast(input());
    againstMemcpy(state, input(), [&] { benchmark::DoNotOptimize(decompress(file)); });
    state.counters["ratio"] = static_cast<double>(file.size()) / static_cast<double>(kEightMiB);
}
BENCHMARK(BM_memcpy8MiB)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_compress8MiB, tallyText, tallyLikeText)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_decompress8MiB, tallyText, tallyLikeText)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_compress8MiB, randomBytes, randomBytes)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_decompress8MiB, randomBytes, randomBytes)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

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
