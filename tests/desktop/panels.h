#pragma once
// What the board shows at the end of a round, read from the main window's
// pixels: the game-over panel with its cream name box, or the continue
// panel, both dark wood laid over the cards.
#include <QImage>
#include <QRect>

#include "tests/support/desktop.h"

namespace quintelle::testing {

enum class RoundResult { None, Continue, GameOver };

// Share of the pixels in `area` (inner board design coordinates, at the
// board's scale) that are the pop-up
// panels' dark wood.
inline double woodShare(const GameProcess& game, const QImage& client, QRect area) {
    const QRect at(game.onBoard(area.topLeft()), game.onBoard(area.bottomRight()));
    int wood = 0, all = 0;
    for (int y = at.top(); y <= at.bottom(); ++y)
        for (int x = at.left(); x <= at.right(); ++x) {
            if (!client.valid(x, y)) continue;
            const QRgb p = client.pixel(x, y);
            const int r = qRed(p), g = qGreen(p), b = qBlue(p);
            ++all;
            wood += r >= 55 && r <= 125 && g >= 28 && g <= 80 && b >= 8 && b <= 45 && r - g >= 20 &&
                    g - b >= 10;
        }
    return all ? double(wood) / all : 0.0;
}

// Share of `area` in the exact colour of the name boxes' background.
inline double creamShare(const GameProcess& game, const QImage& client, QRect area) {
    const QRect at(game.onBoard(area.topLeft()), game.onBoard(area.bottomRight()));
    int cream = 0, all = 0;
    for (int y = at.top(); y <= at.bottom(); ++y)
        for (int x = at.left(); x <= at.right(); ++x) {
            if (!client.valid(x, y)) continue;
            ++all;
            cream += client.pixel(x, y) == qRgb(245, 235, 216);
        }
    return all ? double(cream) / all : 0.0;
}

// The game-over panel reaches 40 pixels lower than the continue panel and
// holds the name box; both cover the top of the grid.
inline RoundResult roundResult(const GameProcess& game) {
    const QImage client = game.grab();
    if (client.isNull()) return RoundResult::None;
    const double top = woodShare(game, client, QRect(40, 95, 300, 10));
    const double low = woodShare(game, client, QRect(40, 395, 300, 20));
    const double nameBox = creamShare(game, client, QRect(114, 287, 155, 26));
    if (top > 0.8 && low > 0.5 && nameBox > 0.5) return RoundResult::GameOver;
    if (top > 0.8 && low < 0.3 && nameBox < 0.1) return RoundResult::Continue;
    return RoundResult::None;
}

// Where the panels' controls are, in inner board coordinates.
inline QPoint gameOverNameBox() {
    return {28 + 83 + 80, 89 + 195 + 16};
}
inline QPoint sendScoreButton() {
    return {28 + 26 + 67, 89 + 245 + 14};
}
inline QPoint continueButton() {
    return {27 + 117 + 47, 88 + 250 + 14};
}
inline QPoint updateYesButton() {
    return {29 + 62 + 47, 104 + 76 + 14};
}
inline QPoint updateNoButton() {
    return {29 + 172 + 47, 104 + 76 + 14};
}
inline QPoint highScoresButton() {
    return {28 + 171 + 67, 89 + 245 + 14};
}

// The update offer is up: its top edge, 8 pixels above the name panel's.
inline bool updateOfferShown(const GameProcess& game) {
    return woodShare(game, game.grab(), QRect(40, 104, 300, 6)) > 0.8;
}

}  // namespace quintelle::testing
