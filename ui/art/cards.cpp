// The 53 card pictures: the back and the 52 faces.

#include <QLinearGradient>
#include <QRadialGradient>
#include <array>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "art.h"
#include "paint.h"

namespace quintelle::art {

using namespace detail;

namespace {

constexpr QRectF cardRect{0.5, 0.5, 70.0, 95.0};
constexpr QPointF cardCentre{35.5, 48.0};
constexpr qreal cornerRadius = 5.0;

struct Face {
    Suit suit;
    int rank;  // 2..14, Ace high
};

Face faceOf(int picture) {
    const int index = picture - 1;
    return {static_cast<Suit>(index / 13), index % 13 + 2};
}

QString rankText(int rank) {
    switch (rank) {
        case 11:
            return QStringLiteral("J");
        case 12:
            return QStringLiteral("Q");
        case 13:
            return QStringLiteral("K");
        case 14:
            return QStringLiteral("A");
        default:
            return QString::number(rank);
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

void drawIndex(QPainter& p, Face f) {
    const QString text = rankText(f.rank);
    const qreal spacing = f.rank == 10 ? -1.4 : 0.0;
    QPainterPath glyphs = fittedText(text, sans(14), QRectF(1.5, 3.5, 13.0, 11.0), spacing);
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

std::vector<Pip> pipLayout(int rank) {
    const double t = 1.0 / 3.0;
    const std::vector<Pip> sides4{{0, 0}, {0, t}, {0, 2 * t}, {0, 1},
                                  {2, 0}, {2, t}, {2, 2 * t}, {2, 1}};
    const std::vector<Pip> sides3{{0, 0}, {0, 0.5}, {0, 1}, {2, 0}, {2, 0.5}, {2, 1}};
    switch (rank) {
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
    const qreal height = f.rank >= 9 ? 12.0 : 13.5;
    for (const Pip& pip : pipLayout(f.rank)) {
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

// ---------------------------------------------------------------- court cards

struct CourtColours {
    QColor robe;
    QColor robeDark;
    QColor second;  // lining and jewels
    QColor lips;
    QColor line;
};

CourtColours courtColours(Suit s) {
    if (isRed(s))
        return {palette::red, palette::redDark, palette::blue, QColor(186, 58, 62),
                QColor(60, 20, 16)};
    return {palette::blue, QColor(18, 34, 84), QColor(22, 104, 64), QColor(128, 82, 74),
            palette::ink};
}

constexpr QRectF courtPanel{13.5, 11.5, 44.0, 73.0};

void drawCrown(QPainter& p, const CourtColours& c, int rank) {
    QPainterPath crown;
    if (rank == 13) {  // King: tall crown, three points topped with balls
        crown.moveTo(27.5, 23.0);
        crown.lineTo(26.5, 15.5);
        crown.lineTo(30.5, 19.0);
        crown.lineTo(35.5, 13.5);
        crown.lineTo(40.5, 19.0);
        crown.lineTo(44.5, 15.5);
        crown.lineTo(43.5, 23.0);
        crown.closeSubpath();
    } else {  // Queen: lower coronet with rounded points
        crown.moveTo(29.0, 22.5);
        crown.lineTo(28.0, 18.0);
        crown.quadTo(30.5, 19.5, 32.0, 17.0);
        crown.quadTo(33.8, 15.0, 35.5, 16.2);
        crown.quadTo(37.2, 15.0, 39.0, 17.0);
        crown.quadTo(40.5, 19.5, 43.0, 18.0);
        crown.lineTo(42.0, 22.5);
        crown.closeSubpath();
    }
    p.setPen(QPen(c.line, 0.6));
    p.setBrush(goldGradient(crown.boundingRect()));
    p.drawPath(crown);
    p.setPen(Qt::NoPen);
    p.setBrush(c.second);
    p.drawEllipse(QPointF(35.5, 20.5), 1.3, 1.3);
    p.setBrush(c.robe);
    p.drawEllipse(QPointF(31.0, 21.0), 0.9, 0.9);
    p.drawEllipse(QPointF(40.0, 21.0), 0.9, 0.9);
    if (rank == 13) {
        p.setBrush(palette::goldLight);
        for (qreal x : {26.5, 35.5, 44.5})
            p.drawEllipse(QPointF(x, x == 35.5 ? 13.5 : 15.5), 1.1, 1.1);
    }
}

void drawJackCap(QPainter& p, const CourtColours& c) {
    // A soft cap with a gold band and a long feather sweeping back.
    QPainterPath feather;
    feather.moveTo(40.0, 19.0);
    feather.cubicTo(46.0, 12.0, 52.0, 13.0, 55.0, 15.5);
    feather.cubicTo(50.0, 15.5, 46.0, 17.0, 41.5, 21.0);
    feather.closeSubpath();
    p.setPen(QPen(c.line, 0.5));
    p.setBrush(c.second);
    p.drawPath(feather);

    QPainterPath cap;
    cap.moveTo(27.0, 22.5);
    cap.cubicTo(26.0, 14.0, 45.0, 13.0, 44.5, 21.5);
    cap.closeSubpath();
    p.setBrush(c.robe);
    p.drawPath(cap);
    p.setBrush(goldGradient(QRectF(27, 20, 18, 3)));
    p.drawRoundedRect(QRectF(27.0, 20.5, 17.5, 2.6), 1.0, 1.0);
}

void drawCourtFigure(QPainter& p, Face f) {
    const CourtColours c = courtColours(f.suit);
    const qreal midY = cardCentre.y();

    // Something held: a sword for the King, a flower for the Queen, a staff
    // for the Jack. Drawn first so the figure's shoulder overlaps it.
    p.setPen(Qt::NoPen);
    if (f.rank == 13) {
        p.setBrush(QColor(214, 218, 226));
        p.setPen(QPen(c.line, 0.5));
        p.drawRect(QRectF(19.2, 15.0, 2.6, 26.0));
        p.setBrush(goldGradient(QRectF(16, 38, 9, 3)));
        p.drawRect(QRectF(16.5, 38.0, 8.0, 2.2));
    } else if (f.rank == 12) {
        p.setPen(QPen(QColor(40, 110, 50), 0.9));
        p.drawLine(QPointF(50.0, 26.0), QPointF(47.0, 42.0));
        p.setPen(QPen(c.line, 0.4));
        p.setBrush(c.second);
        for (int i = 0; i < 5; ++i) {
            const qreal a = i * 72.0 * std::numbers::pi / 180.0;
            p.drawEllipse(QPointF(50.0 + 2.0 * std::cos(a), 25.0 + 2.0 * std::sin(a)), 1.5, 1.5);
        }
        p.setBrush(palette::goldLight);
        p.drawEllipse(QPointF(50.0, 25.0), 1.2, 1.2);
    } else {
        p.setPen(QPen(palette::goldDark, 1.3));
        p.drawLine(QPointF(50.5, 15.0), QPointF(50.5, 44.0));
        p.setPen(QPen(c.line, 0.5));
        p.setBrush(QColor(214, 218, 226));
        QPainterPath blade;
        blade.moveTo(50.5, 12.5);
        blade.lineTo(53.5, 18.0);
        blade.lineTo(50.5, 20.0);
        blade.lineTo(47.5, 18.0);
        blade.closeSubpath();
        p.drawPath(blade);
    }

    // Robe: broad shoulders down to the middle line, gold trim and collar.
    QPainterPath robe;
    robe.moveTo(17.0, midY);
    robe.cubicTo(17.0, 38.0, 22.0, 34.5, 29.0, 33.5);
    robe.lineTo(42.0, 33.5);
    robe.cubicTo(49.0, 34.5, 54.0, 38.0, 54.0, midY);
    robe.closeSubpath();
    QLinearGradient rg(17, 33, 54, 48);
    rg.setColorAt(0, c.robe);
    rg.setColorAt(1, c.robeDark);
    p.setPen(QPen(c.line, 0.6));
    p.setBrush(rg);
    p.drawPath(robe);

    // A sash across the chest in the second colour, edged in gold.
    p.save();
    p.setClipPath(robe, Qt::IntersectClip);
    QPainterPath sash;
    sash.moveTo(17.0, 38.5);
    sash.lineTo(21.0, 34.0);
    sash.lineTo(42.0, midY + 1);
    sash.lineTo(35.0, midY + 1);
    sash.closeSubpath();
    p.setBrush(c.second);
    p.setPen(QPen(palette::gold, 0.9));
    p.drawPath(sash);
    p.setPen(Qt::NoPen);
    p.setBrush(palette::goldLight);
    for (qreal t : {0.2, 0.45, 0.7})
        p.drawEllipse(QPointF(19.0 + 19.5 * t, 36.2 + 12.0 * t), 0.8, 0.8);
    p.restore();

    // Front panel of the robe in gold with a small suit sign.
    QPainterPath front;
    front.moveTo(30.5, midY);
    front.lineTo(32.0, 35.0);
    front.lineTo(39.0, 35.0);
    front.lineTo(40.5, midY);
    front.closeSubpath();
    p.setBrush(goldGradient(front.boundingRect()));
    p.drawPath(front);
    drawSuit(p, f.suit, QPointF(35.5, 42.5), 6.0, inkOf(f.suit));

    // Ermine collar for the King and Queen, a plain gold collar for the Jack.
    p.setPen(QPen(c.line, 0.5));
    if (f.rank >= 12) {
        p.setBrush(palette::ivory);
        p.drawRoundedRect(QRectF(25.5, 32.0, 20.0, 3.6), 1.8, 1.8);
        p.setPen(Qt::NoPen);
        p.setBrush(palette::ink);
        for (qreal x : {28.5, 32.5, 38.5, 42.5}) p.drawEllipse(QPointF(x, 33.8), 0.5, 0.7);
    } else {
        p.setBrush(goldGradient(QRectF(27, 32, 17, 3)));
        p.drawRoundedRect(QRectF(27.5, 32.2, 16.0, 3.0), 1.5, 1.5);
    }

    // The hand that holds the King's sword, the Queen's flower or the Jack's staff.
    const QPointF hand = f.rank == 13   ? QPointF(21.0, 38.0)
                         : f.rank == 12 ? QPointF(47.0, 41.0)
                                        : QPointF(50.5, 38.5);
    p.setPen(QPen(c.line, 0.5));
    p.setBrush(palette::flesh);
    p.drawEllipse(hand, 2.1, 1.8);

    // Hair behind the face.
    p.setPen(QPen(c.line, 0.5));
    const QColor hair = f.rank == 12 ? QColor(196, 146, 62) : QColor(110, 72, 36);
    p.setBrush(hair);
    if (f.rank == 12) {
        QPainterPath locks;
        locks.moveTo(28.0, 22.0);
        locks.cubicTo(25.0, 28.0, 25.5, 32.0, 27.0, 34.0);
        locks.lineTo(44.0, 34.0);
        locks.cubicTo(45.5, 32.0, 46.0, 28.0, 43.0, 22.0);
        locks.closeSubpath();
        p.drawPath(locks);
    } else {
        p.drawEllipse(QRectF(28.0, 20.0, 15.0, 11.0));
    }

    // Face.
    p.setBrush(palette::flesh);
    p.drawEllipse(QRectF(30.0, 21.0, 11.0, 12.0));
    if (f.rank == 13) {  // King's beard
        QPainterPath beard;
        beard.moveTo(30.3, 27.0);
        beard.cubicTo(30.5, 34.0, 33.0, 36.5, 35.5, 36.5);
        beard.cubicTo(38.0, 36.5, 40.5, 34.0, 40.7, 27.0);
        beard.cubicTo(38.5, 29.5, 32.5, 29.5, 30.3, 27.0);
        p.setBrush(QColor(232, 228, 220));
        p.drawPath(beard);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(c.line);
    p.drawEllipse(QPointF(33.2, 26.0), 0.75, 0.75);
    p.drawEllipse(QPointF(37.8, 26.0), 0.75, 0.75);
    p.setPen(QPen(c.line, 0.5));
    p.drawLine(QPointF(33.0, 24.4), QPointF(34.3, 24.2));
    p.drawLine(QPointF(36.7, 24.2), QPointF(38.0, 24.4));
    p.setPen(QPen(c.lips, 0.9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(34.4, 30.0), QPointF(36.6, 30.0));

    if (f.rank == 11)
        drawJackCap(p, c);
    else
        drawCrown(p, c, f.rank);
}

void drawCourt(QPainter& p, Face f) {
    // Framed portrait panel.
    p.setPen(Qt::NoPen);
    QLinearGradient bg(courtPanel.topLeft(), courtPanel.bottomLeft());
    bg.setColorAt(0, QColor(250, 238, 204));
    bg.setColorAt(0.5, QColor(255, 250, 236));
    bg.setColorAt(1, QColor(250, 238, 204));
    p.setBrush(bg);
    p.drawRect(courtPanel);

    p.save();
    p.setClipRect(QRectF(courtPanel.left(), courtPanel.top(), courtPanel.width(),
                         cardCentre.y() - courtPanel.top()));
    drawCourtFigure(p, f);
    p.restore();
    p.save();
    p.setClipRect(QRectF(courtPanel.left(), cardCentre.y(), courtPanel.width(),
                         courtPanel.bottom() - cardCentre.y()));
    p.translate(cardCentre);
    p.rotate(180);
    p.translate(-cardCentre);
    drawCourtFigure(p, f);
    p.restore();

    // Dividing line and the frame: gold between two ink lines.
    const QColor ink = inkOf(f.suit);
    p.setPen(QPen(palette::goldDark, 0.7));
    p.drawLine(QPointF(courtPanel.left(), cardCentre.y()),
               QPointF(courtPanel.right(), cardCentre.y()));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(palette::gold, 2.0));
    p.drawRect(courtPanel.adjusted(0.5, 0.5, -0.5, -0.5));
    p.setPen(QPen(ink, 0.7));
    p.drawRect(courtPanel.adjusted(-0.6, -0.6, 0.6, 0.6));
    p.drawRect(courtPanel.adjusted(1.6, 1.6, -1.6, -1.6));

    // The rank letter and suit in the panel's corners, as on printed courts.
    mirrored(p, [&] { drawSuit(p, f.suit, QPointF(18.5, 17.5), 6.0, ink); });
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
    if (f.rank == 14)
        drawAce(p, f);
    else if (f.rank >= 11)
        drawCourt(p, f);
    else
        drawPips(p, f);
    drawIndex(p, f);
    return canvas.finish();
}

}  // namespace quintelle::art
