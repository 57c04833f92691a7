#pragma once
// The parts the court pictures are drawn from, shared by their files: each
// suit's colours, the held objects and the costumes; the heads and the
// portrait are in courts.cpp.
#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPen>

#include "courts.h"

namespace quintelle::art::detail::court {

inline constexpr QPointF centre{35.5, 48.0};  // the card's centre: the halves turn about it
inline constexpr QRectF panel{14.0, 9.0, 43.0, 78.0};
inline constexpr qreal midX = 35.5;
inline constexpr qreal tilt = 4.0;  // the halves part on a slight diagonal, as on printed courts

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

Look lookOf(Suit s);
QColor mix(const QColor& a, const QColor& b, qreal t);
QLinearGradient metal(const Look& l, const QRectF& r);
QPen outline(const Look& l, qreal width = 0.5);
// A garment's fabric, light at the shoulder and dark below.
QLinearGradient cloth(const QColor& light, const QColor& dark);

enum class Held { Sword, Axe, Sceptre, Flower, Fan, Halberd };
Held heldBy(Suit s, Court c);
void drawHeld(QPainter& p, const Look& l, Held h);

void drawKingRobe(QPainter& p, const Look& l);
void drawQueenGown(QPainter& p, const Look& l);
void drawJackTunic(QPainter& p, const Look& l);

}  // namespace quintelle::art::detail::court
