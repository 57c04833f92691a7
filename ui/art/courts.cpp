#include "courts.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace quintelle::art::detail {

namespace {

constexpr QPointF centre{35.5, 48.0};  // the card's centre: the halves turn about it
constexpr QRectF panel{14.0, 9.0, 43.0, 78.0};
constexpr qreal midX = 35.5;
constexpr qreal tilt = 4.0;  // the halves part on a slight diagonal, as on printed courts

// Colours of one suit's court. Black suits stay cool (greens, blues, black)
// and red suits warm, so the suit colour reads at a glance even from the
// portrait alone; black suits use no saturated red at all.
struct Look {
    Suit suit;
    QColor robe, robeDark;
    QColor lining;  // sleeves, bodice, stripes
    QColor trim;    // braid and chains: gold, or silver for spades
    QColor trimDark;
    QColor jewel;
    QColor hair, hairDark;
    QColor lips;
    QColor line;  // outlines
    QColor ink;   // the suit colour of the emblems
};

Look lookOf(Suit s) {
    const QColor gold = palette::gold, goldDark = palette::goldDark;
    switch (s) {
        case Suit::Clubs:
            return {s,
                    {30, 104, 64},
                    {12, 60, 36},
                    {36, 36, 44},
                    gold,
                    goldDark,
                    {64, 190, 120},
                    {96, 62, 30},
                    {60, 36, 16},
                    {172, 112, 108},
                    {22, 28, 24},
                    palette::ink};
        case Suit::Diamonds:
            return {s,
                    {214, 62, 30},
                    {140, 30, 14},
                    {236, 186, 56},
                    gold,
                    goldDark,
                    {40, 120, 200},
                    {128, 70, 32},
                    {76, 38, 14},
                    {200, 62, 62},
                    {70, 26, 12},
                    palette::red};
        case Suit::Hearts:
            return {s,
                    {178, 20, 46},
                    {110, 8, 28},
                    {92, 46, 124},
                    gold,
                    goldDark,
                    {240, 240, 248},
                    {222, 178, 92},
                    {160, 112, 40},
                    {196, 44, 62},
                    {64, 16, 24},
                    palette::red};
        case Suit::Spades:
            break;
    }
    return {s,
            {40, 60, 136},
            {18, 28, 80},
            {34, 34, 40},
            {204, 208, 218},
            {112, 118, 132},
            {96, 150, 236},
            {40, 34, 32},
            {14, 12, 12},
            {168, 106, 110},
            {16, 18, 30},
            palette::ink};
}

QColor mix(const QColor& a, const QColor& b, qreal t) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t,
                            a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

QLinearGradient metal(const Look& l, const QRectF& r) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, mix(l.trim, Qt::white, 0.45));
    g.setColorAt(0.5, l.trim);
    g.setColorAt(1, l.trimDark);
    return g;
}

