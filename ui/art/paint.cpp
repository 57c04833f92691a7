#include "paint.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace quintelle::art::detail {

namespace {
QImage makeImage(QSize size, qreal dpr) {
    QImage image((QSizeF(size) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    return image;
}
}  // namespace

Canvas::Canvas(QSize size, qreal dpr) : image_(makeImage(size, dpr)), painter_(&image_) {
    painter_.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                            QPainter::SmoothPixmapTransform);
    // Qt paints no fewer device pixels than logical ones, so a picture for a
    // board shown below its design size is scaled down by the painter.
    if (dpr < 1) painter_.scale(dpr, dpr);
}

QPixmap Canvas::finish() {
    painter_.end();
    QPixmap pixmap = QPixmap::fromImage(image_);
    pixmap.setDevicePixelRatio(image_.devicePixelRatio());
    return pixmap;
}

QFont sans(int pixelSize, bool bold) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);  // same shapes at every dpr
    return f;
}

QFont serif(int pixelSize, bool bold, bool italic) {
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

bool isRed(Suit s) {
    return s == Suit::Diamonds || s == Suit::Hearts;
}

QPainterPath suitPath(Suit s) {
    QPainterPath p;
    switch (s) {
        case Suit::Hearts:
            p.moveTo(0, 1);
            p.cubicTo(-0.25, 0.62, -1.0, 0.22, -1.0, -0.38);
            p.cubicTo(-1.0, -0.86, -0.42, -1.1, 0, -0.58);
            p.cubicTo(0.42, -1.1, 1.0, -0.86, 1.0, -0.38);
            p.cubicTo(1.0, 0.22, 0.25, 0.62, 0, 1);
            break;
        case Suit::Diamonds:
            p.moveTo(0, -1);
            p.quadTo(0.36, -0.42, 0.78, 0);
            p.quadTo(0.36, 0.42, 0, 1);
            p.quadTo(-0.36, 0.42, -0.78, 0);
            p.quadTo(-0.36, -0.42, 0, -1);
            break;
        case Suit::Spades:
            p.moveTo(0, -1);
            p.cubicTo(0.22, -0.62, 1.0, -0.3, 1.0, 0.22);
            p.cubicTo(1.0, 0.66, 0.42, 0.78, 0.1, 0.46);
            p.quadTo(0.16, 0.82, 0.44, 1.0);
            p.lineTo(-0.44, 1.0);
            p.quadTo(-0.16, 0.82, -0.1, 0.46);
            p.cubicTo(-0.42, 0.78, -1.0, 0.66, -1.0, 0.22);
            p.cubicTo(-1.0, -0.3, -0.22, -0.62, 0, -1);
            break;
        case Suit::Clubs: {
            p.setFillRule(Qt::WindingFill);
            const qreal r = 0.44;
            p.addEllipse(QPointF(0, -0.5), r, r);
            p.addEllipse(QPointF(-0.54, 0.14), r, r);
            p.addEllipse(QPointF(0.54, 0.14), r, r);
            p.addEllipse(QPointF(0, 0.02), 0.3, 0.3);
            QPainterPath stem;
            stem.moveTo(-0.1, 0.1);
            stem.lineTo(0.1, 0.1);
            stem.quadTo(0.14, 0.78, 0.46, 1.0);
            stem.lineTo(-0.46, 1.0);
            stem.quadTo(-0.14, 0.78, -0.1, 0.1);
            p.addPath(stem);
            p = p.simplified();
            break;
        }
    }
    return p;
}

void drawSuit(QPainter& p, Suit s, QPointF centre, qreal height, const QColor& colour) {
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.scale(height / 2.0, height / 2.0);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(t.map(suitPath(s)));
    p.restore();
}

QPainterPath fittedText(const QString& text, const QFont& font, const QRectF& box,
                        qreal letterSpacing) {
    QFont f = font;
    if (letterSpacing != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    QPainterPath path;
    path.addText(0, 0, f, text);
    const QRectF bounds = path.boundingRect();
    if (bounds.isEmpty()) return path;
    const qreal scale =
        std::min({1.0, box.width() / bounds.width(), box.height() / bounds.height()});
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(scale, scale);
    t.translate(-bounds.center().x(), -bounds.center().y());
    return t.map(path);
}

QLinearGradient goldGradient(const QRectF& r) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.0, palette::goldLight);
    g.setColorAt(0.45, palette::gold);
    g.setColorAt(0.55, QColor(196, 146, 46));
    g.setColorAt(1.0, QColor(232, 192, 96));
    return g;
}

void drawFeltPanel(QPainter& p, const QRectF& r, qreal radius, qreal inset, qreal rimWidth) {
    QLinearGradient felt(r.topLeft(), r.bottomLeft());
    felt.setColorAt(0, QColor(24, 104, 52));
    felt.setColorAt(1, QColor(12, 66, 32));
    p.setPen(QPen(palette::goldDark, 1.0));
    p.setBrush(felt);
    p.drawRoundedRect(r, radius, radius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(palette::gold, rimWidth));
    p.drawRoundedRect(r.adjusted(inset, inset, -inset, -inset), radius - 2, radius - 2);
}

QPainterPath fourPointStar(QPointF c, qreal r, qreal waist) {
    QPainterPath p;
    for (int i = 0; i < 8; ++i) {
        const qreal angle = std::numbers::pi / 4.0 * i - std::numbers::pi / 2.0;
        const qreal radius = i % 2 == 0 ? r : waist;
        const QPointF pt(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
        if (i == 0)
            p.moveTo(pt);
        else
            p.lineTo(pt);
    }
    p.closeSubpath();
    return p;
}

}  // namespace quintelle::art::detail
