// The round history at 100,000 rounds against an empty one, in the same run:
//  - start-up: the program's windows made and the main one shown, over a
//    player's folder holding the history (which the start must not read);
//  - the round's end: the first round of a session stored (the newest
//    segment read, the round added, the segment written and synced), and a
//    later round of the same session;
//  - the statistics window opened: the whole history read, summed up and drawn.
// Each figure is reported with the empty history's as the floor (`ratio`).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <map>

#include "data/history.h"
#include "data/historystats.h"
#include "game/coach.h"
#include "platform/appdir.h"
#include "ui/main/mainform.h"
#include "ui/main/program.h"
#include "ui/statistics/statisticsform.h"

namespace {

using namespace quintelle;
namespace fs = std::filesystem;

constexpr std::size_t kLongHistory = 100'000;

// Distinct rounds a greedy player would make, repeated through the history.
std::vector<PlayedRound> sampleRounds() {
    std::vector<PlayedRound> rounds;
    Random random(20261209);
    for (int n = 0; n < 500; ++n) {
        PlayedRound r;
        r.seed = random.state();
        Deck deck{};
        shufflecards(deck, random);
        Position p = Position::start(deck[1]);
        for (int k = 1; k <= 26; ++k) {
            const int cell = *greedymove(p);
            r.cards[std::size_t(k - 1)] = deck[std::size_t(k)];
            r.cells[std::size_t(k - 1)] = cell;
            p.place(cell, k < 26 ? deck[std::size_t(k + 1)] : 0);
        }
        r.lines = linePoints(finalGrid(r));
        for (int l : r.lines) r.points += l;
        r.roundInGame = n % 4 + 1;
        r.seconds = 20 + n % 70;
        r.bonus = r.seconds <= 30 ? 50 : r.seconds <= 60 ? 35 : 20;
        r.cleared = n % 4 != 3;
        rounds.push_back(r);
    }
    return rounds;
}

// A player's folder with `count` rounds of history, written as the store
// lays it out (segments of kSegmentRounds), without a sync per round.
struct PlayerFolder {
    QTemporaryDir dir;
    fs::path history() const { return fs::path(dir.path().toStdString()) / "history"; }

    explicit PlayerFolder(std::size_t count) {
        fs::create_directories(history());
        const auto samples = sampleRounds();
        std::string segment;
        std::uint32_t game = 0;
        for (std::size_t i = 0; i < count; ++i) {
            RoundRecord r;
            r.round = samples[i % samples.size()];
            if (r.round.roundInGame == 1) ++game;
            r.game = std::max<std::uint32_t>(game, 1);
            r.when = 1'600'000'000 + std::int64_t(i) * 600;
            r.expert = r.round.points + 20;
            segment += encodeRecord(r);
            if ((i + 1) % HistoryStore::kSegmentRounds == 0 || i + 1 == count) {
                char name[32];
                std::snprintf(name, sizeof name, "rounds-%06zu.qhr",
                              i / HistoryStore::kSegmentRounds + 1);
                std::ofstream(history() / name, std::ios::binary) << "QTLHIS01" << segment;
                segment.clear();
            }
        }
    }
};

PlayerFolder& folderOf(std::size_t rounds) {
    static std::map<std::size_t, std::unique_ptr<PlayerFolder>> folders;
    auto& f = folders[rounds];
    if (!f) f = std::make_unique<PlayerFolder>(rounds);
    return *f;
}

const PlayedRound& aRound() {
    static const PlayedRound round = sampleRounds()[3];
    return round;
}

void BM_startUp(benchmark::State& state) {
    PlayerFolder& folder = folderOf(std::size_t(state.range(0)));
    platform::setExecutableFolder(folder.dir.path());
    for (auto _ : state) {
        ui::ProgramWindows windows;
        windows.main().show();
        benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(&windows.main()));
        state.PauseTiming();
        windows.main().hide();
        state.ResumeTiming();
    }
}

void BM_roundEnd(benchmark::State& state) {
    PlayerFolder& folder = folderOf(std::size_t(state.range(0)));
    const bool firstOfSession = state.range(1) != 0;
    HistoryStore session(folder.history());
    session.append(aRound());
    for (auto _ : state) {
        if (firstOfSession) {
            HistoryStore store(folder.history());
            benchmark::DoNotOptimize(store.append(aRound()));
        } else {
            benchmark::DoNotOptimize(session.append(aRound()));
        }
    }
}

void BM_statisticsOpened(benchmark::State& state) {
    PlayerFolder& folder = folderOf(std::size_t(state.range(0)));
    for (auto _ : state) {
        HistoryStore store(folder.history());
        ui::Tstatistics window(nullptr, store);
        window.show();
        benchmark::DoNotOptimize(QTest::qWaitForWindowExposed(&window));
        window.repaint();  // the charts and the best round's cards drawn
        benchmark::DoNotOptimize(window.figures().rounds);
    }
}

BENCHMARK(BM_startUp)->Arg(0)->Arg(kLongHistory)->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(BM_roundEnd)
    ->Args({0, 1})
    ->Args({kLongHistory, 1})
    ->Args({0, 0})
    ->Args({kLongHistory, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(60);
BENCHMARK(BM_statisticsOpened)
    ->Arg(0)
    ->Arg(kLongHistory)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    {
        // What any first start pays once (fonts, the art's first drawing) is
        // paid here, not by whichever row comes first.
        QTemporaryDir warm;
        platform::setExecutableFolder(warm.path());
        ui::ProgramWindows windows;
        windows.main().show();
        (void)QTest::qWaitForWindowExposed(&windows.main());
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
