// The high-score viewer against hostile pages: the time from a page's
// arrival to its showing, and the longest the window's event loop went
// unanswered meanwhile, for nested tables of depth 22, 100 and 3,000 and an
// 8 MiB table, each against the floor of the real ten-row score page; and the
// viewer process's peak memory on six 5600 × 5600 pictures, against the same
// process showing a page without pictures.
//
//   quintelle_bench_page                 the benchmarks
//   quintelle_bench_page --memory N      (internal) a viewer with N bomb pictures
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "net/server.h"
#include "tests/support/hostile_pages.h"
#include "tests/support/scripted_server.h"
#include "ui/highscore/htmlviewer.h"

using namespace quintelle::testsupport;

namespace {

// What the vendor's server serves: ten ranked scores.
std::string scorePage() {
    std::string page =
        "<html><body><h2 align=\"center\">High Scores</h2><table align=\"center\" "
        "cellpadding=\"3\"><tr><th>Rank</th><th>Name</th><th>Score</th><th>Date</th></tr>";
    for (int i = 1; i <= 10; ++i)
        page += "<tr><td>" + std::to_string(i) + "</td><td>Player</td><td>" +
                std::to_string(2000 - i * 50) + "</td><td>3/5/26</td></tr>";
    return page + "</table></body></html>";
}

struct Shown {
    double ms = 0;       // from LoadFromString to the page on screen
    double stallMs = 0;  // the longest the event loop did not answer
};

Shown showPage(THtmlViewer& viewer, const QString& html) {
    QElapsedTimer sinceTick;
    double stall = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        stall = std::max(stall, double(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.restart();
    });
    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    ticker.start();
    viewer.LoadFromString(html);
    if (!QTest::qWaitFor([&] { return !viewer.pageLoading(); }, 60000)) return {60000, 60000};
    viewer.repaint();  // laid out and painted, as the player sees it
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    stall = std::max(stall, double(sinceTick.nsecsElapsed()) / 1e6);
    return {ms, stall};
}

void BM_ShowPage(benchmark::State& state, std::string page) {
    THtmlViewer viewer;
    viewer.resize(479, 505);
    viewer.show();
    const QString html = QString::fromStdString(page);
    const QString floor = QString::fromStdString(scorePage());
    double floorMs = 0, stall = 0;
    for (auto _ : state) {
        floorMs += showPage(viewer, floor).ms;
        const Shown shown = showPage(viewer, html);
        stall = std::max(stall, shown.stallMs);
        state.SetIterationTime(shown.ms / 1000);
    }
    const double n = double(state.iterations());
    state.counters["page_kB"] = double(page.size()) / 1024;
    state.counters["floor_ms"] = floorMs / n;
    state.counters["max_unanswered_ms"] = stall;
}

// This process image's peak resident memory (VmHWM, not the rusage figure,
// which keeps the peak of the parent this process was forked from).
long peakRssKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').front().toLong();
    return 0;
}

// A viewer process showing a page with `count` bomb pictures from a loopback
// server; prints its peak resident memory in KiB.
int memoryRun(int count) {
    ScriptedServer server({Reply::ok(bombJpeg(5600, 5600), "image/jpeg")});
    quintelle::net::setVendorServer(
        *quintelle::net::parseServer(QString::fromStdString(server.hostPort())));
    const std::string page = pictures(count, "/big") + scorePage();
    THtmlViewer viewer;
    viewer.resize(479, 505);
    viewer.show();
    viewer.LoadFromString(QString::fromStdString(page));
    if (!QTest::qWaitFor([&] { return !viewer.pageLoading() && viewer.picturesPending() == 0; },
                         60000))
        return 1;
    viewer.repaint();
    QTest::qWait(200);
    std::printf("%ld\n", peakRssKiB());
    return 0;
}

double childPeakMiB(int pictures) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--memory"), QString::number(pictures)});
    child.waitForFinished(120000);
    return child.readAllStandardOutput().trimmed().toDouble() / 1024;
}

void BM_PictureAttackPeakMemory(benchmark::State& state) {
    double attack = 0, floor = 0;
    for (auto _ : state) {
        floor = childPeakMiB(0);
        attack = childPeakMiB(6);
    }
    state.counters["peak_MiB"] = attack;
    state.counters["floor_MiB"] = floor;
    state.counters["ratio"] = floor > 0 ? attack / floor : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--memory") == 0) return memoryRun(std::atoi(argv[2]));
    const std::pair<const char*, std::string> pages[] = {
        {"ScorePage(floor)", scorePage()},          {"NestedTables/22", nestedTables(22)},
        {"NestedTables/100", nestedTables(100)},    {"NestedTables/3000", nestedTables(3000)},
        {"Table/8MiB", hugeTable((8u << 20) - 64)},
    };
    for (const auto& [name, page] : pages)
        benchmark::RegisterBenchmark(name, BM_ShowPage, page)
            ->UseManualTime()
            ->Iterations(3)
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PictureAttack/PeakMemory", BM_PictureAttackPeakMemory)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
