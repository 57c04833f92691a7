// The floor the start-up benchmark holds the game against: a bare Qt window
// of the board's size with one label, whose text changes once a second as the
// game's round clock does.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.resize(676, 582);
    QLabel label(&window);
    label.setGeometry(20, 20, 200, 20);
    int seconds = 0;
    auto show = [&] {
        label.setText(QStringLiteral("Time: %1:%2")
                          .arg(seconds / 60)
                          .arg(seconds % 60, 2, 10, QLatin1Char('0')));
    };
    show();
    QTimer clock;
    clock.setInterval(1000);
    QObject::connect(&clock, &QTimer::timeout, &label, [&] {
        ++seconds;
        show();
    });
    clock.start();
    window.show();
    return app.exec();
}
