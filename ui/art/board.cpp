// The table pictures: the board under the grid, the scoring table, the clock
// frame and bar, the frame of the card on offer and the panel backgrounds.

#include <QFile>
#include <QLinearGradient>
#include <QRadialGradient>
#include <array>
#include <utility>

#include "art.h"
#include "game/scoring.h"
#include "paint.h"

namespace quintelle::art {

using namespace detail;

namespace {

// A recessed felt card place with a faint gold star in its middle.
void drawCardPlace(QPainter& p, QPointF topLeft) {
    const QRectF r(topLeft, QSizeF(cardSize));
    const QRectF place = r.adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));  // soft shadow on the wood
    p.drawRoundedRect(place.translated(1.0, 1.5), 5.0, 5.0);

    QRadialGradient felt(place.center(), 58.0);
    felt.setColorAt(0.0, QColor(40, 132, 70));
    felt.setColorAt(1.0, QColor(18, 84, 42));
    p.setBrush(felt);
    p.setPen(QPen(palette::feltDeep, 1.0));
    p.drawRoundedRect(place, 5.0, 5.0);

    // Inner bevel: dark at the top-left, light at the bottom-right.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 60), 1.0));
    p.drawRoundedRect(place.adjusted(1.2, 1.2, -1.2, -1.2), 4.0, 4.0);
    QColor rim = palette::gold;
    rim.setAlpha(120);
    p.setPen(QPen(rim, 0.8));
    p.drawRoundedRect(place.adjusted(3.5, 3.5, -3.5, -3.5), 3.0, 3.0);

    QColor star = palette::goldLight;
    star.setAlpha(150);
    p.setPen(Qt::NoPen);
    p.setBrush(star);
    p.drawPath(fourPointStar(place.center(), 13.0, 3.2));
    star.setAlpha(90);
    p.setBrush(star);
    p.drawPath(fourPointStar(place.center(), 6.5, 1.6));
    p.save();
    p.translate(place.center());
    p.rotate(45);
    p.translate(-place.center());
    p.drawPath(fourPointStar(place.center(), 7.0, 1.8));
    p.restore();
}

// A score tag: dark plaque with a gold rim and a point toward its line.
enum class Points { Left, Up, None };

void drawTag(QPainter& p, const QRectF& r, Points towards) {
    QPainterPath shape;
    const qreal tip = 5.0;
    switch (towards) {
        case Points::Left:
            shape.moveTo(r.left(), r.center().y());
            shape.lineTo(r.left() + tip, r.top());
            shape.lineTo(r.right() - 3, r.top());
            shape.quadTo(r.right(), r.top(), r.right(), r.top() + 3);
            shape.lineTo(r.right(), r.bottom() - 3);
            shape.quadTo(r.right(), r.bottom(), r.right() - 3, r.bottom());
            shape.lineTo(r.left() + tip, r.bottom());
            shape.closeSubpath();
            break;
        case Points::Up:
            shape.addRoundedRect(r, 4.0, 4.0);
            {
                QPainterPath notch;
                notch.moveTo(r.center().x() - 5, r.top() + 0.5);
                notch.lineTo(r.center().x(), r.top() - 3.5);
                notch.lineTo(r.center().x() + 5, r.top() + 0.5);
                notch.closeSubpath();
                shape = shape.united(notch);
            }
            break;
        case Points::None:
            shape.addRoundedRect(r, 4.0, 4.0);
            break;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 80));
    p.drawPath(shape.translated(0.8, 1.2));
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(26, 62, 36));
    g.setColorAt(1, QColor(12, 38, 20));
    p.setBrush(g);
    p.setPen(QPen(palette::gold, 1.2));
    p.drawPath(shape);
}

void drawBoard(QPainter& p) {
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c) drawCardPlace(p, QPointF(6 + 75 * c, 6 + 100 * r));

    for (int r = 0; r < 5; ++r) drawTag(p, QRectF(394, 45 + 100 * r, 56, 19), Points::Left);
    for (int x : {4, 84, 159, 233, 308}) drawTag(p, QRectF(x, 512, 73, 19), Points::Up);

    const QRectF total(392, 504, 54, 19);
    drawTag(p, total.adjusted(-1, 0, 1, 0), Points::None);
    p.setPen(Qt::NoPen);
    p.setBrush(palette::cream);
    p.drawPath(fittedText(QStringLiteral("TOTAL"), sans(12), QRectF(392, 488, 54, 13), 1.0));
}

