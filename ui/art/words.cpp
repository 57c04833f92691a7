// Lettered pictures: the buttons, the REPLACEMENT word, the logo, the
// emblem and the title.

#include <QLinearGradient>
#include <QRadialGradient>
#include <array>

#include "art.h"
#include "paint.h"

namespace quintelle::art {

using namespace detail;

namespace {

// Gold lettering with a dark outline and a soft drop shadow.
void drawGoldText(QPainter& p, const QPainterPath& glyphs, qreal outline) {
    p.setBrush(QColor(0, 0, 0, 110));
    p.setPen(Qt::NoPen);
    p.drawPath(glyphs.translated(0.8, 1.0));
    p.setPen(QPen(QColor(70, 40, 10), outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(glyphs);
    p.setPen(Qt::NoPen);
    p.setBrush(goldGradient(glyphs.boundingRect()));
    p.drawPath(glyphs);
}

QString wordOf(ButtonWord w) {
    switch (w) {
        case ButtonWord::StartGame:
            return QStringLiteral("START GAME");
        case ButtonWord::Done:
            return QStringLiteral("DONE");
        case ButtonWord::Cancel:
            return QStringLiteral("CANCEL");
        case ButtonWord::SendScore:
            return QStringLiteral("SEND SCORE");
        case ButtonWord::HighScores:
            return QStringLiteral("HIGH SCORES");
        case ButtonWord::ResetTally:
            return QStringLiteral("RESET TALLY");
        case ButtonWord::Yes:
            return QStringLiteral("YES");
    }
    return {};
}

// Five fanned cards, used by the emblem and the logo.
void drawFan(QPainter& p, QPointF pivot, qreal cardHeight) {
    const qreal w = cardHeight * 0.7;
    const std::array<Suit, 5> suits{Suit::Spades, Suit::Hearts, Suit::Clubs, Suit::Diamonds,
                                    Suit::Hearts};
    for (int i = 0; i < 5; ++i) {
        p.save();
        p.translate(pivot);
        p.rotate(-36.0 + 18.0 * i);
        const QRectF c(-w / 2, -cardHeight, w, cardHeight);
        p.setPen(QPen(QColor(90, 80, 66), cardHeight / 40.0));
        p.setBrush(palette::ivory);
        p.drawRoundedRect(c, w / 8, w / 8);
        const Suit s = suits[static_cast<std::size_t>(i)];
        // Each card covers the right side of the one before, so the suit sits
        // in the visible upper-left corner.
        drawSuit(p, s, QPointF(-w * 0.22, -cardHeight * 0.76), cardHeight * 0.24,
                 isRed(s) ? palette::red : palette::ink);
        p.restore();
    }
}

}  // namespace

QSize buttonSize(ButtonWord w) {
    return w == ButtonWord::Done || w == ButtonWord::Cancel || w == ButtonWord::Yes
               ? QSize(95, 29)
               : QSize(135, 29);
}

QPixmap buttonPicture(ButtonWord word, bool pressed, qreal dpr) {
    const QSize size = buttonSize(word);
    Canvas canvas(size, dpr);
    QPainter& p = canvas.painter();
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5);

    // Gold rim.
    p.setPen(QPen(palette::goldDark, 1.0));
    p.setBrush(goldGradient(r));
    p.drawRoundedRect(r, 7, 7);

    // Green face: lit from above at rest, hollowed when pressed.
    const QRectF face = r.adjusted(2, 2, -2, -2);
    QLinearGradient g(face.topLeft(), face.bottomLeft());
    if (pressed) {
        g.setColorAt(0, QColor(8, 52, 24));
        g.setColorAt(1, QColor(22, 92, 46));
    } else {
        g.setColorAt(0, QColor(56, 150, 82));
        g.setColorAt(0.5, QColor(26, 112, 56));
        g.setColorAt(1, QColor(14, 78, 38));
    }
    p.setPen(QPen(pressed ? QColor(0, 0, 0, 140) : QColor(10, 50, 24), 1.0));
    p.setBrush(g);
    p.drawRoundedRect(face, 5, 5);
    if (!pressed) {
        QLinearGradient sheen(face.topLeft(), QPointF(face.left(), face.center().y()));
        sheen.setColorAt(0, QColor(255, 255, 255, 70));
        sheen.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(sheen);
        p.drawRoundedRect(face.adjusted(1.5, 1, -1.5, -face.height() / 2), 4, 4);
    }

    const QPointF shift = pressed ? QPointF(1, 1) : QPointF(0, 0);
    const QPainterPath glyphs =
        fittedText(wordOf(word), sans(14), face.adjusted(6, 4, -6, -4).translated(shift), 0.6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, pressed ? 60 : 130));
    p.drawPath(glyphs.translated(0.7, 1.0));
    p.setBrush(pressed ? QColor(222, 210, 184) : palette::cream);
    p.drawPath(glyphs);
    return canvas.finish();
}

QPixmap replacementWord(qreal dpr) {
    Canvas canvas(replacementWordSize, dpr);
    QPainter& p = canvas.painter();
    const QPainterPath glyphs =
        fittedText(QStringLiteral("REPLACEMENT"), sans(13), QRectF(1, 1, 94.5, 11.5), 0.4);
    drawGoldText(p, glyphs, 1.4);
    return canvas.finish();
}

QPixmap logo(qreal dpr) {
    Canvas canvas(logoSize, dpr);
    QPainter& p = canvas.painter();
    drawFan(p, QPointF(21, 37), 24.0);
    const QPainterPath product =
        fittedText(QStringLiteral("Quintelle"), serif(22, true, true), QRectF(44, 1, 148, 23));
    drawGoldText(p, product, 1.6);
    const QPainterPath vendor =
        fittedText(QStringLiteral("ORVANTA SOFTWARE"), sans(10), QRectF(46, 26, 144, 11), 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 120));
    p.drawPath(vendor.translated(0.6, 0.8));
    p.setBrush(palette::cream);
    p.drawPath(vendor);
    return canvas.finish();
}

QPixmap emblem(qreal dpr) {
    Canvas canvas(emblemSize, dpr);
    drawEmblem(canvas.painter());
    return canvas.finish();
}

void drawEmblem(QPainter& p) {
    const QPointF c(43, 43);
    QRadialGradient felt(c - QPointF(8, 10), 46);
    felt.setColorAt(0, QColor(44, 140, 74));
    felt.setColorAt(1, QColor(10, 60, 30));
    p.setPen(QPen(palette::goldDark, 1.0));
    p.setBrush(goldGradient(QRectF(2, 2, 82, 82)));
    p.drawEllipse(c, 41.5, 41.5);
    p.setPen(QPen(QColor(60, 36, 8), 0.8));
    p.setBrush(felt);
    p.drawEllipse(c, 37.0, 37.0);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(palette::goldLight, 0.8));
    p.drawEllipse(c, 34.0, 34.0);

    drawFan(p, QPointF(43, 62), 38.0);
    const QPainterPath q = fittedText(QStringLiteral("Q"), serif(34), QRectF(28, 46, 30, 32));
    drawGoldText(p, q, 2.0);
}

QPixmap titlePicture(qreal dpr) {
    Canvas canvas(titlePictureSize, dpr);
    QPainter& p = canvas.painter();
    const QPainterPath word =
        fittedText(QStringLiteral("Quintelle"), serif(42, true, true), QRectF(4, 2, 239, 38), 1.0);
    drawGoldText(p, word, 2.2);
    return canvas.finish();
}

}  // namespace quintelle::art
