// The 53 card pictures: the back and the 52 faces.

#include <QLinearGradient>
#include <QRadialGradient>
#include <QTransform>
#include <algorithm>
#include <vector>

#include "art.h"
#include "courts.h"
#include "paint.h"

namespace quintelle::art {

using namespace detail;

namespace {

constexpr QRectF cardRect{0.5, 0.5, 70.0, 95.0};
constexpr QPointF cardCentre{35.5, 48.0};
constexpr qreal cornerRadius = 5.0;

struct Face {
    Suit suit;
    int rank;
};

Face faceOf(int picture) {
    return {suitof(picture), rankof(picture)};
}

// The number a card of rank Two to Ten shows, and how many pips it carries.
int pipsOf(int rank) {
    return rank + 2;
}

QString rankText(int rank) {
    switch (rank) {
        case static_cast<int>(Court::Jack):
            return QStringLiteral("J");
        case static_cast<int>(Court::Queen):
            return QStringLiteral("Q");
        case static_cast<int>(Court::King):
            return QStringLiteral("K");
        case kAce:
            return QStringLiteral("A");
        default:
            return QString::number(pipsOf(rank));
    }
}

QColor inkOf(Suit s) {
    return isRed(s) ? palette::red : palette::ink;
}

// Runs `draw` for the upper half and again turned half a turn about the
// card's centre, which is how playing cards read from either end.
template <typename Draw>
void mirrored(QPainter& p, Draw draw) {
    draw();
    p.save();
    p.translate(cardCentre);
    p.rotate(180);
    p.translate(-cardCentre);
    draw();
    p.restore();
}

void drawBlank(QPainter& p) {
    QLinearGradient g(0, 0, 71, 96);
    g.setColorAt(0, QColor(255, 255, 252));
    g.setColorAt(1, QColor(246, 241, 228));
    p.setPen(QPen(QColor(122, 112, 98), 1.0));
    p.setBrush(g);
    p.drawRoundedRect(cardRect, cornerRadius, cornerRadius);
}

// Every index shares one cap height, baseline and centre line, so the corners
// line up from card to card; "10" is condensed to the width of one letter so
// it never crowds the pips beside it.
QPainterPath indexGlyphs(int rank) {
    constexpr qreal capHeight = 10.5;
    constexpr qreal maxWidth = 11.0;
    constexpr QPointF baseCentre{8.0, 14.5};
    QFont font = sans(14);
    if (pipsOf(rank) == 10) font.setLetterSpacing(QFont::AbsoluteSpacing, -0.6);
    QPainterPath glyphs;
    glyphs.addText(0, 0, font, rankText(rank));
    QPainterPath cap;
    cap.addText(0, 0, font, QStringLiteral("K"));
    const qreal scale = capHeight / cap.boundingRect().height();
    const QRectF bounds = glyphs.boundingRect();
    QTransform t;
    t.translate(baseCentre.x(), baseCentre.y());
    t.scale(std::min(scale, maxWidth / bounds.width()), scale);
    t.translate(-bounds.center().x(), 0);
    return t.map(glyphs);
}

void drawIndex(QPainter& p, Face f) {
    const QPainterPath glyphs = indexGlyphs(f.rank);
    mirrored(p, [&] {
        p.setPen(Qt::NoPen);
        p.setBrush(inkOf(f.suit));
        p.drawPath(glyphs);
        drawSuit(p, f.suit, QPointF(8.0, 21.5), 8.5, inkOf(f.suit));
    });
}

// Pip places on a 3-column grid; rows are fractions from the top pip (0)
// to the bottom pip (1). Pips below the middle are drawn upside down.
struct Pip {
    int column;  // 0 left, 1 centre, 2 right
    double row;
};

std::vector<Pip> pipLayout(int pips) {
    const double t = 1.0 / 3.0;
    const std::vector<Pip> sides4{{0, 0}, {0, t}, {0, 2 * t}, {0, 1},
                                  {2, 0}, {2, t}, {2, 2 * t}, {2, 1}};
    const std::vector<Pip> sides3{{0, 0}, {0, 0.5}, {0, 1}, {2, 0}, {2, 0.5}, {2, 1}};
    switch (pips) {
        case 2:
            return {{1, 0}, {1, 1}};
        case 3:
            return {{1, 0}, {1, 0.5}, {1, 1}};
        case 4:
            return {{0, 0}, {0, 1}, {2, 0}, {2, 1}};
        case 5:
            return {{0, 0}, {0, 1}, {2, 0}, {2, 1}, {1, 0.5}};
        case 6:
            return sides3;
        case 7: {
            auto v = sides3;
            v.push_back({1, 0.25});
            return v;
        }
        case 8: {
            auto v = sides3;
            v.push_back({1, 0.25});
            v.push_back({1, 0.75});
            return v;
        }
        case 9: {
            auto v = sides4;
            v.push_back({1, 0.5});
            return v;
        }
        case 10: {
            auto v = sides4;
            v.push_back({1, 1.0 / 6.0});
            v.push_back({1, 5.0 / 6.0});
            return v;
        }
        default:
            return {};
    }
}

void drawPips(QPainter& p, Face f) {
    const qreal columns[3] = {21.5, 35.5, 49.5};
    const qreal top = 17.0;
    const qreal bottom = 79.0;
    const int pips = pipsOf(f.rank);
    const qreal height = pips >= 9 ? 12.0 : 13.5;
    for (const Pip& pip : pipLayout(pips)) {
        const QPointF at(columns[pip.column], top + (bottom - top) * pip.row);
        p.save();
        if (pip.row > 0.5) {
            p.translate(at);
            p.rotate(180);
            p.translate(-at);
        }
        drawSuit(p, f.suit, at, height, inkOf(f.suit));
        p.restore();
    }
}

void drawAce(QPainter& p, Face f) {
    const qreal size = f.suit == Suit::Spades ? 40.0 : 34.0;
    if (f.suit == Suit::Spades) {
        // The spade Ace carries the pack's flourish: a gold ring behind the pip.
        p.setPen(QPen(palette::goldDark, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(cardCentre, 25.0, 25.0);
        p.setPen(QPen(palette::gold, 0.8));
        p.drawEllipse(cardCentre, 22.5, 22.5);
    }
    drawSuit(p, f.suit, cardCentre, size, inkOf(f.suit));
    if (f.suit == Suit::Spades) {
        drawSuit(p, f.suit, cardCentre + QPointF(0, -2), 10.0, palette::ivory);
        drawSuit(p, f.suit, cardCentre + QPointF(0, -2), 6.0, palette::ink);
    }
}

// ------------------------------------------------------------------- the back

void drawBack(QPainter& p) {
    drawBlank(p);
    const QRectF field = cardRect.adjusted(3.5, 3.5, -3.5, -3.5);
    QLinearGradient g(field.topLeft(), field.bottomRight());
    g.setColorAt(0, QColor(132, 26, 44));
    g.setColorAt(1, QColor(92, 14, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(field, 3.0, 3.0);

    // Gold lattice of fine diagonals with a dot at each crossing.
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(field.adjusted(2.5, 2.5, -2.5, -2.5), 2.0, 2.0);
    p.setClipPath(clip);
    QColor lattice = palette::gold;
    lattice.setAlpha(110);
    p.setPen(QPen(lattice, 0.6));
    const qreal step = 7.0;
    for (qreal d = -100; d < 180; d += step) {
        p.drawLine(QPointF(d, 0), QPointF(d + 96, 96));
        p.drawLine(QPointF(d, 96), QPointF(d + 96, 0));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(lattice);
    for (qreal y = cardCentre.y() - 10 * step; y < 100; y += step)
        for (qreal x = cardCentre.x() - 10 * step; x < 80; x += step) {
            p.drawEllipse(QPointF(x, y), 0.9, 0.9);
            p.drawEllipse(QPointF(x + step / 2, y + step / 2), 0.6, 0.6);
        }
    p.restore();

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(palette::gold, 1.0));
    p.drawRoundedRect(field.adjusted(2.0, 2.0, -2.0, -2.0), 2.0, 2.0);

    // Central medallion with the Q.
    const QRectF oval(cardCentre.x() - 15.0, cardCentre.y() - 19.0, 30.0, 38.0);
    QRadialGradient rg(cardCentre, 19.0);
    rg.setColorAt(0, QColor(255, 248, 230));
    rg.setColorAt(1, QColor(236, 220, 184));
    p.setPen(QPen(palette::gold, 2.0));
    p.setBrush(rg);
    p.drawEllipse(oval);
    p.setPen(QPen(palette::goldDark, 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(oval.adjusted(2.5, 2.5, -2.5, -2.5));
    const QPainterPath q = fittedText(QStringLiteral("Q"), serif(30), oval.adjusted(6, 7, -6, -7));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(112, 20, 36));
    p.drawPath(q);
    for (qreal dy : {-24.5, 24.5}) {
        p.setBrush(palette::gold);
        p.drawPath(fourPointStar(cardCentre + QPointF(0, dy), 3.2, 1.0));
    }
}

}  // namespace

QPixmap card(int picture, qreal dpr) {
    Canvas canvas(cardSize, dpr);
    QPainter& p = canvas.painter();
    if (picture <= 0 || picture > 52) {
        drawBack(p);
        return canvas.finish();
    }
    const Face f = faceOf(picture);
    drawBlank(p);
    if (f.rank == kAce)
        drawAce(p, f);
    else if (f.rank >= static_cast<int>(Court::Jack))
        drawCourt(p, f.suit, static_cast<Court>(f.rank));
    else
        drawPips(p, f);
    drawIndex(p, f);
    return canvas.finish();
}

}  // namespace quintelle::art
