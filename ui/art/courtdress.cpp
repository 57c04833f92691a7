#include <cmath>
#include <numbers>

#include "courtparts.h"

namespace quintelle::art::detail::court {

namespace {

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

}  // namespace

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

namespace {

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

}  // namespace

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

}  // namespace quintelle::art::detail::court
