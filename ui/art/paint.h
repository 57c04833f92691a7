#pragma once

// Shared drawing helpers of the art library: the canvas every
// picture is painted on, fonts, suit outlines and a few recurring shapes.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRectF>
#include <QString>

#include "game/cards.h"
#include "palette.h"

namespace quintelle::art::detail {

// A transparent image of logical size `size` with dpr times the pixels, and a
// painter on it with antialiasing and logical coordinates.
class Canvas {
  public:
    Canvas(QSize size, qreal dpr);
    QPainter& painter() { return painter_; }
    QPixmap finish();

  private:
    QImage image_;
    QPainter painter_;
};

QFont sans(int pixelSize, bool bold = true);
QFont serif(int pixelSize, bool bold = true, bool italic = false);

bool isRed(Suit s);

// Suit outline filling the unit box (-1..1 both ways), point of the heart
// and the diamond down, spade and club stems down.
QPainterPath suitPath(Suit s);

// The suit outline scaled to `height` logical pixels, centred on `centre`.
void drawSuit(QPainter& p, Suit s, QPointF centre, qreal height, const QColor& colour);

// Text as a path, centred in `box` and scaled down (never up) to fit it, with
// a dark outline and a fill brush; gives crisp, font-independent lettering.
QPainterPath fittedText(const QString& text, const QFont& font, const QRectF& box,
                        qreal letterSpacing = 0);

// Vertical gold gradient over `r` (light at the top).
QLinearGradient goldGradient(const QRectF& r);

// A green felt panel with a dark gold edge and a gold inner rim `inset` in,
// the look shared by the side panel's framed pictures.
void drawFeltPanel(QPainter& p, const QRectF& r, qreal radius, qreal inset, qreal rimWidth);

// A four-pointed star of outer radius r.
QPainterPath fourPointStar(QPointF centre, qreal r, qreal waist);

}  // namespace quintelle::art::detail
