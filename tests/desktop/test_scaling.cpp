// The board on screens from a netbook's to a 4K one, at display scales 1
// and 2: the first start's frame lies on the screen, the board fills it at
// the scale expected, and a round played by clicks at the scaled cells lays
// each card where it was clicked, as at the design size.
#include <gtest/gtest.h>

#include "data/tallystore.h"
#include "tests/desktop/panels.h"
#include "tests/support/desktop.h"

using namespace quintelle::testing;

namespace {

struct ScreenRow {
    QSize screen;
    int displayScale;
    // The board's scale expected, in the program's own pixels: a whole or
    // half step, or on a screen too small for 1, shrunk to fit.
    double least, most;
};

std::string describe(const ScreenRow& row) {
    return std::to_string(row.screen.width()) + "x" + std::to_string(row.screen.height()) + " at " +
           std::to_string(row.displayScale);
}

// Share of a cell's middle that is the green felt of an empty place.
double feltShare(const GameProcess& game, const QImage& client, int row, int column) {
    const QPoint centre = game.cellCentre(row, column);
    const int reach = int(20 * game.boardScale());
    int felt = 0, all = 0;
    for (int y = centre.y() - reach; y <= centre.y() + reach; y += 2)
        for (int x = centre.x() - reach / 2; x <= centre.x() + reach / 2; x += 2) {
            const QRgb p = client.pixel(x, y);
            ++all;
            felt += qGreen(p) > qRed(p) + 25 && qGreen(p) > qBlue(p) + 10 && qGreen(p) < 150;
        }
    return all ? double(felt) / all : 1.0;
}

}  // namespace

TEST(ScaledBoard, FirstStartFitsTheScreenAndARoundIsPlayedAtTheScaledCells) {
    const ScreenRow rows[] = {
        {{1024, 768}, 1, 1.0, 1.0}, {{1280, 1024}, 1, 1.5, 1.5}, {{3840, 2160}, 1, 3.5, 3.5},
        {{1024, 768}, 2, 0.3, 0.6}, {{1280, 1024}, 2, 0.6, 1.0}, {{3840, 2160}, 2, 1.5, 1.5},
    };
    for (const ScreenRow& row : rows) {
        SCOPED_TRACE(describe(row));
        Desktop desktop({.screen = row.screen});
        ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
        GameProcess game(desktop);
        game.setEnvironment(QStringLiteral("QT_SCALE_FACTOR"), QString::number(row.displayScale));
        ASSERT_TRUE(game.start()) << game.output().toStdString();
        const QRect screen(QPoint(), row.screen);
        const auto shown = game.waitForGeometry([&](const GameProcess::Geometry& g) {
            return g.frame.topLeft() == QPoint(3, 3) * row.displayScale &&
                   screen.contains(g.frame) && !game.boardFrame().isEmpty();
        });
        EXPECT_TRUE(screen.contains(shown.frame));

        // The board fills the window's area below the menu bar.
        const QRect board = game.boardFrame();
        const double scale = game.boardScale() / row.displayScale;
        EXPECT_GE(scale, row.least - 0.005);
        EXPECT_LE(scale, row.most + 0.005);
        const QSize below = shown.client.size() - QSize(0, game.menuBarHeight());
        EXPECT_NEAR(board.width(), 671 * scale * row.displayScale, 2);
        EXPECT_LE(below.width() - board.width(), (5 * scale + 4) * row.displayScale);
        EXPECT_LE(below.height() - board.height(), (5 * scale + 4) * row.displayScale);

        game.click(game.onBoard(QPoint(28 + 62 + 47, 112 + 112 + 14)));  // the name panel's DONE
        game.click(game.startButton());
        for (int r = 1; r <= 5; ++r)
            for (int c = 1; c <= 5; ++c) game.click(game.cellCentre(r, c));
        ASSERT_TRUE(waitUntil(
            [&] {
                const QImage client = game.grab();
                for (int r = 1; r <= 5; ++r)
                    for (int c = 1; c <= 5; ++c)
                        if (feltShare(game, client, r, c) > 0.25) return false;
                return true;
            },
            10000))
            << "a card is missing from a clicked cell";
        game.click(game.cellCentre(3, 3));  // the 26th card replaces one
        EXPECT_TRUE(
            waitUntil([&] { return roundResult(game) != RoundResult::None; }, 10000));
        game.close();
        ASSERT_EQ(game.waitForExit(), std::optional<int>(0)) << game.output().toStdString();
        quintelle::TallyModel tally([] { return std::string(); });
        quintelle::TallyStore(game.folder().toStdString()).load(tally);
        EXPECT_EQ(tally.statistic(quintelle::TallyModel::kRoundsPlayed), "1");
    }
}

// A dense or small screen: the help window, larger than the work area at
// some of these, opens wholly on the screen.
TEST(ScaledBoard, TheHelpWindowOpensWhollyOnTheScreen) {
    const std::pair<QSize, double> rows[] = {
        {{1024, 768}, 1.5}, {{1280, 1024}, 2}, {{1024, 768}, 2}};
    for (const auto& [size, displayScale] : rows) {
        SCOPED_TRACE(std::to_string(size.width()) + " at " + std::to_string(displayScale));
        Desktop desktop({.screen = size});
        ASSERT_TRUE(desktop.ready()) << desktop.error().toStdString();
        GameProcess game(desktop);
        game.setEnvironment(QStringLiteral("QT_SCALE_FACTOR"), QString::number(displayScale));
        ASSERT_TRUE(game.start()) << game.output().toStdString();
        const QRect screen(QPoint(), size);
        EXPECT_TRUE(screen.contains(game.geometry().frame));
        game.key(QStringLiteral("F1"));
        unsigned long help = 0;
        GameProcess::Geometry shown;
        EXPECT_TRUE(waitUntil(
            [&] {
                help = desktop.findWindow(game.processId(), QStringLiteral("Quintelle - Help File"));
                shown = game.geometryOf(help);
                return help && shown.frame != shown.client;  // framed by the window manager
            },
            10000));
        EXPECT_TRUE(screen.contains(shown.frame))
            << shown.frame.x() << "," << shown.frame.y() << " " << shown.frame.width() << "x"
            << shown.frame.height();
        game.close();
        EXPECT_EQ(game.waitForExit(), std::optional<int>(0)) << game.output().toStdString();
    }
}
