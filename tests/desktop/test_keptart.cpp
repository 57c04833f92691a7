// The drawn art kept in the player's cache folder: the first start stores it,
// later starts read it back and show exactly the same window, and a damaged
// picture is drawn again and replaced.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QThread>

#include "tests/support/desktop.h"

using quintelle::testing::Desktop;
using quintelle::testing::GameProcess;
using quintelle::testing::waitUntil;

namespace {

// Processor time the process has used so far, all its threads, in ms.
double cpuMilliseconds(qint64 pid) {
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (stat.open(QIODevice::ReadOnly))
            total += stat.readAll().split(' ').value(0).toDouble() / 1e6;
    }
    return total;
}

// What the window shows, but for the name box: its caret blinks, and the box
// is live text, not kept art. The box lies at (110, 166) of the inner board.
QImage grabWithoutNameBox(const GameProcess& game) {
    QImage image = game.grab();
    if (!image.isNull())
        QPainter(&image).fillRect(QRect(game.onBoard({110, 166}), QSize(161, 32)), Qt::black);
    return image;
}

// The window once the game has settled: over 300 ms it used under 2% of a
// processor and what it shows did not change. A screen merely unchanged is not
// enough: a slow first start can leave the window blank for longer than two
// grabs take while it draws.
QImage settledGrab(const GameProcess& game) {
    QImage last = grabWithoutNameBox(game);
    double cpu = cpuMilliseconds(game.processId());
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        QThread::msleep(300);
        QImage now = grabWithoutNameBox(game);
        const double used = cpuMilliseconds(game.processId());
        const bool settled = !now.isNull() && now == last && used - cpu < 6.0;
        last = std::move(now);
        cpu = used;
        if (settled) break;
    }
    return last;
}

struct Started {
    QImage window;
    std::optional<int> exitCode;
    QString output;
};

Started startLookAndClose(Desktop& desktop) {
    GameProcess game(desktop);
    Started run;
    if (!game.start()) {
        run.output = game.output();
        return run;
    }
    run.window = settledGrab(game);
    game.close();
    run.exitCode = game.waitForExit();
    run.output = game.output();
    return run;
}

ino_t inodeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

}  // namespace

TEST(KeptArt, LaterStartsReadTheStoredPicturesAndLookTheSame) {
    // A screen on which the board opens at its design size, as the names
    // below say.
    Desktop desktop({.windowManager = true, .screen = {1024, 768}});
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    const QDir pictures(desktop.environment().value(QStringLiteral("HOME")) +
                        QStringLiteral("/.cache/Orvanta/Quintelle/pictures"));

    const Started first = startLookAndClose(desktop);
    ASSERT_EQ(first.exitCode, std::optional<int>(0)) << first.output.toStdString();
    const QStringList builds = pictures.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(builds.size(), 1) << pictures.path().toStdString();
    const QDir stored(pictures.filePath(builds.front()));
    const QString board = stored.filePath(QStringLiteral("board@1.pix"));
    ASSERT_TRUE(QFileInfo::exists(board)) << stored.entryList().join(u' ').toStdString();
    EXPECT_GE(stored.entryList(QDir::Files).size(), 8);
    const ino_t boardFile = inodeOf(board);

    // Read, not drawn and stored again: the file is the same one.
    const Started second = startLookAndClose(desktop);
    ASSERT_EQ(second.exitCode, std::optional<int>(0)) << second.output.toStdString();
    EXPECT_EQ(second.window, first.window);
    EXPECT_EQ(inodeOf(board), boardFile);

    QFile file(board);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 middle = file.size() / 2;
    file.seek(middle);
    file.write("\x12\x34\x56\x78", 4);
    file.close();
    const QByteArray damaged = [&] {
        QFile f(board);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    const Started third = startLookAndClose(desktop);
    ASSERT_EQ(third.exitCode, std::optional<int>(0)) << third.output.toStdString();
    EXPECT_EQ(third.window, first.window);
    QFile replaced(board);
    ASSERT_TRUE(replaced.open(QIODevice::ReadOnly));
    const QByteArray now = replaced.readAll();
    EXPECT_EQ(now.size(), damaged.size());
    EXPECT_TRUE(now != damaged) << "the damaged picture was kept";
}