QPen outline(const Look& l, qreal width = 0.5) {
    return QPen(l.line, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// ------------------------------------------------------------ held objects

void drawSword(QPainter& p, const Look& l) {
    p.setPen(outline(l, 0.45));
    QPainterPath blade;
    blade.moveTo(50.5, 11.0);
    blade.lineTo(52.0, 14.0);
    blade.lineTo(52.0, 36.0);
    blade.lineTo(49.0, 36.0);
    blade.lineTo(49.0, 14.0);
    blade.closeSubpath();
    QLinearGradient steel(49, 0, 52, 0);
    steel.setColorAt(0, QColor(236, 240, 246));
    steel.setColorAt(1, QColor(150, 158, 172));
    p.setBrush(steel);
    p.drawPath(blade);
    p.setBrush(metal(l, QRectF(46, 36, 9, 2.4)));
    p.drawRoundedRect(QRectF(46.0, 36.0, 9.0, 2.2), 1.0, 1.0);
    p.drawRect(QRectF(49.7, 38.0, 1.6, 5.0));
    p.drawEllipse(QPointF(50.5, 44.0), 1.2, 1.2);
}

void drawAxe(QPainter& p, const Look& l) {
    p.setPen(outline(l, 0.45));
    p.setBrush(QColor(120, 78, 40));
    p.drawRect(QRectF(49.6, 12.0, 1.8, 36.0));
    QPainterPath head;
    head.moveTo(51.2, 14.0);
    head.cubicTo(54.5, 13.0, 56.5, 15.0, 56.2, 17.0);
    head.cubicTo(56.5, 19.5, 55.0, 22.5, 51.2, 21.0);
    head.closeSubpath();
    head.moveTo(49.8, 15.0);
    head.lineTo(46.5, 16.5);
    head.lineTo(49.8, 19.0);
    head.closeSubpath();
    QLinearGradient steel(0, 13, 0, 22);
    steel.setColorAt(0, QColor(236, 240, 246));
    steel.setColorAt(1, QColor(140, 148, 162));
    p.setBrush(steel);
    p.drawPath(head);
    p.setBrush(metal(l, QRectF(49, 10, 3, 2)));
    p.drawEllipse(QPointF(50.5, 11.5), 1.3, 1.3);
}

void drawSceptre(QPainter& p, const Look& l) {
    p.setPen(outline(l, 0.45));
    p.setBrush(metal(l, QRectF(49, 18, 3, 28)));
    p.drawRect(QRectF(49.8, 18.0, 1.5, 28.0));
    // The head carries the suit's emblem in a ring.
    p.setBrush(metal(l, QRectF(46.5, 11, 8, 8)));
    p.drawEllipse(QPointF(50.5, 15.0), 3.8, 3.8);
    drawSuit(p, l.suit, QPointF(50.5, 15.0), 4.4, l.ink);
    p.setBrush(l.jewel);
    p.drawEllipse(QPointF(50.5, 19.8), 1.0, 1.0);
}

void drawFlower(QPainter& p, const Look& l) {
    p.setPen(QPen(QColor(46, 112, 52), 0.9));
    p.drawLine(QPointF(50.5, 21.0), QPointF(48.5, 42.0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 130, 60));
    p.drawEllipse(QPointF(47.6, 27.5), 2.0, 0.9);
    p.drawEllipse(QPointF(51.6, 31.5), 2.0, 0.9);
    p.setPen(outline(l, 0.4));
    const QColor bloom = isRed(l.suit) ? l.lips.lighter(115) : l.jewel.lighter(120);
    for (int i = 0; i < 5; ++i) {
        const qreal a = i * 72.0 * std::numbers::pi / 180.0 - std::numbers::pi / 2;
        p.setBrush(bloom);
        p.drawEllipse(QPointF(50.5 + 2.2 * std::cos(a), 19.0 + 2.2 * std::sin(a)), 1.7, 1.7);
    }
    p.setBrush(palette::goldLight);
    p.drawEllipse(QPointF(50.5, 19.0), 1.3, 1.3);
}

void drawFan(QPainter& p, const Look& l) {
    p.setPen(outline(l, 0.45));
    QPainterPath fan;
    fan.moveTo(49.0, 36.0);
    fan.arcTo(QRectF(40.0, 20.0, 18.0, 32.0), 60, 60);  // an open quarter fan
    fan.closeSubpath();
    QRadialGradient g(QPointF(49, 36), 16);
    g.setColorAt(0, l.lining.lighter(140));
    g.setColorAt(1, l.lining);
    p.setBrush(g);
    p.drawPath(fan);
    p.setPen(QPen(l.trimDark, 0.4));
    for (int i = 1; i < 6; ++i) {
        const qreal a = (60 + i * 10) * std::numbers::pi / 180.0;
        p.drawLine(QPointF(49.0, 36.0), QPointF(49.0 + 9 * std::cos(a), 36.0 - 16 * std::sin(a)));
    }
}

void drawHalberd(QPainter& p, const Look& l) {
    p.setPen(outline(l, 0.45));
    p.setBrush(QColor(128, 84, 44));
    p.drawRect(QRectF(50.0, 13.0, 1.6, 36.0));
    QPainterPath head;
    head.moveTo(50.8, 9.5);  // spear point
    head.lineTo(52.4, 14.0);
    head.lineTo(55.5, 15.0);  // axe blade
    head.quadTo(56.5, 18.0, 55.5, 21.0);
    head.lineTo(51.6, 19.0);
    head.lineTo(50.0, 19.0);
    head.lineTo(47.0, 16.5);  // back spike
    head.lineTo(50.0, 15.5);
    head.lineTo(49.2, 14.0);
    head.closeSubpath();
    QLinearGradient steel(0, 9, 0, 21);
    steel.setColorAt(0, QColor(236, 240, 246));
    steel.setColorAt(1, QColor(140, 148, 162));
    p.setBrush(steel);
    p.drawPath(head);
    p.setBrush(l.lining);  // a pennant tassel in the suit's second colour
    p.drawEllipse(QPointF(50.8, 21.5), 1.5, 1.2);
}

enum class Held { Sword, Axe, Sceptre, Flower, Fan, Halberd };

Held heldBy(Suit s, Court c) {
    switch (c) {
        case Court::King:
            return s == Suit::Clubs ? Held::Sceptre : s == Suit::Diamonds ? Held::Axe : Held::Sword;
        case Court::Queen:
            return s == Suit::Diamonds ? Held::Fan
                   : s == Suit::Spades ? Held::Sceptre
                                       : Held::Flower;
        case Court::Jack:
            break;
    }
    return Held::Halberd;
}

void drawHeld(QPainter& p, const Look& l, Held h) {
    switch (h) {
        case Held::Sword:
            return drawSword(p, l);
        case Held::Axe:
            return drawAxe(p, l);
        case Held::Sceptre:
            return drawSceptre(p, l);
        case Held::Flower:
            return drawFlower(p, l);
        case Held::Fan:
            return drawFan(p, l);
        case Held::Halberd:
            return drawHalberd(p, l);
    }
}

// ----------------------------------------------------------------- costume

// The suit's emblem scattered over a garment, clipped to it.
void sprinkle(QPainter& p, const Look& l, const QPainterPath& garment, const QColor& colour) {
    p.save();
    p.setClipPath(garment, Qt::IntersectClip);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 8; ++col) {
            const QPointF at(16.0 + col * 5.5 + (row % 2) * 2.75, 38.0 + row * 4.5);
            drawSuit(p, l.suit, at, 2.2, colour);
        }
    p.restore();
}

QLinearGradient cloth(const QColor& light, const QColor& dark) {
    QLinearGradient g(18, 34, 54, 52);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    return g;
}

void drawKingRobe(QPainter& p, const Look& l) {
    QPainterPath robe;
    robe.moveTo(13.0, 56.0);
    robe.cubicTo(14.0, 41.0, 18.0, 36.5, 27.0, 35.0);
    robe.lineTo(44.0, 35.0);
    robe.cubicTo(53.0, 36.5, 57.0, 41.0, 58.0, 56.0);
    robe.closeSubpath();
    p.setPen(outline(l, 0.6));
    p.setBrush(cloth(l.robe, l.robeDark));
    p.drawPath(robe);
    sprinkle(p, l, robe, mix(l.robe, l.trim, 0.45));

    // The mantle's lining shows down the front, edged in braid.
    QPainterPath front;
    front.moveTo(29.0, 56.0);
    front.lineTo(31.5, 36.0);
    front.lineTo(39.5, 36.0);
    front.lineTo(42.0, 56.0);
    front.closeSubpath();
    p.setBrush(cloth(l.lining.lighter(125), l.lining));
    p.setPen(QPen(l.trim, 0.9));
    p.drawPath(front);

    // Ermine cape over the shoulders.
    QPainterPath cape;
    cape.moveTo(20.0, 40.0);
    cape.cubicTo(22.0, 35.0, 28.0, 34.0, 35.5, 34.0);
    cape.cubicTo(43.0, 34.0, 49.0, 35.0, 51.0, 40.0);
    cape.cubicTo(46.0, 41.5, 42.0, 39.0, 35.5, 39.0);
    cape.cubicTo(29.0, 39.0, 25.0, 41.5, 20.0, 40.0);
    p.setPen(outline(l, 0.5));
    p.setBrush(palette::ivory);
    p.drawPath(cape);
    p.setPen(Qt::NoPen);
    p.setBrush(palette::ink);
    for (qreal x : {23.0, 27.5, 43.5, 48.0}) p.drawEllipse(QPointF(x, 37.8), 0.5, 0.8);

    // A chain with a medallion bearing the suit.
    p.setPen(QPen(l.trim, 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(28.0, 32.0, 15.0, 13.0), 200 * 16, 140 * 16);
    p.setPen(outline(l, 0.5));
    p.setBrush(metal(l, QRectF(32, 42, 7, 7)));
    p.drawEllipse(QPointF(midX, 45.5), 3.6, 3.6);
    drawSuit(p, l.suit, QPointF(midX, 45.5), 4.4, l.ink);
}

void drawQueenGown(QPainter& p, const Look& l) {
    QPainterPath gown;
    gown.moveTo(15.0, 56.0);
    gown.cubicTo(16.0, 42.0, 21.0, 37.0, 28.0, 36.0);
    gown.lineTo(43.0, 36.0);
    gown.cubicTo(50.0, 37.0, 55.0, 42.0, 56.0, 56.0);
    gown.closeSubpath();
    p.setPen(outline(l, 0.6));
    p.setBrush(cloth(l.robe, l.robeDark));
    p.drawPath(gown);

    // Puffed sleeves in the second colour.
    p.setBrush(cloth(l.lining.lighter(130), l.lining));
    p.drawEllipse(QRectF(16.5, 37.0, 9.0, 11.0));
    p.drawEllipse(QRectF(45.5, 37.0, 9.0, 11.0));
    p.setPen(QPen(l.trim, 0.7));
    for (qreal x : {19.0, 21.0, 23.0, 48.0, 50.0, 52.0})
        p.drawLine(QPointF(x, 38.0), QPointF(x, 47.0));

    // Square neckline, bodice with lacing.
    p.setPen(outline(l, 0.5));
    p.setBrush(palette::flesh);
    p.drawRect(QRectF(30.0, 35.5, 11.0, 4.0));
    QPainterPath bodice;
    bodice.moveTo(29.5, 39.5);
    bodice.lineTo(41.5, 39.5);
    bodice.lineTo(38.5, 56.0);
    bodice.lineTo(32.5, 56.0);
    bodice.closeSubpath();
    p.setBrush(cloth(l.lining.lighter(120), l.lining));
    p.setPen(QPen(l.trim, 0.9));
    p.drawPath(bodice);
    p.setPen(QPen(l.trim, 0.5));
    for (qreal y = 42.0; y < 50.0; y += 2.5) {
        p.drawLine(QPointF(33.5, y), QPointF(37.5, y + 1.2));
        p.drawLine(QPointF(37.5, y), QPointF(33.5, y + 1.2));
    }
    sprinkle(p, l, gown.subtracted(bodice), mix(l.robe, l.trim, 0.4));

    // Pearl necklace with the suit as pendant.
    p.setPen(Qt::NoPen);
    p.setBrush(palette::ivory);
    for (int i = 0; i <= 6; ++i) {
        const qreal a = std::numbers::pi * (0.15 + 0.7 * i / 6.0);
        p.drawEllipse(QPointF(midX - 5.0 * std::cos(a), 35.6 + 2.6 * std::sin(a)), 0.6, 0.6);
    }
    drawSuit(p, l.suit, QPointF(midX, 39.6), 3.0, l.ink);
}

void drawJackTunic(QPainter& p, const Look& l) {
    QPainterPath tunic;
    tunic.moveTo(14.0, 56.0);
    tunic.cubicTo(15.0, 42.0, 19.0, 37.5, 26.0, 36.0);
    tunic.lineTo(45.0, 36.0);
    tunic.cubicTo(52.0, 37.5, 56.0, 42.0, 57.0, 56.0);
    tunic.closeSubpath();
    p.setPen(outline(l, 0.6));
    p.setBrush(cloth(l.robe, l.robeDark));
    p.drawPath(tunic);

    // Slashed stripes of the second colour down the doublet.
    p.save();
    p.setClipPath(tunic, Qt::IntersectClip);
    p.setPen(Qt::NoPen);
    p.setBrush(l.lining);
    for (qreal x = 17.0; x < 56.0; x += 6.0) p.drawRect(QRectF(x, 36.0, 2.4, 20.0));
    p.restore();

    // A broad belt with a buckle bearing the suit.
    p.setPen(outline(l, 0.5));
    p.setBrush(QColor(70, 44, 24));
    p.drawRect(QRectF(15.0, 46.0, 41.0, 2.6));
    p.setBrush(metal(l, QRectF(32, 45, 7, 5)));
    p.drawRoundedRect(QRectF(32.0, 44.8, 7.0, 5.0), 1.0, 1.0);
    drawSuit(p, l.suit, QPointF(midX, 47.3), 3.2, l.ink);

    // Flat white collar.
    QPainterPath collar;
    collar.moveTo(25.0, 36.5);
    collar.quadTo(35.5, 34.0, 46.0, 36.5);
    collar.lineTo(43.0, 40.5);
    collar.quadTo(35.5, 42.5, 28.0, 40.5);
    collar.closeSubpath();
    p.setBrush(palette::ivory);
    p.drawPath(collar);
    p.setPen(QPen(l.line, 0.35));
    p.drawLine(QPointF(midX, 35.3), QPointF(midX, 41.6));
}

// -------------------------------------------------------------------- head

struct Head {
    QPointF c{midX, 26.5};
    qreal rx = 6.0;
    qreal ry = 7.2;
};

void drawEyes(QPainter& p, const Look& l, const Head& h, Court rank) {
    const qreal y = h.c.y() - 0.8;
    for (qreal dx : {-2.6, 2.6}) {
        const QPointF e(h.c.x() + dx, y);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(e, 1.35, 0.85);
        p.setBrush(rank == Court::Queen ? l.jewel.darker(180) : QColor(50, 38, 28));
        p.drawEllipse(e + QPointF(dx > 0 ? -0.2 : 0.2, 0.05), 0.7, 0.75);
        p.setPen(QPen(l.line, rank == Court::Queen ? 0.5 : 0.35));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(e.x() - 1.5, e.y() - 1.0, 3.0, 2.0), 20 * 16, 140 * 16);
    }
    // Brows: a stern slant for the King, a fine arch for the Queen, level for the Jack.
    p.setPen(QPen(rank == Court::Queen ? l.hairDark : l.hairDark.darker(120),
                  rank == Court::King ? 0.9 : 0.55, Qt::SolidLine, Qt::RoundCap));
    for (int side : {-1, 1}) {
        const qreal x = h.c.x() + side * 2.6;
        if (rank == Court::King)
            p.drawLine(QPointF(x - side * 1.6, y - 1.7), QPointF(x + side * 1.6, y - 2.4));
        else if (rank == Court::Queen)
            p.drawArc(QRectF(x - 1.6, y - 2.8, 3.2, 2.0), 30 * 16, 120 * 16);
        else
            p.drawLine(QPointF(x - 1.5, y - 2.1), QPointF(x + 1.5, y - 2.1));
    }
}

void drawNoseAndMouth(QPainter& p, const Look& l, const Head& h, Court rank) {
    const QColor shade = palette::flesh.darker(rank == Court::King ? 150 : 130);
    p.setPen(QPen(shade, 0.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath nose;
    nose.moveTo(h.c.x() - 0.2, h.c.y() - 0.5);
    nose.lineTo(h.c.x() - (rank == Court::King ? 1.1 : 0.7), h.c.y() + 2.2);
    nose.lineTo(h.c.x() + 0.4, h.c.y() + 2.5);
    p.drawPath(nose);

    const qreal y = h.c.y() + 4.3;
    if (rank == Court::Queen) {
        p.setPen(Qt::NoPen);
        p.setBrush(l.lips);
        p.drawEllipse(QPointF(h.c.x(), y), 1.4, 0.7);
        QColor blush = l.lips;
        blush.setAlpha(60);
        p.setBrush(blush);
        p.drawEllipse(QPointF(h.c.x() - 3.6, y - 1.8), 1.4, 1.0);
        p.drawEllipse(QPointF(h.c.x() + 3.6, y - 1.8), 1.4, 1.0);
    } else if (rank == Court::Jack) {
        p.setPen(QPen(l.lips.darker(120), 0.6, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(h.c.x() - 1.6, y - 1.4, 3.2, 2.0), 200 * 16, 140 * 16);
    }
}

void drawKingHead(QPainter& p, const Look& l) {
    const Head h;
    p.setPen(outline(l));
    p.setBrush(l.hair);
    p.drawEllipse(QRectF(h.c.x() - 7.5, h.c.y() - 7.5, 15.0, 13.0));  // hair at the sides
    p.setBrush(palette::flesh);
    p.drawEllipse(h.c, h.rx, h.ry);
    drawEyes(p, l, h, Court::King);
    drawNoseAndMouth(p, l, h, Court::King);

    // Full beard, forked, and a moustache swept out.
    QPainterPath beard;
    beard.moveTo(h.c.x() - 6.0, h.c.y() + 0.5);
    beard.cubicTo(h.c.x() - 6.0, h.c.y() + 8.0, h.c.x() - 3.0, h.c.y() + 11.0, h.c.x() - 1.0,
                  h.c.y() + 11.5);
    beard.lineTo(h.c.x(), h.c.y() + 10.0);
    beard.lineTo(h.c.x() + 1.0, h.c.y() + 11.5);
    beard.cubicTo(h.c.x() + 3.0, h.c.y() + 11.0, h.c.x() + 6.0, h.c.y() + 8.0, h.c.x() + 6.0,
                  h.c.y() + 0.5);
    beard.cubicTo(h.c.x() + 4.5, h.c.y() + 4.5, h.c.x() - 4.5, h.c.y() + 4.5, h.c.x() - 6.0,
                  h.c.y() + 0.5);
    p.setPen(outline(l));
    p.setBrush(l.hair);
    p.drawPath(beard);
    p.setPen(QPen(l.hairDark, 0.35));
    for (qreal dx : {-3.0, -1.0, 1.0, 3.0})
        p.drawLine(QPointF(h.c.x() + dx, h.c.y() + 5.5),
                   QPointF(h.c.x() + dx * 0.7, h.c.y() + 9.5));
    QPainterPath moustache;
    moustache.moveTo(h.c.x(), h.c.y() + 3.0);
    moustache.cubicTo(h.c.x() - 2.0, h.c.y() + 2.2, h.c.x() - 4.0, h.c.y() + 3.2, h.c.x() - 4.6,
                      h.c.y() + 4.6);
    moustache.cubicTo(h.c.x() - 3.0, h.c.y() + 3.9, h.c.x() - 1.5, h.c.y() + 4.2, h.c.x(),
                      h.c.y() + 3.9);
    moustache.cubicTo(h.c.x() + 1.5, h.c.y() + 4.2, h.c.x() + 3.0, h.c.y() + 3.9, h.c.x() + 4.6,
                      h.c.y() + 4.6);
    moustache.cubicTo(h.c.x() + 4.0, h.c.y() + 3.2, h.c.x() + 2.0, h.c.y() + 2.2, h.c.x(),
                      h.c.y() + 3.0);
    p.setPen(Qt::NoPen);
    p.setBrush(l.hairDark);
    p.drawPath(moustache);

    // Tall arched crown with a jewel in front and a cross on top.
    QPainterPath crown;
    crown.moveTo(28.5, 21.5);
    crown.lineTo(27.5, 14.0);
    crown.lineTo(31.0, 17.0);
    crown.lineTo(33.0, 12.0);
    crown.lineTo(35.5, 15.5);
    crown.lineTo(38.0, 12.0);
    crown.lineTo(40.0, 17.0);
    crown.lineTo(43.5, 14.0);
    crown.lineTo(42.5, 21.5);
    crown.closeSubpath();
    p.setPen(outline(l));
    p.setBrush(goldGradient(crown.boundingRect()));
    p.drawPath(crown);
    p.setBrush(goldGradient(QRectF(28, 19, 15, 3)));
    p.drawRect(QRectF(28.3, 19.2, 14.4, 2.6));
    p.setPen(Qt::NoPen);
    p.setBrush(l.jewel);
    p.drawEllipse(QPointF(midX, 20.5), 1.2, 1.0);
    p.setBrush(l.robe);
    p.drawEllipse(QPointF(31.0, 20.5), 0.8, 0.8);
    p.drawEllipse(QPointF(40.0, 20.5), 0.8, 0.8);
    p.setBrush(palette::goldLight);
    for (const QPointF& tip :
         {QPointF(27.5, 14.0), QPointF(33.0, 12.0), QPointF(38.0, 12.0), QPointF(43.5, 14.0)})
        p.drawEllipse(tip, 0.9, 0.9);
    p.setPen(QPen(palette::goldDark, 0.9));
    p.drawLine(QPointF(midX, 15.5), QPointF(midX, 11.0));
    p.drawLine(QPointF(midX - 1.3, 12.4), QPointF(midX + 1.3, 12.4));
}

void drawQueenHead(QPainter& p, const Look& l) {
    const Head h{{midX, 27.0}, 5.6, 6.8};
    // A veil in the second colour falls behind the hair to the shoulders.
    QPainterPath veil;
    veil.moveTo(midX - 5.0, 15.0);
    veil.cubicTo(midX - 11.0, 20.0, midX - 11.5, 32.0, midX - 10.5, 38.0);
    veil.lineTo(midX + 10.5, 38.0);
    veil.cubicTo(midX + 11.5, 32.0, midX + 11.0, 20.0, midX + 5.0, 15.0);
    veil.closeSubpath();
    QColor veilColour = mix(l.lining, Qt::white, 0.35);
    p.setPen(outline(l));
    p.setBrush(veilColour);
    p.drawPath(veil);

    // Long hair parted in the middle, framing the face.
    QPainterPath hair;
    hair.moveTo(midX, 18.5);
    hair.cubicTo(midX - 8.0, 18.0, midX - 8.5, 28.0, midX - 7.5, 36.0);
    hair.lineTo(midX + 7.5, 36.0);
    hair.cubicTo(midX + 8.5, 28.0, midX + 8.0, 18.0, midX, 18.5);
    p.setBrush(l.hair);
    p.drawPath(hair);
    p.setBrush(palette::flesh);
    p.drawEllipse(h.c, h.rx, h.ry);
    p.setPen(QPen(l.hair, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(midX - 6.0, 20.0, 6.5, 6.0), 90 * 16, 90 * 16);  // hair over the brow
    p.drawArc(QRectF(midX - 0.5, 20.0, 6.5, 6.0), 0, 90 * 16);
    drawEyes(p, l, h, Court::Queen);
    drawNoseAndMouth(p, l, h, Court::Queen);

    // Low coronet of rounded points with pearls.
    QPainterPath coronet;
    coronet.moveTo(29.5, 21.0);
    coronet.lineTo(29.0, 17.5);
    for (int i = 0; i < 4; ++i) {
        const qreal x0 = 29.0 + i * 3.25;
        coronet.quadTo(x0 + 0.6, 15.0, x0 + 1.6, 14.6);
        coronet.quadTo(x0 + 2.6, 15.0, x0 + 3.25, 17.5);
    }
    coronet.lineTo(41.5, 21.0);
    coronet.closeSubpath();
    p.setPen(outline(l, 0.45));
    p.setBrush(goldGradient(coronet.boundingRect()));
    p.drawPath(coronet);
    p.setPen(Qt::NoPen);
    p.setBrush(palette::ivory);
    for (int i = 0; i < 4; ++i) p.drawEllipse(QPointF(30.6 + i * 3.25, 14.4), 0.75, 0.75);
    p.setBrush(l.jewel);
    p.drawEllipse(QPointF(midX, 19.2), 1.0, 1.0);
}

void drawJackHead(QPainter& p, const Look& l) {
    const Head h{{midX, 27.5}, 5.7, 6.8};
    // Short hair with a curl over each ear.
    p.setPen(outline(l));
    p.setBrush(l.hair);
    p.drawEllipse(QRectF(h.c.x() - 7.0, h.c.y() - 7.0, 14.0, 11.0));
    for (int side : {-1, 1}) {
        p.drawEllipse(QPointF(h.c.x() + side * 6.0, h.c.y() + 2.5), 2.0, 2.6);
        p.drawEllipse(QPointF(h.c.x() + side * 6.4, h.c.y() + 5.6), 1.6, 1.8);
    }
    p.setBrush(palette::flesh);
    p.drawEllipse(h.c, h.rx, h.ry);
    p.setPen(Qt::NoPen);
    p.setBrush(l.hair);
    QPainterPath fringe;
    fringe.moveTo(h.c.x() - 5.6, h.c.y() - 2.0);
    fringe.cubicTo(h.c.x() - 4.0, h.c.y() - 7.5, h.c.x() + 4.0, h.c.y() - 7.5, h.c.x() + 5.6,
                   h.c.y() - 2.0);
    fringe.cubicTo(h.c.x() + 3.0, h.c.y() - 4.2, h.c.x() - 1.0, h.c.y() - 3.6, h.c.x() - 5.6,
                   h.c.y() - 2.0);
    p.drawPath(fringe);
    drawEyes(p, l, h, Court::Jack);
    drawNoseAndMouth(p, l, h, Court::Jack);

    // A beret worn at a slant with a plume in the second colour.
    QPainterPath plume;
    plume.moveTo(39.0, 17.0);
    plume.cubicTo(44.0, 9.0, 50.0, 9.5, 54.0, 12.0);
    plume.cubicTo(49.0, 12.0, 45.0, 14.0, 41.0, 19.0);
    plume.closeSubpath();
    p.setPen(outline(l, 0.45));
    p.setBrush(isRed(l.suit) ? l.lining : mix(l.jewel, Qt::white, 0.3));
    p.drawPath(plume);
    QPainterPath beret;
    beret.moveTo(27.5, 21.5);
    beret.cubicTo(25.0, 13.0, 44.0, 11.0, 45.5, 19.5);
    beret.quadTo(36.0, 18.5, 27.5, 21.5);
    p.setBrush(cloth(l.robe.lighter(115), l.robeDark));
    p.drawPath(beret);
    p.setBrush(metal(l, QRectF(27, 18, 19, 4)));
    QPainterPath band;
    band.moveTo(27.5, 21.5);
    band.quadTo(36.0, 18.5, 45.5, 19.5);
    band.lineTo(45.3, 21.0);
    band.quadTo(36.0, 20.2, 27.8, 23.0);
    band.closeSubpath();
    p.drawPath(band);
    p.setPen(Qt::NoPen);
    p.setBrush(l.jewel);
    p.drawEllipse(QPointF(39.5, 20.2), 0.9, 0.9);
}

// The hand that holds the object, over the costume.
void drawHand(QPainter& p, const Look& l, Held h) {
    const QPointF at = h == Held::Flower ? QPointF(48.8, 40.0)
                       : h == Held::Fan  ? QPointF(49.0, 37.0)
                                         : QPointF(50.7, 40.0);
    p.setPen(outline(l, 0.45));
    p.setBrush(palette::flesh);
    p.drawEllipse(at, 2.2, 1.9);
    // A cuff in the trim colour above the hand.
    p.setBrush(metal(l, QRectF(at.x() - 2.5, at.y() + 1.5, 5, 1.6)));
    p.drawRoundedRect(QRectF(at.x() - 2.6, at.y() + 1.6, 5.2, 1.6), 0.6, 0.6);
}

void drawFigure(QPainter& p, const Look& l, Court rank) {
    const Held held = heldBy(l.suit, rank);
    drawHeld(p, l, held);
    switch (rank) {
        case Court::King:
            drawKingRobe(p, l);
            drawKingHead(p, l);
            break;
        case Court::Queen:
            drawQueenGown(p, l);
            drawQueenHead(p, l);
            break;
        case Court::Jack:
            drawJackTunic(p, l);
            drawJackHead(p, l);
            break;
    }
    drawHand(p, l, held);
}

// The upper half of the panel, above the diagonal through the card's centre.
// Turned half a turn about the centre it is exactly the lower half.
QPainterPath upperHalf() {
    QPainterPath half;
    half.moveTo(panel.topLeft());
    half.lineTo(panel.topRight());
    half.lineTo(panel.right(), centre.y() - tilt);
    half.lineTo(panel.left(), centre.y() + tilt);
    half.closeSubpath();
    return half;
}

}  // namespace

void drawCourt(QPainter& p, Suit suit, Court rank) {
    const Look l = lookOf(suit);

    // The portrait's ground: warm paper with a faint tint of the suit's robe.
    QLinearGradient ground(panel.topLeft(), panel.bottomLeft());
    const QColor paper(252, 244, 222);
    ground.setColorAt(0, mix(paper, l.robe, 0.10));
    ground.setColorAt(0.5, QColor(255, 252, 242));
    ground.setColorAt(1, mix(paper, l.robe, 0.10));
    p.setPen(Qt::NoPen);
    p.setBrush(ground);
    p.drawRect(panel);

    const QPainterPath half = upperHalf();
    for (int turn : {0, 180}) {
        p.save();
        p.translate(centre);
        p.rotate(turn);
        p.translate(-centre);
        p.setClipPath(half, Qt::IntersectClip);
        drawFigure(p, l, rank);
        drawSuit(p, suit, QPointF(18.5, 13.5), 5.5, l.ink);  // the suit in the panel's corner
        p.restore();
    }

    // The parting line and the frame: braid between two ink lines.
    p.setPen(QPen(l.trimDark, 0.8));
    p.drawLine(QPointF(panel.left(), centre.y() + tilt), QPointF(panel.right(), centre.y() - tilt));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(l.trim, 1.6));
    p.drawRect(panel.adjusted(0.4, 0.4, -0.4, -0.4));
    p.setPen(QPen(l.ink, 0.6));
    p.drawRect(panel.adjusted(-0.5, -0.5, 0.5, 0.5));
    p.drawRect(panel.adjusted(1.5, 1.5, -1.5, -1.5));
}

}  // namespace quintelle::art::detail