// Gold rim around a pale well: the clock text is black and must stay
// readable where the bar has not reached yet. Ticks in the rim mark where the
// time bonus drops, measured from the bar's left edge; the bands' bonuses are
// in the scoring table, as figures here would run into the clock text.
QPixmap clockFramePicture(QSize size, qreal dpr) {
    Canvas canvas(size, dpr);
    QPainter& p = canvas.painter();
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(palette::goldDark, 1.0));
    p.setBrush(goldGradient(r));
    p.drawRoundedRect(r, 4, 4);
    const QRectF well = r.adjusted(1.5, 1.5, -1.5, -1.5);
    QLinearGradient g(well.topLeft(), well.bottomLeft());
    g.setColorAt(0, QColor(168, 154, 128));
    g.setColorAt(0.3, QColor(196, 184, 160));
    g.setColorAt(1, QColor(210, 200, 178));
    p.setPen(QPen(QColor(96, 62, 20), 1.0));
    p.setBrush(g);
    p.drawRoundedRect(well, 2.5, 2.5);

    const qreal barLeft = (size.width() - clockBarSize.width()) / 2.0;
    // The clock's text fills the well from 5 pixels below the top to 5 above
    // the bottom; the marks stay in that margin, so they never touch it.
    const qreal margin = 4.0;
    const QColor tick(96, 62, 20, 150);
    for (int seconds = 0; seconds < clockBarSize.width(); ++seconds) {
        // The bar grows a pixel a second, so a step in seconds is a step in pixels.
        const int bonus = timebonusfor(seconds);
        if (bonus == timebonusfor(seconds + 1)) continue;
        const qreal x = barLeft + seconds;
        // One pixel column right of the boundary: the bar covers it on the
        // very second the bonus drops. Notches in the rim stay visible after.
        p.fillRect(QRectF(x, 0, 1, 2.5), QColor(84, 48, 22, 200));
        p.fillRect(QRectF(x, size.height() - 2.5, 1, 2.5), QColor(84, 48, 22, 200));
        p.fillRect(QRectF(x, 2.5, 1, margin - 2.5), tick);
        p.fillRect(QRectF(x, size.height() - margin, 1, margin - 2.5), tick);
    }
    return canvas.finish();
}

}  // namespace

QImage woodTile() {
    return QImage(QStringLiteral(":/tile.bmp"));
}

QPixmap board(qreal dpr) {
    Canvas canvas(boardSize, dpr);
    drawBoard(canvas.painter());
    return canvas.finish();
}

QPixmap scoringTable(qreal dpr) {
    Canvas canvas(scoringTableSize, dpr);
    QPainter& p = canvas.painter();
    const QRectF r(0.5, 0.5, 191.0, 207.0);

    drawFeltPanel(p, r, 6, 2.5, 1.2);

    auto text = [&](const QString& s, const QFont& f, const QRectF& box, Qt::Alignment a,
                    const QColor& colour) {
        p.setFont(f);
        p.setPen(colour);
        p.drawText(box, a | Qt::AlignVCenter, s);
    };

    const QFont heading = serif(15);
    const qreal line = 12.8;
    text(QStringLiteral("Hands"), heading, QRectF(12, 5, 100, 17), Qt::AlignLeft,
         palette::goldLight);
    text(QStringLiteral("Points"), heading, QRectF(90, 5, 90, 17), Qt::AlignRight,
         palette::goldLight);
    p.setPen(QPen(palette::gold, 0.8));
    p.drawLine(QPointF(10, 23.5), QPointF(182, 23.5));

    const std::array<std::pair<const char*, int>, 9> hands{{{"Pair", 2},
                                                            {"Two Pair", 5},
                                                            {"Three of a Kind", 10},
                                                            {"Straight", 15},
                                                            {"Flush", 20},
                                                            {"Full House", 25},
                                                            {"Four of a Kind", 50},
                                                            {"Straight Flush", 75},
                                                            {"Royal Flush", 100}}};
    const QFont row = sans(12);
    qreal y = 25.0;
    for (const auto& [name, points] : hands) {
        text(QString::fromLatin1(name), row, QRectF(12, y, 130, line), Qt::AlignLeft,
             palette::cream);
        text(QString::number(points), row, QRectF(120, y, 60, line), Qt::AlignRight,
             palette::goldLight);
        y += line;
    }

    y += 2;
    p.setPen(QPen(palette::gold, 0.8));
    p.drawLine(QPointF(10, y), QPointF(182, y));
    text(QStringLiteral("Time Bonus"), heading, QRectF(12, y + 1, 168, 16), Qt::AlignHCenter,
         palette::goldLight);
    y += 17;
    const std::array<std::pair<const char*, int>, 3> bands{
        {{"0-30 seconds", 50}, {"31-60 seconds", 35}, {"61-90 seconds", 20}}};
    for (const auto& [band, points] : bands) {
        text(QString::fromLatin1(band), row, QRectF(12, y, 130, line), Qt::AlignLeft,
             palette::cream);
        text(QString::number(points), row, QRectF(120, y, 60, line), Qt::AlignRight,
             palette::goldLight);
        y += line;
    }
    return canvas.finish();
}

