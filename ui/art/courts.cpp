#include "courts.h"

#include <QRadialGradient>
#include <cmath>
#include <numbers>

#include "courtparts.h"

namespace quintelle::art::detail {

using namespace court;

namespace {

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
