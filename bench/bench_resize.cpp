// Resizing the main window: what a step of a drag costs (controls laid out
// again, pictures shown stretched) and what the redraw once the size settles
// costs (every picture drawn afresh), against one plain repaint of the same
// window, measured in the same run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/appdir.h"
#include "ui/main/boardscale.h"
#include "ui/main/mainform.h"

namespace {

Tmain& window() {
    static QTemporaryDir home;
    static Tmain* main = [] {
        quintelle::platform::setExecutableFolder(home.path());
        auto* w = new Tmain;
        w->show();
        QApplication::processEvents();
        return w;
    }();
    return *main;
}

// Sizes a drag passes through, none at a whole or half step (whose pictures
// are kept).
QSize dragSize(int step) {
    Tmain& main = window();
    return quintelle::ui::clientFor(1.3 + 0.01 * (step % 20)) +
           QSize(0, main.centralWidget()->y());
}

void BM_PlainRepaint(benchmark::State& state) {
    Tmain& main = window();
    main.resize(dragSize(0));
    QApplication::processEvents();
    for (auto _ : state) main.repaint();
}

void BM_DragStep(benchmark::State& state) {
    Tmain& main = window();
    int step = 0;
    for (auto _ : state) {
        main.resize(dragSize(++step));
        QApplication::processEvents();
        main.repaint();
    }
}

void BM_SettledRedraw(benchmark::State& state) {
    Tmain& main = window();
    auto* settle = main.centralWidget()->findChild<QTimer*>(QStringLiteral("settle"));
    int step = 0;
    for (auto _ : state) {
        main.resize(dragSize(++step));
        QApplication::processEvents();
        QMetaObject::invokeMethod(settle, "timeout");
        main.repaint();
    }
}

}  // namespace

BENCHMARK(BM_PlainRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SettledRedraw)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
