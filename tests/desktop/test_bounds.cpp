// The main window's bounds on a real desktop, read from outside: the frame
// goes where the settings file says, comes back where it was left, and never
// shows less than the legible board.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "tests/support/desktop.h"

using quintelle::testing::Desktop;
using quintelle::testing::GameProcess;

namespace {

constexpr QSize kLeast{406, 350};  // the least client area below the menu bar: the board at 0.6
constexpr QSize kFirstStart{1014, 873};  // on a 1280 x 1024 screen: the board at 1.5

// The four bounds the settings file holds, as a frame rectangle.
std::optional<QRect> storedBounds(const GameProcess& game) {
    const auto file = game.readFile(QStringLiteral("quintelle.ini"));
    if (!file) return {};
    auto value = [&](const char* key) -> std::optional<int> {
        const QRegularExpression line(
            QStringLiteral("(?m)^%1=(-?\\d+)\\r?$").arg(QLatin1String(key)));
        const auto match = line.match(QString::fromLatin1(*file));
        if (!match.hasMatch()) return {};
        return match.captured(1).toInt();
    };
    const auto left = value("Left"), top = value("Top"), width = value("Width"),
               height = value("Height");
    if (!left || !top || !width || !height) return {};
    return QRect(*left, *top, *width, *height);
}

QByteArray settings(QRect frame) {
    return QStringLiteral(
               "[quintelle]\r\nTop=%1\r\nLeft=%2\r\nWidth=%3\r\nHeight=%4\r\nUpdate=false\r\n")
        .arg(frame.y())
        .arg(frame.x())
        .arg(frame.width())
        .arg(frame.height())
        .toLatin1();
}

QSize clientBelowMenu(const GameProcess& game, const GameProcess::Geometry& g) {
    return g.client.size() - QSize(0, game.menuBarHeight());
}

std::string describe(const GameProcess::Geometry& g) {
    auto text = [](QRect r) {
        return QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    };
    return (QStringLiteral("frame ") + text(g.frame) + QStringLiteral(" client ") + text(g.client))
        .toStdString();
}

// Starts the game and waits until its frame settles at `frame`.
GameProcess::Geometry startAt(GameProcess& game, QRect frame) {
    EXPECT_TRUE(game.start()) << game.output().toStdString();
    return game.waitForGeometry([&](const GameProcess::Geometry& g) { return g.frame == frame; });
}

void closeCleanly(GameProcess& game) {
    game.close();
    EXPECT_EQ(game.waitForExit(), std::optional<int>(0)) << game.output().toStdString();
}

}  // namespace

TEST(WindowBounds, FirstStartShowsTheTitleBarAtThreeThreeAndComesBackThere) {
    Desktop desktop;
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    GameProcess game(desktop);
    ASSERT_TRUE(game.start()) << game.output().toStdString();
    const auto first = game.waitForGeometry(
        [](const GameProcess::Geometry& g) { return g.frame.topLeft() == QPoint(3, 3); });
    EXPECT_EQ(first.frame.topLeft(), QPoint(3, 3)) << describe(first);
    EXPECT_GT(first.client.top(), first.frame.top()) << "the title bar is above the client";
    EXPECT_EQ(clientBelowMenu(game, first), kFirstStart) << describe(first);
    closeCleanly(game);
    EXPECT_EQ(storedBounds(game), std::optional<QRect>(first.frame));

    const auto again = startAt(game, first.frame);
    EXPECT_EQ(again.frame, first.frame) << describe(again);
    EXPECT_EQ(again.client, first.client) << describe(again);
    closeCleanly(game);
    EXPECT_EQ(storedBounds(game), std::optional<QRect>(first.frame));
}

TEST(WindowBounds, StoredBoundsAreTheFrameAndComeBackUnchanged) {
    const QRect rows[] = {
        QRect(50, 40, 800, 700),
        QRect(300, 120, 900, 640),
        QRect(0, 0, 700, 680),
    };
    Desktop desktop;
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    for (const QRect& stored : rows) {
        SCOPED_TRACE(describe({stored, stored}));
        GameProcess game(desktop);
        game.writeFile(QStringLiteral("quintelle.ini"), settings(stored));
        const auto shown = startAt(game, stored);
        EXPECT_EQ(shown.frame, stored) << describe(shown);
        closeCleanly(game);
        EXPECT_EQ(storedBounds(game), std::optional<QRect>(stored));
    }
}

TEST(WindowBounds, AnUndersizedWindowKeepsItsPlaceAndGrowsToTheLegibleBoard) {
    Desktop desktop;
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    GameProcess game(desktop);
    game.writeFile(QStringLiteral("quintelle.ini"), settings(QRect(30, 30, 200, 150)));
    ASSERT_TRUE(game.start()) << game.output().toStdString();
    const auto shown = game.waitForGeometry([&](const GameProcess::Geometry& g) {
        return g.frame.topLeft() == QPoint(30, 30) && clientBelowMenu(game, g) == kLeast;
    });
    EXPECT_EQ(shown.frame.topLeft(), QPoint(30, 30)) << describe(shown);
    EXPECT_EQ(clientBelowMenu(game, shown), kLeast) << describe(shown);
    closeCleanly(game);
    EXPECT_EQ(storedBounds(game), std::optional<QRect>(shown.frame));
}

TEST(WindowBounds, AMovedAndResizedWindowComesBackWhereItWasLeft) {
    Desktop desktop;
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    GameProcess game(desktop);
    ASSERT_TRUE(game.start()) << game.output().toStdString();
    game.waitForGeometry(
        [](const GameProcess::Geometry& g) { return g.frame.topLeft() == QPoint(3, 3); });
    game.moveFrame(QPoint(210, 160));
    game.resizeWindow(QSize(850, 720));
    const auto left = game.waitForGeometry([](const GameProcess::Geometry& g) {
        return g.client.size() == QSize(850, 720) && g.frame.topLeft() != QPoint(3, 3);
    });
    ASSERT_EQ(left.client.size(), QSize(850, 720)) << describe(left);
    closeCleanly(game);
    EXPECT_EQ(storedBounds(game), std::optional<QRect>(left.frame));

    const auto back = startAt(game, left.frame);
    EXPECT_EQ(back.frame, left.frame) << describe(back);
    closeCleanly(game);
}

// Without a window manager nobody enforces the size hints: the program itself
// sets a window squeezed below the legible board back, height first, then width.
TEST(WindowBounds, WithoutAWindowManagerTheProgramKeepsTheBoardWhole) {
    Desktop desktop({.windowManager = false});
    ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
    GameProcess game(desktop);
    ASSERT_TRUE(game.start()) << game.output().toStdString();
    const auto first = game.waitForGeometry(
        [](const GameProcess::Geometry& g) { return g.frame.topLeft() == QPoint(3, 3); });
    EXPECT_EQ(first.frame.topLeft(), QPoint(3, 3)) << describe(first);
    const int menu = game.menuBarHeight();

    struct Row {
        QSize squeezed;
        QSize expected;  // client area, menu bar included
    };
    const Row rows[] = {
        {{300, 200}, {kLeast.width(), kLeast.height() + menu}},
        {{900, 200}, {900, kLeast.height() + menu}},
        {{300, 800}, {kLeast.width(), 800}},
    };
    for (const Row& row : rows) {
        game.resizeWindow(row.squeezed);
        const auto after = game.waitForGeometry(
            [&](const GameProcess::Geometry& g) { return g.client.size() == row.expected; });
        EXPECT_EQ(after.client.size(), row.expected) << describe(after);
    }
    closeCleanly(game);
}