QPixmap clockFrame(QSize size, qreal dpr) {
    return clockFramePicture(size, dpr);
}

QPixmap clockBar(qreal dpr) {
    Canvas canvas(clockBarSize, dpr);
    QPainter& p = canvas.painter();
    const QRectF r(0, 0, clockBarSize.width(), clockBarSize.height());
    QLinearGradient across(r.topLeft(), r.topRight());
    across.setColorAt(0.0, QColor(222, 160, 30));
    across.setColorAt(0.5, QColor(242, 206, 110));
    across.setColorAt(1.0, QColor(252, 244, 214));
    p.fillRect(r, across);
    // A glassy sheen on the upper half and a darker foot.
    QLinearGradient sheen(r.topLeft(), r.bottomLeft());
    sheen.setColorAt(0.0, QColor(255, 255, 255, 120));
    sheen.setColorAt(0.45, QColor(255, 255, 255, 30));
    sheen.setColorAt(0.55, QColor(0, 0, 0, 0));
    sheen.setColorAt(1.0, QColor(90, 50, 0, 60));
    p.fillRect(r, sheen);
    return canvas.finish();
}

QPixmap offerFrame(qreal dpr) {
    Canvas canvas(offerFrameSize, dpr);
    QPainter& p = canvas.painter();
    const QRectF r(0.5, 0.5, 116.0, 162.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(r.adjusted(1, 1.5, 0, 0), 7, 7);

    drawFeltPanel(p, r, 7, 3, 1.5);

    // The recess the card on offer sits in.
    const QRectF well(21.0, 40.0, 75.0, 100.0);
    p.setPen(QPen(palette::gold, 1.0));
    p.setBrush(palette::feltDeep);
    p.drawRoundedRect(well.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    QColor star = palette::goldLight;
    star.setAlpha(110);
    p.setPen(Qt::NoPen);
    p.setBrush(star);
    p.drawPath(fourPointStar(well.center(), 13.0, 3.2));

    // Small gold stars flanking the round number.
    p.setBrush(palette::gold);
    p.drawPath(fourPointStar(QPointF(12.0, 13.0), 4.0, 1.2));
    p.drawPath(fourPointStar(QPointF(105.0, 13.0), 4.0, 1.2));
    return canvas.finish();
}

QPixmap panelBackground(QSize size, qreal dpr) {
    Canvas canvas(size, dpr);
    QPainter& p = canvas.painter();
    const QRectF r(QPointF(0, 0), QSizeF(size));
    QRadialGradient g(r.center(), std::max(r.width(), r.height()) * 0.75);
    g.setColorAt(0.0, QColor(112, 66, 32));
    g.setColorAt(1.0, QColor(62, 34, 14));
    p.fillRect(r, g);
    // Fine horizontal grain, fixed so the picture is the same every time.
    for (int y = 0; y < size.height(); y += 3) {
        const int shade = (y * 37 % 11) - 5;
        QColor line =
            shade > 0 ? QColor(255, 220, 170, 6 + shade * 2) : QColor(0, 0, 0, 8 - shade * 2);
        p.setPen(QPen(line, 1.0));
        p.drawLine(QPointF(0, y + 0.5), QPointF(r.width(), y + 0.5 + (y % 7) * 0.3));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(palette::gold, 1.2));
    p.drawRoundedRect(r.adjusted(3.5, 3.5, -3.5, -3.5), 5, 5);
    p.setPen(QPen(palette::goldDark, 0.8));
    p.drawRoundedRect(r.adjusted(6, 6, -6, -6), 3, 3);
    return canvas.finish();
}

}  // namespace quintelle::art
