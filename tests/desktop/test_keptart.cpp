// The drawn art kept in the player's cache folder: the first start stores it,
// later starts read it back and show exactly the same window, and a damaged
// picture is drawn again and replaced.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "tests/support/desktop.h"

using quintelle::testing::Desktop;
using quintelle::testing::GameProcess;
using quintelle::testing::waitUntil;

namespace {

// The window once two grabs 300 ms apart agree.
QImage settledGrab(const GameProcess& game) {
    QImage last = game.grab();
    waitUntil(
        [&] {
            QImage now = game.grab();
            const bool same = !now.isNull() && now == last;
            last = std::move(now);
            return same;
        },
        10000);
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
    Desktop desktop({.windowManager = true});
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
